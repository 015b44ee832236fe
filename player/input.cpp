// The mouse on the playfield: the cursor under the pointer, and the left click that opens the
// build menu or the orb menu on a tile, or closes the open one.
#include <algorithm>

#include "core/form1.h"

namespace {

constexpr int kBoardTiles = 20;
// The build menu opens on the clicked tile, but no further right or down than these, so that
// the whole menu stays on the 700-pixel board.
constexpr int kLastMenuColumn = 17;
constexpr int kLastMenuRow = 16;
// The base's own no-build squares reach one tile around each base tile, whatever the radius
// around signs.
constexpr int kBaseBlockRadius = 1;

}  // namespace

void TForm1::PlayfieldMouseMove(TControl&, TShiftState, int x, int y) {
    // Only the tile changes here; the tick redraws the cursor. While a button is held the
    // pointer may be dragged off the playfield, and the cursor then keeps to the nearest tile
    // of the board.
    cursor->SetTileX(std::clamp(x / kTileSize, 0, kBoardTiles - 1));
    cursor->SetTileY(std::clamp(y / kTileSize, 0, kBoardTiles - 1));
}

void TForm1::PlayfieldMouseDown(TControl&, TMouseButton, TShiftState shift, int, int) {
    // The pause picture lies in front of the playfield: a press that still reaches it, from a
    // button held since before the pause, opens or closes nothing.
    if (!shift.left || gameOver || pnlPause->Visible()) return;
    ShowBlockMarkers(false);
    // With a menu open, a click anywhere on the board only closes it.
    for (TLayeredImage* open : {MenuImg, OrbMenuImg}) {
        if (!open->Visible()) continue;
        open->Hide();
        cursor->visible = true;
        return;
    }

    // The click acts on the tile under the cursor. Menus are placed in window coordinates,
    // 9 pixels up and left of the tile itself, so the menu opens under the pointer.
    menuTileX = cursor->tileX;
    menuTileY = cursor->tileY;
    TLayeredImage* menu = nullptr;
    if (orb && orb->tileX == menuTileX && orb->tileY == menuTileY) {
        menu = OrbMenuImg;
        menu->SetBounds(menuTileX * kTileSize, menuTileY * kTileSize, menu->Width(),
                        menu->Height());
    } else {
        menu = MenuImg;
        menu->SetBounds(std::min(menuTileX, kLastMenuColumn) * kTileSize,
                        std::min(menuTileY, kLastMenuRow) * kTileSize, menu->Width(),
                        menu->Height());
        ShowBlockMarkers(true);
    }
    if (menu->Visible()) return;
    menu->Show();
    menu->Tag = -1;  // nothing chosen until the pointer rests on an item
    if (menu == MenuImg) {
        // and no item highlighted either
        menuCursor->visible = false;
        menuCursor->Redraw();
    }
    menu->BringToFront();
    cursor->visible = false;
    PlaySfx("menuopen", 0);
}

void TForm1::ShowBlockMarkers(bool show) {
    if (!show) {
        for (size_t i = lstEffects.size(); i-- > 0;)
            if (lstEffects[i]->menuMarker) lstEffects.erase(lstEffects.begin() + std::ptrdiff_t(i));
        return;
    }
    // A red square on every tile of a square around (x, y). Squares reaching past the edge
    // keep their off-board markers; nothing looks there.
    const auto mark = [this](int x, int y, int radius) {
        for (int dx = -radius; dx <= radius; ++dx)
            for (int dy = -radius; dy <= radius; ++dy) {
                AddEffect(x + dx, y + dy, sprRedSquare, 1, kPermanentLife, 255);
                lstEffects.back()->menuMarker = true;
            }
    };
    // A radius wider than the board marks no further board tile than the board's width does;
    // keeping it there keeps a huge setting from making billions of markers.
    const int radius = std::min(settings.BLOCKSIGNBUILDBY, kBoardTiles - 1);
    // The squares of the signs come first, pending and built alike, then those of the base.
    for (const auto& sign : lstSigns) mark(sign->tileX, sign->tileY, radius);
    for (const auto& base : baseTiles) mark(base->tileX, base->tileY, kBaseBlockRadius);
}
