// The body of a replay file: chunks, most of them compressed.
//
//   chunk*: kind ('Z' compressed, 'R' raw), length (u32 LE), CRC-32 of the payload (u32 LE),
//           payload
//
// The payloads of the 'Z' chunks, in order, are one raw deflate stream, each chunk ending at a
// flush point, so that every chunk on disk can be read without the ones still to come. A 'R'
// chunk holds records as they are, written when a crashing program saves what it had not yet
// compressed. A chunk cut short or spoiled at the very end of the file is what a killed
// program leaves: the file is then read up to there and called incomplete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/platform.h"

// Reads the chunks of `bytes` from `pos` on into `body` (the records), at most `maxBody` bytes
// of them; `whole` tells whether the last chunk was whole. On failure `error` says why.
bool ReadChunks(std::string_view bytes, size_t pos, size_t maxBody, std::string& body, bool& whole,
                std::string& error);

// Writes a replay file as the session goes: records gather in a buffer of fixed size and go to
// the file compressed at each Flush (and whenever the buffer fills).
class TReplayWriter {
public:
    TReplayWriter();
    ~TReplayWriter();
    TReplayWriter(const TReplayWriter&) = delete;
    TReplayWriter& operator=(const TReplayWriter&) = delete;

    // Creates `path` with `files`, which must not exist yet, and writes the header. On failure,
    // returns false, `error` says why and no file is left; `taken` (when given) tells whether
    // the failure was the name's being taken already.
    bool Create(IFiles& files, const std::string& path, const std::string& header,
                std::string& error, bool* taken = nullptr);
    // Keeps records for the next flush. Returns false once writing has failed.
    bool Append(const uint8_t* data, size_t size);
    // Compresses what was kept and writes it to the file as one chunk.
    bool Flush();
    // Flushes and closes the file. A file whose writing failed is kept open (see IFileOut)
    // until this.
    bool Close();
    // What went wrong when writing failed.
    const std::string& Error() const { return error_; }

    // Writes what is kept, uncompressed, as a raw chunk, with nothing but the system's write:
    // safe in a signal handler of a dying program. The writer must not be used after it.
    void EmergencyFlush() noexcept;
    static void EmergencyFlushOf(void* writer) noexcept {
        static_cast<TReplayWriter*>(writer)->EmergencyFlush();
    }

private:
    bool WriteChunk(char kind, const uint8_t* data, size_t size);
    bool Fail(const std::string& why);

    std::unique_ptr<IFileOut> out_;
    bool failed_ = false;
    struct TDeflate;
    std::unique_ptr<TDeflate> deflate_;
    // Records not yet written: a buffer that never moves, so that a signal handler can write it.
    static constexpr size_t kPendingCapacity = 64 * 1024;
    std::unique_ptr<uint8_t[]> pending_;
    volatile size_t pendingSize_ = 0;
    std::vector<uint8_t> compressed_;
    std::string error_;
};
