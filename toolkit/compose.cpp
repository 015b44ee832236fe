#include "toolkit/compose.h"

#include <pixman.h>

#include <algorithm>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#define QV_X86_BLEND 1
#endif

// Compositing data kept with a picture: a pixman view of its own pixels (for copies), and what
// blending needs, rebuilt only when the picture has changed since: its pixels with the master
// alpha folded into their alpha (kept only when the master alpha is below 255; otherwise the
// picture's own pixels serve), and whether every such alpha is 255, so it can be copied.
struct TPictureCache {
    pixman_image_t* raw = nullptr;
    const TColor32* rawBits = nullptr;
    int rawWidth = 0, rawHeight = 0;

    std::vector<TColor32> blendBits;
    uint64_t blendVersion = 0;
    bool blendOpaque = false;

    ~TPictureCache() {
        if (raw) pixman_image_unref(raw);
    }
};

namespace {

TPictureCache& CacheOf(const TPicture& p) {
    if (!p.Cache()) p.SetCache(std::make_shared<TPictureCache>());
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

// The pixels to blend: straight colours, each alpha already combined with the master alpha.
const TColor32* BlendSource(const TPicture& p, bool& opaque) {
    TPictureCache& c = CacheOf(p);
    const int master = p.MasterAlpha();
    const size_t n = size_t(p.Width()) * p.Height();
    if (c.blendVersion != p.Version()) {
        const TColor32* src = p.Bits();
        bool allOpaque = true;
        if (master == 255) {
            c.blendBits.clear();
            c.blendBits.shrink_to_fit();
            for (size_t i = 0; i < n && allOpaque; ++i) allOpaque = AlphaOf(src[i]) == 255;
        } else {
            c.blendBits.resize(n);
            for (size_t i = 0; i < n; ++i) {
                const int a = EffectiveAlpha(AlphaOf(src[i]), master);
                allOpaque = allOpaque && a == 255;
                c.blendBits[i] = (src[i] & 0x00FFFFFFu) | (TColor32(a) << 24);
            }
        }
        c.blendVersion = p.Version();
        c.blendOpaque = allOpaque;
    }
    opaque = c.blendOpaque;
    return master == 255 ? p.Bits() : c.blendBits.data();
}

// --- blending one row: dst[i] = BlendPixel(src[i], dst[i], 255), with the master alpha already
// in the source alpha. The vector versions compute the same integers: for 0 <= x <= 255 * 255,
// (x + 127) / 255 == (y + (y >> 8)) >> 8 with y = x + 128. A source alpha of 255 gives the source
// pixel and 0 leaves the destination as it is, so whole groups of either are copied or skipped.

// Without vectors (the browser's build, other processors), two channels at a time in the 16-bit
// halves of a word: red and blue, then green and alpha, each channel's sum at most 255 * 255 + 128
// plus its rounding, which stays below 2^16, so the halves never carry into each other.
inline uint32_t BlendHalves(uint32_t s, uint32_t d, uint32_t a) {
    const uint32_t y = s * a + d * (255 - a) + 0x00800080u;
    return ((y + ((y >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

void BlendRowScalar(TColor32* dst, const TColor32* src, int n) {
    for (int i = 0; i < n; ++i) {
        const TColor32 s = src[i];
        const TColor32 a = s >> 24;
        if (a == 255) {
            dst[i] = s;
        } else if (a != 0) {
            const TColor32 d = dst[i];
            const uint32_t redBlue = BlendHalves(s & 0x00FF00FFu, d & 0x00FF00FFu, a);
            // The source's alpha half counted as 255 gives the alpha a + dA * (255 - a) / 255.
            const uint32_t greenAlpha =
                BlendHalves(((s >> 8) & 0xFFu) | 0x00FF0000u, (d >> 8) & 0x00FF00FFu, a);
            dst[i] = redBlue | (greenAlpha << 8);
        }
    }
}

#ifdef QV_X86_BLEND

// Two pixels widened to 16-bit lanes: the channels of s (its alpha lane counted as 255, which
// gives the blended alpha a + dA * (255 - a) / 255) weighted by a, those of d by 255 - a.
inline __m128i BlendWide(__m128i s, __m128i d, __m128i alphaLanes) {
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m128i s255 = _mm_or_si128(s, alphaLanes);
    __m128i x = _mm_add_epi16(_mm_mullo_epi16(s255, a),
                              _mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(255), a)));
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

inline __m128i Blend4(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaLanes = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const __m128i lo =
        BlendWide(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), alphaLanes);
    const __m128i hi =
        BlendWide(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), alphaLanes);
    return _mm_packus_epi16(lo, hi);
}

// Rows whose length is not a multiple of the vector width end with one more full vector over
// their last pixels, blended from the destination as it was before the row and stored last: the
// pixels it shares with the loop's last vector get the same values either way.
void BlendRowSse2(TColor32* dst, const TColor32* src, int n) {
    if (n < 4) {
        BlendRowScalar(dst, src, n);
        return;
    }
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    const bool ragged = n % 4 != 0;
    __m128i* tailDst = reinterpret_cast<__m128i*>(dst + n - 4);
    const __m128i tail =
        ragged ? Blend4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 4)),
                        _mm_loadu_si128(tailDst))
               : zero;
    for (int i = 0; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i a = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, zero)) == 0xFFFF) continue;
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, alphaMask)) == 0xFFFF)
            _mm_storeu_si128(d, s);
        else
            _mm_storeu_si128(d, Blend4(s, _mm_loadu_si128(d)));
    }
    if (ragged) _mm_storeu_si128(tailDst, tail);
}

__attribute__((target("avx2"))) inline __m256i BlendWide8(__m256i s, __m256i d,
                                                          __m256i alphaLanes) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m256i s255 = _mm256_or_si256(s, alphaLanes);
    __m256i x =
        _mm256_add_epi16(_mm256_mullo_epi16(s255, a),
                         _mm256_mullo_epi16(d, _mm256_sub_epi16(_mm256_set1_epi16(255), a)));
    x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

__attribute__((target("avx2"))) inline __m256i Blend8(__m256i s, __m256i d) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaLanes =
        _mm256_set_epi16(255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0);
    const __m256i lo =
        BlendWide8(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), alphaLanes);
    const __m256i hi =
        BlendWide8(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), alphaLanes);
    return _mm256_packus_epi16(lo, hi);
}

__attribute__((target("avx2"))) void BlendRowAvx2(TColor32* dst, const TColor32* src, int n) {
    if (n < 8) {
        BlendRowSse2(dst, src, n);
        return;
    }
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    const bool ragged = n % 8 != 0;
    __m256i* tailDst = reinterpret_cast<__m256i*>(dst + n - 8);
    const __m256i tail =
        ragged ? Blend8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + n - 8)),
                        _mm256_loadu_si256(tailDst))
               : zero;
    for (int i = 0; i + 8 <= n; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i a = _mm256_and_si256(s, alphaMask);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero)) == -1) continue;
        __m256i* d = reinterpret_cast<__m256i*>(dst + i);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, alphaMask)) == -1)
            _mm256_storeu_si256(d, s);
        else
            _mm256_storeu_si256(d, Blend8(s, _mm256_loadu_si256(d)));
    }
    if (ragged) _mm256_storeu_si256(tailDst, tail);
}

#endif

using TBlendRow = void (*)(TColor32*, const TColor32*, int);

// The fastest row blender this processor runs, chosen on first use.
TBlendRow PickBlendRow() {
#ifdef QV_X86_BLEND
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? BlendRowAvx2 : BlendRowSse2;
#else
    return BlendRowScalar;
#endif
}

}  // namespace

bool BlendRowWay(int way, TColor32* dst, const TColor32* src, int n) {
    TBlendRow ways[3] = {BlendRowScalar, nullptr, nullptr};
#ifdef QV_X86_BLEND
    __builtin_cpu_init();
    ways[1] = BlendRowSse2;
    if (__builtin_cpu_supports("avx2")) ways[2] = BlendRowAvx2;
#endif
    if (way < 0 || way > 2 || !ways[way]) return false;
    ways[way](dst, src, n);
    return true;
}

void ComposePicture(TPicture& frame, const TPicture& src, int x, int y, const TRect& clip) {
    if (src.Empty()) return;
    const TRect area = TRect{x, y, x + src.Width(), y + src.Height()}.Intersect(clip).Intersect(
        {0, 0, frame.Width(), frame.Height()});
    if (area.Empty()) return;
    bool copy = src.DrawMode() == TDrawMode::Opaque;
    const TColor32* bits = nullptr;
    if (!copy) {
        if (src.MasterAlpha() == 0) return;
        bits = BlendSource(src, copy);
    }
    if (copy) {
        pixman_image_composite32(PIXMAN_OP_SRC, RawImage(src), nullptr, RawImage(frame),
                                 area.left - x, area.top - y, 0, 0, area.left, area.top,
                                 area.Width(), area.Height());
        return;
    }
    static const TBlendRow blendRow = PickBlendRow();
    TColor32* out = frame.MutableBits() + size_t(area.top) * frame.Width() + area.left;
    const TColor32* in = bits + size_t(area.top - y) * src.Width() + (area.left - x);
    for (int row = area.top; row < area.bottom; ++row) {
        blendRow(out, in, area.Width());
        out += frame.Width();
        in += src.Width();
    }
}

void ComposePictureScaled(TPicture& frame, const TPicture& src, const TRect& dst,
                          const TRect& clip) {
    if (src.Empty() || dst.Empty()) return;
    if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
        ComposePicture(frame, src, dst.left, dst.top, clip);
        return;
    }
    const TRect area = dst.Intersect(clip).Intersect({0, 0, frame.Width(), frame.Height()});
    if (area.Empty()) return;
    const bool blend = src.DrawMode() == TDrawMode::Blend;
    TColor32* out = frame.MutableBits();
    // The source column of each column, worked out once rather than on every row.
    thread_local std::vector<int> columns;
    columns.resize(size_t(area.Width()));
    for (int x = area.left; x < area.right; ++x)
        columns[size_t(x - area.left)] = int(int64_t(x - dst.left) * src.Width() / dst.Width());
    for (int y = area.top; y < area.bottom; ++y) {
        const int sy = int(int64_t(y - dst.top) * src.Height() / dst.Height());
        TColor32* row = out + size_t(y) * frame.Width();
        for (int x = area.left; x < area.right; ++x) {
            const TColor32 s = src.Pixel(columns[size_t(x - area.left)], sy);
            row[x] = blend ? BlendPixel(s, row[x] | 0xFF000000u, src.MasterAlpha()) : s;
        }
    }
}

void ComposeFill(TPicture& frame, const TRect& r, TColor32 colour, const TRect& clip) {
    const TRect area = r.Intersect(clip).Intersect({0, 0, frame.Width(), frame.Height()});
    if (area.Empty()) return;
    TColor32* out = frame.MutableBits();
    for (int y = area.top; y < area.bottom; ++y)
        std::fill_n(out + size_t(y) * frame.Width() + area.left, area.Width(),
                    colour | 0xFF000000u);
}
