// Orders from the build menu carried out by the bots: the sign that turns solid, the removal,
// the gather that pays, the orders that find nothing left to do; and a short game played
// through the menus, compared with its golden record.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/player_test.h"

using Sounds = std::vector<std::string>;

namespace {

// Ticks until `done` holds, at most `limit`; the number of ticks, or -1.
int TicksUntil(TPlayerGame& g, const std::function<bool()>& done, int limit = 400) {
    for (int n = 1; n <= limit; ++n) {
        g.Tick();
        if (done()) return n;
    }
    return -1;
}

bool StandsOn(const TSprite& bot, int x, int y) {
    return bot.pixelX == float(35 * x) && bot.pixelY == float(35 * y);
}

}  // namespace

TEST(Orders, ASignTurnsSolidOnItsBotsSixthUpdateThereWithTheBotDrawnOverIt) {
    TPlayerGame g;
    TForm1& f = g.f();
    g.Order(4, 12, kSignLeft);
    const TSprite& bot = *f.lstBots[0];
    // The bot stands on the tile, picture and all, after this many ticks; that tick counts as
    // its first work on the sign.
    const int arrived = TicksUntil(g, [&] { return StandsOn(bot, 4, 12); });
    ASSERT_GT(arrived, 0);
    for (int work = 1; work <= 5; ++work) {
        EXPECT_EQ(g.SignAlpha(0), 64) << "work " << work;
        ASSERT_TRUE(bot.order);
        EXPECT_EQ(bot.order->workTicks, work);
        g.Tick();
    }
    EXPECT_EQ(g.SignAlpha(0), 255);
    EXPECT_FALSE(bot.order);
    EXPECT_TRUE(f.lstOrders.empty());
    EXPECT_GT(f.Playfield->IndexOf(*bot.layer), f.Playfield->IndexOf(*f.lstSigns[0]->layer));
    EXPECT_EQ(f.lstSigns[0]->pixelX, 140);
    EXPECT_EQ(f.lstSigns[0]->pixelY, 420);
    EXPECT_EQ(f.cash, 40);
    // It stays there, idle.
    g.Tick(5);
    EXPECT_TRUE(StandsOn(bot, 4, 12));
}

TEST(Orders, OnTheBotsOwnTileTheHandOutTickIsTheFirstOfTheSix) {
    TPlayerGame g;
    TForm1& f = g.f();
    f.lstScrap.clear();
    g.PutObject(3, 4, 12);
    g.Order(4, 12, kGet);
    ASSERT_GT(TicksUntil(g, [&] { return f.cash == 60; }), 0);
    ASSERT_TRUE(StandsOn(*f.lstBots[0], 4, 12));

    // A sign where the bot stands now.
    g.Order(4, 12, kSignDown);
    for (int tick = 1; tick <= 5; ++tick) {
        g.Tick();
        EXPECT_EQ(g.SignAlpha(0), 64) << "tick " << tick;
    }
    g.Tick();
    EXPECT_EQ(g.SignAlpha(0), 255);
}

TEST(Orders, GatheringPaysOnceHoweverManyOrdersTheObjectHas) {
    for (int bots : {1, 2}) {
        SCOPED_TRACE(bots);
        TPlayerGame g;
        TForm1& f = g.f();
        if (bots == 2) f.NewBot();
        f.lstScrap.clear();
        const int rock = g.PutObject(2, 12, 9).id;
        g.PutObject(4, 3, 9);
        g.Order(12, 9, kGet);
        g.Order(12, 9, kGet);
        ASSERT_EQ(f.lstOrders.size(), 2u);
        const int layers = f.Playfield->LayerCount();
        ASSERT_GT(TicksUntil(g, [&] { return f.cash != 50; }), 0);
        EXPECT_EQ(f.cash, 60);
        EXPECT_EQ(g.CounterText(*f.imScrapCt), "60");
        ASSERT_EQ(f.lstScrap.size(), 1u);
        EXPECT_NE(f.lstScrap[0]->id, rock);
        EXPECT_EQ(f.Playfield->LayerCount(), layers - 1);
        // The second order finds nothing left and pays nothing.
        ASSERT_GT(TicksUntil(g,
                             [&] {
                                 return f.lstOrders.empty() && !f.lstBots[0]->order &&
                                        !f.lstBots.back()->order;
                             }),
                  0);
        g.Tick(10);
        EXPECT_EQ(f.cash, 60);
    }

    // A huge payment stops at the top of the range.
    TPlayerGame g("GATHER_SCRAP=2147483647");
    TForm1& f = g.f();
    f.lstScrap.clear();
    g.PutObject(2, 9, 3);
    g.Order(9, 3, kGet);
    f.cash = 7;
    ASSERT_GT(TicksUntil(g, [&] { return f.lstScrap.empty(); }), 0);
    EXPECT_EQ(f.cash, 2147483647);
}

TEST(Orders, DestroyOfAPendingSignWithOneBotBuildsItFirstThenTakesItAway) {
    TPlayerGame g;
    TForm1& f = g.f();
    g.Order(4, 12, kSignUp);
    g.Order(4, 12, kDestroy);
    EXPECT_EQ(g.TakeSounds(), (Sounds{"menuopen", "menuselect", "menuopen", "menuselect"}));
    EXPECT_EQ(f.cash, 45);
    ASSERT_GT(TicksUntil(g, [&] { return g.SignAlpha(0) == 255; }), 0);
    // Built first, as the queue has it; the removal is the bot's next job.
    EXPECT_EQ(f.lstOrders.size(), 1u);
    const int layers = f.Playfield->LayerCount();
    g.Tick();
    ASSERT_TRUE(f.lstBots[0]->order);
    EXPECT_EQ(f.lstBots[0]->order->signKind, -1);
    // Standing there already, the bot takes it away in the sixth tick.
    g.Tick(4);
    EXPECT_EQ(f.lstSigns.size(), 1u);
    g.Tick();
    EXPECT_TRUE(f.lstSigns.empty());
    EXPECT_EQ(f.Playfield->LayerCount(), layers - 1);
    // The counter follows one tick later.
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "1/4");
    g.Tick();
    EXPECT_EQ(g.CounterText(*f.imSignsCt), "0/4");
    EXPECT_EQ(f.cash, 45);
}

TEST(Orders, WithTwoBotsTheRemovalMayComeFirstAndTheBuildThenFindsNoSign) {
    TPlayerGame g;
    TForm1& f = g.f();
    f.NewBot();
    // The second bot stands on the tile already; the first walks there from the base.
    TSprite& near = *f.lstBots[1];
    near.SetTileX(4);
    near.SetTileY(12);
    near.pixelX = 140;
    near.pixelY = 420;
    g.Order(4, 12, kSignUp);
    g.Order(4, 12, kDestroy);
    g.Tick();
    ASSERT_TRUE(f.lstBots[0]->order && near.order);
    EXPECT_EQ(f.lstBots[0]->order->signKind, kSignUp);
    EXPECT_EQ(near.order->signKind, -1);
    g.Tick(5);
    EXPECT_TRUE(f.lstSigns.empty());
    ASSERT_TRUE(f.lstBots[0]->order);
    ASSERT_GT(TicksUntil(g, [&] { return !f.lstBots[0]->order; }), 0);
    EXPECT_TRUE(f.lstSigns.empty());
    EXPECT_EQ(f.cash, 45);
}

namespace {

// What the player sees of a game: sounds, counters, frames, signs, orders and bots.
std::string Account(TPlayerGame& g, const std::string& step) {
    TForm1& f = g.f();
    std::ostringstream out;
    out << "== " << step << " (tick " << f.tickCount << ")\n";
    out << "sounds";
    for (const std::string& s : g.TakeSounds()) out << " " << s;
    out << "\ncash " << f.cash << " shown " << g.CounterText(*f.imScrapCt) << " score " << f.score
        << " signs shown " << g.CounterText(*f.imSignsCt) << " frames"
        << (f.spNoCash->Visible() ? " nocash" : "")
        << (f.spTooManySigns->Visible() ? " toomany" : "") << "\n";
    out << "menus" << (f.MenuImg->Visible() ? " build" : "")
        << (f.OrbMenuImg->Visible() ? " orb" : "") << " markers " << g.Markers() << "\n";
    out << "signs";
    for (const auto& s : f.lstSigns)
        out << " " << s->id << "@" << s->tileX << "," << s->tileY << ":" << s->kind << "/"
            << s->layer->Bitmap().MasterAlpha();
    out << "\nscrap";
    for (const auto& o : f.lstScrap)
        out << " " << o->id << "@" << o->tileX << "," << o->tileY << "/" << o->alpha;
    const auto order = [&out](const TOrder& o) {
        out << " [" << o.orderKind << " " << o.signKind << " " << o.targetId << " @" << o.targetX
            << "," << o.targetY << " w" << o.workTicks << "]";
    };
    out << "\nqueue";
    for (const auto& o : f.lstOrders) order(*o);
    out << "\nbots";
    for (const auto& b : f.lstBots) {
        out << " " << b->tileX << "," << b->tileY;
        if (b->order) order(*b->order);
    }
    out << "\n";
    return out.str();
}

}  // namespace

TEST(Orders, AShortGamePlayedThroughTheMenus) {
    TPlayerGame g("GATHER_SCRAP=60");
    TForm1& f = g.f();
    f.lstScrap.clear();
    g.PutObject(2, 6, 8);
    g.PutObject(4, 13, 6);
    g.PutObject(0, 3, 10);
    std::string record = Account(g, "start");

    g.ClickTile(4, 6);
    record += Account(g, "build menu opened on 4,6");
    g.Choose(kSignRight);
    record += Account(g, "right-pointing sign chosen");
    g.Order(5, 7, kSignDown);
    record += Account(g, "a sign next to it refused");
    g.Order(6, 8, kGet);
    record += Account(g, "the rock on 6,8 ordered gathered");
    g.ClickTile(9, 0);
    g.ClickOrbMenu();
    record += Account(g, "a bot with too little scrap");
    for (int i = 0; i < 4; ++i) {
        g.Tick(20);
        record += Account(g, "20 ticks");
    }
    g.ClickTile(9, 0);
    record += Account(g, "orb menu opened");
    g.ClickOrbMenu();
    record += Account(g, "a bot bought");
    g.Order(4, 6, kDestroy);
    record += Account(g, "the sign ordered away");
    g.Order(4, 6, kDestroy);
    record += Account(g, "and again");
    g.Order(13, 6, kGet);
    record += Account(g, "the ruin on 13,6 ordered gathered");
    g.Order(3, 10, kSignUp);
    record += Account(g, "a sign on the tree without the scrap");
    g.Tick(1);
    record += Account(g, "1 tick");
    for (int i = 0; i < 3; ++i) {
        g.Tick(20);
        record += Account(g, "20 ticks");
    }
    g.Order(3, 10, kSignUp);
    record += Account(g, "the sign on the tree");
    g.Tick(40);
    record += Account(g, "40 ticks");
    const std::string diff = CompareGolden("player_orders", record);
    EXPECT_TRUE(diff.empty()) << diff;
}
