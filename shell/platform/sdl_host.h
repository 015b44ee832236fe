// Runs a window in a real SDL window until it is closed.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shell/toolkit/session.h"

// Makes the window's session (and with it the window) on the host's real platform.
using TSessionFactory = std::function<std::unique_ptr<IWindowSession>(TPlatform&)>;

// Opens the display and the audio device, creates the session, shows its window and runs its
// events and timers until the window is closed (or SIGINT/SIGTERM arrives); then closes the
// session and destroys it. Returns the program's exit code: non-zero, with one line on stderr,
// when there is no display, or when the factory makes no session.
int RunWindow(const TSessionFactory& createSession);

// The folder of the running executable, ending in a separator.
std::string ExecutableDir();
