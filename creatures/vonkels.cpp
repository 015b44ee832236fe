// What every creature does in a tick. A creature counts ticks towards its next decision step;
// at a decision step it looks for a target, lets a sign steer it, turns a pending march into a
// destination, shoots, waits or walks one tile further, and looks around once it has arrived.
// Every tick its picture glides towards its tile.
#include <cmath>

#include "core/form1.h"

namespace {

// Where every march ends up after the look-around: the tile in front of the orb.
constexpr int kGoalX = 9, kGoalY = 1;
// The look-around of a creature that has not stood on a sign starts at its last stage, with
// the stage's pause already over.
constexpr int kUnsignedLookStep = 4, kUnsignedLookTicks = 10;
constexpr int kLookDone = 5;
// The exclamation mark shown at the first stage: three pictures, seven steps.
constexpr int kExclaimFrames = 3, kExclaimLife = 7;

// A drawn coordinate is aligned on a seventh of a tile: p / 35 within 0.0001 of a multiple of
// 0.1, on whole pixels a tile edge or 7, 14, 21 or 28 pixels past one. The multiple is the
// nearest one, which keeps the test the same on both sides of zero, so that creatures sent off
// the left or top edge by a sign decide there as they do beyond the right and bottom edges.
bool Aligned(float p) {
    const double q = double(p) / kTileSize;
    const double multiple = std::floor(10 * q + 0.5) / 10;
    return std::fabs(q - multiple) < 0.0001;
}

// The nearest column or row to a drawn coordinate.
int NearestTile(float p) {
    return int(std::floor(double(p) / kTileSize + 0.5));
}

}  // namespace

void TForm1::UpdateVonkels() {
    if (settings.DEBUG != 0 && dbgFreeze) return;
    // The list is read live: a creature killed in the pass leaves it at once. A shooter that
    // kills one below it moves down one place and is visited once more there.
    for (int i = int(lstVonkels.size()) - 1; i >= 0; --i) {
        if (size_t(i) >= lstVonkels.size()) continue;
        TVonkel& v = *lstVonkels[size_t(i)];
        ++v.stepTicks;
        if (Aligned(v.pixelX) && Aligned(v.pixelY) && v.stepTicks >= v.speed) {
            v.stepTicks = 0;
            const int cx = NearestTile(v.pixelX), cy = NearestTile(v.pixelY);
            SteerBySigns(cx, cy, i);

            // A pending march becomes the destination; after it comes the way to the orb.
            if (v.forceX != 0 || v.forceY != 0) {
                v.goalX = kGoalX;
                v.goalY = kGoalY;
                v.destX = v.tileX - v.forceX;
                v.destY = v.tileY - v.forceY;
                DebugLog("Vonkel %d target M0 now %d %d", i, v.destX, v.destY);
                v.forceX = 0;
                v.forceY = 0;
            }

            if (v.engaged) {
                v.engaged = false;
                if (v.targetIndex != -1) FireAtTarget(v);
            }
            if (v.waitTicks > 0) --v.waitTicks;

            if (v.waitTicks <= 0) {
                // Only along an axis on which it stands on its own tile: at most one column
                // and one row.
                StepTowardDest(v, v.spriteBase, v.tileX == cx, v.tileY == cy);
                if (v.tileX == cx && cx == v.destX && v.tileY == cy && cy == v.destY &&
                    v.goalX != 0 && v.goalY != 0)
                    LookAround(v, i, cx, cy);
            }
        }
        v.Redraw();
    }
}

void TForm1::FireAtTarget(TVonkel& v) {
    // The shot is drawn and heard before it hits. Beams at creatures and turrets end off the
    // target tile's centre, those at the orb on it.
    switch (v.targetKind) {
        case kTargetVonkel: {
            if (size_t(v.targetIndex) >= lstVonkels.size()) break;
            const TVonkel& target = *lstVonkels[size_t(v.targetIndex)];
            PlaySfx("beamshot1", 1);
            AddKillBeam(v.tileX, v.tileY, target.tileX, target.tileY, 17, 17, 10, 10,
                        uint32_t(v.colour));
            DamageVonkel(v.targetIndex, 1, settings.VONKELSHOTSTRENGTH);
            break;
        }
        case kTargetTurret: {
            if (size_t(v.targetIndex) >= lstTurrets.size()) break;
            const TSign& turret = *lstTurrets[size_t(v.targetIndex)];
            PlaySfx("beamshot1", 1);
            AddKillBeam(v.tileX, v.tileY, turret.tileX, turret.tileY, 17, 17, 10, 10,
                        uint32_t(v.colour));
            DamageTurret(v.targetIndex);
            break;
        }
        case kTargetOrb:
            if (!orb) break;
            PlaySfx("beamshot1", 1);
            AddKillBeam(v.tileX, v.tileY, orb->tileX, orb->tileY, 17, 17, 17, 17,
                        uint32_t(v.colour));
            DamageOrb();
            break;
        default:
            break;
    }
}

// One decision step of the look-around: the exclamation mark, then a look down, up, left and
// right, each stage lasting its pause in decision steps; then off to the goal.
void TForm1::LookAround(TVonkel& v, int i, int cx, int cy) {
    if (!v.lookBegun) {
        v.lookTicks = kUnsignedLookTicks;
        v.lookStep = kUnsignedLookStep;
        v.lookBegun = true;
    }
    if (v.lookStep == 0 && v.lookTicks == 0) {
        const int exclaim = v.vonkelKind == 0   ? sprFExclaim
                            : v.vonkelKind == 1 ? sprSExclaim
                                                : sprEExclaim;
        AddEffect(cx, cy, exclaim, kExclaimFrames, kExclaimLife, 255);
    }
    ++v.lookTicks;
    const bool advance = (v.lookStep == 0 && v.lookTicks >= settings.CONFSTATERPAUSEA) ||
                         (v.lookStep > 0 && v.lookTicks >= settings.CONFSTATERPAUSEB);
    if (!advance) return;
    v.lookTicks = 0;
    ++v.lookStep;
    switch (v.lookStep) {
        case 1:
            SetSpritePicture(v, v.spriteBase + kFacingDown);
            break;
        case 2:
            SetSpritePicture(v, v.spriteBase + kFacingUp);
            break;
        case 3:
            SetSpritePicture(v, v.spriteBase + kFacingLeft);
            break;
        case 4:
            SetSpritePicture(v, v.spriteBase + kFacingRight);
            break;
        case kLookDone:
            v.destX = v.goalX;
            v.destY = v.goalY;
            v.lookStep = 0;
            DebugLog("Vonkel %d target M2 now %d %d", i, v.destX, v.destY);
            break;
        default:
            break;
    }
}
