#include "app/crash_hooks.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include "shell/screen_name.h"

namespace {

void WriteScreen(TCrashText& text, const void* game) {
    text.Add(ScreenName(*static_cast<const TForm1*>(game)));
}

void WriteTick(TCrashText& text, const void* game) {
    text.Number(static_cast<const TForm1*>(game)->tickCount);
}

void WriteClosing(TCrashText& text, const void*) {
    text.Add("closing");
}

}  // namespace

TGameCrashSections::TGameCrashSections(const TForm1& game) {
    screen_.emplace("Screen", WriteScreen, &game);
    tick_.emplace("Tick", WriteTick, &game);
}

void TGameCrashSections::Closing() {
    // The new screen first: the report never goes without one meanwhile.
    if (!closing_) closing_.emplace("Screen", WriteClosing, nullptr);
    screen_.reset();
    tick_.reset();
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
