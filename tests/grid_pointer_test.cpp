// The pad's and the keyboard's pointer where it meets the board's edges and the mouse: a menu
// pushed back from the corner opens with the pointer on its first item and Back closes it with
// a click the menu does not cover; the orb menu closes the same way; after the mouse the
// pointer goes on from the mouse's tile or the item under it, and the highlight shows only
// while the pointer was used last; a stick steps over a menu, and its glide over the board does
// not jump when a step comes late.
#include "shell/grid_pointer.h"

#include <gtest/gtest.h>

#include "tests/harness.h"

namespace {

struct TPointed {
    THarness h;
    TGridPointer pointer{[this] { return &h.Form(); },
                         [this](const TDispatch& d) { h.Dispatch(d); }};
    TForm1& f() { return h.Form(); }
    std::pair<int, int> Cursor() { return {f().cursor->tileX, f().cursor->tileY}; }
    void Steps(TPointerDir dir, int n) {
        for (int i = 0; i < n; ++i) {
            pointer.Press(TPointerSource::Keys, dir, h.clock.now);
            pointer.Release(TPointerSource::Keys, dir);
        }
    }
    void Confirm() {
        pointer.ConfirmDown(TPointerSource::Keys);
        pointer.ConfirmUp(TPointerSource::Keys);
    }
    // The mouse, as the host hands it on and tells the pointer.
    void Mouse(int x, int y, bool click = false) {
        if (click)
            h.Click(x, y);
        else
            h.MouseMove(x, y);
        pointer.MouseUsed(x, y);
    }
};

}  // namespace

TEST(GridPointer, AtTheBoardsEdgesAndAfterTheMouse) {
    TPointed p;
    TForm1& f = p.f();
    p.Mouse(8 + 350, 8 + 350, true);  // the splash screen
    ASSERT_FALSE(f.pnlSplash->Visible());
    EXPECT_FALSE(p.pointer.Highlight());

    // The corner: the build menu is pushed back to (595, 560), the pointer on its first item.
    p.Steps(TPointerDir::Right, 12);
    p.Steps(TPointerDir::Down, 12);
    EXPECT_EQ(p.Cursor(), std::make_pair(19, 19));
    p.Confirm();
    ASSERT_TRUE(f.MenuImg->Visible());
    EXPECT_EQ(f.MenuImg->Left(), 595);
    EXPECT_EQ(f.MenuImg->Top(), 560);
    EXPECT_EQ(f.MenuImg->Tag, 0);
    EXPECT_EQ(*p.pointer.Highlight(), (TRect{598, 577, 633, 612}));
    // Back: a click on the corner the menu is farthest from, and the pointer home again.
    p.pointer.Back();
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_EQ(p.Cursor(), std::make_pair(19, 19));
    EXPECT_TRUE(f.lstOrders.empty());
    EXPECT_EQ(f.cash, 50);

    // The orb menu closes the same way and buys nothing.
    p.Steps(TPointerDir::Left, 10);
    p.Steps(TPointerDir::Up, 19);
    p.Confirm();
    ASSERT_TRUE(f.OrbMenuImg->Visible());
    EXPECT_EQ(*p.pointer.Highlight(), (TRect{339, 16, 374, 51}));
    p.pointer.Back();
    EXPECT_FALSE(f.OrbMenuImg->Visible());
    EXPECT_EQ(f.lstBots.size(), 1u);
    EXPECT_EQ(p.Cursor(), std::make_pair(9, 0));

    // The mouse moves: the highlight goes; the next press goes on from the mouse's tile.
    p.Mouse(9 + 35 * 3 + 5, 9 + 35 * 14 + 30);
    EXPECT_FALSE(p.pointer.Highlight());
    p.Steps(TPointerDir::Up, 1);
    EXPECT_EQ(p.Cursor(), std::make_pair(3, 13));
    EXPECT_TRUE(p.pointer.Highlight());
    // A menu the mouse opened, the mouse on its Destroy item: a press goes on from that item.
    p.Mouse(9 + 35 * 12 + 17, 9 + 35 * 6 + 17, true);
    ASSERT_TRUE(f.MenuImg->Visible());
    p.Mouse(f.MenuImg->Left() + 61, f.MenuImg->Top() + 116);
    EXPECT_EQ(f.MenuImg->Tag, 1000);
    p.Steps(TPointerDir::Up, 1);
    EXPECT_EQ(f.MenuImg->Tag, 3);
    p.Confirm();
    EXPECT_EQ(f.lstSigns.size(), 1u);
    EXPECT_EQ(p.Cursor(), std::make_pair(12, 6));

    // Over a menu a stick steps from item to item, repeating as a held direction does.
    p.Confirm();
    ASSERT_TRUE(f.MenuImg->Visible());
    const uint64_t t = p.h.clock.now;
    p.pointer.Stick(0.1, 0.9, t);
    EXPECT_EQ(f.MenuImg->Tag, 2);
    p.pointer.RunDue(t + TGridPointer::kRepeatDelayMs);
    EXPECT_EQ(f.MenuImg->Tag, 5);
    p.pointer.Stick(0, 0, t + 350);
    EXPECT_FALSE(p.pointer.NextDue());
    p.pointer.Back();
    EXPECT_FALSE(f.MenuImg->Visible());

    // A stick leant fully right glides 560 pixels a second, and a step that comes late moves
    // no further than four frames would.
    const uint64_t t0 = p.h.clock.now;
    p.pointer.Stick(1, 0, t0);
    ASSERT_EQ(p.pointer.NextDue(), t0 + TGridPointer::kGlideStepMs);
    const int x0 = p.pointer.X();
    p.pointer.RunDue(t0 + 16);
    EXPECT_EQ(p.pointer.X(), x0 + 8);
    p.pointer.RunDue(t0 + 16 + 5000);
    EXPECT_EQ(p.pointer.X(), x0 + 8 + 36);
    p.pointer.Stick(0, 0, t0 + 5020);
    EXPECT_FALSE(p.pointer.NextDue());
    EXPECT_EQ(p.Cursor(), std::make_pair(13, 6));
}
