// The Windows driver's fresh process, started by the dying program (windows_crash.cpp): the
// backtrace's functions named from the executable's COFF symbol table (which the game's
// executable keeps), the report written again, and the dialog, in a process of its own that
// stays until the player closes it.
#include <cxxabi.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/crash/crash_report.h"
#include "platform/native.h"
#include "platform/windows/windows_native.h"

namespace {

// The functions of one PE file by their address relative to its image base, from its COFF
// symbol table; none when it has no table (a stripped file, the system's DLLs).
class TModuleSymbols {
public:
    explicit TModuleSymbols(const std::string& path) {
        const std::optional<std::string> bytes = NativeFiles().Read(path, 256u << 20);
        if (bytes) Load(*bytes);
        std::sort(functions_.begin(), functions_.end());
    }

    // The function holding `rva`, with the distance from its start; empty when none.
    std::string NameAt(uint64_t rva, bool exact) const {
        const uint64_t probe = exact || rva == 0 ? rva : rva - 1;
        auto it = std::upper_bound(functions_.begin(), functions_.end(),
                                   std::make_pair(probe, std::string(1, char(0x7f))));
        if (it == functions_.begin()) return {};
        --it;
        // Past the end of the last text section's functions nothing is named.
        if (probe >= textEnd_ || probe < it->first) return {};
        return CrashFunctionName(it->second.c_str(), rva - it->first);
    }

private:
    template <class T>
    static bool At(const std::string& b, size_t offset, T& into) {
        if (offset > b.size() || b.size() - offset < sizeof(T)) return false;
        std::memcpy(&into, b.data() + offset, sizeof(T));
        return true;
    }

    void Load(const std::string& b) {
        IMAGE_DOS_HEADER dos;
        if (!At(b, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return;
        DWORD signature = 0;
        IMAGE_FILE_HEADER file;
        if (!At(b, size_t(dos.e_lfanew), signature) || signature != IMAGE_NT_SIGNATURE ||
            !At(b, size_t(dos.e_lfanew) + 4, file))
            return;
        const size_t sectionsAt =
            size_t(dos.e_lfanew) + 4 + sizeof file + file.SizeOfOptionalHeader;
        std::vector<IMAGE_SECTION_HEADER> sections(file.NumberOfSections);
        for (size_t i = 0; i < sections.size(); ++i)
            if (!At(b, sectionsAt + i * sizeof(IMAGE_SECTION_HEADER), sections[i])) return;
        for (const IMAGE_SECTION_HEADER& s : sections)
            if (s.Characteristics & IMAGE_SCN_CNT_CODE)
                textEnd_ = std::max<uint64_t>(textEnd_, s.VirtualAddress + s.Misc.VirtualSize);
        if (!file.PointerToSymbolTable || !file.NumberOfSymbols) return;
        const size_t symbolsAt = file.PointerToSymbolTable;
        const size_t stringsAt = symbolsAt + size_t(file.NumberOfSymbols) * 18;
        for (DWORD i = 0; i < file.NumberOfSymbols; ++i) {
            const size_t at = symbolsAt + size_t(i) * 18;
            if (at + 18 > b.size()) return;
            const unsigned char* s = reinterpret_cast<const unsigned char*>(b.data() + at);
            uint32_t value;
            int16_t section;
            uint16_t type;
            std::memcpy(&value, s + 8, 4);
            std::memcpy(&section, s + 12, 2);
            std::memcpy(&type, s + 14, 2);
            const uint8_t storage = s[16], aux = s[17];
            i += aux;
            const bool function = (type >> 4) == IMAGE_SYM_DTYPE_FUNCTION;
            if (!function || section <= 0 || size_t(section) > sections.size() ||
                (storage != IMAGE_SYM_CLASS_EXTERNAL && storage != IMAGE_SYM_CLASS_STATIC))
                continue;
            std::string name;
            uint32_t zeroes;
            std::memcpy(&zeroes, s, 4);
            if (zeroes == 0) {
                uint32_t offset;
                std::memcpy(&offset, s + 4, 4);
                const size_t from = stringsAt + offset;
                if (from >= b.size()) continue;
                name = std::string(b.c_str() + from, strnlen(b.c_str() + from, b.size() - from));
            } else {
                name = std::string(reinterpret_cast<const char*>(s),
                                   strnlen(reinterpret_cast<const char*>(s), 8));
            }
            functions_.emplace_back(uint64_t(sections[size_t(section) - 1].VirtualAddress) + value,
                                    name);
        }
    }

    std::vector<std::pair<uint64_t, std::string>> functions_;
    uint64_t textEnd_ = 0;
};

const TModuleSymbols& SymbolsOf(const std::string& path) {
    static std::map<std::string, std::unique_ptr<TModuleSymbols>> modules;
    std::unique_ptr<TModuleSymbols>& m = modules[path];
    if (!m) m = std::make_unique<TModuleSymbols>(path);
    return *m;
}

// Starts the program once more, apart, to show the dialog: the crashed game need not wait for
// the player to close it. A report that is in no file ("-") is handed to it as its standard
// input.
void ShowDialogApart(const std::string& where, const std::string& report) {
    wchar_t program[1024];
    const DWORD n = GetModuleFileNameW(nullptr, program, 1024);
    if (n == 0 || n >= 1024) return;
    std::wstring command = L"\"" + std::wstring(program) + L"\" " +
                           WideFromUtf8(kCrashReportOption) + L" \"" + WideFromUtf8(where) +
                           L"\" dialog";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    HANDLE input = nullptr, feed = nullptr;
    const bool piped = where == "-";
    if (piped) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        if (!CreatePipe(&input, &feed, &inherited, DWORD(report.size() + 1))) return;
        SetHandleInformation(feed, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
    }
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(program, command.data(), nullptr, nullptr, piped,
                                        DETACHED_PROCESS, nullptr, nullptr, &startup, &process);
    if (piped) {
        CloseHandle(input);
        DWORD written = 0;
        for (size_t at = 0; started && at < report.size(); at += written)
            if (!WriteFile(feed, report.data() + at, DWORD(report.size() - at), &written,
                           nullptr) ||
                written == 0)
                break;
        CloseHandle(feed);
    }
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// All of the standard input.
std::string ReadInput() {
    std::string all;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[4096];
    DWORD n = 0;
    while (input && input != INVALID_HANDLE_VALUE &&
           ReadFile(input, buffer, sizeof buffer, &n, nullptr) && n > 0)
        all.append(buffer, n);
    return all;
}

}  // namespace

// Windows has a message box of its own: `show` is not needed.
int FinishCrashReport(int, char**, TShowCrashDialog) {
    const std::vector<std::string> args = NativeArguments(0, nullptr);
    if (args.size() != 4 ||
        (args[3] != "window" && args[3] != "no-window" && args[3] != "dialog")) {
        std::fprintf(stderr, "quorvatide: %s is the game's own, for finishing a crash report\n",
                     kCrashReportOption);
        return 2;
    }
    const std::string& where = args[2];
    IFiles& files = NativeFiles();
    // "-": the report could not be saved, and comes as the standard input.
    const std::optional<std::string> read =
        where == "-" ? std::optional<std::string>(ReadInput()) : files.Read(where, 16u << 20);
    if (!read) return 1;
    const std::string& report = *read;
    if (report.rfind(std::string(kCrashReportTitle) + "\n", 0) != 0) {
        std::fprintf(stderr, "quorvatide: %s is not a crash report\n", where.c_str());
        return 2;
    }
    if (args[3] == "dialog") {
        const std::wstring text = WideFromUtf8(CrashDialogText(report, where));
        MessageBoxW(nullptr, text.c_str(), WideFromUtf8(kCrashDialogTitle).c_str(),
                    MB_OK | MB_ICONERROR);
        return 0;
    }
    const std::string named =
        NameCrashReportFrames(report, [](const std::string& module, uint64_t offset, bool exact) {
            return SymbolsOf(module).NameAt(offset, exact);
        });
    bool rewritten = true;
    if (where == "-") {
        std::fputs(named.c_str(), stderr);
        std::fflush(stderr);
    } else {
        // Written beside and renamed over it, so that the report is never lost half-way. On a
        // disk too full for a second copy the report stays as it was written, unnamed.
        const std::string temporary = where + ".part";
        if (files.Write(temporary, named) != 0 ||
            !MoveFileExW(WideFromUtf8(temporary).c_str(), WideFromUtf8(where).c_str(),
                         MOVEFILE_REPLACE_EXISTING)) {
            DeleteFileW(WideFromUtf8(temporary).c_str());
            rewritten = false;
        }
    }
    // The dialog shows however the report was kept.
    if (args[3] == "window") ShowDialogApart(where, rewritten ? named : report);
    return rewritten ? 0 : 1;
}
