// A digest of the game state: a few numbers that anyone can read (tick, cash, score, how many
// of each object) and a hash of each part of the state (every list with its objects' fields,
// the spawners, the timers, the screens, the random generator). Two games that played alike
// have equal digests; where they differ, the digest names the parts that differ.
//
// Replays keep digests to tell whether a game still plays as it was recorded. The fields are
// numbered for good: a field whose meaning changes gets a new number, and digests compare only
// the fields both sides have, so that a later version can still check an older replay.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TForm1;

// The field that holds the tick a digest was taken at.
constexpr uint32_t kDigestTickField = 1;
// The field that holds whether the game was over.
constexpr uint32_t kDigestGameOverField = 6;

struct TDigestField {
    uint32_t id = 0;
    uint64_t value = 0;
    bool operator==(const TDigestField&) const = default;
};

struct TStateDigest {
    // Ordered by id.
    std::vector<TDigestField> fields;
    bool operator==(const TStateDigest&) const = default;
};

// Takes digests of one game. It remembers how much of the creature log it has read, which
// only ever grows, so that a digest costs the same however long the log is.
class TStateDigester {
public:
    TStateDigest Take(const TForm1& game);

private:
    size_t logLines_ = 0;
    uint64_t logHash_ = 0;
};

// What differs between a recorded digest and the game's own, in words, e.g.
// "cash 120 recorded, 110 now; the creatures differ"; empty when the fields both have agree.
std::string DescribeDigestDifference(const TStateDigest& recorded, const TStateDigest& now);

// The name of a digest field ("cash", "the creatures"), or "field N" for one this version does
// not know.
std::string DigestFieldName(uint32_t id);
