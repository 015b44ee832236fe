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

// One hit: nothing when the target was hit already in this tick, else the hit flash on its
// tile and the damage. True when the hit leaves it no health.
bool Strike(TForm1& game, TSprite& target, double damage) {
    if (target.struck) return false;
    target.struck = true;
    game.AddEffect(target.tileX, target.tileY, game.sprSplode, kFlashFrames, kFlashLife, 255);
    target.health -= damage;
    return target.health <= 0;
}

// The bang of a kill, one of two sounds, and its explosion on the tile.
void Explode(TForm1& game, const TSprite& target, int life) {
    game.PlaySfx("explosion" + std::to_string(game.random.RandomRange(1, 3)), 3);
    game.AddEffect(target.tileX, target.tileY, game.sprSplode, kExplosionFrames, life, 255);
}

// Creature shots do nothing to turrets and the orb while debug mode's invincibility is on.
double ShotOnTheBase(const TForm1& game) {
    return game.settings.DEBUG != 0 && game.dbgInvincible ? 0.0 : game.settings.VONKELSHOTSTRENGTH;
}

}  // namespace

void TForm1::DamageVonkel(int index, int killer, double damage) {
    if (index < 0 || size_t(index) >= lstVonkels.size()) return;
    TVonkel& c = *lstVonkels[size_t(index)];
    if (!Strike(*this, c, damage)) return;
    Explode(*this, c, kExplosionLife);
    if (random.RandomInt(0, 99) <= settings.VONKELSCRAPPERC) DropScrap(c.tileX, c.tileY);
    lstVonkels.erase(lstVonkels.begin() + index);
    ++(killer == 1 ? killsByCreatures : killsByTurrets);
    score = AddScore(score, killer == 1 ? settings.VONKELKILL : settings.TURRETKILL);
    DrawCounter(*imScore, std::to_string(score));
}

void TForm1::DamageTurret(int index) {
    if (index < 0 || size_t(index) >= lstTurrets.size()) return;
    TSign& t = *lstTurrets[size_t(index)];
    if (!Strike(*this, t, ShotOnTheBase(*this))) return;
    Explode(*this, t, kExplosionLife);
    // The music follows the turrets left at the next tick.
    lstTurrets.erase(lstTurrets.begin() + index);
}

void TForm1::DamageOrb() {
    if (!orb || !Strike(*this, *orb, ShotOnTheBase(*this))) return;
    // The orb stays; every further hit until play stops brings another of these.
    Explode(*this, *orb, kOrbExplosionLife);
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
