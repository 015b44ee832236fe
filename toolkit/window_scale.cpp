#include "toolkit/window_scale.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int FittingScale(int areaW, int areaH, int frameW, int frameH) {
    if (frameW <= 0 || frameH <= 0) return 1;
    return std::max(1, std::min(areaW / frameW, areaH / frameH));
}

TScaleChoice ChooseWindowScale(int areaW, int areaH, int frameW, int frameH,
                               const char* requested) {
    TScaleChoice choice;
    choice.scale = FittingScale(areaW, areaH, frameW, frameH);
    if (!requested) return choice;
    // Digits only: no sign, blanks or fractions.
    const size_t len = std::strlen(requested);
    const bool whole = len > 0 && len <= 3 && std::all_of(requested, requested + len, [](char c) {
                           return c >= '0' && c <= '9';
                       });
    const int n = whole ? std::atoi(requested) : 0;
    if (whole && n >= 1 && n <= kMaxWindowScale) {
        choice.scale = n;
        return choice;
    }
    choice.warning = "quorvatide: QUORVATIDE_SCALE=" + std::string(requested) +
                     " is not a whole number from 1 to " + std::to_string(kMaxWindowScale) +
                     "; opening at the scale that fits the screen, " + std::to_string(choice.scale);
    return choice;
}

namespace {

// Integer division rounding towards minus infinity.
int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

bool TViewport::ToFrame(int wx, int wy, int& fx, int& fy) const {
    fx = FloorDiv(wx - left, scale);
    fy = FloorDiv(wy - top, scale);
    return fx >= 0 && fy >= 0 && fx < frameW && fy < frameH;
}

TViewport CentredViewport(int windowW, int windowH, int frameW, int frameH) {
    TViewport view;
    view.scale = FittingScale(windowW, windowH, frameW, frameH);
    view.frameW = frameW;
    view.frameH = frameH;
    // A window smaller than the frame (a screen smaller than the game) shows its top-left part.
    view.left = std::max(0, (windowW - view.Width()) / 2);
    view.top = std::max(0, (windowH - view.Height()) / 2);
    return view;
}

namespace {

// Widens one row of w pixels S times: the compiler unrolls the inner loop for a known S.
template <int S>
void WidenRow(const uint32_t* src, uint32_t* dst, int w) {
    for (int i = 0; i < w; ++i) {
        const uint32_t p = src[i];
        for (int k = 0; k < S; ++k) dst[i * S + k] = p;
    }
}

#if defined(__SSE2__)
// Four pixels at a time: one load, S shuffles, S stores. Compilers do not find this themselves
// for 3, where four pixels become three vectors of aaab bbcc cddd.
template <>
void WidenRow<2>(const uint32_t* src, uint32_t* dst, int w) {
    int i = 0;
    for (; i + 4 <= w; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i* out = reinterpret_cast<__m128i*>(dst + 2 * i);
        _mm_storeu_si128(out, _mm_unpacklo_epi32(v, v));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi32(v, v));
    }
    for (; i < w; ++i) dst[2 * i] = dst[2 * i + 1] = src[i];
}

template <>
void WidenRow<3>(const uint32_t* src, uint32_t* dst, int w) {
    int i = 0;
    for (; i + 4 <= w; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i* out = reinterpret_cast<__m128i*>(dst + 3 * i);
        _mm_storeu_si128(out, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
        _mm_storeu_si128(out + 1, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
        _mm_storeu_si128(out + 2, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
    }
    for (; i < w; ++i) dst[3 * i] = dst[3 * i + 1] = dst[3 * i + 2] = src[i];
}
#endif

void WidenRowAny(const uint32_t* src, uint32_t* dst, int w, int s) {
    for (int i = 0; i < w; ++i) std::fill_n(dst + size_t(i) * size_t(s), s, src[i]);
}

}  // namespace

void ScaleRect(const uint32_t* frame, int framePitch, uint32_t* window, int windowPitch,
               const TViewport& view, int x, int y, int w, int h) {
    const int s = view.scale;
    const auto* src = reinterpret_cast<const uint8_t*>(frame);
    auto* dst = reinterpret_cast<uint8_t*>(window);
    for (int row = y; row < y + h; ++row) {
        const auto* in = reinterpret_cast<const uint32_t*>(src + size_t(row) * framePitch) + x;
        uint8_t* first =
            dst + size_t(view.top + row * s) * windowPitch + size_t(view.left + x * s) * 4;
        // Every window row of the block is widened from the frame row afresh: storing in order
        // measures faster than copying the first widened row again.
        for (int k = 0; k < s; ++k) {
            auto* out = reinterpret_cast<uint32_t*>(first + size_t(k) * windowPitch);
            switch (s) {
                case 1:
                    std::memcpy(out, in, size_t(w) * 4);
                    break;
                case 2:
                    WidenRow<2>(in, out, w);
                    break;
                case 3:
                    WidenRow<3>(in, out, w);
                    break;
                case 4:
                    WidenRow<4>(in, out, w);
                    break;
                default:
                    WidenRowAny(in, out, w, s);
                    break;
            }
        }
    }
}
