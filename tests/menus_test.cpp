// The build menu and the orb menu: hovering, every way a choice is refused, the price and the
// refund, the sign limit, and buying bots. Everything goes through the window's mouse.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/player_test.h"

using Sounds = std::vector<std::string>;

TEST(BuildMenu, HoverPicksTheItemUnderThePointerAndTheHighlightShowsWhatAClickChooses) {
    const struct {
        int x, y;
        int tag;  // -2: on no item, the tag last hovered stays, and so does its highlight
        int column, row;
    } cases[] = {
        {1, 14, kSignDown, 0, 0},   {40, 54, kSignDown, 0, 0},  {41, 30, kSignUp, 1, 0},
        {42, 14, kSignUp, 1, 0},    {81, 54, kSignUp, 1, 0},    {20, 55, kSignLeft, 0, 1},
        {41, 55, kSignRight, 1, 1}, {42, 95, kSignRight, 1, 1}, {20, 96, kGet, 0, 2},
        {1, 136, kGet, 0, 2},       {41, 96, kDestroy, 1, 2},   {81, 136, kDestroy, 1, 2},
        {0, 30, -2, 1, 2},          {30, 13, -2, 1, 2},         {60, 2, -2, 1, 2},
    };
    TPlayerGame g;
    TForm1& f = g.f();
    g.ClickTile(4, 6);
    // Nothing is chosen yet, and nothing is highlighted.
    EXPECT_FALSE(f.menuCursor->layer->Visible());
    // Each point comes after a hover on Destroy, so a point on no item keeps that tag.
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        g.h->MouseMove(f.MenuImg->Left() + 60, f.MenuImg->Top() + 115);
        g.h->MouseMove(f.MenuImg->Left() + c.x, f.MenuImg->Top() + c.y);
        EXPECT_EQ(f.MenuImg->Tag, c.tag == -2 ? int(kDestroy) : c.tag);
        EXPECT_TRUE(f.menuCursor->layer->Visible());
        EXPECT_EQ(f.menuCursor->tileX, c.column);
        EXPECT_EQ(f.menuCursor->tileY, c.row);
        // Drawn at once, exactly over the item's picture.
        EXPECT_EQ(f.menuCursor->pixelX, c.column == 1 ? 44 : 3);
        EXPECT_EQ(f.menuCursor->pixelY, 17 + 41 * c.row);
    }
    // A sign hovered, then the header: the click orders the sign the highlight still shows.
    g.h->MouseMove(f.MenuImg->Left() + 60, f.MenuImg->Top() + 75);
    g.h->Click(f.MenuImg->Left() + 30, f.MenuImg->Top() + 5);
    ASSERT_EQ(f.lstSigns.size(), 1u);
    EXPECT_EQ(f.lstSigns[0]->kind, int(kSignRight));
    EXPECT_EQ(f.menuCursor->tileX, 1);
    EXPECT_EQ(f.menuCursor->tileY, 1);

    // Reopened, the menu starts with nothing chosen and no highlight, off the items too: a
    // click only closes it.
    g.ClickTile(12, 12);
    g.TakeSounds();
    EXPECT_EQ(f.MenuImg->Tag, -1);
    EXPECT_FALSE(f.menuCursor->layer->Visible());
    g.h->MouseMove(f.MenuImg->Left() + 30, f.MenuImg->Top() + 5);
    EXPECT_FALSE(f.menuCursor->layer->Visible());
    g.h->MouseDown(f.MenuImg->Left() + 30, f.MenuImg->Top() + 5);
    g.h->MouseUp(f.MenuImg->Left() + 30, f.MenuImg->Top() + 5);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_EQ(g.TakeSounds(), Sounds{"menuselect"});
    EXPECT_EQ(f.lstSigns.size(), 1u);
    EXPECT_EQ(f.lstOrders.size(), 1u);
}

TEST(BuildMenu, EveryRefusalHasItsSoundAndFrameAndChangesNothing) {
    enum TFrame { kNone, kTooMany, kNoCash };
    const struct {
        const char* what;
        const char* settings;
        int cash;
        int x, y, item;
        const char* sound;
        TFrame frame;
    } cases[] = {
        {"Get without anything to gather", "", 50, 4, 6, kGet, "nocando", kNone},
        {"Get on a tree", "", 50, 6, 10, kGet, "nocando", kNone},
        {"sign on a pending sign", "", 50, 5, 5, kSignUp, "nocando", kNone},
        {"sign on a built sign, no money either", "", 0, 12, 12, kSignUp, "nocando", kNone},
        {"sign next to a sign", "", 50, 6, 4, kSignLeft, "nomoney", kNone},
        {"sign on the base area", "", 50, 11, 2, kSignDown, "nomoney", kNone},
        {"sign beside the base", "", 50, 7, 0, kSignDown, "nomoney", kNone},
        {"sign on a tunnel", "", 50, 10, 19, kSignUp, "nomoney", kNone},
        {"sign on a marked tile without money", "", 0, 4, 4, kSignUp, "nomoney", kNone},
        {"sign over the limit", "MAX_SIGN=2", 50, 4, 12, kSignRight, "nomoney", kTooMany},
        {"sign over the limit without money", "MAX_SIGN=2", 0, 4, 12, kSignRight, "nomoney",
         kTooMany},
        {"sign without money", "", 9, 4, 12, kSignRight, "nomoney", kNoCash},
        {"Destroy without a sign", "", 50, 4, 12, kDestroy, "menuselect", kNone},
        {"nothing chosen", "", 50, 4, 12, -1, "menuselect", kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TPlayerGame g(c.settings);
        TForm1& f = g.f();
        f.lstScrap.clear();
        g.PutObject(0, 6, 10);
        f.PlaceSign(5, 5, 0, false);
        f.PlaceSign(12, 12, 1, true);
        g.Tick();  // the sign counter shows both signs
        f.cash = c.cash;
        const int nextId = f.nextId;
        g.ClickTile(c.x, c.y);
        if (c.item == -1)
            g.h->Click(f.MenuImg->Left() + 30, f.MenuImg->Top() + 5);
        else
            g.Choose(c.item);
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", c.sound}));
        EXPECT_EQ(f.spTooManySigns->Visible(), c.frame == kTooMany);
        EXPECT_EQ(f.spNoCash->Visible(), c.frame == kNoCash);
        EXPECT_EQ(f.spTooManySigns->Tag, 0);
        EXPECT_EQ(f.spNoCash->Tag, 0);
        EXPECT_EQ(f.cash, c.cash);
        EXPECT_EQ(f.lstSigns.size(), 2u);
        EXPECT_TRUE(f.lstOrders.empty());
        EXPECT_EQ(f.nextId, nextId);
        EXPECT_EQ(f.lstScrap[0]->alpha, 255);
        // Closed, with the markers gone and the cursor back.
        EXPECT_FALSE(f.MenuImg->Visible());
        EXPECT_EQ(g.Markers(), 0);
        EXPECT_TRUE(f.cursor->visible);
    }
}

TEST(BuildMenu, ASignTakesItsPriceAtOnceAndStandsFaintWithItsOrderQueued) {
    // Nothing on the tile but a tree, a rock, a creature or a bot keeps a sign off it.
    const char* const standing[] = {"nothing", "tree", "rock", "creature", "bot"};
    for (const char* what : standing) {
        SCOPED_TRACE(what);
        TPlayerGame g;
        TForm1& f = g.f();
        f.lstScrap.clear();
        const std::string on = what;
        if (on == "tree") g.PutObject(1, 4, 12);
        if (on == "rock") g.PutObject(3, 4, 12);
        if (on == "creature") g.PutCreature(4, 12);
        if (on == "bot") {
            f.lstBots[0]->SetTileX(4);
            f.lstBots[0]->SetTileY(12);
        }
        f.cash = 10;  // exactly the price
        g.Order(4, 12, kSignRight);
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "menuselect"}));
        EXPECT_EQ(f.cash, 0);
        EXPECT_EQ(g.CounterText(*f.imScrapCt), "0");
        ASSERT_EQ(f.lstSigns.size(), 1u);
        const TSign& sign = *f.lstSigns[0];
        EXPECT_EQ(sign.tileX, 4);
        EXPECT_EQ(sign.tileY, 12);
        EXPECT_EQ(sign.kind, kFacingRight);
        EXPECT_EQ(sign.id, f.nextId);
        EXPECT_EQ(g.SignAlpha(0), 64);
        EXPECT_TRUE(SamePixels(sign.layer->Bitmap(), f.Sprites[size_t(f.sprSign + kFacingRight)]));
        ASSERT_EQ(f.lstOrders.size(), 1u);
        const TOrder& order = *f.lstOrders[0];
        EXPECT_EQ(order.orderKind, 1);
        EXPECT_EQ(order.signKind, kFacingRight);
        EXPECT_EQ(order.targetX, 4);
        EXPECT_EQ(order.targetY, 12);
        EXPECT_EQ(order.targetId, sign.id);
        EXPECT_EQ(g.Markers(), 0);
    }
}

TEST(BuildMenu, TheSignCounterFollowsAtTheNextTick) {
    TPlayerGame g;
    TForm1& f = g.f();
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "0/4");
    g.Order(4, 12, kSignDown);
    EXPECT_EQ(f.shownSignCount, 0);
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "0/4");
    g.Tick();
    EXPECT_EQ(f.shownSignCount, 1);
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "1/4");
}

TEST(BuildMenu, TheLimitIsFourSignsABotAndACountPastItNeverLiftsIt) {
    TPlayerGame g;
    TForm1& f = g.f();
    f.cash = 1000;
    // Four signs, far enough apart; the fifth is refused with the flash.
    for (int i = 0; i < 4; ++i) {
        g.Order(2 + 3 * i, 12, kSignUp);
        g.Tick();
    }
    ASSERT_EQ(f.lstSigns.size(), 4u);
    g.TakeSounds();
    g.Order(2, 16, kSignUp);
    EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "nomoney"}));
    EXPECT_TRUE(f.spTooManySigns->Visible());
    EXPECT_EQ(f.lstSigns.size(), 4u);
    EXPECT_EQ(f.cash, 960);

    // A second bot makes it eight.
    g.ClickTile(9, 0);
    g.ClickOrbMenu();
    EXPECT_EQ(f.lstBots.size(), 2u);
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "4/8");
    for (int i = 0; i < 4; ++i) {
        g.Order(2 + 3 * i, 16, kSignUp);
        g.Tick();
    }
    ASSERT_EQ(f.lstSigns.size(), 8u);
    g.TakeSounds();
    g.Order(17, 8, kSignUp);
    EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "nomoney"}));
    EXPECT_EQ(f.lstSigns.size(), 8u);
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "8/8");

    // The count is the one shown, which the tick brings up to date: two signs ordered before
    // it both pass at 7 of 8 and make it 9 ...
    f.lstSigns.pop_back();
    g.Tick();
    g.Order(17, 8, kSignUp);
    g.Order(17, 4, kSignUp);
    EXPECT_EQ(f.lstSigns.size(), 9u);
    g.Tick();
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "9/8");
    // ... and then 9 is over the limit, as is 8 again after one sign is gone.
    g.TakeSounds();
    g.Order(14, 4, kSignUp);
    EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "nomoney"}));
    f.lstSigns.pop_back();
    g.Tick();
    g.Order(14, 4, kSignUp);
    EXPECT_EQ(f.lstSigns.size(), 8u);
    EXPECT_TRUE(f.spTooManySigns->Visible());
    // Below the limit signs come again.
    f.lstSigns.pop_back();
    g.Tick();
    g.Order(14, 4, kSignUp);
    EXPECT_EQ(f.lstSigns.size(), 8u);
    EXPECT_EQ(f.lstSigns.back()->tileX, 14);
}

TEST(BuildMenu, ALimitBelowZeroOrAtZeroAllowsNoSign) {
    for (const char* limit : {"0", "-4", "-2147483648"}) {
        SCOPED_TRACE(limit);
        TPlayerGame g(std::string("MAX_SIGN=") + limit);
        TForm1& f = g.f();
        g.Order(4, 12, kSignUp);
        EXPECT_TRUE(f.lstSigns.empty());
        EXPECT_TRUE(f.spTooManySigns->Visible());
        EXPECT_EQ(f.cash, 50);
    }
}

TEST(BuildMenu, DestroyRefundsHalfThePriceOncePerSign) {
    const struct {
        const char* cost;
        int refund;
    } cases[] = {{"10", 5}, {"7", 3}, {"1", 0}, {"-7", -3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cost);
        TPlayerGame g(std::string("SIGNCOST=") + c.cost);
        TForm1& f = g.f();
        f.PlaceSign(4, 12, 0, true);
        const int id = f.lstSigns[0]->id;
        f.cash = 20;
        g.Order(4, 12, kDestroy);
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "menuselect"}));
        EXPECT_EQ(f.cash, 20 + c.refund);
        EXPECT_EQ(g.CounterText(*f.imScrapCt), std::to_string(20 + c.refund));
        ASSERT_EQ(f.lstOrders.size(), 1u);
        EXPECT_EQ(f.lstOrders[0]->signKind, -1);
        EXPECT_EQ(f.lstOrders[0]->orderKind, 1);
        EXPECT_EQ(f.lstOrders[0]->targetId, id);
        // The sign stays as it is until a bot takes it away.
        EXPECT_EQ(g.SignAlpha(0), 255);
        EXPECT_TRUE(f.lstSigns[0]->visible);

        // Chosen again while the removal waits: refused, nothing paid, nothing queued.
        g.Order(4, 12, kDestroy);
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "nocando"}));
        EXPECT_EQ(f.cash, 20 + c.refund);
        EXPECT_EQ(f.lstOrders.size(), 1u);
    }
}

TEST(BuildMenu, ARemovalAtWorkIsNotPaidAgainButOtherSignsAndTheOrderQueueAreUntouched) {
    TPlayerGame g;
    TForm1& f = g.f();
    f.lstScrap.clear();
    const TSprite& rock = g.PutObject(2, 15, 15);
    f.PlaceSign(9, 4, 0, true);
    f.PlaceSign(4, 12, 1, true);
    g.Order(9, 4, kDestroy);  // the bot takes this one
    g.Order(15, 15, kGet);
    g.Tick();
    ASSERT_TRUE(f.lstBots[0]->order);
    EXPECT_EQ(f.lstBots[0]->order->signKind, -1);
    EXPECT_EQ(f.cash, 55);
    g.TakeSounds();

    g.Order(9, 4, kDestroy);
    EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "nocando"}));
    EXPECT_EQ(f.cash, 55);
    // Another sign's removal is fine, and queues behind the gather.
    g.Order(4, 12, kDestroy);
    EXPECT_EQ(f.cash, 60);
    ASSERT_EQ(f.lstOrders.size(), 2u);
    EXPECT_EQ(f.lstOrders[0]->targetId, rock.id);
    EXPECT_EQ(f.lstOrders[1]->targetId, f.lstSigns[1]->id);

    // Once the sign is gone, Destroy finds nothing there: no refund.
    g.Tick(60);
    EXPECT_EQ(f.lstSigns.size(), 1u);
    g.Order(9, 4, kDestroy);
    EXPECT_EQ(f.cash, 60);
    EXPECT_EQ(f.lstOrders.size(), 1u);
}

TEST(BuildMenu, GetMarksARockARuinOrAScrapPieceForABotAndChargesNothing) {
    for (int kind : {2, 3, 4, 5}) {
        SCOPED_TRACE(kind);
        TPlayerGame g;
        TForm1& f = g.f();
        f.lstScrap.clear();
        g.PutObject(0, 6, 10);  // a tree first on the same tile is passed over
        if (kind == 5)
            f.DropScrap(6, 10);
        else
            g.PutObject(kind, 6, 10);
        const TSprite& object = *f.lstScrap[1];
        g.Order(6, 10, kGet);
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "menuselect"}));
        EXPECT_EQ(f.cash, 50);
        ASSERT_EQ(f.lstOrders.size(), 1u);
        const TOrder& order = *f.lstOrders[0];
        EXPECT_EQ(order.orderKind, 2);
        EXPECT_EQ(order.targetId, object.id);
        EXPECT_EQ(order.targetX, 6);
        EXPECT_EQ(order.targetY, 10);
        EXPECT_EQ(object.alpha, 128);
        EXPECT_EQ(object.layer->Bitmap().MasterAlpha(), 128);
        EXPECT_EQ(f.lstScrap[0]->alpha, 255);
    }
}

TEST(BuildMenu, CashStopsAtTheEndsOfItsRange) {
    const struct {
        const char* settings;
        int cash;
        int item;  // a sign or Destroy on a built sign
        int after;
    } cases[] = {
        {"SIGNCOST=-2147483648", 50, kSignUp, INT_MAX},
        {"SIGNCOST=-2147483648", 50, kDestroy, 50 - 1073741824},
        {"SIGNCOST=-2147483648", INT_MIN + 5, kDestroy, INT_MIN},
        {"SIGNCOST=2147483647", INT_MAX, kDestroy, INT_MAX},
        {"SIGNCOST=2147483647", INT_MAX, kSignUp, 0},
        {"SIGNCOST=2147483647", INT_MAX - 1, kSignUp, INT_MAX - 1},  // refused
        {"SIGNCOST=2147483647", INT_MIN, kSignUp, INT_MIN},          // refused
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.settings) + " " + std::to_string(c.cash));
        TPlayerGame g(c.settings);
        TForm1& f = g.f();
        if (c.item == kDestroy) f.PlaceSign(4, 12, 0, true);
        f.cash = c.cash;
        g.Order(4, 12, c.item);
        EXPECT_EQ(f.cash, c.after);
        if (c.after == c.cash) continue;
        // A minus sign shows as a zero.
        std::string shown = std::to_string(c.after);
        if (shown[0] == '-') shown[0] = '0';
        EXPECT_EQ(g.CounterText(*f.imScrapCt), shown);
    }
}

TEST(OrbMenu, TheWholeMenuBuysABotForItsPrice) {
    const struct { int x, y; } points[] = {{0, 0}, {81, 53}, {40, 27}, {2, 50}};
    for (const auto& p : points) {
        TPlayerGame g;
        TForm1& f = g.f();
        f.cash = 100;  // exactly the price
        g.ClickTile(9, 0);
        g.h->MouseMove(f.OrbMenuImg->Left() + p.x, f.OrbMenuImg->Top() + p.y);
        EXPECT_EQ(f.orbMenuCursor->pixelX, 24);
        EXPECT_EQ(f.orbMenuCursor->pixelY, 16);
        g.ClickOrbMenu(p.x, p.y);
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "menuselect"}));
        EXPECT_EQ(f.cash, 0);
        EXPECT_EQ(g.CounterText(*f.imScrapCt), "0");
        ASSERT_EQ(f.lstBots.size(), 2u);
        EXPECT_EQ(f.lstBots[1]->tileX, 9);
        EXPECT_EQ(f.lstBots[1]->tileY, 1);
        EXPECT_EQ(g.CounterText(*f.imSignsCt), "0/8");
        EXPECT_FALSE(f.OrbMenuImg->Visible());
        EXPECT_FALSE(f.spNoCash->Visible());
        EXPECT_TRUE(f.cursor->visible);
    }
}

TEST(OrbMenu, TooLittleScrapIsRefusedWithTheFlashAndAClosedMenu) {
    const struct {
        const char* settings;
        int cash;
    } cases[] = {{"", 99}, {"", 50}, {"", INT_MIN}, {"BOTCOST=2147483647", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cash);
        TPlayerGame g(c.settings);
        TForm1& f = g.f();
        f.cash = c.cash;
        g.ClickTile(9, 0);
        // Other buttons leave the menu open.
        g.h->Click(f.OrbMenuImg->Left() + 40, f.OrbMenuImg->Top() + 27, TMouseButton::Right);
        EXPECT_TRUE(f.OrbMenuImg->Visible());
        g.ClickOrbMenu();
        EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "nomoney"}));
        EXPECT_EQ(f.cash, c.cash);
        EXPECT_EQ(f.lstBots.size(), 1u);
        EXPECT_TRUE(f.spNoCash->Visible());
        EXPECT_EQ(f.spNoCash->Tag, 0);
        EXPECT_FALSE(f.OrbMenuImg->Visible());
        EXPECT_TRUE(f.cursor->visible);
        // The tick flashes it twice and puts it away.
        g.Tick(15);
        EXPECT_FALSE(f.spNoCash->Visible());
    }

    // Buying with a price below zero pays, up to the end of the range.
    TPlayerGame g("BOTCOST=-2147483648");
    TForm1& f = g.f();
    g.ClickTile(9, 0);
    g.ClickOrbMenu();
    EXPECT_EQ(f.cash, INT_MAX);
    EXPECT_EQ(f.lstBots.size(), 2u);
}

TEST(Menus, AMenuClosedUnderAHeldButtonTakesNoMoreInput) {
    // The orb menu buys a bot under a held left button and closes; more presses of the other
    // buttons go to the board under the pointer and buy nothing more.
    {
        TPlayerGame g;
        TForm1& f = g.f();
        f.cash = 1000;
        g.ClickTile(9, 0);
        const int x = f.OrbMenuImg->Left() + 40, y = f.OrbMenuImg->Top() + 27;
        g.h->MouseMove(x, y);
        g.h->MouseDown(x, y);
        for (TMouseButton other : {TMouseButton::Right, TMouseButton::Middle, TMouseButton::Right,
                                   TMouseButton::Middle}) {
            g.h->MouseDown(x, y, other);
            g.h->MouseUp(x, y, other);
        }
        g.h->MouseUp(x, y);
        EXPECT_EQ(f.lstBots.size(), 2u);
        EXPECT_EQ(f.cash, 900);
        g.Tick();
        EXPECT_EQ(g.CounterText(*f.imSignsCt), "0/8");
    }
    // The build menu does not repeat its item on the same tile.
    {
        TPlayerGame g;
        TForm1& f = g.f();
        g.PutObject(2, 6, 10);
        g.ClickTile(6, 10);
        const int x = f.MenuImg->Left() + 20, y = f.MenuImg->Top() + 115;  // Get
        g.h->MouseMove(x, y);
        g.h->MouseDown(x, y);
        for (TMouseButton other : {TMouseButton::Right, TMouseButton::Middle}) {
            g.h->MouseDown(x, y, other);
            g.h->MouseUp(x, y, other);
        }
        g.h->MouseUp(x, y);
        EXPECT_EQ(f.lstOrders.size(), 1u);
    }
    // A drag after the choice moves the tile cursor, not the closed menu's item or highlight.
    {
        TPlayerGame g;
        TForm1& f = g.f();
        g.ClickTile(4, 12);
        const int x = f.MenuImg->Left() + 20, y = f.MenuImg->Top() + 35;  // the sign down
        g.h->MouseMove(x, y);
        g.h->MouseDown(x, y);
        ASSERT_EQ(f.lstSigns.size(), 1u);
        g.h->MouseMove(f.MenuImg->Left() + 60, f.MenuImg->Top() + 115);  // over Destroy
        EXPECT_EQ(f.MenuImg->Tag, int(kSignDown));
        EXPECT_EQ(f.menuCursor->tileX, 0);
        EXPECT_EQ(f.menuCursor->tileY, 0);
        EXPECT_EQ(f.cursor->tileX, 5);
        EXPECT_EQ(f.cursor->tileY, 15);
        g.h->MouseUp(f.MenuImg->Left() + 60, f.MenuImg->Top() + 115);
        EXPECT_EQ(f.lstSigns.size(), 1u);
        EXPECT_EQ(f.lstOrders.size(), 1u);
    }
}

TEST(Menus, WhilePausedTheMenusTakeNoClicks) {
    TPlayerGame g;
    TForm1& f = g.f();
    f.cash = 1000;
    // The orb menu reaches above the pause at the window's top edge, a build menu on column 0
    // past its left edge; clicks there wait until the game goes on.
    g.ClickTile(9, 0);
    g.h->Key('p');
    const int orbX = f.OrbMenuImg->Left() + 40, orbY = 3;
    g.h->Click(orbX, orbY);
    EXPECT_EQ(f.lstBots.size(), 1u);
    EXPECT_TRUE(f.OrbMenuImg->Visible());
    g.h->Key('p');
    g.h->Click(orbX, orbY);
    EXPECT_EQ(f.lstBots.size(), 2u);

    g.ClickTile(0, 12);
    g.h->Key('p');
    const int signX = 3, signY = f.MenuImg->Top() + 35;  // the sign down, left of the pause
    g.h->Click(signX, signY);
    EXPECT_TRUE(f.lstSigns.empty());
    EXPECT_TRUE(f.MenuImg->Visible());
    g.h->Key('p');
    g.h->Click(signX, signY);
    EXPECT_EQ(f.lstSigns.size(), 1u);
    EXPECT_FALSE(f.MenuImg->Visible());
}
