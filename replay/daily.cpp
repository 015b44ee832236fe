#include "replay/daily.h"

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "core/settings.h"

namespace {

constexpr size_t kMaxHeadBytes = 64 * 1024;

bool ReadInt(std::string_view text, int64_t& value) {
    if (text.empty() || text.front() == '+' || text.front() == '-') return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2);
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", unsigned(value));
    return text;
}

}  // namespace

uint32_t DailySeed(std::string_view day) {
    uint32_t hash = 2166136261u;
    for (const char c : std::string("Quorvatide daily ") + std::string(day)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::optional<int64_t> DayNumber(std::string_view day) {
    if (day.size() != 10 || day[4] != '-' || day[7] != '-') return std::nullopt;
    int64_t year = 0, month = 0, date = 0;
    if (!ReadInt(day.substr(0, 4), year) || !ReadInt(day.substr(5, 2), month) ||
        !ReadInt(day.substr(8, 2), date) || month < 1 || month > 12 || date < 1)
        return std::nullopt;
    const int64_t number = DaysFromCivil(year, month, date);
    // A day past the month's end comes back as another date.
    if (DayText(number) != day) return std::nullopt;
    return number;
}

bool IsDay(std::string_view day) {
    return DayNumber(day).has_value();
}

std::string DayText(int64_t number) {
    int64_t year = 0;
    int month = 0, day = 0;
    CivilFromDays(number, year, month, day);
    if (year < 0 || year > 9999) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", int(year), month, day);
    return text;
}

std::string UtcDay(const std::tm& local, long utcOffsetSeconds) {
    const int64_t seconds =
        DaysFromCivil(int64_t(local.tm_year) + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec - utcOffsetSeconds;
    return DayText(seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400);
}

std::string DailyNoteText(const TDailyNote& note) {
    return note.day + ", try " + std::to_string(note.attempt);
}

bool HasDailyNote(const TReplayHeader& header) {
    for (const auto& [name, value] : header.notes)
        if (name == kDailyNote) return true;
    return false;
}

std::optional<TDailyNote> ReadDailyNote(const TReplayHeader& header) {
    std::optional<TDailyNote> found;
    for (const auto& [name, value] : header.notes) {
        if (name != kDailyNote) continue;
        // Two daily lines say nothing for sure.
        if (found) return std::nullopt;
        const std::string_view text = value;
        constexpr std::string_view kTry = ", try ";
        int64_t attempt = 0;
        if (text.size() <= 10 + kTry.size() || text.substr(10, kTry.size()) != kTry ||
            !IsDay(text.substr(0, 10)) || !ReadInt(text.substr(10 + kTry.size()), attempt) ||
            attempt < 1 || attempt > 1000000)
            return std::nullopt;
        found = TDailyNote{std::string(text.substr(0, 10)), int(attempt)};
    }
    return found;
}

std::optional<int64_t> ReadClaim(const TReplayHeader& header) {
    std::optional<int64_t> claim;
    for (const auto& [name, value] : header.notes) {
        if (name != kClaimNote) continue;
        constexpr std::string_view kScore = "score ";
        const std::string_view text = value;
        int64_t score = 0;
        if (claim || text.substr(0, kScore.size()) != kScore ||
            !ReadInt(text.substr(kScore.size()), score))
            return std::nullopt;
        claim = score;
    }
    return claim;
}

bool MentionsDaily(std::string_view bytes) {
    const size_t end = bytes.find("\n\n");
    const std::string_view header =
        bytes.substr(0, end == std::string_view::npos ? kMaxHeadBytes : end);
    return header.find(std::string("\n") + kDailyNote + ":") != std::string_view::npos;
}

int WriteDailyClaim(IFiles& files, const std::string& path, int64_t score) {
    bool whole = false;
    const std::optional<std::string> bytes = files.Read(path, kMaxReplayBody, &whole);
    if (!bytes) return errno ? errno : ENOENT;
    TReplayHeader header;
    size_t bodyAt = 0;
    std::string error;
    if (!whole || !ParseReplayHeader(*bytes, header, bodyAt, error)) return EINVAL;
    // The header's lines as they are, a claim made before left out, and the claim after the
    // daily line (or last).
    const std::string claim = std::string(kClaimNote) + ": score " + std::to_string(score) + "\n";
    std::string text;
    bool placed = false;
    for (size_t at = 0; at < bodyAt - 1;) {
        const size_t nl = bytes->find('\n', at);
        const std::string_view line(bytes->data() + at, nl - at + 1);
        at = nl + 1;
        if (line.substr(0, std::string_view(kClaimNote).size() + 1) ==
            std::string(kClaimNote) + ":")
            continue;
        text += line;
        if (!placed && line.substr(0, std::string_view(kDailyNote).size() + 1) ==
                           std::string(kDailyNote) + ":")
            text += claim, placed = true;
    }
    if (!placed) text += claim;
    text.append(*bytes, bodyAt - 1, std::string::npos);
    return files.Replace(path, text);
}

std::string DailyRefusalBeforePlay(const TReplayFile& file) {
    const TReplayHeader& header = file.header;
    const std::optional<TDailyNote> note = ReadDailyNote(header);
    if (!note) return "its daily line cannot be read";
    if (!header.takenOver.empty() || !header.continues.empty())
        return "it continues another recording: a daily try is played through in one session";
    if (header.speed != 100)
        return "the speed is " + std::to_string(header.speed) + " %, not 100 %";
    TSettings settings;
    std::string error;
    if (!ReadReplaySettings(header, settings, error)) return "it cannot be played: " + error;
    const TSettings shipped;
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& key = SettingKeys()[i];
        if (SettingText(settings, key) != SettingText(shipped, key))
            return std::string("the settings are not the shipped ones: ") + key.name + " = " +
                   SettingText(settings, key) + ", shipped " + SettingText(shipped, key);
    }
    const uint32_t seed = DailySeed(note->day);
    TRecordDecoder decoder(file.body);
    while (const std::optional<TRecord> r = decoder.Next())
        if (r->kind == TRecordKind::Seed && r->seed != seed)
            return "the seed does not follow from the day: " + note->day + " gives " + Hex(seed) +
                   ", the recording has " + Hex(r->seed);
    return {};
}

std::string DailyRefusalAfterPlay(const TReplayHeader& header, const TDailyPlay& play) {
    const std::optional<int64_t> claim = ReadClaim(header);
    if (play.status == 2) return "it cannot be played: " + play.problem;
    if (play.status != 0) return "it does not play as recorded: " + play.problem;
    if (!play.ended)
        return "the game does not end in the recording (it stops at tick " +
               std::to_string(play.tick) + " with score " + DailyScoreText(play.score) +
               (claim ? ", claiming " + DailyScoreText(*claim) : std::string()) + ")";
    if (play.games > 1) return "it holds more than one game: a daily try is one game";
    if (!claim) return "it claims no score: its session did not end after the game";
    if (*claim != play.score)
        return "its game ends with score " + DailyScoreText(play.score) + ", not the " +
               DailyScoreText(*claim) + " it claims";
    if (!play.complete) return "the recording stops before the session's end";
    return {};
}

std::string DailyProvenText(const TDailyNote& note, int64_t score) {
    return "daily " + DailyNoteText(note) + ": score " + DailyScoreText(score) + ", proven";
}

std::string DailyScoreText(int64_t score) {
    const std::string digits = std::to_string(score < 0 ? -score : score);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ' ';
        text += digits[i];
    }
    return score < 0 ? "-" + text : text;
}
