// The files and folders of Windows. The game's paths are UTF-8 with '/' or '\' between names;
// they reach the system as UTF-16 (the W functions), so that a folder of any name works (a
// user name with accents). Errors are told as the errno values the rest of the game knows.
#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/native.h"
#include "platform/windows/windows_native.h"
#include "toolkit/utf8_path.h"

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string narrow(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(), n, nullptr,
                            nullptr);
    return narrow;
}

int ErrnoFromWindows(unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILE_TOO_LARGE:
            return EFBIG;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        default:
            return EIO;
    }
}

namespace {

bool WriteHandle(HANDLE file, const void* data, size_t size) noexcept {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = DWORD(size > (1u << 30) ? (1u << 30) : size);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr)) {
            errno = ErrnoFromWindows(GetLastError());
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        p += written;
        size -= written;
    }
    return true;
}

// A file being written, opened without sharing its writing: while it is open (until it is
// closed, or the program ends however it ends) no other handle may write it, which is how
// InUse tells it. Deleting and renaming it are shared, so that the session's file can be
// renamed with its best score while it is written. A failed write leaves the file open until
// it is closed: the session it records is still being played.
class TWindowsFileOut : public IFileOut {
public:
    explicit TWindowsFileOut(HANDLE file) : file_(file) {}
    ~TWindowsFileOut() override { Close(); }

    bool Append(const void* data, size_t size) override {
        if (file_ == INVALID_HANDLE_VALUE || !error_.empty()) return false;
        if (!WriteHandle(file_, data, size)) return Fail("cannot write");
        return true;
    }
    void AppendInDistress(const void* data, size_t size) noexcept override {
        if (file_ != INVALID_HANDLE_VALUE && error_.empty()) WriteHandle(file_, data, size);
    }
    bool Close() override {
        if (file_ == INVALID_HANDLE_VALUE) return error_.empty();
        const HANDLE file = file_;
        file_ = INVALID_HANDLE_VALUE;
        // A recording is worth keeping whole: on the disk before it counts as written.
        if (error_.empty() && !FlushFileBuffers(file)) {
            const DWORD e = GetLastError();
            if (e != ERROR_INVALID_HANDLE && e != ERROR_INVALID_FUNCTION) {
                errno = ErrnoFromWindows(e);
                Fail("cannot write");
            }
        }
        if (!CloseHandle(file) && error_.empty())
            error_ =
                std::string("cannot close: ") + std::strerror(ErrnoFromWindows(GetLastError()));
        return error_.empty();
    }
    const std::string& Error() const override { return error_; }

private:
    bool Fail(const char* what) {
        error_ = std::string(what) + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }
    HANDLE file_;
    std::string error_;
};

bool IsRegular(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

class TWindowsFiles : public IFiles {
public:
    bool IsFile(const std::string& path) override { return IsRegular(WideFromUtf8(path)); }

    std::optional<std::string> Read(const std::string& path, size_t maxBytes,
                                    bool* whole) override {
        const std::wstring wide = WideFromUtf8(path);
        const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            errno = ErrnoFromWindows(GetLastError());
            return std::nullopt;
        }
        // Only a file on a disk: a pipe, a console or a device of the name counts as none.
        if (GetFileType(file) != FILE_TYPE_DISK) {
            CloseHandle(file);
            errno = 0;
            return std::nullopt;
        }
        LARGE_INTEGER size{};
        GetFileSizeEx(file, &size);
        std::string bytes;
        bytes.resize(std::min<size_t>(maxBytes, size.QuadPart > 0 ? size_t(size.QuadPart) : 0));
        size_t got = 0;
        bool failed = false;
        for (;;) {
            if (got == bytes.size()) {
                if (got >= maxBytes) break;
                bytes.resize(std::min(maxBytes, got + 4096));
            }
            DWORD n = 0;
            const DWORD want = DWORD(std::min<size_t>(bytes.size() - got, 1u << 30));
            if (!ReadFile(file, bytes.data() + got, want, &n, nullptr)) {
                failed = true;
                break;
            }
            if (n == 0) break;
            got += n;
        }
        bool more = false;
        if (!failed && got >= maxBytes) {
            char probe;
            DWORD n = 0;
            more = ReadFile(file, &probe, 1, &n, nullptr) && n > 0;
        }
        CloseHandle(file);
        if (failed) return std::nullopt;
        bytes.resize(got);
        if (whole) *whole = !more;
        return bytes;
    }

    int Write(const std::string& path, std::string_view bytes, bool makeFolder) override {
        if (makeFolder) {
            std::error_code ec;
            std::filesystem::create_directories(Utf8Path(path).parent_path(), ec);
        }
        const std::wstring wide = WideFromUtf8(path);
        const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return ErrnoFromWindows(GetLastError());
        int error = WriteHandle(file, bytes.data(), bytes.size()) ? 0 : (errno ? errno : EIO);
        if (!CloseHandle(file) && error == 0) error = ErrnoFromWindows(GetLastError());
        return error;
    }

    std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) override {
        const std::wstring wide = WideFromUtf8(path);
        const HANDLE file =
            CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = ErrnoFromWindows(GetLastError());
            return nullptr;
        }
        return std::make_unique<TWindowsFileOut>(file);
    }

    int Replace(const std::string& path, std::string_view bytes, bool makeFolder) override {
        if (makeFolder) {
            std::error_code ec;
            std::filesystem::create_directories(Utf8Path(path).parent_path(), ec);
        }
        const std::string temporary = path + ".new-" + std::to_string(GetCurrentProcessId());
        const std::wstring wide = WideFromUtf8(temporary);
        const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return ErrnoFromWindows(GetLastError());
        int error = WriteHandle(file, bytes.data(), bytes.size()) ? 0 : (errno ? errno : EIO);
        if (error == 0 && !FlushFileBuffers(file)) error = ErrnoFromWindows(GetLastError());
        if (!CloseHandle(file) && error == 0) error = ErrnoFromWindows(GetLastError());
        if (error == 0 && !MoveFileExW(wide.c_str(), WideFromUtf8(path).c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            error = ErrnoFromWindows(GetLastError());
        if (error != 0) DeleteFileW(wide.c_str());
        return error;
    }

    bool InUse(const std::string& path) override {
        // Asking to write it, sharing everything: refused while a handle that does not share
        // its writing is open, the one of a file being written (TWindowsFileOut).
        const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), FILE_WRITE_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
        CloseHandle(file);
        return false;
    }

    int Rename(const std::string& from, const std::string& to) override {
        // Nothing of another's is replaced: without MOVEFILE_REPLACE_EXISTING a name already
        // taken is left as it is.
        const std::wstring a = WideFromUtf8(from), b = WideFromUtf8(to);
        if (GetFileAttributesW(b.c_str()) != INVALID_FILE_ATTRIBUTES) return EEXIST;
        return MoveFileExW(a.c_str(), b.c_str(), MOVEFILE_COPY_ALLOWED)
                   ? 0
                   : ErrnoFromWindows(GetLastError());
    }

    int Remove(const std::string& path) override {
        return DeleteFileW(WideFromUtf8(path).c_str()) ? 0 : ErrnoFromWindows(GetLastError());
    }
};

// "<known folder>/Quorvatide/", or empty when the system has none.
std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)) && path && *path)
        folder = Utf8FromWide(path);
    CoTaskMemFree(path);
    if (folder.empty()) return {};
    // One separator throughout: the game joins names with '/', which Windows takes as well.
    for (char& c : folder)
        if (c == '\\') c = '/';
    if (folder.back() != '/') folder += '/';
    return folder + "Quorvatide/";
}

}  // namespace

IFiles& NativeFiles() {
    static TWindowsFiles files;
    return files;
}

bool WriteFully(int fd, const void* data, size_t size) noexcept {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const int n = _write(fd, p, unsigned(size > (1u << 30) ? (1u << 30) : size));
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

TUserFolders NativeUserFolders() {
    // Settings roam with the player (%APPDATA%); replays and crash reports stay on the machine
    // (%LOCALAPPDATA%).
    return {KnownFolder(FOLDERID_RoamingAppData), KnownFolder(FOLDERID_LocalAppData)};
}

std::vector<std::string> NativeArguments(int argc, char** argv) {
    // The command line as the system has it, in UTF-16: argv is in the ANSI code page.
    int count = 0;
    std::vector<std::string> args;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
        LocalFree(wide);
    }
    if (args.empty()) args.assign(argv, argv + argc);
    return args;
}

void AttachToConsole() {
    // A GUI program: started from Explorer it opens no console; started from one, what it
    // prints goes there. Output already redirected (a pipe, a file) is left as it is.
    const bool outRedirected = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN;
    const bool errRedirected = GetFileType(GetStdHandle(STD_ERROR_HANDLE)) != FILE_TYPE_UNKNOWN;
    if ((!outRedirected || !errRedirected) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!outRedirected) std::freopen("CONOUT$", "w", stdout);
        if (!errRedirected && std::freopen("CONOUT$", "w", stderr))
            std::setvbuf(stderr, nullptr, _IONBF, 0);
    }
    // The C library writes a console's output a character at a time: the game's output (the
    // help, the version, a check's verdict) goes out whole when the program ends instead.
    std::setvbuf(stdout, nullptr, _IOFBF, 16384);
}

TLocalTime NativeLocalTime() {
    const std::time_t now = std::time(nullptr);
    TLocalTime t;
    localtime_s(&t.when, &now);
    // The offset from UTC: the local time read as if it were UTC, less now.
    std::tm local = t.when;
    t.utcOffset = long(_mkgmtime(&local) - now);
    return t;
}

const char* NativeVideoDriver(std::string& error) {
    // Only a desktop that takes windows will do; on one that does not (wine's without an X
    // display, a service's) SDL would say so in its own words. A hidden window made and unmade
    // tells.
    const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    if (!probe) {
        error = "no display (no window can be made on this desktop)";
        return nullptr;
    }
    DestroyWindow(probe);
    return "windows";
}

void EndOnHangUpAsOnTerm() {}

std::FILE* NativeOpenFile(const std::string& path, const char* mode) {
    return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(mode).c_str());
}

int QuietStderr() {
    std::fflush(stderr);
    const int saved = _dup(2);
    const int null = _open("NUL", _O_WRONLY);
    if (saved >= 0 && null >= 0) _dup2(null, 2);
    if (null >= 0) _close(null);
    return saved;
}

void RestoreStderr(int saved) {
    if (saved < 0) return;
    _dup2(saved, 2);
    _close(saved);
}
