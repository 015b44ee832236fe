// Built signs steering creatures: once per creature and sign, only when built, on the tile the
// creature is nearest to, and whatever else the creature does in that step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/creatures_test.h"

namespace {

std::vector<std::string> LogSince(const TForm1& f, size_t from) {
    return {f.lstDebug.begin() + std::ptrdiff_t(from), f.lstDebug.end()};
}

}  // namespace

TEST(Steering, EachDirectionSendsEveryKindFiveTilesThatWay) {
    const struct {
        int direction;
        int destX, destY;
        const char* line;
    } cases[] = {{0, 6, 11, "Vonkel 0 sign 0 D_D 0 -5 "},
                 {1, 6, 1, "Vonkel 0 sign 0 D_U 0 5 "},
                 {2, 1, 6, "Vonkel 0 sign 0 D_L 5 0 "},
                 {3, 11, 6, "Vonkel 0 sign 0 D_R -5 0 "}};
    for (const auto& c : cases)
        for (int kind = 0; kind < 3; ++kind) {
            SCOPED_TRACE(std::string(c.line) + " kind " + std::to_string(kind));
            TCreatureGame g;
            TForm1& f = g.f();
            f.PlaceSign(6, 6, c.direction, true);
            TVonkel& v = g.Place(kind, 6, 6);
            v.stepTicks = 19;
            g.Tick();
            EXPECT_EQ(v.destX, c.destX);
            EXPECT_EQ(v.destY, c.destY);
            EXPECT_EQ(v.goalX, 9);
            EXPECT_EQ(v.goalY, 1);
            EXPECT_TRUE(v.lookBegun);
            EXPECT_EQ(f.lstDebug, (std::vector<std::string>{
                                      "Vonkel 0 force params 0 0", "Vonkel 0 at 6 6",
                                      "Vonkel 0 at sign 0", "Vonkel 0 not seen by sign 0", c.line,
                                      "Vonkel 0 target M0 now " + std::to_string(c.destX) + " " +
                                          std::to_string(c.destY)}));
            EXPECT_EQ(f.lstSigns[0]->seenVonkels, std::vector<int>{v.id});
        }
}

TEST(Steering, ASignSteersACreatureOnceEvenWhileItStandsThereShooting) {
    TCreatureGame g;
    TForm1& f = g.f();
    f.PlaceSign(5, 5, 3, true);
    // An F creature on the sign with an S creature, which it hates, next to it.
    TVonkel& shooter = g.Place(0, 5, 5);
    TVonkel& target = g.Place(1, 6, 5);
    target.health = 1000;
    target.speed = 1000000;
    std::vector<std::vector<std::string>> steps;
    for (int step = 0; step < 3; ++step) {
        shooter.stepTicks = 19;
        const size_t from = f.lstDebug.size();
        g.Tick();
        steps.push_back(LogSince(f, from));
        EXPECT_EQ(shooter.tileX, 5) << "it stands still while it shoots";
        EXPECT_EQ(shooter.destX, 10) << "the march is set all the same";
    }
    EXPECT_EQ(steps[0], (std::vector<std::string>{
                            "Vonkel 0 force params 0 0", "Vonkel 0 acquired target type 0 id 1",
                            "Vonkel 0 at 5 5", "Vonkel 0 at sign 0", "Vonkel 0 not seen by sign 0",
                            "Vonkel 0 sign 0 D_R -5 0 ", "Vonkel 0 target M0 now 10 5"}));
    for (int step = 1; step < 3; ++step)
        EXPECT_EQ(steps[size_t(step)],
                  (std::vector<std::string>{"Vonkel 0 force params 0 0",
                                            "Vonkel 0 acquired target type 0 id 1",
                                            "Vonkel 0 at 5 5", "Vonkel 0 at sign 0"}));
    EXPECT_EQ(f.lstSigns[0]->seenVonkels.size(), 1u);
    EXPECT_EQ(target.health, 1000 - 3);
}

TEST(Steering, APendingSignDoesNothing) {
    TCreatureGame g;
    TForm1& f = g.f();
    f.PlaceSign(5, 5, 3, false);
    EXPECT_EQ(f.lstSigns[0]->layer->Bitmap().MasterAlpha(), 64);
    TVonkel& v = g.Place(2, 5, 5);
    v.stepTicks = 19;
    g.Tick();
    EXPECT_FALSE(v.lookBegun);
    EXPECT_EQ(v.destX, 5);
    EXPECT_EQ(f.lstDebug,
              (std::vector<std::string>{"Vonkel 0 force params 0 0", "Vonkel 0 at 5 5"}));
    EXPECT_TRUE(f.lstSigns[0]->seenVonkels.empty());
    // Built, it steers at the next decision step.
    f.lstSigns[0]->layer->Bitmap().SetMasterAlpha(255);
    v.stepTicks = 19;
    g.Tick();
    EXPECT_EQ(v.destX, 10);
}

TEST(Steering, TheFirstUnseenBuiltSignOnTheTileSteersAndASeenOneStillStartsTheLookAround) {
    TCreatureGame g;
    TForm1& f = g.f();
    // Two built signs on one tile (debug placing allows it): the first in the list has seen
    // the creature already, so the second steers it.
    f.PlaceSign(5, 5, 0, true);
    f.PlaceSign(5, 5, 1, true);
    TVonkel& v = g.Place(2, 5, 5);
    f.lstSigns[0]->seenVonkels.push_back(v.id);
    v.stepTicks = 19;
    g.Tick();
    EXPECT_EQ(f.lstDebug, (std::vector<std::string>{
                              "Vonkel 0 force params 0 0", "Vonkel 0 at 5 5", "Vonkel 0 at sign 0",
                              "Vonkel 0 at sign 1", "Vonkel 0 not seen by sign 1",
                              "Vonkel 0 sign 1 D_U 0 5 ", "Vonkel 0 target M0 now 5 0"}));
    EXPECT_EQ(f.lstSigns[0]->seenVonkels.size(), 1u);

    // A creature that only meets a sign that has seen it looks around when it arrives.
    TVonkel& w = g.Place(1, 5, 5);
    f.lstSigns[0]->seenVonkels.push_back(w.id);
    f.lstSigns[1]->seenVonkels.push_back(w.id);
    w.stepTicks = 19;
    g.Tick();
    EXPECT_TRUE(w.lookBegun);
    EXPECT_EQ(w.destY, 5);
}

TEST(Steering, InsideAGlideTheSignOnTheTileAheadSteers) {
    TCreatureGame g;
    TForm1& f = g.f();
    f.PlaceSign(5, 5, 0, false);  // the tile it leaves, built only once it has left
    f.PlaceSign(6, 5, 1, true);   // the tile it glides to
    TVonkel& v = g.Place(0, 5, 5);
    v.speed = 7;
    v.destX = 9;
    v.stepTicks = 6;
    g.Tick();
    ASSERT_EQ(v.tileX, 6);
    f.lstSigns[0]->layer->Bitmap().SetMasterAlpha(255);
    for (int t = 1; t < 7; ++t) g.Tick();
    ASSERT_EQ(v.pixelX, 175 + 28);
    g.Tick();  // a decision 28 pixels into the glide, drawn nearer column 6
    EXPECT_EQ(v.destY, 0);
    EXPECT_EQ(f.lstSigns[1]->seenVonkels, std::vector<int>{v.id});
    EXPECT_TRUE(f.lstSigns[0]->seenVonkels.empty());
}
