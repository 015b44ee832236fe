#include "replay/replay_records.h"

namespace {

constexpr uint64_t kMaxDigestFields = 1000;

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

}  // namespace

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

// A dispatch's kind is numbered as its record's.
static_assert(uint8_t(TDispatch::TKind::MouseMove) == uint8_t(TRecordKind::MouseMove) &&
              uint8_t(TDispatch::TKind::MouseDown) == uint8_t(TRecordKind::MouseDown) &&
              uint8_t(TDispatch::TKind::MouseUp) == uint8_t(TRecordKind::MouseUp) &&
              uint8_t(TDispatch::TKind::Key) == uint8_t(TRecordKind::Key) &&
              uint8_t(TDispatch::TKind::MusicFinished) == uint8_t(TRecordKind::MusicFinished) &&
              uint8_t(TDispatch::TKind::Timers) == uint8_t(TRecordKind::Timers) &&
              uint8_t(TDispatch::TKind::Close) == uint8_t(TRecordKind::Close));

TRecord RecordOf(const TDispatch& d) {
    TRecord r;
    r.kind = TRecordKind(uint8_t(d.kind));
    r.time = d.time;
    r.x = d.x, r.y = d.y, r.button = d.button, r.shift = d.shift;
    r.key = d.key;
    r.player = d.player;
    return r;
}

TDispatch DispatchOf(const TRecord& r) {
    TDispatch d;
    d.kind = IsDispatch(r.kind) ? TDispatch::TKind(uint8_t(r.kind)) : TDispatch::TKind::Timers;
    d.time = r.time;
    d.x = r.x, d.y = r.y, d.button = r.button, d.shift = r.shift;
    d.key = r.key;
    d.player = r.player;
    return d;
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
