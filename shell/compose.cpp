#include "shell/compose.h"

#include <pixman.h>

#include <algorithm>

// Compositing data kept with a picture: a pixman view of its own pixels (for copies) and a
// premultiplied copy with the master alpha already applied (for blending), rebuilt only when
// the picture has changed since.
struct TPictureCache {
    pixman_image_t* raw = nullptr;
    const TColor32* rawBits = nullptr;
    int rawWidth = 0, rawHeight = 0;

    pixman_image_t* premul = nullptr;
    std::vector<uint32_t> premulBits;
    uint64_t premulVersion = 0;
    bool premulOpaque = false;

    ~TPictureCache() {
        if (raw) pixman_image_unref(raw);
        if (premul) pixman_image_unref(premul);
    }
};

void TPictureCacheDeleter::operator()(TPictureCache* cache) const { delete cache; }

namespace {

TPictureCache& CacheOf(const TPicture& p) {
    if (!p.Cache()) p.SetCache(new TPictureCache);
    return *p.Cache();
}

// A pixman image over the picture's own pixels, alpha ignored.
pixman_image_t* RawImage(const TPicture& p) {
    TPictureCache& c = CacheOf(p);
    if (c.raw && (c.rawBits != p.Bits() || c.rawWidth != p.Width() || c.rawHeight != p.Height())) {
        pixman_image_unref(c.raw);
        c.raw = nullptr;
    }
    if (!c.raw) {
        c.raw = pixman_image_create_bits(PIXMAN_x8r8g8b8, p.Width(), p.Height(),
                                         const_cast<uint32_t*>(p.Bits()), p.Width() * 4);
        c.rawBits = p.Bits();
        c.rawWidth = p.Width();
        c.rawHeight = p.Height();
    }
    return c.raw;
}

// The premultiplied copy with the master alpha folded in.
TPictureCache& PremultipliedCache(const TPicture& p) {
    TPictureCache& c = CacheOf(p);
    if (c.premul && c.premulVersion == p.Version()) return c;
    if (c.premul) pixman_image_unref(c.premul);
    const size_t n = size_t(p.Width()) * p.Height();
    c.premulBits.resize(n);
    const int master = p.MasterAlpha();
    const TColor32* src = p.Bits();
    bool opaque = true;
    for (size_t i = 0; i < n; ++i) {
        const TColor32 s = src[i];
        const int a = EffectiveAlpha(AlphaOf(s), master);
        opaque = opaque && a == 255;
        c.premulBits[i] = (uint32_t(a) << 24) | (uint32_t((RedOf(s) * a + 127) / 255) << 16) |
                          (uint32_t((GreenOf(s) * a + 127) / 255) << 8) |
                          uint32_t((BlueOf(s) * a + 127) / 255);
    }
    c.premul = pixman_image_create_bits(PIXMAN_a8r8g8b8, p.Width(), p.Height(), c.premulBits.data(),
                                        p.Width() * 4);
    c.premulVersion = p.Version();
    c.premulOpaque = opaque;
    return c;
}

}  // namespace

void ComposePicture(TPicture& frame, const TPicture& src, int x, int y, const TRect& clip) {
    if (src.Empty()) return;
    const TRect area = TRect{x, y, x + src.Width(), y + src.Height()}
                           .Intersect(clip)
                           .Intersect({0, 0, frame.Width(), frame.Height()});
    if (area.Empty()) return;
    pixman_image_t* dst = RawImage(frame);
    if (src.DrawMode() == TDrawMode::Opaque) {
        pixman_image_composite32(PIXMAN_OP_SRC, RawImage(src), nullptr, dst, area.left - x,
                                 area.top - y, 0, 0, area.left, area.top, area.Width(),
                                 area.Height());
        return;
    }
    if (src.MasterAlpha() == 0) return;
    const TPictureCache& c = PremultipliedCache(src);
    pixman_image_composite32(c.premulOpaque ? PIXMAN_OP_SRC : PIXMAN_OP_OVER, c.premul, nullptr, dst,
                             area.left - x, area.top - y, 0, 0, area.left, area.top, area.Width(),
                             area.Height());
}

void ComposePictureScaled(TPicture& frame, const TPicture& src, const TRect& dst, const TRect& clip) {
    if (src.Empty() || dst.Empty()) return;
    if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
        ComposePicture(frame, src, dst.left, dst.top, clip);
        return;
    }
    const TRect area = dst.Intersect(clip).Intersect({0, 0, frame.Width(), frame.Height()});
    if (area.Empty()) return;
    const bool blend = src.DrawMode() == TDrawMode::Blend;
    TColor32* out = frame.MutableBits();
    for (int y = area.top; y < area.bottom; ++y) {
        const int sy = int(int64_t(y - dst.top) * src.Height() / dst.Height());
        TColor32* row = out + size_t(y) * frame.Width();
        for (int x = area.left; x < area.right; ++x) {
            const int sx = int(int64_t(x - dst.left) * src.Width() / dst.Width());
            const TColor32 s = src.Pixel(sx, sy);
            row[x] = blend ? BlendPixel(s, row[x] | 0xFF000000u, src.MasterAlpha()) : s;
        }
    }
}

void ComposeFill(TPicture& frame, const TRect& r, TColor32 colour, const TRect& clip) {
    const TRect area = r.Intersect(clip).Intersect({0, 0, frame.Width(), frame.Height()});
    if (area.Empty()) return;
    TColor32* out = frame.MutableBits();
    for (int y = area.top; y < area.bottom; ++y)
        std::fill_n(out + size_t(y) * frame.Width() + area.left, area.Width(), colour | 0xFF000000u);
}
