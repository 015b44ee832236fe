// Nothing of a game is lost: a recording taken over at any moment and played on live, a session
// cut off in the middle of a game continued, and a playback that jumps back and on.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/digest.h"
#include "replay/check.h"
#include "replay/continued.h"
#include "replay/playback_session.h"
#include "replay/replay_folder.h"
#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int TileX(int x) {
    return 9 + 35 * x + 17;
}

fs::path Corpus(const char* name) {
    return fs::path(QV_SOURCE_DIR) / "tests" / "replays" / name;
}

TReplayFile Load(const fs::path& path) {
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(NativeFiles(), path.string(), error);
    EXPECT_TRUE(file) << error;
    return file ? std::move(*file) : TReplayFile{};
}

// A window session run on a fake host clock, as the window's host runs it.
struct TWindowRun {
    TFakeClock host;
    TSilentAudio audio;
    TPlatform platform;
    explicit TWindowRun(const std::string& exeDir, uint64_t now = 5000000)
        : platform{host, audio, NativeFiles(), exeDir} {
        host.now = now;
        host.seed = 4242;
    }
    void RunFor(IWindowSession& session, uint64_t ms) {
        for (const uint64_t until = host.now + ms; host.now < until;) {
            const auto due = session.NextDue();
            host.now = due ? std::min(std::max(*due, host.now), until) : until;
            session.RunDue();
        }
    }
    void Click(IWindowSession& session, int x, int y) {
        session.Dispatch(TDispatch::MouseMove(x, y, {}));
        TShiftState held;
        held.left = true;
        session.Dispatch(TDispatch::MouseDown(x, y, TMouseButton::Left, held));
        session.Dispatch(TDispatch::MouseUp(x, y, TMouseButton::Left, {}));
    }
};

std::unique_ptr<TPlaybackSession> Watch(TWindowRun& run, const fs::path& path) {
    TReplayFile file = Load(path);
    TSettings settings;
    std::string error;
    EXPECT_TRUE(ReadReplaySettings(file.header, settings, error)) << error;
    return std::make_unique<TPlaybackSession>(run.platform, std::move(file), settings,
                                              path.string(), true);
}

TStateDigest DigestOf(const TForm1& game) {
    return TStateDigester().Take(game);
}

std::vector<fs::path> Continued(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find("-continued-") != std::string::npos)
            found.push_back(entry.path());
    return found;
}

std::tm Moment() {
    std::tm when{};
    when.tm_year = 2026 - 1900, when.tm_mon = 11, when.tm_mday = 9, when.tm_hour = 10;
    return when;
}

}  // namespace

TEST(TakeOver, ASessionCutOffMidGameIsContinuedPausedAndChecksAsOneSession) {
    TTempAssets dir;
    const std::string exeDir = dir.ExeDir().string() + "/";
    const fs::path folder = dir.ExeDir() / "state" / "replays";
    fs::create_directories(folder);
    const fs::path cut = folder / "quorvatide-2026-12-01_10-00-00.qvr";
    const fs::path whole = dir.ExeDir() / "whole.qvr";

    // A session played on, and the file as a kill leaves it half-way: written up to its last
    // flush, with a piece of a chunk after it.
    THarnessOptions options = dir.WithSettings("SIGNCOST=5\nDEBUG=1\n");
    options.replayPath = whole.string();
    {
        THarness h(options);
        h.Advance(2300);
        h.StartPlay();
        for (int i = 0; i < 30; ++i) {
            h.MouseMove(30 + 17 * i, 600 - 13 * i);
            h.Ticks(3);
        }
        h.Click(TileX(5), TileX(12));
        h.Click(h.Form().MenuImg->Left() + 60, h.Form().MenuImg->Top() + 35);
        h.Ticks(250);
        WriteFile(cut, ReadFile(whole) + "Z\x40");
        h.Ticks(300);
    }
    const std::string cutBytes = ReadFile(cut);
    // A newer session, closed on the splash screen, has nothing to continue.
    {
        THarnessOptions splash = OptionsFor(dir);
        splash.replayPath = (folder / "quorvatide-2026-12-01_11-00-00.qvr").string();
        THarness h(splash);
        h.Advance(1000);
    }
    // And a newer one closed on the game-over screen.
    const fs::path over = folder / "quorvatide-2026-12-01_12-00-00-best-0.qvr";
    {
        TTempAssets frail;
        THarnessOptions o = frail.WithSettings(
            "TURRETHEALTH=1\nBASEORBHEALTH=2\nEVONKELBASEEMERGE=20\nSVONKELBASEEMERGE=100000\n"
            "FVONKELBASEEMERGE=100000\nEVONKELBASESPEED=4\n");
        o.replayPath = over.string();
        THarness h(o);
        h.StartPlay();
        for (int i = 0; i < 2400 && !h.Form().pnlGameOver->Visible(); ++i) h.Ticks(1);
        ASSERT_TRUE(h.Form().pnlGameOver->Visible());
    }
    fs::last_write_time(cut, fs::file_time_type::clock::now() - std::chrono::hours(1));
    fs::remove(dir.Assets() / "debug.txt");

    TWindowRun run(exeDir);
    TContinuable found = FindToContinue(run.platform, folder.string());
    ASSERT_TRUE(found.session) << found.error;
    EXPECT_EQ(found.path, cut.string());
    TPlaybackSession& session = *found.session;
    const TForm1& handed = session.Replayed().Game();
    const int handOverTick = handed.tickCount;
    const size_t handOverBytes = session.Player().PlayedBytes();
    const TStateDigest handOver = DigestOf(handed);
    EXPECT_GT(handOverTick, 300);
    EXPECT_EQ(handed.lstSigns.size(), 1u);

    session.takeOver.folder = folder.string() + "/";
    session.takeOver.when = Moment();
    session.takeOver.date = "2026-12-09 10:00:00 +0000";
    ASSERT_TRUE(session.TakeOverAt(std::nullopt, true));
    EXPECT_TRUE(session.Live());
    const TForm1& game = static_cast<const TForm1&>(session.Form());
    EXPECT_TRUE(game.pnlPause->Visible());  // handed over paused
    EXPECT_FALSE(fs::exists(dir.Assets() / "debug.txt"));
    run.RunFor(session, 3000);
    EXPECT_EQ(game.tickCount, handOverTick);
    session.Dispatch(TDispatch::Key('p'));  // P plays on
    run.RunFor(session, 4000);
    EXPECT_GE(game.tickCount, handOverTick + 75);
    run.Click(session, TileX(8), TileX(14));
    EXPECT_TRUE(game.MenuImg->Visible());
    run.Click(session, game.MenuImg->Left() + 60, game.MenuImg->Top() + 35);
    run.RunFor(session, 2000);
    EXPECT_EQ(game.lstSigns.size(), 2u);
    session.Close();
    found.session.reset();

    EXPECT_EQ(ReadFile(cut), cutBytes);  // the old file is never changed
    const std::vector<fs::path> joined = Continued(folder);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].filename().string(),
              "quorvatide-2026-12-01_10-00-00-continued-2026-12-09_10-00-00.qvr");
    const fs::path log = dir.ExeDir() / "replayed.txt";
    const TCheckOutcome outcome =
        CheckReplay(joined[0].string(), NativeFiles(), exeDir, log.string());
    EXPECT_EQ(outcome.status, 0) << outcome.message;
    EXPECT_TRUE(outcome.complete);
    EXPECT_GT(outcome.ticks, handOverTick + 100);
    // Played live, the session wrote its debug.txt as play does: the whole session's log.
    EXPECT_GT(ReadFile(log).size(), 100u);
    EXPECT_EQ(ReadFile(dir.Assets() / "debug.txt"), ReadFile(log));
    const TReplayFile file = Load(joined[0]);
    EXPECT_EQ(file.header.format, 1);
    EXPECT_EQ(file.header.continues, cut.filename().string());
    EXPECT_EQ(file.header.takenOver.rfind("2026-12-09 10:00:00 +0000, at 00:", 0), 0u)
        << file.header.takenOver;

    // The session played on without the cut: at the hand-over it stood where the continued one
    // was handed over.
    TWindowRun again(exeDir);
    auto original = Watch(again, whole);
    while (original->Player().PlayedBytes() < handOverBytes && original->Player().Step()) {
    }
    EXPECT_EQ(original->Player().PlayedBytes(), handOverBytes);
    EXPECT_EQ(DigestOf(original->Replayed().Game()), handOver);
    EXPECT_EQ(original->Replayed().Game().tickCount, handOverTick);

    // Continued once, the session is not offered again; a file named, whose game is over or has
    // not begun, is refused in one line.
    fs::remove(joined[0]);
    WriteFile(folder / "quorvatide-2026-12-01_12-00-00-continued-2026-12-01_12-30-00.qvr",
              FormatReplayHeader([&] {
                  TReplayHeader h = Load(cut).header;
                  h.continues = cut.filename().string();
                  return h;
              }()));
    TWindowRun third(exeDir);
    const TContinuable none = FindToContinue(third.platform, folder.string());
    EXPECT_FALSE(none.session);
    EXPECT_NE(none.error.find("there is no game left in play to continue"), std::string::npos);
    const TContinuable splash =
        OpenToContinue(third.platform, (folder / "quorvatide-2026-12-01_11-00-00.qvr").string());
    EXPECT_FALSE(splash.session);
    EXPECT_EQ(splash.status, 2);
    EXPECT_NE(splash.error.find("ended before its game began"), std::string::npos);
    const TContinuable ended = OpenToContinue(third.platform, over.string());
    EXPECT_FALSE(ended.session);
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(ended.error, over.string() + ": its last game is over: there is nothing to continue");
}

TEST(TakeOver, ACorpusReplayTakenOverAtATimeGoesItsOwnWayAndTheOldFileStays) {
    TTempAssets dir;
    const std::string exeDir = BuildExeDir().string() + "/";
    const fs::path folder = dir.ExeDir() / "replays" / "";
    const fs::path source = Corpus("lab-builder-default.qvr");
    const std::string sourceBytes = ReadFile(source);

    TWindowRun run(exeDir, 90000000);
    auto session = Watch(run, source);
    const uint64_t at = session->Player().FirstTime() + 20000;
    session->Replayed().PlayToHandOver(at);
    const TForm1& game = session->Replayed().Game();
    ASSERT_TRUE(game.tmrRHS->Enabled());
    const uint64_t warningDue = game.tmrRHS->Due();
    const int ticks = game.tickCount;
    session->takeOver.folder = folder.string();
    session->takeOver.when = Moment();
    session->takeOver.date = "2026-12-09 10:00:00 +0000";
    // Until then the window's pointer (pads, the keyboard's arrows) drives nothing.
    EXPECT_FALSE(session->TakesInput());
    ASSERT_TRUE(session->TakeOverAt(at));
    EXPECT_TRUE(session->TakesInput());
    // The clock carries on from the recording's: the warning is due when it was.
    EXPECT_EQ(game.tickCount, ticks);
    EXPECT_EQ(game.tmrRHS->Due(), warningDue);
    EXPECT_EQ(session->Replayed().LiveClock().NowMs(), at);
    const uint64_t warningHost = session->Replayed().LiveClock().HostTime(warningDue);
    EXPECT_EQ(warningHost, run.host.now + (warningDue - at));

    // Other input than the recording's.
    run.Click(*session, TileX(8), TileX(14));
    run.Click(*session, game.MenuImg->Left() + 60, game.MenuImg->Top() + 35);
    for (int i = 0; i < 20; ++i) {
        session->Dispatch(TDispatch::MouseMove(40 + 20 * i, 500 - 15 * i, {}));
        run.RunFor(*session, 150);
    }
    session->Dispatch(TDispatch::Key('m'));
    run.RunFor(*session, 3000);
    EXPECT_GT(game.tickCount, ticks + 100);
    session->Close();
    session.reset();

    EXPECT_EQ(ReadFile(source), sourceBytes);
    const std::vector<fs::path> joined = Continued(folder);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].filename().string(),
              "lab-builder-default-continued-2026-12-09_10-00-00.qvr");
    EXPECT_TRUE(IsReplayFileName(joined[0].filename().string()));
    const TCheckOutcome outcome = CheckReplay(joined[0].string(), NativeFiles(), exeDir);
    EXPECT_EQ(outcome.status, 0) << outcome.message;
    EXPECT_TRUE(outcome.complete);
    const std::string head = ReadFile(joined[0]).substr(0, 300);
    EXPECT_EQ(head.rfind("Quorvatide replay\nformat: 1\ngame: Quorvatide ", 0), 0u);
    EXPECT_NE(head.find("\nrecorded: qv_balance, player builder, seed 11\ncontinues: "
                        "lab-builder-default.qvr\ntaken over: 2026-12-09 10:00:00 +0000, at 00:20 "
                        "(game 1, tick 400)\nsetting: "),
              std::string::npos)
        << head;

    // A recording that does not play as recorded is refused, with the check's line.
    const std::string changed = [&] {
        std::string bytes = sourceBytes;
        const size_t at = bytes.find("setting: SIGNCOST = ");
        bytes.insert(at + std::string("setting: SIGNCOST = ").size(), "1");
        return bytes;
    }();
    WriteFile(dir.ExeDir() / "changed.qvr", changed);
    TWindowRun other(exeDir);
    auto desynced = Watch(other, dir.ExeDir() / "changed.qvr");
    EXPECT_FALSE(desynced->TakeOverAt(desynced->Player().FirstTime() + 2000));
    EXPECT_FALSE(desynced->Live());
    EXPECT_EQ(desynced->RefusalStatus(), 1);
    EXPECT_NE(desynced->Refusal().find("changed.qvr: does not play as recorded: game 1, tick "),
              std::string::npos)
        << desynced->Refusal();
}

TEST(TakeOver, TheClockCarriesOnFromTheRecordingSoTheWarningComesWhenItWouldHave) {
    TTempAssets dir;
    const fs::path replay = dir.ExeDir() / "long.qvr";
    THarnessOptions options = dir.WithSettings("BASEORBHEALTH=100000\n");
    options.replayPath = replay.string();
    uint64_t warningDue = 0;
    {
        THarness h(options);
        h.Advance(2300);
        h.StartPlay();
        warningDue = h.Form().tmrRHS->Due();
        h.Ticks(1000);
    }
    TWindowRun run(dir.ExeDir().string() + "/", 90000000);
    auto session = Watch(run, replay);
    session->takeOver.path = (dir.ExeDir() / "taken.qvr").string();
    const uint64_t at = session->Player().FirstTime() + 40000;
    ASSERT_TRUE(session->TakeOverAt(at));
    const TForm1& game = session->Replayed().Game();
    EXPECT_EQ(game.tmrRHS->Due(), warningDue);
    EXPECT_EQ(session->Replayed().LiveClock().NowMs(), at);
    // As long after the hand-over as the warning was due after that moment of the recording.
    const uint64_t warningHost = run.host.now + (warningDue - at);
    EXPECT_EQ(session->Replayed().LiveClock().HostTime(warningDue), warningHost);
    run.RunFor(*session, warningHost - run.host.now - 60);
    EXPECT_EQ(game.tmrRHS->Due(), warningDue);
    EXPECT_FALSE(game.spHatred->Visible());
    run.RunFor(*session, 120);
    EXPECT_GT(game.tmrRHS->Due(), warningDue);  // it came, and the next is on its way
    EXPECT_TRUE(game.spHatred->Visible());
    session->Close();
    session.reset();
    const TCheckOutcome outcome = CheckReplay((dir.ExeDir() / "taken.qvr").string(), NativeFiles(),
                                              dir.ExeDir().string() + "/");
    EXPECT_EQ(outcome.status, 0) << outcome.message;
}

TEST(Seek, JumpsBackAndOnLandWhereStraightPlayLands) {
    const std::string exeDir = BuildExeDir().string() + "/";
    const fs::path source = Corpus("lab-builder-default.qvr");
    TWindowRun straight(exeDir);
    auto reference = Watch(straight, source);
    const uint64_t first = reference->Player().FirstTime();
    std::vector<std::pair<uint64_t, TStateDigest>> at;
    for (uint64_t s : {20, 30, 40, 60}) {
        while (reference->Player().NextTime() &&
               *reference->Player().NextTime() <= first + s * 1000 && reference->Player().Step()) {
        }
        at.emplace_back(first + s * 1000, DigestOf(reference->Replayed().Game()));
    }

    TWindowRun run(exeDir);
    auto session = Watch(run, source);
    const auto digest = [&] { return DigestOf(session->Replayed().Game()); };
    session->Dispatch(TDispatch::Key('p'));  // the viewer's pause: only the jumps move it
    session->Seek(at[3].first);
    EXPECT_EQ(digest(), at[3].second);
    EXPECT_TRUE(session->HostKey(THostKey::Left));
    EXPECT_TRUE(session->HostKey(THostKey::Left));
    EXPECT_EQ(session->Position(), at[2].first);
    EXPECT_EQ(digest(), at[2].second);
    EXPECT_NE(session->Caption().find("00:40 of 01:27"), std::string::npos) << session->Caption();
    EXPECT_TRUE(session->HostKey(THostKey::Home));
    EXPECT_EQ(session->Replayed().Game().tickCount, 0);
    session->Seek(at[0].first);
    EXPECT_TRUE(session->HostKey(THostKey::Right));
    EXPECT_EQ(digest(), at[1].second);
    EXPECT_TRUE(session->HostKey(THostKey::End));
    EXPECT_NE(session->Caption().find(", ended"), std::string::npos) << session->Caption();
    EXPECT_EQ(session->Replayed().Game().tickCount, 1748);
    EXPECT_TRUE(session->HostKey(THostKey::Left));
    EXPECT_EQ(session->Position(), session->Player().LastTime() - 10000);
    EXPECT_FALSE(session->HostKey(THostKey::Enter));
    EXPECT_EQ(session->ExitStatus(), 0);
}
