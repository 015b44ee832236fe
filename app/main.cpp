// Quorvatide: a real-time defence game. Without options it plays; see --help.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/crash_hooks.h"
#include "core/form1.h"
#include "shell/platform/crash_report.h"
#include "shell/platform/sdl_host.h"
#include "shell/user_files.h"

namespace {

int Play() {
    std::string warning;
    const TTestCrash testCrash = ParseTestCrash(std::getenv("QUORVATIDE_TEST_CRASH"), warning);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
    return RunWindow([testCrash](TPlatform& platform) {
        auto form = CreateReportedForm(platform, testCrash);
        // For looking at the board the start-up builds: QUORVATIDE_SHOW_BOARD=1 leaves the
        // splash panel hidden. No timer starts; the game waits as it does behind the splash.
        const char* showBoard = std::getenv("QUORVATIDE_SHOW_BOARD");
        if (showBoard && std::strcmp(showBoard, "1") == 0) form->pnlSplash->Hide();
        return form;
    });
}

}  // namespace

int main(int argc, char** argv) {
    // A crashed game starts the program again this way to finish its report.
    if (argc > 1 && std::strcmp(argv[1], kCrashReportOption) == 0)
        return FinishCrashReport(argc, argv);
    const TCommandLine cl = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!cl.error.empty()) {
        std::fprintf(stderr, "quorvatide: %s\n", cl.error.c_str());
        return 2;
    }
    // In the window, any fault from here on leaves a crash report.
    if (cl.mode == TRunMode::Play || cl.mode == TRunMode::Replay)
        InstallCrashReporting(
            argv[0], UserFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), ".local/state"),
            true);
    switch (cl.mode) {
        case TRunMode::Help:
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        case TRunMode::Version:
            std::fputs(VersionText().c_str(), stdout);
            return 0;
        case TRunMode::Replay:
        case TRunMode::CheckReplay:
            std::fprintf(stderr, "quorvatide: replays are not available in this build\n");
            return 2;
        case TRunMode::Play:
            break;
    }
    return Play();
}
