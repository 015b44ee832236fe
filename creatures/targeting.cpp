// What a creature shoots at: a turret next to it, else the orb once no base turret stands, else
// a creature of the kind it hates. "Next to" is its own tile or one of the eight around it.
#include "core/form1.h"

namespace {

// The orb is found under this index; it only says that the orb is in reach.
constexpr int kOrbIndex = 1;
// Every search looks one tile around the creature: strictly closer than two tiles.
constexpr int kReach = 2;

// The kind a creature of `kind` shoots at this hatred level: each level is a cycle, and the
// second runs the other way round. Any other level sets no kind against another.
int HatedKind(int hatred, int kind) {
    static constexpr int kHated[2][3] = {
        {1, 2, 0},  // level 1: F shoots S, S shoots E, E shoots F
        {2, 0, 1},  // level 2: F shoots E, S shoots F, E shoots S
    };
    if ((hatred != 1 && hatred != 2) || kind < 0 || kind > 2) return -1;
    return kHated[hatred - 1][kind];
}

bool Within(int centre, int value, int r) {
    return centre - r < value && value < centre + r;
}

}  // namespace

bool TForm1::InRange(int x, int y, int index, int kind, int r) const {
    if (index == -1) return false;
    const TSprite* target = nullptr;
    switch (kind) {
        case kTargetVonkel:
            if (index >= 0 && size_t(index) < lstVonkels.size())
                target = lstVonkels[size_t(index)].get();
            break;
        case kTargetTurret:
            if (index >= 0 && size_t(index) < lstTurrets.size())
                target = lstTurrets[size_t(index)].get();
            break;
        case kTargetOrb:
            target = orb;  // whatever the index
            break;
        default:
            break;
    }
    return target && Within(x, target->tileX, r) && Within(y, target->tileY, r);
}

bool TForm1::Adjacent(const TSprite& a, const TSprite& b) {
    return Within(a.tileX, b.tileX, kReach) && Within(a.tileY, b.tileY, kReach);
}

int TForm1::AcquireTarget(int i) {
    TVonkel& v = *lstVonkels[size_t(i)];
    DebugLog("Vonkel %d force params %d %d", i, v.forceX, v.forceY);
    // The order of the searches is the priority: a turret, the orb, a hated creature.
    const struct {
        int kind;
        int (TForm1::*find)(int) const;
    } searches[] = {{kTargetTurret, &TForm1::FindTurretTarget},
                    {kTargetOrb, &TForm1::FindOrbTarget},
                    {kTargetVonkel, &TForm1::FindHatedVonkel}};
    for (const auto& search : searches) {
        const int found = (this->*search.find)(i);
        if (found == -1) continue;
        DebugLog("Vonkel %d acquired target type %d id %d", i, search.kind, found);
        v.targetKind = search.kind;
        return found;
    }
    return -1;  // targetKind keeps its old value
}

int TForm1::FindTurretTarget(int i) const {
    const TVonkel& v = *lstVonkels[size_t(i)];
    // Of several turrets in reach, the last in the list.
    for (int n = int(lstTurrets.size()) - 1; n >= 0; --n)
        if (InRange(v.tileX, v.tileY, n, kTargetTurret, kReach)) return n;
    return -1;
}

int TForm1::FindOrbTarget(int i) const {
    // The orb cannot be shot while a single base turret stands.
    for (const auto& turret : lstTurrets)
        if (turret->isTurret) return -1;
    const TVonkel& v = *lstVonkels[size_t(i)];
    return InRange(v.tileX, v.tileY, kOrbIndex, kTargetOrb, kReach) ? kOrbIndex : -1;
}

int TForm1::FindHatedVonkel(int i) const {
    const TVonkel& v = *lstVonkels[size_t(i)];
    const int hated = HatedKind(hatred, v.vonkelKind);
    if (hated == -1) return -1;
    // Of several hated creatures next to it, the last in the list.
    for (int idx = int(lstVonkels.size()) - 1; idx >= 0; --idx) {
        if (idx == i) continue;
        const TVonkel& other = *lstVonkels[size_t(idx)];
        if (other.vonkelKind == hated && Adjacent(v, other)) return idx;
    }
    return -1;
}
