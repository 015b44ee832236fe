// Layered image controls: a background picture at scale 1 with a stack of picture layers
// above it, painted in collection order (the first at the bottom).
#pragma once

#include <memory>
#include <vector>

#include "toolkit/controls.h"

struct TFloatRect {
    float left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TFloatRect&) const = default;
};

class TLayeredImage;

// One layer: owns its own picture, painted into its location rectangle (control pixels;
// stretched with nearest-neighbour sampling when the sizes differ).
class TBitmapLayer {
public:
    explicit TBitmapLayer(TLayeredImage& owner) : owner_(owner) {}
    TBitmapLayer(const TBitmapLayer&) = delete;
    TBitmapLayer& operator=(const TBitmapLayer&) = delete;

    TLayeredImage& Owner() const { return owner_; }
    TPicture& Bitmap() { return bitmap_; }
    const TPicture& Bitmap() const { return bitmap_; }

    const TFloatRect& Location() const { return location_; }
    void SetLocation(const TFloatRect& r) { location_ = r; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

    // Moves the layer to the top of its control's collection.
    void BringToFront();
    // Removes the layer from its control (and the screen) and destroys it.
    void Free();

    // The location rounded to whole pixels.
    TRect PixelRect() const;

private:
    friend class TLayeredImage;
    TLayeredImage& owner_;
    // Its place in the owner's collection (kept up to date by the owner).
    size_t index_ = 0;
    TPicture bitmap_;
    TFloatRect location_;
    bool visible_ = true;
    // What is on the screen now, to notice changes.
    TRect paintedRect_;
    bool paintedShown_ = false;
    uint64_t paintedVersion_ = 0;
};

// Frees a layer when the object that owns it goes away (sprites, kill beams).
struct TLayerFree {
    void operator()(TBitmapLayer* layer) const {
        if (layer) layer->Free();
    }
};
using TLayerHandle = std::unique_ptr<TBitmapLayer, TLayerFree>;

class TLayeredImage : public TControl {
public:
    TLayeredImage(TControl* parent, std::string name, int left, int top, int width, int height);
    ~TLayeredImage() override;

    // The background picture, painted at the top-left corner at scale 1.
    TPicture& Bitmap() { return bitmap_; }
    const TPicture& Bitmap() const { return bitmap_; }
    // Loads the background from a BMP file; with auto-size on, the control takes its size.
    // A missing or unreadable file leaves everything as it was and returns false.
    bool LoadBitmap(IFiles& files, const std::string& path);
    bool AutoSize = false;

    // A new layer on top of the collection, owned by this control until freed.
    TBitmapLayer& AddLayer();
    int LayerCount() const;
    TBitmapLayer& Layer(int index);
    void FreeLayer(TBitmapLayer& layer);
    // The layer's place in the collection, the first at the bottom; -1 if it is not one of
    // this control's.
    int IndexOf(const TBitmapLayer& layer) const;

    // While the update counter is above zero, changes are collected and not shown; ending the
    // last update shows them.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    // Repaints the whole control, unless an update is in progress.
    void Changed();

    void Paint(const TPaintArea& area) override;
    // The colour fills whatever the background picture leaves; an opaque picture covers the
    // rest.
    bool CoversBounds() const override { return bitmap_.DrawMode() == TDrawMode::Opaque; }
    void CollectChanges() override;

private:
    friend class TBitmapLayer;
    void InvalidateLayerArea(const TRect& r);
    void BringLayerToFront(TBitmapLayer& layer);
    // Closes the gaps freed layers have left, renumbering the layers above them.
    void Compact() const;
    bool Holds(const TBitmapLayer& layer) const;

    TPicture bitmap_;
    uint64_t paintedBitmapVersion_ = 0;
    // A freed layer leaves an empty entry until the collection is next used, so that freeing
    // many layers (a tick's expired effects) closes the gaps in one pass, not one each.
    mutable std::vector<std::unique_ptr<TBitmapLayer>> layers_;
    mutable size_t holes_ = 0;
    int updateCount_ = 0;
    // The clip of the paint in progress, kept to spare an allocation per frame.
    std::vector<TRect> paintClip_;
};
