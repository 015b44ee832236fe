// How creatures walk: when they decide, how their pictures glide between decisions, marching,
// diagonal steps, and the look-around at a reached destination.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/creatures_test.h"

namespace {

// Whether the creature took a decision step in the tick just run.
bool Decided(const TVonkel& v) {
    return v.stepTicks == 0;
}

int Count(const std::vector<std::string>& log, const std::string& prefix) {
    return int(std::count_if(log.begin(), log.end(),
                             [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
}

int Exclamations(TForm1& f) {
    return int(std::count_if(f.lstEffects.begin(), f.lstEffects.end(), [&](const auto& e) {
        return e->firstFrame == f.sprFExclaim || e->firstFrame == f.sprSExclaim ||
               e->firstFrame == f.sprEExclaim;
    }));
}

}  // namespace

TEST(CreatureMovement, AtSpeed20AStepGlidesSevenTicksAndTheNextComesTwentyTicksLater) {
    TCreatureGame g;
    TVonkel& v = g.Place(2, 5, 10);
    v.destX = 8;
    v.stepTicks = 19;  // the next tick is a decision step
    g.Tick();
    ASSERT_TRUE(Decided(v));
    EXPECT_EQ(v.tileX, 6);
    EXPECT_TRUE(g.Shows(v, kFacingRight));
    // Drawn 4, 8, .., 28 pixels past the edge in the decision tick and the six after it.
    std::vector<float> drawn{v.pixelX - 175};
    for (int t = 1; t <= 7; ++t) {
        g.Tick();
        drawn.push_back(v.pixelX - 175);
        EXPECT_FALSE(Decided(v));
    }
    EXPECT_EQ(drawn, (std::vector<float>{4, 8, 12, 16, 20, 24, 28, 35}));
    EXPECT_EQ(v.pixelY, 350);
    // Standing on the edge until the twentieth tick after the decision.
    for (int t = 8; t < 20; ++t) {
        g.Tick();
        ASSERT_FALSE(Decided(v)) << "tick " << t;
        ASSERT_EQ(v.tileX, 6);
    }
    g.Tick();
    EXPECT_TRUE(Decided(v));
    EXPECT_EQ(v.tileX, 7);
}

TEST(CreatureMovement, FastCreaturesDecideInEveryAlignedTickAndStepInsideAGlide) {
    for (const int speed : {0, 1}) {
        SCOPED_TRACE(speed);
        TCreatureGame g;
        TVonkel& v = g.Place(0, 2, 5);
        v.speed = speed;
        v.destX = 12;
        for (int t = 0; t < 40; ++t) {
            // Aligned means on a seventh of a tile on both axes.
            const float p = v.pixelX;
            const bool aligned = int(p) % 7 == 0 && int(v.pixelY) % 7 == 0;
            g.Tick();
            EXPECT_EQ(Decided(v), aligned) << "tick " << t << " drawn at " << p;
        }
        EXPECT_GT(v.tileX, 2 + 2) << "faster than a tile a glide";
    }
    // Below 8 ticks a step, the next decision falls 28 pixels into the glide, where the nearest
    // column is already the one it is gliding to, so it steps on before the glide ends.
    TCreatureGame g;
    TVonkel& v = g.Place(1, 2, 5);
    v.speed = 7;
    v.destX = 12;
    v.stepTicks = 6;
    g.Tick();
    ASSERT_EQ(v.tileX, 3);
    for (int t = 1; t < 7; ++t) g.Tick();
    EXPECT_EQ(v.pixelX, 70 + 28);
    g.Tick();
    EXPECT_TRUE(Decided(v));
    EXPECT_EQ(v.tileX, 4);
    EXPECT_EQ(v.pixelX, 70 + 32) << "the glide goes on towards the new tile";
}

TEST(CreatureMovement, TheFirstDecisionTurnsTheMarchIntoADestinationStraightUp) {
    TCreatureGame g("SVONKELFORCEY=6\n");
    TForm1& f = g.f();
    TVonkel& v = g.Place(1, 10, 18);
    v.forceY = f.settings.SVONKELFORCEY;
    v.stepTicks = 19;
    g.Tick();
    EXPECT_EQ(v.destX, 10);
    EXPECT_EQ(v.destY, 12);
    EXPECT_EQ(v.goalX, 9);
    EXPECT_EQ(v.goalY, 1);
    EXPECT_EQ(v.forceY, 0);
    EXPECT_EQ(v.tileY, 17);
    EXPECT_TRUE(g.Shows(v, kFacingUp));
    EXPECT_EQ(f.lstDebug,
              (std::vector<std::string>{"Vonkel 0 force params 0 6", "Vonkel 0 at 10 18",
                                        "Vonkel 0 target M0 now 10 12"}));
}

TEST(CreatureMovement, AKindWithoutAMarchWalksStraightToTheBaseWithoutLookingAround) {
    TTempAssets dir;
    THarness h(
        dir.WithSettings("DEBUG=1\nEVONKELFORCEY=0\nEVONKELBASEEMERGE=0\n"
                         "SVONKELBASEEMERGE=100000\nFVONKELBASEEMERGE=100000\n"
                         "VONKELEMERGESWAP=0\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(1);
    ASSERT_EQ(f.lstVonkels.size(), 1u);
    f.settings.EVONKELBASEEMERGE = 100000;  // only this one
    f.spawnE.emergeEvery = 100000;
    const int id = f.lstVonkels[0]->id;
    // Diagonally up and to the right, one tile a second, until it stands next to a turret.
    for (int step = 1; step <= 7; ++step) {
        h.Ticks(20);
        ASSERT_EQ(f.lstVonkels.size(), 1u);
        const TVonkel& v = *f.lstVonkels[0];
        EXPECT_EQ(v.tileX, 1 + step);
        EXPECT_EQ(v.tileY, 18 - step);
        EXPECT_EQ(v.destX, 9);
        EXPECT_EQ(v.destY, 1);
    }
    EXPECT_EQ(f.lstVonkels[0]->id, id);
    EXPECT_EQ(f.lstVonkels[0]->goalX, 0);
    EXPECT_EQ(Count(f.lstDebug, "Vonkel 0 target M"), 0);
    EXPECT_EQ(Exclamations(f), 0);
}

TEST(CreatureMovement, BothAxesChangeInOneStepAndTheVerticalPictureWins) {
    TCreatureGame g;
    const struct {
        int dx, dy, facing;
    } cases[] = {{1, -1, kFacingUp},   {-1, -1, kFacingUp},  {1, 1, kFacingDown},
                 {-1, 1, kFacingDown}, {1, 0, kFacingRight}, {-1, 0, kFacingLeft}};
    for (const auto& c : cases) {
        TVonkel& v = g.Place(2, 10, 10);
        v.destX = 10 + 3 * c.dx;
        v.destY = 10 + 3 * c.dy;
        v.stepTicks = 19;
        g.Tick();
        EXPECT_EQ(v.tileX, 10 + c.dx);
        EXPECT_EQ(v.tileY, 10 + c.dy);
        EXPECT_TRUE(g.Shows(v, c.facing)) << c.dx << "," << c.dy;
        if (c.dy != 0) {
            EXPECT_EQ(v.prevTileX, 10);
            EXPECT_EQ(v.prevTileY, 10);
        }
    }
}

TEST(CreatureMovement, AfterASignTheLookAroundTakesSixDecisionStepsAndWithoutOneNone) {
    TCreatureGame g;
    TForm1& f = g.f();
    // One creature marched onto its destination by a sign, one that was never on a sign.
    TVonkel& signed_ = g.Place(0, 4, 4);
    signed_.goalX = 9, signed_.goalY = 1;
    signed_.lookBegun = true;
    TVonkel& plain = g.Place(1, 14, 4);
    plain.goalX = 9, plain.goalY = 1;
    std::vector<std::string> pictures;
    const char* names[] = {"D", "U", "L", "R"};
    for (int step = 1; step <= 6; ++step) {
        signed_.stepTicks = plain.stepTicks = 19;
        g.Tick();
        std::string shown = "?";
        for (int facing = 0; facing < 4; ++facing)
            if (g.Shows(signed_, facing)) shown = names[facing];
        pictures.push_back(shown);
        if (step == 1) {
            EXPECT_EQ(Exclamations(f), 1) << "the exclamation mark comes on arrival";
            EXPECT_EQ(plain.destX, 9) << "without a sign it heads for the base at once";
            EXPECT_EQ(plain.destY, 1);
            EXPECT_TRUE(plain.lookBegun);
        }
        if (step < 6) {
            EXPECT_EQ(signed_.destX, 4) << "step " << step;
        }
    }
    EXPECT_EQ(pictures, (std::vector<std::string>{"D", "D", "U", "L", "R", "R"}));
    EXPECT_EQ(signed_.destX, 9);
    EXPECT_EQ(signed_.destY, 1);
    EXPECT_EQ(signed_.tileX, 4) << "it turns in the step that sets the way, and walks in the next";
    EXPECT_EQ(Count(f.lstDebug, "Vonkel 0 target M2 now 9 1"), 1);
    EXPECT_EQ(Count(f.lstDebug, "Vonkel 1 target M2 now 9 1"), 1);
    const auto& exclaim =
        *std::find_if(f.lstEffects.begin(), f.lstEffects.end(),
                      [&](const auto& e) { return e->firstFrame == f.sprFExclaim; });
    EXPECT_EQ(exclaim->tileX, 4);
    EXPECT_EQ(exclaim->frameCount, 3);
}

TEST(CreatureMovement, LongerPausesStretchTheLookAround) {
    TCreatureGame g("CONFSTATERPAUSEA=3\nCONFSTATERPAUSEB=2\n");
    TVonkel& v = g.Place(2, 4, 4);
    v.goalX = 9, v.goalY = 1;
    v.lookBegun = true;
    int steps = 0;
    while (v.destX != 9 && steps < 50) {
        v.stepTicks = 19;
        g.Tick();
        ++steps;
    }
    // Three for the exclamation (the arrival among them), two for each of the four looks; the
    // last look's second step sets the way.
    EXPECT_EQ(steps, 3 + 4 * 2);
}

TEST(CreatureMovement, ADestinationOffTheBoardIsReachedOnEverySideAndLeftAgain) {
    const struct {
        int x, y, destX, destY;
    } cases[] = {{2, 8, -3, 8}, {3, 2, 3, -3}, {17, 8, 22, 8}, {8, 17, 8, 22}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.destX) + "," + std::to_string(c.destY));
        TCreatureGame g;
        TVonkel& v = g.Place(0, c.x, c.y);
        v.destX = c.destX, v.destY = c.destY;
        v.goalX = 9, v.goalY = 1;
        bool arrived = false;
        for (int t = 0; t < 400 && !arrived; ++t) {
            g.Tick();
            arrived = v.tileX == c.destX && v.tileY == c.destY && v.destX == 9;
        }
        EXPECT_TRUE(arrived);
        EXPECT_EQ(v.pixelX, 35 * c.destX);
        EXPECT_EQ(v.pixelY, 35 * c.destY);
        for (int t = 0; t < 100; ++t) g.Tick();
        EXPECT_GE(v.tileX, 0);
        EXPECT_GE(v.tileY, 0);
        EXPECT_LT(v.tileX, 20);
        EXPECT_LT(v.tileY, 20);
    }
}

TEST(CreatureMovement, TheDebugFreezeHoldsEveryCreatureOnlyInDebugMode) {
    for (const int debug : {0, 1}) {
        SCOPED_TRACE(debug);
        TTempAssets dir;
        THarness h(dir.WithSettings("DEBUG=" + std::to_string(debug) + "\nEVONKELBASEEMERGE=0\n"));
        TForm1& f = h.Form();
        h.StartPlay();
        h.Ticks(1);
        f.dbgFreeze = true;
        TVonkel& v = *f.lstVonkels[0];
        const int ticks = v.stepTicks;
        const float y = v.pixelY;
        h.Ticks(41);
        EXPECT_EQ(v.stepTicks == ticks, debug != 0);
        EXPECT_EQ(v.pixelY == y, debug != 0);
    }
}
