// Creatures coming out of their tunnels: the rates, the order within a tick, and what a new
// creature is like.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

// Runs `ticks` ticks and returns, per kind, the ticks in which a creature of it came out.
std::map<int, std::vector<int>> EmergenceTicks(THarness& h, int ticks) {
    TForm1& f = h.Form();
    std::map<int, std::vector<int>> seen;
    for (int t = 0; t < ticks; ++t) {
        const size_t before = f.lstVonkels.size();
        h.Ticks(1);
        for (size_t i = before; i < f.lstVonkels.size(); ++i)
            seen[f.lstVonkels[i]->vonkelKind].push_back(f.tickCount);
    }
    return seen;
}

}  // namespace

TEST(Spawning, EachKindComesOutAtItsOwnRate) {
    THarness h;
    h.StartPlay();
    auto seen = EmergenceTicks(h, 410);
    EXPECT_EQ(seen[2], (std::vector<int>{51, 102, 153, 204, 255, 306, 357, 408})) << "E";
    EXPECT_EQ(seen[0], (std::vector<int>{81, 162, 243, 324, 405})) << "F";
    EXPECT_EQ(seen[1], (std::vector<int>{101, 202, 303, 404})) << "S";
}

TEST(Spawning, ZeroOrNegativeIntervalsBringACreatureEveryTickInTheOrderESF) {
    TTempAssets dir;
    THarness h(
        dir.WithSettings("EVONKELBASEEMERGE=0\nSVONKELBASEEMERGE=-1\nFVONKELBASEEMERGE=-100\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(4);
    ASSERT_EQ(f.lstVonkels.size(), 12u);
    const int order[] = {2, 1, 0};
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(f.lstVonkels[i]->vonkelKind, order[i % 3]) << i;
        EXPECT_EQ(f.lstVonkels[i]->id, f.lstVonkels[0]->id + int(i));
    }
}

TEST(Spawning, ANewCreatureCarriesItsKindsValuesAndStandsAboveItsTunnel) {
    TTempAssets dir;
    THarness h(dir.WithSettings(
        "EVONKELBASEEMERGE=0\nSVONKELBASEEMERGE=0\nFVONKELBASEEMERGE=0\n"
        "FVONKELBASESPEED=11\nSVONKELBASESPEED=12\nEVONKELBASESPEED=13\n"
        "FVONKELFORCEY=0\nSVONKELFORCEY=5\nEVONKELFORCEY=6\nBASEVONKELHEALTH=7\n"));
    TForm1& f = h.Form();
    // The background of the tunnel tiles as the board left them.
    TPicture expected;
    expected.Assign(f.Playfield->Bitmap());
    h.StartPlay();
    const int firstId = f.nextId + 1;
    h.Ticks(1);
    ASSERT_EQ(f.lstVonkels.size(), 3u);

    const struct {
        int kind, spriteBase, colour, speed, forceY, tileX;
        const TSpawner& spawner;
    } kinds[] = {
        {2, f.sprEVonkel, 75 + 256 * 75 + 65536 * 75, 13, 6, 1, f.spawnE},
        {1, f.sprSVonkel, 245 * 65536, 12, 5, 10, f.spawnS},
        {0, f.sprFVonkel, 120 + 256 * 245 + 65536 * 185, 11, 0, 18, f.spawnF},
    };
    for (size_t i = 0; i < 3; ++i) {
        const auto& k = kinds[i];
        const TVonkel& v = *f.lstVonkels[i];
        SCOPED_TRACE("kind " + std::to_string(k.kind));
        EXPECT_EQ(v.id, firstId + int(i));
        EXPECT_EQ(v.vonkelKind, k.kind);
        EXPECT_EQ(v.spriteBase, k.spriteBase);
        EXPECT_EQ(v.colour, k.colour);
        EXPECT_EQ(v.speed, k.speed);
        EXPECT_EQ(v.forceX, 0);
        EXPECT_EQ(v.forceY, k.forceY);
        EXPECT_EQ(v.health, 7.0);
        EXPECT_FALSE(v.lookBegun);
        EXPECT_EQ(v.destX, 9);
        EXPECT_EQ(v.destY, 1);
        EXPECT_EQ(v.goalX, 0);
        EXPECT_EQ(v.goalY, 0);
        EXPECT_EQ(v.tileX, k.tileX);
        EXPECT_EQ(v.tileY, 18);
        EXPECT_TRUE(v.glides);
        // Drawn on its tile at once, facing down.
        EXPECT_EQ(v.pixelX, float(35 * k.tileX));
        EXPECT_EQ(v.pixelY, float(35 * 18));
        EXPECT_TRUE(SamePixels(v.layer->Bitmap(), f.Sprites[size_t(k.spriteBase)]));
        EXPECT_TRUE(v.layer->Visible());
        EXPECT_EQ(k.spawner.counter, 0);
        // The tunnel is blended into the background of its tile as well.
        TPicture tunnel;
        tunnel.Assign(f.Sprites[size_t(k.spawner.tunnelSprite)]);
        tunnel.SetDrawMode(TDrawMode::Blend);
        tunnel.DrawTo(expected, 35 * k.tileX, 35 * 19);
    }
    EXPECT_TRUE(SamePixels(f.Playfield->Bitmap(), expected));
    // The tunnels have alpha: a second stamp darkens the edges further.
    h.Ticks(1);
    EXPECT_FALSE(SamePixels(f.Playfield->Bitmap(), expected));
}

TEST(Spawning, CountersKeepTheirCountWhileSpawningIsHeld) {
    TTempAssets dir;
    THarness h(dir.WithSettings("DEBUG=1\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(30);
    f.dbgNoSpawn = true;
    h.Ticks(100);
    EXPECT_TRUE(f.lstVonkels.empty());
    EXPECT_EQ(f.spawnE.counter, 30);
    f.dbgNoSpawn = false;
    h.Ticks(20);
    EXPECT_TRUE(f.lstVonkels.empty());
    h.Ticks(1);
    EXPECT_EQ(f.lstVonkels.size(), 1u);
}

TEST(Spawning, TheHoldNeedsDebugMode) {
    THarness h;
    TForm1& f = h.Form();
    f.dbgNoSpawn = true;
    h.StartPlay();
    h.Ticks(51);
    EXPECT_EQ(f.lstVonkels.size(), 1u);
}
