#include "toolkit/builtin_art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

constexpr TColor32 kPaper = Color32(10, 20, 30);
constexpr TColor32 kInk = Color32(250, 240, 230);

bool AllOpaque(const TPicture& p) {
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (AlphaOf(p.Pixel(x, y)) != 255) return false;
    return true;
}

// Pixels that differ from the picture's top-left (paper) colour.
struct TInk {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;  // inclusive bounds
};

TInk InkOf(const TPicture& p, TColor32 paper) {
    TInk ink;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (p.Pixel(x, y) != paper) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

TEST(BuiltinPictures, SizesAndOpacity) {
    struct TCase {
        const char* name;
        TPicture picture;
        int width, height;
        TColor32 paper;
    };
    TCase cases[] = {{"paused", PausedPicture(), 336, 84, Color32(0, 0, 0)},
                     {"legend", KeyLegendPicture(), 76, 40, Color32(255, 255, 255)},
                     {"credits", CreditsPicture(), 183, 200, Color32(255, 255, 255)}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.picture.Width(), c.width);
        ASSERT_EQ(c.picture.Height(), c.height);
        EXPECT_TRUE(AllOpaque(c.picture));
        EXPECT_EQ(c.picture.DrawMode(), TDrawMode::Opaque);
        // Paper on the corners, ink well inside: nothing of the drawing is cut off.
        EXPECT_EQ(c.picture.Pixel(0, 0), c.paper);
        EXPECT_EQ(c.picture.Pixel(c.width - 1, c.height - 1), c.paper);
        const TInk ink = InkOf(c.picture, c.paper);
        EXPECT_GT(ink.count, c.width * c.height / 50);
        EXPECT_GE(ink.left, 1);
        EXPECT_GE(ink.top, 1);
        EXPECT_LE(ink.right, c.width - 2);
        EXPECT_LE(ink.bottom, c.height - 2);
    }
}

TEST(BuiltinPictures, PausedIsWhiteOnBlackAndCentred) {
    const TPicture p = PausedPicture();
    int white = 0, black = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const TColor32 c = p.Pixel(x, y);
            if (c == Color32(255, 255, 255)) ++white;
            if (c == Color32(0, 0, 0)) ++black;
            EXPECT_TRUE(RedOf(c) == GreenOf(c) && GreenOf(c) == BlueOf(c)) << x << "," << y;
        }
    EXPECT_GT(white, 2000);
    EXPECT_GT(black, p.Width() * p.Height() / 2);
    // The word fills most of the width and sits in the middle.
    const TInk ink = InkOf(p, Color32(0, 0, 0));
    EXPECT_GT(ink.right - ink.left, p.Width() * 3 / 4);
    EXPECT_GT(ink.bottom - ink.top, p.Height() / 2);
    EXPECT_NEAR(ink.left, p.Width() - 1 - ink.right, 2);
    EXPECT_NEAR(ink.top, p.Height() - 1 - ink.bottom, 2);
}

TEST(BuiltinFont, GlyphsFitTheLine) {
    // The 11-pixel window font and the 10-pixel one of text boxes.
    for (const TBuiltinFont* font : {&UiFont(), &MemoFont()}) {
        const bool ui = font == &UiFont();
        SCOPED_TRACE(ui ? "window font" : "text box font");
        EXPECT_GE(font->lineHeight, ui ? 12 : 11);
        EXPECT_LE(font->lineHeight, ui ? 15 : 13);
        for (int ch = 32; ch <= 126; ++ch) {
            SCOPED_TRACE(ch);
            const TBuiltinGlyph& g = font->glyphs[ch - 32];
            EXPECT_GT(g.advance, 0);
            if (ch == ' ') continue;
            EXPECT_GT(g.width, 0);
            EXPECT_GT(g.height, 0);
            EXPECT_GE(g.top, 0);
            EXPECT_LE(g.top + g.height, font->lineHeight + 1);
            EXPECT_LE(g.left + g.width, g.advance + 2);
        }
        // Capitals about 8 (or 7) pixels tall, all on the same baseline.
        const TBuiltinGlyph& h = font->glyphs['H' - 32];
        EXPECT_GE(h.height, ui ? 7 : 6);
        EXPECT_LE(h.height, ui ? 9 : 8);
        for (const char ch : std::string("ABEHMSZ"))
            EXPECT_EQ(font->glyphs[ch - 32].top + font->glyphs[ch - 32].height, h.top + h.height)
                << ch;
    }
}

TEST(BuiltinFont, TextWidth) {
    EXPECT_EQ(TextWidth(""), 0);
    const int a = TextWidth("A");
    EXPECT_GT(a, 0);
    EXPECT_EQ(TextWidth("AA"), 2 * a);
    EXPECT_GT(TextWidth("Wave 12"), TextWidth("Wave 1"));
    // The widest line of several.
    EXPECT_EQ(TextWidth("AA\nA"), 2 * a);
    EXPECT_EQ(TextWidth("A\nAAA\nAA"), 3 * a);
    // Characters the font lacks are shown, and measured, as '?'.
    EXPECT_EQ(TextWidth("\t\x01\xc3"), 3 * TextWidth("?"));
}

TEST(BuiltinFont, DrawTextInsideAndOutside) {
    TPicture p(30, 20, kPaper);
    EXPECT_EQ(DrawText(p, 2, 2, "Hi", kInk), TextWidth("Hi"));
    const TInk ink = InkOf(p, kPaper);
    EXPECT_GT(ink.count, 10);
    EXPECT_GE(ink.left, 2);
    EXPECT_LE(ink.right, 2 + TextWidth("Hi"));
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.bottom, 2 + UiFont().lineHeight);
    // Full coverage gives the exact ink colour, the smoothed edges a mix; all stays opaque.
    int exact = 0, mixed = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const TColor32 c = p.Pixel(x, y);
            exact += c == kInk;
            mixed += c != kInk && c != kPaper;
        }
    EXPECT_GT(exact, 0);
    EXPECT_GT(mixed, 0);
    EXPECT_TRUE(AllOpaque(p));

    // Wholly outside: nothing changes and nothing is written past the pixels (ASan).
    const int outside[][2] = {{-1000, 0},         {1000, 0},          {0, -1000},  {0, 1000},
                              {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX, 0}};
    for (const auto& at : outside) {
        TPicture q(30, 20, kPaper);
        DrawText(q, at[0], at[1], "Quorvatide\nWAVE", kInk);
        EXPECT_EQ(InkOf(q, kPaper).count, 0) << at[0] << "," << at[1];
    }
    // Fully transparent ink changes nothing.
    TPicture clear(30, 20, kPaper);
    DrawText(clear, 2, 2, "Hi", Color32(255, 255, 255, 0));
    EXPECT_EQ(InkOf(clear, kPaper).count, 0);
    // Nothing to draw on.
    TPicture empty;
    EXPECT_EQ(DrawText(empty, 0, 0, "Hi", kInk), TextWidth("Hi"));
}

TEST(BuiltinFont, DrawTextClipsAtEveryEdge) {
    // Text straddling an edge keeps only its visible part; clipped columns or rows must not
    // wrap round into the opposite side of the picture.
    const int w = 24, h = 16, line = UiFont().lineHeight, width = TextWidth("MW");
    struct TCase {
        int x, y;
        int left, top, right, bottom;  // where the ink may lie, inclusive
    } cases[] = {{w - 3, 0, w - 3, 0, w - 1, h - 1},
                 {3 - width, 0, 0, 0, 3, h - 1},
                 {0, -6, 0, 0, w - 1, line - 6},
                 {0, h - 6, 0, h - 6, w - 1, h - 1}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        TPicture p(w, h, kPaper);
        DrawText(p, c.x, c.y, "MW", kInk);
        const TInk ink = InkOf(p, kPaper);
        EXPECT_GT(ink.count, 0);
        EXPECT_GE(ink.left, c.left);
        EXPECT_GE(ink.top, c.top);
        EXPECT_LE(ink.right, c.right);
        EXPECT_LE(ink.bottom, c.bottom);
    }
}

TEST(BuiltinFont, NewlinesAndUnknownCharacters) {
    const int line = UiFont().lineHeight;
    // The second line starts back at x, one line lower, and looks like the first.
    TPicture two(40, 2 * line, kPaper), one(40, line, kPaper);
    DrawText(two, 3, 0, "Ab\nAb", kInk);
    DrawText(one, 3, 0, "Ab", kInk);
    for (int y = 0; y < line; ++y)
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(two.Pixel(x, y), one.Pixel(x, y)) << x << "," << y;
            ASSERT_EQ(two.Pixel(x, y + line), one.Pixel(x, y)) << x << "," << y;
        }
    // A control character or a byte of UTF-8 draws the same as a question mark.
    TPicture odd(20, line, kPaper), question(20, line, kPaper);
    DrawText(odd, 1, 0, "\x07\xe9", kInk);
    DrawText(question, 1, 0, "??", kInk);
    for (int y = 0; y < line; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(odd.Pixel(x, y), question.Pixel(x, y));
    EXPECT_GT(InkOf(question, kPaper).count, 0);
}

}  // namespace
