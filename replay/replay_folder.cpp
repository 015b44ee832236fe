#include "replay/replay_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "toolkit/utf8_path.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "quorvatide-";
constexpr const char* kExtension = ".qvr";

bool Digits(const std::string& s, size_t at, size_t count) {
    if (at + count > s.size()) return false;
    for (size_t i = at; i < at + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// Skips "-<digits>" at `at`; false when there is none.
bool DashNumber(const std::string& s, size_t& at) {
    if (at >= s.size() || s[at] != '-') return false;
    size_t end = at + 1;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
    if (end == at + 1 || end - at > 11) return false;
    at = end;
    return true;
}

bool BeginsAsReplay(const fs::path& file) {
    static constexpr char kMagic[] = "Quorvatide replay\n";
    char head[sizeof kMagic - 1] = {};
    std::ifstream in(file, std::ios::binary);
    return in.read(head, sizeof head) && std::memcmp(head, kMagic, sizeof head) == 0;
}

}  // namespace

std::string ReplayFolder(const std::string& stateDir) {
    return stateDir.empty() ? std::string() : stateDir + "replays/";
}

std::string ReplayStem(const std::tm& when) {
    char text[64];
    std::strftime(text, sizeof text, "quorvatide-%Y-%m-%d_%H-%M-%S", &when);
    return text;
}

std::string ReplayDate(const std::tm& when, long utcOffsetSeconds) {
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &when);
    const long minutes = (utcOffsetSeconds < 0 ? -utcOffsetSeconds : utcOffsetSeconds) / 60;
    char offset[48];
    std::snprintf(offset, sizeof offset, " %c%02ld%02ld", utcOffsetSeconds < 0 ? '-' : '+',
                  minutes / 60, minutes % 60);
    return std::string(text) + offset;
}

namespace {

constexpr const char* kContinued = "-continued-";

// YYYY-MM-DD_HH-MM-SS at `at`.
bool DateAt(const std::string& name, size_t at) {
    return Digits(name, at, 4) && name[at + 4] == '-' && Digits(name, at + 5, 2) &&
           name[at + 7] == '-' && Digits(name, at + 8, 2) && name[at + 10] == '_' &&
           Digits(name, at + 11, 2) && name[at + 13] == '-' && Digits(name, at + 14, 2) &&
           name[at + 16] == '-' && Digits(name, at + 17, 2);
}

// The rest of a name from its date at `at`: DATE[-N][-best-N].qvr
bool EndsAsReplay(const std::string& name, size_t at) {
    if (!DateAt(name, at)) return false;
    at += 19;
    DashNumber(name, at);
    if (name.compare(at, 5, "-best") == 0) {
        at += 5;
        if (!DashNumber(name, at)) return false;
    }
    return name.compare(at, std::string::npos, kExtension) == 0;
}

}  // namespace

std::string ContinuedStem(const std::string& source, const std::tm& when) {
    std::string root = fs::path(source).filename().string();
    if (root.size() > 4 && root.compare(root.size() - 4, 4, kExtension) == 0)
        root.resize(root.size() - 4);
    if (const size_t at = root.find(kContinued); at != std::string::npos) root.resize(at);
    // Without its best score: the new session has its own.
    if (const size_t at = root.rfind("-best-"); at != std::string::npos) {
        size_t end = at + 5;
        if (DashNumber(root, end) && end == root.size()) root.resize(at);
    }
    if (root.empty()) root = "quorvatide";
    char moment[32];
    std::strftime(moment, sizeof moment, "%Y-%m-%d_%H-%M-%S", &when);
    return root + kContinued + moment;
}

bool IsReplayFileName(const std::string& name) {
    // quorvatide-YYYY-MM-DD_HH-MM-SS[-N][-best-N].qvr, or for a session taken over,
    // <any name>-continued-YYYY-MM-DD_HH-MM-SS[-N][-best-N].qvr
    const std::string prefix = kPrefix;
    if (name.compare(0, prefix.size(), prefix) == 0 && EndsAsReplay(name, prefix.size()))
        return true;
    const size_t continued = name.rfind(kContinued);
    return continued != std::string::npos && continued > 0 &&
           EndsAsReplay(name, continued + std::string(kContinued).size());
}

bool PrepareReplayFolder(const std::string& folder, const std::string& stem, int keep,
                         std::string& path, std::string& pathStem, std::string& error,
                         const std::string& spare) {
    std::error_code ec;
    const fs::path where = Utf8Path(folder);
    fs::create_directories(where, ec);
    if (ec) {
        error = "cannot make the folder " + folder + ": " + ec.message();
        return false;
    }
    struct TOld {
        fs::path file;
        fs::file_time_type written;
    };
    std::vector<TOld> old;
    for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        if (it->symlink_status(e).type() != fs::file_type::regular) continue;
        const std::string name = PathUtf8(it->path().filename());
        if (!IsReplayFileName(name) || !BeginsAsReplay(it->path())) continue;
        if (!spare.empty() && fs::equivalent(it->path(), spare, e)) continue;
        const auto written = fs::last_write_time(it->path(), e);
        if (!e) old.push_back({it->path(), written});
    }
    if (ec) {
        error = "cannot read the folder " + folder + ": " + ec.message();
        return false;
    }
    // Newest first; the oldest beyond what is kept go.
    std::sort(old.begin(), old.end(), [](const TOld& a, const TOld& b) {
        return a.written != b.written ? a.written > b.written : a.file > b.file;
    });
    for (size_t i = size_t(std::max(keep - 1, 0)); i < old.size(); ++i) fs::remove(old[i].file, ec);

    // A stem is free when no file has it, renamed with a best score or not.
    std::vector<std::string> names;
    for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(PathUtf8(it->path().filename()));
    for (int n = 1; n < 1000; ++n) {
        const std::string candidate = stem + (n == 1 ? "" : "-" + std::to_string(n));
        const bool taken = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return name == candidate + kExtension || name.rfind(candidate + "-best-", 0) == 0;
        });
        if (taken) continue;
        pathStem = folder + candidate;
        path = pathStem + kExtension;
        return true;
    }
    error = "too many sessions began in the same second";
    return false;
}
