// The POSIX driver of crash reporting, in the dying process: the handlers of the fatal signals
// and of std::terminate, the backtrace with its modules, the report's file, and the start of the
// fresh process (posix_crash_helper.cpp). Everything reached from a signal handler here is
// async-signal-safe: static buffers, no allocation, no stdio, only system calls (open, read,
// write, _Fork, execve, waitpid, …).
#include "platform/posix/posix_crash.h"

#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/native.h"
#include "quorvatide_version.h"

extern char** environ;

// Built with AddressSanitizer: its own reports come first, so the handlers stay out.
#if defined(__SANITIZE_ADDRESS__)
#define QV_CRASH_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_CRASH_SANITIZED 1
#endif
#endif
#if defined(QV_CRASH_SANITIZED)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

namespace {

template <size_t N>
void CopyInto(char (&to)[N], const char* from) {
    TCrashText(to, N).Add(from);
}

void WriteAll(int fd, const char* data, size_t length) {
    WriteFully(fd, data, length);
}

struct TSignalName {
    int signal;
    const char* name;
    const char* meaning;
};
constexpr TSignalName kFatalSignals[] = {{SIGSEGV, "SIGSEGV", "invalid memory access"},
                                         {SIGBUS, "SIGBUS", "bus error"},
                                         {SIGFPE, "SIGFPE", "arithmetic error"},
                                         {SIGILL, "SIGILL", "illegal instruction"},
                                         {SIGABRT, "SIGABRT", "abort"}};

// The kernel's reason for a fault, where it tells one worth saying.
const char* FaultDetail(int signal, int code) {
    if (signal == SIGSEGV && code == SEGV_MAPERR) return "address not mapped";
    if (signal == SIGSEGV && code == SEGV_ACCERR) return "no permission for the address";
    if (signal == SIGBUS && code == BUS_ADRALN) return "misaligned address";
    if (signal == SIGBUS && code == BUS_ADRERR) return "no such physical address";
    if (signal == SIGFPE && code == FPE_INTDIV) return "integer division by zero";
    if (signal == SIGFPE && code == FPE_INTOVF) return "integer overflow";
    if (signal == SIGFPE && code == FPE_FLTDIV) return "floating-point division by zero";
    if (signal == SIGILL && code == ILL_ILLOPC) return "illegal opcode";
    return nullptr;
}

// ---------------------------------------------------------------- the installed state

constexpr int kMaxFrames = 100;

struct TState {
    bool window = false;
    long utcOffset = 0;
    char program[PATH_MAX] = "";
    char folder[PATH_MAX] = "";
    // The thread writing a report; any other fatal signal in it ends the program at once.
    std::atomic<long> reporter{0};
    void* frames[kMaxFrames] = {};
    TCrashFrame named[kMaxFrames];
    char maps[256 * 1024] = "";
    char report[48 * 1024] = "";
    char path[PATH_MAX] = "";
    char line[PATH_MAX + 512] = "";
    // The fresh process's command line.
    char argMode[16] = "";
    char* argv[5] = {};
};
TState gCrash;

alignas(16) char gAltStack[128 * 1024];

static_assert(std::atomic<long>::is_always_lock_free, "the signal handler needs lock-free atomics");

// Ends the program by the signal's default action, so that its status is the signal's own.
[[noreturn]] void Die(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal);
}

uintptr_t FaultingPc(void* context) {
    const auto* uc = static_cast<const ucontext_t*>(context);
    if (!uc) return 0;
#if defined(__x86_64__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return uintptr_t(uc->uc_mcontext.pc);
#else
    return 0;
#endif
}

// The backtrace from the faulting instruction down, each address with its module.
int CollectFrames(void* context) {
    const int n = backtrace(gCrash.frames, kMaxFrames);
    // The first frames are this handler's and the kernel's return trampoline: start at the
    // interrupted instruction when it is found among them.
    int first = 0;
    if (const uintptr_t pc = FaultingPc(context))
        for (int i = 0; i < n; ++i)
            if (uintptr_t(gCrash.frames[i]) == pc) {
                first = i;
                break;
            }
    size_t mapsLength = 0;
    const int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        while (mapsLength + 1 < sizeof gCrash.maps) {
            const ssize_t got =
                read(fd, gCrash.maps + mapsLength, sizeof gCrash.maps - 1 - mapsLength);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            mapsLength += size_t(got);
        }
        close(fd);
    }
    int count = 0;
    for (int i = first; i < n; ++i) {
        TCrashFrame& frame = gCrash.named[count++];
        frame = TCrashFrame{};
        frame.pc = uintptr_t(gCrash.frames[i]);
        FindCrashModule(gCrash.maps, mapsLength, frame);
    }
    return count;
}

// Starts the program again to name the backtrace's functions and show the dialog, and waits
// (at most 20 s) until it has finished the report. The report is at `reportPath`, or is read
// from `reportInput` (its standard input) when it could not be saved. True when the fresh
// process finished it.
bool FinishInFreshProcess(const char* reportPath, int reportInput) {
    CopyInto(gCrash.argMode, gCrash.window ? "window" : "no-window");
    gCrash.argv[0] = gCrash.program;
    gCrash.argv[1] = const_cast<char*>(kCrashReportOption);
    gCrash.argv[2] = const_cast<char*>(reportPath);
    gCrash.argv[3] = gCrash.argMode;
    gCrash.argv[4] = nullptr;
    const pid_t child = _Fork();
    if (child < 0) return false;
    if (child == 0) {
        if (reportInput > 0) dup2(reportInput, 0);
        if (reportInput == 0) fcntl(0, F_SETFD, 0);  // dup2 would leave it close-on-exec
        execve("/proc/self/exe", gCrash.argv, environ);
        execve(gCrash.program, gCrash.argv, environ);
        _exit(127);
    }
    for (int waited = 0; waited < 2000; ++waited) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR) return false;
        const timespec pause{0, 10'000'000};
        nanosleep(&pause, nullptr);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return false;
}

void OnFatalSignal(int signal, siginfo_t* info, void* context) {
    const long thread = syscall(SYS_gettid);
    long expected = 0;
    if (!gCrash.reporter.compare_exchange_strong(expected, thread)) {
        if (expected == thread) {
            // A fault while reporting one: end at once.
            TCrashFacts facts;
            DescribeCrashSignal(signal, nullptr, facts);
            TCrashText say(gCrash.line, sizeof gCrash.line);
            say.Add("quorvatide: the game has stopped: ").Add(facts.cause);
            say.Add(" while writing the crash report");
            if (gCrash.path[0]) say.Add("; what was written is in ").Add(gCrash.path);
            WriteAll(2, gCrash.line, say.Put('\n').Length());
            Die(signal);
        }
        // Another thread is reporting; it ends the program.
        for (;;) pause();
    }
    TCrashFacts facts;
    facts.version = kGameVersion;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    facts.time = CrashTimeFromSeconds(int64_t(now.tv_sec) + gCrash.utcOffset);
    DescribeCrashSignal(signal, info, facts);
    facts.terminated = signal == SIGABRT && UncaughtNote().terminated;
    facts.exceptionType = UncaughtNote().type;
    facts.exceptionMessage = UncaughtNote().message;
    facts.program = gCrash.program;
    facts.pid = getpid();
    facts.frameCount = CollectFrames(context);
    facts.frames = gCrash.named;

    size_t replayAt = 0;
    const size_t length = FormatCrashReport(gCrash.report, sizeof gCrash.report, facts, &replayAt);
    int error = 0;
    const bool saved = SaveCrashReport(gCrash.folder, facts.time, gCrash.report, replayAt, length,
                                       gCrash.path, sizeof gCrash.path, error);
    if (saved) {
        FinishInFreshProcess(gCrash.path, -1);
    } else {
        // The report goes to stderr: through the fresh process, which names the functions and
        // shows the dialog, reading it from a pipe that holds it whole; or as it is when that
        // fails.
        bool finished = false;
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) == 0) {
            // Never waiting on a reader that is not there yet: a pipe too small for the report
            // is given up.
            fcntl(ends[1], F_SETFL, O_NONBLOCK);
            const bool whole = WriteFully(ends[1], gCrash.report, length);
            close(ends[1]);
            finished = whole && FinishInFreshProcess("-", ends[0]);
            close(ends[0]);
        }
        if (!finished) WriteAll(2, gCrash.report, length);
    }
    const char* why = !gCrash.folder[0] ? "no state folder: HOME and XDG_STATE_HOME are not set"
                                        : (error ? strerrordesc_np(error) : nullptr);
    const size_t said = FormatCrashNotice(gCrash.line, sizeof gCrash.line, facts,
                                          saved ? gCrash.path : nullptr, gCrash.folder, why);
    WriteAll(2, gCrash.line, said);
    Die(signal);
}

}  // namespace

void DescribeCrashSignal(int signal, const siginfo_t* info, TCrashFacts& facts) {
    facts.cause = "signal";
    facts.meaning = "fatal signal";
    for (const TSignalName& s : kFatalSignals)
        if (s.signal == signal) {
            facts.cause = s.name;
            facts.meaning = s.meaning;
        }
    if (!info) return;
    // Raised by the kernel for a fault: where and why; else sent, by whom when not by us.
    facts.fault = info->si_code > 0;
    if (facts.fault) {
        facts.address = uintptr_t(info->si_addr);
        facts.detail = FaultDetail(signal, info->si_code);
    } else if (info->si_pid != getpid()) {
        facts.sender = info->si_pid;
    }
}

void FindCrashModule(const char* maps, size_t length, TCrashFrame& frame) {
    // Lines "start-end perms offset dev inode path", numbers in hexadecimal but the inode.
    const char* end = maps + length;
    for (const char* p = maps; p < end;) {
        const char* eol = p;
        while (eol < end && *eol != '\n') ++eol;
        const auto hex = [&](const char*& q) {
            uintptr_t v = 0;
            for (; q < eol; ++q) {
                const char c = *q;
                const int d = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
                if (d < 0) break;
                v = v * 16 + uintptr_t(d);
            }
            return v;
        };
        const auto skipField = [&](const char*& q) {
            while (q < eol && *q == ' ') ++q;
            while (q < eol && *q != ' ') ++q;
            while (q < eol && *q == ' ') ++q;
        };
        const char* q = p;
        const uintptr_t start = hex(q);
        if (q < eol && *q == '-') ++q;
        const uintptr_t stop = hex(q);
        if (frame.pc >= start && frame.pc < stop) {
            skipField(q);  // the permissions
            const uintptr_t fileOffset = hex(q);
            skipField(q);  // the device
            skipField(q);  // the inode
            if (q < eol && *q == '/') {
                frame.module = q;
                frame.moduleLength = size_t(eol - q);
                frame.offset = frame.pc - start + fileOffset;
            }
            return;
        }
        p = eol + 1;
    }
}

int CreateCrashReportFile(const char* folder, const TCrashTime& time, char* path, size_t size,
                          int& error) {
    error = ENOENT;
    if (!folder || !*folder) return -1;
    for (int n = 1; n <= 20; ++n) {
        TCrashText t(path, size);
        t.Add(folder);
        if (folder[std::strlen(folder) - 1] != '/') t.Put('/');
        t.Add("crash-");
        AddCrashTime(t, time, '_', '-');
        if (n > 1) t.Put('-').Number(n);
        t.Add(".txt");
        const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) return fd;
        error = errno;
        if (error != EEXIST) break;
    }
    if (size) path[0] = '\0';
    return -1;
}

bool SaveCrashReport(const char* folder, const TCrashTime& time, const char* report,
                     size_t replayAt, size_t length, char* path, size_t size, int& error) {
    const int fd = CreateCrashReportFile(folder, time, path, size, error);
    if (fd < 0) {
        FlushCrashReplay();
        return false;
    }
    // On a full disk, or beyond the file-size limit, a write fails (SIGXFSZ is ignored): the
    // report is then given up whole, with what was written of it.
    bool saved = WriteFully(fd, report, replayAt);
    if (!saved) error = errno;
    FlushCrashReplay();
    if (saved && !WriteFully(fd, report + replayAt, length - replayAt)) {
        saved = false;
        error = errno;
    }
    if (saved && fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        saved = false;
        error = errno;
    }
    if (close(fd) != 0 && saved && errno != EINTR) {
        saved = false;
        error = errno;
    }
    if (!saved) {
        unlink(path);
        if (size) path[0] = '\0';
    }
    return saved;
}

void InstallCrashReporting(const std::string& exePath, const std::string& stateDir, bool window) {
    if (kSanitized) return;
    // A report written beyond the file-size limit must fail as on a full disk, not end the
    // program before it is told.
    signal(SIGXFSZ, SIG_IGN);
    gCrash.window = window;
    // The program's own path, for the report and for starting it again should /proc/self/exe
    // not do.
    char resolved[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    if (n > 0) {
        resolved[n] = '\0';
        CopyInto(gCrash.program, resolved);
    } else {
        CopyInto(gCrash.program, exePath.c_str());
    }
    if (!stateDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(stateDir, ec);
        CopyInto(gCrash.folder, stateDir.c_str());
    }
    // Local time for the report, as an offset taken now: the handler cannot read the zone.
    const time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local)) gCrash.utcOffset = local.tm_gmtoff;
    // The first backtrace loads the unwinder; that must not happen in the handler.
    void* warm[4];
    backtrace(warm, 4);

    stack_t stack{};
    stack.ss_sp = gAltStack;
    stack.ss_size = sizeof gAltStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    // Reset to the default on entry, and not blocked while handled: the same fault again
    // inside the handler ends the program at once.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (const TSignalName& s : kFatalSignals) sigaction(s.signal, &action, nullptr);
    std::set_terminate(NoteTerminateAndAbort);
}
