#include "frontend/records.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <map>
#include <numeric>
#include <optional>
#include <set>

#include "core/digest.h"
#include "core/form1.h"
#include "replay/daily.h"
#include "replay/player.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"
#include "toolkit/utf8_path.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFirstLine = "Quorvatide records, format ";
// Whatever the file holds, no more than this is read: some 200 000 games.
constexpr size_t kMaxRecordsBytes = 32 * 1024 * 1024;
// The digest fields a record is made of (core/digest.cpp numbers them for good).
constexpr uint32_t kTickField = kDigestTickField;
constexpr uint32_t kScoreField = 4;
constexpr uint64_t kTickMs = 50;

template <class T>
bool ReadNumber(std::string_view text, T& value) {
    if (text.empty() || text.front() == '+') return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool Digits(std::string_view s, size_t at, size_t count) {
    if (at + count > s.size()) return false;
    for (size_t i = at; i < at + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// "YYYY-MM-DD HH:MM"
bool IsRecordDate(std::string_view s) {
    return s.size() == 16 && Digits(s, 0, 4) && s[4] == '-' && Digits(s, 5, 2) && s[7] == '-' &&
           Digits(s, 8, 2) && s[10] == ' ' && Digits(s, 11, 2) && s[13] == ':' && Digits(s, 14, 2);
}

// A file name of the replays folder and nothing more: no folder, never . or ..
bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string Escape(std::string_view value) {
    std::string s;
    s.reserve(value.size());
    for (const char c : value) {
        switch (c) {
            case '\\':
                s += "\\\\";
                break;
            case '\t':
                s += "\\t";
                break;
            case '\n':
                s += "\\n";
                break;
            case '\r':
                s += "\\r";
                break;
            default:
                s += c;
        }
    }
    return s;
}

std::optional<std::string> Unescape(std::string_view value) {
    std::string s;
    s.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            s += value[i];
            continue;
        }
        if (++i == value.size()) return std::nullopt;
        switch (value[i]) {
            case '\\':
                s += '\\';
                break;
            case 't':
                s += '\t';
                break;
            case 'n':
                s += '\n';
                break;
            case 'r':
                s += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return s;
}

// One line of the index; nothing when it is damaged.
std::optional<TGameRecord> ParseLine(std::string_view line) {
    TGameRecord r;
    enum : unsigned {
        kScore = 1,
        kDate = 2,
        kLength = 4,
        kSettings = 8,
        kSpeed = 16,
        kGame = 32,
        kReplay = 64,
        kAll = 127,
        // A daily's, both or neither.
        kDay = 128,
        kTry = 256,
    };
    unsigned seen = 0;
    const auto once = [&seen](unsigned field) {
        if (seen & field) return false;
        seen |= field;
        return true;
    };
    while (true) {
        const size_t tab = line.find('\t');
        const std::string_view field = line.substr(0, tab);
        const size_t eq = field.find('=');
        if (eq == 0 || eq == std::string_view::npos) return std::nullopt;
        const std::string_view name = field.substr(0, eq);
        const std::optional<std::string> value = Unescape(field.substr(eq + 1));
        if (!value) return std::nullopt;
        bool ok = true;
        if (name == "score") {
            ok = once(kScore) && ReadNumber(*value, r.score) && r.score >= 0;
        } else if (name == "date") {
            ok = once(kDate) && (value->empty() || IsRecordDate(*value));
            r.date = *value;
        } else if (name == "length") {
            ok = once(kLength) && ReadNumber(*value, r.lengthMs);
        } else if (name == "settings") {
            ok = once(kSettings) && (*value == "shipped" || *value == "own");
            r.ownSettings = *value == "own";
        } else if (name == "speed") {
            ok = once(kSpeed) && ReadNumber(*value, r.speed) && r.speed > 0 && r.speed <= 1000;
        } else if (name == "game") {
            ok = once(kGame) && ReadNumber(*value, r.game) && r.game > 0;
        } else if (name == "replay") {
            ok = once(kReplay) && IsPlainFileName(*value);
            r.replay = *value;
        } else if (name == "day") {
            ok = once(kDay) && IsDay(*value);
            r.day = *value;
        } else if (name == "try") {
            ok = once(kTry) && ReadNumber(*value, r.dailyTry) && r.dailyTry > 0;
        } else {
            // A later version's field: kept as it was written.
            if (!r.laterFields.empty()) r.laterFields += '\t';
            r.laterFields += field;
        }
        if (!ok) return std::nullopt;
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    if ((seen & kAll) != kAll || (seen & kDay) != (seen & kTry) / 2) return std::nullopt;
    return r;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "YYYY-MM-DD HH:MM", each number in its digits however large.
std::string DateText(int64_t year, int month, int day, int hour, int minute) {
    const auto padded = [](int64_t n, size_t width) {
        std::string s = std::to_string(n);
        return s.size() < width ? std::string(width - s.size(), '0') + s : s;
    };
    return padded(year, 4) + "-" + padded(month, 2) + "-" + padded(day, 2) + " " + padded(hour, 2) +
           ":" + padded(minute, 2);
}

// Moments of local time as seconds since 1970-01-01 00:00 of the same clock: the replays' dates
// are local, and a record's date is too.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// "YYYY-MM-DD HH:MM:SS" at the start of `text`.
std::optional<int64_t> MomentOf(std::string_view text) {
    if (text.size() < 19 || !IsRecordDate(text.substr(0, 16)) || text[16] != ':' ||
        !Digits(text, 17, 2))
        return std::nullopt;
    const auto number = [text](size_t at, size_t count) {
        int64_t n = 0;
        for (size_t i = at; i < at + count; ++i) n = n * 10 + (text[i] - '0');
        return n;
    };
    const int64_t month = number(5, 2), day = number(8, 2), hour = number(11, 2),
                  minute = number(14, 2), second = number(17, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    return DaysFromCivil(number(0, 4), month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

// "YYYY-MM-DD HH:MM" of a moment.
std::string MomentDate(int64_t moment) {
    int64_t z = (moment >= 0 ? moment : moment - 86399) / 86400 + 719468;
    const int64_t inDay = moment - (z - 719468) * 86400;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2);
    if (year < 0 || year > 9999) return {};
    return DateText(year, int(month), int(day), int(inDay / 3600), int(inDay / 60 % 60));
}

// When a replay's session began: the header's "recorded" line, else the file's name
// (quorvatide-YYYY-MM-DD_HH-MM-SS...).
std::optional<int64_t> SessionMoment(const TReplayHeader& header, const std::string& name) {
    if (const auto moment = MomentOf(header.recorded)) return moment;
    constexpr std::string_view kPrefix = "quorvatide-";
    if (name.compare(0, kPrefix.size(), kPrefix) != 0) return std::nullopt;
    std::string s = name.substr(kPrefix.size(), 19);
    if (s.size() < 19 || s[10] != '_' || s[13] != '-' || s[16] != '-') return std::nullopt;
    s[10] = ' ', s[13] = ':', s[16] = ':';
    return MomentOf(s);
}

// Where a session taken over from a recording was handed over, from its header's line
// "taken over: 2026-12-09 10:00:00 +0100, at 03:12 (game 2, tick 3400)": the moment, the
// recording's time then from its beginning, and the game's tick count.
struct THandOver {
    std::optional<int64_t> moment;
    uint64_t atMs = 0;
    uint64_t tick = 0;
};

std::optional<THandOver> HandOverOf(const TReplayHeader& header) {
    const std::string_view line = header.takenOver;
    const size_t tickAt = line.rfind("tick ");
    if (tickAt == std::string_view::npos) return std::nullopt;
    THandOver h;
    std::string_view digits = line.substr(tickAt + 5);
    if (!ReadNumber(digits.substr(0, digits.find(')')), h.tick)) return std::nullopt;
    h.moment = MomentOf(line);
    // ", at MM:SS (" -- minutes in any number of digits.
    const size_t at = line.find(", at ");
    const size_t colon = line.find(':', at == std::string_view::npos ? line.size() : at);
    uint64_t minutes = 0, seconds = 0;
    if (at != std::string_view::npos && colon != std::string_view::npos &&
        ReadNumber(line.substr(at + 5, colon - at - 5), minutes) &&
        ReadNumber(line.substr(colon + 1, 2), seconds) && minutes < 10000000)
        h.atMs = (minutes * 60 + seconds) * 1000;
    else
        h.moment.reset();
    return h;
}

// Where a game of a replay ended: the game's tick count, and the moment (none when unknown).
struct TEnd {
    uint64_t tick = 0;
    std::optional<int64_t> moment;
};

// The games that ended in a replay, and with `ends` where each one ended.
// A game's date is when its session began, and as long again after as the host's clock went
// on in the recording up to the game's end: for a session taken over, after the hand-over,
// from the moment of the hand-over.
std::vector<TGameRecord> GamesOfReplay(const TReplayFile& file, const std::string& name,
                                       std::vector<TEnd>* ends) {
    std::vector<TGameRecord> games;
    TSettings settings;
    std::string error;
    const bool own =
        !ReadReplaySettings(file.header, settings, error) || !ShippedSettings(settings);
    const std::optional<int64_t> began = SessionMoment(file.header, name);
    // A daily's day and try, unless the session was taken over (then it is no try of its own).
    std::optional<TDailyNote> daily;
    if (file.header.takenOver.empty()) daily = ReadDailyNote(file.header);
    const std::optional<THandOver> handOver = HandOverOf(file.header);
    TRecordDecoder decoder(file.body);
    uint64_t lastEnd = 0;
    // The host's clock: at the session's beginning (its first clock reading or dispatch) and
    // at the last dispatch.
    std::optional<uint64_t> first;
    uint64_t last = 0;
    while (const std::optional<TRecord> r = decoder.Next()) {
        if (IsDispatch(r->kind) || r->kind == TRecordKind::Clock) {
            if (!first) first = r->time;
            if (IsDispatch(r->kind)) last = r->time;
        }
        if (r->kind != TRecordKind::Digest || r->when != TDigestWhen::GameEnd) continue;
        std::optional<uint64_t> tick, score;
        for (const auto& [id, value] : r->fields) {
            if (id == kTickField) tick = value;
            if (id == kScoreField) score = value;
        }
        // Games only follow one another: a number told again or going back is no new game.
        if (!tick || !score || r->game < 1 || (!games.empty() && r->game <= games.back().game))
            continue;
        TGameRecord game;
        TEnd end{*tick, std::nullopt};
        const uint64_t start = first.value_or(last);
        if (handOver && handOver->moment && *tick > handOver->tick) {
            const uint64_t from = start + handOver->atMs;
            end.moment = *handOver->moment + int64_t((last > from ? last - from : 0) / 1000);
        } else if (began) {
            end.moment = *began + int64_t((last > start ? last - start : 0) / 1000);
        }
        if (end.moment) game.date = MomentDate(*end.moment);
        game.score = std::max<int64_t>(int64_t(*score), 0);
        game.lengthMs = (*tick > lastEnd ? *tick - lastEnd : 0) * kTickMs;
        game.ownSettings = own;
        game.speed = file.header.speed;
        game.replay = name;
        game.game = r->game;
        if (daily) game.day = daily->day, game.dailyTry = daily->attempt;
        lastEnd = std::max(lastEnd, *tick);
        games.push_back(std::move(game));
        if (ends) ends->push_back(end);
    }
    return games;
}

// Records made again from the replays, and what a damaged index could still tell: the game's
// own moment of ending for each game found in both (of the same score), and every game the
// replays do not hold -- its replay pruned, unreadable, or cut short before the game's end was
// written.
std::vector<TGameRecord> Salvage(std::vector<TGameRecord> rebuilt,
                                 const std::vector<TGameRecord>& readable) {
    std::map<std::pair<std::string, int>, size_t> found;
    for (size_t i = 0; i < rebuilt.size(); ++i) found[{rebuilt[i].replay, rebuilt[i].game}] = i;
    std::set<std::pair<std::string, int>> kept;
    for (const TGameRecord& r : readable) {
        if (!kept.insert({r.replay, r.game}).second) continue;
        const auto at = found.find({r.replay, r.game});
        if (at == found.end()) {
            rebuilt.push_back(r);
            continue;
        }
        TGameRecord& same = rebuilt[at->second];
        if (same.score == r.score && !r.date.empty()) same.date = r.date;
        same.laterFields = r.laterFields;
    }
    std::stable_sort(rebuilt.begin(), rebuilt.end(),
                     [](const TGameRecord& a, const TGameRecord& b) { return a.date < b.date; });
    return rebuilt;
}

}  // namespace

std::string FormatRecords(const std::vector<TGameRecord>& games) {
    std::string s(kFirstLine);
    s += std::to_string(kRecordsFormat) + "\n";
    for (const TGameRecord& r : games) {
        s += "score=" + std::to_string(r.score);
        s += "\tdate=" + Escape(r.date);
        s += "\tlength=" + std::to_string(r.lengthMs);
        s += std::string("\tsettings=") + (r.ownSettings ? "own" : "shipped");
        s += "\tspeed=" + std::to_string(r.speed);
        s += "\tgame=" + std::to_string(r.game);
        s += "\treplay=" + Escape(r.replay);
        if (!r.day.empty()) s += "\tday=" + r.day + "\ttry=" + std::to_string(r.dailyTry);
        if (!r.laterFields.empty()) {
            std::string later = r.laterFields;
            std::replace(later.begin(), later.end(), '\n', ' ');
            std::replace(later.begin(), later.end(), '\r', ' ');
            s += "\t" + later;
        }
        s += "\n";
    }
    return s;
}

bool ParseRecords(std::string_view text, std::vector<TGameRecord>& games, int& damagedLine,
                  bool& newer) {
    games.clear();
    damagedLine = 0;
    newer = false;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const size_t nl = text.find('\n');
        std::string_view row = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        if (line == 1) {
            int format = 0;
            if (row.substr(0, kFirstLine.size()) != kFirstLine ||
                !ReadNumber(row.substr(kFirstLine.size()), format) || format < 1) {
                damagedLine = 1;
                return false;
            }
            if (format > kRecordsFormat) {
                newer = true;
                return false;
            }
            continue;
        }
        if (row.empty()) continue;
        // A line's own end may be CR LF; a CR inside a line is none this game writes.
        std::optional<TGameRecord> r;
        if (row.find('\r') == std::string_view::npos) r = ParseLine(row);
        if (r)
            games.push_back(std::move(*r));
        else if (!damagedLine)
            damagedLine = line;
    }
    if (line == 0) damagedLine = 1;
    return damagedLine == 0;
}

TRecords LoadRecords(IFiles& files, const std::string& stateDir, std::string& warning) {
    warning.clear();
    TRecords records;
    if (stateDir.empty()) return records;
    records.path = stateDir + kRecordsFileName;
    const std::string replayFolder = ReplayFolder(stateDir);

    std::string problem;
    std::vector<TGameRecord> readable;
    bool whole = false;
    if (const std::optional<std::string> text =
            files.Read(records.path, kMaxRecordsBytes, &whole)) {
        int damagedLine = 0;
        bool newer = false;
        if (ParseRecords(*text, readable, damagedLine, newer) && whole) {
            records.games = std::move(readable);
            return records;
        }
        if (newer) {
            records.writable = false;
            problem =
                "written by a newer version of the game; it is left as it is, and the "
                "records are made from the replays for now";
        } else {
            problem = (!whole ? std::string("longer than a records index can be")
                              : "line " + std::to_string(damagedLine) + " is damaged") +
                      "; the records are rebuilt from the replays";
        }
    } else if (files.IsFile(records.path)) {
        problem = "cannot be read; the records are rebuilt from the replays";
    }

    int unreadable = 0;
    records.games = Salvage(RebuildRecords(files, replayFolder, unreadable),
                            records.writable ? readable : std::vector<TGameRecord>());
    if (unreadable > 0) {
        const std::string count =
            unreadable == 1 ? std::string("1 replay") : std::to_string(unreadable) + " replays";
        problem += problem.empty() ? "rebuilt from the replays; " + count + " could not be read"
                                   : " (" + count + " could not be read)";
    }
    if (records.writable) {
        if (const int e = SaveRecords(files, records)) {
            if (!problem.empty()) problem += "; ";
            problem += std::string("it cannot be written: ") + std::strerror(e);
        }
    }
    if (!problem.empty()) warning = records.path + ": " + problem;
    return records;
}

int SaveRecords(IFiles& files, const TRecords& records) {
    if (records.path.empty()) return ENOENT;
    if (!records.writable) return EEXIST;
    return files.Replace(records.path, FormatRecords(records.games), true);
}

int AddRecord(IFiles& files, TRecords& records, TGameRecord record) {
    record.replay = FileNameOf(record.replay);
    records.games.push_back(std::move(record));
    return SaveRecords(files, records);
}

int RenameReplay(IFiles& files, TRecords& records, const std::string& from, const std::string& to) {
    const std::string oldName = FileNameOf(from), newName = FileNameOf(to);
    bool any = false;
    for (TGameRecord& r : records.games)
        if (r.replay == oldName) r.replay = newName, any = true;
    return any ? SaveRecords(files, records) : 0;
}

std::vector<TGameRecord> RecordsOfReplay(const TReplayFile& file, const std::string& name) {
    return GamesOfReplay(file, name, nullptr);
}

std::vector<TGameRecord> RebuildRecords(IFiles& files, const std::string& replayFolder,
                                        int& unreadable) {
    unreadable = 0;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(Utf8Path(replayFolder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code e;
        if (it->symlink_status(e).type() != fs::file_type::regular) continue;
        const std::string name = PathUtf8(it->path().filename());
        if (IsReplayFileName(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    const std::set<std::string> present(names.begin(), names.end());

    struct TGame {
        std::optional<int64_t> moment;
        TGameRecord record;
    };
    std::vector<TGame> games;
    for (const std::string& name : names) {
        std::string error;
        const std::optional<TReplayFile> file = LoadReplay(files, replayFolder + name, error);
        if (!file) {
            ++unreadable;
            continue;
        }
        std::vector<TEnd> ends;
        std::vector<TGameRecord> records = GamesOfReplay(*file, name, &ends);
        // A session taken over holds the games of the one it continues up to the hand-over:
        // while that replay is here, they are its.
        const std::optional<THandOver> handOver = HandOverOf(file->header);
        const bool theirs = handOver && present.count(file->header.continues);
        for (size_t i = 0; i < records.size(); ++i)
            if (!theirs || ends[i].tick > handOver->tick)
                games.push_back({ends[i].moment, std::move(records[i])});
    }
    // In the order they ended (those of unknown dates first); a replay's games in its order.
    std::stable_sort(games.begin(), games.end(), [](const TGame& a, const TGame& b) {
        if (a.moment != b.moment) return a.moment < b.moment;
        return a.record.replay < b.record.replay;
    });
    std::vector<TGameRecord> records;
    records.reserve(games.size());
    for (TGame& g : games) records.push_back(std::move(g.record));
    return records;
}

TGameRecord MakeRecord(const TForm1& game, int number, int startTick, const std::string& replay,
                       int speed, const std::tm& ended) {
    TGameRecord r;
    r.date = RecordDate(ended);
    r.score = game.score;
    r.lengthMs = uint64_t(std::max(game.tickCount - startTick, 0)) * kTickMs;
    r.ownSettings = !ShippedSettings(game.settings);
    r.speed = speed;
    r.replay = FileNameOf(replay);
    r.game = number;
    return r;
}

bool ShippedSettings(const TSettings& settings) {
    const TSettings shipped;
    const TSettingKey* keys = SettingKeys();
    for (int i = 0; i < kSettingCount; ++i)
        if (SettingText(settings, keys[i]) != SettingText(shipped, keys[i])) return false;
    return true;
}

std::string RecordDate(const std::tm& when) {
    return DateText(int64_t(when.tm_year) + 1900, when.tm_mon + 1, when.tm_mday, when.tm_hour,
                    when.tm_min);
}

std::vector<TGameRecord> BestRecords(const std::vector<TGameRecord>& games, size_t n) {
    std::vector<size_t> order(games.size());
    std::iota(order.begin(), order.end(), size_t(0));
    const auto better = [&games](size_t a, size_t b) {
        return games[a].score != games[b].score ? games[a].score > games[b].score : a < b;
    };
    n = std::min(n, games.size());
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(n), order.end(), better);
    std::vector<TGameRecord> best;
    best.reserve(n);
    for (size_t i = 0; i < n; ++i) best.push_back(games[order[i]]);
    return best;
}

std::vector<TGameRecord> RankedRecords(const std::vector<TGameRecord>& games) {
    return BestRecords(games, games.size());
}

std::vector<TGameRecord> LatestRecords(const std::vector<TGameRecord>& games, size_t n) {
    n = std::min(n, games.size());
    return std::vector<TGameRecord>(games.rbegin(), games.rbegin() + std::ptrdiff_t(n));
}

int PlaceOf(const std::vector<TGameRecord>& games, size_t index) {
    if (index >= games.size()) return 0;
    int place = 1;
    for (size_t i = 0; i < games.size(); ++i)
        if (games[i].score > games[index].score ||
            (games[i].score == games[index].score && i < index))
            ++place;
    return place;
}

std::string PlaceText(const std::vector<TGameRecord>& games, size_t index) {
    if (index >= games.size()) return {};
    const int place = PlaceOf(games, index);
    if (place == 1) return "New best: " + GroupedNumber(games[index].score);
    return Ordinal(place) + " of " + std::to_string(games.size());
}

std::vector<std::string> KeptReplays(const std::vector<TGameRecord>& games, size_t n) {
    std::vector<std::string> names;
    const auto keep = [&names](const TGameRecord& r) {
        if (std::find(names.begin(), names.end(), r.replay) == names.end())
            names.push_back(r.replay);
    };
    for (const TGameRecord& r : BestRecords(games, n)) keep(r);
    std::vector<TGameRecord> ranked;
    for (const TGameRecord& r : games)
        if (r.dailyTry == 1) ranked.push_back(r);
    for (const TGameRecord& r : BestRecords(ranked, kBestDailiesKept)) keep(r);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const TGameRecord& a, const TGameRecord& b) { return a.day > b.day; });
    for (size_t i = 0; i < ranked.size() && i < kRankedDailiesKept; ++i) keep(ranked[i]);
    return names;
}

std::string Ordinal(int n) {
    const int tens = (n % 100 + 100) % 100, units = (n % 10 + 10) % 10;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        if (units == 1) suffix = "st";
        if (units == 2) suffix = "nd";
        if (units == 3) suffix = "rd";
    }
    return std::to_string(n) + suffix;
}

std::string GroupedNumber(int64_t n) {
    const bool negative = n < 0;
    // The magnitude as unsigned, so that the most negative number has one too.
    uint64_t m = negative ? uint64_t(0) - uint64_t(n) : uint64_t(n);
    std::string digits;
    int count = 0;
    do {
        if (count > 0 && count % 3 == 0) digits += ' ';
        digits += char('0' + m % 10);
        m /= 10;
        ++count;
    } while (m > 0);
    if (negative) digits += '-';
    return std::string(digits.rbegin(), digits.rend());
}

std::vector<std::string> RecordsTable(const std::vector<TGameRecord>& games) {
    const auto padLeft = [](std::string s, size_t width) {
        return s.size() < width ? std::string(width - s.size(), ' ') + s : s;
    };
    const auto padRight = [](std::string s, size_t width) {
        return s.size() < width ? s + std::string(width - s.size(), ' ') : s;
    };
    std::vector<std::string> lines;
    lines.reserve(games.size());
    for (const TGameRecord& r : RankedRecords(games)) {
        lines.push_back(padLeft(std::to_string(r.score), 9) + "  " +
                        padRight(r.date.empty() ? "-" : r.date, 16) + "  " +
                        padLeft(MinutesSeconds(r.lengthMs, 1), 6) + "  " +
                        padRight(r.ownSettings ? "own" : "shipped", 7) + "  " +
                        padLeft(std::to_string(r.speed), 4) + " %  game " +
                        padRight(std::to_string(r.game), 3) + "  " + r.replay);
    }
    return lines;
}
