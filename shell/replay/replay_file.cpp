#include "shell/replay/replay_file.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>

#include "shell/toolkit/form.h"

namespace {

constexpr std::string_view kMagic = "Quorvatide replay\n";
// Bounds on what a file may make us hold, so that no file can take unbounded memory.
constexpr size_t kMaxHeaderBytes = 64 * 1024;
constexpr size_t kMaxFileBytes = size_t(256) * 1024 * 1024;
constexpr size_t kChunkHeaderBytes = 9;
constexpr uint64_t kMaxDigestFields = 1000;

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

void PutVarint(uint64_t v, std::vector<uint8_t>& out) {
    while (v >= 0x80) {
        out.push_back(uint8_t(v) | 0x80);
        v >>= 7;
    }
    out.push_back(uint8_t(v));
}

uint64_t ZigZag(int64_t v) {
    return (uint64_t(v) << 1) ^ uint64_t(v >> 63);
}

int64_t UnZigZag(uint64_t v) {
    return int64_t(v >> 1) ^ -int64_t(v & 1);
}

uint8_t ShiftBits(const TShiftState& s) {
    return uint8_t((s.shift ? 1 : 0) | (s.ctrl ? 2 : 0) | (s.alt ? 4 : 0) | (s.left ? 8 : 0) |
                   (s.right ? 16 : 0) | (s.middle ? 32 : 0));
}

TShiftState ShiftOf(uint64_t bits) {
    TShiftState s;
    s.shift = bits & 1, s.ctrl = bits & 2, s.alt = bits & 4;
    s.left = bits & 8, s.right = bits & 16, s.middle = bits & 32;
    return s;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
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

// ---------------------------------------------------------------- header

std::string FormatReplayHeader(const TReplayHeader& h) {
    std::string s(kMagic);
    s += "format: " + std::to_string(h.format) + "\n";
    s += "game: " + h.game + "\n";
    s += "recorded: " + h.recorded + "\n";
    if (h.boardShown) s += "start: board shown\n";
    for (const auto& [key, value] : h.settings) s += "setting: " + key + " = " + value + "\n";
    s += "\n";
    return s;
}

// ---------------------------------------------------------------- records

bool IsDispatch(TRecordKind kind) {
    switch (kind) {
        case TRecordKind::MouseMove:
        case TRecordKind::MouseDown:
        case TRecordKind::MouseUp:
        case TRecordKind::Key:
        case TRecordKind::MusicFinished:
        case TRecordKind::Timers:
        case TRecordKind::Close:
            return true;
        default:
            return false;
    }
}

void HandTo(TForm& window, const TRecord& d) {
    switch (d.kind) {
        case TRecordKind::MouseMove:
            window.MouseMove(d.x, d.y, d.shift);
            break;
        case TRecordKind::MouseDown:
            window.MouseDown(d.x, d.y, d.button, d.shift);
            break;
        case TRecordKind::MouseUp:
            window.MouseUp(d.x, d.y, d.button, d.shift);
            break;
        case TRecordKind::Key:
            window.KeyPress(d.key);
            break;
        case TRecordKind::MusicFinished:
            window.MusicFinished(d.player);
            break;
        case TRecordKind::Timers:
            window.FireDueTimers();
            break;
        default:
            break;
    }
}

void TRecordEncoder::Time(uint64_t time, std::vector<uint8_t>& out) {
    PutVarint(ZigZag(int64_t(time - lastTime_)), out);
    lastTime_ = time;
}

void TRecordEncoder::Encode(const TRecord& r, std::vector<uint8_t>& out) {
    out.push_back(uint8_t(r.kind));
    switch (r.kind) {
        case TRecordKind::Clock:
            Time(r.time, out);
            break;
        case TRecordKind::Seed:
            PutVarint(r.seed, out);
            break;
        case TRecordKind::MouseMove:
        case TRecordKind::MouseDown:
        case TRecordKind::MouseUp:
            Time(r.time, out);
            PutVarint(ZigZag(r.x), out);
            PutVarint(ZigZag(r.y), out);
            if (r.kind != TRecordKind::MouseMove) out.push_back(uint8_t(r.button));
            out.push_back(ShiftBits(r.shift));
            break;
        case TRecordKind::Key:
            Time(r.time, out);
            out.push_back(uint8_t(r.key));
            break;
        case TRecordKind::MusicFinished:
            Time(r.time, out);
            PutVarint(uint64_t(r.player), out);
            break;
        case TRecordKind::Timers:
        case TRecordKind::Close:
            Time(r.time, out);
            break;
        case TRecordKind::Digest:
            out.push_back(uint8_t(r.when));
            PutVarint(uint64_t(r.game), out);
            PutVarint(r.fields.size(), out);
            for (const auto& [id, value] : r.fields) {
                PutVarint(id, out);
                PutVarint(value, out);
            }
            break;
    }
}

bool TRecordDecoder::Varint(uint64_t& v) {
    v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (pos_ >= body_.size()) return false;
        const uint8_t b = uint8_t(body_[pos_++]);
        v |= uint64_t(b & 0x7f) << shift;
        if (!(b & 0x80)) return true;
    }
    return false;
}

bool TRecordDecoder::Signed(int64_t& v) {
    uint64_t u;
    if (!Varint(u)) return false;
    v = UnZigZag(u);
    return true;
}

bool TRecordDecoder::Time(uint64_t& time) {
    int64_t delta;
    if (!Signed(delta)) return false;
    time = lastTime_ + uint64_t(delta);
    lastTime_ = time;
    return true;
}

std::optional<TRecord> TRecordDecoder::Next() {
    if (AtEnd() || !error_.empty()) return std::nullopt;
    const size_t start = pos_;
    const auto bad = [&](const char* what) -> std::optional<TRecord> {
        error_ = std::string(what) + " at byte " + std::to_string(start) + " of the records";
        return std::nullopt;
    };
    TRecord r;
    r.kind = TRecordKind(uint8_t(body_[pos_++]));
    uint64_t u = 0;
    int64_t sx = 0, sy = 0;
    switch (r.kind) {
        case TRecordKind::Clock:
            if (!Time(r.time)) return bad("a clock reading cut short");
            break;
        case TRecordKind::Seed:
            if (!Varint(u) || u > UINT32_MAX) return bad("a bad seed");
            r.seed = uint32_t(u);
            break;
        case TRecordKind::MouseMove:
        case TRecordKind::MouseDown:
        case TRecordKind::MouseUp:
            if (!Time(r.time) || !Signed(sx) || !Signed(sy) || sx < INT32_MIN || sx > INT32_MAX ||
                sy < INT32_MIN || sy > INT32_MAX)
                return bad("a bad mouse event");
            r.x = int(sx), r.y = int(sy);
            if (r.kind != TRecordKind::MouseMove) {
                if (pos_ >= body_.size() || uint8_t(body_[pos_]) > 2)
                    return bad("a bad mouse button");
                r.button = TMouseButton(uint8_t(body_[pos_++]));
            }
            if (pos_ >= body_.size() || uint8_t(body_[pos_]) > 63) return bad("a bad shift state");
            r.shift = ShiftOf(uint8_t(body_[pos_++]));
            break;
        case TRecordKind::Key:
            if (!Time(r.time) || pos_ >= body_.size()) return bad("a key cut short");
            r.key = body_[pos_++];
            break;
        case TRecordKind::MusicFinished:
            if (!Time(r.time) || !Varint(u) || u > 1) return bad("a bad music notification");
            r.player = int(u);
            break;
        case TRecordKind::Timers:
        case TRecordKind::Close:
            if (!Time(r.time)) return bad("a time cut short");
            break;
        case TRecordKind::Digest: {
            if (pos_ >= body_.size() || uint8_t(body_[pos_]) > 2) return bad("a bad digest");
            r.when = TDigestWhen(uint8_t(body_[pos_++]));
            uint64_t game = 0, count = 0;
            if (!Varint(game) || game > INT32_MAX || !Varint(count) || count > kMaxDigestFields)
                return bad("a bad digest");
            r.game = int(game);
            r.fields.reserve(count);
            for (uint64_t i = 0; i < count; ++i) {
                uint64_t id = 0, value = 0;
                if (!Varint(id) || id > UINT32_MAX || !Varint(value)) return bad("a bad digest");
                r.fields.emplace_back(uint32_t(id), value);
            }
            break;
        }
        default:
            return bad("an unknown record");
    }
    return r;
}

// ---------------------------------------------------------------- reading

std::optional<TReplayFile> ParseReplay(std::string_view bytes, std::string& error, size_t maxBody) {
    if (bytes.empty()) {
        error = "the file is empty";
        return std::nullopt;
    }
    if (bytes.substr(0, kMagic.size()) != kMagic) {
        error = kMagic.substr(0, bytes.size()) == bytes.substr(0, kMagic.size())
                    ? "the file is cut short in its header"
                    : "not a Quorvatide replay";
        return std::nullopt;
    }
    TReplayFile file;
    size_t pos = kMagic.size();
    bool haveFormat = false;
    for (;;) {
        const size_t nl = bytes.find('\n', pos);
        if (nl == std::string_view::npos || nl > kMaxHeaderBytes) {
            error = nl == std::string_view::npos && bytes.size() <= kMaxHeaderBytes
                        ? "the file is cut short in its header"
                        : "the header is too long";
            return std::nullopt;
        }
        const std::string_view line = bytes.substr(pos, nl - pos);
        pos = nl + 1;
        if (line.empty()) break;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            error = "a header line without a name: '" + std::string(line.substr(0, 60)) + "'";
            return std::nullopt;
        }
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = Trim(line.substr(colon + 1));
        if (name == "format") {
            int format = 0;
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), format);
            if (ec != std::errc() || end != value.data() + value.size() || format < 1) {
                error = "an unknown replay format '" + std::string(value.substr(0, 20)) + "'";
                return std::nullopt;
            }
            if (format > kReplayFormat) {
                error = "recorded by a newer version of the game (replay format " +
                        std::to_string(format) + "; this version reads format " +
                        std::to_string(kReplayFormat) + ")";
                return std::nullopt;
            }
            file.header.format = format;
            haveFormat = true;
        } else if (name == "game") {
            file.header.game = value;
        } else if (name == "recorded") {
            file.header.recorded = value;
        } else if (name == "start") {
            file.header.boardShown = value == "board shown";
        } else if (name == "setting") {
            const size_t eq = value.find('=');
            if (eq == std::string_view::npos) {
                error = "a setting without a value: '" + std::string(value.substr(0, 60)) + "'";
                return std::nullopt;
            }
            file.header.settings.emplace_back(Trim(value.substr(0, eq)),
                                              Trim(value.substr(eq + 1)));
        }
        // Other lines are notes for people; a later version that needs them read raises the
        // format.
    }
    if (!haveFormat) {
        error = "the header does not say its format";
        return std::nullopt;
    }

    TInflate inflater;
    if (!inflater.ok) {
        error = "out of memory";
        return std::nullopt;
    }
    std::vector<uint8_t> out(64 * 1024);
    while (pos < bytes.size()) {
        const size_t chunkStart = pos;
        if (bytes.size() - pos < kChunkHeaderBytes) {
            file.chunksWhole = false;
            break;
        }
        const auto* head = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
        const char kind = char(head[0]);
        const uint32_t length = ReadU32(head + 1), crc = ReadU32(head + 5);
        if (kind != 'Z' && kind != 'R') {
            error = "damaged: no chunk at byte " + std::to_string(chunkStart);
            return std::nullopt;
        }
        pos += kChunkHeaderBytes;
        if (length > bytes.size() - pos) {
            file.chunksWhole = false;
            break;
        }
        const auto* payload = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
        pos += length;
        if (crc32(0, payload, length) != crc) {
            // Spoiled at the very end is a write that was cut off; anywhere else, damage.
            if (pos == bytes.size()) {
                file.chunksWhole = false;
                break;
            }
            error = "damaged: the chunk at byte " + std::to_string(chunkStart) +
                    " does not match its checksum";
            return std::nullopt;
        }
        if (kind == 'R') {
            if (file.body.size() + length > maxBody) {
                error = "too large to be a replay";
                return std::nullopt;
            }
            file.body.append(reinterpret_cast<const char*>(payload), length);
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
                return std::nullopt;
            }
            const size_t produced = out.size() - z.avail_out;
            if (file.body.size() + produced > maxBody) {
                error = "too large to be a replay";
                return std::nullopt;
            }
            file.body.append(reinterpret_cast<const char*>(out.data()), produced);
            if (rc == Z_STREAM_END || (rc == Z_BUF_ERROR && produced == 0)) break;
        } while (z.avail_in > 0 || z.avail_out == 0);
        if (z.avail_in > 0) {
            error =
                "damaged: the chunk at byte " + std::to_string(chunkStart) + " does not decompress";
            return std::nullopt;
        }
    }
    return file;
}

std::optional<TReplayFile> LoadReplay(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char piece[64 * 1024];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        bytes.append(piece, size_t(in.gcount()));
        if (bytes.size() > kMaxFileBytes) {
            error = "too large to be a replay";
            return std::nullopt;
        }
    }
    if (in.bad()) {
        error = "cannot be read";
        return std::nullopt;
    }
    return ParseReplay(bytes, error);
}

// ---------------------------------------------------------------- writing

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

bool TReplayWriter::Fail(const char* what) {
    error_ = std::string(what) + ": " + std::strerror(errno);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pendingSize_ = 0;
    return false;
}

bool TReplayWriter::Create(const std::string& path, const std::string& header, std::string& error) {
    deflate_ = std::make_unique<TDeflate>();
    if (!deflate_->ok) {
        error = "out of memory";
        return false;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error = std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < header.size()) {
        const ssize_t n = ::write(fd_, header.data() + done, header.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            Fail("cannot write");
            error = error_;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

bool TReplayWriter::Append(const uint8_t* data, size_t size) {
    while (size > 0) {
        if (fd_ < 0) return false;
        if (pendingSize_ == kPendingCapacity && !Flush()) return false;
        const size_t n = std::min(size, kPendingCapacity - pendingSize_);
        std::memcpy(pending_.get() + pendingSize_, data, n);
        pendingSize_ = pendingSize_ + n;  // only once the bytes are there
        data += n;
        size -= n;
    }
    return fd_ >= 0;
}

bool TReplayWriter::WriteChunk(char kind, const uint8_t* data, size_t size) {
    uint8_t head[kChunkHeaderBytes];
    head[0] = uint8_t(kind);
    PutU32(head + 1, uint32_t(size));
    PutU32(head + 5, uint32_t(crc32(0, data, uInt(size))));
    iovec parts[2] = {{head, sizeof head}, {const_cast<uint8_t*>(data), size}};
    size_t total = sizeof head + size;
    int part = 0;
    while (total > 0) {
        const ssize_t n = ::writev(fd_, parts + part, 2 - part);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        total -= size_t(n);
        size_t left = size_t(n);
        while (part < 2 && left >= parts[part].iov_len) left -= parts[part++].iov_len;
        if (part < 2) {
            parts[part].iov_base = static_cast<uint8_t*>(parts[part].iov_base) + left;
            parts[part].iov_len -= left;
        }
    }
    return true;
}

bool TReplayWriter::Flush() {
    if (fd_ < 0) return false;
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
        if (deflate(&z, Z_SYNC_FLUSH) == Z_STREAM_ERROR) {
            errno = EIO;
            return Fail("cannot compress");
        }
        produced = compressed_.size() - z.avail_out;
    } while (z.avail_out == 0 || z.avail_in > 0);
    pendingSize_ = 0;
    if (!WriteChunk('Z', compressed_.data(), produced)) return Fail("cannot write");
    return true;
}

bool TReplayWriter::Close() {
    if (fd_ < 0) return error_.empty();
    const bool flushed = Flush();
    if (fd_ >= 0 && ::close(fd_) != 0 && flushed) {
        fd_ = -1;
        return Fail("cannot close");
    }
    fd_ = -1;
    return flushed;
}

void TReplayWriter::EmergencyFlush() noexcept {
    const size_t size = pendingSize_;
    if (fd_ < 0 || size == 0) return;
    WriteChunk('R', pending_.get(), size);
    pendingSize_ = 0;
}
