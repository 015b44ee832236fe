// The clock a session of live play is given: the host's, slowed to the player's game speed.
// The game reads only this clock, so a slower game is one whose clock runs slower; the recorder
// writes down its readings as it writes down any clock's, and the replay plays back the same.
#pragma once

#include <cstdint>
#include <optional>

#include "toolkit/platform.h"

class TSessionClock : public IClock {
public:
    // `percent` of the host's pace, from 1 to 100; with `seed`, every seed the game takes is
    // that one (a daily challenge's board, a lesson's) instead of the host's.
    TSessionClock(IClock& host, int percent, std::optional<uint32_t> seed = std::nullopt);

    uint64_t NowMs() override;
    uint32_t RandomSeed() override { return seed_ ? *seed_ : host_.RandomSeed(); }
    int Percent() const { return percent_; }
    // The host's time at which this clock reads `time` (the first host millisecond at which it
    // has got there), for the host's waits.
    uint64_t HostTime(uint64_t time) const;

private:
    IClock& host_;
    int percent_;
    std::optional<uint32_t> seed_;
    uint64_t hostStart_, start_, last_;
};
