// What the operating system's part of the platform provides: files, the player's folders and
// whole writes. Each system has its own files for these (posix_*.cpp here); the program links
// the one of the system it is built for.
#pragma once

#include <cstddef>
#include <string>

#include "shell/toolkit/platform.h"

// The host's files (see IFiles), for the game and for the program around it.
IFiles& NativeFiles();

// The player's own folders, each ending in a separator, or empty when there is none: settings
// of the player's own in `config`, replays, crash reports and the debug log's fallback in
// `state`.
struct TUserFolders {
    std::string config, state;
};
TUserFolders NativeUserFolders();

// "<base>/quorvatide/" where base is `xdgHome` when it is an absolute path, else
// "<home>/<homeFallback>" (e.g. ".config"); empty when neither gives an absolute path.
std::string UserFolder(const char* xdgHome, const char* home, const char* homeFallback);

// Writes all of `data` to the descriptor, going on after interruptions; false when it cannot.
// Safe in a signal handler.
bool WriteFully(int fd, const void* data, size_t size) noexcept;
