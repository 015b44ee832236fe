// Replays: sessions recorded as they are played and played again headless, digest for digest;
// what a file that is not a whole replay gives; and the folder the real program keeps them in.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <sstream>

#include "core/digest.h"
#include "replay/check.h"
#include "replay/playback_session.h"
#include "replay/recording_session.h"
#include "replay/replay_folder.h"
#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

// A frail base under fast creatures from one tunnel: a game lasts seconds.
constexpr const char* kFrail =
    "TURRETHEALTH=1\nBASEORBHEALTH=2\nEVONKELBASEEMERGE=20\nSVONKELBASEEMERGE=100000\n"
    "FVONKELBASEEMERGE=100000\nEVONKELBASESPEED=4\nVONKELEMERGESWAP=5\nNUMSTARTRES=5\n";

int TileX(int x) {
    return 9 + 35 * x + 17;
}

// Opens the build menu on a tile and clicks an item of it (0..3 the arrows, 4 Get).
void Order(THarness& h, int x, int y, int item) {
    static constexpr int kItem[][2] = {{20, 35}, {60, 35}, {20, 75}, {60, 75}, {20, 115}};
    h.Click(TileX(x), TileX(y));
    const TForm1& f = h.Form();
    h.Click(f.MenuImg->Left() + kItem[item][0], f.MenuImg->Top() + kItem[item][1]);
}

// What a player might do in a minute: the mouse about the board, signs ordered, things to
// gather, the orb menu, a pause, music and sounds switched, and the game left to run.
void PlayAMinute(THarness& h) {
    h.Advance(2300);
    h.StartPlay();

    for (int i = 0; i < 40; ++i) {
        h.MouseMove(20 + 13 * i, 690 - 11 * i);
        h.Ticks(2);
    }
    Order(h, 5, 12, 3);
    h.Ticks(40);
    Order(h, 14, 9, 2);
    h.Ticks(80);
    for (const auto& object : h.Form().lstScrap)
        if (object->gatherable) {
            Order(h, object->tileX, object->tileY, 4);
            break;
        }
    h.Click(TileX(9), TileX(0));  // the orb menu
    h.Click(h.Form().OrbMenuImg->Left() + 40, h.Form().OrbMenuImg->Top() + 27);
    h.Ticks(100);
    h.Key('p');
    h.Advance(3100);
    h.Key('P');
    h.Key('m');
    h.Key('s');
    h.Ticks(400);
    h.Key('M');
    h.Ticks(600);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A replay file with `body` as its records, in one raw chunk.
std::string WithBody(const TReplayHeader& header, const std::string& body) {
    std::string file = FormatReplayHeader(header) + "R";
    const uint32_t crc =
        uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
    for (uint32_t v : {uint32_t(body.size()), crc})
        for (int i = 0; i < 4; ++i) file += char(v >> (8 * i));
    return file + body;
}

}  // namespace

TEST(Replay, ASessionRecordedPlaysAgainDigestForDigestWithTheSameCreatureLog) {
    TTempAssets dir;
    const std::string replay = (dir.ExeDir() / "session.qvr").string();
    THarnessOptions options = dir.WithSettings("DEBUG=1\nSIGNCOST=5\nGATHER_SCRAP=30\n");
    options.replayPath = replay;
    options.seed = 77;
    {
        THarness h(options);
        PlayAMinute(h);
        EXPECT_FALSE(h.Form().lstDebug.empty());
    }  // closed as the window closes: debug.txt written
    const fs::path log = dir.ExeDir() / "replayed.txt";
    const TCheckOutcome outcome =
        CheckReplay(replay, NativeFiles(), dir.ExeDir().string() + "/", log.string());
    EXPECT_EQ(outcome.status, 0) << outcome.message;
    EXPECT_TRUE(outcome.complete);
    EXPECT_EQ(outcome.games, 1);
    EXPECT_GT(outcome.ticks, 800);
    EXPECT_GE(outcome.digests, outcome.ticks / 100);
    EXPECT_NE(outcome.message.find("all match; the recording is complete"), std::string::npos);
    const std::string written = ReadFile(dir.Assets() / "debug.txt");
    EXPECT_GT(written.size(), 1000u);
    EXPECT_EQ(ReadFile(log), written);

    // The header says what a person needs to know; the settings are the ones in effect.
    const std::string head = ReadFile(replay).substr(0, 2000);
    EXPECT_EQ(head.rfind("Quorvatide replay\nformat: 1\ngame: Quorvatide ", 0), 0u);
    EXPECT_NE(head.find("setting: SIGNCOST = 5\n"), std::string::npos);
    EXPECT_NE(head.find("setting: TURRETSHOTSTRENGTH = 0.10000000000000001\n"), std::string::npos);
}

TEST(Replay, TwoGamesAndARestartCheckWithOtherSettingsBesideTheProgram) {
    TTempAssets dir;
    const std::string replay = (dir.ExeDir() / "two.qvr").string();
    THarnessOptions options = dir.WithSettings(kFrail);
    options.replayPath = replay;
    {
        THarness h(options);
        TForm1& f = h.Form();
        h.StartPlay();
        for (int i = 0; i < 2400 && !f.pnlGameOver->Visible(); ++i) h.Ticks(1);
        ASSERT_TRUE(f.pnlGameOver->Visible());
        h.Advance(2000);
        h.Click(300, 300);  // the restart
        h.Advance(1500);
        h.StartPlay();
        h.Ticks(300);
    }
    // The Assets beside the checking program hold the default settings: the replay brings its
    // own, or the frail base would stand.
    const TCheckOutcome outcome = CheckReplay(replay, NativeFiles(), BuildExeDir().string() + "/");
    EXPECT_EQ(outcome.status, 0) << outcome.message;
    EXPECT_EQ(outcome.games, 2);
    EXPECT_TRUE(outcome.complete);
}

TEST(Replay, TicksThatRanLateReplayExactly) {
    // On a loaded machine a tick takes time of its own, and the next one comes 50 ms after it
    // ended. The clock readings the game took are in the recording, so it plays again exactly.
    TTempAssets dir;
    const std::string replay = (dir.ExeDir() / "late.qvr").string();
    THarnessOptions options = dir.WithSettings("");
    options.replayPath = replay;
    int ticks = 0;
    {
        THarness h(options);
        TForm1& f = h.Form();
        const auto tick = f.tmrTick->OnTimer;
        int n = 0;
        f.tmrTick->OnTimer = [&h, tick, &n] {
            tick();
            h.clock.now += 7 + (n++ * 37) % 90;  // a tick of 7 to 96 ms
        };
        PlayAMinute(h);
        ticks = f.tickCount;
    }
    const TCheckOutcome outcome = CheckReplay(replay, NativeFiles(), dir.ExeDir().string() + "/");
    EXPECT_EQ(outcome.status, 0) << outcome.message;
    EXPECT_EQ(outcome.ticks, ticks);
    EXPECT_LT(ticks, 1100);  // fewer ticks than on time: the readings made the difference
}

TEST(Replay, AChangedInputIsADesyncNamedWithItsGameAndTick) {
    TTempAssets dir;
    const std::string replay = (dir.ExeDir() / "changed.qvr").string();
    THarnessOptions options = dir.WithSettings("");
    options.replayPath = replay;
    {
        THarness h(options);
        PlayAMinute(h);
    }
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(NativeFiles(), replay, error);
    ASSERT_TRUE(file) << error;

    // The move that points at the tile of the first build menu goes to the tile beside it.
    TRecordDecoder decoder(file->body);
    TRecordEncoder encoder;
    std::vector<uint8_t> body;
    bool changed = false;
    uint64_t digestTick = 0;
    int digestGame = 0;
    while (const auto r = decoder.Next()) {
        TRecord record = *r;
        if (!changed && record.kind == TRecordKind::MouseMove && record.x == TileX(5) &&
            record.y == TileX(12)) {
            record.x = TileX(6);
            changed = true;
        } else if (changed && !digestGame && record.kind == TRecordKind::Digest) {
            for (const auto& [id, value] : record.fields)
                if (id == kDigestTickField) digestTick = value;
            digestGame = record.game;
        }
        encoder.Encode(record, body);
    }
    ASSERT_TRUE(changed);
    WriteFile(replay, WithBody(file->header, std::string(body.begin(), body.end())));

    const TCheckOutcome outcome = CheckReplay(replay, NativeFiles(), dir.ExeDir().string() + "/");
    EXPECT_EQ(outcome.status, 1);
    const std::string where =
        "game " + std::to_string(digestGame) + ", tick " + std::to_string(digestTick) + ": ";
    EXPECT_NE(outcome.message.find("does not play as recorded: " + where), std::string::npos)
        << outcome.message;
    EXPECT_NE(outcome.message.find("differing: "), std::string::npos) << outcome.message;
}

TEST(Replay, FilesThatAreNoWholeReplaySayWhy) {
    TTempAssets dir;
    const std::string replay = (dir.ExeDir() / "whole.qvr").string();
    THarnessOptions options = dir.WithSettings("");
    options.replayPath = replay;
    std::string cutAtTheFault;
    {
        THarness h(options);
        PlayAMinute(h);
        // A dying program writes what it has not yet compressed, and no more.
        h.Recorder().Writer().EmergencyFlush();
        cutAtTheFault = ReadFile(replay);
    }
    const std::string whole = ReadFile(replay);
    const std::string exeDir = dir.ExeDir().string() + "/";
    const fs::path probe = dir.ExeDir() / "probe.qvr";
    const auto check = [&](const std::string& bytes) {
        WriteFile(probe, bytes);
        return CheckReplay(probe.string(), NativeFiles(), exeDir);
    };
    struct TCase {
        std::string bytes;
        int status;
        const char* says;
    };
    const size_t headerEnd = whole.find("\n\n") + 2;
    std::string newer = whole;
    newer.replace(newer.find("format: 1"), 9, "format: 7");
    std::string damaged = whole;
    damaged[headerEnd + 40] ^= 0x55;
    std::string unknownSetting = whole;
    unknownSetting.replace(unknownSetting.find("setting: DEBUG"), 14, "setting: DEBUX");
    const TCase cases[] = {
        {"", 2, "the file is empty"},
        {"\x89PNG\r\n\x1a\n....", 2, "not a Quorvatide replay"},
        {whole.substr(0, 10), 2, "cut short in its header"},
        {whole.substr(0, headerEnd - 30), 2, "cut short in its header"},
        {newer, 2,
         "recorded by a newer version of the game (replay format 7; this version reads "
         "format 1)"},
        {damaged, 2, "damaged: the chunk at byte"},
        {unknownSetting, 2, "a setting this version does not know: DEBUX"},
        {whole.substr(0, whole.size() - 3), 0, "stops before the session's end"},
        {cutAtTheFault, 0, "stops before the session's end"},
        {whole, 0, "the recording is complete"},
    };
    for (const TCase& c : cases) {
        const TCheckOutcome outcome = check(c.bytes);
        EXPECT_EQ(outcome.status, c.status) << c.says << ": " << outcome.message;
        EXPECT_NE(outcome.message.find(c.says), std::string::npos) << outcome.message;
        EXPECT_EQ(outcome.message.find('\n'), std::string::npos);
    }
    // Whatever was whole checks as far as it goes.
    const TCheckOutcome cut = check(cutAtTheFault);
    EXPECT_GT(cut.digests, 5);
    EXPECT_EQ(CheckReplay((dir.ExeDir() / "missing.qvr").string(), NativeFiles(), exeDir).status,
              2);
}

TEST(ReplayFolder, KeepsTheNewestFiftyOfItsOwnAndNothingElse) {
    TTempAssets dir;
    const fs::path folder = dir.ExeDir() / "state" / "replays";
    fs::create_directories(folder);
    const auto put = [&](const std::string& name, const std::string& content, int age) {
        WriteFile(folder / name, content);
        fs::last_write_time(folder / name,
                            fs::file_time_type::clock::now() - std::chrono::minutes(age));
    };
    for (int i = 0; i < 60; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "quorvatide-2026-11-%02d_10-00-00%s.qvr", 1 + i % 28,
                      i < 28   ? ""
                      : i < 56 ? "-2"
                               : "-3-best-120");
        put(name, "Quorvatide replay\nformat: 1\n\n", 1000 - i);  // the later, the newer
    }
    // Not ours: another name, or our name on something else.
    put("notes.txt", "mine", 5000);
    put("quorvatide-2026-01-01_00-00-00.qvr", "not a replay", 5000);
    put("quorvatide-2026-01-01_00-00-00.qvr.bak", "Quorvatide replay\n", 5000);

    std::string path, stem, error;
    ASSERT_TRUE(PruneReplayFolder(NativeFiles(), folder.string() + "/", kReplaysKept, {}, error))
        << error;
    int ours = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        ours += IsReplayFileName(entry.path().filename().string()) &&
                ReadFile(entry.path()).rfind("Quorvatide replay", 0) == 0;
    EXPECT_EQ(ours, kReplaysKept - 1);  // room for the new one
    EXPECT_TRUE(fs::exists(folder / "notes.txt"));
    EXPECT_TRUE(fs::exists(folder / "quorvatide-2026-01-01_00-00-00.qvr"));
    EXPECT_TRUE(fs::exists(folder / "quorvatide-2026-01-01_00-00-00.qvr.bak"));
    // Of one second, the later -N is the newer.
    EXPECT_TRUE(fs::exists(folder / "quorvatide-2026-11-04_10-00-00-3-best-120.qvr"));
    EXPECT_FALSE(fs::exists(folder / "quorvatide-2026-11-04_10-00-00-2.qvr"));
    EXPECT_FALSE(fs::exists(folder / "quorvatide-2026-11-01_10-00-00.qvr"));  // oldest
    // The same second twice: the new file takes the next free name.
    const auto make = [](const std::string& at, bool& taken) {
        int code = 0;
        taken = false;
        return NativeFiles().CreateNew(at, code) != nullptr;
    };
    ASSERT_TRUE(CreateInReplayFolder(folder.string() + "/", "quorvatide-2026-11-20_10-00-00", make,
                                     path, stem, error))
        << error;
    EXPECT_EQ(fs::path(path).filename(), "quorvatide-2026-11-20_10-00-00-3.qvr");
    EXPECT_EQ(stem + ".qvr", path);
    // The replay a session taken over continues is never removed for it, however old.
    const fs::path oldest = folder / "quorvatide-2026-11-12_10-00-00.qvr";
    ASSERT_TRUE(fs::exists(oldest));
    ASSERT_TRUE(
        PruneReplayFolder(NativeFiles(), folder.string() + "/", 10, {}, error, oldest.string()))
        << error;
    EXPECT_TRUE(fs::exists(oldest));
    EXPECT_FALSE(fs::exists(folder / "quorvatide-2026-11-13_10-00-00.qvr"));

    for (const char* good :
         {"quorvatide-2026-12-08_15-04-05.qvr", "quorvatide-2026-12-08_15-04-05-2.qvr",
          "quorvatide-2026-12-08_15-04-05-best-0.qvr",
          "quorvatide-2026-12-08_15-04-05-continued-2026-12-09_10-00-00-best-5.qvr",
          "ringing-continued-2026-12-09_10-00-00-2.qvr"})
        EXPECT_TRUE(IsReplayFileName(good)) << good;
    for (const char* bad :
         {"quorvatide-2026-12-08_15-04-05", "quorvatide-2026-12-08_15-04.qvr",
          "quorvatide-2026-12-08_15-04-05-best.qvr", "Quorvatide-2026-12-08_15-04-05.qvr",
          "quorvatide-2026-12-08_15-04-05.qvr~", "-continued-2026-12-09_10-00-00.qvr",
          "ringing-continued-2026-12-09.qvr"})
        EXPECT_FALSE(IsReplayFileName(bad)) << bad;
}

TEST(ReplayFolder, AFolderThatCannotBeWrittenCostsOneLineAndPlayGoesOn) {
    TTempAssets dir;
    dir.WithSettings("");
    // A file where the folder should be: not even root can make the folder there.
    WriteFile(dir.ExeDir() / "state", "in the way");
    TFakeClock clock;
    clock.now = 1000;
    TSilentAudio audio;
    TPlatform host{
        clock, audio, NativeFiles(), dir.ExeDir().string() + "/", {}, dir.ExeDir().string() + "/"};
    TRecordingOptions options;
    options.folder = ReplayFolder((dir.ExeDir() / "state").string() + "/");
    options.stem = "quorvatide-2026-12-08_15-04-05";
    testing::internal::CaptureStderr();
    TRecordingSession session(host, options);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("quorvatide: this session is not recorded: cannot make the folder ", 0),
              0u)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_FALSE(session.Recorder().Recording());
    // Play goes on: the splash click starts the ticks.
    session.Dispatch(TDispatch::MouseDown(358, 358, TMouseButton::Left, {}));
    session.Dispatch(TDispatch::MouseUp(358, 358, TMouseButton::Left, {}));
    for (int i = 0; i < 40; ++i) {
        clock.now = *session.NextDue();
        session.RunDue();
    }
    EXPECT_GT(session.Game().tickCount, 30);
    session.Close();
}

TEST(ReplayWatched, PlaysAtItsPaceWhichTheViewerCanPauseAndSpeedUpAndWritesNoFiles) {
    TTempAssets dir;
    const std::string replay = (dir.ExeDir() / "watched.qvr").string();
    THarnessOptions options = dir.WithSettings("DEBUG=1\n");
    options.replayPath = replay;
    int ticks = 0;
    {
        THarness h(options);
        PlayAMinute(h);
        ticks = h.Form().tickCount;
    }
    fs::remove(dir.Assets() / "debug.txt");
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(NativeFiles(), replay, error);
    ASSERT_TRUE(file) << error;
    TSettings settings;
    ASSERT_TRUE(ReadReplaySettings(file->header, settings, error)) << error;

    TFakeClock host;
    host.now = 50000;
    TSilentAudio audio;
    TPlatform platform{host, audio, NativeFiles(), dir.ExeDir().string() + "/"};
    auto session = std::make_unique<TPlaybackSession>(platform, std::move(*file), settings);
    TForm1& game = static_cast<TForm1&>(session->Form());
    const auto runFor = [&](uint64_t ms) {
        for (const uint64_t until = host.now + ms; host.now < until;) {
            const auto due = session->NextDue();
            host.now = due ? std::min(std::max(*due, host.now), until) : until;
            session->RunDue();
        }
    };
    // The viewer's mouse and keys do not reach the game.
    session->Dispatch(TDispatch::MouseDown(358, 358, TMouseButton::Left, {}));
    session->Dispatch(TDispatch::Key('x'));
    runFor(2000);
    EXPECT_EQ(game.tickCount, 0);  // the splash screen's first seconds, as recorded
    runFor(6000);
    const int atSix = game.tickCount;
    EXPECT_GT(atSix, 0);
    EXPECT_NE(session->Caption().find(" — replay: game 1, 00:0"), std::string::npos)
        << session->Caption();
    session->Dispatch(TDispatch::Key('p'));  // paused: nothing moves
    runFor(5000);
    EXPECT_EQ(game.tickCount, atSix);
    EXPECT_NE(session->Caption().find(", paused"), std::string::npos);
    session->Dispatch(TDispatch::Key('P'));
    session->Dispatch(TDispatch::Key('4'));  // x8
    runFor(1000);
    EXPECT_GT(game.tickCount, atSix + 120);
    runFor(60000);
    EXPECT_EQ(game.tickCount, ticks);
    EXPECT_NE(session->Caption().find(", x8, ended"), std::string::npos) << session->Caption();
    EXPECT_EQ(session->ExitStatus(), 0);
    session->Close();
    session.reset();  // the window closes: a replay writes no debug.txt
    EXPECT_FALSE(fs::exists(dir.Assets() / "debug.txt"));
}
