// The player's options: the sound's volumes, the window, calm effects, the pause when the
// window loses the focus and the game's speed. They are kept in options.ini in the player's
// settings folder, beside a settings.ini of the player's own and never in it: settings.ini is
// the game's balance, these are how the player likes to play it.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/platform.h"

struct TOptions {
    // 0 (silent) to 100 (as the files are), in steps of 10.
    int musicVolume = 100;
    int effectsVolume = 100;
    bool fullscreen = false;
    // The window's whole-number scale; 0: the largest that fits the screen.
    int windowScale = 0;
    // The red warning frames shown steady instead of flashing, the game-over explosions dimmed.
    bool calmEffects = false;
    bool pauseOnFocusLoss = true;
    // Percent of the game's own pace: one of kGameSpeeds.
    int gameSpeed = 100;
    // The lesson: finished, and the last step reached (0: not begun).
    bool lessonDone = false;
    int lessonStep = 0;

    bool operator==(const TOptions&) const = default;
};

// The speeds a player may choose, fastest first.
constexpr int kGameSpeeds[] = {100, 80, 60, 40};

// The file's name in the player's settings folder.
constexpr const char* kOptionsFileName = "options.ini";

// The options as the file holds them.
std::string FormatOptions(const TOptions& options);
// Reads the file's text. A line that is not an option this version knows, or a value out of its
// range, leaves that option at its default; the first such fault is told in `error` ("line 3:
// ..."), and the rest of the file still counts. Names of options a later version adds are
// passed over quietly.
TOptions ParseOptions(std::string_view text, std::string& error);

// Reads `folder`'s options file: the defaults when there is none. A damaged file gives its
// one-line warning in `warning` (with the file's path) and the defaults for what is damaged.
TOptions ReadOptions(IFiles& files, const std::string& folder, std::string& warning);
// Writes it whole, or not at all: into a file beside it, then renamed over it. 0, or the errno.
int WriteOptions(IFiles& files, const std::string& folder, const TOptions& options);
