#include "toolkit/controls.h"

#include <algorithm>

#include "toolkit/builtin_art.h"
#include "toolkit/compose.h"
#include "toolkit/form.h"

namespace {

// A one-pixel raised edge: light on the top and left, shadow on the bottom and right.
void PaintBevel(const TPaintArea& area, int w, int h) {
    const int x = area.originX, y = area.originY;
    for (const TRect& clip : area.clip) {
        ComposeFill(area.frame, {x, y, x + w, y + 1}, clBtnHighlight, clip);
        ComposeFill(area.frame, {x, y, x + 1, y + h}, clBtnHighlight, clip);
        ComposeFill(area.frame, {x, y + h - 1, x + w, y + h}, clBtnShadow, clip);
        ComposeFill(area.frame, {x + w - 1, y, x + w, y + h}, clBtnShadow, clip);
    }
}

}  // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(TControl* parent, std::string name, int left, int top, int width, int height)
    : name_(std::move(name)),
      parent_(parent),
      form_(parent->form_),
      left_(left),
      top_(top),
      width_(width),
      height_(height) {}

TControl::TControl(TForm* form) : form_(form) {}

TControl::~TControl() = default;

TRect TControl::BoundsInForm() const {
    int x = 0, y = 0;
    for (const TControl* c = this; c && c->parent_; c = c->parent_) {
        x += c->left_;
        y += c->top_;
    }
    return {x, y, x + width_, y + height_};
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::Invalidate() {
    InvalidateRect({0, 0, width_, height_});
}

void TControl::InvalidateRect(const TRect& local) {
    if (!form_ || !Showing()) return;
    // Clip to this control and every parent on the way up.
    TRect r = local.Intersect({0, 0, width_, height_});
    for (const TControl* c = this; c->parent_ && !r.Empty(); c = c->parent_) {
        r = r.Offset(c->left_, c->top_).Intersect({0, 0, c->parent_->width_, c->parent_->height_});
    }
    if (!r.Empty()) form_->InvalidateFormRect(r);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    if (!visible) Invalidate();
    visible_ = visible;
    if (visible) Invalidate();
}

void TControl::SetColor(TColor32 color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TControl::Restack(bool toFront) {
    if (!parent_) return;
    auto& siblings = parent_->children_;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [this](const std::unique_ptr<TControl>& c) { return c.get() == this; });
    if (toFront)
        std::rotate(it, it + 1, siblings.end());
    else
        std::rotate(siblings.begin(), it, it + 1);
    Invalidate();
}

void TControl::BringToFront() {
    Restack(true);
}
void TControl::SendToBack() {
    Restack(false);
}

TControl* TControl::ControlAt(int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        TControl& child = **it;
        if (!child.visible_) continue;
        if (TControl* hit = child.ControlAt(x - child.left_, y - child.top_)) return hit;
    }
    return this;
}

void TControl::Paint(const TPaintArea&) {}

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TControl* parent, std::string name, int left, int top, int width, int height,
               TColor32 color, bool bevel)
    : TControl(parent, std::move(name), left, top, width, height), bevel_(bevel) {
    SetColor(color);
}

void TPanel::Paint(const TPaintArea& area) {
    const int x = area.originX, y = area.originY;
    for (const TRect& clip : area.clip)
        ComposeFill(area.frame, {x, y, x + Width(), y + Height()}, Color(), clip);
    if (bevel_) PaintBevel(area, Width(), Height());
}

// ---------------------------------------------------------------- TImage

TImage::TImage(TControl* parent, std::string name, int left, int top, int width, int height)
    : TControl(parent, std::move(name), left, top, width, height) {}

bool TImage::LoadPicture(IFiles& files, const std::string& path) {
    TPicture loaded;
    if (!loaded.LoadFromFile(files, path)) return false;
    SetPicture(std::move(loaded));
    return true;
}

void TImage::SetPicture(TPicture picture) {
    picture_ = std::move(picture);
    PictureChanged();
}

void TImage::PictureChanged() {
    if (AutoSize && !picture_.Empty()) SetSize(picture_.Width(), picture_.Height());
    Invalidate();
    paintedVersion_ = picture_.Version();
}

void TImage::CollectChanges() {
    if (picture_.Version() != paintedVersion_) PictureChanged();
}

void TImage::Paint(const TPaintArea& area) {
    if (picture_.Empty()) return;
    for (const TRect& clip : area.clip) {
        if (Stretch) {
            ComposePictureScaled(
                area.frame, picture_,
                {area.originX, area.originY, area.originX + Width(), area.originY + Height()},
                clip);
        } else {
            const int x = Center ? (Width() - picture_.Width()) / 2 : 0;
            const int y = Center ? (Height() - picture_.Height()) / 2 : 0;
            ComposePicture(area.frame, picture_, area.originX + x, area.originY + y, clip);
        }
    }
}

bool TImage::CoversBounds() const {
    if (picture_.Empty() || picture_.DrawMode() != TDrawMode::Opaque) return false;
    if (Stretch) return true;
    const int x = Center ? (Width() - picture_.Width()) / 2 : 0;
    const int y = Center ? (Height() - picture_.Height()) / 2 : 0;
    return x <= 0 && y <= 0 && x + picture_.Width() >= Width() && y + picture_.Height() >= Height();
}

// ---------------------------------------------------------------- TShape

TShape::TShape(TControl* parent, std::string name, int left, int top, int width, int height,
               TColor32 penColor, int penWidth)
    : TControl(parent, std::move(name), left, top, width, height),
      penColor_(penColor),
      penWidth_(penWidth) {}

void TShape::Paint(const TPaintArea& area) {
    const int x = area.originX, y = area.originY, w = Width(), h = Height(), p = penWidth_;
    for (const TRect& clip : area.clip) {
        ComposeFill(area.frame, {x, y, x + w, y + p}, penColor_, clip);
        ComposeFill(area.frame, {x, y + h - p, x + w, y + h}, penColor_, clip);
        ComposeFill(area.frame, {x, y, x + p, y + h}, penColor_, clip);
        ComposeFill(area.frame, {x + w - p, y, x + w, y + h}, penColor_, clip);
    }
}

// ---------------------------------------------------------------- text controls

namespace {

// Renders text lines onto a filled picture of the control's size, then puts it on the frame.
void PaintTextBox(const TPaintArea& area, int w, int h, TColor32 back,
                  const std::vector<std::string>& lines, TColor32 ink, int x, int y,
                  const TBuiltinFont& font) {
    TPicture box(w, h, back | 0xFF000000u);
    for (const std::string& line : lines) {
        DrawText(box, x, y, line, ink, font);
        y += font.lineHeight;
    }
    for (const TRect& clip : area.clip)
        ComposePicture(area.frame, box, area.originX, area.originY, clip);
}

}  // namespace

TMemo::TMemo(TControl* parent, std::string name, int left, int top, int width, int height)
    : TControl(parent, std::move(name), left, top, width, height) {
    SetColor(clWhite);
}

void TMemo::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    Invalidate();
}

void TMemo::Paint(const TPaintArea& area) {
    PaintTextBox(area, Width(), Height(), Color(), lines_, FontColor, 2, 1, MemoFont());
}

TButton::TButton(TControl* parent, std::string name, int left, int top, int width, int height,
                 std::string caption)
    : TControl(parent, std::move(name), left, top, width, height), caption_(std::move(caption)) {}

void TButton::Paint(const TPaintArea& area) {
    const int textX = (Width() - TextWidth(caption_)) / 2;
    const int textY = (Height() - UiFont().lineHeight) / 2;
    PaintTextBox(area, Width(), Height(), Color(), {caption_}, clBlack, textX, textY, UiFont());
    PaintBevel(area, Width(), Height());
}
