// Faults in the way its first argument names, with crash reporting installed as the game
// installs it, for tests/real_crash_test.sh: the reporting path of a real fault, without a
// window. The replay is a stand-in: its flush appends "flushed" to <state folder>/flushed.
//
//   qv_crash_probe segv|abort|throw|fpe|stack|nested|thread <state folder> [window]
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/crash/crash_report.h"

namespace {

int gFlushed = -1;
int gTick = 42;
volatile int* volatile gNowhere = nullptr;
volatile int gBottomless = -1;

void Flush(void*) {
    if (gFlushed >= 0) {
        const char text[] = "flushed\n";
        if (write(gFlushed, text, sizeof text - 1) < 0) return;
    }
}

void FlushThatFaults(void*) {
    *gNowhere = 1;
}

void WriteScreen(TCrashText& text, const void*) {
    text.Add("play");
}

void WriteTick(TCrashText& text, const void* tick) {
    text.Number(*static_cast<const int*>(tick));
}

// A stack overflow: recursion that never reaches its end.
[[gnu::noinline]] int Recurse(int depth) {
    if (depth == gBottomless) return 0;
    volatile char frame[1024];
    frame[0] = char(depth);
    return Recurse(depth + 1) + frame[0];
}

[[gnu::noinline]] void FaultAsAsked(const std::string& how) {
    if (how == "segv") *gNowhere = 1;
    // nested: the replay's flush faults while the abort is reported.
    if (how == "abort" || how == "nested") std::abort();
    if (how == "throw") throw std::logic_error("probe: thrown and never caught");
    if (how == "fpe") {
        volatile int one = 1, zero = 0;
        volatile int quotient = one / zero;
        (void)quotient;
    }
    if (how == "stack") Recurse(0);
    if (how == "thread") std::thread([] { FaultAsAsked("segv"); }).join();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kCrashReportOption) == 0)
        return FinishCrashReport(argc, argv, nullptr);  // no display: no dialog
    if (argc < 3) return 2;
    const std::string how = argv[1], folder = argv[2];
    InstallCrashReporting(argv[0], folder, argc > 3 && std::strcmp(argv[3], "window") == 0);
    gFlushed = open((folder + "flushed").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    SetCrashReplay(folder + "replays/probe-old.qvr");
    SetCrashReplay(folder + "replays/probe.qvr");
    SetCrashReplayFlush(how == "nested" ? FlushThatFaults : Flush, nullptr);
    const TCrashSection screen("Screen", WriteScreen, nullptr);
    const TCrashSection tick("Tick", WriteTick, &gTick);
    FaultAsAsked(how);
    return 3;
}
