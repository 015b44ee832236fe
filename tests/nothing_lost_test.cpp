// Nothing of a session is lost on the desktop: two games begun in the same second, replays
// dated by a clock that was set ahead, a session still being played in another window, a disk
// that fills while a replay or a continuation is written, and the smaller ways a replay, the
// player's settings or the command line could be spoiled or misread.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "replay/check.h"
#include "replay/continued.h"
#include "replay/recording_session.h"
#include "replay/replay_folder.h"
#include "shell/user_files.h"
#include "tests/harness.h"
#include "toolkit/utf8_path.h"

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

// The file's modification time moved by `hours` from now (a clock set ahead, a copy, a touch).
void Touch(const fs::path& path, int hours) {
    fs::last_write_time(path, fs::file_time_type::clock::now() + std::chrono::hours(hours));
}

// The game's own replays in `folder`, by name.
std::vector<std::string> Replays(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (IsReplayFileName(PathUtf8(entry.path().filename())))
            names.push_back(PathUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

constexpr const char* kRecordedMark = "recorded: @\n";

// A session killed in the middle of its first game, as its file is left: written up to its last
// flush, with the digests of ticks 100 and 200. Its "recorded:" line is set by Dated.
const std::string& KilledInPlay() {
    static const std::string bytes = [] {
        TTempAssets dir;
        THarnessOptions options = OptionsFor(dir);
        options.exeDir = BuildExeDir();
        options.replayPath = PathUtf8(dir.ExeDir() / "killed.qvr");
        options.recordedAs = "@";
        THarness h(options);
        h.Advance(2300);
        h.StartPlay();
        h.Ticks(250);
        return ReadFile(Utf8Path(options.replayPath));
    }();
    return bytes;
}

// `bytes` with the header's date set to `recorded` and `more` header lines after it.
std::string Dated(const std::string& bytes, const std::string& recorded,
                  const std::string& more = {}) {
    std::string dated = bytes;
    const size_t at = dated.find(kRecordedMark);
    EXPECT_NE(at, std::string::npos);
    dated.replace(at, std::strlen(kRecordedMark), "recorded: " + recorded + "\n" + more);
    return dated;
}

// The header lines of a session continuing `name`, taken over at `when` at tick 200.
std::string Continuing(const std::string& name, const std::string& when) {
    return "continues: " + name + "\ntaken over: " + when + ", at 00:10 (game 1, tick 200)\n";
}

// 2026-12-09 10:00:00, a take-over's moment.
std::tm Moment() {
    std::tm when{};
    when.tm_year = 2026 - 1900, when.tm_mon = 11, when.tm_mday = 9, when.tm_hour = 10;
    return when;
}

// The host of a window, on a fake clock, with the player's state folder in `dir`.
struct THost {
    TFakeClock clock;
    TSilentAudio audio;
    TPlatform platform;
    explicit THost(const fs::path& exeDir, IFiles& files = NativeFiles())
        : platform{clock,
                   audio,
                   files,
                   PathUtf8(exeDir) + "/",
                   PathUtf8(exeDir / "config") + "/",
                   PathUtf8(exeDir / "state") + "/"} {
        clock.now = 5000000;
        clock.seed = 77;
    }
    std::string Folder() const { return ReplayFolder(platform.stateDir); }
    // Plays `session` on for `ms` of the clock, as the window's host runs it.
    void RunFor(IWindowSession& session, uint64_t ms) {
        for (const uint64_t until = clock.now + ms; clock.now < until;) {
            const auto due = session.NextDue();
            clock.now = due ? std::min(std::max(*due, clock.now), until) : until;
            session.RunDue();
        }
    }
};

// A session of live play recorded into the host's replay folder, begun at `date`.
std::unique_ptr<TRecordingSession> Record(THost& host, const std::string& stem,
                                          const std::string& date) {
    TRecordingOptions options;
    options.folder = host.Folder();
    options.stem = stem;
    options.date = date;
    return std::make_unique<TRecordingSession>(host.platform, options);
}

// The host's files, with a hook on each new file.
class TFilesBetween : public IFiles {
public:
    explicit TFilesBetween(IFiles& real) : real_(real) {}
    bool IsFile(const std::string& path) override { return real_.IsFile(path); }
    std::optional<std::string> Read(const std::string& path, size_t maxBytes,
                                    bool* whole) override {
        return real_.Read(path, maxBytes, whole);
    }
    int Write(const std::string& path, std::string_view bytes, bool makeFolder) override {
        return real_.Write(path, bytes, makeFolder);
    }
    std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) override {
        return real_.CreateNew(path, error);
    }
    bool InUse(const std::string& path) override { return real_.InUse(path); }
    int Rename(const std::string& from, const std::string& to) override {
        return real_.Rename(from, to);
    }
    int Remove(const std::string& path) override { return real_.Remove(path); }
    int Replace(const std::string& path, std::string_view bytes, bool makeFolder) override {
        return real_.Replace(path, bytes, makeFolder);
    }

protected:
    IFiles& real_;
};

// Another instance of the game, started in the same second, which takes the name this one chose
// between its look at the folder and its making the file.
class TRacingFiles : public TFilesBetween {
public:
    using TFilesBetween::TFilesBetween;
    std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) override {
        if (!raced) {
            raced = true;
            real_.Write(path, kTheOthers);
        }
        return real_.CreateNew(path, error);
    }
    static constexpr const char* kTheOthers = "Quorvatide replay\nformat: 1\n\n";
    bool raced = false;
};

// A disk with room for `room` bytes more: a write that does not fit writes what does and fails
// as the system's does.
class TFullDisk : public TFilesBetween {
public:
    TFullDisk(IFiles& real, size_t room) : TFilesBetween(real), room_(room) {}
    std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) override {
        auto out = real_.CreateNew(path, error);
        if (!out) return nullptr;
        return std::make_unique<TOut>(std::move(out), room_);
    }

private:
    class TOut : public IFileOut {
    public:
        TOut(std::unique_ptr<IFileOut> out, size_t& room) : out_(std::move(out)), room_(room) {}
        bool Append(const void* data, size_t size) override {
            if (!error_.empty()) return false;
            const size_t fits = std::min(size, room_);
            room_ -= fits;
            if (fits) out_->Append(data, fits);
            if (fits == size) return true;
            error_ = std::string("cannot write: ") + std::strerror(ENOSPC);
            return false;
        }
        void AppendInDistress(const void*, size_t) noexcept override {}
        bool Close() override { return out_->Close() && error_.empty(); }
        const std::string& Error() const override { return error_; }

    private:
        std::unique_ptr<IFileOut> out_;
        size_t& room_;
        std::string error_;
    };
    size_t room_;
};

// A file the player cannot read (mode 000 after a copy as root, say).
class TUnreadableFile : public TFilesBetween {
public:
    TUnreadableFile(IFiles& real, std::string path) : TFilesBetween(real), path_(std::move(path)) {}
    std::optional<std::string> Read(const std::string& path, size_t maxBytes,
                                    bool* whole) override {
        if (path != path_) return real_.Read(path, maxBytes, whole);
        errno = EACCES;
        return std::nullopt;
    }

private:
    std::string path_;
};

}  // namespace

TEST(NothingLost, TwoSessionsBegunInTheSameSecondAreBothRecorded) {
    TTempAssets dir;
    dir.WithSettings("");
    TRacingFiles racing(NativeFiles());
    THost host(dir.ExeDir(), racing);
    const fs::path folder = Utf8Path(host.Folder());
    testing::internal::CaptureStderr();
    auto session = Record(host, "quorvatide-2026-12-09_20-50-15", "2026-12-09 20:50:15 +0000");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(racing.raced);
    ASSERT_TRUE(session->Recorder().Recording());
    EXPECT_EQ(fs::path(session->Recorder().Path()).filename(),
              "quorvatide-2026-12-09_20-50-15-2.qvr");
    session->Close();
    EXPECT_EQ(ReadFile(folder / "quorvatide-2026-12-09_20-50-15.qvr"), TRacingFiles::kTheOthers);
}

TEST(NothingLost, TheFolderIsPrunedByWhenSessionsBeganNotByFileTimes) {
    TTempAssets dir;
    dir.WithSettings("");
    THost host(dir.ExeDir());
    const fs::path folder = Utf8Path(host.Folder());
    fs::create_directories(folder);
    // Sessions named and dated in order, whose file times say the opposite (touched, copied):
    // the oldest sessions go. And an empty file of the game's name, what a start on a full disk
    // used to leave: it holds nothing, and goes first.
    for (int i = 0; i < 55; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "quorvatide-2026-11-%02d_10-00-00%s.qvr", 1 + i % 28,
                      i < 28 ? "" : "-2");
        WriteFile(folder / name, "Quorvatide replay\nformat: 1\n\n");
        Touch(folder / name, -i);
    }
    WriteFile(folder / "quorvatide-2026-12-01_00-00-00.qvr", "");
    Record(host, "quorvatide-2026-12-08_15-00-00", "2026-12-08 15:00:00 +0000")->Close();
    std::vector<std::string> kept = Replays(folder);
    EXPECT_EQ(kept.size(), size_t(kReplaysKept));
    EXPECT_EQ(kept[0], "quorvatide-2026-11-04_10-00-00-2.qvr") << kept[0];
    EXPECT_EQ(kept[1], "quorvatide-2026-11-04_10-00-00.qvr") << kept[1];
    EXPECT_EQ(kept.back(), "quorvatide-2026-12-08_15-00-00.qvr");
    EXPECT_FALSE(fs::exists(folder / "quorvatide-2026-12-01_00-00-00.qvr"));

    // Sixty sessions recorded while the clock was a year ahead: a new session does not remove
    // the one before it, nor the one before that.
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < 60; ++i) {
        char name[64], date[64];
        std::snprintf(name, sizeof name, "quorvatide-2027-12-08_10-%02d-00.qvr", i);
        std::snprintf(date, sizeof date, "2027-12-08 10:%02d:00 +0000", i);
        WriteFile(folder / name,
                  "Quorvatide replay\nformat: 1\nrecorded: " + std::string(date) + "\n\n");
        Touch(folder / name, 24 * 365);
    }
    Record(host, "quorvatide-2026-12-08_15-00-00", "2026-12-08 15:00:00 +0000")->Close();
    Record(host, "quorvatide-2026-12-08_15-10-00", "2026-12-08 15:10:00 +0000")->Close();
    Record(host, "quorvatide-2026-12-08_15-20-00", "2026-12-08 15:20:00 +0000")->Close();
    kept = Replays(folder);
    EXPECT_EQ(kept.size(), size_t(kReplaysKept));
    for (const char* name :
         {"quorvatide-2026-12-08_15-00-00.qvr", "quorvatide-2026-12-08_15-10-00.qvr",
          "quorvatide-2026-12-08_15-20-00.qvr"})
        EXPECT_TRUE(fs::exists(folder / name)) << name;
}

TEST(NothingLost, ContinueTakesTheSessionLeftInPlayLastByWhenItBegan) {
    TTempAssets dir;
    THost host(BuildExeDir());
    host.platform.stateDir = PathUtf8(dir.ExeDir()) + "/state/";
    const fs::path folder = Utf8Path(host.Folder());
    fs::create_directories(folder);
    const auto put = [&](const std::string& name, const std::string& bytes, int hours) {
        WriteFile(folder / name, bytes);
        Touch(folder / name, hours);
    };
    const std::string killed = "quorvatide-2026-12-08_15-00-00.qvr";
    put(killed, Dated(KilledInPlay(), "2026-12-08 15:00:00 +0000"), -1);
    // An older session whose file time was set a year ahead, and one recorded while the clock
    // was a year ahead: the session killed last (by the clock now) is the one to go on with.
    put("quorvatide-2026-12-08_09-00-00.qvr", Dated(KilledInPlay(), "2026-12-08 09:00:00 +0000"),
        24 * 365);
    const std::string ahead = "quorvatide-2027-12-08_09-00-00.qvr";
    put(ahead, Dated(KilledInPlay(), "2027-12-08 09:00:00 +0000"), 24 * 365);
    const std::string now = "2026-12-08 16:00:00 +0000";
    TContinuable found = FindToContinue(host.platform, PathUtf8(folder), now);
    EXPECT_EQ(fs::path(found.path).filename(), killed);
    found.session.reset();
    // Continued by its name (--continue FILE), its continuation, dated now, is the newest.
    const std::string aheadContinued =
        "quorvatide-2027-12-08_09-00-00-continued-2026-12-08_16-00-00.qvr";
    put(aheadContinued, Dated(KilledInPlay(), "2027-12-08 09:00:00 +0000", Continuing(ahead, now)),
        -5);
    found = FindToContinue(host.platform, PathUtf8(folder), now);
    EXPECT_EQ(fs::path(found.path).filename(), aheadContinued);
    found.session.reset();
    fs::remove(folder / aheadContinued);

    // Continued once (with a clock set back: the take-over is dated before the session began),
    // the continuation is what goes on, however its file is dated; it counts as newer than what
    // it continues, and so newer than a session begun in between.
    const std::string continued =
        "quorvatide-2026-12-08_15-00-00-continued-2026-12-08_14-00-00.qvr";
    put(continued,
        Dated(KilledInPlay(), "2026-12-08 15:00:00 +0000",
              Continuing(killed, "2026-12-08 14:00:00 +0000")),
        -2);
    put("quorvatide-2026-12-08_14-30-00.qvr", Dated(KilledInPlay(), "2026-12-08 14:30:00 +0000"),
        -3);
    found = FindToContinue(host.platform, PathUtf8(folder), now);
    EXPECT_EQ(fs::path(found.path).filename(), continued);
}

TEST(NothingLost, ASessionStillBeingPlayedIsNotContinued) {
    TTempAssets dir;
    dir.WithSettings("");
    THost host(dir.ExeDir());
    const fs::path folder = Utf8Path(host.Folder());
    fs::create_directories(folder);
    const std::string killed = "quorvatide-2026-12-08_15-00-00.qvr";
    WriteFile(folder / killed, Dated(KilledInPlay(), "2026-12-08 15:00:00 +0000"));

    // Played in another window: in the middle of a game, written to its last flush.
    auto live = Record(host, "quorvatide-2026-12-08_16-00-00", "2026-12-08 16:00:00 +0000");
    const std::string livePath = live->Recorder().Path();
    live->Dispatch(TDispatch::MouseDown(358, 358, TMouseButton::Left, {}));
    live->Dispatch(TDispatch::MouseUp(358, 358, TMouseButton::Left, {}));
    host.RunFor(*live, 8000);
    ASSERT_GT(live->Game().tickCount, 100);

    THost other(BuildExeDir());
    TContinuable found = FindToContinue(other.platform, PathUtf8(folder));
    EXPECT_EQ(fs::path(found.path).filename(), killed);
    found.session.reset();
    const TContinuable refused = OpenToContinue(other.platform, livePath);
    EXPECT_FALSE(refused.session);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.error.find("still being played"), std::string::npos) << refused.error;

    // Closed in play, it is left in play.
    live->Close();
    live.reset();
    found = FindToContinue(other.platform, PathUtf8(folder));
    EXPECT_EQ(found.path, livePath);
}

TEST(NothingLost, AFullDiskLeavesNoEmptyReplayAndNoContinuationThatHidesTheGame) {
    TTempAssets dir;
    dir.WithSettings("");
    // No room at all: no file is left behind, and the line says why.
    {
        TFullDisk full(NativeFiles(), 0);
        THost host(dir.ExeDir(), full);
        testing::internal::CaptureStderr();
        auto session = Record(host, "quorvatide-2026-12-08_15-00-00", "2026-12-08 15:00:00 +0000");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(session->Recorder().Recording());
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("this session is not recorded: "), std::string::npos) << said;
        EXPECT_NE(said.find("No space left on device\n"), std::string::npos) << said;
        EXPECT_TRUE(Replays(Utf8Path(host.Folder())).empty());
    }

    // Room for the continuation's header and a little more: the take-over says why in one
    // line, play goes on, and nothing is left that would hide the killed game.
    THost host(BuildExeDir());
    host.platform.stateDir = PathUtf8(dir.ExeDir()) + "/state/";
    const fs::path folder = Utf8Path(host.Folder());
    const std::string killed = PathUtf8(folder / "quorvatide-2026-12-08_15-00-00.qvr");
    WriteFile(Utf8Path(killed), Dated(KilledInPlay(), "2026-12-08 15:00:00 +0000"));
    {
        // The continuation's header is the killed one's with some 140 bytes more.
        const std::string killedBytes = ReadFile(Utf8Path(killed));
        TFullDisk full(NativeFiles(), killedBytes.find("\n\n") + 2 + 150);
        THost nearlyFull(BuildExeDir(), full);
        nearlyFull.platform.stateDir = host.platform.stateDir;
        TContinuable found = OpenToContinue(nearlyFull.platform, killed);
        ASSERT_TRUE(found.session) << found.error;
        found.session->takeOver.folder = host.Folder();
        found.session->takeOver.when = Moment();
        found.session->takeOver.date = "2026-12-09 10:00:00 +0000";
        testing::internal::CaptureStderr();
        EXPECT_TRUE(found.session->TakeOverAt(std::nullopt, true));
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("the session taken over is not recorded: "), std::string::npos) << said;
        EXPECT_NE(said.find(": cannot write: No space left on device\n"), std::string::npos)
            << said;
        EXPECT_TRUE(found.session->Live());
        found.session->Close();
    }
    EXPECT_EQ(Replays(folder), std::vector<std::string>{"quorvatide-2026-12-08_15-00-00.qvr"});
    TContinuable found = FindToContinue(host.platform, PathUtf8(folder));
    EXPECT_EQ(found.path, killed);
    found.session.reset();

    // A continuation cut off before its hand-over (killed while it was written) continues
    // nothing.
    const std::string header =
        Dated(KilledInPlay(), "2026-12-08 15:00:00 +0000",
              Continuing("quorvatide-2026-12-08_15-00-00.qvr", "2026-12-09 10:00:00 +0000"));
    WriteFile(folder / "quorvatide-2026-12-08_15-00-00-continued-2026-12-09_10-00-00.qvr",
              header.substr(0, header.find("\n\n") + 2) + "Z\x40");
    found = FindToContinue(host.platform, PathUtf8(folder));
    EXPECT_EQ(found.path, killed);
}

TEST(NothingLost, TheDebugLogIsNeverWrittenOverTheReplayItChecks) {
    TTempAssets dir;
    const fs::path replay = dir.ExeDir() / "a.qvr";
    fs::copy_file(fs::path(QV_SOURCE_DIR) / "tests" / "replays" / "lab-builder-default.qvr",
                  replay);
    const std::string bytes = ReadFile(replay);
    fs::create_directories(dir.ExeDir() / "sub");
    for (const fs::path& same :
         {replay, dir.ExeDir() / "." / "a.qvr", dir.ExeDir() / "sub" / ".." / "a.qvr"}) {
        const TCheckOutcome outcome = CheckReplay(PathUtf8(replay), NativeFiles(),
                                                  PathUtf8(BuildExeDir()) + "/", PathUtf8(same));
        EXPECT_EQ(outcome.status, 2) << PathUtf8(same);
        EXPECT_EQ(outcome.message.find('\n'), std::string::npos);
        EXPECT_NE(outcome.message.find("the replay itself"), std::string::npos) << outcome.message;
        EXPECT_EQ(ReadFile(replay), bytes);
    }
}

TEST(NothingLost, UnreadableSettingsOfThePlayersOwnAreSaidAndTheInstalledOnesUsed) {
    TTempAssets dir;
    dir.WithSettings("SIGNCOST=7\n");
    // The paths as the game makes them: the folders with '/' and the names after them.
    const std::string own = PathUtf8(dir.ExeDir() / "config") + "/settings.ini";
    fs::create_directories(dir.ExeDir() / "config");
    WriteFile(Utf8Path(own), "[Settings]\nSIGNCOST=11\n");
    TUnreadableFile unreadable(NativeFiles(), own);
    THost host(dir.ExeDir(), unreadable);
    testing::internal::CaptureStderr();
    const TSettings settings = ReadGameSettings(host.platform);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(settings.SIGNCOST, 7);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(own + ": " + std::strerror(EACCES)), std::string::npos) << said;
    EXPECT_NE(said.find(PathUtf8(dir.ExeDir()) + "/Assets/settings.ini"), std::string::npos)
        << said;
}

TEST(NothingLost, DamagedOrLongNamedReplaysAndOddTimesAreSaidWhole) {
    TTempAssets dir;
    THost host(BuildExeDir());
    host.platform.stateDir = PathUtf8(dir.ExeDir()) + "/state/";
    const fs::path folder = Utf8Path(host.Folder());
    fs::create_directories(folder);
    const std::string killed = PathUtf8(folder / "quorvatide-2026-12-08_15-00-00.qvr");
    WriteFile(Utf8Path(killed), Dated(KilledInPlay(), "2026-12-08 15:00:00 +0000"));
    // The newest in play is damaged: passed over, and named.
    std::string damaged = Dated(KilledInPlay(), "2026-12-08 16:00:00 +0000");
    damaged[damaged.find("\n\n") + 40] ^= 0x5a;
    const fs::path spoiled = folder / "quorvatide-2026-12-08_16-00-00.qvr";
    WriteFile(spoiled, damaged);
    testing::internal::CaptureStderr();
    TContinuable found = FindToContinue(host.platform, PathUtf8(folder));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(found.path, killed);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(PathUtf8(spoiled) + ": damaged"), std::string::npos) << said;
    found.session.reset();

    // A replay with a long name of the player's own: the continuation's name is shortened to
    // what a file system takes, and is still one of the game's.
    const std::string longName = std::string(240, 'r') + ".qvr";
    fs::copy_file(Utf8Path(killed), folder / longName);
    const std::tm when = Moment();
    const std::string stem = ContinuedStem(longName, when);
    EXPECT_LE(stem.size() + std::string("-999-best-2147483647.qvr").size(), 255u) << stem;
    EXPECT_TRUE(IsReplayFileName(stem + ".qvr"));
    EXPECT_TRUE(IsReplayFileName(stem + "-999-best-2147483647.qvr"));
    found = OpenToContinue(host.platform, PathUtf8(folder / longName));
    ASSERT_TRUE(found.session) << found.error;
    found.session->takeOver.folder = host.Folder();
    found.session->takeOver.when = when;
    found.session->takeOver.date = "2026-12-09 10:00:00 +0000";
    testing::internal::CaptureStderr();
    ASSERT_TRUE(found.session->TakeOverAt(std::nullopt, true));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(found.session->Replayed().Recorder().Recording());
    EXPECT_EQ(fs::path(found.session->Replayed().Recorder().Path()).filename(), stem + ".qvr");
    found.session->Close();

    // Times for --take-over-at: none is no file name, and one too long is quoted so as to say so.
    const auto error = [](std::string value) {
        return ParseCommandLine({"--replay", "a.qvr", "--take-over-at", value}).error;
    };
    EXPECT_EQ(error(""), "--take-over-at needs a time as MM:SS, not '' (see quorvatide --help)");
    const std::string longTime(30, '1');
    EXPECT_EQ(error(longTime + ":00"), "--take-over-at needs a time as MM:SS, not '" + longTime +
                                           ":00' (see quorvatide "
                                           "--help)");
    const std::string endless(500, '9');
    EXPECT_EQ(error(endless), "--take-over-at needs a time as MM:SS, not '" +
                                  endless.substr(0, 40) +
                                  "…' (500 characters) (see quorvatide --help)");
}
