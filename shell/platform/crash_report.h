// Crash reporting. A fatal signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) or an uncaught
// C++ exception anywhere in the program writes a crash report to the player's state folder
// ($XDG_STATE_HOME/quorvatide/crash-<date>_<time>.txt, or stderr when that folder cannot be
// written), flushes the session's replay, names the report in one line on stderr, shows a
// dialog when the game had a window, and ends the program with the signal's own status.
//
// The dying process only does what is safe in a signal handler: it writes the report with the
// backtrace as raw addresses, each with its module and the offset in that module's file (from
// /proc/self/maps). The program is then started again as a fresh process with
// kCrashReportOption: that one names the backtrace's functions from the modules' symbol tables
// (the executable exports its functions, so a stripped one still has their names), rewrites the
// report and shows the dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Installs the handlers: for the five signals (on an alternate stack, so that a stack overflow
// is reported too) and for std::terminate. `exePath` is the program as started (argv[0]);
// `stateDir` the player's state folder ending in '/', created if missing, or empty when there
// is none; `window` whether the program opens a window, so that a crash shows the dialog.
// Does nothing in a build with AddressSanitizer, whose own reports come first.
void InstallCrashReporting(const std::string& exePath, const std::string& stateDir, bool window);

// The session's replay, named in the report; may be called again when the file is renamed.
void SetCrashReplay(const std::string& path);
// Writes what the replay still holds in memory. Called from the signal handler, so it may only
// do what is safe there (write(2) bytes already in memory).
void SetCrashReplayFlush(void (*flush)(void* context), void* context);
// The game, for the report's screen and tick count: `screen(form)` names the screen shown and
// `*tickCount` is read at the fault. Either may be null (none).
void SetCrashGame(const int* tickCount, const char* (*screen)(const void* form), const void* form);

// The first line of every report.
constexpr const char* kCrashReportTitle = "Quorvatide crash report";

// The first argument of the fresh process that finishes a report: main hands such a command
// line to FinishCrashReport before reading any other option. It is no option for players.
constexpr const char* kCrashReportOption = "--crash-report";
// Names the functions of the report's backtrace, writes the report again (or, for a report
// read from stdin, to stderr) and, when asked, shows the dialog. Returns the exit status.
int FinishCrashReport(int argc, char** argv);

// ---- The parts, for the tests. None of these allocates; those used by the signal handler
// only make calls that are safe there.

// A local date and time, for the report and its file name.
struct TCrashTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// Seconds since 1970 (plus the local offset from UTC) as a date and time.
TCrashTime CrashTimeFromSeconds(int64_t seconds);

// One return address of the backtrace, with the module it lies in (a path in the maps text,
// not NUL-terminated) and its offset in that module's file; module null when not found.
struct TCrashFrame {
    uintptr_t pc = 0;
    const char* module = nullptr;
    size_t moduleLength = 0;
    uintptr_t offset = 0;
};
// Finds the module of `frame.pc` in the text of /proc/<pid>/maps.
void FindCrashModule(const char* maps, size_t length, TCrashFrame& frame);

// What the report says.
struct TCrashFacts {
    const char* version = "";
    TCrashTime time;
    int signal = 0;
    // The signal's si_code, and for faults the address (si_addr) or for a signal sent by
    // another process its sender (si_pid).
    int code = 0;
    uintptr_t address = 0;
    int sender = 0;
    int pid = 0;
    // std::terminate: the uncaught exception's type ("" when there was none) and message.
    bool terminated = false;
    const char* exceptionType = "";
    const char* exceptionMessage = "";
    // The screen shown and the tick count; null screen, no tick: no game.
    const char* screen = nullptr;
    bool haveTick = false;
    int tick = 0;
    const char* program = "";
    // The replay's path; null or empty: none.
    const char* replay = nullptr;
    const TCrashFrame* frames = nullptr;
    int frameCount = 0;
};

// Writes the report into `buffer` (NUL-terminated, cut short when it does not fit) and returns
// its length. `replayLineAt` receives where the replay's line begins: the replay is flushed
// between writing what comes before it and the rest.
size_t FormatCrashReport(char* buffer, size_t size, const TCrashFacts& facts, size_t* replayLineAt);
// The one line on stderr: where the report is (`reportPath`), or why it went to stderr
// (`folder` could not be written: `error` an errno value, 0 when there is no folder).
size_t FormatCrashNotice(char* buffer, size_t size, const TCrashFacts& facts,
                         const char* reportPath, const char* folder, int error);

// Creates the report's file in `folder` as crash-<date>_<time>.txt (with -2, -3, … when that
// exists), writing its path into `path`. Returns the open descriptor, or -1 with `error` set
// (ENOENT for an empty folder name) and `path` empty.
int CreateCrashReportFile(const char* folder, const TCrashTime& time, char* path, size_t size,
                          int& error);

// The fresh process's part: a report's backtrace line "#N  0x<pc> (<module>+0x<offset>)" with
// the function's name put in, found in the module's symbol table; the line as it was when the
// module or the name cannot be found. `exact` is for the faulting frame, whose address is the
// instruction itself, not a return address.
std::string NameCrashFrame(const std::string& line, bool exact);
