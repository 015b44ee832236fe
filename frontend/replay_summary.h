// What a replay holds at a glance, read from its file without playing it: when its session
// began, how long it lasted, its games that ended and the best of their scores, and whether it
// stopped in the middle of a game.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/platform.h"

struct TReplaySummary {
    std::string file;
    // "2026-12-09 21:34", from the header's date.
    std::string date;
    uint64_t lengthMs = 0;
    int gamesEnded = 0;
    int64_t bestScore = 0;
    // Its last game had not ended when the recording stopped.
    bool inPlay = false;
};

// False when the file is no replay this version reads.
bool SummariseReplay(IFiles& files, const std::string& path, TReplaySummary& summary);

// "m:ss", or "h:mm:ss" from an hour on.
std::string MinutesLong(uint64_t ms);
