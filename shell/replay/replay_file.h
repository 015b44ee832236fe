// The replay file: a header a person can read, then the session's records in chunks, most of
// them compressed.
//
//   Quorvatide replay
//   format: 1
//   game: Quorvatide 1.1.0
//   recorded: 2026-12-08 15:04:05 +0100
//   setting: VONKELKILL = 50
//   ...                                   (every setting in effect, one a line)
//   <empty line>
//   chunk*: kind ('Z' compressed, 'R' raw), length (u32 LE), CRC-32 of the payload (u32 LE),
//           payload
//
// The payloads of the 'Z' chunks, in order, are one raw deflate stream, each chunk ending at a
// flush point, so that every chunk on disk can be read without the ones still to come. A 'R'
// chunk holds records as they are, written when a crashing program saves what it had not yet
// compressed. A chunk cut short or spoiled at the very end of the file is what a killed
// program leaves: the file is then read up to there and called incomplete.
//
// The records (the decompressed body) are what the game read from the outside world, in the
// order it read them, with digests of the game state between them; see TRecordKind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/toolkit/controls.h"

// The version of the file layout. A later game that changes it raises it, and reads the
// formats before it or says it cannot; a game meeting a format above its own says so.
constexpr int kReplayFormat = 1;

struct TReplayHeader {
    int format = kReplayFormat;
    std::string game;      // the game and version that recorded it
    std::string recorded;  // when, as a person reads it
    // The board was shown at start-up without the splash screen (QUORVATIDE_SHOW_BOARD).
    bool boardShown = false;
    // Every setting in effect: key and value as text.
    std::vector<std::pair<std::string, std::string>> settings;
};

std::string FormatReplayHeader(const TReplayHeader& header);

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

class TForm;
// Hands a dispatch to the window: the input, the end of a music track or the run of its timers
// the record holds (the end of the session is nothing the window is told).
void HandTo(TForm& window, const TRecord& dispatch);

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

// A replay file read whole.
struct TReplayFile {
    TReplayHeader header;
    std::string body;  // the records
    // The last chunk on disk was whole: the recording was written to its last flush. (Whether
    // the session ended properly is told by its Close record.)
    bool chunksWhole = true;
};

// The most records a replay may hold, decompressed: some ten days of play.
constexpr size_t kMaxReplayBody = size_t(256) * 1024 * 1024;

// Reads a replay from the bytes of a file. On failure, `error` says why in words fit for one
// line after the file's name ("not a Quorvatide replay", ...). Records beyond `maxBody` bytes
// make the file too large to be a replay.
std::optional<TReplayFile> ParseReplay(std::string_view bytes, std::string& error,
                                       size_t maxBody = kMaxReplayBody);
// Reads a replay file; the error names what went wrong (the file cannot be opened, ...).
std::optional<TReplayFile> LoadReplay(const std::string& path, std::string& error);

// Writes a replay file as the session goes: records gather in a buffer of fixed size and go to
// the file compressed at each Flush (and whenever the buffer fills).
class TReplayWriter {
public:
    TReplayWriter();
    ~TReplayWriter();
    TReplayWriter(const TReplayWriter&) = delete;
    TReplayWriter& operator=(const TReplayWriter&) = delete;

    // Creates `path`, which must not exist yet, and writes the header. On failure, returns false
    // and `error` says why.
    bool Create(const std::string& path, const std::string& header, std::string& error);
    bool IsOpen() const { return fd_ >= 0; }
    // Keeps records for the next flush. Returns false once writing has failed.
    bool Append(const uint8_t* data, size_t size);
    // Compresses what was kept and writes it to the file as one chunk.
    bool Flush();
    // Flushes and closes the file.
    bool Close();
    // What went wrong when writing failed.
    const std::string& Error() const { return error_; }

    // Writes what is kept, uncompressed, as a raw chunk, with nothing but write(2): safe in a
    // signal handler of a dying program. The writer must not be used after it.
    void EmergencyFlush() noexcept;
    static void EmergencyFlushOf(void* writer) noexcept {
        static_cast<TReplayWriter*>(writer)->EmergencyFlush();
    }

private:
    bool WriteChunk(char kind, const uint8_t* data, size_t size);
    bool Fail(const char* what);

    int fd_ = -1;
    struct TDeflate;
    std::unique_ptr<TDeflate> deflate_;
    // Records not yet written: a buffer that never moves, so that a signal handler can write it.
    static constexpr size_t kPendingCapacity = 64 * 1024;
    std::unique_ptr<uint8_t[]> pending_;
    volatile size_t pendingSize_ = 0;
    std::vector<uint8_t> compressed_;
    std::string error_;
};
