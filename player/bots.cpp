// Builder bots and the orders they carry out.
#include <cstddef>

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

void TForm1::CompleteOrder(TOrder& order) {
    // Whatever the order is about may have gone meanwhile through another order; then there is
    // nothing left to do. The sign counter follows in the next tick.
    if (order.orderKind == 1) {
        for (size_t i = lstSigns.size(); i-- > 0;) {
            TSign& sign = *lstSigns[i];
            if (sign.id != order.targetId) continue;
            if (order.signKind == -1) {
                sign.visible = false;
                sign.Redraw();
                lstSigns.erase(lstSigns.begin() + std::ptrdiff_t(i));
                continue;
            }
            // Built: the sign steers from now on, and its bot stands drawn over it.
            sign.layer->Bitmap().SetMasterAlpha(kBuiltSignAlpha);
            if (order.botIndex >= 0 && size_t(order.botIndex) < lstBots.size())
                lstBots[size_t(order.botIndex)]->layer->BringToFront();
            sign.Redraw();
        }
    }
    if (order.orderKind == 2) {
        for (size_t i = lstScrap.size(); i-- > 0;) {
            TSprite& object = *lstScrap[i];
            if (object.id != order.targetId) continue;
            object.visible = false;
            object.Redraw();
            lstScrap.erase(lstScrap.begin() + std::ptrdiff_t(i));
            ChangeCash(settings.GATHER_SCRAP);
            break;
        }
    }
}

namespace {

// An idle bot takes the oldest queued order: a fresh copy becomes its own, the queued one goes.
void HandOutOrder(TForm1& game, TSprite& bot, int botIndex) {
    const TOrder& queued = *game.lstOrders.front();
    bot.order = std::make_unique<TOrder>(&game);
    TOrder& order = *bot.order;
    order.targetX = queued.targetX;
    order.targetY = queued.targetY;
    order.signKind = queued.signKind;
    order.targetId = queued.targetId;
    order.orderKind = queued.orderKind;
    order.botIndex = botIndex;
    game.lstOrders.erase(game.lstOrders.begin());
    bot.destX = order.targetX;
    bot.destY = order.targetY;
}

}  // namespace

void TForm1::UpdateBots() {
    for (size_t i = 0; i < lstBots.size(); ++i) {
        TSprite& bot = *lstBots[i];
        if (!bot.order && !lstOrders.empty()) HandOutOrder(*this, bot, int(i));
        StepTowardDest(bot, sprBuilder, true, true);  // nothing on the board blocks a bot
        bot.Redraw();  // works on the order once the bot stands on its tile
    }
}
