// The build menu (four signs, Get and Destroy on a tile) and the orb menu (a builder bot).
// Choosing an item pays or refunds at once and leaves the work itself to the bots as an order.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "core/form1.h"

namespace {

// The build menu's items as MenuImg's Tag holds them; the signs' tags are their directions.
constexpr int kNothingChosen = -1;
constexpr int kGetItem = 5;
constexpr int kDestroyItem = 1000;

// Where the pointer selects an item (menu pixels, bounds inclusive) and the cell of the grid
// the highlight then shows. Neighbouring areas share their edges; the later area wins there.
struct THoverArea {
    int tag;
    int left, right, top, bottom;
    int column, row;
};
constexpr THoverArea kHoverAreas[] = {
    {kFacingDown, 1, 42, 14, 55, 0, 0}, {kFacingUp, 41, 82, 14, 55, 1, 0},
    {kFacingLeft, 1, 42, 55, 96, 0, 1}, {kFacingRight, 41, 82, 55, 96, 1, 1},
    {kGetItem, 1, 42, 96, 137, 0, 2},   {kDestroyItem, 41, 82, 96, 137, 1, 2},
};

// Master alpha of a board object marked for gathering.
constexpr int kMarkedAlpha = 128;

// Whether a bot has been told to take this sign away, in the queue or at work already.
bool RemovalOrdered(const TForm1& game, int signId) {
    const auto removes = [signId](const TOrder& order) {
        return order.orderKind == 1 && order.signKind == -1 && order.targetId == signId;
    };
    for (const auto& order : game.lstOrders)
        if (removes(*order)) return true;
    for (const auto& bot : game.lstBots)
        if (bot->order && removes(*bot->order)) return true;
    return false;
}

}  // namespace

void TForm1::ChangeCash(int64_t amount) {
    // Settings may hold any 32-bit value, so a price or a payment can carry cash past the
    // range of an int; it then stops at the end of the range.
    cash = int(std::clamp<int64_t>(int64_t(cash) + amount, std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max()));
    DrawCounter(*imScrapCt, std::to_string(cash));
}

void TForm1::MenuImgMouseMove(TControl&, TShiftState, int x, int y) {
    const THoverArea* hovered = nullptr;
    for (const THoverArea& area : kHoverAreas)
        if (x >= area.left && x <= area.right && y >= area.top && y <= area.bottom) hovered = &area;
    // The highlight shows what a click chooses: the item under the pointer, or off the items
    // (the header rows, the edges) still the one last hovered.
    if (hovered) {
        MenuImg->Tag = hovered->tag;
        menuCursor->SetTileX(hovered->column);
        menuCursor->SetTileY(hovered->row);
        menuCursor->visible = true;
        menuCursor->Redraw();
    }
}

void TForm1::MenuImgMouseDown(TControl&, TMouseButton, TShiftState shift, int, int) {
    // A menu left open when the game was paused may stick out past the pause; it waits.
    if (!shift.left || pnlPause->Visible()) return;
    std::string sound = "menuselect";
    const int tag = MenuImg->Tag;
    const int x = menuTileX, y = menuTileY;

    // Every click that got this far closes the menu with exactly one sound.
    const auto close = [this, &sound] {
        ShowBlockMarkers(false);
        MenuImg->Hide();
        PlaySfx(sound, 0);
        cursor->visible = true;
    };

    if (tag == kNothingChosen) {
        close();
        return;
    }

    if (tag == kGetItem) {
        const int g = GatherableAt(x, y);
        if (g == -1) {
            sound = "nocando";
        } else {
            // Gathering costs nothing; the scrap comes when the bot is done. Until then the
            // object shows half-transparent.
            TSprite& object = *lstScrap[size_t(g)];
            lstOrders.push_back(std::make_unique<TOrder>(this));
            TOrder& order = *lstOrders.back();
            order.targetX = x;
            order.targetY = y;
            object.alpha = kMarkedAlpha;
            object.layer->Bitmap().SetMasterAlpha(kMarkedAlpha);
            object.Redraw();
            order.targetId = object.id;
            order.orderKind = 2;
        }
        close();
        return;
    }

    // A sign, or Destroy.
    const bool destroy = tag == kDestroyItem;
    if (!destroy) {
        // A refusal names its reason by its sound; the limit and the money flash their frame.
        // The markers make the tiles around signs and the base effect tiles.
        const int64_t limit = int64_t(lstBots.size()) * settings.MAX_SIGN;
        if (SignAt(x, y) != -1) {
            sound = "nocando";
        } else if (EffectAt(x, y)) {
            sound = "nomoney";
        } else if (shownSignCount >= limit) {
            // At or above, not only at: a count that got past the limit (two signs ordered in
            // one tick, or a limit below zero) must not lift it.
            sound = "nomoney";
            RaiseWarning(*spTooManySigns);
        } else if (int64_t(cash) - settings.SIGNCOST < 0) {
            sound = "nomoney";
            RaiseWarning(*spNoCash);
        } else {
            ChangeCash(-int64_t(settings.SIGNCOST));
            lstOrders.push_back(std::make_unique<TOrder>(this));
            TOrder& order = *lstOrders.back();
            order.targetX = x;
            order.targetY = y;
            order.signKind = tag;
            // The sign stands at once, faint, and steers nothing until its bot has built it.
            PlaceSign(x, y, tag, false);
            order.targetId = lstSigns.back()->id;
        }
        close();
        return;
    }

    // Destroy: half the price back now, the sign goes when a bot gets there. A sign whose
    // removal is already ordered is refused, so that its refund is paid only once.
    const int s = SignAt(x, y);
    if (s != -1) {
        const TSign& sign = *lstSigns[size_t(s)];
        if (RemovalOrdered(*this, sign.id)) {
            sound = "nocando";
        } else {
            ChangeCash(settings.SIGNCOST / 2);
            lstOrders.push_back(std::make_unique<TOrder>(this));
            TOrder& order = *lstOrders.back();
            order.targetX = x;
            order.targetY = y;
            order.signKind = -1;
            order.targetId = sign.id;
        }
    }
    close();
}

void TForm1::OrbMenuImgMouseMove(TControl&, TShiftState, int, int) {
    // The menu is one item: wherever the pointer is, the highlight is on the bot.
    orbMenuCursor->SetTileX(0);
    orbMenuCursor->SetTileY(0);
    orbMenuCursor->Redraw();
}

void TForm1::OrbMenuImgMouseDown(TControl&, TMouseButton, TShiftState shift, int, int) {
    // The orb menu opens at the window's top edge, above the pause; while paused it waits.
    if (!shift.left || pnlPause->Visible()) return;
    // The whole menu is the button.
    std::string sound = "menuselect";
    if (int64_t(cash) - settings.BOTCOST < 0) {
        RaiseWarning(*spNoCash);
        sound = "nomoney";
    } else {
        ChangeCash(-int64_t(settings.BOTCOST));
        NewBot();  // on the tile below the orb; the sign limit rises with it
    }
    OrbMenuImg->Hide();
    PlaySfx(sound, 0);
    cursor->visible = true;
}

int TForm1::SignAt(int tileX, int tileY) const {
    for (size_t i = 0; i < lstSigns.size(); ++i)
        if (lstSigns[i]->tileX == tileX && lstSigns[i]->tileY == tileY) return int(i);
    return -1;
}

int TForm1::GatherableAt(int tileX, int tileY) const {
    for (size_t i = 0; i < lstScrap.size(); ++i) {
        const TSprite& object = *lstScrap[i];
        if (object.gatherable && object.tileX == tileX && object.tileY == tileY) return int(i);
    }
    return -1;
}

bool TForm1::EffectAt(int tileX, int tileY) const {
    for (size_t i = lstEffects.size(); i-- > 0;)
        if (lstEffects[i]->tileX == tileX && lstEffects[i]->tileY == tileY) return true;
    return false;
}
