// The mouse on the playfield.
#include <algorithm>

#include "core/form1.h"

namespace {

constexpr int kBoardTiles = 20;

}  // namespace

void TForm1::PlayfieldMouseMove(TControl&, TShiftState, int x, int y) {
    // Only the tile changes here; the tick redraws the cursor. While a button is held the
    // pointer may be dragged off the playfield, and the cursor then keeps to the nearest tile
    // of the board.
    cursor->SetTileX(std::clamp(x / kTileSize, 0, kBoardTiles - 1));
    cursor->SetTileY(std::clamp(y / kTileSize, 0, kBoardTiles - 1));
}

void TForm1::PlayfieldMouseDown(TControl&, TMouseButton, TShiftState, int, int) {}

void TForm1::ShowBlockMarkers(bool) {}
