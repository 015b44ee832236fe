// Clicks on the playfield: which menu opens where, the no-build markers, closing, and the
// clicks that do nothing.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/player_test.h"

using Sounds = std::vector<std::string>;

TEST(PlayfieldInput, MenusOpenUnderThePointerAndStayOnTheBoard) {
    const struct {
        int x, y;
        bool orbMenu;
        int left, top;
    } cases[] = {
        {4, 6, false, 140, 210},   {0, 0, false, 0, 0},      {16, 15, false, 560, 525},
        {17, 16, false, 595, 560}, {18, 3, false, 595, 105}, {2, 19, false, 70, 560},
        {19, 19, false, 595, 560}, {9, 0, true, 315, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        TPlayerGame g;
        TForm1& f = g.f();
        g.ClickTile(c.x, c.y);
        TLayeredImage* open = c.orbMenu ? f.OrbMenuImg : f.MenuImg;
        TLayeredImage* closed = c.orbMenu ? f.MenuImg : f.OrbMenuImg;
        EXPECT_TRUE(open->Visible());
        EXPECT_FALSE(closed->Visible());
        EXPECT_EQ(open->Left(), c.left);
        EXPECT_EQ(open->Top(), c.top);
        EXPECT_EQ(open->Tag, -1);
        EXPECT_EQ(f.menuTileX, c.x);
        EXPECT_EQ(f.menuTileY, c.y);
        EXPECT_FALSE(f.cursor->visible);
        EXPECT_EQ(g.TakeSounds(), Sounds{"menuopen"});
        // In front of every other control of the window, so it takes the clicks over the board.
        EXPECT_EQ(f.Controls().back().get(), open);
        EXPECT_EQ(f.ControlAt(open->Left() + 5, open->Top() + 20), open);
        // The orb menu adds no markers; the build menu always marks the base at least.
        if (c.orbMenu)
            EXPECT_EQ(g.Markers(), 0);
        else
            EXPECT_GE(g.Markers(), 54);
    }
}

TEST(PlayfieldInput, MarkersCoverTheSquaresAroundSignsAndTheFixedOnesOfTheBase) {
    // Markers per tile with one sign on (5, 5). The base's six tiles each mark a 3 x 3 square,
    // off the top of the board as well, and the squares overlap.
    const struct {
        int x, y, markers;
    } base[] = {{9, 0, 6},  {9, 1, 6},  {8, 0, 4},  {7, 1, 2}, {7, -1, 1}, {9, -1, 3},
                {11, 2, 1}, {10, 2, 2}, {12, 1, 0}, {9, 3, 0}, {6, 0, 0}};
    const struct {
        const char* radius;
        int around;  // markers on each tile of the square around the sign
        int reach;   // how far the square reaches
        int total;
    } radii[] = {{"1", 1, 1, 9 + 54},
                 {"0", 1, 0, 1 + 54},
                 {"-1", 0, -1, 54},
                 {"2", 1, 2, 25 + 54},
                 // A radius past the board's width marks every tile, without making billions.
                 {"2147483647", 1, 19, 39 * 39 + 54}};
    for (const auto& r : radii) {
        SCOPED_TRACE(r.radius);
        TPlayerGame g(std::string("BLOCKSIGNBUILDBY=") + r.radius);
        TForm1& f = g.f();
        f.PlaceSign(5, 5, 0, false);
        g.ClickTile(3, 12);
        EXPECT_EQ(g.Markers(), r.total);
        for (int d = 0; d <= 2; ++d) {
            const int expected = d <= r.reach ? r.around : 0;
            EXPECT_EQ(g.MarkersOn(5 + d, 5), expected) << "dx " << d;
            EXPECT_EQ(g.MarkersOn(5 - d, 5 - d), expected) << "dx dy -" << d;
        }
        if (r.reach >= 19) {
            EXPECT_EQ(g.MarkersOn(19, 19), 1);
            EXPECT_EQ(g.MarkersOn(-14, 24), 1);
        }
        // The widest square around the sign covers the base area as well.
        const int signsToo = r.reach >= 19 ? 1 : 0;
        for (const auto& b : base)
            EXPECT_EQ(g.MarkersOn(b.x, b.y), b.markers + signsToo) << b.x << "," << b.y;
        // Markers are permanent red squares at full strength.
        const TSprite& marker = *f.lstEffects.back();
        EXPECT_TRUE(marker.menuMarker);
        EXPECT_EQ(marker.life, kPermanentLife);
        EXPECT_EQ(marker.frameCount, 1);
        EXPECT_EQ(marker.firstFrame, f.sprRedSquare);
    }
}

TEST(PlayfieldInput, AClickWithAMenuOpenOnlyClosesItAndTheNextOpensAgain) {
    TPlayerGame g;
    TForm1& f = g.f();
    const size_t effects = f.lstEffects.size();
    g.ClickTile(4, 6);
    ASSERT_TRUE(f.MenuImg->Visible());
    g.TakeSounds();
    // A click beside the menu, on another tile: the menu closes, nothing opens.
    g.ClickTile(12, 12);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_FALSE(f.OrbMenuImg->Visible());
    EXPECT_TRUE(f.cursor->visible);
    EXPECT_EQ(f.lstEffects.size(), effects);
    EXPECT_EQ(f.menuTileX, 4);
    EXPECT_TRUE(g.TakeSounds().empty());
    // The next click opens the menu on the tile now under the cursor.
    g.ClickTile(12, 12);
    EXPECT_TRUE(f.MenuImg->Visible());
    EXPECT_EQ(f.menuTileX, 12);
    EXPECT_EQ(f.MenuImg->Left(), 420);
    EXPECT_EQ(g.TakeSounds(), Sounds{"menuopen"});

    // The orb menu closes the same way, and a click on the orb with the build menu open
    // opens nothing either.
    g.ClickTile(9, 0);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_FALSE(f.OrbMenuImg->Visible());
    g.ClickTile(9, 0);
    EXPECT_TRUE(f.OrbMenuImg->Visible());
    EXPECT_EQ(g.Markers(), 0);
    g.ClickTile(3, 3);
    EXPECT_FALSE(f.OrbMenuImg->Visible());
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_TRUE(f.cursor->visible);
    EXPECT_EQ(f.lstEffects.size(), effects);
}

TEST(PlayfieldInput, RightAndMiddleClicksAndClicksAfterGameOverDoNothing) {
    for (TMouseButton button : {TMouseButton::Right, TMouseButton::Middle}) {
        TPlayerGame g;
        TForm1& f = g.f();
        g.ClickTile(4, 6, button);
        EXPECT_FALSE(f.MenuImg->Visible());
        g.ClickTile(9, 0, button);
        EXPECT_FALSE(f.OrbMenuImg->Visible());
        // With a menu open they neither close it nor choose anything on it.
        g.ClickTile(4, 6);
        g.TakeSounds();
        g.ClickTile(12, 12, button);
        EXPECT_TRUE(f.MenuImg->Visible());
        g.Choose(kSignDown);  // a left click: this one counts
        EXPECT_FALSE(f.MenuImg->Visible());
        g.TakeSounds();
        g.ClickTile(9, 0);
        g.ClickOrbMenu();
        EXPECT_FALSE(f.OrbMenuImg->Visible());
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "nomoney"}));
    }

    TPlayerGame g;
    TForm1& f = g.f();
    f.EndGame();
    g.ClickTile(4, 6);
    g.ClickTile(9, 0);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_FALSE(f.OrbMenuImg->Visible());
    EXPECT_EQ(g.Markers(), 0);
    EXPECT_TRUE(g.TakeSounds().empty());
    // The cursor still follows the pointer.
    g.h->MouseMove(TPlayerGame::TileCentreX(7), TPlayerGame::TileCentreY(8));
    EXPECT_EQ(f.cursor->tileX, 7);
    EXPECT_EQ(f.cursor->tileY, 8);
}

TEST(PlayfieldInput, TheOpenMenuTakesTheClicksOverTheBoardButNotThroughThePausePicture) {
    TPlayerGame g;
    TForm1& f = g.f();
    g.ClickTile(4, 6);
    g.TakeSounds();
    // A click on the menu's empty top edge, over tile (4, 6) of the board: the menu's own
    // click closes it with its sound; the board's click would have closed it silently.
    g.h->Click(f.MenuImg->Left() + 30, f.MenuImg->Top() + 5);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_EQ(g.TakeSounds(), Sounds{"menuselect"});

    g.ClickTile(4, 6);
    f.pnlPause->Show();
    f.pnlPause->BringToFront();
    g.TakeSounds();
    g.Choose(kSignDown);
    EXPECT_TRUE(f.MenuImg->Visible());
    EXPECT_TRUE(g.TakeSounds().empty());
    EXPECT_TRUE(f.lstSigns.empty());
    f.pnlPause->Hide();
    g.ClickTile(4, 6);  // closed

    // The left button held on an empty tile opens the menu; P pauses. Presses of the other
    // button still reach the board, which holds the mouse, but open and close nothing while the
    // pause picture is up, and nothing comes in front of it.
    const int x = 9 + 35 * 4 + 17, y = 9 + 35 * 6 + 17;
    TShiftState held;
    held.left = true;
    g.h->Dispatch(TDispatch::MouseDown(x, y, TMouseButton::Left, held));
    ASSERT_TRUE(f.MenuImg->Visible());
    g.h->Key('p');
    ASSERT_TRUE(f.pnlPause->Visible());
    held.right = true;
    for (int i = 0; i < 2; ++i) {
        g.h->Dispatch(TDispatch::MouseDown(x, y, TMouseButton::Right, held));
        held.right = false;
        g.h->Dispatch(TDispatch::MouseUp(x, y, TMouseButton::Right, held));
        held.right = true;
        EXPECT_TRUE(f.MenuImg->Visible());
        EXPECT_EQ(f.Controls().back().get(), f.pnlPause);
    }
}
