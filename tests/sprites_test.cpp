// Sprites: tile setters, the four ways a layer is placed, order work on arrival, effects.
#include <gtest/gtest.h>

#include "tests/harness.h"

namespace {

// A bot-like sprite on the playfield, on tile (0, 0) and drawn there.
TSprite& NewGlider(TForm1& f) {
    f.lstBots.push_back(std::make_unique<TSprite>(*f.Playfield));
    TSprite& s = *f.lstBots.back();
    f.SetSpritePicture(s, f.sprBuilder);
    s.Redraw();
    s.glides = true;
    return s;
}

}  // namespace

TEST(Sprite, SettersRememberThePreviousTile) {
    THarness h;
    TSprite s(*h.Form().Playfield);
    s.SetTileX(4);
    s.SetTileY(7);
    s.SetTileX(5);
    EXPECT_EQ(s.prevTileX, 4);
    EXPECT_EQ(s.prevTileY, 0);
    s.SetTileX(5);
    EXPECT_EQ(s.prevTileX, 5);
    EXPECT_EQ(s.tileY, 7);
}

TEST(Sprite, JumpsToItsTileAndBlendsItsLayer) {
    THarness h;
    TForm1& f = h.Form();
    TSprite s(*f.Playfield);
    f.SetSpritePicture(s, f.sprTurret);
    s.SetTileX(3);
    s.SetTileY(19);
    s.visible = false;
    s.Redraw();
    EXPECT_EQ(s.pixelX, 105);
    EXPECT_EQ(s.pixelY, 665);
    EXPECT_EQ(s.pixelRight, 140);
    EXPECT_EQ(s.pixelBottom, 700);
    EXPECT_EQ(s.layer->Location(), (TFloatRect{105, 665, 140, 700}));
    EXPECT_FALSE(s.layer->Visible());
    EXPECT_EQ(s.layer->Bitmap().DrawMode(), TDrawMode::Blend);
    // The layer holds its own copy: the catalogue picture stays as loaded.
    EXPECT_EQ(f.Sprites[size_t(f.sprTurret)].DrawMode(), TDrawMode::Opaque);
    EXPECT_NE(s.layer->Bitmap().Bits(), f.Sprites[size_t(f.sprTurret)].Bits());
}

TEST(Sprite, MenuPlacementsComeBeforeGlidingAndJumping) {
    THarness h;
    TForm1& f = h.Form();
    TSprite s(*f.MenuImg);
    s.inBuildMenu = true;
    s.glides = true;  // ignored on a menu
    const struct {
        int tileX, tileY;
        float x, y;
    } grid[] = {{0, 0, 3, 17}, {1, 0, 44, 17}, {0, 1, 3, 58}, {1, 1, 44, 58},
                {0, 2, 3, 99}, {1, 2, 44, 99}, {2, 3, 3, 44}, {1, -1, 44, 44}};
    for (const auto& g : grid) {
        s.SetTileX(g.tileX);
        s.SetTileY(g.tileY);
        s.Redraw();
        EXPECT_EQ(s.pixelX, g.x) << g.tileX << "," << g.tileY;
        EXPECT_EQ(s.pixelY, g.y) << g.tileX << "," << g.tileY;
    }
    TSprite o(*f.OrbMenuImg);
    o.inOrbMenu = true;
    o.SetTileX(7);
    o.Redraw();
    EXPECT_EQ(o.layer->Location(), (TFloatRect{24, 16, 24, 16}));  // no picture yet
}

TEST(Sprite, GlidesOneTileInEightRedraws) {
    THarness h;
    TForm1& f = h.Form();
    TSprite& s = NewGlider(f);
    s.SetTileX(1);
    for (int n = 1; n <= 7; ++n) {
        s.Redraw();
        EXPECT_EQ(s.pixelX, 4.0f * n) << "redraw " << n;
    }
    s.Redraw();
    EXPECT_EQ(s.pixelX, 35);  // 32 is within 5 of 35 and snaps in the same redraw
    EXPECT_EQ(s.layer->Location().left, 35);

    // Back again, and both axes at once.
    s.SetTileX(0);
    s.SetTileY(1);
    for (int n = 1; n <= 7; ++n) s.Redraw();
    EXPECT_EQ(s.pixelX, 7);
    EXPECT_EQ(s.pixelY, 28);
    s.Redraw();
    EXPECT_EQ(s.pixelX, 0);
    EXPECT_EQ(s.pixelY, 35);
}

TEST(Sprite, OrderCompletesOnTheSixthRedrawAfterArrival) {
    THarness h;
    TForm1& f = h.Form();
    TSprite& bot = NewGlider(f);
    bot.order = std::make_unique<TOrder>(&f);
    bot.SetTileX(1);
    bot.SetTileY(1);
    // Off the tile nothing is counted, however close the picture is.
    for (int n = 1; n <= 7; ++n) {
        bot.Redraw();
        ASSERT_TRUE(bot.order);
        EXPECT_EQ(bot.order->workTicks, 0) << "redraw " << n;
    }
    bot.Redraw();  // arrives: the first redraw on the tile
    EXPECT_EQ(bot.order->workTicks, 1);
    for (int n = 2; n <= 5; ++n) bot.Redraw();
    ASSERT_TRUE(bot.order);
    EXPECT_EQ(bot.order->workTicks, 5);
    bot.Redraw();
    EXPECT_FALSE(bot.order);

    // A bot whose tile keeps running ahead of its picture never works.
    bot.order = std::make_unique<TOrder>(&f);
    for (int n = 0; n < 20; ++n) {
        bot.SetTileX(bot.tileX + (n % 7 == 0 ? 1 : 0));
        bot.Redraw();
        if (bot.pixelX != 35.0f * bot.tileX) {
            EXPECT_EQ(bot.order->workTicks, 0) << n;
        }
    }
    // A sprite that does not glide never works on an order either.
    bot.glides = false;
    bot.order->workTicks = 0;
    for (int n = 0; n < 8; ++n) bot.Redraw();
    EXPECT_EQ(bot.order->workTicks, 0);
}

TEST(Effects, AddEffectMakesTheLastEffectAndFreeingRemovesItsLayer) {
    THarness h;
    TForm1& f = h.Form();
    const size_t effects = f.lstEffects.size();
    const int layers = f.Playfield->LayerCount();
    f.AddEffect(4, 5, f.sprSpeechVon, 1, 7, 170);
    ASSERT_EQ(f.lstEffects.size(), effects + 1);
    TSprite& e = *f.lstEffects.back();
    EXPECT_EQ(e.firstFrame, f.sprSpeechVon);
    EXPECT_EQ(e.frameCount, 1);
    EXPECT_EQ(e.frame, 0);
    EXPECT_EQ(e.life, 7);
    EXPECT_EQ(e.alpha, 170);
    EXPECT_EQ(e.id, 0);
    EXPECT_EQ(e.layer->Bitmap().MasterAlpha(), 170);
    EXPECT_TRUE(SamePixels(e.layer->Bitmap(), f.Sprites[size_t(f.sprSpeechVon)]));
    EXPECT_EQ(e.layer->Location(), (TFloatRect{140, 175, 175, 210}));
    EXPECT_EQ(f.Playfield->LayerCount(), layers + 1);
    EXPECT_EQ(f.Playfield->IndexOf(*e.layer), layers);  // on top of everything before

    f.lstEffects.pop_back();
    EXPECT_EQ(f.Playfield->LayerCount(), layers);
}
