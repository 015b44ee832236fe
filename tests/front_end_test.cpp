// The front end over a live game, on a fake clock: its menu pauses the game as P does and the
// replay holds the P; Escape and the side panel's button are its own only where the game has
// no use for them; options reach the host and are kept; calm effects hold the warning frames
// steady; a slower game is a slower clock whose replay checks; the drawing over the frame is
// shown as if made afresh.
#include "frontend/front_end.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "frontend/options.h"
#include "frontend/overlay.h"
#include "frontend/records.h"
#include "frontend/screens.h"
#include "platform/sdl/sdl_bmp.h"
#include "replay/check.h"
#include "replay/replay_file.h"
#include "shell/screen_name.h"
#include "tests/harness.h"
#include "toolkit/utf8_path.h"

namespace fs = std::filesystem;

namespace {

class TVolumeAudio : public TRecordingAudio {
public:
    using TRecordingAudio::TRecordingAudio;
    void SetVolumes(int m, int e) override { music = m, effects = e; }
    int music = -1, effects = -1;
};

class TFakeWindow : public IHostWindow {
public:
    bool Fullscreen() override { return full; }
    void SetFullscreen(bool f) override { full = f; }
    int Scale() override { return scale; }
    int MaxScale() override { return 3; }
    void SetScale(int s) override { scale = s; }
    bool CanClose() override { return true; }
    void Close() override { closed = true; }
    bool ShowFolder(const std::string&) override { return true; }
    bool full = false, closed = false;
    int scale = 1;
};

// The front end on a headless host: a fake clock, recording audio, a fake window, and a
// folder of its own for the player's files.
struct TRig {
    explicit TRig(const std::string& optionsText = {}) {
        dir = FreshTempFolder("qv_front_");
        fs::create_directories(dir / "config");
        fs::create_directories(dir / "state");
        if (!optionsText.empty()) std::ofstream(dir / "config" / kOptionsFileName) << optionsText;
        Start();
    }
    ~TRig() {
        front.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void Start() {
        clock.now = 1000;
        platform = std::make_unique<TPlatform>(
            TPlatform{clock, audio, SdlFiles(), PathUtf8(BuildExeDir()) + "/",
                      PathUtf8(dir / "config") + "/", PathUtf8(dir / "state") + "/"});
        platform->window = &window;
        front = std::make_unique<TFrontEnd>(*platform, TFrontEndHooks{});
        front->Play();
        Frame();
    }
    TForm1& Game() { return *front->Game(); }
    std::string Screen() { return ScreenName(Game()); }
    void Advance(uint64_t ms) {
        const uint64_t end = clock.now + ms;
        for (;;) {
            const auto due = front->NextDue();
            const auto music = audio.NextEnd();
            std::optional<uint64_t> next = due;
            if (music && (!next || *music <= *next)) next = music;
            if (!next || *next > end) break;
            clock.now = std::max(clock.now, *next);
            for (int p : audio.TakeFinished()) front->Dispatch(TDispatch::MusicFinished(p));
            front->RunDue();
        }
        clock.now = end;
    }
    void Click(int x, int y, TMouseButton button = TMouseButton::Left) {
        TShiftState down;
        (button == TMouseButton::Left ? down.left : down.right) = true;
        front->Dispatch(TDispatch::MouseMove(x, y, TShiftState()));
        front->Dispatch(TDispatch::MouseDown(x, y, button, down));
        front->Dispatch(TDispatch::MouseUp(x, y, button, TShiftState()));
    }
    const TPicture& Frame() {
        std::vector<TRect> rects = front->Form().Compose();
        return front->Shown(rects);
    }
    // Ends the session (as closing the window does) and gives its replay.
    std::string CloseAndReplay() {
        front->Close();
        front.reset();
        for (const auto& e : fs::directory_iterator(dir / "state" / "replays"))
            return e.path().string();
        return {};
    }

    fs::path dir;
    TFakeClock clock;
    TVolumeAudio audio{clock};
    TFakeWindow window;
    std::unique_ptr<TPlatform> platform;
    std::unique_ptr<TFrontEnd> front;
};

int CountKeys(const std::string& replay, char key) {
    std::string error;
    const auto file = LoadReplay(NativeFiles(), replay, error);
    EXPECT_TRUE(file) << error;
    int n = 0;
    TRecordDecoder decoder(file->body);
    while (const auto r = decoder.Next())
        if (r->kind == TRecordKind::Key && (r->key == key || r->key == char(key ^ 0x20))) ++n;
    return n;
}

TCheckOutcome Check(const std::string& replay) {
    return CheckReplay(replay, SdlFiles(), PathUtf8(BuildExeDir()) + "/", "");
}

constexpr int kMenuX = 800, kMenuY = 452;
// A base that falls within a minute or two of game time.
constexpr const char* kFrailBase =
    "TURRETHEALTH=1\nBASEORBHEALTH=2\nEVONKELBASEEMERGE=20\nSVONKELBASEEMERGE=100000\n"
    "FVONKELBASEEMERGE=100000\n";

}  // namespace

TEST(FrontEnd, TheMenuPausesWithTheGamesOwnPauseAndTheReplayHoldsIt) {
    TRig rig;
    rig.Click(358, 358);  // the title screen: play begins
    rig.Advance(1000);
    ASSERT_EQ(rig.Screen(), "play");
    // Escape, with no menu of the game's open, is the front end's: its menu over the pause.
    EXPECT_TRUE(rig.front->HostKey(THostKey::Escape));
    EXPECT_TRUE(rig.front->MenuOpen());
    EXPECT_EQ(rig.Screen(), "paused");
    // Shown: the night-blue panel in the middle of the play area, the rest dimmed.
    const TPicture& shown = rig.Frame();
    EXPECT_GT(BlueOf(shown.Pixel(210, 300)), 40);
    EXPECT_LT(BlueOf(shown.Pixel(20, 300)), 20);
    const int ticks = rig.Game().tickCount;
    rig.Advance(2000);
    EXPECT_EQ(rig.Game().tickCount, ticks);
    // Typing reaches nothing while the menu is open; a second Escape closes it and play goes on.
    rig.front->Dispatch(TDispatch::Key('p'));
    EXPECT_EQ(rig.Screen(), "paused");
    EXPECT_TRUE(rig.front->HostKey(THostKey::Escape));
    EXPECT_FALSE(rig.front->MenuOpen());
    EXPECT_EQ(rig.Screen(), "play");
    rig.Advance(1000);
    EXPECT_GT(rig.Game().tickCount, ticks);
    // The side panel's button opens it too, and the pad's menu button; its Resume closes it.
    rig.Click(kMenuX, kMenuY);
    EXPECT_TRUE(rig.front->MenuOpen());
    EXPECT_TRUE(rig.front->HostKey(THostKey::Menu));
    EXPECT_FALSE(rig.front->MenuOpen());
    EXPECT_TRUE(rig.front->HostKey(THostKey::Menu));
    const std::vector<TRect> items = rig.front->PointerItems();
    ASSERT_FALSE(items.empty());
    rig.Click((items[0].left + items[0].right) / 2, (items[0].top + items[0].bottom) / 2);
    EXPECT_FALSE(rig.front->MenuOpen());
    EXPECT_EQ(rig.Screen(), "play");
    rig.Advance(500);
    // Every pause and resume is in the replay, as the player's P, and it checks.
    const std::string replay = rig.CloseAndReplay();
    EXPECT_EQ(CountKeys(replay, 'P'), 6);
    EXPECT_EQ(Check(replay).status, 0) << Check(replay).message;
}

TEST(FrontEnd, PlayInTheMenuOnTheTitleScreenBeginsPlay) {
    // The title screen's panel runs far below the window: its click lands where it shows.
    TRig rig;
    ASSERT_EQ(rig.Screen(), "splash");
    rig.front->OpenMenu();
    rig.front->NewGame();
    EXPECT_EQ(rig.Screen(), "play");
    rig.Advance(500);
    EXPECT_GT(rig.Game().tickCount, 5);
}

TEST(FrontEnd, EscapeAndTheSideButtonAreItsOwnOnlyWhereTheGameHasNoUseForThem) {
    TRig rig;
    rig.Click(358, 358);
    rig.Advance(500);
    // The build menu open: Escape is the game's (the host's pointer closes the menu with it).
    rig.Click(8 + 35 * 5 + 17, 8 + 35 * 10 + 17);
    ASSERT_TRUE(rig.Game().MenuImg->Visible());
    EXPECT_FALSE(rig.front->HostKey(THostKey::Escape));
    EXPECT_FALSE(rig.front->MenuOpen());
    rig.Click(8 + 35 * 15 + 17, 8 + 35 * 15 + 17);  // elsewhere on the board: it closes
    ASSERT_FALSE(rig.Game().MenuImg->Visible());
    // A press begun on the board and let go over the side button stays the game's.
    TShiftState down;
    down.left = true;
    rig.front->Dispatch(TDispatch::MouseDown(100, 100, TMouseButton::Left, down));
    rig.front->Dispatch(TDispatch::MouseMove(kMenuX, kMenuY, down));
    rig.front->Dispatch(TDispatch::MouseUp(kMenuX, kMenuY, TMouseButton::Left, TShiftState()));
    EXPECT_FALSE(rig.front->MenuOpen());
    // The side button's own click never reaches the game: the replay has no press there.
    rig.Click(kMenuX, kMenuY);
    ASSERT_TRUE(rig.front->MenuOpen());
    // The right button goes back, as Escape does.
    rig.Click(358, 358, TMouseButton::Right);
    EXPECT_FALSE(rig.front->MenuOpen());
    const std::string replay = rig.CloseAndReplay();
    std::string error;
    const auto file = LoadReplay(NativeFiles(), replay, error);
    ASSERT_TRUE(file) << error;
    TRecordDecoder decoder(file->body);
    int pressesThere = 0;
    while (const auto r = decoder.Next())
        if (r->kind == TRecordKind::MouseDown && r->x == kMenuX && r->y == kMenuY) ++pressesThere;
    EXPECT_EQ(pressesThere, 0);
    EXPECT_EQ(Check(replay).status, 0);
}

TEST(FrontEnd, GamesPlayedToTheirEndAreRecordedAndTheirReportsOpenTheirReplays) {
    TRig rig;
    std::ofstream(rig.dir / "config" / "settings.ini") << "[Settings]\n" << kFrailBase;
    rig.front->Play();
    for (int game = 1; game <= 2; ++game) {
        rig.Click(358, 358);
        for (int s = 0; s < 600 && !rig.Game().gameOver; ++s) rig.Advance(1000);
        ASSERT_TRUE(rig.Game().gameOver);
        rig.Advance(10);
        const TGameRecord& last = rig.front->Records().games.back();
        EXPECT_EQ(last.score, rig.Game().score);
        EXPECT_EQ(last.game, game);
        EXPECT_TRUE(last.ownSettings);
        // Over to the game-over screen, whose click brings a fresh world.
        for (int s = 0; s < 60 && ScreenName(rig.Game()) != std::string("game over"); ++s)
            rig.Advance(1000);
        rig.Click(358, 358);
    }
    const std::vector<TGameRecord>& games = rig.front->Records().games;
    ASSERT_EQ(games.size(), 2u);
    // Both in the index, with the session's file as its last name.
    std::string warning;
    const TRecords kept = LoadRecords(NativeFiles(), PathUtf8(rig.dir / "state") + "/", warning);
    EXPECT_EQ(kept.games, games);
    EXPECT_TRUE(fs::exists(rig.dir / "state" / "replays" / games[0].replay)) << games[0].replay;
    // From the menu: Records, the best game's report, and Watch from where its board was made.
    rig.front->OpenMenu();
    rig.front->Push(MakeRecordsScreen());
    const std::vector<TRect> rows = rig.front->PointerItems();
    ASSERT_EQ(rows.size(), 4u);  // the two games, the latest, Back
    rig.Click((rows[0].left + rows[0].right) / 2, (rows[0].top + rows[0].bottom) / 2);
    const std::vector<TRect> report = rig.front->PointerItems();
    ASSERT_EQ(report.size(), 3u);  // Watch, Take over, Back
    EXPECT_GT(BlueOf(rig.Frame().Pixel(358, 450)), 0);
    rig.Click((report[0].left + report[0].right) / 2, (report[0].top + report[0].bottom) / 2);
    EXPECT_FALSE(rig.front->MenuOpen());
    EXPECT_TRUE(rig.front->Watching());
}

TEST(FrontEnd, OptionsReachTheHostAndAreKeptAndADamagedFileCostsOneLine) {
    {
        TRig rig("music volume = 40\nwindow scale = 2\nfullscreen = on\n");
        EXPECT_EQ(rig.audio.music, 40);
        EXPECT_EQ(rig.audio.effects, 100);
        EXPECT_TRUE(rig.window.full);
        EXPECT_EQ(rig.window.scale, 2);
        // A step of the music volume from the options screen reaches the audio, and the file.
        rig.front->Options().musicVolume = 70;
        rig.front->Options().calmEffects = true;
        rig.front->OptionsChanged();
        EXPECT_EQ(rig.audio.music, 70);
        std::string warning;
        const TOptions kept =
            ReadOptions(NativeFiles(), PathUtf8(rig.dir / "config") + "/", warning);
        EXPECT_TRUE(warning.empty()) << warning;
        EXPECT_EQ(kept.musicVolume, 70);
        EXPECT_TRUE(kept.calmEffects);
        EXPECT_TRUE(kept.fullscreen);
    }
    // A damaged line: one line naming the file and the line, its default, the rest kept.
    std::string error;
    const TOptions o = ParseOptions(
        "# comment\nmusic volume = 55\neffects volume = 30\nfrom the future = 3\ngame speed\n",
        error);
    EXPECT_EQ(error, "line 2: music volume is '55', not 0 to 100 in steps of 10");
    EXPECT_EQ(o.musicVolume, 100);
    EXPECT_EQ(o.effectsVolume, 30);
    TRig damaged("calm effects = maybe\nmusic volume = 10\n");
    EXPECT_EQ(damaged.audio.music, 10);
    EXPECT_FALSE(damaged.front->Options().calmEffects);
}

TEST(FrontEnd, CalmEffectsHoldTheWarningFramesSteadyAndDimTheEnd) {
    for (const bool calm : {false, true}) {
        TRig rig(calm ? "calm effects = on\n" : "");
        rig.Click(358, 358);
        rig.Advance(200);
        TForm1& game = rig.Game();
        const TRect frame = game.spNoCash->BoundsInForm();
        game.RaiseWarning(*game.spNoCash);
        int red = 0, ticks = 0;
        for (; ticks < 15; ++ticks) {
            const TColor32 corner = rig.Frame().Pixel(frame.left + 1, frame.top + 1) & 0xFFFFFF;
            red += corner == 0xFF0000;
            rig.Advance(50);
        }
        // Flashing, the frame shows for ten of its fifteen ticks; calm, for all of them.
        EXPECT_EQ(red, calm ? 15 : 10) << (calm ? "calm" : "flashing");
        rig.Advance(100);
        EXPECT_NE(rig.Frame().Pixel(frame.left + 1, frame.top + 1) & 0xFFFFFF, 0xFF0000u);
    }
    // The end's explosions under a veil: the play area shown darker than the game draws it.
    for (const bool calm : {false, true}) {
        TRig rig(calm ? "calm effects = on\n" : "");
        std::ofstream(rig.dir / "config" / "settings.ini") << "[Settings]\n" << kFrailBase;
        rig.front->Play();
        rig.Click(358, 358);
        for (int s = 0; s < 600 && !rig.Game().gameOver; ++s) rig.Advance(1000);
        ASSERT_EQ(rig.Screen(), "exploding");
        const TPicture& shown = rig.Frame();
        const TColor32 game = rig.front->Form().Frame().Pixel(300, 300);
        const TColor32 seen = shown.Pixel(300, 300);
        if (calm)
            EXPECT_LT(RedOf(seen) + GreenOf(seen) + BlueOf(seen),
                      RedOf(game) + GreenOf(game) + BlueOf(game));
        else
            EXPECT_EQ(seen, game);
    }
}

TEST(FrontEnd, ASlowerGameIsASlowerClockAndItsReplayChecks) {
    TRig rig("game speed = 60\n");
    rig.Click(358, 358);
    rig.Advance(5000);
    // 5 s of the host's time are 3 s of the game's: 60 ticks of 50 ms, give or take one.
    EXPECT_NEAR(rig.Game().tickCount, 60, 1);
    // The host is told when to come back by its own clock.
    const auto due = rig.front->NextDue();
    ASSERT_TRUE(due);
    EXPECT_LE(*due, rig.clock.now + 84);
    const std::string replay = rig.CloseAndReplay();
    std::string error;
    const auto file = LoadReplay(NativeFiles(), replay, error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->header.speed, 60);
    EXPECT_EQ(Check(replay).status, 0);
    // A change of speed waits for a game not yet begun: the next session's.
    TRig later;
    later.front->Options().gameSpeed = 40;
    later.front->OptionsChanged();
    EXPECT_TRUE(later.front->SpeedPending());
    later.front->Dispatch(TDispatch::MouseMove(100, 100, TShiftState()));
    EXPECT_FALSE(later.front->SpeedPending()) << "on the title screen the new speed is at once";
    later.Click(358, 358);
    later.Advance(5000);
    EXPECT_NEAR(later.Game().tickCount, 40, 1);
}

TEST(FrontEnd, LosingTheFocusPausesPlayWhenTheOptionSaysSo) {
    for (const bool pause : {true, false}) {
        TRig rig(pause ? "" : "pause when the window loses focus = off\n");
        rig.Click(358, 358);
        rig.Advance(300);
        rig.front->FocusChanged(false);
        EXPECT_EQ(rig.Screen(), pause ? "paused" : "play");
        // Coming back does not resume: the player does, with P.
        rig.front->FocusChanged(true);
        EXPECT_EQ(rig.Screen(), pause ? "paused" : "play");
    }
}

TEST(Overlay, ShowsTheFrameWithTheDrawingAsIfMadeAfresh) {
    std::mt19937 rng(7);
    TPicture frame(64, 48, Color32(10, 20, 30));
    TOverlay overlay;
    std::vector<TRect> changed;
    const auto randomRect = [&] {
        const int x = int(rng() % 60), y = int(rng() % 44);
        return TRect{x, y, x + 1 + int(rng() % (64 - x)), y + 1 + int(rng() % (48 - y))};
    };
    TPicture drawn(64, 48, 0);
    for (int round = 0; round < 200; ++round) {
        changed.clear();
        // The frame changes somewhere, and says where.
        if (rng() % 2) {
            const TRect r = randomRect();
            frame.FillRect(r.left, r.top, r.right, r.bottom, 0xFF000000u | rng());
            changed.push_back(r);
        }
        // Now and then the drawing is made anew.
        if (rng() % 3 == 0) {
            TPicture& c = overlay.Begin(64, 48);
            drawn.Clear(0);
            for (int n = int(rng() % 3); n > 0; --n) {
                const TRect r = randomRect();
                const TColor32 colour = rng() | 0x20000000u;
                c.FillRect(r.left, r.top, r.right, r.bottom, colour);
                drawn.FillRect(r.left, r.top, r.right, r.bottom, colour);
                overlay.Drawn(r);
            }
            overlay.End();
        }
        const TPicture& shown = overlay.Show(frame, changed);
        TPicture expected;
        expected.Assign(frame);
        drawn.SetDrawMode(TDrawMode::Blend);
        drawn.DrawTo(expected, 0, 0);
        ASSERT_TRUE(SamePixels(shown, expected)) << "round " << round;
    }
}
