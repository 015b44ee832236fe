// Effects stepping through their pictures and expiring, and kill beams fading.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

// The catalogue picture a layer shows, as an offset from `first` (-1 if none of the `count`).
int ShownFrame(const TForm1& f, const TSprite& effect, int first, int count) {
    for (int i = 0; i < count; ++i)
        if (SamePixels(effect.layer->Bitmap(), f.Sprites[size_t(first + i)])) return i;
    return -1;
}

bool InEffects(const TForm1& f, const TSprite* effect) {
    return std::any_of(f.lstEffects.begin(), f.lstEffects.end(),
                       [effect](const auto& e) { return e.get() == effect; });
}

}  // namespace

TEST(Effects, LiveAsLongAsTheirFramesAndLifeSay) {
    THarness h;
    TForm1& f = h.Form();
    h.audio.log.clear();
    const struct {
        const char* what;
        int first, frames, life, removedInCall;
        std::vector<int> shown;  // the frame shown before each call, from call 1
    } cases[] = {
        {"hit flash", f.sprSplode, 2, 3, 6, {0, 0, 1, 1, 0, 0}},
        {"explosion", f.sprSplode, 7, 7, 14, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6}},
        {"exclamation", f.sprFExclaim, 3, 7, 14, {0, 0, 1, 1, 2, 2, 0, 0, 1, 1, 2, 2, 0, 0}},
        {"speech", f.sprSpeechVon, 1, 7, 14, std::vector<int>(14, 0)},
        {"orb's last explosion", f.sprSplode, 7, 14, 28, {}},
        {"made with life 0", f.sprSplode, 7, 0, 1, {0}},
        {"made with life -5", f.sprSplode, 7, -5, 1, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        f.AddEffect(3, 4, c.first, c.frames, c.life, 255);
        const TSprite* effect = f.lstEffects.back().get();
        for (int call = 1; call < c.removedInCall; ++call) {
            if (size_t(call) <= c.shown.size()) {
                EXPECT_EQ(ShownFrame(f, *effect, c.first, c.frames), c.shown[size_t(call - 1)])
                    << "before call " << call;
            }
            f.UpdateEffects();
            ASSERT_TRUE(InEffects(f, effect)) << "removed in call " << call;
        }
        const int layers = f.Playfield->LayerCount();
        f.UpdateEffects();
        EXPECT_FALSE(InEffects(f, effect));
        EXPECT_EQ(f.Playfield->LayerCount(), layers - 1) << "its layer stays on the playfield";
    }
    EXPECT_TRUE(h.audio.log.empty()) << "an effect that does not explode makes no sound";
}

TEST(Effects, TheOrbAndTheTunnelsAreNeverRemoved) {
    THarness h;
    TForm1& f = h.Form();
    const size_t permanent = f.lstEffects.size();  // the orb and three tunnels
    std::vector<int> orbFrames;
    for (int call = 0; call < 5000; ++call) {
        f.UpdateEffects();
        if (call < 16) orbFrames.push_back(ShownFrame(f, *f.orb, f.sprOrb, 4));
    }
    EXPECT_EQ(f.lstEffects.size(), permanent);
    // Each of the four pictures for two calls, round and round.
    EXPECT_EQ(orbFrames, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 0, 0, 1, 1, 2, 2, 3, 3, 0}));
    EXPECT_EQ(f.orb->life, 2147483647 - 2500);
    EXPECT_EQ(f.orb->layer->Bitmap().MasterAlpha(), 255);
}

TEST(Effects, FrameStepsKeepTheEffectsOpacity) {
    THarness h;
    TForm1& f = h.Form();
    f.AddEffect(5, 5, f.sprSpeechKel, 1, 7, 170);
    TSprite& bubble = *f.lstEffects.back();
    for (int call = 0; call < 6; ++call) {
        f.UpdateEffects();
        EXPECT_EQ(bubble.layer->Bitmap().MasterAlpha(), 170);
        EXPECT_EQ(bubble.layer->Bitmap().DrawMode(), TDrawMode::Blend);
    }
}

TEST(Effects, AnExplodingEffectSoundsOnceWhenItIsOver) {
    THarness h;
    TForm1& f = h.Form();
    std::vector<std::string> sounds;
    for (int n = 0; n < 60; ++n) {
        f.AddEffect(n % 18, n / 18, f.sprSplode, 7, 7, 255);
        f.lstEffects.back()->explodes = true;
        h.audio.log.clear();
        for (int call = 0; call < 13; ++call) f.UpdateEffects();
        EXPECT_TRUE(h.audio.log.empty());
        f.UpdateEffects();
        ASSERT_EQ(h.audio.log.size(), 1u);
        sounds.push_back(h.audio.log[0]);
    }
    // One of the fourteen explosions at random, never held back: the sounds follow each other
    // without a pause here, and channel 0 lets every one through.
    for (const std::string& s : sounds) {
        const int n = std::stoi(s.substr(std::string("sound explosion").size()));
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 14);
    }
    std::sort(sounds.begin(), sounds.end());
    sounds.erase(std::unique(sounds.begin(), sounds.end()), sounds.end());
    EXPECT_GE(sounds.size(), 8u) << "the sounds vary";

    // With sound off they are silent, and the effect still goes.
    f.soundOn = false;
    h.audio.log.clear();
    f.AddEffect(1, 1, f.sprSplode, 7, 0, 255);
    f.lstEffects.back()->explodes = true;
    f.UpdateEffects();
    EXPECT_TRUE(h.audio.log.empty());
    EXPECT_EQ(f.lstEffects.size(), 4u);  // the orb and the tunnels
}

TEST(Effects, EveryExpiringGameEnderEndsTheGameAndIsRemoved) {
    THarness h;
    TForm1& f = h.Form();
    h.StartPlay();
    // Two final explosions, as when the orb is hit again after its health ran out, and an
    // ordinary one between them.
    f.AddEffect(9, 0, f.sprSplode, 7, 14, 255);
    TSprite* first = f.lstEffects.back().get();
    first->endsGame = true;
    f.AddEffect(4, 4, f.sprSplode, 7, 7, 255);
    f.AddEffect(9, 0, f.sprSplode, 7, 1, 255);
    TSprite* second = f.lstEffects.back().get();
    second->endsGame = true;

    f.UpdateEffects();
    f.UpdateEffects();
    EXPECT_TRUE(f.gameOver);
    EXPECT_FALSE(InEffects(f, second));
    EXPECT_TRUE(InEffects(f, first));
    EXPECT_FALSE(f.tmrTick->Enabled());
    EXPECT_FALSE(f.tmrRHS->Enabled());

    // The first still runs its course, and ends the game once more.
    f.gameOver = false;
    for (int call = 2; call < 28; ++call) f.UpdateEffects();
    EXPECT_TRUE(f.gameOver);
    EXPECT_FALSE(InEffects(f, first));
    // The orb, the tunnels and the 22 explosions this second end has just set off.
    EXPECT_EQ(f.lstEffects.size(), 4u + 22u);
}

TEST(Effects, KillBeamsFadeAfterTheirLife) {
    THarness h;
    TForm1& f = h.Form();
    const int layers = f.Playfield->LayerCount();
    for (int life : {4, 1, 0}) {
        f.lstKillBeams.push_back(std::make_unique<TAnimKill>());
        f.lstKillBeams.back()->beam.reset(&f.Playfield->AddLayer(), TLayerFree{});
        f.lstKillBeams.back()->life = life;
    }
    EXPECT_EQ(f.Playfield->LayerCount(), layers + 3);
    f.UpdateEffects();
    ASSERT_EQ(f.lstKillBeams.size(), 1u);
    EXPECT_EQ(f.lstKillBeams[0]->life, 3);
    EXPECT_EQ(f.Playfield->LayerCount(), layers + 1);
    for (int call = 2; call < 4; ++call) f.UpdateEffects();
    EXPECT_EQ(f.lstKillBeams.size(), 1u);
    f.UpdateEffects();
    EXPECT_TRUE(f.lstKillBeams.empty());
    EXPECT_EQ(f.Playfield->LayerCount(), layers);
}
