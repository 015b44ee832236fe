// The game's side of crash reporting: its screen and tick named in a report, and
// QUORVATIDE_TEST_CRASH, a way to check crash reporting by faulting on purpose.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "core/form1.h"
#include "platform/crash/crash_report.h"

// Names the game's screen and tick in a crash report while it lives.
class TGameCrashSections {
public:
    explicit TGameCrashSections(const TForm1& game);
    // The game's own shutdown follows: the report's screen says "closing" from now on, and it
    // has no tick. Then this may outlive the game.
    void Closing() { closing_.store(true); }

private:
    static void WriteScreen(TCrashText& text, const void* sections);
    static void WriteTick(TCrashText& text, const void* sections);

    const TForm1& game_;
    std::atomic<bool> closing_{false};
    TCrashSection screen_, tick_;
};

enum class TTestCrash { None, Segv, Abort, Throw, Fpe, Stack, Thread, Memory };

// The value of QUORVATIDE_TEST_CRASH: "segv", "abort", "throw", "fpe", "stack", "thread" or
// "memory". Unset or empty is None; anything else is None too, with a one-line warning for stderr.
TTestCrash ParseTestCrash(const char* value, std::string& warning);

// Faults as asked: a write through a null pointer, abort(), an exception nobody catches, an
// integer division by zero, a stack overflow (RecurseWithoutEnd), a write through a null pointer
// on a thread of its own while the caller waits for it, memory asked for that no system has.
// Returns for None only.
void CrashOnPurpose(TTestCrash how);

// To be called after every dispatch the game is handed: faults as asked the first time it is
// called once the game's first tick of play has run. Null for None.
std::function<void()> TestCrashHook(TTestCrash how, const TForm1& game);
