// Board objects: every visible game object is a sprite that owns one drawing layer.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "toolkit/layers.h"

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

// ---- Every field of the objects' own state, one list for all who must see each of them: the
// replays' digests and the game's invariants. `visit` is called with each field in a fixed
// order (the digests of recorded replays depend on it): numbers and flags as they are, the
// layer handle, a sprite's order. A field added to one of these classes must be added here; the
// guards below fail until it is.
template <class F>
void VisitFields(const TOrder& o, F&& visit) {
    visit(o.targetX), visit(o.targetY), visit(o.signKind), visit(o.targetId);
    visit(o.workTicks), visit(o.botIndex), visit(o.orderKind);
}

template <class F>
void VisitFields(const TSprite& s, F&& visit) {
    visit(s.id), visit(s.tileX), visit(s.tileY), visit(s.prevTileX), visit(s.prevTileY);
    visit(s.destX), visit(s.destY), visit(s.slot);
    visit(s.pixelX), visit(s.pixelY), visit(s.pixelRight), visit(s.pixelBottom);
    visit(s.visible), visit(s.glides), visit(s.inBuildMenu), visit(s.inOrbMenu);
    visit(s.firstFrame), visit(s.frameCount), visit(s.frame), visit(s.frameTick);
    visit(s.life), visit(s.kind), visit(s.engaged), visit(s.waitTicks), visit(s.alpha);
    visit(s.health), visit(s.struck), visit(s.gatherable), visit(s.isTurret);
    visit(s.endsGame), visit(s.menuMarker), visit(s.explodes);
    visit(s.order);
    visit(s.layer);
}

template <class F>
void VisitFields(const TSign& s, F&& visit) {
    VisitFields(static_cast<const TSprite&>(s), visit);
    visit(s.seenVonkels);
}

template <class F>
void VisitFields(const TVonkel& v, F&& visit) {
    VisitFields(static_cast<const TSprite&>(v), visit);
    visit(v.vonkelKind), visit(v.spriteBase), visit(v.forceX), visit(v.forceY);
    visit(v.goalX), visit(v.goalY), visit(v.lookStep), visit(v.lookTicks);
    visit(v.targetIndex), visit(v.colour), visit(v.lookBegun), visit(v.targetKind);
    visit(v.speed), visit(v.stepTicks);
}

// The guards: a class whose size changed has a field the list may not have. (Counted where a
// pointer has 8 bytes; the list is the same on every build.) Change a size here only together
// with the list above.
static_assert(sizeof(void*) != 8 || sizeof(TOrder) == 40, "TOrder changed: see VisitFields");
static_assert(sizeof(void*) != 8 || sizeof(TSprite) == 136, "TSprite changed: see VisitFields");
static_assert(sizeof(void*) != 8 || sizeof(TSign) == 160, "TSign changed: see VisitFields");
static_assert(sizeof(void*) != 8 || sizeof(TVonkel) == 192, "TVonkel changed: see VisitFields");

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
