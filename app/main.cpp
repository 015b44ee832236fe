// Quorvatide: a real-time defence game. The program takes no command-line arguments.
#include "core/form1.h"
#include "shell/platform/sdl_host.h"

int main() {
    return RunWindow([](TPlatform& platform) { return std::make_unique<TForm1>(platform); });
}
