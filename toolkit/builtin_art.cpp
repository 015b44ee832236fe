#include "toolkit/builtin_art.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "toolkit/controls.h"

// The coverage data, generated at build time by tools/builtin_art.cpp.
namespace qv_builtin_data {
extern const int kUiLineHeight;
extern const TBuiltinGlyph kUiGlyphs[95];
extern const uint8_t kUiCoverage[];
extern const int kMemoLineHeight;
extern const TBuiltinGlyph kMemoGlyphs[95];
extern const uint8_t kMemoCoverage[];
extern const int kTextLineHeight;
extern const TBuiltinGlyph kTextGlyphs[95];
extern const uint8_t kTextCoverage[];
extern const int kButtonLineHeight;
extern const TBuiltinGlyph kButtonGlyphs[95];
extern const uint8_t kButtonCoverage[];
extern const int kTitleLineHeight;
extern const TBuiltinGlyph kTitleGlyphs[95];
extern const uint8_t kTitleCoverage[];

extern const int kPausedWidth, kPausedHeight;
extern const uint8_t kPausedRuns[];
extern const size_t kPausedRunsSize;

extern const int kKeyLegendWidth, kKeyLegendHeight;
extern const uint8_t kKeyLegendRuns[];
extern const size_t kKeyLegendRunsSize;

extern const int kCreditsWidth, kCreditsHeight;
extern const uint8_t kCreditsRuns[];
extern const size_t kCreditsRunsSize;
extern const int kCreditsTitleBottom;
}  // namespace qv_builtin_data

namespace {

namespace data = qv_builtin_data;

constexpr int kFirstChar = 32, kLastChar = 126;

const TBuiltinGlyph& GlyphOf(const TBuiltinFont& font, char ch) {
    const int code = static_cast<unsigned char>(ch);
    if (code < kFirstChar || code > kLastChar) return font.glyphs['?' - kFirstChar];
    return font.glyphs[code - kFirstChar];
}

// Blends one glyph with its pen at (penX, lineTop), clipped to the picture. Positions are 64-bit
// so that far-off text cannot overflow.
void DrawGlyph(TPicture& dst, int64_t penX, int64_t lineTop, const TBuiltinGlyph& g,
               const uint8_t* coverage, TColor32 colour) {
    const int64_t left = penX + g.left, top = lineTop + g.top;
    const int64_t x0 = std::max<int64_t>(left, 0),
                  x1 = std::min<int64_t>(left + g.width, dst.Width());
    const int64_t y0 = std::max<int64_t>(top, 0),
                  y1 = std::min<int64_t>(top + g.height, dst.Height());
    if (x0 >= x1 || y0 >= y1) return;
    TColor32* bits = dst.MutableBits();
    for (int64_t y = y0; y < y1; ++y) {
        const uint8_t* src = coverage + g.offset + size_t(y - top) * g.width;
        TColor32* row = bits + size_t(y) * dst.Width();
        for (int64_t x = x0; x < x1; ++x) {
            const int c = src[x - left];
            if (c != 0) row[x] = BlendPixel(colour, row[x], c);
        }
    }
}

// Turns run-length coverage into a picture: coverage 0 is `paper`, 255 is the ink that
// `inkOfRow` gives for the pixel's row.
template <typename InkOfRow>
TPicture Expand(int width, int height, const uint8_t* runs, size_t runsSize, TColor32 paper,
                InkOfRow inkOfRow) {
    TPicture picture(width, height, paper);
    TColor32* bits = picture.MutableBits();
    const size_t total = size_t(width) * size_t(height);
    size_t at = 0;
    for (size_t i = 0; i + 1 < runsSize && at < total; i += 2) {
        const size_t n = std::min<size_t>(size_t(runs[i]) + 1, total - at);
        const int c = runs[i + 1];
        if (c != 0) {
            for (size_t k = at; k < at + n; ++k)
                bits[k] = BlendPixel(inkOfRow(int(k / size_t(width))), paper, c);
        }
        at += n;
    }
    return picture;
}

constexpr TColor32 kDarkInk = Color32(28, 28, 36);
constexpr TColor32 kTitleInk = Color32(128, 16, 16);

}  // namespace

const TBuiltinFont& UiFont() {
    static const TBuiltinFont font{data::kUiLineHeight, data::kUiGlyphs, data::kUiCoverage};
    return font;
}

const TBuiltinFont& MemoFont() {
    static const TBuiltinFont font{data::kMemoLineHeight, data::kMemoGlyphs, data::kMemoCoverage};
    return font;
}

const TBuiltinFont& TextFont() {
    static const TBuiltinFont font{data::kTextLineHeight, data::kTextGlyphs, data::kTextCoverage};
    return font;
}

const TBuiltinFont& ButtonFont() {
    static const TBuiltinFont font{data::kButtonLineHeight, data::kButtonGlyphs,
                                   data::kButtonCoverage};
    return font;
}

const TBuiltinFont& TitleFont() {
    static const TBuiltinFont font{data::kTitleLineHeight, data::kTitleGlyphs,
                                   data::kTitleCoverage};
    return font;
}

int DrawText(TPicture& dst, int x, int y, std::string_view text, TColor32 colour,
             const TBuiltinFont& font) {
    int64_t penX = x, lineTop = y;
    int width = 0, lineWidth = 0;
    for (const char ch : text) {
        if (ch == '\n') {
            penX = x;
            lineTop += font.lineHeight;
            lineWidth = 0;
            continue;
        }
        const TBuiltinGlyph& g = GlyphOf(font, ch);
        if (!dst.Empty() && AlphaOf(colour) != 0)
            DrawGlyph(dst, penX, lineTop, g, font.coverage, colour);
        penX += g.advance;
        lineWidth += g.advance;
        width = std::max(width, lineWidth);
    }
    return width;
}

int TextWidth(std::string_view text, const TBuiltinFont& font) {
    int width = 0, lineWidth = 0;
    for (const char ch : text) {
        if (ch == '\n') {
            lineWidth = 0;
            continue;
        }
        lineWidth += GlyphOf(font, ch).advance;
        width = std::max(width, lineWidth);
    }
    return width;
}

TPicture PausedPicture() {
    return Expand(data::kPausedWidth, data::kPausedHeight, data::kPausedRuns, data::kPausedRunsSize,
                  clBlack, [](int) { return clWhite; });
}

TPicture KeyLegendPicture() {
    return Expand(data::kKeyLegendWidth, data::kKeyLegendHeight, data::kKeyLegendRuns,
                  data::kKeyLegendRunsSize, clWhite, [](int) { return kDarkInk; });
}

TPicture CreditsPicture() {
    return Expand(data::kCreditsWidth, data::kCreditsHeight, data::kCreditsRuns,
                  data::kCreditsRunsSize, clWhite,
                  [](int row) { return row < data::kCreditsTitleBottom ? kTitleInk : kDarkInk; });
}
