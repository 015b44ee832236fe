// Crash reporting in the browser. A fault in the WebAssembly (a trap, abort(), memory that
// cannot grow, a C++ exception nobody catches) never leaves a frozen canvas: the page's script
// hands it here while the module can still run (Module.onAbort, the window's error event), and
// std::terminate and a fault raised as a signal come here directly. The backtrace is the
// WebAssembly frames of the browser's stack, each as the code's offset in the module and the
// function's index, which the build's symbol map (quorvatide.js.symbols) names. The report is
// written to the player's state folder (kept in the browser's storage), the replay flushed, and the
// page shows the report with buttons to download it and the replay.
#include <cxxabi.h>
#include <emscripten.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <typeinfo>
#include <vector>

#include "platform/crash/crash_report.h"
#include "quorvatide_version.h"

namespace {

struct TWebCrash {
    std::string stateDir;
    std::atomic<bool> reported{false};
    char report[16384];
    std::string path;
};
TWebCrash gCrash;

constexpr char kModule[] = "quorvatide.wasm";

// The frames of the page's "index:offset index:offset …" (offsets in hexadecimal), the innermost
// first, and the report's backtrace lines with each function's index put in.
struct TWasmFrames {
    std::vector<TCrashFrame> frames;
    std::map<uint64_t, std::string> names;

    explicit TWasmFrames(const char* text) {
        std::istringstream in(text ? text : "");
        for (std::string pair; in >> pair && frames.size() < 64;) {
            const size_t colon = pair.find(':');
            if (colon == std::string::npos) continue;
            char* end = nullptr;
            const unsigned long long offset = std::strtoull(pair.c_str() + colon + 1, &end, 16);
            if (!end || *end != '\0') continue;
            TCrashFrame f;
            f.pc = uintptr_t(offset);
            f.module = kModule;
            f.moduleLength = sizeof kModule - 1;
            f.offset = uintptr_t(offset);
            frames.push_back(f);
            names[offset] = "wasm-function[" + pair.substr(0, colon) + "]";
        }
    }
    void Name(char* report, size_t size) const {
        std::istringstream lines(report);
        std::string named;
        for (std::string line; std::getline(lines, line);)
            named +=
                NameCrashFrameWith(line,
                                   [this](const std::string&, uint64_t offset) {
                                       const auto found = names.find(offset);
                                       return found == names.end() ? std::string() : found->second;
                                   }) +
                "\n";
        TCrashText(report, size).Add(named.c_str());
    }
};

// The WebAssembly frames of the stack as it is now (see pre.js).
std::string FramesHere() {
    char* text = reinterpret_cast<char*>(static_cast<uintptr_t>(
        EM_ASM_INT({ return allocateUTF8(Module.qvWasmFrames ? Module.qvWasmFrames() : ""); })));
    std::string frames = text ? text : "";
    std::free(text);
    return frames;
}

// Writes the report and the replay; returns the report's text. Only the first fault reports.
const char* Report(const char* cause, const char* meaning, const char* detail, bool terminated,
                   const char* exceptionType, const char* exceptionMessage,
                   const std::string& stack) {
    if (gCrash.reported.exchange(true)) return gCrash.report;
    const TWasmFrames frames(stack.c_str());
    TCrashFacts facts;
    facts.version = kGameVersion;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    facts.time = CrashTimeFromSeconds(int64_t(now) + local.tm_gmtoff);
    facts.cause = cause;
    // The browser's words for the fault, after the meaning.
    static char meaningText[512];
    TCrashText m(meaningText, sizeof meaningText);
    m.Add(meaning);
    if (detail && *detail) m.Add(": ").OneLine(detail);
    facts.meaning = meaningText;
    facts.terminated = terminated;
    facts.exceptionType = exceptionType;
    facts.exceptionMessage = exceptionMessage;
    facts.program = "quorvatide (WebAssembly)";
    facts.pid = 1;
    facts.frames = frames.frames.data();
    facts.frameCount = int(frames.frames.size());
    FormatCrashReport(gCrash.report, sizeof gCrash.report, facts, nullptr);
    frames.Name(gCrash.report, sizeof gCrash.report);
    // Whatever the recorder still holds, into the replay's file.
    FlushCrashReplay();
    if (!gCrash.stateDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(gCrash.stateDir, ec);
        char name[64];
        TCrashText t(name, sizeof name);
        t.Add("crash-");
        AddCrashTime(t, facts.time, '_', '-');
        t.Add(".txt");
        gCrash.path = gCrash.stateDir + name;
        if (std::FILE* f = std::fopen(gCrash.path.c_str(), "wb")) {
            std::fputs(gCrash.report, f);
            std::fclose(f);
        } else {
            gCrash.path.clear();
        }
    }
    std::fprintf(stderr, "quorvatide: the game has stopped: %s; crash report: %s\n", cause,
                 gCrash.path.empty() ? "not written" : gCrash.path.c_str());
    return gCrash.report;
}

[[noreturn]] void Stop(const char* text);

[[noreturn]] void OnTerminate() {
    std::string type, message;
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            int status = 0;
            char* name = abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status);
            type = status == 0 && name ? name : typeid(e).name();
            std::free(name);
            message = e.what();
        } catch (...) {
            type = "an exception of an unknown type";
        }
    }
    Stop(Report("abort", "an uncaught exception", nullptr, true, type.c_str(), message.c_str(),
                FramesHere()));
}

// The page shows the report; the module stops here.
[[noreturn]] void Stop(const char* text) {
    EM_ASM(
        {
            if (Module.qvShowCrash) Module.qvShowCrash(UTF8ToString($0), UTF8ToString($1));
        },
        text, gCrash.path.c_str());
    emscripten_cancel_main_loop();
    std::abort();
}

// WebAssembly has no memory faults (a write through a null pointer lands in the module's own
// memory) and emscripten's C library lets a raised fault signal pass without a handler, so a
// program that raises one to stop would run on: it stops here, as on the desktop.
constexpr struct {
    int signal;
    const char* name;
    const char* meaning;
} kFaultSignals[] = {{SIGSEGV, "SIGSEGV", "invalid memory access"},
                     {SIGBUS, "SIGBUS", "bus error"},
                     {SIGFPE, "SIGFPE", "arithmetic error"},
                     {SIGILL, "SIGILL", "illegal instruction"}};

void OnFaultSignal(int signal) {
    for (const auto& s : kFaultSignals)
        if (s.signal == signal)
            Stop(Report(s.name, s.meaning, "raised", false, "", "", FramesHere()));
    Stop(Report("signal", "a fault signal", nullptr, false, "", "", FramesHere()));
}

}  // namespace

// Called by the page's script for a fault it saw, with the WebAssembly frames of its stack: the
// report's text, for the page to show.
extern "C" EMSCRIPTEN_KEEPALIVE const char* qv_web_crash(const char* cause, const char* detail,
                                                         const char* frames) {
    const std::string what = detail ? detail : "";
    const char* meaning = what.find("memory") != std::string::npos ? "out of memory"
                          : std::strcmp(cause, "abort") == 0       ? "the program aborted"
                                                                   : "a fault in the WebAssembly";
    return Report(cause, meaning, detail, false, "", "", frames ? frames : "");
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* qv_web_crash_path() {
    return gCrash.path.c_str();
}

void InstallCrashReporting(const std::string&, const std::string& stateDir, bool) {
    gCrash.stateDir = stateDir;
    std::set_terminate(OnTerminate);
    for (const auto& s : kFaultSignals) std::signal(s.signal, OnFaultSignal);
}

int FinishCrashReport(int, char**, TShowCrashDialog) {
    std::fputs("quorvatide: --crash-report is not for the browser build\n", stderr);
    return 2;
}
