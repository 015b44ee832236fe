// Crash reporting. A fatal fault or an uncaught C++ exception anywhere in the program writes a
// crash report to the player's state folder (crash-<date>_<time>.txt, else to the error
// output), flushes the session's replay, names the report in one line on the error output,
// shows a dialog when the game had a window, and ends the program with the fault's own status.
//
// This part, the same on every system, is the report's text and the sections the game fills,
// with only what is safe in a signal handler. Each system's driver (posix_crash.cpp) catches the
// faults and writes the report; a fresh process (kCrashReportOption) then names the backtrace's
// functions and shows the dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// ---------------------------------------------------------------- the driver's entry points

// Installs the handlers. `exePath` is the program as started (argv[0]); `stateDir` the player's
// state folder ending in '/', created if missing, or empty when there is none; `window` whether
// the program opens a window, so that a crash shows the dialog. Does nothing in a build with
// AddressSanitizer, whose own reports come first.
void InstallCrashReporting(const std::string& exePath, const std::string& stateDir, bool window);

// The first argument of the fresh process that finishes a report: main hands such a command
// line to FinishCrashReport before reading any other option. It is no option for players.
constexpr const char* kCrashReportOption = "--crash-report";
// Shows the dialog with the crash's words, for a driver whose system has no message box of its
// own: the host's (SDL's on the desktop); false when it could not be shown.
using TShowCrashDialog = bool (*)(const char* title, const char* text);
constexpr const char* kCrashDialogTitle = "Quorvatide has stopped";
// Names the functions of the report's backtrace, writes the report again (or, for a report
// read from stdin, to stderr) and, when asked, shows the dialog (with `show` where the system
// has none of its own). Returns the exit status.
int FinishCrashReport(int argc, char** argv, TShowCrashDialog show);

// The first line of every report.
constexpr const char* kCrashReportTitle = "Quorvatide crash report";

// ---------------------------------------------------------------- what the game tells it

// The session's replay, named in the report; may be called again when the file is renamed.
void SetCrashReplay(const std::string& path);
// Writes what the replay still holds in memory. Called from the signal handler between the
// report's text before the replay's line and the rest, so it may only do what is safe there
// (write(2) bytes already in memory).
void SetCrashReplayFlush(void (*flush)(void* context), void* context);

// Text without allocation, appended to a caller's buffer, always NUL-terminated; what does not
// fit is dropped.
class TCrashText {
public:
    TCrashText(char* buffer, size_t size) : buffer_(buffer), size_(size) {
        if (size_) buffer_[0] = '\0';
    }
    TCrashText& Add(const char* s) {
        while (s && *s) Put(*s++);
        return *this;
    }
    TCrashText& Add(const char* s, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(s[i]);
        return *this;
    }
    TCrashText& Put(char c) {
        if (length_ + 1 < size_) {
            buffer_[length_++] = c;
            buffer_[length_] = '\0';
        }
        return *this;
    }
    TCrashText& Number(long long value, int width = 0);
    TCrashText& Hex(uintptr_t value, int width = 0);
    // Text from elsewhere (an exception's message) on one line: control characters as spaces.
    TCrashText& OneLine(const char* s) {
        for (; s && *s; ++s) Put(static_cast<unsigned char>(*s) < 32 ? ' ' : *s);
        return *this;
    }
    size_t Length() const { return length_; }

private:
    char* buffer_;
    size_t size_;
    size_t length_ = 0;
};

// One of the report's lines about the game, "Screen" or "Tick", given its value by `write` for
// as long as this lives; without one the line says "none". Of several for the same line the
// newest speaks. `write` is called from the signal handler with `context`: it may only read
// memory and append to the text. The table is fixed and filled atomically, so that a fault
// while a section comes or goes still finds a whole one.
class TCrashSection {
public:
    using TWrite = void (*)(TCrashText& text, const void* context);
    TCrashSection(const char* line, TWrite write, const void* context);
    ~TCrashSection();
    TCrashSection(const TCrashSection&) = delete;
    TCrashSection& operator=(const TCrashSection&) = delete;

private:
    int slot_ = -1;
};

// ---------------------------------------------------------------- the report, for the drivers

// A local date and time, for the report and its file name.
struct TCrashTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// Seconds since 1970 (plus the local offset from UTC) as a date and time.
TCrashTime CrashTimeFromSeconds(int64_t seconds);
// "2024-02-29 12:34:56" with the separators given.
void AddCrashTime(TCrashText& text, const TCrashTime& time, char dateTimeSeparator,
                  char timeSeparator);

// One return address of the backtrace, with the module it lies in (not NUL-terminated) and its
// offset in that module's file; module null when not found.
struct TCrashFrame {
    uintptr_t pc = 0;
    const char* module = nullptr;
    size_t moduleLength = 0;
    uintptr_t offset = 0;
};

// What the report says besides the sections.
struct TCrashFacts {
    const char* version = "";
    TCrashTime time;
    // What stopped the program, as the system names it ("SIGSEGV"), what that means ("invalid
    // memory access") and, for a fault, the system's reason when it tells one.
    const char* cause = "";
    const char* meaning = "";
    const char* detail = nullptr;
    // A fault, at `address`; else, when another process sent the signal, that one.
    bool fault = false;
    uintptr_t address = 0;
    int sender = 0;
    // std::terminate: the uncaught exception's type ("" when there was none) and message.
    bool terminated = false;
    const char* exceptionType = "";
    const char* exceptionMessage = "";
    const char* program = "";
    int pid = 0;
    const TCrashFrame* frames = nullptr;
    int frameCount = 0;
};

// Writes the report into `buffer` (NUL-terminated, cut short when it does not fit) and returns
// its length. `replayLineAt` receives where the replay's line begins: the replay is flushed
// between writing what comes before it and the rest.
size_t FormatCrashReport(char* buffer, size_t size, const TCrashFacts& facts, size_t* replayLineAt);
// The one line on stderr: where the report is (`reportPath`), or else why it went to stderr:
// `folder` could not be written for the reason `why` (none when null), or, with no folder,
// `why` is why there is none.
size_t FormatCrashNotice(char* buffer, size_t size, const TCrashFacts& facts,
                         const char* reportPath, const char* folder, const char* why);
// The replay's flush, for the driver.
void FlushCrashReplay();

// ------------------------------------------------------------------ std::terminate

// What the terminate handler noted of the uncaught exception, for the abort that follows it.
struct TUncaughtNote {
    bool terminated = false;
    char type[256] = "";
    char message[1024] = "";
};
// The desktop drivers' terminate handler (std::set_terminate): notes the uncaught exception's
// type, demangled, and its what() once, then aborts. Of the Itanium C++ ABI's native exceptions
// (the desktop's; the browser's, thrown in JavaScript, are told by their own handler).
[[noreturn]] void NoteTerminateAndAbort();
// What it noted; `terminated` false when std::terminate was not called.
const TUncaughtNote& UncaughtNote();

// ------------------------------------------------------------------ the fresh process's part

// The value of a report's line "<key>: value", empty when it has none.
std::string CrashReportValue(const std::string& report, const std::string& key);
// The dialog's words for a report saved as `where` ("-": written to stderr instead).
std::string CrashDialogText(const std::string& report, const std::string& where);
// A backtrace line "#N  0x<pc> (<module>+0x<offset>)" with the name `nameAt` gives for the
// module and offset put in before the parenthesis; the line as it was when it is no such line,
// names its function already (a report finished twice), or `nameAt` gives "".
using TCrashNameAt = std::function<std::string(const std::string& module, uint64_t offset)>;
std::string NameCrashFrameWith(const std::string& line, const TCrashNameAt& nameAt);
// The whole report with every backtrace line named: `nameAt` is asked with `exact` set for the
// first (the faulting frame, whose address is the instruction itself, not a return address).
using TCrashFrameNameAt =
    std::function<std::string(const std::string& module, uint64_t offset, bool exact)>;
std::string NameCrashReportFrames(const std::string& report, const TCrashFrameNameAt& nameAt);
// A function's name from its symbol, demangled when it can be, with the distance from its
// start: "TForm1::tmrTickTimer()+0x1c".
std::string CrashFunctionName(const char* symbol, uint64_t distance);
