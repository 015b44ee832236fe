// The invariants check the fuzzers and the soak run rely on: it holds through ordinary play,
// and it notices each kind of breakage it is there to catch.
#include "core/invariants.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/harness.h"

TEST(Invariants, HoldThroughPlayAndNameWhatBreaks) {
    THarness h;
    TForm1& f = h.Form();
    EXPECT_EQ(CheckInvariants(f), "");
    h.StartPlay();
    h.Ticks(400);
    ASSERT_GT(f.lstVonkels.size(), 0u);
    EXPECT_EQ(CheckInvariants(f), "");

    // A score changed without its counter being redrawn.
    ++f.score;
    EXPECT_NE(CheckInvariants(f).find("score counter"), std::string::npos);
    --f.score;
    // A layer on the playfield that no object owns.
    TBitmapLayer& stray = f.Playfield->AddLayer();
    EXPECT_NE(CheckInvariants(f).find("without its object"), std::string::npos);
    stray.Free();
    EXPECT_EQ(CheckInvariants(f), "");
    // The orb pointing at an object that is no longer an effect.
    TSprite* orb = f.orb;
    f.orb = f.lstBots.front().get();
    EXPECT_NE(CheckInvariants(f).find("orb"), std::string::npos);
    f.orb = orb;
    // A sign off the board, and a level out of range.
    f.PlaceSign(3, 3, 0, true);
    f.lstSigns.back()->SetTileX(20);
    EXPECT_NE(CheckInvariants(f).find("off the board in lstSigns"), std::string::npos);
    f.lstSigns.back()->SetTileX(3);
    // A creature whose health went NaN.
    TVonkel& v = PlaceVonkel(f, 0, 5, 5);
    v.health = std::nan("");
    EXPECT_NE(CheckInvariants(f).find("not a number: lstVonkels"), std::string::npos);
    v.health = 1;
    EXPECT_EQ(CheckInvariants(f), "");
    f.hatred = 3;
    EXPECT_NE(CheckInvariants(f).find("hatred"), std::string::npos);
}
