// The loop of screens: the splash screen's two phases, the start of play, the pause, the fall of
// the orb with its two waves of explosions, the game-over screen with its rising end text, and
// the restart over a fresh world.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

// No creature comes out and the tunnels keep their intervals, so that only the screens move.
const std::string kQuiet = "INITDELAY=2000000000\nVONKELEMERGESWAP=0\n";

// Window coordinates of a point on the play area, which every screen covers.
constexpr int kPlayX = 8 + 350, kPlayY = 8 + 350;

std::vector<std::string> Since(const THarness& h, size_t from) {
    return {h.audio.log.begin() + std::ptrdiff_t(std::min(from, h.audio.log.size())),
            h.audio.log.end()};
}

int ExplosionSounds(const std::vector<std::string>& log) {
    return int(std::count_if(log.begin(), log.end(), [](const std::string& line) {
        return line.rfind("sound explosion", 0) == 0;
    }));
}

// A quiet game in play whose orb then takes its last hit: its final explosion burns out 28
// ticks later and ends the game.
class TEndingGame {
public:
    explicit TEndingGame(const std::string& settings = "") {
        h = std::make_unique<THarness>(dir.WithSettings(settings + kQuiet));
        h->StartPlay();
        h->Ticks(10);
    }
    TForm1& f() { return h->Form(); }

    // Ticks until the game is over; the clock then stands at the tick that ended it.
    void FellOrb() {
        f().orb->health = 0.5;
        f().DamageOrb();
        for (int t = 0; t < 40 && !f().gameOver; ++t) h->Ticks(1);
        ASSERT_TRUE(f().gameOver);
        endedAt = h->clock.now;
    }
    // On to the game-over screen, which comes 28 firings of the explosion timer after the end.
    void ToGameOverScreen() {
        FellOrb();
        h->Advance(28 * 50);
        ASSERT_TRUE(f().pnlGameOver->Visible());
    }

    TTempAssets dir;
    std::unique_ptr<THarness> h;
    uint64_t endedAt = 0;
};

}  // namespace

TEST(Splash, ThePictureAndTheScrollingStartTextTakeTurns) {
    THarness h;
    TForm1& f = h.Form();
    EXPECT_TRUE(f.pnlSplash->Visible());
    EXPECT_TRUE(f.imSplash->Visible());
    EXPECT_TRUE(f.PaintBox2->Visible());
    EXPECT_TRUE(f.tmrDiv->Enabled());

    h.Advance(7999);
    EXPECT_TRUE(f.imSplash->Visible());
    h.Advance(1);  // 8 s of the picture
    EXPECT_FALSE(f.imSplash->Visible());
    EXPECT_TRUE(f.PaintBox2->Visible());
    EXPECT_EQ(f.imStart->Top(), 680);
    EXPECT_TRUE(f.tmrScrollST->Enabled());
    EXPECT_FALSE(f.tmrDiv->Enabled());

    // 10 pixels up every 300 ms, behind everything else of the panel.
    h.Advance(300);
    EXPECT_EQ(f.imStart->Top(), 670);
    EXPECT_EQ(f.pnlSplash->Controls().front().get(), f.imStart);
    EXPECT_TRUE(f.pnlSplash->DoubleBuffered());
    h.Advance(127 * 300);
    EXPECT_EQ(f.imStart->Top(), -600);
    EXPECT_TRUE(f.tmrScrollST->Enabled());
    // The 129th step takes it past -605: the text has gone, the picture is back for 8 s.
    h.Advance(300);
    EXPECT_EQ(f.imStart->Top(), -610);
    EXPECT_FALSE(f.tmrScrollST->Enabled());
    EXPECT_TRUE(f.imSplash->Visible());
    EXPECT_TRUE(f.tmrDiv->Enabled());
    h.Advance(8000);
    EXPECT_FALSE(f.imSplash->Visible());
    EXPECT_EQ(f.imStart->Top(), 680);

    // Nothing of the game moved behind it.
    EXPECT_EQ(f.tickCount, 0);
    EXPECT_FALSE(f.tmrTick->Enabled());
}

TEST(Splash, AClickInEitherPhaseStartsPlayAtOnce) {
    for (const uint64_t wait : {uint64_t(100), uint64_t(8000 + 20 * 300)}) {
        THarness h;
        TForm1& f = h.Form();
        h.Advance(wait);
        const bool scrolling = !f.imSplash->Visible();
        EXPECT_EQ(scrolling, wait > 8000);
        h.Click(kPlayX, kPlayY);
        EXPECT_TRUE(f.tmrTick->Enabled()) << wait;
        EXPECT_TRUE(f.tmrRHS->Enabled()) << wait;
        EXPECT_TRUE(f.tmrEmergeSwap->Enabled()) << wait;
        EXPECT_FALSE(f.pnlSplash->Visible()) << wait;
        EXPECT_FALSE(f.PaintBox1->Visible()) << wait;
        EXPECT_FALSE(f.PaintBox2->Visible()) << wait;
        h.Ticks(1);
        EXPECT_EQ(f.tickCount, 1) << wait;
    }
}

TEST(Pause, DoesNothingOnTheSplashOrTheGameOverScreen) {
    THarness h;
    TForm1& f = h.Form();
    h.Key('p');
    h.Key('P');
    EXPECT_FALSE(f.pnlPause->Visible());
    h.Advance(9000);  // the scroll phase
    h.Key('P');
    EXPECT_FALSE(f.pnlPause->Visible());

    TEndingGame game;
    game.ToGameOverScreen();
    game.h->Key('P');
    EXPECT_FALSE(game.f().pnlPause->Visible());
    EXPECT_TRUE(game.f().tmrScrollET->Enabled());
}

TEST(Pause, StopsTheTickAndTheWarningsButNotTheEmergenceSwaps) {
    TTempAssets dir;
    THarness h(dir.WithSettings("INITDELAY=2000000000\nVONKELEMERGESWAP=1\n"));
    TForm1& f = h.Form();
    h.StartPlay();
    h.Ticks(10);
    h.Key('p');
    const uint64_t pausedAt = h.clock.now;
    EXPECT_TRUE(f.pnlPause->Visible());
    EXPECT_EQ(f.Controls().back().get(), f.pnlPause);  // in front of everything
    EXPECT_FALSE(f.tmrTick->Enabled());
    EXPECT_FALSE(f.tmrRHS->Enabled());
    EXPECT_TRUE(f.tmrEmergeSwap->Enabled());

    h.Advance(200 * 1000);  // longer than any hatred warning waits
    EXPECT_EQ(f.tickCount, 10);
    for (const std::string& line : h.audio.log) EXPECT_NE(line, "sound hatewarning.wav");
    EXPECT_FALSE(f.spHatred->Visible());
    EXPECT_GT(f.tmrEmergeSwap->Due(), pausedAt + 100 * 1000);  // the swaps went on

    h.Key('P');
    EXPECT_FALSE(f.pnlPause->Visible());
    EXPECT_EQ(f.Controls().front().get(), f.pnlPause);  // back behind the play area
    EXPECT_TRUE(f.tmrTick->Enabled());
    EXPECT_TRUE(f.tmrRHS->Enabled());
    // The hatred warning waits its whole interval again from here.
    EXPECT_EQ(f.tmrRHS->Due(), h.clock.now + f.tmrRHS->Interval());
    h.Ticks(1);
    EXPECT_EQ(f.tickCount, 11);
}

TEST(Pause, DuringTheExplosionsTheyGoOnAndNoPlayResumes) {
    TEndingGame game;
    TForm1& f = game.f();
    game.FellOrb();
    game.h->Advance(100);
    game.h->Key('p');
    EXPECT_TRUE(f.pnlPause->Visible());
    EXPECT_TRUE(f.tmrSplode->Enabled());
    game.h->Advance(600);  // the first wave burns out behind the pause picture
    EXPECT_EQ(f.splodeStage, 1);

    // Resuming brings the explosions back into view, but the tick and the warnings stay off.
    game.h->Key('p');
    EXPECT_FALSE(f.pnlPause->Visible());
    EXPECT_FALSE(f.tmrTick->Enabled());
    EXPECT_FALSE(f.tmrRHS->Enabled());
    game.h->Advance(700);
    EXPECT_TRUE(f.pnlGameOver->Visible());
    const int ticks = f.tickCount;
    const size_t sounds = game.h->audio.log.size();
    game.h->Advance(300 * 1000);
    EXPECT_EQ(f.tickCount, ticks);
    for (const std::string& line : Since(*game.h, sounds)) EXPECT_NE(line, "sound hatewarning.wav");
}

TEST(Pause, APauseStillUpWhenTheGameOverScreenComesCanBeTakenAway) {
    TEndingGame game;
    TForm1& f = game.f();
    game.FellOrb();
    game.h->Key('p');
    game.h->Advance(28 * 50);
    // The game-over screen has come behind the pause picture.
    EXPECT_TRUE(f.pnlGameOver->Visible());
    EXPECT_EQ(f.Controls().back().get(), f.pnlPause);
    game.h->Key('p');
    EXPECT_FALSE(f.pnlPause->Visible());
    EXPECT_FALSE(f.tmrTick->Enabled());
    // From now on it is the game-over screen, which takes no pause; its click restarts.
    game.h->Key('p');
    EXPECT_FALSE(f.pnlPause->Visible());
    game.h->Click(kPlayX, kPlayY);
    EXPECT_TRUE(f.pnlSplash->Visible());
}

TEST(EndGame, StopsPlayAndSetsOffTheOrbsExplosionAndTwentyOneOnRandomTiles) {
    TEndingGame game;
    TForm1& f = game.f();
    THarness& h = *game.h;
    h.Click(9 + 35 * 4 + 17, 9 + 35 * 6 + 17);  // the build menu, with its markers
    ASSERT_TRUE(f.MenuImg->Visible());
    const size_t before = f.lstEffects.size();
    const size_t sounds = h.audio.log.size();
    TRandom draws = f.random;  // the draws EndGame is about to make

    f.EndGame();
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_FALSE(f.OrbMenuImg->Visible());
    EXPECT_TRUE(std::none_of(f.lstEffects.begin(), f.lstEffects.end(),
                             [](const auto& e) { return e->menuMarker; }));
    EXPECT_FALSE(f.tmrTick->Enabled());
    EXPECT_FALSE(f.tmrRHS->Enabled());
    EXPECT_FALSE(f.tmrEmergeSwap->Enabled());
    EXPECT_TRUE(f.gameOver);
    EXPECT_EQ(f.musicTrack, 4);
    EXPECT_EQ(Since(h, sounds), (std::vector<std::string>{"stop 0", "stop 0", "close 1",
                                                          "open 1 rmusic4.wav", "play 1"}));
    EXPECT_EQ(f.imEnd->Top(), 569);
    EXPECT_EQ(f.splodeStage, 0);
    EXPECT_TRUE(f.tmrSplode->Enabled());

    // The markers went, 22 explosions came: the orb's first, silent, then 21 that go off with a
    // bang, each on a row and then a column drawn from 0..17.
    const size_t markers = 6 * 9;  // around the six base tiles
    ASSERT_EQ(f.lstEffects.size(), before - markers + 22);
    const size_t first = f.lstEffects.size() - 22;
    const TSprite& orbBlast = *f.lstEffects[first];
    EXPECT_EQ(orbBlast.tileX, f.orb->tileX);
    EXPECT_EQ(orbBlast.tileY, f.orb->tileY);
    EXPECT_FALSE(orbBlast.explodes);
    for (size_t i = first; i < f.lstEffects.size(); ++i) {
        const TSprite& e = *f.lstEffects[i];
        EXPECT_EQ(e.firstFrame, f.sprSplode);
        EXPECT_EQ(e.frameCount, 7);
        EXPECT_EQ(e.life, 7);
        EXPECT_EQ(e.layer->Bitmap().MasterAlpha(), 255);
        if (i == first) continue;
        EXPECT_TRUE(e.explodes);
        const int row = draws.RandomInt(0, 17);
        const int column = draws.RandomInt(0, 17);
        EXPECT_EQ(e.tileY, row) << i;
        EXPECT_EQ(e.tileX, column) << i;
    }
}

TEST(EndGame, TwoWavesBurnOutAndThenTheGameOverScreenShows) {
    TEndingGame game;
    TForm1& f = game.f();
    THarness& h = *game.h;
    game.FellOrb();
    const size_t sounds = h.audio.log.size();
    EXPECT_EQ(f.lstEffects.size(), 4u + 22u);  // the orb, the tunnels and the first wave

    h.Advance(13 * 50);
    EXPECT_EQ(ExplosionSounds(Since(h, sounds)), 0);
    h.Advance(50);  // the 14th firing: the first wave is over and the second follows at once
    EXPECT_EQ(ExplosionSounds(Since(h, sounds)), 21);  // the orb's one was silent
    EXPECT_EQ(f.splodeStage, 1);
    EXPECT_EQ(f.lstEffects.size(), 4u + 21u);
    EXPECT_FALSE(f.pnlGameOver->Visible());

    h.Advance(13 * 50);
    EXPECT_FALSE(f.pnlGameOver->Visible());
    h.Advance(50);
    EXPECT_EQ(ExplosionSounds(Since(h, sounds)), 42);
    EXPECT_EQ(f.splodeStage, 2);
    EXPECT_TRUE(f.pnlGameOver->Visible());
    EXPECT_TRUE(f.PaintBox1->Visible());
    EXPECT_TRUE(f.PaintBox2->Visible());
    EXPECT_FALSE(f.tmrSplode->Enabled());
    EXPECT_TRUE(f.tmrScrollET->Enabled());
    EXPECT_EQ(f.lstEffects.size(), 4u);
    EXPECT_EQ(h.clock.now, game.endedAt + 28 * 50);

    // Sounds switched off silence the explosions, not the sequence.
    TEndingGame quiet;
    quiet.h->Key('s');
    quiet.FellOrb();
    const size_t quietFrom = quiet.h->audio.log.size();
    quiet.h->Advance(28 * 50);
    EXPECT_EQ(ExplosionSounds(Since(*quiet.h, quietFrom)), 0);
    EXPECT_TRUE(quiet.f().pnlGameOver->Visible());
}

TEST(EndGame, TheEndTextRisesBehindTheBandsAndStopsBetweenThem) {
    TEndingGame game;
    TForm1& f = game.f();
    THarness& h = *game.h;
    game.ToGameOverScreen();
    EXPECT_EQ(f.imEnd->Top(), 569);

    // The bands paint over the text while it rises from behind the bottom one.
    h.Advance(500);
    EXPECT_EQ(f.imEnd->Top(), 559);
    EXPECT_EQ(f.pnlGameOver->Controls().front().get(), f.imEnd);
    EXPECT_TRUE(f.pnlGameOver->DoubleBuffered());
    TPicture withText;
    withText.Assign(h.Render());
    f.imEnd->Hide();
    const TPicture& withoutText = h.Render();
    for (const TRect band :
         {TRect{8, 8, 708, 8 + 101}, TRect{8, 8 + 600, 708, 708},
          TRect{8, 8 + 101, 8 + 50, 8 + 600}, TRect{8 + 650, 8 + 101, 708, 8 + 600}})
        for (int y = band.top; y < band.bottom; y += 3)
            for (int x = band.left; x < band.right; x += 3)
                ASSERT_EQ(withText.Pixel(x, y), withoutText.Pixel(x, y)) << x << "," << y;
    f.imEnd->Show();

    h.Advance(43 * 500);
    EXPECT_EQ(f.imEnd->Top(), 129);
    EXPECT_TRUE(f.tmrScrollET->Enabled());
    h.Advance(500);  // the 45th step
    EXPECT_EQ(f.imEnd->Top(), 119);
    EXPECT_FALSE(f.tmrScrollET->Enabled());
    h.Advance(60 * 1000);
    EXPECT_EQ(f.imEnd->Top(), 119);
}

TEST(EndGame, AnotherOfTheOrbsLastExplosionsStartsTheSequenceAgain) {
    TEndingGame game;
    TForm1& f = game.f();
    THarness& h = *game.h;
    game.FellOrb();
    const size_t sounds = h.audio.log.size();
    // A later hit on the fallen orb left another final explosion, due in the fourth firing.
    f.AddEffect(f.orb->tileX, f.orb->tileY, f.sprSplode, 7, 2, 255);
    f.lstEffects.back()->endsGame = true;
    f.imEnd->SetTop(300);
    h.Advance(3 * 50);
    EXPECT_EQ(f.lstEffects.size(), 4u + 22u + 1u);

    // Everything runs again: 22 more explosions, the text back down, the waves from the start.
    // Only the music stays as it is, already the game-over track.
    h.Advance(50);
    EXPECT_EQ(f.lstEffects.size(), 4u + 22u + 22u);
    EXPECT_EQ(f.imEnd->Top(), 569);
    EXPECT_EQ(f.splodeStage, 0);
    EXPECT_EQ(Since(h, sounds), std::vector<std::string>{"stop 0"});

    // The first wave burns out on time, but the second end's explosions keep the count up until
    // they burn out four firings later; then comes the one wave more.
    h.Advance(10 * 50);
    EXPECT_EQ(ExplosionSounds(Since(h, sounds)), 21);
    EXPECT_EQ(f.splodeStage, 0);
    h.Advance(4 * 50);
    EXPECT_EQ(ExplosionSounds(Since(h, sounds)), 42);
    EXPECT_EQ(f.splodeStage, 1);
    h.Advance(13 * 50);
    EXPECT_FALSE(f.pnlGameOver->Visible());
    h.Advance(50);
    EXPECT_TRUE(f.pnlGameOver->Visible());
    EXPECT_EQ(ExplosionSounds(Since(h, sounds)), 63);
    EXPECT_EQ(h.clock.now, game.endedAt + 32 * 50);
}

TEST(Restart, AClickOnTheGameOverScreenBringsTheSplashScreenOverAFreshWorld) {
    TEndingGame game("DEBUG=1\n");
    TForm1& f = game.f();
    THarness& h = *game.h;
    game.h->Key('b');  // debug toggles and sound switches are kept
    game.h->Key('s');
    game.h->Key('m');
    f.ChangeCash(250);
    game.ToGameOverScreen();
    h.Advance(3000);  // the end text is still on its way up
    ASSERT_TRUE(f.tmrScrollET->Enabled());
    const int ticks = f.tickCount;
    const int ids = f.nextId;
    const size_t sounds = h.audio.log.size();

    h.Click(kPlayX, kPlayY);
    EXPECT_FALSE(f.gameOver);
    // Music is off: both players closed, and the title track is the screen's, not playing.
    EXPECT_EQ(Since(h, sounds), (std::vector<std::string>{"close 1", "close 0"}));
    EXPECT_EQ(f.musicTrack, 0);
    EXPECT_FALSE(f.pnlGameOver->Visible());
    EXPECT_FALSE(f.PaintBox1->Visible());
    EXPECT_FALSE(f.PaintBox2->Visible());
    EXPECT_TRUE(f.pnlSplash->Visible());
    EXPECT_TRUE(f.imSplash->Visible());
    EXPECT_FALSE(f.tmrScrollST->Enabled());
    EXPECT_TRUE(f.tmrDiv->Enabled());
    EXPECT_FALSE(f.tmrTick->Enabled());
    EXPECT_FALSE(f.tmrRHS->Enabled());

    // The new world: 21 board objects, the base, the orb, the tunnels and one bot.
    EXPECT_EQ(f.lstScrap.size(), 21u);
    EXPECT_EQ(f.lstBots.size(), 1u);
    EXPECT_EQ(f.lstTurrets.size(), 4u);
    EXPECT_TRUE(f.lstVonkels.empty());
    EXPECT_TRUE(f.lstSigns.empty());
    EXPECT_TRUE(f.lstOrders.empty());
    EXPECT_EQ(f.lstEffects.size(), 4u);
    EXPECT_EQ(f.cash, 50);
    EXPECT_EQ(f.score, 0);
    EXPECT_EQ(f.hatred, 1);
    EXPECT_TRUE(f.cursor->visible);
    // Kept: the tick count, the ids (the new objects carry on from the last), the toggles.
    EXPECT_EQ(f.tickCount, ticks);
    EXPECT_EQ(f.lstScrap.front()->id, ids + 1);
    EXPECT_EQ(f.nextId, ids + 21);
    EXPECT_TRUE(f.dbgFreeze);
    EXPECT_FALSE(f.soundOn);
    EXPECT_FALSE(f.musicOn);

    // No play until the splash is clicked; the picture takes the click now.
    h.Advance(1000);
    EXPECT_EQ(f.tickCount, ticks);
    h.Click(kPlayX, kPlayY);
    EXPECT_TRUE(f.tmrTick->Enabled());
    h.Ticks(5);
    EXPECT_EQ(f.tickCount, ticks + 5);

    // The next game over puts the end text back at the bottom.
    game.FellOrb();
    EXPECT_EQ(f.imEnd->Top(), 569);
}

TEST(Restart, NothingOfTheLastGameRunsOnIntoTheNext) {
    TEndingGame game;
    TForm1& f = game.f();
    THarness& h = *game.h;
    // The splash timers run on behind play: wait until the picture phase has begun again and
    // is partly over.
    while (!f.tmrDiv->Enabled()) h.Advance(1000);
    h.Advance(2000);
    ASSERT_TRUE(f.tmrDiv->Enabled());
    // Every warning frame flashing when the orb falls.
    f.orb->health = 0.5;
    f.DamageOrb();
    h.Ticks(20);
    f.RaiseWarning(*f.spNoCash);
    f.RaiseWarning(*f.spTooManySigns);
    f.tmrRHSTimer();
    while (!f.gameOver) h.Ticks(1);
    ASSERT_TRUE(f.spHatred->Visible() || f.spHatred->Tag != 0);
    h.Advance(28 * 50);
    ASSERT_TRUE(f.pnlGameOver->Visible());

    h.Click(kPlayX, kPlayY);
    for (TShape* frame : {f.spNoCash, f.spTooManySigns, f.spHatred}) {
        EXPECT_FALSE(frame->Visible()) << frame->Name();
        EXPECT_EQ(frame->Tag, 0) << frame->Name();
    }
    // The title picture shows its full 8 s before the start text scrolls.
    h.Advance(7950);
    EXPECT_TRUE(f.imSplash->Visible());
    h.Advance(50);
    EXPECT_FALSE(f.imSplash->Visible());

    // The next game's hatred turns only after a warning of its own.
    h.Click(kPlayX, kPlayY);
    const size_t sounds = h.audio.log.size();
    h.Ticks(40);
    EXPECT_EQ(f.hatred, 1);
    EXPECT_FALSE(f.spHatred->Visible());
    for (const std::string& line : Since(h, sounds)) EXPECT_NE(line, "sound hatewarning.wav");
}

TEST(Restart, MusicSwitchedOffStaysOffAndMStartsTheScreensTrack) {
    TEndingGame game;
    TForm1& f = game.f();
    THarness& h = *game.h;
    h.Key('m');
    size_t from = h.audio.log.size();
    const auto opened = [&] {
        std::vector<std::string> opens;
        for (const std::string& line : Since(h, from))
            if (line.rfind("open ", 0) == 0 || line.rfind("play ", 0) == 0) opens.push_back(line);
        from = h.audio.log.size();
        return opens;
    };
    game.ToGameOverScreen();
    EXPECT_EQ(f.musicTrack, 4);
    EXPECT_EQ(opened(), std::vector<std::string>{});
    h.Key('m');
    EXPECT_EQ(opened(), (std::vector<std::string>{"open 1 rmusic4.wav", "play 1"}));
    h.Key('m');
    h.Click(kPlayX, kPlayY);
    EXPECT_EQ(f.musicTrack, 0);
    EXPECT_EQ(opened(), std::vector<std::string>{});
    h.Advance(65000);
    EXPECT_EQ(opened(), std::vector<std::string>{});
    h.Key('m');
    EXPECT_EQ(opened(), (std::vector<std::string>{"open 0 rmusic0.wav", "play 0"}));
}
