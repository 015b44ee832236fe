// The window's generated pictures fit where the window shows them: the edges of each picture
// match the panel around it, and the game-over frame's bands join without seams, the left band
// serving unmirrored as the right one too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/native.h"
#include "tests/harness.h"
#include "toolkit/controls.h"
#include "toolkit/picture.h"

namespace {

TPicture Load(const std::string& name) {
    TPicture p;
    EXPECT_TRUE(
        p.LoadFromFile(NativeFiles(), (BuildExeDir() / "Assets" / (name + ".bmp")).string()))
        << name;
    return p;
}

// The largest difference of any colour channel.
int Distance(TColor32 a, TColor32 b) {
    return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                     std::abs(BlueOf(a) - BlueOf(b))});
}

// The most any pixel of the picture's outermost ring differs from `colour`.
int EdgeDistance(const TPicture& p, TColor32 colour) {
    int worst = 0;
    for (int x = 0; x < p.Width(); ++x)
        worst = std::max(
            {worst, Distance(p.Pixel(x, 0), colour), Distance(p.Pixel(x, p.Height() - 1), colour)});
    for (int y = 0; y < p.Height(); ++y)
        worst = std::max(
            {worst, Distance(p.Pixel(0, y), colour), Distance(p.Pixel(p.Width() - 1, y), colour)});
    return worst;
}

}  // namespace

TEST(WindowPictures, EdgesBlendIntoThePanelsAroundThem) {
    // The scrolling texts move over black panels: any colour at their edges would show as a
    // moving line.
    EXPECT_EQ(EdgeDistance(Load("starttext"), clBlack), 0);
    EXPECT_EQ(EdgeDistance(Load("endtext"), clBlack), 0);
    // The counter icons and the hatred pictures sit on white panels.
    for (const char* name : {"ScrapCount", "SignCount", "rhs1", "rhs2", "rhs3"})
        EXPECT_EQ(EdgeDistance(Load(name), clWhite), 0) << name;
    // The title screen fills a black panel and fades into it.
    EXPECT_LT(EdgeDistance(Load("splash"), clBlack), 48);
}

TEST(WindowPictures, HatredPicturesShowDifferentCycles) {
    const TPicture forward = Load("rhs1"), reversed = Load("rhs2"), calm = Load("rhs3");
    const auto differing = [](const TPicture& a, const TPicture& b) {
        int n = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x) n += Distance(a.Pixel(x, y), b.Pixel(x, y)) > 40;
        return n;
    };
    EXPECT_GT(differing(forward, reversed), 200);
    EXPECT_GT(differing(forward, calm), 200);
    EXPECT_GT(differing(reversed, calm), 200);
}

TEST(WindowPictures, GameOverBandsJoinIntoOneFrame) {
    const TPicture top = Load("gameovertop"), side = Load("gameoverleft"),
                   bottom = Load("gameoverbottom");
    ASSERT_EQ(side.Width(), 50);
    // The same picture serves both sides, so it is its own mirror image.
    int worst = 0;
    for (int y = 0; y < side.Height(); ++y)
        for (int x = 0; x < 25; ++x)
            worst = std::max(worst, Distance(side.Pixel(x, y), side.Pixel(49 - x, y)));
    EXPECT_LE(worst, 2);
    // Where the bands meet, the side band continues the top and bottom bands' corners, on the
    // left (x 0..49) and on the right (x 650..699), within the small step of one row.
    int seam = 0;
    for (int x = 0; x < 50; ++x)
        for (int corner : {0, 650}) {
            seam = std::max(seam, Distance(top.Pixel(corner + x, 100), side.Pixel(x, 0)));
            seam = std::max(seam, Distance(bottom.Pixel(corner + x, 0), side.Pixel(x, 498)));
        }
    EXPECT_LE(seam, 8);
    // Glowing trim runs along the edges of the opening, on both sides of the side band.
    EXPECT_GT(RedOf(side.Pixel(46, 250)), 150);
    EXPECT_GT(RedOf(side.Pixel(3, 250)), 150);
    EXPECT_GT(RedOf(top.Pixel(350, 97)), 150);
    EXPECT_GT(RedOf(bottom.Pixel(350, 3)), 150);
}
