#include "toolkit/picture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

#include "toolkit/platform.h"

namespace {

// Pictures larger than this are refused on load: no asset comes near it, and a corrupt header
// must not make the game allocate gigabytes.
constexpr int64_t kMaxLoadPixels = 16 * 1024 * 1024;
// Files larger than this are not read at all.
constexpr size_t kMaxFileBytes = 256 * 1024 * 1024;

uint32_t Le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}

uint64_t NextVersion() {
    static uint64_t counter = 0;
    return ++counter;
}

}  // namespace

TRect TRect::Intersect(const TRect& o) const {
    TRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
    if (r.Empty()) return {};
    return r;
}

TRect TRect::Union(const TRect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
}

TPicture::TPicture() : version_(NextVersion()) {}

TPicture::TPicture(int width, int height, TColor32 fill) : TPicture() {
    SetSize(width, height);
    if (fill != 0) Clear(fill);
}

TPicture::~TPicture() = default;
// A moved-from picture is empty (0 x 0), ready to be sized and drawn again.
TPicture::TPicture(TPicture&& other) noexcept {
    *this = std::move(other);
}

TPicture& TPicture::operator=(TPicture&& other) noexcept {
    if (this == &other) return *this;
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pixels_ = std::move(other.pixels_);
    other.pixels_.clear();
    drawMode_ = other.drawMode_;
    masterAlpha_ = other.masterAlpha_;
    version_ = NextVersion();
    other.Touch();
    cache_ = std::move(other.cache_);
    return *this;
}

void TPicture::Touch() {
    version_ = NextVersion();
}

void TPicture::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == 0 || height == 0) width = height = 0;
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    pixels_.assign(size_t(width) * size_t(height), 0);
    Touch();
}

bool TPicture::LoadFromFile(IFiles& files, const std::string& path) {
    bool whole = false;
    const auto data = files.Read(path, kMaxFileBytes, &whole);
    if (!data || !whole || data->empty()) {
        SetSize(0, 0);
        return false;
    }
    return LoadFromMemory(reinterpret_cast<const uint8_t*>(data->data()), data->size(),
                          files.BmpDecoder());
}

bool TPicture::LoadFromMemory(const uint8_t* data, size_t size, TBmpDecoder decodeOthers) {
    // The uncompressed 24-bit and 32-bit forms are read here: the 32-bit one pixel for pixel
    // with its alpha byte, which the image library would treat as padding; the 24-bit one, the
    // form of the game's own pictures, opaque, as the library reads it but without its copy
    // and conversion.
    if (size >= 54 && data[0] == 'B' && data[1] == 'M') {
        const uint32_t offset = Le32(data + 10);
        const uint32_t headerSize = Le32(data + 14);
        if (headerSize >= 40 && 14 + size_t(headerSize) <= size) {
            const int32_t w = int32_t(Le32(data + 18));
            const int32_t h = int32_t(Le32(data + 22));
            const uint16_t planes = Le16(data + 26);
            const uint16_t bpp = Le16(data + 28);
            const uint32_t compression = Le32(data + 30);
            if (planes == 1 && (bpp == 32 || bpp == 24) && compression == 0) {
                const int64_t rows = h < 0 ? -int64_t(h) : int64_t(h);
                if (w <= 0 || rows == 0 || int64_t(w) * rows > kMaxLoadPixels) {
                    SetSize(0, 0);
                    return false;
                }
                // Rows of the 24-bit form are padded to whole 32-bit words.
                const size_t stride = bpp == 32 ? size_t(w) * 4 : (size_t(w) * 3 + 3) & ~size_t(3);
                if (offset > size || (size - offset) / stride < size_t(rows)) {
                    SetSize(0, 0);
                    return false;
                }
                SetSize(w, int(rows));
                for (int y = 0; y < height_; ++y) {
                    const int srcRow = h > 0 ? height_ - 1 - y : y;  // positive height: bottom-up
                    const uint8_t* src = data + offset + size_t(srcRow) * stride;
                    TColor32* dst = &pixels_[size_t(y) * width_];
                    if (bpp == 32) {
                        for (int x = 0; x < width_; ++x) dst[x] = Le32(src + 4 * x);
                    } else {
                        for (int x = 0; x < width_; ++x, src += 3)
                            dst[x] = 0xFF000000u | TColor32(src[2]) << 16 | TColor32(src[1]) << 8 |
                                     src[0];
                    }
                }
                Touch();
                return true;
            }
        }
    }
    // Refuse absurd sizes before the decoder allocates room for them. The decoder believes
    // a width and height that run past the end of a short file, as far as they go, so they
    // are read here the same way: the missing bytes count as zeros.
    if (size >= 18 && data[0] == 'B' && data[1] == 'M') {
        uint8_t head[26] = {};
        std::memcpy(head, data, std::min<size_t>(size, sizeof head));
        const uint32_t headerSize = Le32(head + 14);
        int64_t w = 0, h = 0;
        if (headerSize == 12) {
            w = Le16(head + 18);
            h = Le16(head + 20);
        } else {
            // Every other header keeps a 32-bit width and height at the same place.
            w = int32_t(Le32(head + 18));
            h = int32_t(Le32(head + 22));
        }
        if (std::llabs(w) * std::llabs(h) > kMaxLoadPixels) {
            SetSize(0, 0);
            return false;
        }
    }
    if (!decodeOthers || !decodeOthers(data, size, *this)) {
        SetSize(0, 0);
        return false;
    }
    if (int64_t(width_) * height_ > kMaxLoadPixels) {
        SetSize(0, 0);
        return false;
    }
    for (TColor32& p : pixels_) p |= 0xFF000000u;
    Touch();
    return true;
}

void TPicture::IntensityToAlpha(const TPicture& mask) {
    if (mask.width_ != width_ || mask.height_ != height_) {
        // Keep the colour where the two pictures overlap (top-left aligned); the rest is black.
        std::vector<TColor32> resized(size_t(mask.width_) * mask.height_, 0);
        const int w = std::min(width_, mask.width_), h = std::min(height_, mask.height_);
        for (int y = 0; y < h; ++y)
            std::copy_n(&pixels_[size_t(y) * width_], w, &resized[size_t(y) * mask.width_]);
        pixels_ = std::move(resized);
        width_ = mask.width_;
        height_ = mask.height_;
    }
    for (size_t i = 0; i < pixels_.size(); ++i)
        pixels_[i] = (pixels_[i] & 0x00FFFFFFu) | (TColor32(IntensityOf(mask.pixels_[i])) << 24);
    Touch();
}

void TPicture::DrawTo(TPicture& dst, int x, int y, TDrawMode mode) const {
    const TRect area =
        TRect{x, y, x + width_, y + height_}.Intersect({0, 0, dst.width_, dst.height_});
    if (area.Empty()) return;
    for (int dy = area.top; dy < area.bottom; ++dy) {
        const TColor32* s = &pixels_[size_t(dy - y) * width_ + (area.left - x)];
        TColor32* d = &dst.pixels_[size_t(dy) * dst.width_ + area.left];
        if (mode == TDrawMode::Opaque) {
            std::copy_n(s, area.Width(), d);
        } else {
            for (int i = 0; i < area.Width(); ++i) d[i] = BlendPixel(s[i], d[i], masterAlpha_);
        }
    }
    dst.Touch();
}

void TPicture::Assign(const TPicture& src) {
    if (&src == this) return;
    width_ = src.width_;
    height_ = src.height_;
    pixels_ = src.pixels_;
    drawMode_ = src.drawMode_;
    masterAlpha_ = src.masterAlpha_;
    Touch();
}

void TPicture::SetDrawMode(TDrawMode mode) {
    if (mode == drawMode_) return;
    drawMode_ = mode;
    Touch();
}

void TPicture::SetMasterAlpha(int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    if (alpha == masterAlpha_) return;
    masterAlpha_ = alpha;
    Touch();
}

void TPicture::Clear(TColor32 colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour);
    Touch();
}

void TPicture::FillRect(int x1, int y1, int x2, int y2, TColor32 colour) {
    const TRect r = TRect{x1, y1, x2, y2}.Intersect({0, 0, width_, height_});
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(&pixels_[size_t(y) * width_ + r.left], r.Width(), colour);
    Touch();
}

void TPicture::Line(int x1, int y1, int x2, int y2, TColor32 colour) {
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[size_t(y) * width_ + x] = colour;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    Touch();
}

void TPicture::SetPixel(int x, int y, TColor32 c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[size_t(y) * width_ + x] = c;
    Touch();
}

TColor32* TPicture::MutableBits() {
    Touch();
    return pixels_.data();
}
