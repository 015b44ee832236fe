// The replay file: a header a person can read (replay_header.h), then the session's records
// (replay_records.h) in chunks, most of them compressed (replay_chunks.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "replay/replay_chunks.h"
#include "replay/replay_header.h"
#include "replay/replay_records.h"

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
std::optional<TReplayFile> LoadReplay(IFiles& files, const std::string& path, std::string& error);
