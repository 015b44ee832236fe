#include "replay/replay_folder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
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
    std::string root = PathUtf8(Utf8Path(source).filename());
    if (root.size() > 4 && root.compare(root.size() - 4, 4, kExtension) == 0)
        root.resize(root.size() - 4);
    if (const size_t at = root.find(kContinued); at != std::string::npos) root.resize(at);
    // Without its best score: the new session has its own.
    if (const size_t at = root.rfind("-best-"); at != std::string::npos) {
        size_t end = at + 5;
        if (DashNumber(root, end) && end == root.size()) root.resize(at);
    }
    // Room for "-continued-", the moment, "-999", "-best-2147483647" and ".qvr" within the 255
    // bytes of a file's name, cut between two characters of UTF-8.
    constexpr size_t kMaxRoot = 255 - 11 - 19 - 4 - 16 - 4;
    if (root.size() > kMaxRoot) {
        size_t cut = kMaxRoot;
        while (cut > 0 && (static_cast<unsigned char>(root[cut]) & 0xc0) == 0x80) --cut;
        root.resize(cut);
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

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int64_t Number(const std::string& s, size_t at, size_t count) {
    int64_t n = 0;
    for (size_t i = at; i < at + count; ++i) n = n * 10 + (s[i] - '0');
    return n;
}

// The date and time at `at` (YYYY?MM?DD?HH?MM?SS, the separators already checked) in seconds
// since 1970 of its own clock.
int64_t SecondsAt(const std::string& s, size_t at) {
    return DaysFromCivil(Number(s, at, 4), Number(s, at + 5, 2), Number(s, at + 8, 2)) * 86400 +
           Number(s, at + 11, 2) * 3600 + Number(s, at + 14, 2) * 60 + Number(s, at + 17, 2);
}

// Where the session's own moment stands in a replay's name: after the last "-continued-" of a
// session taken over, else after the prefix.
size_t OwnDateAt(const std::string& name) {
    const size_t continued = name.rfind(kContinued);
    if (continued != std::string::npos && continued > 0 &&
        EndsAsReplay(name, continued + std::string(kContinued).size()))
        return continued + std::string(kContinued).size();
    return std::string(kPrefix).size();
}

// Seconds within which a session dated after now is still taken as of now: two clocks a little
// apart, a second instance begun meanwhile.
constexpr int64_t kClockSlack = 300;

// Where a replay stands among the others; the greater, the newer.
struct TRank {
    bool holds = true;    // anything was written: an empty file goes first
    bool present = true;  // not dated after now
    int64_t began = 0;    // seconds since 1970, UTC
    int depth = 0;        // how many takings over from a session of the same rank
    int64_t suffix = 1;   // the name's -2, -3, ...
    std::string name;

    bool operator<(const TRank& o) const {
        if (holds != o.holds) return !holds;
        if (present != o.present) return !present;
        if (began != o.began) return began < o.began;
        if (depth != o.depth) return depth < o.depth;
        if (suffix != o.suffix) return suffix < o.suffix;
        return name < o.name;
    }
};

TRank RankOf(const TFolderReplay& replay, std::optional<int64_t> now, long utcOffset) {
    TRank rank;
    rank.holds = !replay.empty;
    rank.name = replay.name;
    const size_t at = OwnDateAt(replay.name);
    // The name's moment is local time, read with today's offset from UTC.
    rank.began = SecondsAt(replay.name, at) - utcOffset;
    size_t end = at + 19;
    if (DashNumber(replay.name, end)) rank.suffix = Number(replay.name, at + 20, end - at - 20);
    if (replay.header) {
        const TReplayHeader& h = *replay.header;
        if (const auto began = ReplayDateSeconds(h.takenOver.empty() ? h.recorded : h.takenOver))
            rank.began = *began;
    }
    rank.present = !now || rank.began <= *now + kClockSlack;
    return rank;
}

}  // namespace

std::optional<int64_t> ReplayDateSeconds(const std::string& date) {
    // YYYY-MM-DD HH:MM:SS +HHMM
    if (date.size() < 25 || !Digits(date, 0, 4) || date[4] != '-' || !Digits(date, 5, 2) ||
        date[7] != '-' || !Digits(date, 8, 2) || date[10] != ' ' || !Digits(date, 11, 2) ||
        date[13] != ':' || !Digits(date, 14, 2) || date[16] != ':' || !Digits(date, 17, 2) ||
        date[19] != ' ' || (date[20] != '+' && date[20] != '-') || !Digits(date, 21, 4))
        return std::nullopt;
    const int64_t month = Number(date, 5, 2), day = Number(date, 8, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const int64_t offset = (Number(date, 21, 2) * 60 + Number(date, 23, 2)) * 60;
    return SecondsAt(date, 0) - (date[20] == '-' ? -offset : offset);
}

std::vector<TFolderReplay> ListReplays(IFiles& files, const std::string& folder,
                                       const std::string& now, std::string* error) {
    static constexpr std::string_view kMagic = "Quorvatide replay\n";
    std::vector<TFolderReplay> replays;
    std::error_code ec;
    for (fs::directory_iterator it(Utf8Path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        if (it->symlink_status(e).type() != fs::file_type::regular) continue;
        TFolderReplay r;
        r.name = PathUtf8(it->path().filename());
        if (!IsReplayFileName(r.name)) continue;
        r.path = PathUtf8(it->path());
        // The header, some 1 KB: a longer one than this is read as none.
        const auto head = files.Read(r.path, 16 * 1024);
        if (!head) continue;
        r.empty = head->empty();
        if (!r.empty && head->compare(0, kMagic.size(), kMagic) != 0) continue;
        TReplayHeader header;
        size_t bodyAt = 0;
        std::string why;
        if (ParseReplayHeader(*head, header, bodyAt, why)) r.header = std::move(header);
        r.inUse = files.InUse(r.path);
        replays.push_back(std::move(r));
    }
    if (ec) {
        if (error) *error = "cannot read the folder " + folder + ": " + ec.message();
        return {};
    }
    // Newest first (see the note in the header).
    const std::optional<int64_t> nowSeconds = ReplayDateSeconds(now);
    long utcOffset = 0;
    if (nowSeconds) {
        utcOffset = long(SecondsAt(now, 0) - *nowSeconds);
    }
    std::vector<TRank> ranks;
    std::map<std::string, size_t> byName;
    for (const TFolderReplay& r : replays) {
        byName[r.name] = ranks.size();
        ranks.push_back(RankOf(r, nowSeconds, utcOffset));
    }
    // A session taken over is newer than the one it continues, however the clock stood.
    for (size_t pass = 0, changed = 1; changed && pass <= replays.size(); ++pass) {
        changed = 0;
        for (size_t i = 0; i < replays.size(); ++i) {
            if (!replays[i].header) continue;
            const auto of = byName.find(replays[i].header->continues);
            if (of == byName.end() || of->second == i || ranks[of->second] < ranks[i]) continue;
            const TRank& older = ranks[of->second];
            ranks[i].present = older.present;
            ranks[i].began = older.began;
            ranks[i].depth = older.depth + 1;
            changed = 1;
        }
    }
    std::vector<size_t> order(replays.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return ranks[b] < ranks[a]; });
    std::vector<TFolderReplay> sorted;
    sorted.reserve(order.size());
    for (size_t i : order) sorted.push_back(std::move(replays[i]));
    return sorted;
}

bool PruneReplayFolder(IFiles& files, const std::string& folder, int keep, const std::string& now,
                       std::string& error, const std::string& spare,
                       const std::vector<std::string>& kept) {
    std::error_code ec;
    const fs::path where = Utf8Path(folder);
    fs::create_directories(where, ec);
    if (ec) {
        error = "cannot make the folder " + folder + ": " + ec.message();
        return false;
    }
    error.clear();
    std::vector<TFolderReplay> replays = ListReplays(files, folder, now, &error);
    if (!error.empty()) return false;
    if (!spare.empty()) {
        const fs::path kept = Utf8Path(spare);
        replays.erase(std::remove_if(replays.begin(), replays.end(),
                                     [&](const TFolderReplay& r) {
                                         std::error_code e;
                                         return fs::equivalent(Utf8Path(r.path), kept, e);
                                     }),
                      replays.end());
    }
    // The records' best games stay, whatever their age, and do not count.
    replays.erase(std::remove_if(replays.begin(), replays.end(),
                                 [&](const TFolderReplay& r) {
                                     return std::find(kept.begin(), kept.end(), r.name) !=
                                            kept.end();
                                 }),
                  replays.end());
    // The oldest beyond what is kept go; one being recorded stays, and counts as kept.
    for (size_t i = size_t(std::max(keep - 1, 0)); i < replays.size(); ++i)
        if (!replays[i].inUse) files.Remove(replays[i].path);
    return true;
}

bool CreateInReplayFolder(const std::string& folder, const std::string& stem,
                          const TCreateReplay& create, std::string& path, std::string& pathStem,
                          std::string& error) {
    // A stem is free when no file has it, renamed with a best score or not.
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(Utf8Path(folder), ec), end; !ec && it != end; it.increment(ec))
        names.push_back(PathUtf8(it->path().filename()));
    for (int n = 1; n < 1000; ++n) {
        std::string candidate = stem;
        if (n > 1) candidate.append(1, '-').append(std::to_string(n));
        const bool listed = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return name == candidate + kExtension || name.rfind(candidate + "-best-", 0) == 0;
        });
        if (listed) continue;
        bool taken = false;
        if (create(folder + candidate + kExtension, taken)) {
            pathStem = folder + candidate;
            path = pathStem + kExtension;
            return true;
        }
        if (!taken) {
            error.clear();
            return false;
        }
    }
    error = "too many sessions began in the same second";
    return false;
}
