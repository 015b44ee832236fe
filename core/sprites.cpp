// Sprite placement and the effect factory.
#include "core/sprites.h"

#include <cmath>

#include "core/form1.h"

namespace {

constexpr float kGlideStep = 4;
// A gliding sprite closer than this to its target jumps onto it.
constexpr float kGlideSnap = 5;

// One axis of a glide: a step of 4 pixels toward the target, never past it, and a snap when
// the rest is shorter than a step would leave worth drawing.
void GlideAxis(float& drawn, float target) {
    if (target == drawn) return;
    if (target > drawn) drawn += kGlideStep;
    if (target < drawn) drawn -= kGlideStep;
    if (std::fabs(std::fabs(drawn) - std::fabs(target)) < kGlideSnap) drawn = target;
}

// Where a sprite of the build menu's two-column, three-row grid is drawn.
float BuildMenuX(int column) {
    return column == 1 ? 44 : 3;
}
float BuildMenuY(int row) {
    switch (row) {
        case 0:
            return 17;
        case 1:
            return 58;
        case 2:
            return 99;
        default:
            return 44;
    }
}

}  // namespace

void TSprite::Redraw() {
    layer->SetVisible(visible);
    const float tileLeft = float(kTileSize * tileX), tileTop = float(kTileSize * tileY);
    bool onTile = false;
    if (inBuildMenu) {
        pixelX = BuildMenuX(tileX);
        pixelY = BuildMenuY(tileY);
    } else if (inOrbMenu) {
        pixelX = 24;
        pixelY = 16;
    } else if (glides) {
        GlideAxis(pixelX, tileLeft);
        GlideAxis(pixelY, tileTop);
        onTile = pixelX == tileLeft && pixelY == tileTop;
    } else {
        pixelX = tileLeft;
        pixelY = tileTop;
    }

    TPicture& bitmap = layer->Bitmap();
    pixelRight = pixelX + float(bitmap.Width());
    pixelBottom = pixelY + float(bitmap.Height());
    layer->SetLocation({pixelX, pixelY, pixelRight, pixelBottom});
    bitmap.SetDrawMode(TDrawMode::Blend);

    // A bot standing on its order's tile works on it; the sixth redraw there completes it.
    if (onTile && order) {
        ++order->workTicks;
        if (order->workTicks > 5) {
            order->owner->CompleteOrder(*order);
            order.reset();
        }
    }
}

const TPicture& TForm1::CataloguePicture(int index) const {
    static const TPicture kNone;
    return index >= 0 && index < int(Sprites.size()) ? Sprites[size_t(index)] : kNone;
}

void TForm1::SetSpritePicture(TSprite& sprite, int index) {
    sprite.layer->Bitmap().Assign(CataloguePicture(index));
}

void TForm1::StepTowardDest(TSprite& s, int pictures, bool alongX, bool alongY) {
    if (alongX && s.tileX < s.destX) {
        s.SetTileX(s.tileX + 1);
        SetSpritePicture(s, pictures + kFacingRight);
    } else if (alongX && s.destX < s.tileX) {
        s.SetTileX(s.tileX - 1);
        SetSpritePicture(s, pictures + kFacingLeft);
    }
    if (alongY && s.tileY < s.destY) {
        s.SetTileY(s.tileY + 1);
        SetSpritePicture(s, pictures + kFacingDown);
    } else if (alongY && s.destY < s.tileY) {
        s.SetTileY(s.tileY - 1);
        SetSpritePicture(s, pictures + kFacingUp);
    }
}

void TForm1::AddEffect(int tileX, int tileY, int picture, int frameCount, int life, int alpha) {
    lstEffects.push_back(std::make_unique<TSprite>(*Playfield));
    TSprite& effect = *lstEffects.back();
    effect.firstFrame = picture;
    effect.frameCount = frameCount;
    effect.life = life;
    effect.alpha = alpha;
    SetSpritePicture(effect, picture);
    effect.layer->Bitmap().SetMasterAlpha(alpha);
    effect.SetTileX(tileX);
    effect.SetTileY(tileY);
    effect.Redraw();
}
