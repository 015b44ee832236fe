// The command line's records: --records prints the records table, --report a game's report
// and its plot.
#pragma once

#include <string>

#include "toolkit/platform.h"

// What a mode has to say, and its status.
struct TCliOutcome {
    int status = 0;
    std::string out, err;  // whole lines
};

// --records: the records of `stateDir` (made again from its replays when the index is missing
// or damaged), best first, a line each; a line saying there are none when there are none.
TCliOutcome PrintRecords(IFiles& files, const std::string& stateDir);

// --report REPLAY [PLOT] [--game N]: the report of game `game` (0: the best) of the replay,
// played with the Assets of `exeDir`; with `plot`, its plot written there as a PNG. A bare
// file name that is no file here is looked for in the replays folder of `stateDir`.
TCliOutcome PrintReport(IFiles& files, const std::string& exeDir, const std::string& stateDir,
                        const std::string& replay, const std::string& plot, int game);
