// The records of a replay: what the game read from the outside world, in the order it read
// it, with digests of the game state between them. Each record is its kind and its values,
// numbers as variable-length integers, times as differences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/session.h"

// Every record starts with its kind. A dispatch (input, music notification, the window's
// timers, the end of the session) carries the host's clock time when it happened; a clock
// reading carries the time the game was told. Times are written as the difference from the
// last time written, of either sort.
enum class TRecordKind : uint8_t {
    Clock = 1,          // the game read the clock
    Seed = 2,           // the game took a seed for its random generator
    MouseMove = 3,      // time, x, y, shift state
    MouseDown = 4,      // time, x, y, button, shift state
    MouseUp = 5,        // time, x, y, button, shift state
    Key = 6,            // time, character
    MusicFinished = 7,  // time, player
    Timers = 8,         // time: the window ran its due timers
    Digest = 9,         // when (TDigestWhen), game number, fields
    Close = 10,         // time: the session ended
};

enum class TDigestWhen : uint8_t { During = 0, GameEnd = 1, SessionEnd = 2 };

// One record, decoded.
struct TRecord {
    TRecordKind kind = TRecordKind::Clock;
    uint64_t time = 0;  // Clock, and the dispatches
    uint32_t seed = 0;
    int x = 0, y = 0;
    TMouseButton button = TMouseButton::Left;
    TShiftState shift;
    char key = 0;
    int player = 0;
    TDigestWhen when = TDigestWhen::During;
    int game = 0;
    std::vector<std::pair<uint32_t, uint64_t>> fields;  // Digest: id, value
};

bool IsDispatch(TRecordKind kind);
// A dispatch as its record, and back.
TRecord RecordOf(const TDispatch& dispatch);
TDispatch DispatchOf(const TRecord& record);

// Writes records into bytes.
class TRecordEncoder {
public:
    void Encode(const TRecord& record, std::vector<uint8_t>& out);

private:
    void Time(uint64_t time, std::vector<uint8_t>& out);
    uint64_t lastTime_ = 0;
};

// Reads records from bytes, one at a time.
class TRecordDecoder {
public:
    explicit TRecordDecoder(std::string_view body) : body_(body) {}
    bool AtEnd() const { return pos_ >= body_.size(); }
    size_t Position() const { return pos_; }
    // The next record; nothing at the end of the body or where the bytes make no record (then
    // Error() says why).
    std::optional<TRecord> Next();
    const std::string& Error() const { return error_; }

private:
    bool Varint(uint64_t& v);
    bool Signed(int64_t& v);
    bool Time(uint64_t& time);
    std::string_view body_;
    size_t pos_ = 0;
    uint64_t lastTime_ = 0;
    std::string error_;
};
