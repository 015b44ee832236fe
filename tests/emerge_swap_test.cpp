// The emergence swap: the configured intervals pass on among the kinds in one of three
// rotations, and the tunnels keep counting.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "tests/harness.h"

TEST(EmergeSwap, OnlyTheThreeRotationsOfTheConfiguredIntervalsOccur) {
    TTempAssets dir;
    THarness h(
        dir.WithSettings("FVONKELBASEEMERGE=80\nSVONKELBASEEMERGE=100\nEVONKELBASEEMERGE=50\n"
                         "VONKELEMERGESWAP=30\nINITDELAY=2000000000\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    ASSERT_TRUE(f.tmrEmergeSwap->Enabled());
    std::set<std::tuple<int, int, int>> seen;  // F, S, E
    for (int swap = 0; swap < 60; ++swap) {
        h.Advance(30000);
        seen.insert({f.spawnF.emergeEvery, f.spawnS.emergeEvery, f.spawnE.emergeEvery});
        EXPECT_TRUE(f.tmrEmergeSwap->Enabled());
        EXPECT_EQ(f.tmrEmergeSwap->Due(), h.clock.now + 30000) << "a full interval anew";
    }
    EXPECT_EQ(seen,
              (std::set<std::tuple<int, int, int>>{{80, 100, 50}, {100, 50, 80}, {50, 80, 100}}));
}

TEST(EmergeSwap, TheCountersRunOnAgainstTheNewIntervals) {
    TTempAssets dir;
    THarness h(dir.WithSettings("VONKELEMERGESWAP=0\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(10);
    // The second rotation: F takes S's interval, S takes E's, E takes F's.
    f.spawnF.emergeEvery = f.settings.SVONKELBASEEMERGE;
    f.spawnS.emergeEvery = f.settings.EVONKELBASEEMERGE;
    f.spawnE.emergeEvery = f.settings.FVONKELBASEEMERGE;
    std::vector<std::pair<int, int>> born;  // tick, kind
    while (f.tickCount < 101) {
        const size_t before = f.lstVonkels.size();
        h.Ticks(1);
        for (size_t i = before; i < f.lstVonkels.size(); ++i)
            born.push_back({f.tickCount, f.lstVonkels[i]->vonkelKind});
    }
    // Counted from the start of spawning: S on the 51st tick, E on the 81st, F on the 101st.
    EXPECT_EQ(born, (std::vector<std::pair<int, int>>{{51, 1}, {81, 2}, {101, 0}}));
    EXPECT_FALSE(f.tmrEmergeSwap->Enabled());
}
