// The POSIX driver's fresh process, started by the dying program (posix_crash.cpp): the
// backtrace's functions named from the modules' ELF symbol tables, the report written again,
// and the dialog. Here, unlike in the signal handler, anything goes.
#include <cxxabi.h>
#include <elf.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/posix_crash.h"

namespace {

// The functions of one ELF file: its loaded segments, to turn a file offset into an address,
// and its symbol table (the full one when present, else the exported one, which a stripped
// executable keeps).
class TModuleSymbols {
public:
    explicit TModuleSymbols(const std::string& path) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        Load(fd);
        close(fd);
    }

    // The name of the function holding the instruction at `offset` in the file, with the
    // distance from its start; empty when none is found. For a return address (not `exact`)
    // the call before it is looked up.
    std::string NameAt(uint64_t offset, bool exact) const {
        for (const Elf64_Phdr& load : loads_) {
            if (offset < load.p_offset || offset >= load.p_offset + load.p_filesz) continue;
            const uint64_t address = offset - load.p_offset + load.p_vaddr;
            const uint64_t probe = exact || address == 0 ? address : address - 1;
            for (const Elf64_Sym& s : symbols_) {
                if (probe < s.st_value || probe >= s.st_value + s.st_size) continue;
                if (s.st_name >= strings_.size()) return {};
                const char* mangled = strings_.c_str() + s.st_name;
                return CrashFunctionName(mangled, address - s.st_value);
            }
            return {};
        }
        return {};
    }

private:
    template <class T>
    static bool ReadAt(int fd, uint64_t at, T* into, size_t count) {
        const size_t bytes = count * sizeof(T);
        return pread(fd, into, bytes, off_t(at)) == ssize_t(bytes);
    }

    void Load(int fd) {
        Elf64_Ehdr header;
        if (!ReadAt(fd, 0, &header, 1) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
            header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_phentsize != sizeof(Elf64_Phdr) ||
            header.e_shentsize != sizeof(Elf64_Shdr) || header.e_phnum > 256 ||
            header.e_shnum > 65000)
            return;
        std::vector<Elf64_Phdr> segments(header.e_phnum);
        if (!ReadAt(fd, header.e_phoff, segments.data(), segments.size())) return;
        for (const Elf64_Phdr& s : segments)
            if (s.p_type == PT_LOAD) loads_.push_back(s);
        std::vector<Elf64_Shdr> sections(header.e_shnum);
        if (!ReadAt(fd, header.e_shoff, sections.data(), sections.size())) return;
        const Elf64_Shdr* table = nullptr;
        for (const uint32_t type : {uint32_t(SHT_SYMTAB), uint32_t(SHT_DYNSYM)}) {
            for (const Elf64_Shdr& s : sections)
                if (s.sh_type == type && s.sh_link < sections.size()) table = &s;
            if (table) break;
        }
        if (!table || table->sh_entsize != sizeof(Elf64_Sym)) return;
        const Elf64_Shdr& names = sections[table->sh_link];
        if (table->sh_size > (64u << 20) || names.sh_size > (64u << 20)) return;
        std::vector<Elf64_Sym> all(table->sh_size / sizeof(Elf64_Sym));
        strings_.resize(names.sh_size);
        if (!ReadAt(fd, table->sh_offset, all.data(), all.size()) ||
            !ReadAt(fd, names.sh_offset, strings_.data(), strings_.size()))
            return;
        strings_.push_back('\0');
        for (const Elf64_Sym& s : all) {
            const int type = ELF64_ST_TYPE(s.st_info);
            if ((type == STT_FUNC || type == STT_GNU_IFUNC) && s.st_shndx != SHN_UNDEF &&
                s.st_size > 0)
                symbols_.push_back(s);
        }
    }

    std::vector<Elf64_Phdr> loads_;
    std::vector<Elf64_Sym> symbols_;
    std::string strings_;
};

const TModuleSymbols& SymbolsOf(const std::string& path) {
    static std::map<std::string, std::unique_ptr<TModuleSymbols>> modules;
    std::unique_ptr<TModuleSymbols>& m = modules[path];
    if (!m) m = std::make_unique<TModuleSymbols>(path);
    return *m;
}

// Shows the dialog in a process of its own, which stays until the player closes it: the
// crashed game need not wait for that.
void ShowDialogApart(const std::string& text, TShowCrashDialog show) {
    if (!show) return;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return;
    const pid_t child = fork();
    if (child != 0) return;
    setsid();
    // Off the terminal and the pipes of whoever started the game.
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0)
        for (int fd = 0; fd <= 2; ++fd) dup2(null, fd);
    // SDL's box now and then fails to come up at the first try right after the crashed game's
    // window went (seen on a virtual X server: the display itself opened, the box did not), so
    // it is tried again for up to two seconds.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (show(kCrashDialogTitle, text.c_str())) break;
        const timespec pause{0, 200'000'000};
        nanosleep(&pause, nullptr);
    }
    _exit(0);
}

}  // namespace

std::string NameCrashFrame(const std::string& line, bool exact) {
    return NameCrashFrameWith(line, [exact](const std::string& module, uint64_t offset) {
        return SymbolsOf(module).NameAt(offset, exact);
    });
}

int FinishCrashReport(int argc, char** argv, TShowCrashDialog show) {
    // The dying program's signal mask came along; nothing here should be held back.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (argc != 4 ||
        (std::strcmp(argv[3], "window") != 0 && std::strcmp(argv[3], "no-window") != 0)) {
        std::fprintf(stderr, "quorvatide: %s is the game's own, for finishing a crash report\n",
                     kCrashReportOption);
        return 2;
    }
    const std::string where = argv[2];
    const bool window = std::strcmp(argv[3], "window") == 0;

    std::string report;
    if (where == "-") {
        char buffer[4096];
        for (ssize_t n; (n = read(0, buffer, sizeof buffer)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            report.append(buffer, size_t(n));
        }
    } else {
        std::ifstream in(where, std::ios::binary);
        if (!in) return 1;
        report.assign(std::istreambuf_iterator<char>(in), {});
    }
    // Only a crash report is written again.
    if (report.rfind(std::string(kCrashReportTitle) + "\n", 0) != 0) {
        std::fprintf(stderr, "quorvatide: %s is not a crash report\n", where.c_str());
        return 2;
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
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << named;
        out.close();
        if (!out || std::rename(temporary.c_str(), where.c_str()) != 0) {
            std::remove(temporary.c_str());
            rewritten = false;
        }
    }
    // The dialog shows however the report was kept.
    if (window) ShowDialogApart(CrashDialogText(rewritten ? named : report, where), show);
    return rewritten ? 0 : 1;
}
