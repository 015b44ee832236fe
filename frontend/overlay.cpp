#include "frontend/overlay.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "toolkit/compose.h"

TPicture& TOverlay::Begin(int width, int height) {
    std::swap(canvas_, last_);
    std::swap(drawn_, lastDrawn_);
    for (TPicture* p : {&canvas_, &last_})
        if (p->Width() != width || p->Height() != height) {
            p->SetSize(width, height);
            p->SetDrawMode(TDrawMode::Blend);
            whole_ = true;
        }
    for (const TRect& r : drawn_) canvas_.FillRect(r.left, r.top, r.right, r.bottom, 0);
    drawn_.clear();
    return canvas_;
}

void TOverlay::Drawn(const TRect& r) {
    const TRect in = r.Intersect({0, 0, canvas_.Width(), canvas_.Height()});
    if (!in.Empty()) drawn_.push_back(in);
}

void TOverlay::Touched(const TRect& r) {
    const TRect in = r.Intersect({0, 0, canvas_.Width(), canvas_.Height()});
    if (!in.Empty()) dirty_.push_back(in);
}

void TOverlay::End() {
    // Rows that differ, gathered into bands, each as wide as its differences.
    const int w = canvas_.Width(), h = canvas_.Height();
    TRect band;
    for (int y = 0; y < h; ++y) {
        const TColor32* a = canvas_.Bits() + size_t(y) * w;
        const TColor32* b = last_.Bits() + size_t(y) * w;
        if (std::memcmp(a, b, size_t(w) * sizeof(TColor32)) == 0) {
            if (!band.Empty()) dirty_.push_back(band), band = {};
            continue;
        }
        int left = 0, right = w;
        while (a[left] == b[left]) ++left;
        while (a[right - 1] == b[right - 1]) --right;
        band = band.Union({left, y, right, y + 1});
    }
    if (!band.Empty()) dirty_.push_back(band);
}

const TPicture& TOverlay::Show(const TPicture& frame, std::vector<TRect>& changed) {
    if (frame.Empty()) return frame;
    // The picture shown is kept the frame's copy everywhere, drawn over or not, so that the host
    // may show all of it at any time.
    if (shown_.Width() != frame.Width() || shown_.Height() != frame.Height()) {
        shown_.SetSize(frame.Width(), frame.Height());
        whole_ = true;
    }
    if (whole_) {
        dirty_.assign(1, TRect{0, 0, frame.Width(), frame.Height()});
        whole_ = false;
    }
    changed.insert(changed.end(), dirty_.begin(), dirty_.end());
    dirty_.clear();
    const TRect all{0, 0, frame.Width(), frame.Height()};
    const bool fits = canvas_.Width() == frame.Width() && canvas_.Height() == frame.Height();
    // The drawing is clear outside what was drawn: blended once over the box holding it all.
    TRect box;
    for (const TRect& d : drawn_) box = box.Union(d);
    for (const TRect& c : changed) {
        const TRect r = c.Intersect(all);
        if (r.Empty()) continue;
        TColor32* to = shown_.MutableBits();
        for (int y = r.top; y < r.bottom; ++y)
            std::memcpy(to + size_t(y) * shown_.Width() + r.left,
                        frame.Bits() + size_t(y) * frame.Width() + r.left,
                        size_t(r.Width()) * sizeof(TColor32));
        if (!fits) continue;
        const TRect over = box.Intersect(r);
        if (!over.Empty()) ComposePicture(shown_, canvas_, 0, 0, over);
    }
    return shown_;
}
