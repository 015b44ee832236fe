// The window on screens of any size: the scale it opens at, mouse positions taken back to the
// game's own pixels (in a window and centred in fullscreen), and the enlarged copy of the
// changed rectangles.
#include "toolkit/window_scale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/form1.h"
#include "tests/harness.h"

namespace {
constexpr int kW = 903, kH = 717;
}

TEST(WindowScale, OpensAtTheLargestWholeScaleThatFitsTheUsableArea) {
    const struct {
        int w, h, scale;
    } screens[] = {
        {1280, 1024, 1}, {1920, 1050, 1}, {2560, 1440, 2}, {2560, 1410, 1},
        {1806, 1434, 2}, {1805, 1434, 1}, {1806, 1433, 1}, {3840, 2160, 3},
        {3840, 2112, 2}, {7680, 4320, 6}, {800, 600, 1},   {0, 0, 1},
    };
    for (const auto& s : screens) {
        SCOPED_TRACE(std::to_string(s.w) + " x " + std::to_string(s.h));
        const TScaleChoice c = ChooseWindowScale(s.w, s.h, kW, kH, nullptr);
        EXPECT_EQ(c.scale, s.scale);
        EXPECT_EQ(c.warning, "");
    }
}

TEST(WindowScale, TheEnvironmentChoosesAnyWholeScaleAndBadValuesFallBackWithAWarning) {
    for (const auto& [value, scale] :
         std::vector<std::pair<std::string, int>>{{"1", 1}, {"2", 2}, {"3", 3}, {"16", 16}}) {
        const TScaleChoice c = ChooseWindowScale(1280, 1024, kW, kH, value.c_str());
        EXPECT_EQ(c.scale, scale) << value;
        EXPECT_EQ(c.warning, "") << value;
    }
    for (const std::string bad :
         {"", "0", "17", "-2", "+2", " 2", "2 ", "2.5", "two", "0x2", "99999999999999999999"}) {
        const TScaleChoice c = ChooseWindowScale(3840, 2160, kW, kH, bad.c_str());
        EXPECT_EQ(c.scale, 3) << bad;
        EXPECT_NE(c.warning.find("QUORVATIDE_SCALE=" + bad + " "), std::string::npos) << c.warning;
        EXPECT_EQ(c.warning.find('\n'), std::string::npos);
    }
}

TEST(WindowScale, WindowPositionsMapBackToFramePixels) {
    // The window at 2 and 3 times: every window pixel of a block gives its frame pixel.
    for (int scale : {2, 3}) {
        const TViewport v = CentredViewport(kW * scale, kH * scale, kW, kH);
        ASSERT_EQ(v.scale, scale);
        ASSERT_EQ(v.left, 0);
        ASSERT_EQ(v.top, 0);
        int x, y;
        for (int k = 0; k < scale; ++k) {
            EXPECT_TRUE(v.ToFrame(201 * scale + k, 130 * scale + k, x, y));
            EXPECT_EQ(x, 201);
            EXPECT_EQ(y, 130);
        }
        EXPECT_TRUE(v.ToFrame(kW * scale - 1, kH * scale - 1, x, y));
        EXPECT_EQ(x, kW - 1);
        EXPECT_EQ(y, kH - 1);
        EXPECT_FALSE(v.ToFrame(kW * scale, 0, x, y));
        // A drag beyond the left edge stays left of the frame.
        EXPECT_FALSE(v.ToFrame(-1, 5, x, y));
        EXPECT_EQ(x, -1);
    }
    // Fullscreen on a 3840 x 2160 screen: 3 times, centred; the black border is outside.
    const TViewport full = CentredViewport(3840, 2160, kW, kH);
    EXPECT_EQ(full.scale, 3);
    EXPECT_EQ(full.left, (3840 - 3 * kW) / 2);
    EXPECT_EQ(full.top, (2160 - 3 * kH) / 2);
    int x, y;
    EXPECT_TRUE(full.ToFrame(full.left, full.top, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(full.ToFrame(full.left - 1, full.top + 10, x, y));
    EXPECT_FALSE(full.ToFrame(full.left + 10, full.top - 1, x, y));
    EXPECT_FALSE(full.ToFrame(full.left + 3 * kW, full.top + 10, x, y));
    EXPECT_FALSE(full.ToFrame(10, 2159, x, y));
    // A screen smaller than the frame still shows it at 1 time, its corner at the window's.
    const TViewport small = CentredViewport(800, 600, kW, kH);
    EXPECT_EQ(small.scale, 1);
    EXPECT_EQ(small.left, 0);
    EXPECT_EQ(small.top, 0);
}

TEST(WindowScale, AClickOnATileCentreInTheEnlargedWindowReachesThatTile) {
    for (const auto& [windowW, windowH] :
         std::vector<std::pair<int, int>>{{2 * kW, 2 * kH}, {3 * kW, 3 * kH}, {3840, 2160}}) {
        SCOPED_TRACE(std::to_string(windowW) + " x " + std::to_string(windowH));
        const TViewport v = CentredViewport(windowW, windowH, kW, kH);
        THarness h;
        h.StartPlay();
        // Tile (5, 5)'s centre in the frame, as the window shows it.
        const int centre = 9 + 35 * 5 + 17;
        int x, y;
        ASSERT_TRUE(v.ToFrame(v.left + centre * v.scale + v.scale / 2,
                              v.top + centre * v.scale + v.scale / 2, x, y));
        h.Click(x, y);
        EXPECT_TRUE(h.Form().MenuImg->Visible());
        EXPECT_EQ(h.Form().menuTileX, 5);
        EXPECT_EQ(h.Form().menuTileY, 5);
    }
}

TEST(WindowScale, EnlargedRectanglesCoverExactlyTheirBlocks) {
    // A 7 x 5 frame of distinct pixels, a rectangle of it copied into a larger window buffer
    // with an offset; everything outside the rectangle's blocks keeps its sentinel.
    constexpr int fw = 7, fh = 5;
    std::vector<uint32_t> frame(fw * fh);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = 0xFF000000u | uint32_t(i * 0x010305);
    for (int scale : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(scale);
        TViewport v;
        v.scale = scale;
        v.frameW = fw;
        v.frameH = fh;
        v.left = 3;
        v.top = 2;
        const int ww = v.left + fw * scale + 4, wh = v.top + fh * scale + 3;
        const int pitch = ww * 4 + 8;  // rows with padding, as window surfaces may have
        std::vector<uint32_t> window(size_t(pitch / 4) * wh, 0x12345678u);
        const int rx = 2, ry = 1, rw = 4, rh = 3;
        ScaleRect(frame.data(), fw * 4, window.data(), pitch, v, rx, ry, rw, rh);
        for (int wy = 0; wy < wh; ++wy)
            for (int wx = 0; wx < pitch / 4; ++wx) {
                int fx, fy;
                const bool inFrame = wx < ww && v.ToFrame(wx, wy, fx, fy);
                const bool inRect = inFrame && fx >= rx && fx < rx + rw && fy >= ry && fy < ry + rh;
                const uint32_t want = inRect ? frame[size_t(fy) * fw + fx] : 0x12345678u;
                ASSERT_EQ(window[size_t(wy) * (pitch / 4) + wx], want) << wx << "," << wy;
            }
    }
}
