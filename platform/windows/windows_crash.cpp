// The Windows driver of crash reporting, in the dying process: the unhandled-exception filter,
// abort's signal and std::terminate, the backtrace unwound from the fault's context with each
// frame's module and offset, the report's file, and the start of the fresh process
// (windows_crash_helper.cpp) that names the functions and shows the dialog. What runs after a
// fault uses static buffers and the system's own calls only: the heap may be what broke.
#include <io.h>
#include <signal.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/crash/crash_report.h"
#include "platform/native.h"
#include "platform/windows/windows_native.h"
#include "quorvatide_version.h"
#include "toolkit/utf8_path.h"

namespace {

template <size_t N>
void CopyInto(char (&to)[N], const char* from) {
    TCrashText(to, N).Add(from);
}

// All of `data`, or false with `error` (an errno value) when the file takes no more.
bool WriteAll(HANDLE file, const char* data, size_t length, int& error) {
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, DWORD(length), &written, nullptr) || written == 0) {
            error = ErrnoFromWindows(GetLastError());
            return false;
        }
        data += written;
        length -= written;
    }
    return true;
}

// A copy of one of the program's standard handles that a child process inherits; the handle
// itself when there is none to copy.
HANDLE Inheritable(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    HANDLE copy = nullptr;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return handle;
    return copy;
}

void WriteStderr(const char* data, size_t length) {
    // The C runtime's descriptor 2: the console attached at start-up, or a redirection.
    WriteFully(2, data, length);
}

struct TExceptionName {
    DWORD code;
    const char* name;
    const char* meaning;
};
constexpr TExceptionName kExceptions[] = {
    {EXCEPTION_ACCESS_VIOLATION, "EXCEPTION_ACCESS_VIOLATION", "invalid memory access"},
    {EXCEPTION_IN_PAGE_ERROR, "EXCEPTION_IN_PAGE_ERROR", "page could not be read"},
    {EXCEPTION_STACK_OVERFLOW, "EXCEPTION_STACK_OVERFLOW", "stack overflow"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "EXCEPTION_ILLEGAL_INSTRUCTION", "illegal instruction"},
    {EXCEPTION_PRIV_INSTRUCTION, "EXCEPTION_PRIV_INSTRUCTION", "privileged instruction"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "EXCEPTION_INT_DIVIDE_BY_ZERO", "arithmetic error"},
    {EXCEPTION_INT_OVERFLOW, "EXCEPTION_INT_OVERFLOW", "arithmetic error"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "EXCEPTION_FLT_DIVIDE_BY_ZERO", "arithmetic error"},
    {EXCEPTION_FLT_INVALID_OPERATION, "EXCEPTION_FLT_INVALID_OPERATION", "arithmetic error"},
    {EXCEPTION_DATATYPE_MISALIGNMENT, "EXCEPTION_DATATYPE_MISALIGNMENT", "misaligned address"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "EXCEPTION_ARRAY_BOUNDS_EXCEEDED", "array bounds exceeded"},
    {EXCEPTION_BREAKPOINT, "EXCEPTION_BREAKPOINT", "breakpoint"},
};

// ---------------------------------------------------------------- the installed state

constexpr int kMaxFrames = 100;
constexpr size_t kPath = 1024;

struct TState {
    bool window = false;
    long utcOffset = 0;
    char program[kPath] = "";
    wchar_t programWide[kPath] = L"";
    char folder[kPath] = "";
    wchar_t folderWide[kPath] = L"";
    std::atomic<DWORD> reporter{0};
    TCrashFrame named[kMaxFrames];
    char modules[kMaxFrames][kPath] = {};
    wchar_t moduleWide[kPath] = L"";
    char cause[64] = "";
    char report[48 * 1024] = "";
    char path[kPath] = "";
    wchar_t pathWide[kPath] = L"";
    char line[kPath + 512] = "";
    wchar_t command[3 * kPath] = L"";
};
TState gCrash;

// UTF-16 into a fixed buffer, without the heap.
template <size_t N>
void Narrow(const wchar_t* from, char (&to)[N]) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, from, -1, to, int(N), nullptr, nullptr);
    if (n <= 0) to[0] = '\0';
}
template <size_t N>
void Widen(const char* from, wchar_t (&to)[N]) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, from, -1, to, int(N));
    if (n <= 0) to[0] = L'\0';
}

// The module holding `frame.pc`: its file and the offset from where it is loaded (for an
// executable or DLL, the address relative to its image base).
void FindModule(int index, TCrashFrame& frame) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(frame.pc), &module) ||
        !module)
        return;
    const DWORD n = GetModuleFileNameW(module, gCrash.moduleWide, DWORD(kPath));
    if (n == 0 || n >= kPath) return;
    Narrow(gCrash.moduleWide, gCrash.modules[index]);
    frame.module = gCrash.modules[index];
    frame.moduleLength = std::strlen(gCrash.modules[index]);
    frame.offset = frame.pc - uintptr_t(module);
}

// The backtrace from the faulting instruction down, unwound with the x64 unwind tables of each
// module (which mingw-w64 writes for every function).
int CollectFrames(const CONTEXT* start) {
    CONTEXT context;
    if (start) {
        context = *start;
    } else {
        RtlCaptureContext(&context);
    }
    int count = 0;
    while (count < kMaxFrames && context.Rip) {
        TCrashFrame& frame = gCrash.named[count];
        frame = TCrashFrame{};
        frame.pc = uintptr_t(context.Rip);
        FindModule(count, frame);
        ++count;
        DWORD64 base = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &base, nullptr);
        if (!function) {
            // A leaf function: its return address is on top of the stack.
            if (!context.Rsp) break;
            context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
            context.Rsp += 8;
            continue;
        }
        void* handlerData = nullptr;
        DWORD64 establisher = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handlerData,
                         &establisher, nullptr);
    }
    return count;
}

// Creates crash-<date>_<time>[-N].txt in the folder: the file, or INVALID_HANDLE_VALUE with
// `error` an errno value.
HANDLE CreateReportFile(const TCrashTime& time, int& error) {
    error = ENOENT;
    if (!gCrash.folder[0]) return INVALID_HANDLE_VALUE;
    for (int n = 1; n <= 20; ++n) {
        TCrashText t(gCrash.path, sizeof gCrash.path);
        t.Add(gCrash.folder);
        const char last = gCrash.folder[std::strlen(gCrash.folder) - 1];
        if (last != '/' && last != '\\') t.Put('/');
        t.Add("crash-");
        AddCrashTime(t, time, '_', '-');
        if (n > 1) t.Put('-').Number(n);
        t.Add(".txt");
        Widen(gCrash.path, gCrash.pathWide);
        const HANDLE file = CreateFileW(gCrash.pathWide, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD e = GetLastError();
        error = ErrnoFromWindows(e);
        if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) break;
    }
    gCrash.path[0] = '\0';
    return INVALID_HANDLE_VALUE;
}

// Starts the program again to name the backtrace's functions and show the dialog, and waits
// (at most 20 s) until it has finished the report: the report's file, or with `piped` the first
// `length` bytes of the report handed through a pipe as its standard input (the report could
// not be saved), written to the error output this program has.
bool FinishInFreshProcess(bool piped, size_t length) {
    wchar_t* c = gCrash.command;
    const auto add = [&](const wchar_t* s) {
        while (*s && c < gCrash.command + std::size(gCrash.command) - 1) *c++ = *s++;
        *c = L'\0';
    };
    add(L"\"");
    add(gCrash.programWide);
    add(L"\" --crash-report \"");
    add(piped ? L"-" : gCrash.pathWide);
    add(gCrash.window ? L"\" window" : L"\" no-window");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    HANDLE input = nullptr, feed = nullptr;
    if (piped) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        if (!CreatePipe(&input, &feed, &inherited, DWORD(sizeof gCrash.report))) return false;
        SetHandleInformation(feed, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = Inheritable(STD_OUTPUT_HANDLE);
        startup.hStdError = Inheritable(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(gCrash.programWide, gCrash.command, nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process);
    if (piped) {
        CloseHandle(input);
        int error = 0;
        if (started) WriteAll(feed, gCrash.report, length, error);
        CloseHandle(feed);
        for (const HANDLE copy : {startup.hStdOutput, startup.hStdError})
            if (copy != GetStdHandle(STD_OUTPUT_HANDLE) && copy != GetStdHandle(STD_ERROR_HANDLE))
                CloseHandle(copy);
    }
    if (!started) return false;
    CloseHandle(process.hThread);
    DWORD status = 1;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &status);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return status == 0;
}

long UtcOffsetNow() {
    return NativeLocalTime().utcOffset;
}

// Writes the report, flushes the replay, says where the report is, and starts the fresh
// process. `facts` has the cause; the rest is filled here.
void Report(TCrashFacts& facts, const CONTEXT* context) {
    const DWORD thread = GetCurrentThreadId();
    DWORD expected = 0;
    if (!gCrash.reporter.compare_exchange_strong(expected, thread)) {
        if (expected == thread) {
            TCrashText say(gCrash.line, sizeof gCrash.line);
            say.Add("quorvatide: the game has stopped: ").Add(facts.cause);
            say.Add(" while writing the crash report");
            if (gCrash.path[0]) say.Add("; what was written is in ").Add(gCrash.path);
            WriteStderr(gCrash.line, say.Put('\n').Length());
            TerminateProcess(GetCurrentProcess(), 3);
        }
        // Another thread is reporting; it ends the program.
        for (;;) Sleep(1000);
    }
    facts.version = kGameVersion;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const int64_t since1601 = (int64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10000000;
    facts.time = CrashTimeFromSeconds(since1601 - 11644473600LL + gCrash.utcOffset);
    facts.exceptionType = UncaughtNote().type;
    facts.exceptionMessage = UncaughtNote().message;
    facts.program = gCrash.program;
    facts.pid = int(GetCurrentProcessId());
    facts.frameCount = CollectFrames(context);
    facts.frames = gCrash.named;

    size_t replayAt = 0;
    const size_t length = FormatCrashReport(gCrash.report, sizeof gCrash.report, facts, &replayAt);
    int error = 0;
    bool saved = false;
    const HANDLE file = CreateReportFile(facts.time, error);
    if (file != INVALID_HANDLE_VALUE) {
        // Saved whole or not at all: on a full disk the report goes to stderr instead, and
        // nothing cut short is left.
        saved = WriteAll(file, gCrash.report, replayAt, error);
        FlushCrashReplay();
        saved = saved && WriteAll(file, gCrash.report + replayAt, length - replayAt, error);
        if (saved && !FlushFileBuffers(file)) {
            saved = false;
            error = ErrnoFromWindows(GetLastError());
        }
        CloseHandle(file);
        if (!saved) {
            DeleteFileW(gCrash.pathWide);
            gCrash.path[0] = '\0';
        }
    } else {
        FlushCrashReplay();
    }
    // The fresh process names the functions, and shows the dialog either way; the report as it
    // is when it cannot be started.
    if (saved)
        FinishInFreshProcess(false, 0);
    else if (!FinishInFreshProcess(true, length))
        WriteStderr(gCrash.report, length);
    const char* why = !gCrash.folder[0] ? "no state folder: LOCALAPPDATA is not known"
                                        : (error ? std::strerror(error) : nullptr);
    const size_t said = FormatCrashNotice(gCrash.line, sizeof gCrash.line, facts,
                                          saved ? gCrash.path : nullptr, gCrash.folder, why);
    WriteStderr(gCrash.line, said);
}

// The report of an exception, and the end of the program with its code as the status.
[[noreturn]] void ReportException(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    TCrashFacts facts;
    facts.cause = "exception";
    facts.meaning = "unhandled exception";
    for (const TExceptionName& e : kExceptions)
        if (e.code == record.ExceptionCode) {
            facts.cause = e.name;
            facts.meaning = e.meaning;
        }
    if (std::strcmp(facts.cause, "exception") == 0) {
        TCrashText(gCrash.cause, sizeof gCrash.cause)
            .Add("exception ")
            .Hex(record.ExceptionCode, 8);
        facts.cause = gCrash.cause;
    }
    facts.fault = true;
    facts.address = uintptr_t(record.ExceptionAddress);
    if ((record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION ||
         record.ExceptionCode == EXCEPTION_IN_PAGE_ERROR) &&
        record.NumberParameters >= 2) {
        const ULONG_PTR how = record.ExceptionInformation[0];
        facts.detail = how == 0 ? "reading" : how == 1 ? "writing" : "executing";
        facts.address = uintptr_t(record.ExceptionInformation[1]);
    }
    Report(facts, pointers->ContextRecord);
    // Ends the program with the exception's code as its status, as Windows does.
    TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
    for (;;) Sleep(1000);
}

LONG WINAPI OnException(EXCEPTION_POINTERS* pointers) {
    ReportException(pointers);
}

// A stack overflow leaves the faulting thread too little stack for the unhandled-exception
// filter (under wine, not even what SetThreadStackGuarantee asks for): the first handler the
// system calls hands the exception to a thread waiting from the start with a stack of its own,
// which reports it and ends the program, while the faulting thread waits.
HANDLE gOverflowed = nullptr;
EXCEPTION_POINTERS* volatile gOverflow = nullptr;

DWORD WINAPI ReportOverflows(void*) {
    WaitForSingleObject(gOverflowed, INFINITE);
    ReportException(gOverflow);
}

LONG WINAPI OnFirstChance(EXCEPTION_POINTERS* pointers) {
    if (pointers->ExceptionRecord->ExceptionCode != EXCEPTION_STACK_OVERFLOW || !gOverflowed)
        return EXCEPTION_CONTINUE_SEARCH;
    gOverflow = pointers;
    SetEvent(gOverflowed);
    for (;;) Sleep(1000);
}

// abort(): raises SIGABRT in the C runtime; std::terminate comes here too.
void OnAbort(int) {
    TCrashFacts facts;
    facts.cause = "SIGABRT";
    facts.meaning = "abort";
    facts.terminated = UncaughtNote().terminated;
    Report(facts, nullptr);
    TerminateProcess(GetCurrentProcess(), 3);
}

}  // namespace

void InstallCrashReporting(const std::string& exePath, const std::string& stateDir, bool window) {
    gCrash.window = window;
    const DWORD n = GetModuleFileNameW(nullptr, gCrash.programWide, DWORD(kPath));
    if (n > 0 && n < kPath) {
        Narrow(gCrash.programWide, gCrash.program);
    } else {
        CopyInto(gCrash.program, exePath.c_str());
        Widen(gCrash.program, gCrash.programWide);
    }
    if (!stateDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(Utf8Path(stateDir), ec);
        CopyInto(gCrash.folder, stateDir.c_str());
        Widen(gCrash.folder, gCrash.folderWide);
    }
    gCrash.utcOffset = UtcOffsetNow();
    // Room on the stack for the handlers after the stack has overflowed.
    ULONG guarantee = 64 * 1024;
    SetThreadStackGuarantee(&guarantee);
    // No box of the system's own about the fault: the game's dialog says it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(OnException);
    gOverflowed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (gOverflowed) {
        if (const HANDLE thread = CreateThread(nullptr, 256 * 1024, ReportOverflows, nullptr,
                                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)) {
            CloseHandle(thread);
            AddVectoredExceptionHandler(1, OnFirstChance);
        }
    }
    signal(SIGABRT, OnAbort);
    std::set_terminate(NoteTerminateAndAbort);
}
