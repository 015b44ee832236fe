#include "app/crash_hooks.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>

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
    warning = "quorvatide: QUORVATIDE_TEST_CRASH='" + v +
              "' is not one of segv, abort, throw, fpe; no crash on purpose";
    return TTestCrash::None;
}

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
