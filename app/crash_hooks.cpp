#include "app/crash_hooks.h"

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include "shell/platform/crash_report.h"
#include "shell/screen_name.h"

namespace {

const char* ScreenOf(const void* form) {
    return ScreenName(*static_cast<const TForm1*>(form));
}

const char* Closing(const void*) {
    return "closing";
}

class TReportedForm1 : public TForm1 {
public:
    TReportedForm1(TPlatform& platform, const TSettings* settings) : TForm1(platform, *settings) {
        SetCrashGame(&tickCount, ScreenOf, this);
    }
    // What follows is the window's own shutdown (FormDestroy), with the game going.
    ~TReportedForm1() override { SetCrashGame(nullptr, Closing, nullptr); }
};

}  // namespace

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

std::unique_ptr<TForm1> CreateReportedForm(TPlatform& platform, TTestCrash testCrash,
                                           const TSettings* settings) {
    auto form = std::make_unique<TReportedForm1>(platform, settings);
    if (testCrash != TTestCrash::None) {
        auto tick = std::move(form->tmrTick->OnTimer);
        form->tmrTick->OnTimer = [tick = std::move(tick), testCrash] {
            tick();
            CrashOnPurpose(testCrash);
        };
    }
    return form;
}
