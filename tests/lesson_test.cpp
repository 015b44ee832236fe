// The lesson through the front end, on a fake clock: every step recognised from the game as the
// player's own clicks do it, and its replay checks (so the guide changed nothing the replay did
// not hold); each step's demonstration opens where the step begins and a click takes it over
// into a game that checks as one session; skipping at any step leaves an ordinary game; the
// captions fit and never cover what they point at; the welcome of the first start.
#include "frontend/lesson.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/form1.h"
#include "frontend/front_end.h"
#include "frontend/options.h"
#include "frontend/screens.h"
#include "platform/sdl/sdl_bmp.h"
#include "replay/check.h"
#include "replay/playback_session.h"
#include "replay/replay_file.h"
#include "shell/grid_pointer.h"
#include "shell/screen_name.h"
#include "tests/front_rig.h"
#include "tests/harness.h"
#include "toolkit/builtin_art.h"
#include "toolkit/utf8_path.h"

namespace fs = std::filesystem;

namespace {

// The front end on a headless host with a folder of its own for the player's files.
struct TLessonRig : TFrontRig {
    TLessonRig() : TFrontRig("qv_lesson_") {}
    TLesson* Lesson() { return front->Lesson(); }
    int Step() { return Lesson() ? Lesson()->Step() : 0; }
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
    // Lets time pass until `done` holds, a second at a time; false after `seconds`.
    template <class F>
    bool AdvanceUntil(F done, int seconds) {
        for (int s = 0; s < seconds * 10 && !done(); ++s) Advance(100);
        return done();
    }
    void ClickMiddle(const TRect& r) { Click((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    void ClickTile(TLessonTile t) { Click(9 + 35 * t.x + 17, 9 + 35 * t.y + 17); }
    // A button of the menu's screen, by its text.
    void Press(const std::string& text) {
        for (const TMenuButton& b : front->MenuButtons())
            if (b.text == text) return ClickMiddle(b.rect);
        FAIL() << "no button " << text;
    }
    bool HasButton(const std::string& text) {
        for (const TMenuButton& b : front->MenuButtons())
            if (b.text == text) return true;
        return false;
    }
    const TPicture& Frame() {
        std::vector<TRect> rects = front->Form().Compose();
        return front->Shown(rects);
    }
    TOptions KeptOptions() {
        std::string warning;
        return ReadOptions(NativeFiles(), PathUtf8(dir / "config") + "/", warning);
    }
};

TCheckOutcome Check(const fs::path& replay) {
    return CheckReplay(replay.string(), SdlFiles(), PathUtf8(BuildExeDir()) + "/", "");
}

// An item of the build menu, by its column and row, and the orb menu's one.
TRect MenuItemRect(const TForm1& g, int col, int row) {
    const TRect menu = g.MenuImg->BoundsInForm();
    const int left = menu.left + (col ? 44 : 3), top = menu.top + (row == 0   ? 17
                                                                   : row == 1 ? 58
                                                                              : 99);
    return {left, top, left + 35, top + 35};
}
TRect OrbItemRect(const TForm1& g) {
    const TRect menu = g.OrbMenuImg->BoundsInForm();
    return {menu.left + 24, menu.top + 16, menu.left + 59, menu.top + 51};
}

bool Built(const TForm1& g) {
    const int at = g.SignAt(kLessonSignTile.x, kLessonSignTile.y);
    return at >= 0 && g.lstSigns[size_t(at)]->layer->Bitmap().MasterAlpha() == 255;
}

}  // namespace

TEST(Lesson, ItsBoardHasARockByTheBaseAndClearGroundForTheSign) {
    THeadlessOptions o;
    o.exeDir = BuildExeDir();
    o.files = &SdlFiles();
    o.seed = kLessonSeed;
    o.settings = LessonSettings();
    THeadlessGame game(o);
    const TForm1& g = game.Form();
    const int rock = g.GatherableAt(kLessonRockTile.x, kLessonRockTile.y);
    ASSERT_GE(rock, 0);
    // Rock1 or Rock2, two tiles left of the base, the only thing to gather that near.
    EXPECT_TRUE(g.lstScrap[size_t(rock)]->kind == 2 || g.lstScrap[size_t(rock)]->kind == 3);
    for (const auto& o : g.lstScrap) {
        EXPECT_FALSE(std::abs(o->tileX - kLessonSignTile.x) <= 1 &&
                     std::abs(o->tileY - kLessonSignTile.y) <= 1)
            << "an object by the sign's tile at " << o->tileX << "," << o->tileY;
        if (o.get() != g.lstScrap[size_t(rock)].get() && o->gatherable) {
            EXPECT_GT(std::max(std::abs(o->tileX - 9) - 1, o->tileY - 1), 3);
        }
    }
    // The sign's tile lies on the F creatures' way up, clear of the base's markers.
    EXPECT_EQ(kLessonSignTile.x, g.spawnF.tileX);
    EXPECT_LT(g.spawnF.tileY - 1 - g.settings.FVONKELFORCEY, kLessonSignTile.y);
}

TEST(Lesson, EveryStepIsRecognisedFromThePlayersOwnClicksAndItsReplayChecks) {
    TLessonRig rig;
    rig.front->StartLesson();
    ASSERT_TRUE(rig.Lesson());
    // Play begins at once, with the lesson's board and settings.
    EXPECT_EQ(rig.Screen(), "play");
    EXPECT_EQ(rig.Game().settings.BOTCOST, LessonSettings().BOTCOST);
    EXPECT_EQ(rig.Step(), 1);
    EXPECT_EQ(rig.KeptOptions().lessonStep, 1);
    rig.Advance(1000);
    // 1: a click elsewhere opens a menu that is not the step's; the guide says so and waits.
    rig.ClickTile({4, 10});
    EXPECT_EQ(rig.Step(), 1);
    rig.ClickTile({15, 3});  // away from the menu: it closes
    rig.ClickTile(kLessonSignTile);
    EXPECT_EQ(rig.Step(), 2);
    // 2: the menu closed with nothing ordered goes back to step 1; then the left arrow.
    rig.ClickTile({4, 10});
    EXPECT_EQ(rig.Step(), 1);
    rig.ClickTile(kLessonSignTile);
    rig.ClickMiddle(MenuItemRect(rig.Game(), 0, 1));
    EXPECT_EQ(rig.Step(), 3);
    EXPECT_EQ(rig.KeptOptions().lessonStep, 3);
    // 3 and 4: the bot builds it, and an F creature is sent.
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.Step() == 4; }, 30));
    EXPECT_TRUE(Built(rig.Game()));
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.Step() == 5; }, 90));
    const TSign& sign =
        *rig.Game().lstSigns[size_t(rig.Game().SignAt(kLessonSignTile.x, kLessonSignTile.y))];
    EXPECT_FALSE(sign.seenVonkels.empty());
    // 5: Get on the rock, gathered by the bot.
    const int cash = rig.Game().cash;
    rig.ClickTile(kLessonRockTile);
    rig.ClickMiddle(MenuItemRect(rig.Game(), 0, 2));
    EXPECT_EQ(rig.Step(), 5);
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.Step() == 6; }, 30));
    EXPECT_EQ(rig.Game().cash, cash + rig.Game().settings.GATHER_SCRAP);
    // 6: a bot from the orb.
    rig.ClickTile({9, 0});

    ASSERT_TRUE(rig.Game().OrbMenuImg->Visible());
    EXPECT_GE(rig.Game().cash, rig.Game().settings.BOTCOST);
    rig.ClickMiddle(OrbItemRect(rig.Game()));
    EXPECT_EQ(rig.Game().lstBots.size(), 2u);
    // 7: the red frame, then the cycle turns; 8: the turrets fight, and the lesson is over.
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.Step() == 7; }, 10));
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.Game().spHatred->Visible(); }, 150));
    EXPECT_EQ(rig.Step(), 7);
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.Step() == 8; }, 10));
    EXPECT_EQ(rig.Game().hatred, 2);
    ASSERT_TRUE(rig.AdvanceUntil([&] { return !rig.Lesson(); }, 120));
    // The end: "Play on" goes on with the same game, unguided.
    ASSERT_TRUE(rig.front->MenuOpen());
    EXPECT_EQ(rig.Screen(), "paused");
    const TOptions kept = rig.KeptOptions();
    EXPECT_TRUE(kept.lessonDone);
    EXPECT_EQ(kept.lessonStep, kLessonSteps);
    const int ticks = rig.Game().tickCount;
    rig.Press("Play on");
    EXPECT_FALSE(rig.front->MenuOpen());
    rig.Advance(2000);
    EXPECT_GT(rig.Game().tickCount, ticks);
    // The session says what it is, and checks: the guide wrote nothing the replay lacks.
    rig.front->Close();
    const std::vector<fs::path> replays = rig.Replays();
    ASSERT_EQ(replays.size(), 1u);
    std::string error;
    const auto file = LoadReplay(NativeFiles(), replays[0].string(), error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->header.notes, LessonChoice().notes);
    const TCheckOutcome outcome = Check(replays[0]);
    EXPECT_EQ(outcome.status, 0) << outcome.message;
}

TEST(Lesson, EachStepShownFromItsBeginningIsTakenOverIntoTheNextAndEverySessionChecks) {
    TLessonRig rig;
    rig.front->StartLesson();
    rig.Advance(500);
    for (int step = 1; step <= kLessonSteps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_TRUE(rig.Lesson());
        ASSERT_EQ(rig.Step(), step);
        // Show me, from the menu as keys and pads reach it, or the caption's own button.
        if (step % 2) {
            rig.front->OpenMenu();
            EXPECT_TRUE(rig.HasButton("Skip the lesson"));
            rig.Press("Show me");
        } else {
            rig.ClickMiddle(rig.Lesson()->Buttons()[0].rect);
        }
        ASSERT_TRUE(rig.front->Watching());
        ASSERT_TRUE(rig.Lesson()->ShowingDemonstration());
        EXPECT_FALSE(rig.front->MenuOpen());
        // Where the step begins: its goal not yet reached in the game shown.
        EXPECT_EQ(rig.Step(), step);
        // (The turrets may be fighting already when the last step begins.)
        TLessonGuide fresh;
        fresh.Begin(step, rig.Game());
        EXPECT_TRUE(step == kLessonSteps || !fresh.Reached(step, rig.Game()));
        // Shown through to its end, where the guide has seen the step done.
        ASSERT_TRUE(rig.AdvanceUntil(
            [&] {
                auto* p = dynamic_cast<TPlaybackSession*>(&rig.front->Playing());
                return p->Position() >= p->Player().FirstTime() + p->Player().Span();
            },
            150));
        EXPECT_TRUE(rig.Step() > step || rig.Lesson()->Finished());
        // Taken over: by a click on the board, T, or the caption's button.
        if (step % 3 == 0)
            rig.front->Dispatch(TDispatch::Key('T'));
        else if (step % 3 == 1)
            rig.Click(300, 300);
        else
            rig.ClickMiddle(rig.Lesson()->Buttons()[0].rect);
        EXPECT_FALSE(rig.front->Watching());
        rig.Advance(100);
    }
    // The last one taken over ends the lesson.
    EXPECT_FALSE(rig.Lesson());
    ASSERT_TRUE(rig.HasButton("New game"));
    rig.Press("New game");
    EXPECT_EQ(rig.Screen(), "splash");
    rig.front->Close();
    // The lesson's first session, eight demonstrations taken over, and the new game's.
    const std::vector<fs::path> replays = rig.Replays();
    EXPECT_EQ(replays.size(), 10u);
    int continued = 0;
    for (const fs::path& replay : replays) {
        continued += replay.filename().string().rfind("lesson-", 0) == 0;
        const TCheckOutcome outcome = Check(replay);
        EXPECT_EQ(outcome.status, 0) << outcome.message;
    }
    EXPECT_EQ(continued, kLessonSteps);
}

TEST(Lesson, ThePadsAOrEnterTakesADemonstrationOverThroughTheHostsPointer) {
    // The host's pointer as the window's host wires it to its session: over a replay that is
    // only watched it has no game to drive, but over the lesson's demonstration it has.
    TLessonRig rig;
    TGridPointer pointer(
        [&] {
            return rig.front->TakesInput() ? dynamic_cast<TForm1*>(&rig.front->Form()) : nullptr;
        },
        [&](const TDispatch& d) { rig.front->Dispatch(d); },
        [&] { return rig.front->PointerItems(); },
        [&](THostKey key) { return rig.front->HostKey(key); });
    rig.front->StartLesson();
    std::string error;
    ASSERT_TRUE(rig.Lesson()->ShowMe(error, 3)) << error;
    rig.Advance(1000);
    ASSERT_TRUE(rig.front->Watching());
    pointer.Press(TPointerSource::Pad, TPointerDir::Up, rig.clock.now);
    pointer.Release(TPointerSource::Pad, TPointerDir::Up);
    EXPECT_TRUE(rig.front->Watching()) << "moving the pointer takes nothing over";
    pointer.ConfirmDown(TPointerSource::Pad);
    pointer.ConfirmUp(TPointerSource::Pad);
    EXPECT_FALSE(rig.front->Watching());
    EXPECT_EQ(rig.Step(), 3);
    // A replay watched outside the lesson stays the viewer's: no game for the pointer.
    rig.front->Close();
    TLessonRig plain;
    plain.front->Play();
    ASSERT_TRUE(
        plain.front->Watch(PathUtf8(BuildExeDir() / "Assets" / DemonstrationFile(3)), error));
    EXPECT_FALSE(plain.front->TakesInput());
}

TEST(Lesson, SkippingAtAnyStepLeavesAnOrdinaryGameAndLearnToPlayBeginsAgain) {
    for (int step = 1; step <= kLessonSteps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        TLessonRig rig;
        rig.front->StartLesson();
        std::string error;
        ASSERT_TRUE(rig.Lesson()->ShowMe(error, step)) << error;
        rig.Advance(1000);
        // Taken over, or (on step 4) left while still shown, which takes it over.
        if (step != 4) rig.Click(300, 300);
        ASSERT_EQ(rig.Step(), step);
        rig.front->OpenMenu();
        rig.Press("Skip the lesson");
        EXPECT_FALSE(rig.Lesson());
        EXPECT_FALSE(rig.front->MenuOpen());
        EXPECT_FALSE(rig.front->Watching());
        EXPECT_EQ(rig.Screen(), "play");
        const int ticks = rig.Game().tickCount;
        rig.Advance(1000);
        EXPECT_GT(rig.Game().tickCount, ticks);
        EXPECT_FALSE(rig.front->Guide());
        const TOptions kept = rig.KeptOptions();
        EXPECT_FALSE(kept.lessonDone);
        EXPECT_EQ(kept.lessonStep, step);
        // The menu offers no Show me now; Learn to play begins again at step 1, a new game.
        rig.front->OpenMenu();
        EXPECT_FALSE(rig.HasButton("Show me"));
        rig.Press("Learn to play");
        ASSERT_TRUE(rig.Lesson());
        EXPECT_EQ(rig.Step(), 1);
        EXPECT_EQ(rig.Screen(), "play");
        EXPECT_LT(rig.Game().tickCount, 5);
        EXPECT_EQ(rig.KeptOptions().lessonStep, 1);
    }
}

TEST(Lesson, CaptionsFitAndNeverCoverWhatTheyPointAt) {
    // Every demonstration watched to its end through the guide: at every moment the caption
    // lies in the play area, clear of every ring, frame, arrow and open menu, its lines within
    // it; and every line any step may show fits.
    for (int step = 1; step <= kLessonSteps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        TLessonRig rig;
        rig.front->StartLesson();
        std::string error;
        ASSERT_TRUE(rig.Lesson()->ShowMe(error, step)) << error;
        TLessonGuide guide;
        guide.Begin(step, rig.Game());
        auto* playback = dynamic_cast<TPlaybackSession*>(&rig.front->Playing());
        const uint64_t end = playback->Player().FirstTime() + playback->Player().Span();
        int frames = 0;
        while (playback->Position() < end && frames < 4000) {
            rig.Advance(200);
            guide.Follow(rig.Game());
            const TLessonView view = guide.View(rig.Game());
            const TRect caption = rig.Lesson()->Caption();
            EXPECT_EQ(caption.Intersect({8, 8, 708, 708}), caption);
            std::vector<TRect> targets = view.rings;
            targets.insert(targets.end(), view.frames.begin(), view.frames.end());
            if (view.item) targets.push_back(*view.item);
            for (const TLayeredImage* menu : {rig.Game().MenuImg, rig.Game().OrbMenuImg})
                if (menu->Visible()) targets.push_back(menu->BoundsInForm());
            for (const TRect& t : targets)
                ASSERT_TRUE(caption.Intersect(t).Empty())
                    << "the caption " << caption.left << "," << caption.top << " covers " << t.left
                    << "," << t.top;
            for (const std::string& line : view.lines)
                EXPECT_LE(TextWidth(line, TextFont()), caption.Width() - 28) << line;
            // Drawn: the caption's gold edge where the caption is.
            const TPicture& shown = rig.Frame();
            EXPECT_GT(RedOf(shown.Pixel(caption.left + caption.Width() / 2, caption.top)), 150);
            ++frames;
        }
        EXPECT_GT(frames, 5);
    }
}

TEST(Lesson, TheFirstStartOffersItBesideTheTitleScreen) {
    TLessonRig rig;
    EXPECT_TRUE(FirstStart(*rig.front));
    rig.front->Play();
    rig.front->SetGuide(std::make_unique<TWelcome>(*rig.front));
    // Drawn over the side panel's credits, never over the title screen.
    const TPicture& shown = rig.Frame();
    const TRect panel = TWelcome::Panel();
    EXPECT_GT(BlueOf(shown.Pixel(panel.left + 20, panel.top + 40)), 30);
    EXPECT_EQ(shown.Pixel(358, 358), rig.front->Form().Frame().Pixel(358, 358));
    // A click on the title screen plays, as it always did, and the offer goes.
    rig.Click(358, 358);
    EXPECT_EQ(rig.Screen(), "play");
    EXPECT_FALSE(rig.front->Guide());
    // Its Learn to play begins the lesson.
    TLessonRig again;
    again.front->Play();
    again.front->SetGuide(std::make_unique<TWelcome>(*again.front));
    auto* welcome = dynamic_cast<TWelcome*>(again.front->Guide());
    again.ClickMiddle(welcome->Buttons()[0].rect);
    ASSERT_TRUE(again.Lesson());
    EXPECT_EQ(again.Screen(), "play");
    // Once a replay is kept, it is no first start.
    again.front->Close();
    TLessonRig later;
    fs::create_directories(later.dir / "state" / "replays");
    fs::copy_file(again.Replays()[0],
                  later.dir / "state" / "replays" / again.Replays()[0].filename());
    EXPECT_FALSE(FirstStart(*later.front));
}

TEST(Lesson, TheDemonstrationsSayWhichStepTheyShowAndFromWhere) {
    for (int step = 1; step <= kLessonSteps; ++step) {
        std::string error;
        const auto file = LoadReplay(
            NativeFiles(), PathUtf8(BuildExeDir() / "Assets" / DemonstrationFile(step)), error);
        ASSERT_TRUE(file) << error;
        const std::optional<TDemonstration> demo = ReadDemonstration(file->header);
        ASSERT_TRUE(demo);
        EXPECT_EQ(demo->step, step);
        EXPECT_GT(demo->fromMs, 0u);
    }
    TReplayHeader plain;
    plain.notes = {{"lesson", "the guided first game"}};
    EXPECT_FALSE(ReadDemonstration(plain));
}
