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

// A finger on a screen too small to tap a tile: it carries the pointer to the tile or item under
// it and clicks there when lifted, off the board it clicks nothing, beside an open menu it points
// at the board's tile, and the splash, game-over and pause screens take a lift anywhere. On a
// screen large enough a touch is the mouse, pressed and released where the finger is.
TEST(GridPointer, AFingerCarriesThePointerOrIsTheMouse) {
    TPointed p;
    TForm1& f = p.f();
    const auto tile = [](int col, int row) {
        return TRect{9 + 35 * col, 9 + 35 * row, 9 + 35 * col + 35, 9 + 35 * row + 35};
    };
    const auto tap = [&](int x, int y, bool direct = false) {
        p.pointer.TouchDown(x, y, direct);
        p.pointer.TouchUp(x, y);
    };
    tap(600, 100);  // the splash screen, off its middle
    ASSERT_FALSE(f.pnlSplash->Visible());

    // Down off a tile's middle: the pointer on that tile, shown; moved, it follows; nothing is
    // clicked until the lift, which opens the menu on the tile the finger left it on.
    p.pointer.TouchDown(9 + 35 * 12 + 3, 9 + 35 * 6 + 31, false);
    EXPECT_TRUE(p.pointer.Carried());
    EXPECT_EQ(p.pointer.Highlight(), tile(12, 6));
    EXPECT_EQ(p.Cursor(), std::make_pair(12, 6));
    p.pointer.TouchMove(9 + 35 * 13 + 30, 9 + 35 * 6 + 2);
    EXPECT_EQ(p.pointer.Highlight(), tile(13, 6));
    EXPECT_FALSE(f.MenuImg->Visible());
    p.pointer.TouchUp(9 + 35 * 13 + 30, 9 + 35 * 6 + 2);
    ASSERT_TRUE(f.MenuImg->Visible());
    EXPECT_EQ(std::make_pair(f.menuTileX, f.menuTileY), std::make_pair(13, 6));
    EXPECT_FALSE(p.pointer.Carried());
    EXPECT_FALSE(p.pointer.Highlight());

    // The menu's first item, touched near its edge: the sign is ordered.
    const int menuX = f.MenuImg->Left(), menuY = f.MenuImg->Top();
    p.pointer.TouchDown(menuX + 4, menuY + 18, false);
    EXPECT_EQ(p.pointer.Highlight(), (TRect{menuX + 3, menuY + 17, menuX + 38, menuY + 52}));
    p.pointer.TouchUp(menuX + 4, menuY + 18);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_EQ(f.lstSigns.size(), 1u);
    EXPECT_EQ(f.lstOrders.size(), 1u);
    EXPECT_EQ(f.cash, 40);

    // Off the board (the panel on the right): no highlight, and the lift clicks nothing; slid
    // off the board, the finger lets a tile go unclicked.
    p.pointer.TouchDown(800, 300, false);
    EXPECT_FALSE(p.pointer.Highlight());
    p.pointer.TouchUp(800, 300);
    p.pointer.TouchDown(9 + 35 * 2, 9 + 35 * 2, false);
    p.pointer.TouchMove(750, 9 + 35 * 2);
    EXPECT_FALSE(p.pointer.Highlight());
    p.pointer.TouchUp(750, 9 + 35 * 2);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_FALSE(f.OrbMenuImg->Visible());

    // A menu open, the finger on the board beside it: the tile is shown, and the lift closes the
    // menu ordering nothing, as the mouse's click there does.
    tap(9 + 35 * 3 + 17, 9 + 35 * 3 + 17);
    ASSERT_TRUE(f.MenuImg->Visible());
    p.pointer.TouchDown(9 + 35 * 15 + 17, 9 + 35 * 15 + 17, false);
    EXPECT_EQ(p.pointer.Highlight(), tile(15, 15));
    p.pointer.TouchUp(9 + 35 * 15 + 17, 9 + 35 * 15 + 17);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_EQ(f.lstOrders.size(), 1u);

    // The orb's menu and its one item: a bot bought.
    f.cash = 200;
    tap(9 + 35 * 9 + 17, 9 + 35 * 0 + 17);
    ASSERT_TRUE(f.OrbMenuImg->Visible());
    const int orbX = f.OrbMenuImg->Left() + 24 + 30, orbY = f.OrbMenuImg->Top() + 16 + 2;
    p.pointer.TouchDown(orbX, orbY, false);
    EXPECT_EQ(p.pointer.Highlight(), (TRect{orbX - 30, orbY - 2, orbX + 5, orbY + 33}));
    p.pointer.TouchUp(orbX, orbY);
    EXPECT_EQ(f.lstBots.size(), 2u);
    EXPECT_EQ(f.cash, 100);

    // The pause panel: a lift anywhere goes on, carried or direct.
    p.h.Key('P');
    ASSERT_TRUE(f.pnlPause->Visible());
    tap(100, 600);
    EXPECT_FALSE(f.pnlPause->Visible());
    p.h.Key('P');
    tap(100, 600, true);
    EXPECT_FALSE(f.pnlPause->Visible());

    // Direct: the mouse's press and release where the finger is, no highlight.
    p.pointer.TouchDown(9 + 35 * 6 + 2, 9 + 35 * 10 + 33, true);
    EXPECT_FALSE(p.pointer.Highlight());
    EXPECT_FALSE(p.pointer.Carried());
    EXPECT_EQ(p.Cursor(), std::make_pair(6, 10));
    p.pointer.TouchUp(9 + 35 * 6 + 2, 9 + 35 * 10 + 33);
    ASSERT_TRUE(f.MenuImg->Visible());
    EXPECT_EQ(std::make_pair(f.menuTileX, f.menuTileY), std::make_pair(6, 10));
}

// Over a session's own items (the front end's menu) the pointer goes from item to item by the
// keys, the pad and the finger, a confirm or a lifted finger is a click at the item's middle,
// Back is the session's Escape, and the pad's menu button the session's menu or else the pause.
TEST(GridPointer, MovesBetweenASessionsItemsByKeysAndFingers) {
    THarness h;
    std::vector<TRect> items = {{300, 200, 420, 236}, {300, 246, 420, 282}, {430, 246, 470, 282}};
    std::vector<TDispatch> sent;
    std::vector<THostKey> keys;
    bool takesMenu = true;
    TGridPointer pointer([&h] { return &h.Form(); }, [&](const TDispatch& d) { sent.push_back(d); },
                         [&] { return items; },
                         [&](THostKey key) {
                             keys.push_back(key);
                             return key != THostKey::Menu || takesMenu;
                         });
    const auto clickedAt = [&](int x, int y) {
        return sent.size() >= 2 && sent[sent.size() - 2].kind == TDispatch::TKind::MouseDown &&
               sent.back().kind == TDispatch::TKind::MouseUp && sent.back().x == x &&
               sent.back().y == y;
    };
    EXPECT_EQ(pointer.Mode(), TGridPointer::TMode::Items);
    // Down from the first item, then right to the small one beside the second.
    pointer.Press(TPointerSource::Keys, TPointerDir::Down, h.clock.now);
    pointer.Release(TPointerSource::Keys, TPointerDir::Down);
    EXPECT_EQ(pointer.Highlight(), std::optional<TRect>(items[0]));
    pointer.Press(TPointerSource::Keys, TPointerDir::Down, h.clock.now);
    pointer.Release(TPointerSource::Keys, TPointerDir::Down);
    EXPECT_EQ(pointer.Highlight(), std::optional<TRect>(items[1]));
    pointer.Press(TPointerSource::Pad, TPointerDir::Right, h.clock.now);
    pointer.Release(TPointerSource::Pad, TPointerDir::Right);
    EXPECT_EQ(pointer.Highlight(), std::optional<TRect>(items[2]));
    pointer.ConfirmDown(TPointerSource::Pad);
    pointer.ConfirmUp(TPointerSource::Pad);
    EXPECT_TRUE(clickedAt(450, 264));
    // A finger on the first item, lifted there: a click at its middle.
    pointer.TouchDown(310, 205, false);
    pointer.TouchUp(310, 205);
    EXPECT_TRUE(clickedAt(360, 218));
    pointer.Back();
    EXPECT_EQ(keys.back(), THostKey::Escape);
    pointer.Menu();
    EXPECT_EQ(keys.back(), THostKey::Menu);
    // With no menu of a session's own, the pad's menu button is the pause.
    items.clear();
    takesMenu = false;
    sent.clear();
    pointer.Menu();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().kind, TDispatch::TKind::Key);
    EXPECT_EQ(sent.back().key, 'p');
    // A menu that opens under a pointer in use shows it on its first item, and the first press
    // goes on from there.
    pointer.Press(TPointerSource::Keys, TPointerDir::Right, h.clock.now);
    pointer.Release(TPointerSource::Keys, TPointerDir::Right);
    items = {{300, 200, 420, 236}, {300, 246, 420, 282}};
    EXPECT_EQ(pointer.Highlight(), std::optional<TRect>(items[0]));
    pointer.Press(TPointerSource::Keys, TPointerDir::Down, h.clock.now);
    EXPECT_EQ(pointer.Highlight(), std::optional<TRect>(items[1]));
}
