// Builder bots in the tick: taking orders from the queue and walking to them.
#include <gtest/gtest.h>

#include "tests/harness.h"

namespace {

void QueueOrder(TForm1& f, int x, int y, int targetId) {
    f.lstOrders.push_back(std::make_unique<TOrder>(&f));
    TOrder& o = *f.lstOrders.back();
    o.targetX = x;
    o.targetY = y;
    o.signKind = 2;
    o.targetId = targetId;
}

}  // namespace

TEST(Bots, IdleBotsTakeTheOldestOrdersOneEachInListOrder) {
    THarness h;
    TForm1& f = h.Form();
    f.NewBot();
    QueueOrder(f, 12, 4, 101);
    QueueOrder(f, 3, 1, 102);
    QueueOrder(f, 5, 5, 103);
    f.UpdateBots();

    ASSERT_TRUE(f.lstBots[0]->order && f.lstBots[1]->order);
    const TOrder& a = *f.lstBots[0]->order;
    EXPECT_EQ(a.targetId, 101);
    EXPECT_EQ(a.botIndex, 0);
    EXPECT_EQ(a.signKind, 2);
    EXPECT_EQ(a.orderKind, 1);
    EXPECT_EQ(a.owner, &f);
    EXPECT_EQ(f.lstBots[1]->order->targetId, 102);
    EXPECT_EQ(f.lstBots[1]->order->botIndex, 1);
    ASSERT_EQ(f.lstOrders.size(), 1u);
    EXPECT_EQ(f.lstOrders[0]->targetId, 103);

    // Bot 0 walks diagonally toward (12, 4), facing down; bot 1 goes left.
    const TSprite& b0 = *f.lstBots[0];
    EXPECT_EQ(b0.tileX, 10);
    EXPECT_EQ(b0.tileY, 2);
    EXPECT_EQ(b0.prevTileX, 9);
    EXPECT_TRUE(SamePixels(b0.layer->Bitmap(), f.Sprites[size_t(f.sprBuilder + 0)]));
    EXPECT_TRUE(SamePixels(f.lstBots[1]->layer->Bitmap(), f.Sprites[size_t(f.sprBuilder + 2)]));
    f.UpdateBots();
    f.UpdateBots();
    EXPECT_EQ(b0.tileX, 12);
    EXPECT_EQ(b0.tileY, 4);
    // The picture follows 4 pixels a redraw.
    EXPECT_EQ(b0.pixelX, 315 + 3 * 4);
    EXPECT_EQ(b0.pixelY, 35 + 3 * 4);
}

TEST(Bots, AnOrderOnTheBotsOwnTileIsDoneInTheSixthTick) {
    THarness h;
    TForm1& f = h.Form();
    QueueOrder(f, 9, 1, 7);
    for (int tick = 1; tick <= 5; ++tick) {
        f.UpdateBots();
        ASSERT_TRUE(f.lstBots[0]->order) << "tick " << tick;
        EXPECT_EQ(f.lstBots[0]->order->workTicks, tick);
    }
    f.UpdateBots();
    EXPECT_FALSE(f.lstBots[0]->order);
    // Idle again, it stays where it is.
    f.UpdateBots();
    EXPECT_EQ(f.lstBots[0]->tileX, 9);
    EXPECT_EQ(f.lstBots[0]->tileY, 1);
}
