// What the operating system's part of the platform provides: files, the player's folders and
// whole writes. Each system has its own files for these (posix_*.cpp, windows_*.cpp); the program
// links the one of the system it is built for.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "toolkit/platform.h"

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

// The program's arguments, argv[0] first, in UTF-8 (on Windows read from the system's UTF-16
// command line: argv is in the ANSI code page there).
std::vector<std::string> NativeArguments(int argc, char** argv);

// Where the program's text output goes: on Windows, a GUI program, the console it was started
// from when there is one; nothing to do elsewhere.
void AttachToConsole();

// std::fopen for a UTF-8 path.
std::FILE* NativeOpenFile(const std::string& path, const char* mode);

// Sends the error output to nowhere until RestoreStderr is given what this returned.
int QuietStderr();
void RestoreStderr(int saved);

// The local date and time now, with the offset from UTC in seconds.
struct TLocalTime {
    std::tm when{};
    long utcOffset = 0;
};
TLocalTime NativeLocalTime();

// The SDL video driver to ask for, or null with `error` (one line) when there is no display.
const char* NativeVideoDriver(std::string& error);

// Makes the system's other requests to end the program end it as SIGTERM does (which the
// window's host turns into closing the window, and with it the session's recording): on POSIX
// SIGHUP, the terminal closing, unless it is ignored (nohup). Nothing to do on Windows.
void EndOnHangUpAsOnTerm();

// Writes all of `data` to the descriptor, going on after interruptions; false when it cannot.
// Safe in a signal handler.
bool WriteFully(int fd, const void* data, size_t size) noexcept;
