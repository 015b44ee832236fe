// The crash report's text and the sections the game fills. Everything the signal handler
// reaches here only reads memory and writes into buffers: no allocation, no system calls. The
// terminate handler's notes and the fresh process's part, at the end, are not for it.
#include "platform/crash/crash_report.h"

#include <cxxabi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <memory>
#include <sstream>
#include <typeinfo>

static_assert(std::atomic<unsigned>::is_always_lock_free &&
                  std::atomic<void (*)(void*)>::is_always_lock_free,
              "the signal handler needs lock-free atomics");

namespace {

// The replay's path, written into the spare slot and then made current, so that a crash while
// it changes still reads a whole path.
char gReplay[2][4096] = {"", ""};
std::atomic<int> gReplaySlot{0};
std::atomic<void (*)(void*)> gFlush{nullptr};
void* gFlushContext = nullptr;

// The sections: a slot is taken by one TCrashSection, filled, and then published by giving it
// its place in the order of registration (0: not published).
struct TSlot {
    std::atomic<bool> taken{false};
    std::atomic<unsigned> order{0};
    const char* line = nullptr;
    TCrashSection::TWrite write = nullptr;
    const void* context = nullptr;
};
TSlot gSlots[16];
std::atomic<unsigned> gLastOrder{0};

// The report's line "<line>: <value>", by the newest section for it, or "none".
void AddSection(TCrashText& t, const char* line) {
    const TSlot* newest = nullptr;
    unsigned newestOrder = 0;
    for (const TSlot& slot : gSlots) {
        const unsigned order = slot.order.load();
        if (order > newestOrder && std::strcmp(slot.line, line) == 0) {
            newest = &slot;
            newestOrder = order;
        }
    }
    t.Add(line).Add(": ");
    if (newest)
        newest->write(t, newest->context);
    else
        t.Add("none");
    t.Put('\n');
}

// "SIGSEGV (invalid memory access: address not mapped) at address 0x10", or the exception.
void AddCause(TCrashText& t, const TCrashFacts& f) {
    if (f.terminated) {
        if (f.exceptionType && *f.exceptionType) {
            t.Add("uncaught exception ").OneLine(f.exceptionType);
            if (f.exceptionMessage && *f.exceptionMessage)
                t.Add(": \"").OneLine(f.exceptionMessage).Put('"');
        } else {
            t.Add("std::terminate without an active exception");
        }
        t.Add(" (std::terminate, then ").Add(f.cause).Put(')');
        return;
    }
    t.Add(f.cause).Add(" (").Add(f.meaning);
    if (f.fault) {
        if (f.detail) t.Add(": ").Add(f.detail);
        t.Add(") at address ").Hex(f.address);
    } else if (f.sender != 0) {
        t.Add(") sent by process ").Number(f.sender);
    } else {
        t.Put(')');
    }
}

}  // namespace

// ---------------------------------------------------------------- text

TCrashText& TCrashText::Number(long long value, int width) {
    char digits[24];
    int n = 0;
    unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0) Put('-');
    for (int i = n; i < width; ++i) Put('0');
    while (n) Put(digits[--n]);
    return *this;
}

TCrashText& TCrashText::Hex(uintptr_t value, int width) {
    char digits[2 * sizeof value];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value & 15];
        value >>= 4;
    } while (value);
    Add("0x");
    for (int i = n; i < width; ++i) Put('0');
    while (n) Put(digits[--n]);
    return *this;
}

TCrashTime CrashTimeFromSeconds(int64_t seconds) {
    // Days to a civil date (proleptic Gregorian calendar).
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    TCrashTime t;
    t.day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = int(yearOfEra + era * 400 + (t.month <= 2));
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    return t;
}

void AddCrashTime(TCrashText& t, const TCrashTime& time, char dateTimeSeparator,
                  char timeSeparator) {
    t.Number(time.year, 4).Put('-').Number(time.month, 2).Put('-').Number(time.day, 2);
    t.Put(dateTimeSeparator).Number(time.hour, 2).Put(timeSeparator).Number(time.minute, 2);
    t.Put(timeSeparator).Number(time.second, 2);
}

// ---------------------------------------------------------------- what the game tells it

void SetCrashReplay(const std::string& path) {
    const int spare = 1 - gReplaySlot.load();
    TCrashText(gReplay[spare], sizeof gReplay[spare]).Add(path.c_str());
    gReplaySlot.store(spare);
}

// The function is cleared first and set last, so that a fault between the stores never calls
// one with another's argument.
void SetCrashReplayFlush(void (*flush)(void* context), void* context) {
    gFlush.store(nullptr);
    gFlushContext = context;
    gFlush.store(flush);
}

void FlushCrashReplay() {
    if (void (*flush)(void*) = gFlush.load()) flush(gFlushContext);
}

TCrashSection::TCrashSection(const char* line, TWrite write, const void* context) {
    for (int i = 0; i < int(std::size(gSlots)); ++i) {
        TSlot& slot = gSlots[i];
        bool free = false;
        if (!slot.taken.compare_exchange_strong(free, true)) continue;
        slot.line = line;
        slot.write = write;
        slot.context = context;
        slot.order.store(++gLastOrder);
        slot_ = i;
        return;
    }
    // All taken (far more sections than the game has): this one is left out of the report.
}

TCrashSection::~TCrashSection() {
    if (slot_ < 0) return;
    gSlots[slot_].order.store(0);
    gSlots[slot_].taken.store(false);
}

// ---------------------------------------------------------------- the report

size_t FormatCrashReport(char* buffer, size_t size, const TCrashFacts& f, size_t* replayLineAt) {
    TCrashText t(buffer, size);
    t.Add(kCrashReportTitle).Add("\n\n");
    t.Add("Version: ").Add(f.version).Put('\n');
    t.Add("Time: ");
    AddCrashTime(t, f.time, ' ', ':');
    t.Add("\nWhat happened: ");
    AddCause(t, f);
    t.Put('\n');
    AddSection(t, "Screen");
    AddSection(t, "Tick");
    t.Add("Program: ").Add(f.program).Add(" (process ").Number(f.pid).Add(")\n");
    if (replayLineAt) *replayLineAt = t.Length();
    const char* replay = gReplay[gReplaySlot.load()];
    t.Add("Replay: ").Add(*replay ? replay : "none (this session was not recorded)");
    t.Add("\n\nBacktrace, the fault first:\n");
    for (int i = 0; i < f.frameCount; ++i) {
        const TCrashFrame& frame = f.frames[i];
        // A run of the same frame, as a recursion that overflowed the stack leaves: one line.
        int same = 0;
        while (i + same + 1 < f.frameCount && f.frames[i + same + 1].pc == frame.pc) ++same;
        if (i > 0 && f.frames[i - 1].pc == frame.pc) {
            t.Put('#').Number(i);
            if (same > 0) t.Add("-#").Number(i + same);
            t.Add(" the same as #").Number(i - 1).Put('\n');
            i += same;
            continue;
        }
        t.Put('#').Number(i).Add(i < 10 ? "  " : " ").Hex(frame.pc, 2 * sizeof(uintptr_t));
        t.Add(" (");
        if (frame.module)
            t.Add(frame.module, frame.moduleLength).Put('+').Hex(frame.offset);
        else
            t.Put('?');
        t.Add(")\n");
    }
    t.Add("\nPlease attach this report and the replay to your bug report.\n");
    return t.Length();
}

size_t FormatCrashNotice(char* buffer, size_t size, const TCrashFacts& f, const char* reportPath,
                         const char* folder, const char* why) {
    TCrashText t(buffer, size);
    t.Add("quorvatide: the game has stopped: ");
    AddCause(t, f);
    if (reportPath) {
        t.Add("; crash report: ").Add(reportPath);
    } else {
        t.Add("; the crash report is above (");
        if (folder && *folder) {
            t.Add("cannot write to ").Add(folder);
            if (why) t.Add(": ").Add(why);
        } else {
            t.Add(why);
        }
        t.Put(')');
    }
    t.Put('\n');
    return t.Length();
}

namespace {
TUncaughtNote gUncaught;
}

void NoteTerminateAndAbort() {
    static std::atomic<bool> once{false};
    if (!once.exchange(true)) {
        gUncaught.terminated = true;
        if (const std::type_info* current = abi::__cxa_current_exception_type()) {
            int status = 0;
            char* name = abi::__cxa_demangle(current->name(), nullptr, nullptr, &status);
            TCrashText(gUncaught.type, sizeof gUncaught.type)
                .Add(status == 0 && name ? name : current->name());
            std::free(name);
            try {
                std::rethrow_exception(std::current_exception());
            } catch (const std::exception& e) {
                TCrashText(gUncaught.message, sizeof gUncaught.message).Add(e.what());
            } catch (...) {
            }
        }
    }
    std::abort();
}

const TUncaughtNote& UncaughtNote() {
    return gUncaught;
}

std::string CrashReportValue(const std::string& report, const std::string& key) {
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return {};
}

std::string CrashDialogText(const std::string& report, const std::string& where) {
    std::string text = "Quorvatide has stopped because of an error.\n\nWhat happened: " +
                       CrashReportValue(report, "What happened") + "\n\n";
    if (where == "-")
        text +=
            "The crash report could not be saved in a file; it was written to the "
            "program's error output (stderr).\n\n";
    else
        text += "A crash report was saved as\n" + where + "\n\n";
    const std::string replay = CrashReportValue(report, "Replay");
    const bool recorded = !replay.empty() && replay.rfind("none", 0) != 0;
    if (recorded)
        text += "The replay of this session is\n" + replay + "\n\n" +
                "Please attach both files to a bug report.";
    else
        text += "This session was not recorded.\n\nPlease attach the report to a bug report.";
    return text;
}

std::string NameCrashFrameWith(const std::string& line, const TCrashNameAt& nameAt) {
    const size_t open = line.rfind(" (");
    if (line.empty() || line[0] != '#' || open == std::string::npos || line.back() != ')')
        return line;
    const size_t word = line.rfind(' ', open - 1);
    if (word == std::string::npos || line.compare(word + 1, 2, "0x") != 0) return line;
    const std::string inside = line.substr(open + 2, line.size() - open - 3);
    const size_t plus = inside.rfind("+0x");
    if (plus == std::string::npos || plus == 0) return line;
    char* end = nullptr;
    const unsigned long long offset = std::strtoull(inside.c_str() + plus + 3, &end, 16);
    if (!end || *end != '\0') return line;
    const std::string name = nameAt(inside.substr(0, plus), uint64_t(offset));
    if (name.empty()) return line;
    return line.substr(0, open) + " " + name + line.substr(open);
}

std::string NameCrashReportFrames(const std::string& report, const TCrashFrameNameAt& nameAt) {
    std::istringstream lines(report);
    std::string named;
    bool first = true;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '#') {
            const bool exact = first;
            line = NameCrashFrameWith(line, [&](const std::string& module, uint64_t offset) {
                return nameAt(module, offset, exact);
            });
            first = false;
        }
        named += line + "\n";
    }
    return named;
}

std::string CrashFunctionName(const char* symbol, uint64_t distance) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> plain(
        abi::__cxa_demangle(symbol, nullptr, nullptr, &status), &std::free);
    char at[24];
    std::snprintf(at, sizeof at, "+0x%llx", static_cast<unsigned long long>(distance));
    return std::string(status == 0 && plain ? plain.get() : symbol) + at;
}
