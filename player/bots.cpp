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
    // Nothing queues orders yet (that is the build menu's work, still to come), so no order
    // ever gets this far.
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

// One tile at most on each axis, facing the way it went; on a diagonal the vertical picture
// wins. Nothing on the board blocks a bot.
void StepBot(TForm1& game, TSprite& bot) {
    if (bot.tileX < bot.destX) {
        bot.SetTileX(bot.tileX + 1);
        game.SetSpritePicture(bot, game.sprBuilder + kFacingRight);
    }
    if (bot.destX < bot.tileX) {
        bot.SetTileX(bot.tileX - 1);
        game.SetSpritePicture(bot, game.sprBuilder + kFacingLeft);
    }
    if (bot.tileY < bot.destY) {
        bot.SetTileY(bot.tileY + 1);
        game.SetSpritePicture(bot, game.sprBuilder + kFacingDown);
    }
    if (bot.destY < bot.tileY) {
        bot.SetTileY(bot.tileY - 1);
        game.SetSpritePicture(bot, game.sprBuilder + kFacingUp);
    }
}

}  // namespace

void TForm1::UpdateBots() {
    for (size_t i = 0; i < lstBots.size(); ++i) {
        TSprite& bot = *lstBots[i];
        if (!bot.order && !lstOrders.empty()) HandOutOrder(*this, bot, int(i));
        StepBot(*this, bot);
        bot.Redraw();  // works on the order once the bot stands on its tile
    }
}
