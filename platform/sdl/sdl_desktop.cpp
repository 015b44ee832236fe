// The desktop's drive of the window: one loop that sleeps until an event comes or a timer is
// due.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/native.h"
#include "platform/sdl/sdl_host.h"

std::string ExecutableDir() {
    std::string dir;
    if (char* base = SDL_GetBasePath()) {
        dir = base;
        SDL_free(base);
    }
    if (dir.empty()) dir = "./";
    // SDL ends it in the system's separator ('\\' on Windows), which the game's '/' may follow.
    if (dir.back() != '/' && dir.back() != '\\') dir += '/';
    return dir;
}

int RunWindow(const TSessionFactory& createSession) {
    // Only a real display will do: without this SDL would quietly fall back to an off-screen
    // driver and the game would run where nobody can see it.
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (!requested || !*requested) {
        std::string why;
        const char* driver = NativeVideoDriver(why);
        if (!driver) {
            std::fprintf(stderr, "quorvatide: cannot open the game window: %s\n", why.c_str());
            return 1;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    }
    // The terminal closing ends the game as SIGTERM does: the window closes and the replay is
    // written to its end.
    EndOnHangUpAsOnTerm();
    int exitCode = 0;
    TWindowRunPtr run = OpenWindowRun(createSession, exitCode);
    if (!run) return exitCode;
    while (StepWindowRun(*run, true)) {
    }
    return FinishWindowRun(std::move(run));
}
