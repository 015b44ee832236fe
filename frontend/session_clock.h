// The clock a session of live play is given: the host's, slowed to the player's game speed.
// The game reads only this clock, so a slower game is one whose clock runs slower; the recorder
// writes down its readings as it writes down any clock's, and the replay plays back the same.
#pragma once

#include <cstdint>

#include "toolkit/platform.h"

class TSessionClock : public IClock {
public:
    // `percent` of the host's pace, from 1 to 100.
    TSessionClock(IClock& host, int percent);

    uint64_t NowMs() override;
    uint32_t RandomSeed() override { return host_.RandomSeed(); }
    int Percent() const { return percent_; }
    // The host's time at which this clock reads `time` (the first host millisecond at which it
    // has got there), for the host's waits.
    uint64_t HostTime(uint64_t time) const;

private:
    IClock& host_;
    int percent_;
    uint64_t hostStart_, start_, last_;
};
