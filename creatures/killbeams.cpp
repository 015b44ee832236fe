// Kill beams: a three-pixel line in the shooter's colour from the shooter's tile to the
// target's, shown above everything for a few ticks.
#include <algorithm>

#include "core/form1.h"

namespace {

// Ticks a beam stays: a creature's beam (made before the effects update) is gone in the third
// tick after the shot, a turret's in the fourth.
constexpr int kBeamLife = 4;
// Past this many kinds of beam remembered, those no longer shown are forgotten (and the
// pictures drawn so far, which no game comes near).
constexpr size_t kBeamLayersKept = 256;

// The beam picture: nine one-pixel lines, the line and its eight neighbours, in `colour` (a
// pixel value, the lowest byte blue); opaque on the lines and clear everywhere else. Where the
// beam lies plays no part (the key's left and top are 0).
TPicture DrawBeam(const TKillBeamKey& k) {
    TPicture beam(k.width, k.height), mask(k.width, k.height);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            beam.Line(k.startX + dx, k.startY + dy, k.endX + dx, k.endY + dy, k.colour);
            mask.Line(k.startX + dx, k.startY + dy, k.endX + dx, k.endY + dy, clWhite);
        }
    beam.IntensityToAlpha(mask);
    beam.SetDrawMode(TDrawMode::Blend);
    return beam;
}

}  // namespace

void TForm1::AddKillBeam(int x1, int y1, int x2, int y2, int a1, int b1, int a2, int b2,
                         uint32_t colour) {
    // The bounding box of both tiles; the line runs from its upper-left part to its lower-right
    // part, the shooter's offsets measured from the top-left corner when it stands left of the
    // target or in its column, from the bottom-right corner otherwise.
    TKillBeamKey key{};
    key.left = kTileSize * std::min(x1, x2);
    key.top = kTileSize * std::min(y1, y2);
    key.width = kTileSize * (std::max(x1, x2) + 1) - key.left;
    key.height = kTileSize * (std::max(y1, y2) + 1) - key.top;
    const bool shooterFirst = x1 <= x2;
    key.startX = shooterFirst ? a1 : a2;
    key.startY = shooterFirst ? b1 : b2;
    key.endX = key.width - (shooterFirst ? a2 : a1);
    key.endY = key.height - (shooterFirst ? b2 : b1);
    key.colour = colour;

    // A beam alike to one still shown takes over that one's layer, brought to the front.
    std::weak_ptr<TBitmapLayer>& known = killBeamLayers[key];
    std::shared_ptr<TBitmapLayer> layer = known.lock();
    if (!layer) {
        // Only a few beam pictures ever occur (a shot reaches one tile at most); each is drawn
        // once.
        TKillBeamKey shape = key;
        shape.left = shape.top = 0;
        auto picture = killBeamPictures.find(shape);
        if (picture == killBeamPictures.end()) {
            if (killBeamPictures.size() >= kBeamLayersKept) killBeamPictures.clear();
            picture = killBeamPictures.emplace(shape, DrawBeam(shape)).first;
        }
        TBitmapLayer& fresh = Playfield->AddLayer();
        fresh.Bitmap().Assign(picture->second);
        fresh.SetLocation({float(key.left), float(key.top), float(key.left + key.width),
                           float(key.top + key.height)});
        layer = std::shared_ptr<TBitmapLayer>(&fresh, TLayerFree{});
        known = layer;
        if (killBeamLayers.size() > kBeamLayersKept)
            std::erase_if(killBeamLayers, [](const auto& entry) { return entry.second.expired(); });
    }
    layer->BringToFront();

    lstKillBeams.push_back(std::make_unique<TAnimKill>());
    lstKillBeams.back()->beam = std::move(layer);
    lstKillBeams.back()->life = kBeamLife;
}
