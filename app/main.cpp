// Quorvatide: a real-time defence game. The program takes no command-line arguments.
#include <cstdlib>
#include <cstring>

#include "core/form1.h"
#include "shell/platform/sdl_host.h"

int main() {
    return RunWindow([](TPlatform& platform) {
        auto form = std::make_unique<TForm1>(platform);
        // For looking at the board the start-up builds: QUORVATIDE_SHOW_BOARD=1 leaves the
        // splash panel hidden. No timer starts; the game waits as it does behind the splash.
        const char* showBoard = std::getenv("QUORVATIDE_SHOW_BOARD");
        if (showBoard && std::strcmp(showBoard, "1") == 0) form->pnlSplash->Hide();
        return form;
    });
}
