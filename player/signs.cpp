// Direction signs on the board: made faint when ordered, solid once a bot has built them.
#include "core/form1.h"

void TForm1::PlaceSign(int tileX, int tileY, int direction, bool built) {
    lstSigns.push_back(std::make_unique<TSign>(*Playfield));
    TSign& sign = *lstSigns.back();
    SetSpritePicture(sign, sprSign + direction);
    sign.id = ++nextId;  // ids are shared with board objects and creatures
    sign.kind = direction;
    sign.SetTileX(tileX);
    sign.SetTileY(tileY);
    sign.layer->Bitmap().SetMasterAlpha(built ? kBuiltSignAlpha : kPendingSignAlpha);
    sign.Redraw();
}
