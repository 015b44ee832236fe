// Quorvatide: a real-time defence game. Without options it plays; see --help.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli.h"
#include "core/form1.h"
#include "shell/platform/sdl_host.h"

namespace {

int Play() {
    return RunWindow([](TPlatform& platform) {
        auto form = std::make_unique<TForm1>(platform);
        // For looking at the board the start-up builds: QUORVATIDE_SHOW_BOARD=1 leaves the
        // splash panel hidden. No timer starts; the game waits as it does behind the splash.
        const char* showBoard = std::getenv("QUORVATIDE_SHOW_BOARD");
        if (showBoard && std::strcmp(showBoard, "1") == 0) form->pnlSplash->Hide();
        return form;
    });
}

}  // namespace

int main(int argc, char** argv) {
    const TCommandLine cl = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!cl.error.empty()) {
        std::fprintf(stderr, "quorvatide: %s\n", cl.error.c_str());
        return 2;
    }
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
