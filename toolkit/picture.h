// 32-bit ARGB pictures: the raster type of the whole drawing layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A pixel value 0xAARRGGBB: the lowest byte is blue, the highest alpha (255 = opaque).
using TColor32 = uint32_t;

constexpr TColor32 Color32(int r, int g, int b, int a = 255) {
    return (TColor32(a) << 24) | (TColor32(r) << 16) | (TColor32(g) << 8) | TColor32(b);
}
constexpr int AlphaOf(TColor32 c) {
    return int(c >> 24);
}
constexpr int RedOf(TColor32 c) {
    return int((c >> 16) & 0xFF);
}
constexpr int GreenOf(TColor32 c) {
    return int((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColor32 c) {
    return int(c & 0xFF);
}

class TPicture;
// Decodes a BMP file of any form the host's image library understands into `out`, whose alpha
// need not be set; false when the data is not a picture it can read.
using TBmpDecoder = bool (*)(const uint8_t* data, size_t size, TPicture& out);

// Integer rectangle, right and bottom exclusive.
struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    TRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    TRect Intersect(const TRect& o) const;
    // The smallest rectangle holding both (an empty one counts as nothing).
    TRect Union(const TRect& o) const;
    bool operator==(const TRect&) const = default;
};

// Weighted intensity of a mask pixel, used as alpha: white gives 255, black 0.
constexpr int IntensityOf(TColor32 c) {
    return (61 * RedOf(c) + 174 * GreenOf(c) + 21 * BlueOf(c)) >> 8;
}

// Effective alpha of a pixel drawn with a master alpha, rounded to nearest.
constexpr int EffectiveAlpha(int pixelAlpha, int masterAlpha) {
    return (pixelAlpha * masterAlpha + 127) / 255;
}

// One colour channel of `src` blended over `dst` with alpha a (0..255), rounded to nearest.
constexpr int BlendChannel(int src, int dst, int a) {
    return (src * a + dst * (255 - a) + 127) / 255;
}

// `src` blended over `dst` with master alpha `master`. An opaque destination stays opaque.
constexpr TColor32 BlendPixel(TColor32 src, TColor32 dst, int master) {
    const int a = EffectiveAlpha(AlphaOf(src), master);
    const int alpha = a + (AlphaOf(dst) * (255 - a) + 127) / 255;
    return Color32(BlendChannel(RedOf(src), RedOf(dst), a),
                   BlendChannel(GreenOf(src), GreenOf(dst), a),
                   BlendChannel(BlueOf(src), BlueOf(dst), a), alpha);
}

enum class TDrawMode { Opaque, Blend };

class IFiles;
struct TPictureCache;  // compositing data kept with a picture (see compose.cpp)

class TPicture {
public:
    TPicture();
    TPicture(int width, int height, TColor32 fill = 0);
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    TPicture(TPicture&&) noexcept;
    TPicture& operator=(TPicture&&) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Resizing keeps the other dimension; the content after a resize is cleared to 0.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }

    // Reads a BMP file. A 32-bit, single-plane, uncompressed file keeps its fourth byte as
    // alpha; every other BMP is decoded and made fully opaque. The uncompressed 24-bit and
    // 32-bit forms are read here; the others (palettes, bit fields, run lengths) only by the
    // decoder the host hands in with its files (IFiles::BmpDecoder). On failure the picture is
    // left empty and false is returned.
    bool LoadFromFile(IFiles& files, const std::string& path);
    bool LoadFromMemory(const uint8_t* data, size_t size, TBmpDecoder decodeOthers = nullptr);

    // Takes the mask's size; every pixel keeps its colour and gets the intensity of the
    // mask pixel at the same position as alpha.
    void IntensityToAlpha(const TPicture& mask);

    // Paints this picture with its top-left corner at (x, y) of `dst`, clipped to `dst`.
    // Opaque mode copies pixels unchanged, alpha included; blend mode composites each pixel
    // (with the master alpha) over the destination.
    void DrawTo(TPicture& dst, int x, int y) const { DrawTo(dst, x, y, drawMode_); }
    // The same in the given mode, whatever the picture's own.
    void DrawTo(TPicture& dst, int x, int y, TDrawMode mode) const;

    // Becomes a copy of `src`: size, pixels, draw mode and master alpha.
    void Assign(const TPicture& src);

    TDrawMode DrawMode() const { return drawMode_; }
    void SetDrawMode(TDrawMode mode);
    int MasterAlpha() const { return masterAlpha_; }
    void SetMasterAlpha(int alpha);

    void Clear(TColor32 colour);
    // Fills x1 <= x < x2, y1 <= y < y2 (clipped).
    void FillRect(int x1, int y1, int x2, int y2, TColor32 colour);
    // A one-pixel line from (x1, y1) towards (x2, y2); the end point is not drawn and points
    // outside the picture are not written.
    void Line(int x1, int y1, int x2, int y2, TColor32 colour);

    TColor32 Pixel(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }
    void SetPixel(int x, int y, TColor32 c);
    const TColor32* Bits() const { return pixels_.data(); }
    // Writable access to the pixels; counts as a change of the picture.
    TColor32* MutableBits();

    // Rises on every change of pixels, size, draw mode or master alpha, so that whoever shows
    // the picture can tell that it must be painted again.
    uint64_t Version() const { return version_; }

    TPictureCache* Cache() const { return cache_.get(); }
    void SetCache(std::shared_ptr<TPictureCache> cache) const { cache_ = std::move(cache); }

private:
    void Touch();

    int width_ = 0, height_ = 0;
    std::vector<TColor32> pixels_;
    TDrawMode drawMode_ = TDrawMode::Opaque;
    int masterAlpha_ = 255;
    uint64_t version_ = 0;
    // Made and read by the compositor; held by a shared_ptr so that this header need not know
    // the type to free it.
    mutable std::shared_ptr<TPictureCache> cache_;
};
