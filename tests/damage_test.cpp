// Hits and what they do: one hit a tick for each target, how many hits each kind of target
// takes, what a kill brings, and the end of the orb.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/creatures_test.h"

namespace {

int EffectsOf(const TForm1& f, int first, int frames, int life) {
    return int(std::count_if(f.lstEffects.begin(), f.lstEffects.end(), [&](const auto& e) {
        return e->firstFrame == first && e->frameCount == frames && e->life == life;
    }));
}

int Sounds(const THarness& h, const std::string& prefix) {
    return int(std::count_if(h.audio.log.begin(), h.audio.log.end(), [&](const std::string& line) {
        return line.rfind("sound " + prefix, 0) == 0;
    }));
}

}  // namespace

TEST(Damage, ACreatureHitTwiceInATickLosesOnlyTheFirstShot) {
    TCreatureGame g;
    // An S creature next to the turret on (8,1) and to an F creature, which hates it. The F
    // creature's shot comes first in the tick; the turret's finds it already struck.
    TVonkel& target = g.Place(1, 7, 2);
    target.speed = 1000000;
    TVonkel& shooter = g.Place(0, 6, 3);
    shooter.stepTicks = 19;
    g.Tick();
    EXPECT_EQ(target.health, 14.0);
    g.Tick();
    EXPECT_EQ(target.health, 14.0 - 0.1);
}

TEST(Damage, TurretsNeed151HitsForACreatureHoweverManyFire) {
    for (const int y : {2, 1}) {  // next to two turrets, then to all four
        SCOPED_TRACE(y);
        TCreatureGame g;
        TForm1& f = g.f();
        TVonkel& v = g.Place(2, 9, y);
        v.speed = 1000000;  // it never shoots back
        const int id = v.id;
        int ticks = 0;
        while (!f.lstVonkels.empty() && ticks < 1000) {
            g.Tick();
            ++ticks;
        }
        EXPECT_EQ(ticks, 151) << "150 times 0.1 from 15 leaves a little above 0";
        EXPECT_EQ(f.score, 10);
        EXPECT_EQ(f.lstVonkels.size(), 0u) << id;
    }
}

TEST(Damage, CreatureShotsNeed15ForACreature10ForATurretAnd30ForTheOrb) {
    TCreatureGame g;
    TForm1& f = g.f();
    g.Place(2, 4, 4);
    int hits = 0;
    while (!f.lstVonkels.empty() && hits < 100) {
        f.ClearStruck();
        f.DamageVonkel(0, 1, f.settings.VONKELSHOTSTRENGTH);
        ++hits;
    }
    EXPECT_EQ(hits, 15);
    EXPECT_EQ(f.score, 50);

    hits = 0;
    while (f.lstTurrets.size() == 4 && hits < 100) {
        f.ClearStruck();
        f.DamageTurret(1);
        ++hits;
    }
    EXPECT_EQ(hits, 10);
    EXPECT_EQ(f.lstTurrets[1]->tileY, 1) << "the others move up one place";
    EXPECT_EQ(f.score, 50) << "a turret scores nothing";

    hits = 0;
    while (EffectsOf(f, f.sprSplode, 7, 14) == 0 && hits < 100) {
        f.ClearStruck();
        f.DamageOrb();
        ++hits;
    }
    EXPECT_EQ(hits, 30);
    EXPECT_TRUE(f.lstEffects.back()->endsGame);
    // Every further hit brings another explosion that ends the game.
    f.ClearStruck();
    f.DamageOrb();
    EXPECT_EQ(EffectsOf(f, f.sprSplode, 7, 14), 2);
    EXPECT_EQ(f.orb->health, -1);
    EXPECT_FALSE(f.gameOver);
}

TEST(Damage, AKillFlashesExplodesSoundsScoresAndRedrawsTheScore) {
    TCreatureGame g("VONKELKILL=123\nTURRETKILL=7\nVONKELSCRAPPERC=-1\n");
    TForm1& f = g.f();
    g.h->audio.log.clear();
    TVonkel& v = g.Place(0, 4, 4);
    v.health = 1;
    f.DamageVonkel(0, 1, 0.5);
    EXPECT_EQ(EffectsOf(f, f.sprSplode, 2, 3), 1);
    EXPECT_EQ(Sounds(*g.h, "explosion"), 0);
    f.ClearStruck();
    f.DamageVonkel(0, 1, 0.5);
    EXPECT_TRUE(f.lstVonkels.empty());
    EXPECT_EQ(EffectsOf(f, f.sprSplode, 2, 3), 2) << "the killing hit flashes too";
    EXPECT_EQ(EffectsOf(f, f.sprSplode, 7, 7), 1);
    ASSERT_EQ(g.h->audio.log.size(), 1u);
    EXPECT_TRUE(g.h->audio.log[0] == "sound explosion1.wav" ||
                g.h->audio.log[0] == "sound explosion2.wav");
    EXPECT_EQ(f.score, 123);
    EXPECT_EQ(f.imScore->LayerCount(), 3);
    g.Place(1, 4, 4);
    f.DamageVonkel(0, 2, 100);
    EXPECT_EQ(f.score, 130);
    EXPECT_TRUE(f.lstScrap.size() == 26u) << "no scrap below a threshold of 0";

    // Both explosion sounds come up, on the throttled channel 3.
    std::vector<std::string> heard;
    for (int i = 0; i < 60; ++i) {
        g.h->clock.now += 600;
        g.h->audio.log.clear();
        g.Place(2, 4, 4);
        f.DamageVonkel(0, 2, 100);
        heard.push_back(g.h->audio.log.at(0));
    }
    EXPECT_GT(std::count(heard.begin(), heard.end(), "sound explosion1.wav"), 10);
    EXPECT_GT(std::count(heard.begin(), heard.end(), "sound explosion2.wav"), 10);
}

TEST(Damage, ScrapDropsByTheThresholdWhereTheCreatureDied) {
    const struct {
        int threshold, low, high;
    } cases[] = {{-1, 0, 0}, {0, 5, 50}, {20, 330, 510}, {99, 2000, 2000}, {1000, 2000, 2000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.threshold);
        TCreatureGame g("VONKELSCRAPPERC=" + std::to_string(c.threshold) + "\n");
        TForm1& f = g.f();
        const size_t before = f.lstScrap.size();
        for (int i = 0; i < 2000; ++i) {
            g.Place(2, 3 + i % 7, 12);
            f.DamageVonkel(0, 2, 100);
        }
        const int dropped = int(f.lstScrap.size() - before);
        EXPECT_GE(dropped, c.low);
        EXPECT_LE(dropped, c.high);
        if (dropped == 0) continue;
        const TSprite& piece = *f.lstScrap.back();
        EXPECT_EQ(piece.kind, 5);
        EXPECT_TRUE(piece.gatherable);
        EXPECT_GT(piece.id, f.lstScrap[before - 1]->id) << "a fresh id";
        EXPECT_EQ(piece.tileY, 12);
        EXPECT_TRUE(SamePixels(piece.layer->Bitmap(), f.Sprites[size_t(f.sprScrap)]));
    }
}

TEST(Damage, InvincibilityInDebugModeSparesTurretsAndTheOrbButNotCreatures) {
    for (const int debug : {1, 0}) {
        SCOPED_TRACE(debug);
        TCreatureGame g("DEBUG=" + std::to_string(debug) + "\n");
        TForm1& f = g.f();
        f.dbgInvincible = true;
        g.Place(0, 4, 4);
        for (int i = 0; i < 20; ++i) {
            f.ClearStruck();
            f.DamageTurret(0);
            f.DamageOrb();
            if (!f.lstVonkels.empty()) f.DamageVonkel(0, 1, 1.0);
        }
        EXPECT_EQ(f.lstTurrets.size(), debug ? 4u : 2u) << "ten hits each";
        EXPECT_EQ(f.orb->health, debug ? 30 : 10);
        EXPECT_TRUE(f.lstVonkels.empty());
        EXPECT_GE(EffectsOf(f, f.sprSplode, 2, 3), 40) << "the hits still flash";
    }
}

TEST(Damage, TheOrbsFallEndsPlayInThe28thEffectsUpdate) {
    TCreatureGame g("BASEORBHEALTH=1\n");
    TForm1& f = g.f();
    f.lstTurrets.clear();
    TVonkel& v = g.Place(2, 9, 1);
    v.stepTicks = 19;
    g.Tick();  // the shot, then this tick's effects update: the first of the explosion's
    ASSERT_EQ(f.orb->health, 0);
    const TSprite* last = f.lstEffects.back().get();
    ASSERT_TRUE(last->endsGame);
    int updates = 1;
    while (!f.gameOver && updates < 100) {
        g.Tick();
        ++updates;
    }
    EXPECT_EQ(updates, 28);
    EXPECT_FALSE(f.tmrTick->Enabled());
    EXPECT_FALSE(f.tmrRHS->Enabled());
    const int at = f.tickCount;
    g.h->Ticks(100);
    EXPECT_EQ(f.tickCount, at) << "no tick after the end";
}
