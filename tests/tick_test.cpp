// The game tick and the start of play: when ticks run, what a tick does in which order, the
// warning frames' flash, the speech bubbles and the cursor under the mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

// Effects showing a speech bubble, oldest first.
std::vector<const TSprite*> SpeechBubbles(const TForm1& f) {
    std::vector<const TSprite*> bubbles;
    for (const auto& e : f.lstEffects)
        if (e->firstFrame == f.sprSpeechKel || e->firstFrame == f.sprSpeechVon)
            bubbles.push_back(e.get());
    return bubbles;
}

}  // namespace

TEST(Play, ClickingTheSplashScreenStartsTheTimersAndResetsNothing) {
    THarness h;
    TForm1& f = h.Form();
    // Nothing moves behind the splash screen, however long it stays.
    h.Advance(60000);
    EXPECT_EQ(f.tickCount, 0);
    EXPECT_TRUE(f.lstVonkels.empty());
    const int objects = int(f.lstScrap.size());

    h.StartPlay();
    EXPECT_TRUE(f.tmrTick->Enabled());
    EXPECT_TRUE(f.tmrRHS->Enabled());
    EXPECT_TRUE(f.tmrEmergeSwap->Enabled());
    EXPECT_EQ(f.tmrEmergeSwap->Interval(), 30000u);
    EXPECT_FALSE(f.pnlSplash->Visible());
    EXPECT_FALSE(f.PaintBox1->Visible());
    EXPECT_FALSE(f.PaintBox2->Visible());
    EXPECT_EQ(int(f.lstScrap.size()), objects);
    EXPECT_EQ(f.cash, 50);
    h.Ticks(3);
    EXPECT_EQ(f.tickCount, 3);
}

TEST(Play, TheSplashPictureStartsPlayAsWellAndTheSwapFollowsItsSetting) {
    const struct {
        const char* swap;
        bool enabled;
        uint32_t interval;
    } cases[] = {{"0", false, 30000},
                 {"-4", false, 30000},
                 {"7", true, 7000},
                 {"2147483647", true, 4294967295u}};
    for (const auto& c : cases) {
        TTempAssets dir;
        THarness h(dir.WithSettings(std::string("VONKELEMERGESWAP=") + c.swap + "\n"));
        TForm1& f = h.Form();
        // With the click area out of the way, the picture itself takes the click.
        f.PaintBox2->Hide();
        h.StartPlay();
        EXPECT_TRUE(f.tmrTick->Enabled()) << c.swap;
        EXPECT_EQ(f.tmrEmergeSwap->Enabled(), c.enabled) << c.swap;
        EXPECT_EQ(f.tmrEmergeSwap->Interval(), c.interval) << c.swap;
    }
}

TEST(Tick, RunsFiftyMillisecondsAfterTheLastTickEndedAndNeverPilesUp) {
    THarness h;
    TForm1& f = h.Form();
    h.StartPlay();
    h.Advance(1000);
    EXPECT_EQ(f.tickCount, 20);

    // A second without the event loop getting a turn: one tick, not twenty.
    h.clock.now += 1000;
    h.Advance(0);
    EXPECT_EQ(f.tickCount, 21);
    EXPECT_EQ(f.tmrTick->Due(), h.clock.now + 50);

    // Ticks that take 30 ms each come every 80 ms.
    auto tick = f.tmrTick->OnTimer;
    f.tmrTick->OnTimer = [&] {
        h.clock.now += 30;
        tick();
    };
    h.Advance(800);
    EXPECT_EQ(f.tickCount, 31);
}

TEST(Tick, InitialDelayCountsFromProgramStartNotFromAGame) {
    TTempAssets dir;
    // E creatures would come every tick.
    THarness h(dir.WithSettings("INITDELAY=40\nEVONKELBASEEMERGE=0\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(40);
    EXPECT_TRUE(f.lstVonkels.empty());
    h.Ticks(1);
    EXPECT_EQ(f.lstVonkels.size(), 1u);

    // The next game starts at once.
    f.NewGame();
    h.Ticks(1);
    EXPECT_EQ(f.lstVonkels.size(), 1u);
    EXPECT_EQ(f.tickCount, 42);
}

TEST(Tick, FirstCreatureAfterADelayComesItsIntervalLater) {
    TTempAssets dir;
    THarness h(dir.WithSettings("INITDELAY=100\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(150);
    EXPECT_TRUE(f.lstVonkels.empty());
    h.Ticks(1);
    ASSERT_EQ(f.lstVonkels.size(), 1u);
    EXPECT_EQ(f.lstVonkels[0]->vonkelKind, 2);
}

TEST(Tick, TheTickThatEndsTheGameStopsAfterTheEffects) {
    TTempAssets dir;
    THarness h(dir.WithSettings("EVONKELBASEEMERGE=1\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    // An effect that ends the game when it expires in the second tick.
    f.AddEffect(9, 0, f.sprSplode, 7, 1, 255);
    f.lstEffects.back()->endsGame = true;
    f.RaiseWarning(*f.spNoCash);
    f.lstBots[0]->destX = 15;

    h.Ticks(1);
    EXPECT_FALSE(f.gameOver);
    EXPECT_EQ(f.spNoCash->Tag, 1);
    EXPECT_EQ(f.lstBots[0]->tileX, 10);
    EXPECT_TRUE(f.lstVonkels.empty());

    h.Ticks(1);
    EXPECT_TRUE(f.gameOver);
    // Spawning comes before the effects update: the creature due in this tick is out.
    EXPECT_EQ(f.lstVonkels.size(), 1u);
    // Nothing after the effects update ran: no flash, no bot step.
    EXPECT_EQ(f.spNoCash->Tag, 1);
    EXPECT_EQ(f.lstBots[0]->tileX, 10);
    // And the tick stays off, as do the other timers of play.
    EXPECT_FALSE(f.tmrTick->Enabled());
    EXPECT_FALSE(f.tmrRHS->Enabled());
    EXPECT_FALSE(f.tmrEmergeSwap->Enabled());
    h.Advance(10000);
    EXPECT_EQ(f.tickCount, 2);
}

TEST(Tick, SignCounterIsRedrawnOnlyWhenTheNumberOfSignsChanged) {
    THarness h;
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(1);
    const uint64_t drawn = f.imSignsCt->Bitmap().Version();
    h.Ticks(5);
    EXPECT_EQ(f.imSignsCt->Bitmap().Version(), drawn) << "redrawn without a change";

    // A sign ordered between ticks shows in the next tick.
    f.lstSigns.push_back(std::make_unique<TSign>(*f.Playfield));
    EXPECT_EQ(f.shownSignCount, 0);
    h.Ticks(1);
    EXPECT_EQ(f.shownSignCount, 1);
    EXPECT_NE(f.imSignsCt->Bitmap().Version(), drawn);
    EXPECT_EQ(f.imSignsCt->LayerCount(), 3);  // "1/4"
    const uint64_t redrawn = f.imSignsCt->Bitmap().Version();
    h.Ticks(3);
    EXPECT_EQ(f.imSignsCt->Bitmap().Version(), redrawn);

    f.lstSigns.clear();
    h.Ticks(1);
    EXPECT_EQ(f.shownSignCount, 0);
}

TEST(Tick, WarningFramesFlashTwiceInFifteenTicks) {
    THarness h;
    TForm1& f = h.Form();
    h.StartPlay();
    // Shown for the rest of the raising tick and four more, hidden for five, shown for five,
    // then hidden for good.
    const std::string expected = "VVVVHHHHHVVVVVHHHHH";
    for (TShape* frame : {f.spNoCash, f.spTooManySigns, f.spHatred}) {
        f.RaiseWarning(*frame);
        std::string seen;
        for (int tick = 0; tick < 19; ++tick) {
            h.Ticks(1);
            seen += frame->Visible() ? 'V' : 'H';
        }
        EXPECT_EQ(seen, expected) << frame->Name();
        EXPECT_EQ(frame->Tag, 0) << frame->Name();
    }

    // Raised again during the flash, it starts over.
    f.RaiseWarning(*f.spTooManySigns);
    h.Ticks(7);
    EXPECT_FALSE(f.spTooManySigns->Visible());
    f.RaiseWarning(*f.spTooManySigns);
    std::string seen;
    for (int tick = 0; tick < 19; ++tick) {
        h.Ticks(1);
        seen += f.spTooManySigns->Visible() ? 'V' : 'H';
    }
    EXPECT_EQ(seen, expected);
}

TEST(Tick, HatredChangesWhenItsFlashEnds) {
    THarness h;
    TForm1& f = h.Form();
    h.StartPlay();
    f.RaiseWarning(*f.spHatred);
    h.Ticks(14);
    EXPECT_EQ(f.hatred, 1);
    h.Ticks(1);
    EXPECT_EQ(f.hatred, 2);
    // The other frames change nothing.
    f.RaiseWarning(*f.spNoCash);
    f.RaiseWarning(*f.spTooManySigns);
    h.Ticks(20);
    EXPECT_EQ(f.hatred, 2);
}

TEST(Tick, SpeechBubblesTakeTurnsStartingWithKelAndNeedACreature) {
    TTempAssets dir;
    // No creature comes out for a long while; then only E creatures, which stay where they
    // come out.
    THarness h(
        dir.WithSettings("INITDELAY=3000\nEVONKELBASEEMERGE=0\nEVONKELBASESPEED=1000000\n"
                         "SVONKELBASEEMERGE=1000000\nFVONKELBASEEMERGE=1000000\n"
                         "VONKELEMERGESWAP=0\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(3000);
    EXPECT_EQ(f.speechToggle, 0);
    EXPECT_TRUE(SpeechBubbles(f).empty());

    // From now on an E creature comes every tick.
    std::vector<int> pictures;
    for (int tick = 0; tick < 2000; ++tick) {
        h.Ticks(1);
        // A bubble made in this tick has not been animated yet. There is at most one, and it
        // is the newest effect of all.
        int fresh = 0;
        for (const TSprite* b : SpeechBubbles(f))
            if (b->frameTick == 0 && b->life == 7) {
                ++fresh;
                EXPECT_EQ(b, f.lstEffects.back().get());
                pictures.push_back(b->firstFrame);
                EXPECT_EQ(b->tileX, 1);
                EXPECT_EQ(b->tileY, 17);  // above the creatures on row 18
                EXPECT_EQ(b->frameCount, 1);
                EXPECT_EQ(b->alpha, 170);
                EXPECT_EQ(b->layer->Bitmap().MasterAlpha(), 170);
            }
        ASSERT_LE(fresh, 1);
    }
    const int bubbles = int(pictures.size());
    // About 6 % of the ticks (120 expected; the bounds are 6 standard deviations apart).
    EXPECT_GT(bubbles, 60);
    EXPECT_LT(bubbles, 180);
    for (size_t i = 0; i < pictures.size(); ++i)
        EXPECT_EQ(pictures[i], i % 2 == 0 ? f.sprSpeechKel : f.sprSpeechVon) << "bubble " << i;

    // The turns go on into the next game.
    const int next = pictures.size() % 2 == 0 ? f.sprSpeechKel : f.sprSpeechVon;
    f.NewGame();
    for (int tick = 0; tick < 1000 && SpeechBubbles(f).empty(); ++tick) h.Ticks(1);
    ASSERT_FALSE(SpeechBubbles(f).empty());
    EXPECT_EQ(SpeechBubbles(f)[0]->firstFrame, next);
}

TEST(Cursor, FollowsTheMouseTileByTileAndIsDrawnThereByTheNextTick) {
    THarness h;
    TForm1& f = h.Form();
    h.StartPlay();
    // Window coordinates: the playfield starts at (9, 9).
    h.MouseMove(9 + 4 * 35 + 34, 9 + 7 * 35);
    EXPECT_EQ(f.cursor->tileX, 4);
    EXPECT_EQ(f.cursor->tileY, 7);
    EXPECT_EQ(f.cursor->layer->Location().left, 0) << "moved before the tick";
    h.Ticks(1);
    EXPECT_EQ(f.cursor->layer->Location().left, 140);
    EXPECT_EQ(f.cursor->layer->Location().top, 245);
    EXPECT_EQ(f.Caption(), "Quorvatide") << "the caption shows the tile only when debugging";

    h.MouseMove(9 + 19 * 35 + 20, 9 + 19 * 35 + 20);
    EXPECT_EQ(f.cursor->tileX, 19);
    EXPECT_EQ(f.cursor->tileY, 19);
    // Dragged off the playfield with the button held, it keeps to the board's edge.
    h.MouseDown(9 + 100, 9 + 100);
    h.MouseMove(880, 716);
    EXPECT_EQ(f.cursor->tileX, 19);
    EXPECT_EQ(f.cursor->tileY, 19);
    h.MouseMove(0, 0);
    EXPECT_EQ(f.cursor->tileX, 0);
    EXPECT_EQ(f.cursor->tileY, 0);
    h.MouseUp(0, 0);
}

TEST(Cursor, DebugModeShowsItsTileInTheCaptionEveryTick) {
    TTempAssets dir;
    THarness h(dir.WithSettings("DEBUG=1\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.MouseMove(9 + 9 * 35, 9 + 4 * 35);
    EXPECT_EQ(f.Caption(), "Quorvatide");
    h.Ticks(1);
    EXPECT_EQ(f.Caption(), "Quorvatide [9 4]");
}
