// Quorvatide: a real-time defence game. Without options it plays; see --help.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/crash_hooks.h"
#include "shell/platform/crash_report.h"
#include "shell/platform/native.h"
#include "shell/platform/sdl_host.h"
#include "shell/replay/check.h"
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
    });
}

// Shows a recording in the window.
int Watch(const std::string& path) {
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(NativeFiles(), path, error);
    TSettings settings;
    if (!file || !ReadReplaySettings(file->header, settings, error)) {
        std::fprintf(stderr, "quorvatide: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    SetCrashReplay(path);
    return RunWindow([&](TPlatform& platform) {
        auto session = std::make_unique<TPlaybackSession>(platform, std::move(*file), settings);
        WatchForCrashes(session->Session(), TTestCrash::None);
        return session;
    });
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
    if (cl.mode == TRunMode::Play || cl.mode == TRunMode::Replay)
        InstallCrashReporting(argv[0], NativeUserFolders().state, true);
    switch (cl.mode) {
        case TRunMode::Help:
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        case TRunMode::Version:
            std::fputs(VersionText().c_str(), stdout);
            return 0;
        case TRunMode::Replay:
            return Watch(cl.replayFile);
        case TRunMode::CheckReplay:
            return Check(cl.replayFile, cl.debugLogFile);
        case TRunMode::Play:
            break;
    }
    return Play();
}
