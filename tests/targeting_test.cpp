// What creatures shoot at: turrets first, then the orb once no base turret stands, then the
// kind they hate; only what stands on their tile or one of the eight around it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/creatures_test.h"

TEST(Targeting, ReachIsTheTileAndTheEightAroundItStrictly) {
    TCreatureGame g;
    TForm1& f = g.f();
    // The turret on (8,1) is index 2.
    for (int dx = -3; dx <= 3; ++dx)
        for (int dy = -3; dy <= 3; ++dy) {
            const bool near = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
            EXPECT_EQ(f.InRange(8 + dx, 1 + dy, 2, 1, 2), near) << dx << "," << dy;
        }
    EXPECT_FALSE(f.InRange(8, 1, -1, 1, 2)) << "no index, no target";
    EXPECT_FALSE(f.InRange(8, 1, 2, 3, 2)) << "no such kind";
    EXPECT_TRUE(f.InRange(9, 0, 12345, 2, 2)) << "the orb whatever the index";
    EXPECT_TRUE(f.InRange(8, 1, 2, 1, 1)) << "a radius of 1 reaches the tile itself";
    EXPECT_FALSE(f.InRange(9, 1, 2, 1, 1)) << "and nothing around it";

    TVonkel& a = g.Place(0, 4, 4);
    TVonkel& b = g.Place(0, 4, 4);
    EXPECT_TRUE(TForm1::Adjacent(a, b)) << "the same tile";
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{6, 4}, {2, 4}, {4, 6}, {6, 6}}) {
        b.SetTileX(x);
        b.SetTileY(y);
        EXPECT_FALSE(TForm1::Adjacent(a, b)) << x << "," << y;
    }
}

TEST(Targeting, ATurretComesFirstThenTheOrbThenAHatedCreature) {
    TCreatureGame g;
    TForm1& f = g.f();
    // An F creature on (9,1): every turret, the orb and an S creature in reach.
    TVonkel& v = g.Place(0, 9, 1);
    g.Place(1, 9, 2);
    EXPECT_EQ(f.AcquireTarget(0), 3) << "of the turrets in reach, the last in the list";
    EXPECT_EQ(v.targetKind, 1);
    f.lstTurrets.clear();
    EXPECT_EQ(f.AcquireTarget(0), 1);
    EXPECT_EQ(v.targetKind, 2);
    // Away from the orb only the S creature is left.
    v.SetTileY(2);
    f.lstVonkels[1]->SetTileY(3);
    EXPECT_EQ(f.AcquireTarget(0), 1);
    EXPECT_EQ(v.targetKind, 0);
    f.lstVonkels[1]->SetTileY(4);
    EXPECT_EQ(f.AcquireTarget(0), -1);
    EXPECT_EQ(v.targetKind, 0) << "kept when nothing is found";
    EXPECT_EQ(f.lstDebug, (std::vector<std::string>{
                              "Vonkel 0 force params 0 0", "Vonkel 0 acquired target type 1 id 3",
                              "Vonkel 0 force params 0 0", "Vonkel 0 acquired target type 2 id 1",
                              "Vonkel 0 force params 0 0", "Vonkel 0 acquired target type 0 id 1",
                              "Vonkel 0 force params 0 0"}));
}

TEST(Targeting, TheOrbIsOutOfReachWhileAnyBaseTurretStands) {
    TCreatureGame g;
    TForm1& f = g.f();
    // Only the turret on (10,1) is left; a creature on (8,0) is next to the orb but two
    // columns from that turret.
    f.lstTurrets.erase(f.lstTurrets.begin(), f.lstTurrets.begin() + 3);
    ASSERT_EQ(f.lstTurrets[0]->tileX, 10);
    g.Place(2, 8, 0);
    EXPECT_EQ(f.FindTurretTarget(0), -1);
    EXPECT_EQ(f.FindOrbTarget(0), -1);
    g.Place(0, 8, 1);  // a hated F creature
    EXPECT_EQ(f.AcquireTarget(0), 1);
    // When the last turret goes, the orb is the target at the next decision step.
    f.lstTurrets.clear();
    f.lstVonkels[0]->stepTicks = 19;
    f.lstVonkels[1]->speed = 1000000;
    g.Tick();
    EXPECT_EQ(f.lstVonkels[0]->targetKind, 2);
    EXPECT_EQ(f.orb->health, 29);
}

TEST(Targeting, EachHatredLevelIsACycleAndTheNextLevelReversesIt) {
    const char* kinds = "FSE";
    // hates[level][shooter] = the kind it shoots.
    const int hates[4][3] = {{-1, -1, -1}, {1, 2, 0}, {2, 0, 1}, {-1, -1, -1}};
    for (int level : {1, 2, 3, 0}) {
        TCreatureGame g;
        TForm1& f = g.f();
        f.hatred = level;
        for (int shooter = 0; shooter < 3; ++shooter)
            for (int other = 0; other < 3; ++other) {
                f.lstVonkels.clear();
                g.Place(shooter, 4, 4);
                g.Place(other, 5, 5);
                const int expected = hates[level][shooter] == other ? 1 : -1;
                EXPECT_EQ(f.FindHatedVonkel(0), expected)
                    << "level " << level << ": " << kinds[shooter] << " at " << kinds[other];
            }
    }
    // Of several hated creatures next to it, the last in the list.
    TCreatureGame g;
    TForm1& f = g.f();
    g.Place(1, 4, 4);
    g.Place(2, 4, 5);
    g.Place(1, 5, 5);
    g.Place(2, 3, 3);
    g.Place(2, 9, 9);
    EXPECT_EQ(f.FindHatedVonkel(0), 3);
    EXPECT_EQ(f.FindHatedVonkel(2), 1) << "(3,3) is two tiles from (5,5)";
    f.hatred = 2;  // S now shoots F: none here
    EXPECT_EQ(f.FindHatedVonkel(0), -1);
}

TEST(Targeting, APairOnlyOneSideShootsAtSwapsWhenTheHatredSwitches) {
    TCreatureGame g;
    TForm1& f = g.f();
    TVonkel& fCreature = g.Place(0, 4, 4);
    TVonkel& sCreature = g.Place(1, 4, 5);
    fCreature.health = sCreature.health = 100;
    fCreature.stepTicks = sCreature.stepTicks = 19;
    g.Tick();
    EXPECT_EQ(sCreature.health, 99) << "with level 1 F shoots S";
    EXPECT_EQ(fCreature.health, 100) << "and S does not shoot back";
    f.hatred = 2;
    fCreature.stepTicks = sCreature.stepTicks = 19;
    g.Tick();
    EXPECT_EQ(sCreature.health, 99);
    EXPECT_EQ(fCreature.health, 99) << "with level 2 S shoots F at its next decision step";
}
