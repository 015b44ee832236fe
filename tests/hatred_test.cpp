// The hatred warnings: when they come, what they show and sound, and the switch of the cycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/native.h"
#include "tests/harness.h"

TEST(Hatred, WarningsComeFiveSecondsSoonerEachTimeDownToForty) {
    THarness h;
    TForm1& f = h.Form();
    h.StartPlay();
    const uint64_t start = h.clock.now;
    // The warnings alone: the tick is not needed here.
    f.tmrTick->SetEnabled(false);
    std::vector<uint64_t> at;
    auto warn = f.tmrRHS->OnTimer;
    f.tmrRHS->OnTimer = [&] {
        at.push_back(h.clock.now);
        warn();
    };
    h.audio.log.clear();
    h.Advance(2000000);

    std::vector<uint64_t> gaps;
    uint64_t last = start;
    for (uint64_t t : at) {
        gaps.push_back((t - last) / 1000);
        last = t;
    }
    std::vector<uint64_t> expected;
    for (uint64_t s = 120; s >= 45; s -= 5) expected.push_back(s);
    while (expected.size() < gaps.size()) expected.push_back(40);
    EXPECT_EQ(gaps, expected);
    EXPECT_GE(gaps.size(), 25u);
    // Every warning sounds; channel 0 holds none back.
    EXPECT_EQ(size_t(std::count(h.audio.log.begin(), h.audio.log.end(), "sound hatewarning.wav")),
              at.size());

    // A new game keeps the shortened interval.
    f.NewGame();
    EXPECT_EQ(f.tmrRHS->Interval(), 40000u);
}

TEST(Hatred, TheLevelSwitchesFifteenTicksAfterAWarning) {
    // No creature comes out to bring the game to an end first.
    TTempAssets dir;
    THarness h(dir.WithSettings("INITDELAY=1000000\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    // Ticks at start + 50 k; the first warning at start + 120 s, between ticks 2399 and 2400
    // in firing order (the tick timer was created first and fires first on a tie).
    h.Ticks(2400);
    EXPECT_TRUE(f.spHatred->Visible());
    EXPECT_EQ(f.spHatred->Tag, 0);
    EXPECT_EQ(f.hatred, 1);
    h.Ticks(14);
    EXPECT_EQ(f.hatred, 1);
    h.Ticks(1);
    EXPECT_EQ(f.hatred, 2);
    EXPECT_FALSE(f.spHatred->Visible());
    // The panel shows the new level's picture.
    TPicture rhs2;
    ASSERT_TRUE(rhs2.LoadFromFile(NativeFiles(), f.assetDir + "rhs2.bmp"));
    EXPECT_TRUE(SamePixels(f.imHatred->Bitmap(), rhs2));

    // The next warning, 115 s later, switches it back.
    h.Ticks(115 * 20 + 15);
    EXPECT_EQ(f.hatred, 1);
}

TEST(Hatred, ChangeAlwaysGivesTheOtherLevelAndFromThreeEitherOne) {
    THarness h;
    TForm1& f = h.Form();
    for (int n = 0; n < 20; ++n) {
        const int before = f.hatred;
        f.ChangeHatred();
        EXPECT_EQ(f.hatred, 3 - before);
    }
    int ones = 0;
    for (int n = 0; n < 200; ++n) {
        f.hatred = 3;
        f.ChangeHatred();
        ASSERT_TRUE(f.hatred == 1 || f.hatred == 2);
        ones += f.hatred == 1;
    }
    EXPECT_GT(ones, 60);
    EXPECT_LT(ones, 140);
}
