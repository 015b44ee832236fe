// Runs a window in a real SDL window until it is closed.
#pragma once

#include <functional>
#include <memory>

#include "shell/toolkit/form.h"

using TFormFactory = std::function<std::unique_ptr<TForm>(TPlatform&)>;

// Opens the display and the audio device, creates the form, shows it and runs its events and
// timers until the window is closed (or SIGINT/SIGTERM arrives); then destroys the form.
// Returns the program's exit code: non-zero, with one line on stderr, when there is no display.
int RunWindow(const TFormFactory& createForm);
