// Board objects: every visible game object is a sprite that owns one drawing layer.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "shell/toolkit/layers.h"

class TForm1;

// Side of a board tile in pixels: tile (x, y) has its top-left pixel at (35 x, 35 y).
constexpr int kTileSize = 35;
// The life of an effect that stays for the whole game.
constexpr int kPermanentLife = 2147483647;
// A sign's state is its layer's master alpha: faint while it waits for its bot, solid once
// built. Only built signs steer creatures.
constexpr int kPendingSignAlpha = 64;
constexpr int kBuiltSignAlpha = 255;
// Offsets of the four facings within a group of pictures (builders, creatures, signs).
enum TFacing { kFacingDown = 0, kFacingUp = 1, kFacingLeft = 2, kFacingRight = 3 };

// A bot's job: build or remove a sign, or gather a board object.
class TOrder {
public:
    explicit TOrder(TForm1* owner) : owner(owner) {}

    int targetX = 0, targetY = 0;
    int signKind = 0;  // direction 0..3 of a sign to build, -1 to remove the sign
    int targetId = 0;
    int workTicks = 0;
    TForm1* owner;
    int botIndex = 0;
    int orderKind = 1;  // 1 build or remove a sign, 2 gather a board object
};

// Every board object, effect, base tile and cursor. Its drawn position (pixelX, pixelY) follows
// its tile: at once, or gliding 4 pixels per redraw when `glides` is set.
class TSprite {
public:
    explicit TSprite(TLayeredImage& image) : layer(&image.AddLayer()) {}
    virtual ~TSprite() = default;
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // Tile changes go through these, which remember the tile before.
    void SetTileX(int value) {
        prevTileX = tileX;
        tileX = value;
    }
    void SetTileY(int value) {
        prevTileY = tileY;
        tileY = value;
    }
    // Puts the layer where the sprite is drawn now, with its visibility, blended.
    void Redraw();

    int destX = 0, destY = 0;
    int slot = 0;
    TLayerHandle layer;
    float pixelX = 0, pixelY = 0;
    float pixelRight = 0, pixelBottom = 0;
    bool visible = true;
    bool glides = false;
    bool inBuildMenu = false;
    bool inOrbMenu = false;
    int firstFrame = 0;
    int frameCount = 0;
    int frame = 0;
    int frameTick = 0;
    int life = 0;
    std::unique_ptr<TOrder> order;
    int kind = 0;
    bool engaged = false;
    int waitTicks = 0;
    int alpha = 255;
    double health = 10.0;
    bool struck = false;
    bool gatherable = false;
    int id = 0;
    bool isTurret = false;
    bool endsGame = false;
    bool menuMarker = false;
    bool explodes = false;
    int tileX = 0, tileY = 0;
    int prevTileX = 0, prevTileY = 0;
};

// Signs and turrets.
class TSign : public TSprite {
public:
    using TSprite::TSprite;
    std::vector<int> seenVonkels;  // ids of the creatures this sign has steered
};

// What a creature's target is (its targetKind).
enum TTargetKind { kTargetVonkel = 0, kTargetTurret = 1, kTargetOrb = 2 };

// Creatures.
class TVonkel : public TSprite {
public:
    explicit TVonkel(TLayeredImage& image) : TSprite(image) { health = 15.0; }

    int vonkelKind = 0;
    int spriteBase = 0;
    int forceX = 0, forceY = 0;
    int goalX = 0, goalY = 0;
    int lookStep = 0;
    int lookTicks = 0;
    int targetIndex = -1;
    int colour = 0;
    bool lookBegun = true;
    int targetKind = 0;
    int speed = 0;
    int stepTicks = 0;
};

// A kill beam on the playfield, shown for a few ticks. A beam is opaque on its line and clear
// everywhere else, so beams alike in place, picture and colour look the same whichever of them
// lies on top: they share one layer, which goes with the last of them.
class TAnimKill {
public:
    std::shared_ptr<TBitmapLayer> beam;
    int life = 2;
};

// What makes two kill beams alike: the layer's place and size, the line's end points inside it
// and the colour.
struct TKillBeamKey {
    int left, top, width, height;
    int startX, startY, endX, endY;
    uint32_t colour;
    auto operator<=>(const TKillBeamKey&) const = default;
};
// The layer each kind of beam on the playfield is shown with, while any such beam lives.
using TKillBeamLayers = std::map<TKillBeamKey, std::weak_ptr<TBitmapLayer>>;
