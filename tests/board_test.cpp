// The board built behind the splash screen, and the fresh board of every new game.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/native.h"
#include "tests/harness.h"

namespace {

// Tiles of every board object; fails the test on a tile no object may take.
void ExpectBoardObjectsOnFreeTiles(const TForm1& f) {
    std::set<std::pair<int, int>> tiles;
    for (const auto& o : f.lstScrap) {
        EXPECT_GE(o->tileX, 0);
        EXPECT_GE(o->tileY, 0);
        EXPECT_LE(o->tileX, 18) << "column 19 is never used";
        EXPECT_LE(o->tileY, 18) << "row 19 holds the tunnels";
        for (const auto& base : f.baseTiles)
            EXPECT_FALSE(o->tileX == base->tileX && o->tileY == base->tileY)
                << "object on base tile " << base->slot;
        EXPECT_TRUE(tiles.insert({o->tileX, o->tileY}).second)
            << "two objects on " << o->tileX << "," << o->tileY;
    }
}

// The text a counter shows, read back from its glyph layers (which stand edge to edge).
std::string CounterText(TForm1& f, TLayeredImage& counter) {
    std::string text;
    float x = 0;
    for (int i = 0; i < counter.LayerCount(); ++i) {
        const TBitmapLayer& layer = counter.Layer(i);
        EXPECT_EQ(layer.Location().left, x);
        x = layer.Location().right;
        for (int g = 0; g <= 10; ++g)
            if (SamePixels(layer.Bitmap(), f.Sprites[size_t(f.sprDigit[0] + g)]))
                text += g == 10 ? '/' : char('0' + g);
    }
    return text;
}

}  // namespace

TEST(Board, StartUpBuildsTheWholeBoard) {
    THarness h;
    TForm1& f = h.Form();

    // Base: six invisible place markers, their floor painted into the background.
    const std::pair<int, int> base[] = {{8, 0}, {9, 0}, {10, 0}, {8, 1}, {9, 1}, {10, 1}};
    for (int n = 0; n < 6; ++n) {
        const TSprite& t = *f.baseTiles[size_t(n)];
        EXPECT_EQ(t.slot, n);
        EXPECT_EQ(std::make_pair(t.tileX, t.tileY), base[n]);
        EXPECT_FALSE(t.layer->Visible());
    }
    const TPicture& background = f.Playfield->Bitmap();
    const TPicture& floor = f.Sprites[size_t(f.sprBaseFloor)];
    const TPicture& tile = f.Sprites[size_t(f.sprTile)];
    EXPECT_EQ(background.Pixel(9 * 35 + 17, 1 * 35 + 20), floor.Pixel(17, 20));
    EXPECT_EQ(background.Pixel(4 * 35 + 17, 11 * 35 + 20), tile.Pixel(17, 20));
    EXPECT_EQ(background.Pixel(699, 699), tile.Pixel(34, 34));

    // Four turrets on the corners of the base, without ids.
    ASSERT_EQ(f.lstTurrets.size(), 4u);
    const std::pair<int, int> turrets[] = {{8, 0}, {10, 0}, {8, 1}, {10, 1}};
    for (size_t i = 0; i < 4; ++i) {
        const TSign& t = *f.lstTurrets[i];
        EXPECT_EQ(std::make_pair(t.tileX, t.tileY), turrets[i]);
        EXPECT_TRUE(t.isTurret);
        EXPECT_EQ(t.id, 0);
        EXPECT_EQ(t.health, 10.0);
    }

    // Effects: the orb, then the E, S and F tunnels, all permanent.
    ASSERT_EQ(f.lstEffects.size(), 4u);
    ASSERT_EQ(f.orb, f.lstEffects[0].get());
    EXPECT_EQ(std::make_pair(f.orb->tileX, f.orb->tileY), std::make_pair(9, 0));
    EXPECT_EQ(f.orb->firstFrame, f.sprOrb);
    EXPECT_EQ(f.orb->frameCount, 4);
    EXPECT_EQ(f.orb->health, 30.0);
    const struct {
        const TSpawner& s;
        int kind, picture, x, every;
    } spawners[] = {{f.spawnE, 2, f.sprETunnel, 1, 50},
                    {f.spawnS, 1, f.sprSTunnel, 10, 100},
                    {f.spawnF, 0, f.sprFTunnel, 18, 80}};
    for (size_t i = 0; i < 3; ++i) {
        const auto& sp = spawners[i];
        EXPECT_EQ(sp.s.tunnel, f.lstEffects[i + 1].get());
        EXPECT_EQ(sp.s.kind, sp.kind);
        EXPECT_EQ(sp.s.tunnelSprite, sp.picture);
        EXPECT_EQ(sp.s.tunnel->firstFrame, sp.picture);
        EXPECT_EQ(std::make_pair(sp.s.tileX, sp.s.tileY), std::make_pair(sp.x, 19));
        EXPECT_EQ(std::make_pair(sp.s.tunnel->tileX, sp.s.tunnel->tileY), std::make_pair(sp.x, 19));
        EXPECT_EQ(sp.s.counter, 0);
        EXPECT_EQ(sp.s.emergeEvery, sp.every);
    }
    for (const auto& e : f.lstEffects) {
        EXPECT_EQ(e->life, 2147483647);
        EXPECT_EQ(e->id, 0);
    }

    // 26 board objects with rising ids, gatherable unless a tree, shown as their kind.
    ASSERT_EQ(f.lstScrap.size(), 26u);
    ExpectBoardObjectsOnFreeTiles(f);
    const char* pictures[] = {"Tree1", "Tree2", "Rock1", "Rock2", "Ruin1"};
    for (size_t i = 0; i < f.lstScrap.size(); ++i) {
        const TSprite& o = *f.lstScrap[i];
        EXPECT_EQ(o.id, int(i) + 1);
        ASSERT_GE(o.kind, 0);
        ASSERT_LE(o.kind, 4);
        EXPECT_EQ(o.gatherable, o.kind >= 2);
        EXPECT_TRUE(
            SamePixels(o.layer->Bitmap(), f.Sprites[size_t(CatalogueIndex(pictures[o.kind]))]));
    }
    EXPECT_EQ(f.nextId, 26);

    // One bot below the orb, gliding from now on; the cursors on tile (0, 0).
    ASSERT_EQ(f.lstBots.size(), 1u);
    const TSprite& bot = *f.lstBots[0];
    EXPECT_EQ(std::make_tuple(bot.tileX, bot.tileY, bot.destX, bot.destY),
              std::make_tuple(9, 1, 9, 1));
    EXPECT_EQ(std::make_pair(bot.pixelX, bot.pixelY), std::make_pair(315.0f, 35.0f));
    EXPECT_TRUE(bot.glides);
    EXPECT_FALSE(bot.order);
    ASSERT_TRUE(f.cursor && f.menuCursor && f.orbMenuCursor);
    EXPECT_EQ(&f.cursor->layer->Owner(), f.Playfield);
    EXPECT_EQ(f.menuCursor->layer->Location().left, 3);
    EXPECT_EQ(f.menuCursor->layer->Location().top, 17);
    EXPECT_EQ(f.orbMenuCursor->layer->Location().left, 24);
    EXPECT_TRUE(f.menuCursor->inBuildMenu && f.orbMenuCursor->inOrbMenu);

    // Every sprite of the board has its layer on the playfield, and nothing else does.
    EXPECT_EQ(f.Playfield->LayerCount(), 6 + 4 + 4 + 26 + 1 + 1);

    // The counters.
    EXPECT_EQ(CounterText(f, *f.imScore), "0");
    EXPECT_EQ(CounterText(f, *f.imScrapCt), "50");
    EXPECT_EQ(CounterText(f, *f.imSignsCt), "0/4");
    EXPECT_EQ(f.shownSignCount, 0);
    EXPECT_TRUE(f.pnlCash->DoubleBuffered() && f.pnlSigns->DoubleBuffered() &&
                f.pnlHated->DoubleBuffered());
}

TEST(Board, TheSameSeedLaysOutTheSameBoard) {
    auto layout = [](uint32_t seed) {
        THarnessOptions o;
        o.seed = seed;
        THarness h(o);
        std::vector<std::tuple<int, int, int>> objects;
        for (const auto& s : h.Form().lstScrap) objects.emplace_back(s->kind, s->tileX, s->tileY);
        return objects;
    };
    EXPECT_EQ(layout(7), layout(7));
    EXPECT_NE(layout(7), layout(8));
}

TEST(Board, NewGameBuildsAFreshBoardAndKeepsWhatOutlivesAGame) {
    THarness h;
    TForm1& f = h.Form();
    TSprite* const cursors[] = {f.cursor.get(), f.menuCursor.get(), f.orbMenuCursor.get()};
    // Leave the game in some disorder.
    f.cash = 7;
    f.score = 1234;
    f.hatred = 2;
    f.SetHatred();
    f.musicTrack = 3;
    f.gameOver = true;
    f.tickCount = 500;
    f.soundNextTick[2] = 99;
    f.cursor->SetTileX(5);
    f.cursor->Redraw();
    f.lstSigns.push_back(std::make_unique<TSign>(*f.Playfield));
    f.lstVonkels.push_back(std::make_unique<TVonkel>(*f.Playfield));
    f.lstOrders.push_back(std::make_unique<TOrder>(&f));
    f.lstKillBeams.push_back(std::make_unique<TAnimKill>());
    f.lstKillBeams.back()->beam.reset(&f.Playfield->AddLayer(), TLayerFree{});
    f.NewBot();
    f.lstTurrets.pop_back();

    f.NewGame();
    EXPECT_EQ(f.cash, 50);
    EXPECT_EQ(f.score, 0);
    EXPECT_EQ(f.hatred, 1);
    EXPECT_EQ(f.musicTrack, 0);
    EXPECT_FALSE(f.gameOver);
    EXPECT_EQ(f.tickCount, 500);
    EXPECT_EQ(f.soundNextTick[2], 0u);
    EXPECT_EQ(f.lstScrap.size(), 21u);
    ExpectBoardObjectsOnFreeTiles(f);
    EXPECT_EQ(f.lstScrap.front()->id, 27) << "ids keep rising across games";
    EXPECT_EQ(f.nextId, 47);
    EXPECT_EQ(f.lstTurrets.size(), 4u);
    EXPECT_EQ(f.lstEffects.size(), 4u);
    EXPECT_EQ(f.orb, f.lstEffects[0].get());
    EXPECT_EQ(f.spawnF.tunnel, f.lstEffects[3].get());
    EXPECT_EQ(f.lstBots.size(), 1u);
    EXPECT_TRUE(f.lstSigns.empty() && f.lstVonkels.empty() && f.lstOrders.empty() &&
                f.lstKillBeams.empty());
    EXPECT_EQ(CounterText(f, *f.imScore), "0");
    EXPECT_EQ(CounterText(f, *f.imScrapCt), "50");
    EXPECT_EQ(CounterText(f, *f.imSignsCt), "0/4");

    TPicture first;
    first.LoadFromFile(NativeFiles(), f.assetDir + "rhs1.bmp");
    EXPECT_TRUE(SamePixels(f.imHatred->Bitmap(), first));

    // The cursors are kept, back on tile (0, 0), in front of the new board.
    EXPECT_EQ(f.cursor.get(), cursors[0]);
    EXPECT_EQ(f.menuCursor.get(), cursors[1]);
    EXPECT_EQ(f.orbMenuCursor.get(), cursors[2]);
    EXPECT_EQ(f.cursor->tileX, 0);
    EXPECT_EQ(f.cursor->pixelX, 0);
    EXPECT_TRUE(f.menuCursor->inBuildMenu && f.orbMenuCursor->inOrbMenu);
    EXPECT_EQ(f.Playfield->IndexOf(*f.cursor->layer), f.Playfield->LayerCount() - 1);
    // No layer of the old game is left behind.
    EXPECT_EQ(f.Playfield->LayerCount(), 1 + 6 + 4 + 4 + 21 + 1);
}

TEST(Board, StartObjectsFollowTheSettingAsFarAsTheBoardHasRoom) {
    const struct {
        const char* value;
        size_t objects;
    } cases[] = {{"-1", 0},    {"0", 1},     {"353", 354},
                 {"354", 355}, {"355", 355}, {"2147483647", 355}};
    for (const auto& c : cases) {
        TTempAssets dir;
        dir.Write("settings.ini", std::string("[Settings]\nNUMSTARTRES=") + c.value + "\n");
        THarness h(OptionsFor(dir));
        EXPECT_EQ(h.Form().lstScrap.size(), c.objects) << "NUMSTARTRES=" << c.value;
        ExpectBoardObjectsOnFreeTiles(h.Form());
        // A new game always lays out 21.
        h.Form().NewGame();
        EXPECT_EQ(h.Form().lstScrap.size(), 21u);
    }
}
