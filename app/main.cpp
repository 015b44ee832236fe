// Quorvatide: a real-time defence game. Without options it plays; see --help.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/crash_hooks.h"
#include "shell/platform/crash_report.h"
#include "shell/platform/native.h"
#include "shell/platform/sdl_host.h"
#include "shell/replay/check.h"
#include "shell/replay/continued.h"
#include "shell/replay/replay_folder.h"
#include "shell/replay/sessions.h"

namespace {

// The game named to a crash report (its screen and tick) for as long as it lives, and with a
// test crash asked for, a fault once the first tick of play has run.
void WatchForCrashes(TGameSession& session, TTestCrash testCrash) {
    auto sections = std::make_shared<TGameCrashSections>(session.Game());
    session.onClosing = [sections] { sections->Closing(); };
    session.onDispatched = TestCrashHook(testCrash, session.Game());
}

// Live play's session, recording into the player's replay folder.
std::unique_ptr<IWindowSession> PlaySession(TPlatform& platform, bool boardShown,
                                            TTestCrash testCrash) {
    const TLocalTime local = NativeLocalTime();
    TRecordingOptions options;
    options.folder = ReplayFolder(platform.stateDir);
    options.stem = ReplayStem(local.when);
    options.date = ReplayDate(local.when, local.utcOffset);
    options.boardShown = boardShown;
    auto session = std::make_unique<TRecordingSession>(platform, options);
    WatchForCrashes(session->Session(), testCrash);
    // A crash report names the replay, and the replay is written up to the crash.
    TSessionRecorder& recorder = session->Recorder();
    if (recorder.Recording()) {
        SetCrashReplay(recorder.Path());
        SetCrashReplayFlush(TReplayWriter::EmergencyFlushOf, &recorder.Writer());
        recorder.onRename = [](const std::string& path) { SetCrashReplay(path); };
    }
    return session;
}

// Plays in the window, recording the session into the player's replay folder.
int Play() {
    std::string warning;
    const TTestCrash testCrash = ParseTestCrash(std::getenv("QUORVATIDE_TEST_CRASH"), warning);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    // For looking at the board the start-up builds: QUORVATIDE_SHOW_BOARD=1 leaves the splash
    // panel hidden. No timer starts; the game waits as it does behind the splash.
    const char* showBoard = std::getenv("QUORVATIDE_SHOW_BOARD");
    const bool boardShown = showBoard && std::strcmp(showBoard, "1") == 0;
    return RunWindow([boardShown, testCrash](TPlatform& platform) {
        return PlaySession(platform, boardShown, testCrash);
    });
}

// A playback that may be taken over: recorded into the player's replay folder, named after
// the moment of the taking over, and watched for crashes in every game it makes.
void PrepareTakeOver(TPlaybackSession& session, const TPlatform& platform) {
    WatchForCrashes(session.Session(), TTestCrash::None);
    session.onGame = [](TGameSession& game) { WatchForCrashes(game, TTestCrash::None); };
    session.takeOver.folder = ReplayFolder(platform.stateDir);
    session.stamp = [](TTakeOverOptions& options) {
        const TLocalTime local = NativeLocalTime();
        options.when = local.when;
        options.date = ReplayDate(local.when, local.utcOffset);
    };
    session.onTakenOver = [](TSessionRecorder& recorder) {
        if (!recorder.Recording()) return;
        SetCrashReplay(recorder.Path());
        SetCrashReplayFlush(TReplayWriter::EmergencyFlushOf, &recorder.Writer());
        recorder.onRename = [](const std::string& path) { SetCrashReplay(path); };
    };
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
        PrepareTakeOver(*session, platform);
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
        return session;
    });
    return status ? status : windowStatus;
}

// Goes on with a session left in the middle of a game: `path`'s, or the newest in the replay
// folder. Without one, a new game begins.
int Continue(const std::string& path) {
    int status = 0;
    const int windowStatus = RunWindow([&](TPlatform& platform) -> std::unique_ptr<IWindowSession> {
        TContinuable found = path.empty()
                                 ? FindToContinue(platform, ReplayFolder(platform.stateDir))
                                 : OpenToContinue(platform, path);
        if (!found.session) {
            if (!path.empty()) {
                std::fprintf(stderr, "quorvatide: %s\n", found.error.c_str());
                status = found.status;
                return nullptr;
            }
            std::fprintf(stderr, "quorvatide: %s; a new game begins\n", found.error.c_str());
            return PlaySession(platform, false, TTestCrash::None);
        }
        SetCrashReplay(found.path);
        PrepareTakeOver(*found.session, platform);
        if (!found.session->TakeOverAt(std::nullopt, true)) {
            status = found.session->RefusalStatus();
            return nullptr;
        }
        const TSessionPlayer& player = found.session->Player();
        std::printf(
            "quorvatide: continuing %s from %s (game %d), paused: P plays on\n", found.path.c_str(),
            MinutesSeconds(player.PlayedTime() - player.FirstTime()).c_str(), player.Game());
        std::fflush(stdout);
        return std::move(found.session);
    });
    return status ? status : windowStatus;
}

// Plays a recording without a window and checks it.
int Check(const std::string& path, const std::string& debugLog) {
    const TCheckOutcome outcome = CheckReplay(path, NativeFiles(), ExecutableDir(), debugLog);
    std::fprintf(outcome.status == 0 ? stdout : stderr, "quorvatide: %s\n",
                 outcome.message.c_str());
    return outcome.status;
}

}  // namespace

int main(int argc, char** argv) {
    AttachToConsole();
    // A crashed game starts the program again this way to finish its report.
    if (argc > 1 && std::strcmp(argv[1], kCrashReportOption) == 0)
        return FinishCrashReport(argc, argv);
    const std::vector<std::string> args = NativeArguments(argc, argv);
    const TCommandLine cl = ParseCommandLine(
        std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end()));
    if (!cl.error.empty()) {
        std::fprintf(stderr, "quorvatide: %s\n", cl.error.c_str());
        return 2;
    }
    // In the window, any fault from here on leaves a crash report.
    if (cl.mode == TRunMode::Play || cl.mode == TRunMode::Replay || cl.mode == TRunMode::Continue)
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
            return Check(cl.replayFile, cl.debugLogFile);
        case TRunMode::Play:
            break;
    }
    return Play();
}
