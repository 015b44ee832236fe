#include "replay/replay_chunks.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kChunkHeaderBytes = 9;

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// A z_stream that ends itself.
struct TInflate {
    z_stream z{};
    bool ok = inflateInit2(&z, -15) == Z_OK;
    ~TInflate() {
        if (ok) inflateEnd(&z);
    }
};

}  // namespace

bool ReadChunks(std::string_view bytes, size_t pos, size_t maxBody, std::string& body, bool& whole,
                std::string& error) {
    whole = true;
    TInflate inflater;
    if (!inflater.ok) {
        error = "out of memory";
        return false;
    }
    std::vector<uint8_t> out(64 * 1024);
    while (pos < bytes.size()) {
        const size_t chunkStart = pos;
        if (bytes.size() - pos < kChunkHeaderBytes) {
            whole = false;
            break;
        }
        const auto* head = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
        const char kind = char(head[0]);
        const uint32_t length = ReadU32(head + 1), crc = ReadU32(head + 5);
        if (kind != 'Z' && kind != 'R') {
            error = "damaged: no chunk at byte " + std::to_string(chunkStart);
            return false;
        }
        pos += kChunkHeaderBytes;
        if (length > bytes.size() - pos) {
            whole = false;
            break;
        }
        const auto* payload = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
        pos += length;
        if (crc32(0, payload, length) != crc) {
            // Spoiled at the very end is a write that was cut off; anywhere else, damage.
            if (pos == bytes.size()) {
                whole = false;
                break;
            }
            error = "damaged: the chunk at byte " + std::to_string(chunkStart) +
                    " does not match its checksum";
            return false;
        }
        if (kind == 'R') {
            if (body.size() + length > maxBody) {
                error = "too large to be a replay";
                return false;
            }
            body.append(reinterpret_cast<const char*>(payload), length);
            continue;
        }
        z_stream& z = inflater.z;
        z.next_in = const_cast<uint8_t*>(payload);
        z.avail_in = length;
        do {
            z.next_out = out.data();
            z.avail_out = uInt(out.size());
            const int rc = inflate(&z, Z_SYNC_FLUSH);
            if (rc != Z_OK && rc != Z_BUF_ERROR && rc != Z_STREAM_END) {
                error = "damaged: the chunk at byte " + std::to_string(chunkStart) +
                        " does not decompress";
                return false;
            }
            const size_t produced = out.size() - z.avail_out;
            if (body.size() + produced > maxBody) {
                error = "too large to be a replay";
                return false;
            }
            body.append(reinterpret_cast<const char*>(out.data()), produced);
            if (rc == Z_STREAM_END || (rc == Z_BUF_ERROR && produced == 0)) break;
        } while (z.avail_in > 0 || z.avail_out == 0);
        if (z.avail_in > 0) {
            error =
                "damaged: the chunk at byte " + std::to_string(chunkStart) + " does not decompress";
            return false;
        }
    }
    return true;
}

struct TReplayWriter::TDeflate {
    z_stream z{};
    bool ok =
        deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    ~TDeflate() {
        if (ok) deflateEnd(&z);
    }
};

TReplayWriter::TReplayWriter() : pending_(std::make_unique<uint8_t[]>(kPendingCapacity)) {}

TReplayWriter::~TReplayWriter() {
    Close();
}

bool TReplayWriter::Fail(const std::string& why) {
    error_ = why.empty() ? "cannot write" : why;
    failed_ = true;
    pendingSize_ = 0;
    return false;
}

bool TReplayWriter::Create(IFiles& files, const std::string& path, const std::string& header,
                           std::string& error, bool* taken) {
    if (taken) *taken = false;
    deflate_ = std::make_unique<TDeflate>();
    if (!deflate_->ok) {
        error = "out of memory";
        return false;
    }
    int code = 0;
    out_ = files.CreateNew(path, code);
    if (!out_) {
        error = std::strerror(code ? code : EIO);
        if (taken) *taken = code == EEXIST;
        return false;
    }
    if (!out_->Append(header.data(), header.size())) {
        // Not even the header: nothing worth keeping (an empty file would be all there is).
        Fail(out_->Error());
        error = error_;
        out_->Close();
        out_.reset();
        files.Remove(path);
        return false;
    }
    failed_ = false;
    error_.clear();
    return true;
}

bool TReplayWriter::Append(const uint8_t* data, size_t size) {
    while (size > 0) {
        if (!out_ || failed_) return false;
        if (pendingSize_ == kPendingCapacity && !Flush()) return false;
        const size_t n = std::min(size, kPendingCapacity - pendingSize_);
        std::memcpy(pending_.get() + pendingSize_, data, n);
        pendingSize_ = pendingSize_ + n;  // only once the bytes are there
        data += n;
        size -= n;
    }
    return out_ != nullptr && !failed_;
}

namespace {

// A chunk's head: its kind, the payload's length and checksum.
void ChunkHead(uint8_t (&head)[kChunkHeaderBytes], char kind, const uint8_t* data, size_t size) {
    head[0] = uint8_t(kind);
    PutU32(head + 1, uint32_t(size));
    PutU32(head + 5, uint32_t(crc32(0, data, uInt(size))));
}

}  // namespace

bool TReplayWriter::WriteChunk(char kind, const uint8_t* data, size_t size) {
    uint8_t head[kChunkHeaderBytes];
    ChunkHead(head, kind, data, size);
    return out_->Append(head, sizeof head) && out_->Append(data, size);
}

bool TReplayWriter::Flush() {
    if (!out_ || failed_) return false;
    if (pendingSize_ == 0) return true;
    z_stream& z = deflate_->z;
    compressed_.resize(deflateBound(&z, uLong(pendingSize_)) + 64);
    z.next_in = pending_.get();
    z.avail_in = uInt(pendingSize_);
    size_t produced = 0;
    do {
        if (compressed_.size() - produced < 64) compressed_.resize(compressed_.size() * 2);
        z.next_out = compressed_.data() + produced;
        z.avail_out = uInt(compressed_.size() - produced);
        if (deflate(&z, Z_SYNC_FLUSH) == Z_STREAM_ERROR) return Fail("cannot compress");
        produced = compressed_.size() - z.avail_out;
    } while (z.avail_out == 0 || z.avail_in > 0);
    pendingSize_ = 0;
    if (!WriteChunk('Z', compressed_.data(), produced)) return Fail(out_->Error());
    return true;
}

bool TReplayWriter::Close() {
    if (!out_) return !failed_;
    const bool flushed = !failed_ && Flush();
    if (!out_->Close() && flushed) Fail(out_->Error());
    out_.reset();
    return !failed_;
}

void TReplayWriter::EmergencyFlush() noexcept {
    const size_t size = pendingSize_;
    if (!out_ || failed_ || size == 0) return;
    uint8_t head[kChunkHeaderBytes];
    ChunkHead(head, 'R', pending_.get(), size);
    out_->AppendInDistress(head, sizeof head);
    out_->AppendInDistress(pending_.get(), size);
    pendingSize_ = 0;
}
