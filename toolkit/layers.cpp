#include "toolkit/layers.h"

#include <algorithm>

#include "toolkit/compose.h"

namespace {

// std::lround for locations (halves away from zero), without a library call: the sum is exact
// in double precision for every float of pixel range, so truncating it rounds correctly.
int RoundToPixel(float v) {
    return int(double(v) + (v < 0 ? -0.5 : 0.5));
}

}  // namespace

// ---------------------------------------------------------------- TBitmapLayer

TRect TBitmapLayer::PixelRect() const {
    return {RoundToPixel(location_.left), RoundToPixel(location_.top),
            RoundToPixel(location_.right), RoundToPixel(location_.bottom)};
}

void TBitmapLayer::BringToFront() {
    owner_.BringLayerToFront(*this);
}

void TBitmapLayer::Free() {
    owner_.FreeLayer(*this);
}

// ---------------------------------------------------------------- TLayeredImage

TLayeredImage::TLayeredImage(TControl* parent, std::string name, int left, int top, int width,
                             int height)
    : TControl(parent, std::move(name), left, top, width, height) {}

TLayeredImage::~TLayeredImage() = default;

bool TLayeredImage::LoadBitmap(IFiles& files, const std::string& path) {
    TPicture loaded;
    if (!loaded.LoadFromFile(files, path)) return false;
    bitmap_ = std::move(loaded);
    if (AutoSize) SetSize(bitmap_.Width(), bitmap_.Height());
    Changed();
    return true;
}

void TLayeredImage::Compact() const {
    if (holes_ == 0) return;
    std::erase(layers_, nullptr);
    holes_ = 0;
    for (size_t i = 0; i < layers_.size(); ++i) layers_[i]->index_ = i;
}

bool TLayeredImage::Holds(const TBitmapLayer& layer) const {
    return &layer.owner_ == this && layer.index_ < layers_.size() &&
           layers_[layer.index_].get() == &layer;
}

TBitmapLayer& TLayeredImage::AddLayer() {
    Compact();
    layers_.push_back(std::make_unique<TBitmapLayer>(*this));
    layers_.back()->index_ = layers_.size() - 1;
    return *layers_.back();
}

int TLayeredImage::LayerCount() const {
    Compact();
    return int(layers_.size());
}

TBitmapLayer& TLayeredImage::Layer(int index) {
    Compact();
    return *layers_[size_t(index)];
}

int TLayeredImage::IndexOf(const TBitmapLayer& layer) const {
    Compact();
    return Holds(layer) ? int(layer.index_) : -1;
}

void TLayeredImage::FreeLayer(TBitmapLayer& layer) {
    if (!Holds(layer)) return;
    if (layer.paintedShown_) InvalidateLayerArea(layer.paintedRect_);
    layers_[layer.index_].reset();
    ++holes_;
}

void TLayeredImage::BringLayerToFront(TBitmapLayer& layer) {
    Compact();
    if (!Holds(layer)) return;
    const size_t i = layer.index_;
    if (i + 1 == layers_.size()) return;
    std::rotate(layers_.begin() + std::ptrdiff_t(i), layers_.begin() + std::ptrdiff_t(i) + 1,
                layers_.end());
    for (size_t j = i; j < layers_.size(); ++j) layers_[j]->index_ = j;
    if (layer.visible_) InvalidateLayerArea(layer.PixelRect());
}

void TLayeredImage::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) Changed();
}

void TLayeredImage::Changed() {
    if (updateCount_ > 0) return;
    Invalidate();
}

void TLayeredImage::InvalidateLayerArea(const TRect& r) {
    if (updateCount_ == 0) InvalidateRect(r);
}

void TLayeredImage::CollectChanges() {
    if (updateCount_ > 0) return;
    Compact();
    if (bitmap_.Version() != paintedBitmapVersion_) {
        paintedBitmapVersion_ = bitmap_.Version();
        Invalidate();
    }
    for (const auto& layer : layers_) {
        TBitmapLayer& l = *layer;
        const bool shown = l.visible_ && !l.bitmap_.Empty();
        const TRect rect = l.PixelRect();
        if (shown == l.paintedShown_ && rect == l.paintedRect_ &&
            l.bitmap_.Version() == l.paintedVersion_)
            continue;
        if (l.paintedShown_) InvalidateRect(l.paintedRect_);
        if (shown) InvalidateRect(rect);
        l.paintedShown_ = shown;
        l.paintedRect_ = rect;
        l.paintedVersion_ = l.bitmap_.Version();
    }
}

void TLayeredImage::Paint(const TPaintArea& area) {
    Compact();
    const int ox = area.originX, oy = area.originY;
    const TRect bounds{ox, oy, ox + Width(), oy + Height()};
    const TRect picture{ox, oy, ox + bitmap_.Width(), oy + bitmap_.Height()};
    // The clip inside the control. The form hands it out in horizontal bands from top to bottom
    // (tops and bottoms never decreasing), which lets every layer look up the few rectangles in
    // its rows instead of all of them; a clip in any other order is searched whole.
    std::vector<TRect>& clips = paintClip_;
    clips.clear();
    bool banded = true;
    TRect extent;
    for (const TRect& clip : area.clip) {
        const TRect c = clip.Intersect(bounds);
        if (c.Empty()) continue;
        if (!clips.empty() && (c.top < clips.back().top || c.bottom < clips.back().bottom))
            banded = false;
        clips.push_back(c);
        extent = extent.Union(c);
    }
    if (clips.empty()) return;
    for (const TRect& c : clips) {
        // The control's colour wherever the background picture does not reach.
        if (!(c.Intersect(picture) == c)) ComposeFill(area.frame, bounds, Color(), c);
        ComposePicture(area.frame, bitmap_, ox, oy, c);
    }
    for (const auto& layer : layers_) {
        const TBitmapLayer& l = *layer;
        if (!l.visible_ || l.bitmap_.Empty()) continue;
        const TRect r = l.PixelRect().Offset(ox, oy);
        if (r.Empty() || r.Intersect(extent).Empty()) continue;
        const auto end = clips.end();
        auto clip = clips.begin();
        if (banded)
            clip =
                std::partition_point(clip, end, [&r](const TRect& c) { return c.bottom <= r.top; });
        for (; clip != end; ++clip) {
            if (banded && clip->top >= r.bottom) break;
            if (clip->right <= r.left || clip->left >= r.right || clip->bottom <= r.top ||
                clip->top >= r.bottom)
                continue;
            ComposePictureScaled(area.frame, l.bitmap_, r, clip->Intersect(r));
        }
    }
}
