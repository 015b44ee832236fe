// Quorvatide: a real-time defence game. Without options it plays; see --help.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/crash_hooks.h"
#include "app/records_cli.h"
#include "frontend/daily.h"
#include "frontend/front_end.h"
#include "frontend/lesson.h"
#include "platform/crash/crash_report.h"
#include "platform/native.h"
#include "platform/sdl/sdl_bmp.h"
#include "platform/sdl/sdl_host.h"
#include "replay/check.h"
#include "replay/continued.h"
#include "replay/playback_session.h"
#include "replay/recording_session.h"
#include "replay/replay_folder.h"

namespace {

// The game named to a crash report (its screen and tick) for as long as it lives, and with a
// test crash asked for, a fault once the first tick of play has run.
void WatchForCrashes(TGameSession& session, TTestCrash testCrash) {
    auto sections = std::make_shared<TGameCrashSections>(session.Game());
    session.onClosing = [sections] { sections->Closing(); };
    session.onDispatched = TestCrashHook(testCrash, session.Game());
}

// What the program does with every session the front end makes: the crash report names the
// game's screen and tick, and the replay being written or watched, which it flushes.
TFrontEndHooks CrashHooks(TTestCrash testCrash) {
    TFrontEndHooks hooks;
    hooks.onGame = [testCrash](TGameSession& game) { WatchForCrashes(game, testCrash); };
    hooks.onRecorder = [](TSessionRecorder& recorder) {
        SetCrashReplay(recorder.Path());
        SetCrashReplayFlush(TReplayWriter::EmergencyFlushOf, &recorder.Writer());
        recorder.onRename = [](const std::string& path) { SetCrashReplay(path); };
    };
    hooks.onWatch = [](const std::string& path) { SetCrashReplay(path); };
    return hooks;
}

// How a session of play in the window begins.
enum class TStart { Game, Daily, Lesson };

// Plays in the window, recording the session into the player's replay folder: the player's
// game, with a welcome offering the lesson at the first start; today's daily challenge from its
// title screen; or the lesson.
int Play(TStart start) {
    std::string warning;
    const TTestCrash testCrash = ParseTestCrash(std::getenv("QUORVATIDE_TEST_CRASH"), warning);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    // For looking at the board the start-up builds: QUORVATIDE_SHOW_BOARD=1 leaves the splash
    // panel hidden. No timer starts; the game waits as it does behind the splash.
    const char* showBoard = std::getenv("QUORVATIDE_SHOW_BOARD");
    const bool boardShown = showBoard && std::strcmp(showBoard, "1") == 0;
    return RunWindow([boardShown, testCrash, start](TPlatform& platform) {
        auto front = std::make_unique<TFrontEnd>(platform, CrashHooks(testCrash));
        if (start == TStart::Lesson) {
            front->StartLesson();
            return front;
        }
        if (start == TStart::Daily) {
            PlayDaily(*front, TodayUtc());
            return front;
        }
        const bool first = FirstStart(*front);
        front->Play(boardShown);
        if (first && !boardShown) front->SetGuide(std::make_unique<TWelcome>(*front));
        return front;
    });
}

// Shows a recording in the window; with `takeOverAt`, takes it over at once at that time.
int Watch(const std::string& path, std::optional<uint64_t> takeOverAt) {
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(NativeFiles(), path, error);
    TSettings settings;
    if (!file || !ReadReplaySettings(file->header, settings, error)) {
        std::fprintf(stderr, "quorvatide: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    SetCrashReplay(path);
    int status = 0;
    const int windowStatus = RunWindow([&](TPlatform& platform) -> std::unique_ptr<IWindowSession> {
        auto session = std::make_unique<TPlaybackSession>(platform, std::move(*file), settings,
                                                          path, bool(takeOverAt));
        PrepareTakeOver(*session, platform, CrashHooks(TTestCrash::None));
        if (takeOverAt) {
            const TSessionPlayer& player = session->Player();
            if (*takeOverAt > player.Span()) {
                std::fprintf(stderr,
                             "quorvatide: %s: the recording is only %s long; it cannot be "
                             "taken over at %s\n",
                             path.c_str(), MinutesSeconds(player.Span()).c_str(),
                             MinutesSeconds(*takeOverAt).c_str());
                status = 2;
                return nullptr;
            }
            if (!session->TakeOverAt(player.FirstTime() + *takeOverAt)) {
                status = session->RefusalStatus();
                return nullptr;
            }
        }
        return std::make_unique<TFrontEnd>(platform, CrashHooks(TTestCrash::None),
                                           std::move(session));
    });
    return status ? status : windowStatus;
}

// Goes on with a session left in the middle of a game: `path`'s, or the newest in the replay
// folder. Without one, a new game begins.
int Continue(const std::string& path) {
    int status = 0;
    const int windowStatus = RunWindow([&](TPlatform& platform) -> std::unique_ptr<IWindowSession> {
        const TLocalTime local = NativeLocalTime();
        TContinuable found = path.empty()
                                 ? FindToContinue(platform, ReplayFolder(platform.stateDir),
                                                  ReplayDate(local.when, local.utcOffset))
                                 : OpenToContinue(platform, path);
        if (!found.session) {
            if (!path.empty()) {
                std::fprintf(stderr, "quorvatide: %s\n", found.error.c_str());
                status = found.status;
                return nullptr;
            }
            std::fprintf(stderr, "quorvatide: %s; a new game begins\n", found.error.c_str());
            auto front = std::make_unique<TFrontEnd>(platform, CrashHooks(TTestCrash::None));
            front->Play();
            return front;
        }
        SetCrashReplay(found.path);
        PrepareTakeOver(*found.session, platform, CrashHooks(TTestCrash::None));
        if (!found.session->TakeOverAt(std::nullopt, true)) {
            status = found.session->RefusalStatus();
            return nullptr;
        }
        const TSessionPlayer& player = found.session->Player();
        std::printf(
            "quorvatide: continuing %s from %s (game %d), paused: P plays on\n", found.path.c_str(),
            MinutesSeconds(player.PlayedTime() - player.FirstTime()).c_str(), player.Game());
        std::fflush(stdout);
        return std::make_unique<TFrontEnd>(platform, CrashHooks(TTestCrash::None),
                                           std::move(found.session));
    });
    return status ? status : windowStatus;
}

// The host's files, with what is read from the game's own folder (its Assets) kept after the
// first read: checking replays one after the other, each loads the same pictures, and where
// opening a file is dear (under wine) that was most of the time a short replay takes. The
// checks write nothing there.
class TKeptAssets : public IFiles {
public:
    TKeptAssets(IFiles& files, std::string folder) : files_(files), folder_(std::move(folder)) {}

    bool IsFile(const std::string& path) override {
        if (!Kept(path)) return files_.IsFile(path);
        const auto [at, added] = isFile_.try_emplace(path, false);
        if (added) at->second = files_.IsFile(path);
        return at->second;
    }
    std::optional<std::string> Read(const std::string& path, size_t maxBytes,
                                    bool* whole) override {
        if (!Kept(path)) return files_.Read(path, maxBytes, whole);
        const auto [at, added] = read_.try_emplace({path, maxBytes});
        if (added) at->second.bytes = files_.Read(path, maxBytes, &at->second.whole);
        if (whole) *whole = at->second.whole;
        return at->second.bytes;
    }
    int Write(const std::string& path, std::string_view bytes, bool makeFolder) override {
        return files_.Write(path, bytes, makeFolder);
    }
    std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) override {
        return files_.CreateNew(path, error);
    }
    bool InUse(const std::string& path) override { return files_.InUse(path); }
    int Rename(const std::string& from, const std::string& to) override {
        return files_.Rename(from, to);
    }
    int Replace(const std::string& path, std::string_view bytes, bool makeFolder) override {
        return files_.Replace(path, bytes, makeFolder);
    }
    int Remove(const std::string& path) override { return files_.Remove(path); }
    TBmpDecoder BmpDecoder() override { return files_.BmpDecoder(); }

private:
    struct TRead {
        std::optional<std::string> bytes;
        bool whole = false;
    };
    bool Kept(const std::string& path) const { return path.rfind(folder_, 0) == 0; }

    IFiles& files_;
    const std::string folder_;
    std::map<std::string, bool> isFile_;
    std::map<std::pair<std::string, size_t>, TRead> read_;
};

// Plays each recording without a window and checks it: a line for each, and with several, one
// more for them all. The status is the highest of theirs.
int Check(const std::vector<std::string>& paths, const std::string& debugLog) {
    const std::string exeDir = ExecutableDir();
    TKeptAssets files(SdlFiles(), exeDir);
    int worst = 0, unreadable = 0, desynced = 0;
    for (const std::string& path : paths) {
        const TCheckOutcome outcome = CheckReplay(path, files, exeDir, debugLog);
        std::fprintf(outcome.status == 0 ? stdout : stderr, "quorvatide: %s\n",
                     outcome.message.c_str());
        std::fflush(stdout);  // the lines in order where both go to one place
        (outcome.status == 1 ? desynced : unreadable) += outcome.status != 0;
        worst = std::max(worst, outcome.status);
    }
    if (paths.size() > 1) {
        std::string all = std::to_string(paths.size()) + " replays checked; ";
        if (worst == 0) all += "all play as recorded";
        if (desynced == 1) all += "1 does not play as recorded";
        if (desynced > 1) all += std::to_string(desynced) + " do not play as recorded";
        if (desynced && unreadable) all += ", ";
        if (unreadable) all += std::to_string(unreadable) + " cannot be read";
        std::fprintf(worst == 0 ? stdout : stderr, "quorvatide: %s\n", all.c_str());
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    AttachToConsole();
    // A crashed game starts the program again this way to finish its report.
    if (argc > 1 && std::strcmp(argv[1], kCrashReportOption) == 0)
        return FinishCrashReport(argc, argv, ShowErrorBox);
    const std::vector<std::string> args = NativeArguments(argc, argv);
    const TCommandLine cl = ParseCommandLine(
        std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end()));
    if (!cl.error.empty()) {
        std::fprintf(stderr, "quorvatide: %s\n", cl.error.c_str());
        return 2;
    }
    // In the window, any fault from here on leaves a crash report.
    if (cl.mode == TRunMode::Play || cl.mode == TRunMode::Daily || cl.mode == TRunMode::Learn ||
        cl.mode == TRunMode::Replay || cl.mode == TRunMode::Continue)
        InstallCrashReporting(argv[0], NativeUserFolders().state, true);
    switch (cl.mode) {
        case TRunMode::Help:
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        case TRunMode::Version:
            std::fputs(VersionText().c_str(), stdout);
            return 0;
        case TRunMode::Replay:
            return Watch(cl.replayFile, cl.takeOverAtMs);
        case TRunMode::Continue:
            return Continue(cl.replayFile);
        case TRunMode::CheckReplay:
            return Check(cl.replayFiles, cl.debugLogFile);
        case TRunMode::Records:
        case TRunMode::Report: {
            const std::string state = NativeUserFolders().state;
            const TCliOutcome outcome =
                cl.mode == TRunMode::Records
                    ? PrintRecords(SdlFiles(), state)
                    : PrintReport(SdlFiles(), ExecutableDir(), state, cl.replayFile, cl.plotFile,
                                  cl.reportGame);
            std::fputs(outcome.err.c_str(), stderr);
            std::fputs(outcome.out.c_str(), stdout);
            return outcome.status;
        }
        case TRunMode::Daily:
            return Play(TStart::Daily);
        case TRunMode::Learn:
            return Play(TStart::Lesson);
        case TRunMode::Play:
            break;
    }
    return Play(TStart::Game);
}
