// Pictures: reading BMP files, masks, drawing one picture onto another, filling and lines.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/native.h"
#include "tests/bmp_files.h"
#include "tests/harness.h"

namespace {

constexpr TColor32 kSentinel = Color32(1, 2, 3, 4);

// Every pixel different, with every channel different, so swapped rows, columns or channels
// show up.
TPicture Gradient(int w, int h, int alpha = 255) {
    TPicture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.SetPixel(x, y, Color32(10 + 40 * x, 20 + 50 * y, 7 + x + 9 * y, alpha));
    return p;
}

// One channel of `src` over `dst` at alpha a/255, the exact real-valued result.
double IdealBlend(int src, int dst, double a) {
    return (src * a + dst * (255 - a)) / 255.0;
}

TPicture Loaded(const std::string& bytes) {
    TPicture p;
    EXPECT_TRUE(LoadBmp(p, bytes));
    return p;
}

}  // namespace

// ---------------------------------------------------------------- reading BMP files

TEST(PictureLoad, TwentyFourBitRowsPaddedEitherOrientation) {
    // Odd widths leave 1..3 padding bytes per row; the alpha of the source is not stored.
    for (int w : {1, 2, 3, 5, 7}) {
        SCOPED_TRACE(w);
        const TPicture src = Gradient(w, 3, 90);
        EXPECT_TRUE(SamePixels(Loaded(Bmp24(src)), src, 0xFF000000u));
        EXPECT_TRUE(SamePixels(Loaded(Bmp24(src, true)), src, 0xFF000000u));
    }
}

TEST(PictureLoad, PalettedAndRunLengthEncoded) {
    TPicture src(7, 4, Color32(0, 0, 128));
    src.FillRect(1, 0, 4, 2, Color32(255, 200, 0));
    src.SetPixel(6, 3, Color32(3, 250, 17));
    src.SetPixel(0, 3, Color32(90, 0, 200));
    EXPECT_TRUE(SamePixels(Loaded(Bmp8(src)), src));
    EXPECT_TRUE(SamePixels(Loaded(Bmp8Rle(src)), src));
}

TEST(PictureLoad, SixteenBitMadeOpaque) {
    // Full and empty channels survive five bits exactly.
    TPicture src(3, 2);
    const TColor32 colours[] = {Color32(255, 0, 0),     Color32(0, 255, 0), Color32(0, 0, 255),
                                Color32(255, 255, 255), Color32(0, 0, 0),   Color32(255, 0, 255)};
    for (int i = 0; i < 6; ++i) src.SetPixel(i % 3, i / 3, colours[i]);
    EXPECT_TRUE(SamePixels(Loaded(Bmp16(src)), src));
}

TEST(PictureLoad, ThirtyTwoBitKeepsAlphaAndOrientation) {
    TPicture src = Gradient(3, 4);
    // Alphas from transparent to opaque, including 0 and values that are not 0 or 255.
    const int alphas[] = {0, 1, 64, 127, 128, 200, 254, 255, 0, 33, 99, 255};
    for (int i = 0; i < 12; ++i) {
        const TColor32 c = src.Pixel(i % 3, i / 3);
        src.SetPixel(i % 3, i / 3, (c & 0x00FFFFFFu) | (TColor32(alphas[i]) << 24));
    }
    EXPECT_TRUE(SamePixels(Loaded(Bmp32(src)), src));
    EXPECT_TRUE(SamePixels(Loaded(Bmp32(src, true)), src));
    // The later, longer info headers are read the same way.
    EXPECT_TRUE(SamePixels(Loaded(Bmp32(src, false, 108)), src));
    EXPECT_TRUE(SamePixels(Loaded(Bmp32(src, true, 124)), src));
}

TEST(PictureLoad, ThirtyTwoBitWithChannelMasksMadeOpaque) {
    const TPicture src = Gradient(4, 3, 50);
    EXPECT_TRUE(SamePixels(Loaded(Bmp32BitFields(src)), src, 0xFF000000u));
}

TEST(PictureLoad, FromFile) {
    TTempAssets dir;
    const TPicture src = Gradient(5, 2, 77);
    ASSERT_TRUE(WriteFile(dir.Assets() / "a.bmp", Bmp32(src)));
    TPicture p;
    ASSERT_TRUE(p.LoadFromFile(NativeFiles(), (dir.Assets() / "a.bmp").string()));
    EXPECT_TRUE(SamePixels(p, src));

    // A missing or empty file fails and leaves the picture empty.
    EXPECT_FALSE(p.LoadFromFile(NativeFiles(), (dir.Assets() / "missing.bmp").string()));
    EXPECT_TRUE(p.Empty());
    ASSERT_TRUE(WriteFile(dir.Assets() / "empty.bmp", ""));
    p = Gradient(2, 2);
    EXPECT_FALSE(p.LoadFromFile(NativeFiles(), (dir.Assets() / "empty.bmp").string()));
    EXPECT_TRUE(p.Empty());
    EXPECT_FALSE(p.LoadFromFile(NativeFiles(), dir.Assets().string()));  // a folder
    EXPECT_TRUE(p.Empty());
}

TEST(PictureLoad, BrokenFilesFailCleanly) {
    const std::string good24 = Bmp24(Gradient(5, 4));
    const std::string good32 = Bmp32(Gradient(5, 4));
    const auto withField = [](std::string bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
        return bytes;
    };
    std::string garbage(300, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919 + 13) & 0xFF);

    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"nothing", ""},
        {"only the magic", "BM"},
        {"garbage", garbage},
        {"garbage after the magic", "BM" + garbage},
        {"24-bit header cut short", good24.substr(0, 30)},
        {"24-bit pixels cut short", good24.substr(0, good24.size() - 30)},
        {"32-bit header cut short", good32.substr(0, 40)},
        {"32-bit pixels cut short", good32.substr(0, good32.size() - 1)},
        {"32-bit pixel offset past the end", withField(good32, 10, 100000)},
        {"32-bit pixel offset near 4 GB", withField(good32, 10, 0xFFFFFFF0u)},
        {"32-bit huge width", withField(good32, 18, 1u << 30)},
        {"32-bit huge height", withField(good32, 22, 1u << 30)},
        {"32-bit huge top-down height", withField(good32, 22, uint32_t(-(1 << 30)))},
        {"32-bit most negative height", withField(good32, 22, 0x80000000u)},
        {"32-bit huge both", withField(withField(good32, 18, 100000), 22, 100000)},
        {"32-bit zero width", withField(good32, 18, 0)},
        {"32-bit negative width", withField(good32, 18, uint32_t(-5))},
        {"32-bit zero height", withField(good32, 22, 0)},
        {"24-bit zero width", withField(good24, 18, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TPicture p = Gradient(3, 3);
        EXPECT_FALSE(LoadBmp(p, c.bytes));
        EXPECT_TRUE(p.Empty());
        EXPECT_EQ(p.Width(), 0);
        EXPECT_EQ(p.Height(), 0);
    }
    // A failed load does not spoil the next one.
    TPicture p;
    EXPECT_FALSE(LoadBmp(p, garbage));
    EXPECT_TRUE(SamePixels(Loaded(good32), Gradient(5, 4)));
}

TEST(PictureLoad, HugeDimensionsRefusedBeforeDecoding) {
    // A file of a few bytes whose header claims 12000 x 12000 pixels: refused without first
    // setting aside room for all of them.
    std::string bytes = Bmp24(TPicture(3, 3, Color32(1, 2, 3)));
    for (size_t field : {18u, 22u})
        for (int i = 0; i < 4; ++i) bytes[field + i] = char((12000 >> (8 * i)) & 0xFF);
    const auto peakKb = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return long(usage.ru_maxrss);
    };
    const long before = peakKb();
    TPicture p;
    EXPECT_FALSE(LoadBmp(p, bytes));
    EXPECT_TRUE(p.Empty());
    EXPECT_LT(peakKb() - before, 32 * 1024)
        << "peak memory grew by " << (peakKb() - before) / 1024 << " MB";
}

// ---------------------------------------------------------------- masks

TEST(PictureMask, IntensityBecomesAlphaColourKept) {
    TPicture p(4, 2);
    const TColor32 colours[] = {
        Color32(10, 20, 30), Color32(200, 100, 50, 9), Color32(1, 2, 3, 0), Color32(255, 255, 255),
        Color32(0, 0, 0),    Color32(7, 8, 9),         Color32(40, 50, 60), Color32(90, 80, 70)};
    const TColor32 masks[] = {Color32(255, 255, 255),    Color32(0, 0, 0),   Color32(128, 128, 128),
                              Color32(255, 0, 0),        Color32(0, 255, 0), Color32(0, 0, 255),
                              Color32(255, 255, 255, 0), Color32(64, 64, 64)};
    // White 255, black 0, grey stays grey; the channels weigh green most, blue least.
    const int alphas[] = {255, 0, 128, 60, 173, 20, 255, 64};
    TPicture mask(4, 2);
    for (int i = 0; i < 8; ++i) {
        p.SetPixel(i % 4, i / 4, colours[i]);
        mask.SetPixel(i % 4, i / 4, masks[i]);
    }
    p.IntensityToAlpha(mask);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p.Pixel(i % 4, i / 4), (colours[i] & 0x00FFFFFFu) | TColor32(alphas[i]) << 24);
    }
}

TEST(PictureMask, MaskOfAnotherSizeResizes) {
    // Wider and shorter: the result has the mask's size, the overlap keeps its colours.
    TPicture p = Gradient(2, 3);
    TPicture mask(4, 2, Color32(255, 255, 255));
    mask.SetPixel(3, 1, Color32(0, 0, 0));
    p.IntensityToAlpha(mask);
    ASSERT_EQ(p.Width(), 4);
    ASSERT_EQ(p.Height(), 2);
    const TPicture g = Gradient(2, 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(p.Pixel(x, y), g.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(AlphaOf(p.Pixel(2, 0)), 255);
    EXPECT_EQ(AlphaOf(p.Pixel(3, 1)), 0);

    // An empty picture takes the whole mask.
    TPicture empty;
    empty.IntensityToAlpha(mask);
    EXPECT_EQ(empty.Width(), 4);
    EXPECT_EQ(empty.Height(), 2);
    EXPECT_EQ(AlphaOf(empty.Pixel(0, 0)), 255);
}

// ---------------------------------------------------------------- drawing onto pictures

TEST(PictureDraw, OpaqueCopiesEveryByteIncludingAlpha) {
    TPicture src = Gradient(3, 2, 0);
    src.SetPixel(1, 1, Color32(9, 8, 7, 131));
    src.SetMasterAlpha(10);  // no effect on an opaque copy
    TPicture dst(5, 4, Color32(200, 200, 200));
    src.DrawTo(dst, 1, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 2;
            EXPECT_EQ(dst.Pixel(x, y), inside ? src.Pixel(x - 1, y - 2) : Color32(200, 200, 200))
                << x << "," << y;
        }
}

TEST(PictureDraw, BlendWithPixelAndMasterAlpha) {
    const TColor32 back = Color32(0, 60, 200);
    const struct {
        TColor32 src;
        int master;
    } cases[] = {
        {Color32(255, 255, 255), 64},  // a quarter of white over the background
        {Color32(200, 100, 0, 128), 255},
        {Color32(200, 100, 0, 128), 128},
        {Color32(17, 240, 3, 255), 255},  // fully opaque: the source exactly
        {Color32(17, 240, 3, 1), 255},
        {Color32(250, 250, 250, 0), 255},  // transparent: the destination untouched
        {Color32(250, 250, 250, 255), 0},  // master alpha 0: likewise
        {Color32(99, 98, 97, 255), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.src << " master " << std::dec << c.master);
        TPicture src(2, 2, c.src);
        src.SetDrawMode(TDrawMode::Blend);
        src.SetMasterAlpha(c.master);
        TPicture dst(2, 2, back);
        src.DrawTo(dst, 0, 0);
        const double a = AlphaOf(c.src) * c.master / 255.0;
        const TColor32 out = dst.Pixel(1, 1);
        EXPECT_NEAR(RedOf(out), IdealBlend(RedOf(c.src), RedOf(back), a), 1.0);
        EXPECT_NEAR(GreenOf(out), IdealBlend(GreenOf(c.src), GreenOf(back), a), 1.0);
        EXPECT_NEAR(BlueOf(out), IdealBlend(BlueOf(c.src), BlueOf(back), a), 1.0);
        EXPECT_EQ(AlphaOf(out), 255);  // an opaque background stays opaque
        if (a == 0) {
            EXPECT_EQ(out, back);
        }
        if (a == 255) {
            EXPECT_EQ(out, c.src);
        }
    }
    // White at master 64 over black lands at a quarter strength.
    TPicture white(1, 1, Color32(255, 255, 255));
    white.SetDrawMode(TDrawMode::Blend);
    white.SetMasterAlpha(64);
    TPicture black(1, 1, Color32(0, 0, 0));
    white.DrawTo(black, 0, 0);
    EXPECT_EQ(black.Pixel(0, 0), Color32(64, 64, 64));
}

TEST(PictureDraw, ClippedAtEveryEdgeWithoutWrapping) {
    // Every placement from fully left/above to fully right/below, in both modes: each
    // destination pixel is either the source pixel over it or untouched.
    const TPicture src = Gradient(4, 3);
    for (TDrawMode mode : {TDrawMode::Opaque, TDrawMode::Blend}) {
        TPicture s;
        s.Assign(src);
        s.SetDrawMode(mode);
        for (int oy = -5; oy <= 8; ++oy)
            for (int ox = -6; ox <= 10; ++ox) {
                TPicture dst(7, 5, kSentinel | 0xFF000000u);
                s.DrawTo(dst, ox, oy);
                TPicture expected(7, 5, kSentinel | 0xFF000000u);
                for (int y = 0; y < 5; ++y)
                    for (int x = 0; x < 7; ++x)
                        if (x - ox >= 0 && x - ox < 4 && y - oy >= 0 && y - oy < 3)
                            expected.SetPixel(x, y, src.Pixel(x - ox, y - oy));
                ASSERT_TRUE(SamePixels(dst, expected))
                    << "at " << ox << "," << oy << (mode == TDrawMode::Blend ? " blend" : "");
            }
    }
    // Empty pictures on either side draw nothing.
    TPicture empty;
    TPicture dst(2, 2, kSentinel);
    empty.DrawTo(dst, 0, 0);
    EXPECT_TRUE(SamePixels(dst, TPicture(2, 2, kSentinel)));
    src.DrawTo(empty, 0, 0);
    EXPECT_TRUE(empty.Empty());
}

TEST(PictureDraw, AssignCopiesEverything) {
    TPicture src = Gradient(3, 2, 100);
    src.SetDrawMode(TDrawMode::Blend);
    src.SetMasterAlpha(77);
    TPicture dst(10, 10, kSentinel);
    dst.Assign(src);
    EXPECT_TRUE(SamePixels(dst, src));
    EXPECT_EQ(dst.DrawMode(), TDrawMode::Blend);
    EXPECT_EQ(dst.MasterAlpha(), 77);
    // A copy, not a view.
    src.Clear(0);
    EXPECT_TRUE(SamePixels(dst, Gradient(3, 2, 100)));
    // Back to opaque from an opaque source; an empty source empties.
    dst.Assign(TPicture(1, 1, kSentinel));
    EXPECT_EQ(dst.DrawMode(), TDrawMode::Opaque);
    EXPECT_EQ(dst.MasterAlpha(), 255);
    dst.Assign(TPicture());
    EXPECT_TRUE(dst.Empty());
    // Onto itself: nothing changes.
    TPicture self = Gradient(2, 2);
    self.Assign(self);
    EXPECT_TRUE(SamePixels(self, Gradient(2, 2)));
}

TEST(PictureDraw, SizeAndSettingsEdges) {
    TPicture p(3, 0);
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Width(), 0);
    p.SetSize(-4, 5);
    EXPECT_TRUE(p.Empty());
    p.SetSize(2, 3);
    EXPECT_EQ(p.Pixel(1, 2), 0u);  // a new size starts cleared
    p.SetWidth(4);
    EXPECT_EQ(p.Width(), 4);
    EXPECT_EQ(p.Height(), 3);
    p.SetMasterAlpha(300);
    EXPECT_EQ(p.MasterAlpha(), 255);
    p.SetMasterAlpha(-1);
    EXPECT_EQ(p.MasterAlpha(), 0);
    // Writes outside the picture are ignored.
    p.Clear(kSentinel);
    p.SetPixel(-1, 0, 0);
    p.SetPixel(4, 0, 0);
    p.SetPixel(0, 3, 0);
    EXPECT_TRUE(SamePixels(p, TPicture(4, 3, kSentinel)));
}

TEST(PictureDraw, FillRectExclusiveAndClipped) {
    const auto filled = [](int x1, int y1, int x2, int y2) {
        TPicture p(6, 5, kSentinel);
        p.FillRect(x1, y1, x2, y2, Color32(9, 9, 9));
        std::string rows;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) rows += p.Pixel(x, y) == kSentinel ? '.' : '#';
            rows += '\n';
        }
        return rows;
    };
    EXPECT_EQ(filled(1, 1, 4, 3), "......\n.###..\n.###..\n......\n......\n");
    EXPECT_EQ(filled(-3, -2, 2, 10), "##....\n##....\n##....\n##....\n##....\n");
    EXPECT_EQ(filled(4, 3, 100, 100), "......\n......\n......\n....##\n....##\n");
    EXPECT_EQ(filled(-10, -10, 100, 100), "######\n######\n######\n######\n######\n");
    const std::string none = "......\n......\n......\n......\n......\n";
    EXPECT_EQ(filled(4, 1, 1, 3), none);   // reversed
    EXPECT_EQ(filled(2, 2, 2, 4), none);   // zero width
    EXPECT_EQ(filled(6, 0, 9, 5), none);   // right of the picture
    EXPECT_EQ(filled(0, -3, 6, 0), none);  // above
}

TEST(PictureDraw, LineEndsBeforeItsEndPoint) {
    const auto drawn = [](int x1, int y1, int x2, int y2) {
        TPicture p(8, 8, kSentinel);
        p.Line(x1, y1, x2, y2, Color32(200, 0, 0));
        std::vector<std::pair<int, int>> points;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (p.Pixel(x, y) != kSentinel) points.emplace_back(x, y);
        return points;
    };
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(drawn(1, 2, 5, 2), (P{{1, 2}, {2, 2}, {3, 2}, {4, 2}}));
    EXPECT_EQ(drawn(5, 2, 1, 2), (P{{2, 2}, {3, 2}, {4, 2}, {5, 2}}));
    EXPECT_EQ(drawn(3, 6, 3, 1), (P{{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}}));
    EXPECT_EQ(drawn(0, 0, 4, 4), (P{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(drawn(4, 0, 0, 4), (P{{4, 0}, {3, 1}, {2, 2}, {1, 3}}));
    EXPECT_TRUE(drawn(2, 2, 2, 2).empty());  // zero length
    EXPECT_EQ(drawn(2, 2, 3, 2), (P{{2, 2}}));

    // Steep and shallow lines in every direction: one pixel per step of the longer axis, the
    // start drawn, the end not, every pixel next to the previous one.
    const struct {
        int x1, y1, x2, y2;
    } lines[] = {{1, 0, 3, 7}, {3, 7, 1, 0}, {6, 5, 0, 2},
                 {0, 2, 6, 5}, {7, 0, 5, 7}, {0, 6, 7, 1}};
    for (const auto& l : lines) {
        SCOPED_TRACE(testing::Message() << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2);
        TPicture p(8, 8, kSentinel);
        p.Line(l.x1, l.y1, l.x2, l.y2, Color32(200, 0, 0));
        const int steps = std::max(std::abs(l.x2 - l.x1), std::abs(l.y2 - l.y1));
        int count = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) count += p.Pixel(x, y) != kSentinel;
        EXPECT_EQ(count, steps);
        EXPECT_NE(p.Pixel(l.x1, l.y1), kSentinel);
        EXPECT_EQ(p.Pixel(l.x2, l.y2), kSentinel);
        // Every drawn pixel lies within half a pixel of the ideal line (plus rounding).
        const double len = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (p.Pixel(x, y) != kSentinel) {
                    const double dist =
                        std::abs((l.x2 - l.x1) * (l.y1 - y) - (l.x1 - x) * (l.y2 - l.y1)) / len;
                    EXPECT_LE(dist, 0.71) << x << "," << y;
                }
    }
}

TEST(PictureDraw, LinePartlyOutsideIsClipped) {
    // A line drawn on a small picture matches the same line on a big one, cut to the small one.
    const struct {
        int x1, y1, x2, y2;
    } lines[] = {{-3, 1, 4, 1},  {2, -5, 2, 10}, {-4, -4, 9, 9},   {8, -2, -3, 6},
                 {-2, 7, 9, -1}, {3, 2, 12, 3},  {-9, -9, -1, -1}, {6, 5, 20, 5}};
    constexpr int kOffset = 20;
    for (const auto& l : lines) {
        SCOPED_TRACE(testing::Message() << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2);
        TPicture big(48, 48, kSentinel);
        big.Line(l.x1 + kOffset, l.y1 + kOffset, l.x2 + kOffset, l.y2 + kOffset,
                 Color32(0, 0, 255));
        TPicture small(6, 5, kSentinel);
        small.Line(l.x1, l.y1, l.x2, l.y2, Color32(0, 0, 255));
        TPicture expected(6, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x)
                expected.SetPixel(x, y, big.Pixel(x + kOffset, y + kOffset));
        EXPECT_TRUE(SamePixels(small, expected));
    }
}

TEST(PictureVersion, RisesOnEveryChange) {
    TPicture p(4, 4);
    TPicture other(4, 4);
    EXPECT_NE(p.Version(), other.Version());  // a picture swapped for another is noticed
    const TPicture src = Gradient(2, 2);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"SetSize", [&] { p.SetSize(5, 4); }},
        {"Clear", [&] { p.Clear(kSentinel); }},
        {"SetPixel", [&] { p.SetPixel(1, 1, 5); }},
        {"FillRect", [&] { p.FillRect(0, 0, 2, 2, 6); }},
        {"Line", [&] { p.Line(0, 0, 3, 3, 7); }},
        {"SetDrawMode", [&] { p.SetDrawMode(TDrawMode::Blend); }},
        {"SetMasterAlpha", [&] { p.SetMasterAlpha(12); }},
        {"MutableBits", [&] { p.MutableBits()[0] = 8; }},
        {"DrawTo", [&] { src.DrawTo(p, 1, 1); }},
        {"Assign", [&] { p.Assign(src); }},
        {"IntensityToAlpha", [&] { p.IntensityToAlpha(src); }},
        {"LoadFromMemory", [&] { LoadBmp(p, Bmp24(src)); }},
    };
    for (const auto& [name, change] : changes) {
        const uint64_t before = p.Version();
        change();
        EXPECT_GT(p.Version(), before) << name;
    }
}

TEST(PictureMove, MovedFromPictureIsEmptyAndReusable) {
    // Pictures are handed to controls by moving; the one left behind must not claim its old
    // size without the pixels to go with it.
    TPicture a = Gradient(4, 3);
    TPicture b = std::move(a);
    EXPECT_TRUE(SamePixels(b, Gradient(4, 3)));
    ASSERT_TRUE(a.Empty());  // writing into it below would go astray otherwise
    EXPECT_EQ(a.Width(), 0);
    a.SetSize(4, 3);  // the size it had before
    a.Clear(kSentinel);
    a.SetPixel(3, 2, 0);
    EXPECT_EQ(a.Pixel(3, 2), 0u);
    EXPECT_EQ(a.Pixel(0, 0), kSentinel);

    TPicture c(2, 2, kSentinel);
    c = std::move(b);
    EXPECT_TRUE(SamePixels(c, Gradient(4, 3)));
    ASSERT_TRUE(b.Empty());
    b.FillRect(0, 0, 4, 3, kSentinel);  // nothing to fill, nothing written
    EXPECT_TRUE(b.Empty());
}
