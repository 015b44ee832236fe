#include "app/crash_hooks.h"

#include <csignal>
#include <cstdlib>
#include <limits>
#include <memory>
#include <stdexcept>
#include <thread>

#include "shell/screen_name.h"

TGameCrashSections::TGameCrashSections(const TForm1& game)
    : game_(game), screen_("Screen", WriteScreen, this), tick_("Tick", WriteTick, this) {}

void TGameCrashSections::WriteScreen(TCrashText& text, const void* sections) {
    const auto& s = *static_cast<const TGameCrashSections*>(sections);
    text.Add(s.closing_.load() ? "closing" : ScreenName(s.game_));
}

void TGameCrashSections::WriteTick(TCrashText& text, const void* sections) {
    const auto& s = *static_cast<const TGameCrashSections*>(sections);
    if (s.closing_.load())
        text.Add("none");
    else
        text.Number(s.game_.tickCount);
}

TTestCrash ParseTestCrash(const char* value, std::string& warning) {
    warning.clear();
    if (!value || !*value) return TTestCrash::None;
    const std::string v = value;
    if (v == "segv") return TTestCrash::Segv;
    if (v == "abort") return TTestCrash::Abort;
    if (v == "throw") return TTestCrash::Throw;
    if (v == "fpe") return TTestCrash::Fpe;
    if (v == "stack") return TTestCrash::Stack;
    if (v == "thread") return TTestCrash::Thread;
    if (v == "memory") return TTestCrash::Memory;
    warning = "quorvatide: QUORVATIDE_TEST_CRASH='" + v +
              "' is not one of segv, abort, throw, fpe, stack, thread, memory; no crash on "
              "purpose";
    return TTestCrash::None;
}

namespace {

volatile int gBottom = -1;
char* volatile gKept = nullptr;

// Recursion that never reaches its end: each call keeps a frame of its own on the stack.
[[gnu::noinline]] int RecurseWithoutEnd(int depth) {
    if (depth == gBottom) return 0;
    volatile char frame[512];
    frame[0] = char(depth);
    return RecurseWithoutEnd(depth + 1) + frame[0];
}

}  // namespace

// Not inlined, so that a crash report shows it by name.
[[gnu::noinline]] void CrashOnPurpose(TTestCrash how) {
    switch (how) {
        case TTestCrash::None:
            return;
        case TTestCrash::Segv: {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
            break;
        }
        case TTestCrash::Abort:
            std::abort();
        case TTestCrash::Throw:
            throw std::runtime_error(
                "QUORVATIDE_TEST_CRASH=throw: an exception nobody catches, on purpose");
        case TTestCrash::Fpe: {
            volatile int one = 1, zero = 0;
            volatile int quotient = one / zero;
            (void)quotient;
            break;
        }
        case TTestCrash::Stack:
            RecurseWithoutEnd(0);
            break;
        case TTestCrash::Thread:
            std::thread([] { CrashOnPurpose(TTestCrash::Segv); }).join();
            break;
        case TTestCrash::Memory:
            // Half of all there is to address: no system gives it, and nothing catches the
            // std::bad_alloc. Kept where the compiler cannot see it go unused, so the request
            // is made.
            gKept = std::make_unique<char[]>(std::numeric_limits<size_t>::max() / 2).release();
            break;
    }
    // Where the processor does not fault on these, the signal all the same.
    std::raise(how == TTestCrash::Fpe ? SIGFPE : SIGSEGV);
}

std::function<void()> TestCrashHook(TTestCrash how, const TForm1& game) {
    if (how == TTestCrash::None) return {};
    return [how, &game, done = false]() mutable {
        if (done || game.tickCount <= 0) return;
        done = true;
        CrashOnPurpose(how);
    };
}
