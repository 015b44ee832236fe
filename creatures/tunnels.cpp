// The emergence swap: now and then the three configured emergence intervals pass on among the
// kinds, so that no tunnel keeps its rate for good.
#include "core/form1.h"

void TForm1::tmrEmergeSwapTimer() {
    tmrEmergeSwap->SetEnabled(false);
    // One of the three rotations of the configured F, S, E assignment (the first restores
    // it), never another order. The counters run on against the new intervals.
    const int configured[3] = {settings.FVONKELBASEEMERGE, settings.SVONKELBASEEMERGE,
                               settings.EVONKELBASEEMERGE};
    const int shift = random.RandomInt(1, 3) - 1;
    spawnF.emergeEvery = configured[shift % 3];
    spawnS.emergeEvery = configured[(shift + 1) % 3];
    spawnE.emergeEvery = configured[(shift + 2) % 3];
    tmrEmergeSwap->SetEnabled(true);
}
