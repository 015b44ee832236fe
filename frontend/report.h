// A game's report, worked out from its replay when it is asked for: the session is played again
// headless, as --check-replay plays it, to the end of the game asked for, and the game's state
// is read after every dispatch. Nothing of it is collected during play, so play costs nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "replay/replay_file.h"
#include "toolkit/platform.h"

// The game's state at a moment of its own time.
struct TReportSample {
    uint64_t ms = 0;  // game time: ticks since the game began, 50 ms each
    int64_t score = 0;
    int64_t scrap = 0;
    int creatures = 0;  // alive
    bool operator==(const TReportSample&) const = default;
};

struct TGameReport {
    // The game's number in its session, and how many games the session's recording holds.
    int game = 1;
    int games = 1;
    // The orb fell: the recording holds the game's end. Otherwise the report goes as far as the
    // recording does.
    bool ended = false;
    int64_t score = 0;
    uint64_t lengthMs = 0;
    // Creatures killed in this game by the turrets and by creatures' shots.
    int killsByTurrets = 0, killsByCreatures = 0;
    // Signs built: each sign (by its id) counted the first time it is seen solid, built by its
    // bot, after a dispatch of the game. A sign ordered and taken away before its bot built it
    // does not count; one built and destroyed later does.
    int signsBuilt = 0;
    // Bots bought: the bots the game has beyond those it began with (one). Bots are never lost
    // during a game. (In debug mode the free bot of the key X counts too.)
    int botsBought = 0;
    // Scrap gathered and spent: the rises and the falls of the scrap counter from one dispatch
    // to the next, summed. A dispatch moves scrap one way only (a tick gathers, a click pays
    // for a sign or a bot, or pays back half of a sign destroyed, which counts as gathered).
    int64_t scrapGathered = 0, scrapSpent = 0;
    // The recording's time at which the game's board was made (the session's start for the
    // first game; for a later one, the click that left the last game over for it): to watch it,
    // or take it over, from there.
    uint64_t startTime = 0;
    // The state at the game's start, at every whole second of its time, and at its end.
    std::vector<TReportSample> samples;
};

struct TReportOutcome {
    // 0 the report was made; 1 the recording does not play as recorded before the game's end;
    // 2 the file is not a replay this version can read, or holds no such game.
    int status = 0;
    // Why not, in one line that names the file.
    std::string message;
    TGameReport report;
};

// The report of game `game` (from 1) of the replay at `path`, read with `files`, played with the
// Assets folder of `exeDir` (as CheckReplay takes them). Game 0: the game with the best score in
// the recording (of equal ones the earlier; with none ended, the last).
TReportOutcome MakeReport(const std::string& path, IFiles& files, const std::string& exeDir,
                          int game = 0);
// The same for a replay file already read; `name` stands for the file in the message.
TReportOutcome MakeReportOf(TReplayFile file, const std::string& name, IFiles& files,
                            const std::string& exeDir, int game = 0);

// The report in a few lines a person reads (those --report prints).
std::vector<std::string> ReportLines(const TGameReport& report);
