// What a hit does: to a creature, a turret or the orb. Each takes at most one hit per tick;
// a kill scores, explodes and sometimes leaves a scrap piece, a fallen turret is gone, and the
// orb's fall starts the end of the game.
#include <cstdint>
#include <limits>

#include "core/form1.h"

namespace {

// The hit flash: the first two explosion pictures, three steps.
constexpr int kFlashFrames = 2, kFlashLife = 3;
// A kill's explosion: all seven pictures once; the orb's runs them twice.
constexpr int kExplosionFrames = 7, kExplosionLife = 7, kOrbExplosionLife = 14;
// Board object kind of a dropped scrap piece.
constexpr int kScrapKind = 5;

// The score never wraps round into the negative, however large the settings make a kill.
int AddScore(int score, int points) {
    const int64_t sum = int64_t(score) + points;
    if (sum > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (sum < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return int(sum);
}

}  // namespace

void TForm1::DamageVonkel(int index, int killer, double damage) {
    if (index < 0 || size_t(index) >= lstVonkels.size()) return;
    TVonkel& c = *lstVonkels[size_t(index)];
    if (c.struck) return;
    c.struck = true;
    AddEffect(c.tileX, c.tileY, sprSplode, kFlashFrames, kFlashLife, 255);
    c.health -= damage;
    if (c.health > 0) return;

    PlaySfx("explosion" + std::to_string(random.RandomRange(1, 3)), 3);
    AddEffect(c.tileX, c.tileY, sprSplode, kExplosionFrames, kExplosionLife, 255);
    if (random.RandomInt(0, 99) <= settings.VONKELSCRAPPERC) DropScrap(c.tileX, c.tileY);
    lstVonkels.erase(lstVonkels.begin() + index);
    score = AddScore(score, killer == 1 ? settings.VONKELKILL : settings.TURRETKILL);
    DrawCounter(*imScore, std::to_string(score));
}

void TForm1::DamageTurret(int index) {
    if (index < 0 || size_t(index) >= lstTurrets.size()) return;
    const double damage = settings.DEBUG != 0 && dbgInvincible ? 0.0 : settings.VONKELSHOTSTRENGTH;
    TSign& t = *lstTurrets[size_t(index)];
    if (t.struck) return;
    t.struck = true;
    AddEffect(t.tileX, t.tileY, sprSplode, kFlashFrames, kFlashLife, 255);
    t.health -= damage;
    if (t.health > 0) return;

    PlaySfx("explosion" + std::to_string(random.RandomRange(1, 3)), 3);
    AddEffect(t.tileX, t.tileY, sprSplode, kExplosionFrames, kExplosionLife, 255);
    // The music follows the turrets left at the next tick.
    lstTurrets.erase(lstTurrets.begin() + index);
}

void TForm1::DamageOrb() {
    if (!orb) return;
    const double damage = settings.DEBUG != 0 && dbgInvincible ? 0.0 : settings.VONKELSHOTSTRENGTH;
    TSprite& o = *orb;
    if (o.struck) return;
    o.struck = true;
    AddEffect(o.tileX, o.tileY, sprSplode, kFlashFrames, kFlashLife, 255);
    o.health -= damage;
    if (o.health > 0) return;

    // The orb stays; every further hit until play stops brings another of these.
    PlaySfx("explosion" + std::to_string(random.RandomRange(1, 3)), 3);
    AddEffect(o.tileX, o.tileY, sprSplode, kExplosionFrames, kOrbExplosionLife, 255);
    lstEffects.back()->endsGame = true;
}

void TForm1::DropScrap(int tileX, int tileY) {
    lstScrap.push_back(std::make_unique<TSprite>(*Playfield));
    TSprite& piece = *lstScrap.back();
    piece.kind = kScrapKind;
    SetSpritePicture(piece, sprScrap);
    piece.gatherable = true;
    piece.id = ++nextId;
    piece.SetTileX(tileX);
    piece.SetTileY(tileY);
    piece.Redraw();
}
