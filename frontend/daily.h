// The daily challenge in the front end: one board a day (UTC), the same for every player; the
// first try of a day is ranked, later ones that day are practice. A daily session is live play
// with the day's seed, the shipped settings and 100 % speed, whose header names the day and the
// try; it holds one game, and when it ends its replay claims the game's score (replay/daily.h).
// Its records carry the day and the try, and the daily's screen shows today's status, the best
// ranked scores and the streak, and shares a score with its replay.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/front_end.h"
#include "frontend/records.h"

// Today, UTC, by the host's clock: "YYYY-MM-DD".
std::string TodayUtc();

// The try a daily of `day` begun now is: one more than the highest of that day's tries in the
// records and in the headers of the replays in `replayFolder` (a try left before its game ended
// has a replay but no record).
int NextDailyTry(const std::vector<TGameRecord>& games, IFiles& files,
                 const std::string& replayFolder, const std::string& day);

// A new session of the daily of `day` in `front`, on its title screen: at its end the replay
// claims the score and the daily's screen shows.
void PlayDaily(TFrontEnd& front, const std::string& day);

// ---- the daily's records
// The ranked try of `day`, when its game ended.
std::optional<TGameRecord> RankedDaily(const std::vector<TGameRecord>& games,
                                       const std::string& day);
// The best practice game of `day`.
std::optional<TGameRecord> BestPractice(const std::vector<TGameRecord>& games,
                                        const std::string& day);
// The best `n` ranked dailies, best first (of equal scores the earlier).
std::vector<TGameRecord> BestDailies(const std::vector<TGameRecord>& games, size_t n);
// Days in a row with a ranked try played to its end, up to `today`, or up to the day before
// while today's is still to come.
int DailyStreak(const std::vector<TGameRecord>& games, const std::string& today);
// The line a player pastes: "Quorvatide daily 2026-12-09: 1 234".
std::string DailyShareLine(const TGameRecord& record);

// The daily's screen for `today`: its status, the best daily scores, the streak, Play (or
// Practice once the ranked try is done), Share and Back.
std::unique_ptr<TMenuScreen> MakeDailyScreen(const std::string& today);
