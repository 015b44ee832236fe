#include "shell/layers.h"

#include <algorithm>
#include <cmath>

#include "shell/compose.h"

// ---------------------------------------------------------------- TBitmapLayer

TRect TBitmapLayer::PixelRect() const {
    return {int(std::lround(location_.left)), int(std::lround(location_.top)),
            int(std::lround(location_.right)), int(std::lround(location_.bottom))};
}

void TBitmapLayer::BringToFront() { owner_.BringLayerToFront(*this); }

void TBitmapLayer::Free() { owner_.FreeLayer(*this); }

// ---------------------------------------------------------------- TLayeredImage

TLayeredImage::TLayeredImage(TControl* parent, std::string name, int left, int top, int width,
                             int height)
    : TControl(parent, std::move(name), left, top, width, height) {}

TLayeredImage::~TLayeredImage() = default;

bool TLayeredImage::LoadBitmap(const std::string& path) {
    TPicture loaded;
    if (!loaded.LoadFromFile(path)) return false;
    bitmap_ = std::move(loaded);
    if (AutoSize) SetSize(bitmap_.Width(), bitmap_.Height());
    Changed();
    return true;
}

TBitmapLayer& TLayeredImage::AddLayer() {
    layers_.push_back(std::make_unique<TBitmapLayer>(*this));
    return *layers_.back();
}

int TLayeredImage::IndexOf(const TBitmapLayer& layer) const {
    for (size_t i = 0; i < layers_.size(); ++i)
        if (layers_[i].get() == &layer) return int(i);
    return -1;
}

void TLayeredImage::FreeLayer(TBitmapLayer& layer) {
    const int i = IndexOf(layer);
    if (i < 0) return;
    if (layer.paintedShown_) InvalidateLayerArea(layer.paintedRect_);
    layers_.erase(layers_.begin() + i);
}

void TLayeredImage::BringLayerToFront(TBitmapLayer& layer) {
    const int i = IndexOf(layer);
    if (i < 0 || i == LayerCount() - 1) return;
    std::rotate(layers_.begin() + i, layers_.begin() + i + 1, layers_.end());
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
    const int ox = area.originX, oy = area.originY;
    const TRect bounds{ox, oy, ox + Width(), oy + Height()};
    const TRect picture{ox, oy, ox + bitmap_.Width(), oy + bitmap_.Height()};
    for (const TRect& clip : area.clip) {
        // The control's colour wherever the background picture does not reach.
        const TRect c = clip.Intersect(bounds);
        if (c.Empty()) continue;
        if (!(c.Intersect(picture) == c)) ComposeFill(area.frame, bounds, Color(), c);
        ComposePicture(area.frame, bitmap_, ox, oy, c);
    }
    for (const auto& layer : layers_) {
        const TBitmapLayer& l = *layer;
        if (!l.visible_ || l.bitmap_.Empty()) continue;
        const TRect r = l.PixelRect().Offset(ox, oy);
        if (r.Empty()) continue;
        for (const TRect& clip : area.clip) {
            const TRect c = clip.Intersect(bounds).Intersect(r);
            if (!c.Empty()) ComposePictureScaled(area.frame, l.bitmap_, r, c);
        }
    }
}
