// Builder bots and the orders they carry out.
#include "core/form1.h"

void TForm1::NewBot() {
    lstBots.push_back(std::make_unique<TSprite>(*Playfield));
    TSprite& bot = *lstBots.back();
    SetSpritePicture(bot, sprBuilder);
    bot.SetTileX(9);  // on the base, just below the orb
    bot.SetTileY(1);
    bot.destX = 9;
    bot.destY = 1;
    bot.Redraw();  // placed exactly on its tile; it glides from now on
    bot.glides = true;
    DrawSignCounter();  // one more bot raises the sign limit
}

void TForm1::CompleteOrder(TOrder&) {
    // Orders are only handed out once the build menu and the bots' work exist; until then a
    // bot never holds one, and there is nothing to carry out.
}
