// The files and folders of a POSIX system.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/native.h"

namespace {

// A file being written, locked (flock) for as long as it is open: the lock goes with the
// descriptor, so that a crash or a kill releases it too. A failed write leaves the file open
// and locked until it is closed: the session it records is still being played.
class TPosixFileOut : public IFileOut {
public:
    explicit TPosixFileOut(int fd) : fd_(fd) {}
    ~TPosixFileOut() override { Close(); }

    bool Append(const void* data, size_t size) override {
        if (fd_ < 0 || !error_.empty()) return false;
        if (!WriteFully(fd_, data, size)) return Fail("cannot write");
        return true;
    }
    void AppendInDistress(const void* data, size_t size) noexcept override {
        if (fd_ >= 0 && error_.empty()) WriteFully(fd_, data, size);
    }
    bool Close() override {
        if (fd_ < 0) return error_.empty();
        const int fd = fd_;
        fd_ = -1;
        // A recording is worth keeping whole: on the disk before it counts as written.
        if (error_.empty() && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
            Fail("cannot write");
        if (::close(fd) != 0 && error_.empty())
            error_ = std::string("cannot close: ") + std::strerror(errno);
        return error_.empty();
    }
    const std::string& Error() const override { return error_; }

private:
    bool Fail(const char* what) {
        // A write beyond a file-size limit fails with EFBIG (SIGXFSZ is ignored), as one on a
        // full disk with ENOSPC: either is said in the system's words.
        error_ = std::string(what) + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }
    int fd_;
    std::string error_;
};

// Whether anything is left to read.
bool ProbeMore(int fd) {
    char probe;
    ssize_t n;
    while ((n = ::read(fd, &probe, 1)) < 0 && errno == EINTR) {
    }
    return n > 0;
}

class TPosixFiles : public IFiles {
public:
    // A write beyond the file-size limit (ulimit -f) fails with EFBIG, as one on a full disk
    // fails, instead of ending the program with SIGXFSZ.
    TPosixFiles() { ::signal(SIGXFSZ, SIG_IGN); }

    bool IsFile(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    std::optional<std::string> Read(const std::string& path, size_t maxBytes,
                                    bool* whole) override {
        // Opened without waiting, so that a named pipe of the name cannot hold the game up;
        // it is refused below as not a regular file.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return std::nullopt;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            errno = 0;  // there is a file, but none to read
            return std::nullopt;
        }
        std::string bytes;
        bytes.resize(std::min<size_t>(maxBytes, st.st_size > 0 ? size_t(st.st_size) : 0));
        size_t got = 0;
        bool failed = false, more = false;
        // The file may have grown or shrunk since: read until its end or the limit, in the
        // room its size gave and then a piece at a time.
        char piece[4096];
        for (;;) {
            const bool room = got < bytes.size();
            char* to = room ? bytes.data() + got : piece;
            const size_t want = room ? bytes.size() - got : sizeof piece;
            const ssize_t n = ::read(fd, to, want);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed = true;
            if (n <= 0) break;
            if (!room) {
                const size_t keep = std::min(size_t(n), maxBytes - got);
                bytes.append(piece, keep);
                if (keep < size_t(n) || got + keep >= maxBytes) {
                    got += keep;
                    more = keep < size_t(n) || ProbeMore(fd);
                    break;
                }
            }
            got += size_t(n);
            if (got >= maxBytes) {
                more = ProbeMore(fd);
                break;
            }
        }
        ::close(fd);
        if (failed) return std::nullopt;
        bytes.resize(got);
        if (whole) *whole = !more;
        return bytes;
    }

    int Write(const std::string& path, std::string_view bytes, bool makeFolder) override {
        if (makeFolder) {
            std::error_code ec;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return errno;
        int error = WriteFully(fd, bytes.data(), bytes.size()) ? 0 : (errno ? errno : EIO);
        if (::close(fd) != 0 && error == 0) error = errno ? errno : EIO;
        return error;
    }

    std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        // Where the file system has no locks the file is written all the same, unmarked.
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EINTR) {
        }
        return std::make_unique<TPosixFileOut>(fd);
    }

    int Replace(const std::string& path, std::string_view bytes, bool makeFolder) override {
        if (makeFolder) {
            std::error_code ec;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        }
        // A name of this process's own beside it, so that two processes never share one.
        const std::string temporary = path + ".new-" + std::to_string(::getpid());
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return errno;
        int error = WriteFully(fd, bytes.data(), bytes.size()) ? 0 : (errno ? errno : EIO);
        if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) error = errno;
        if (::close(fd) != 0 && error == 0) error = errno ? errno : EIO;
        if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
        if (error != 0) ::unlink(temporary.c_str());
        return error;
    }

    bool InUse(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        int locked;
        while ((locked = ::flock(fd, LOCK_SH | LOCK_NB)) != 0 && errno == EINTR) {
        }
        const bool inUse = locked != 0 && errno == EWOULDBLOCK;
        ::close(fd);
        return inUse;
    }

    int Rename(const std::string& from, const std::string& to) override {
        // Nothing of another's is replaced: a name already taken is left as it is.
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0) return EEXIST;
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    int Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0 ? 0 : errno; }
};

}  // namespace

IFiles& NativeFiles() {
    static TPosixFiles files;
    return files;
}

bool WriteFully(int fd, const void* data, size_t size) noexcept {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

std::string UserFolder(const char* xdgHome, const char* home, const char* homeFallback) {
    // Relative values are invalid by the XDG rules and are ignored.
    std::string base;
    if (xdgHome && xdgHome[0] == '/') {
        base = xdgHome;
    } else if (home && home[0] == '/') {
        base = home;
        if (base.back() != '/') base += '/';
        base += homeFallback;
    } else {
        return {};
    }
    if (base.back() != '/') base += '/';
    return base + "quorvatide/";
}

TUserFolders NativeUserFolders() {
    return {UserFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ".config"),
            UserFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), ".local/state")};
}

std::vector<std::string> NativeArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void AttachToConsole() {}

TLocalTime NativeLocalTime() {
    const std::time_t now = std::time(nullptr);
    TLocalTime t;
    localtime_r(&now, &t.when);
    t.utcOffset = t.when.tm_gmtoff;
    return t;
}

const char* NativeVideoDriver(std::string& error) {
    // Only a real display will do: without one SDL would quietly fall back to an off-screen
    // driver and the game would run where nobody can see it.
    if (std::getenv("DISPLAY")) return "x11";
    if (std::getenv("WAYLAND_DISPLAY")) return "wayland";
    error = "no display (DISPLAY and WAYLAND_DISPLAY are not set)";
    return nullptr;
}

std::FILE* NativeOpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

int QuietStderr() {
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
    if (null >= 0) ::close(null);
    return saved;
}

void RestoreStderr(int saved) {
    if (saved < 0) return;
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
}
