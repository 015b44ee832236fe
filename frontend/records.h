// The records of every game played to its end: one line each in records.txt in the player's
// state folder, beside the replays they were played in. The index is only a quick way to the
// replays: when it is missing or damaged it is made again from the replays folder.
//
// The file:
//
//   Quorvatide records, format 1
//   score=1070<TAB>date=2026-12-08 15:04<TAB>length=465000<TAB>settings=shipped<TAB>speed=100
//       <TAB>game=1<TAB>replay=quorvatide-2026-12-08_15-04-05-best-1070.qvr
//   ...                                     (one line a game, in the order they were played)
//
// Each line is fields NAME=VALUE separated by tabs, in any order; a tab, a line end or a
// backslash inside a value is written \t, \n, \r or \\. A daily challenge's game adds
// day=2026-12-09<TAB>try=1 (older indexes have neither). A later version adds fields without
// raising the format: this one keeps the fields it does not know as they are and writes them
// back. The format rises only for a change an older
// version cannot read; an index of a newer format is left alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "toolkit/platform.h"

class TForm1;
struct TReplayFile;

constexpr int kRecordsFormat = 1;
// The index's name in the player's state folder.
constexpr const char* kRecordsFileName = "records.txt";
// The best games, whose replays the pruning of the replays folder keeps.
constexpr size_t kRecordsKept = 10;

struct TGameRecord {
    // When the game ended, local time, "YYYY-MM-DD HH:MM". A record made again from its replay
    // counts from the moment its session began (the header's "recorded" line, to the second)
    // as long as the recording's clock went on to the game's end; empty when the replay does
    // not say when its session began.
    std::string date;
    int64_t score = 0;
    // The game's own time: its ticks, 50 ms each (a pause is no part of it).
    uint64_t lengthMs = 0;
    // Played with settings other than the shipped ones (every setting at its default).
    bool ownSettings = false;
    // The game's pace, percent.
    int speed = 100;
    // The replay's file name in the replays folder.
    std::string replay;
    // The game's number in its session, from 1.
    int game = 1;
    // A daily challenge's game: its day (UTC, "YYYY-MM-DD") and its try of that day, from 1;
    // the first try is the ranked one, later ones are practice. Empty and 0 for other games.
    std::string day;
    int dailyTry = 0;
    // Fields of a later version, as the file held them (NAME=VALUE, tab-separated, escaped).
    std::string laterFields;

    bool operator==(const TGameRecord&) const = default;
};

// The records as the front end holds them.
struct TRecords {
    // Oldest first: the order the games were played in.
    std::vector<TGameRecord> games;
    // The index file; empty without a state folder (nothing is kept then).
    std::string path;
    // False when the file is of a newer version: it is never written over.
    bool writable = true;
};

// ---- the file
// The index's text.
std::string FormatRecords(const std::vector<TGameRecord>& games);
// Reads the index's text into `games`. False when it is not an index, is of a newer format
// (`newer` set) or has a damaged line: `damagedLine` is then the first such line's number (1
// for the first line), and `games` holds every line that could be read.
bool ParseRecords(std::string_view text, std::vector<TGameRecord>& games, int& damagedLine,
                  bool& newer);

// ---- loading and saving
// Loads the index of `stateDir` (ending in a separator). A missing index is rebuilt from
// the replays folder and written. A damaged one is rebuilt likewise, and `warning` says so
// in one line ("<path>: line 7 is damaged; the records are rebuilt from the replays");
// nothing is lost: every game of a replay still there comes back, with the date of the damaged
// index's readable line of it, and the games of its readable lines that the replays do not
// hold (pruned, unreadable, or cut short before the game's end was written) stay.
// The index is replaced whole or not at all. Replays that cannot be read are counted in the
// warning. A newer format's index is left as it is, its records made from the replays for
// this run only.
TRecords LoadRecords(IFiles& files, const std::string& stateDir, std::string& warning);
// Writes the index whole or not at all: 0, or the errno of the failure.
int SaveRecords(IFiles& files, const TRecords& records);
// Appends a game just ended and saves: 0, or the errno.
int AddRecord(IFiles& files, TRecords& records, TGameRecord record);
// The replay `from` now has the name `to` (paths or file names; the recorder renames a
// session's file as its best score rises): every record of it follows, and the index is saved
// when any did. 0, or the errno.
int RenameReplay(IFiles& files, TRecords& records, const std::string& from, const std::string& to);

// ---- making records
// The games that ended in a replay file called `name`, in the order they ended: score, length
// and game number from the digests at their ends (the tick and score fields); the date from
// when the session began (the header's "recorded" line, else the file's name) and the
// recording's clock up to the game's end (for a session taken over, after its hand-over, from
// the "taken over" line); the settings and the speed from the header. No game is played.
std::vector<TGameRecord> RecordsOfReplay(const TReplayFile& file, const std::string& name);
// Every game of the replays folder, oldest first. `unreadable` counts the game's replays that
// could not be read. A session taken over holds the games of the one it continues up to its
// hand-over; while that replay is in the folder too, they are counted once, as its.
std::vector<TGameRecord> RebuildRecords(IFiles& files, const std::string& replayFolder,
                                        int& unreadable);
// The record of `game` just ended in live play: its number in the session, the game's tick
// count when it began (its ticks are those since), the replay's file (path or name), the speed
// and the moment it ended (local time).
TGameRecord MakeRecord(const TForm1& game, int number, int startTick, const std::string& replay,
                       int speed, const std::tm& ended);
// Whether every setting is at its shipped default.
bool ShippedSettings(const TSettings& settings);
// "YYYY-MM-DD HH:MM" of a local time.
std::string RecordDate(const std::tm& when);

// ---- ranking
// The best `n` games by score, best first; of equal scores the earlier game first.
std::vector<TGameRecord> BestRecords(const std::vector<TGameRecord>& games, size_t n);
// Every game, best first (BestRecords of all).
std::vector<TGameRecord> RankedRecords(const std::vector<TGameRecord>& games);
// The latest `n` games, newest first.
std::vector<TGameRecord> LatestRecords(const std::vector<TGameRecord>& games, size_t n);
// The place of games[index] among all, from 1 (of equal scores the earlier game ranks first).
int PlaceOf(const std::vector<TGameRecord>& games, size_t index);
// What the game-over screen says of games[index]: "New best: 1 234" when it ranks first of
// them all, else "3rd of 27".
std::string PlaceText(const std::vector<TGameRecord>& games, size_t index);
// The ranked dailies whose replays the pruning keeps too: those of the latest days that have
// one, and the best of all.
constexpr size_t kRankedDailiesKept = 30, kBestDailiesKept = 10;
// The replay file names of the best `n` games and of the ranked dailies kept (each once), which
// the pruning must keep.
std::vector<std::string> KeptReplays(const std::vector<TGameRecord>& games,
                                     size_t n = kRecordsKept);

// ---- words
// 1st, 2nd, 3rd, 4th, 11th, 12th, 13th, 21st, 101st, 111th...
std::string Ordinal(int n);
// A number with its thousands grouped by spaces: "1 234", "12 345 678", "-1 234".
std::string GroupedNumber(int64_t n);
// The lines of `quorvatide --records`: every game, best first: score, date, length, "shipped"
// or "own" settings, speed, game number and replay, in columns.
std::vector<std::string> RecordsTable(const std::vector<TGameRecord>& games);
