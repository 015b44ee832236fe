#include "toolkit/form.h"

#include <pixman.h>

#include <algorithm>

#include "toolkit/compose.h"

// ---------------------------------------------------------------- TTimer

TTimer::TTimer(TForm& form, std::string name, uint32_t interval)
    : form_(form), name_(std::move(name)), interval_(interval) {}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled) due_ = form_.Platform().clock.NowMs() + interval_;
}

void TTimer::SetInterval(uint32_t interval) {
    if (interval == interval_) return;
    interval_ = interval;
    if (enabled_) due_ = form_.Platform().clock.NowMs() + interval_;
}

// ---------------------------------------------------------------- TForm

TForm::TForm(TPlatform& platform, int clientWidth, int clientHeight)
    : TControl(this), platform_(platform) {
    width_ = clientWidth;
    height_ = clientHeight;
    InvalidateAll();
}

TForm::~TForm() = default;

TTimer* TForm::AddTimer(std::string name, uint32_t interval) {
    timers_.push_back(std::make_unique<TTimer>(*this, std::move(name), interval));
    return timers_.back().get();
}

std::optional<uint64_t> TForm::NextTimerDue() const {
    std::optional<uint64_t> next;
    for (const auto& t : timers_)
        if (t->enabled_ && t->interval_ > 0 && (!next || t->due_ < *next)) next = t->due_;
    return next;
}

void TForm::FireDueTimers() {
    const uint64_t now = platform_.clock.NowMs();
    std::vector<TTimer*> due;
    for (const auto& t : timers_)
        if (t->enabled_ && t->interval_ > 0 && t->due_ <= now) due.push_back(t.get());
    std::stable_sort(due.begin(), due.end(),
                     [](const TTimer* a, const TTimer* b) { return a->due_ < b->due_; });
    for (TTimer* t : due) {
        // An earlier handler may have stopped or restarted this timer.
        if (!t->enabled_ || t->interval_ == 0 || t->due_ > now) continue;
        t->due_ += t->interval_;
        if (t->due_ <= now) t->due_ = now + t->interval_;
        if (t->OnTimer) t->OnTimer();
    }
}

// ---------------------------------------------------------------- input

void FormToControl(const TControl& c, int x, int y, int& localX, int& localY) {
    const TRect r = c.BoundsInForm();
    localX = x - r.left;
    localY = y - r.top;
}

TControl* TForm::Route(int x, int y, int& localX, int& localY) {
    // A hidden control takes no mouse input: the control holding the mouse lets go once it, or
    // a parent of it, is hidden, and from then on the events go where the pointer is.
    if (captured_ && !captured_->Showing()) {
        captured_ = nullptr;
        pressLost_ = true;
    }
    TControl* target = captured_ ? captured_ : ControlAt(x, y);
    if (target) FormToControl(*target, x, y, localX, localY);
    return target;
}

void TForm::MouseDown(int x, int y, TMouseButton button, TShiftState shift) {
    int lx = 0, ly = 0;
    TControl* target = Route(x, y, lx, ly);
    if (!target) return;
    captured_ = target;
    if (target->OnMouseDown) target->OnMouseDown(*target, button, shift, lx, ly);
}

void TForm::MouseMove(int x, int y, TShiftState shift) {
    int lx = 0, ly = 0;
    TControl* target = Route(x, y, lx, ly);
    if (target && target->OnMouseMove) target->OnMouseMove(*target, shift, lx, ly);
}

void TForm::MouseUp(int x, int y, TMouseButton button, TShiftState shift) {
    int lx = 0, ly = 0;
    TControl* target = Route(x, y, lx, ly);
    if (!target) return;
    // A left click counts when the button comes up over the control it went down on; not over
    // one that only took the release after the control of the press was hidden.
    const bool pressedHere = !pressLost_;
    const bool buttonsLeft = shift.left || shift.right || shift.middle;
    if (!buttonsLeft) {
        captured_ = nullptr;
        pressLost_ = false;
    }
    if (button == TMouseButton::Left && pressedHere && lx >= 0 && ly >= 0 && lx < target->Width() &&
        ly < target->Height() && target->OnClick)
        target->OnClick(*target);
    if (target->OnMouseUp) target->OnMouseUp(*target, button, shift, lx, ly);
}

void TForm::KeyPress(char key) {
    if (OnKeyPress) OnKeyPress(key);
}

void TForm::MusicFinished(int player) {
    if (OnMusicFinished) OnMusicFinished(player);
}

// ---------------------------------------------------------------- painting

void TForm::InvalidateFormRect(const TRect& r) {
    const TRect clipped = r.Intersect({0, 0, Width(), Height()});
    if (!clipped.Empty()) dirty_.push_back(clipped);
}

void TForm::InvalidateAll() {
    InvalidateFormRect({0, 0, Width(), Height()});
}

void TForm::Paint(const TPaintArea& area) {
    for (const TRect& clip : area.clip)
        ComposeFill(area.frame, {0, 0, Width(), Height()}, Color(), clip);
}

void TForm::CollectTree(TControl& c) {
    c.CollectChanges();
    for (const auto& child : c.children_)
        if (child->visible_) CollectTree(*child);
}

namespace {

// `out` becomes `in` less `hole`, in non-overlapping rectangles.
void SubtractRect(const std::vector<TRect>& in, const TRect& hole, std::vector<TRect>& out) {
    out.clear();
    for (const TRect& r : in) {
        const TRect h = r.Intersect(hole);
        if (h.Empty()) {
            out.push_back(r);
            continue;
        }
        if (r.top < h.top) out.push_back({r.left, r.top, r.right, h.top});
        if (r.left < h.left) out.push_back({r.left, h.top, h.left, h.bottom});
        if (h.right < r.right) out.push_back({h.right, h.top, r.right, h.bottom});
        if (h.bottom < r.bottom) out.push_back({r.left, h.bottom, r.right, r.bottom});
    }
}

}  // namespace

void TForm::PaintTree(TControl& c, int originX, int originY, const std::vector<TRect>& clip,
                      size_t depth) {
    while (paintScratch_.size() <= depth) paintScratch_.emplace_back();
    TPaintScratch& scratch = paintScratch_[depth];

    // The control paints its clip less the children that will paint over all of their bounds.
    TRect extent;
    for (const TRect& r : clip) extent = extent.Union(r);
    const std::vector<TRect>* own = &clip;
    for (const auto& child : c.children_) {
        if (!child->visible_) continue;
        const int x = originX + child->left_, y = originY + child->top_;
        const TRect bounds{x, y, x + child->width_, y + child->height_};
        if (bounds.Intersect(extent).Empty() || !child->CoversBounds()) continue;
        SubtractRect(*own, bounds, scratch.spare);
        std::swap(scratch.own, scratch.spare);
        own = &scratch.own;
        if (own->empty()) break;
    }
    if (!own->empty()) c.Paint({frame_, originX, originY, *own});

    std::vector<TRect>& childClip = scratch.child;
    for (const auto& child : c.children_) {
        if (!child->visible_) continue;
        const int x = originX + child->left_, y = originY + child->top_;
        const TRect bounds{x, y, x + child->width_, y + child->height_};
        if (bounds.Intersect(extent).Empty()) continue;
        childClip.clear();
        for (const TRect& r : clip) {
            const TRect part = r.Intersect(bounds);
            if (!part.Empty()) childClip.push_back(part);
        }
        if (!childClip.empty()) PaintTree(*child, x, y, childClip, depth + 1);
    }
}

std::vector<TRect> TForm::Compose() {
    CollectTree(*this);
    if (dirty_.empty()) return {};
    // Merge the marked rectangles into non-overlapping bands, so nothing is painted twice.
    pixman_region32_t region;
    pixman_region32_init(&region);
    for (const TRect& r : dirty_)
        pixman_region32_union_rect(&region, &region, r.left, r.top, unsigned(r.Width()),
                                   unsigned(r.Height()));
    dirty_.clear();
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&region, &count);
    std::vector<TRect> clip;
    clip.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        clip.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    pixman_region32_fini(&region);
    // The frame is made at the first composing, which paints all of it: a form that is never
    // shown (a headless check, the fuzz targets) spends nothing on it.
    if (frame_.Empty()) frame_ = TPicture(width_, height_, clBtnFace);
    PaintTree(*this, 0, 0, clip, 0);
    return clip;
}

TPicture TForm::ComposeFromScratch() {
    InvalidateAll();
    Compose();
    TPicture copy;
    copy.Assign(frame_);
    return copy;
}
