// The daily challenge's replays: one board a day, the same for every player on every platform,
// and every score proven by its replay.
//
// A daily game is played with the shipped settings at 100 % speed, and every seed it takes (at
// start-up and at a new game) is the day's, a function of the UTC date alone:
//
//   DailySeed("2026-12-09") = FNV-1a, 32 bits, of the text "Quorvatide daily 2026-12-09"
//
// Its replay's header names the day and the try from the start ("daily: 2026-12-09, try 1"),
// and, written again whole when the session ends, the score its game ended with
// ("claimed: score 1234"). A daily session holds one game. The check plays such a replay and
// proves the claim, or says in one line why it cannot.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "replay/replay_file.h"
#include "toolkit/platform.h"

// The header's lines of a daily game.
constexpr const char* kDailyNote = "daily";
constexpr const char* kClaimNote = "claimed";

// The seed of every Randomize of the daily game of `day` ("YYYY-MM-DD").
uint32_t DailySeed(std::string_view day);

// ---- days: "YYYY-MM-DD" of the proleptic Gregorian calendar, years 0000 to 9999
// Whether `day` is one (a real date: no 2026-02-30).
bool IsDay(std::string_view day);
// The day's number: days since 1970-01-01 (negative before it); nothing when it is no day.
std::optional<int64_t> DayNumber(std::string_view day);
// The day of a number DayNumber gives.
std::string DayText(int64_t number);
// The UTC day of a moment given as local time and its offset from UTC in seconds.
std::string UtcDay(const std::tm& local, long utcOffsetSeconds);

// ---- the header's lines
struct TDailyNote {
    std::string day;
    // The try of that day, from 1: the first is the ranked one, later ones practice.
    int attempt = 0;
};
// The value of the "daily" line: "2026-12-09, try 1".
std::string DailyNoteText(const TDailyNote& note);
// Whether the header has a "daily" line at all.
bool HasDailyNote(const TReplayHeader& header);
// The header's "daily" line read; nothing when it has none or it cannot be read.
std::optional<TDailyNote> ReadDailyNote(const TReplayHeader& header);
// The score its "claimed" line claims; nothing when it has none or it cannot be read.
std::optional<int64_t> ReadClaim(const TReplayHeader& header);
// Whether the first bytes of a file (what ParseReplayHeader may refuse) hold a "daily" line in
// the header: a daily replay that this version cannot read still says it is one.
bool MentionsDaily(std::string_view bytes);

// Writes the file at `path` again whole, its header with the line "claimed: score N" added and
// the rest of its bytes as they were: 0, or the errno of the failure (EINVAL: it is no replay).
int WriteDailyClaim(IFiles& files, const std::string& path, int64_t score);

// ---- the proof
// Why a daily replay cannot be proven from what it says of itself (its header and its seeds),
// before it is played: its daily line cannot be read, it continues another recording, its speed
// is not 100 %, its settings are not the shipped ones or cannot be read, or a seed is not the
// day's. Empty when nothing stands against it.
std::string DailyRefusalBeforePlay(const TReplayFile& file);

// What playing a daily replay came to.
struct TDailyPlay {
    // The check's status (0 all digests matched, 1 desync, 2 cannot be played) and its problem.
    int status = 0;
    std::string problem;
    // Games begun, whether the first ended in the recording and its score then (else the score
    // and tick where the recording stops), and whether the recording is whole to its end.
    int games = 0;
    bool ended = false;
    int64_t score = 0;
    int tick = 0;
    bool complete = false;
};
// Why the daily replay whose header is `header`, played as `play` says, is not proven; empty
// when it is.
std::string DailyRefusalAfterPlay(const TReplayHeader& header, const TDailyPlay& play);
// What the check says of a proven daily replay: "daily 2026-12-09, try 1: score 1 234, proven".
std::string DailyProvenText(const TDailyNote& note, int64_t score);
// A score with its thousands grouped by spaces: "1 234".
std::string DailyScoreText(int64_t score);
