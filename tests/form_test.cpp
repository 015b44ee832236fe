// The game window as it comes up: state after start-up, the layout, and input routing.
#include <gtest/gtest.h>

#include "tests/harness.h"

namespace {

struct Placement {
    const char* name;
    int left, top, width, height;
};

TControl* Find(TControl& root, const std::string& name) {
    if (root.Name() == name) return &root;
    for (const auto& c : root.Controls())
        if (TControl* hit = Find(*c, name)) return hit;
    return nullptr;
}

}  // namespace

TEST(FormCreate, StartsOnTheSplashScreenWithDefaults) {
    TTempAssets dir;
    THarness h(OptionsFor(dir));
    TForm1& f = h.Form();
    EXPECT_EQ(f.Caption(), "Quorvatide");
    EXPECT_EQ(f.assetDir, dir.ExeDir().string() + "/Assets/");
    EXPECT_EQ(f.cash, 50);
    EXPECT_EQ(f.score, 0);
    EXPECT_EQ(f.hatred, 1);
    EXPECT_FALSE(f.gameOver);
    EXPECT_TRUE(f.musicOn && f.soundOn);
    EXPECT_EQ(f.settings.NUMSTARTRES, 25);
    EXPECT_EQ(f.Color(), clBtnFace);
    EXPECT_FALSE(f.memDbg->Visible());

    // Only the splash picture timer runs; the splash panel covers the playfield.
    for (const auto& t : f.Timers()) EXPECT_EQ(t->Enabled(), t.get() == f.tmrDiv) << t->Name();
    EXPECT_TRUE(f.pnlSplash->Visible() && f.PaintBox1->Visible() && f.PaintBox2->Visible());
    EXPECT_FALSE(f.pnlGameOver->Visible());
    EXPECT_EQ(f.pnlSplash->Color(), clBlack);
    EXPECT_EQ(f.Playfield->Bitmap().Width(), 700);
    EXPECT_EQ(f.Playfield->Bitmap().Height(), 700);
    EXPECT_EQ(h.Dump().find("tmrTick"), std::string::npos);
}

TEST(FormCreate, DebugModeTintsTheWindowAndShowsTheKeyHelp) {
    TTempAssets dir;
    dir.Write("settings.ini", "[Settings]\nDEBUG=1\n");
    THarness h(OptionsFor(dir));
    EXPECT_EQ(h.Form().Color(), clMaroon);
    EXPECT_TRUE(h.Form().memDbg->Visible());
    EXPECT_EQ(h.Form().memDbg->Lines().size(), 5u);
    EXPECT_EQ(h.Form().memDbg->Lines()[0], "[X] New Bot  [Z] Kill Vonkels");
    // The maroon shows between the panels of the right column.
    EXPECT_EQ(h.Render().Pixel(900, 450) | 0xFF000000u, clMaroon);
}

TEST(WindowLayout, EveryControlAtItsPlace) {
    TTempAssets dir;
    THarness h(OptionsFor(dir));
    const Placement expected[] = {
        {"pnlPause", 8, 8, 700, 700},      {"Image3", 1, 1, 698, 698},
        {"Pane", 8, 8, 700, 700},          {"Playfield", 1, 1, 698, 698},
        {"pnlGameOver", 8, 8, 700, 700},   {"imEnd", 80, 569, 550, 450},
        {"imGOTop", 0, 0, 700, 101},       {"imGOR", 650, 101, 50, 499},
        {"imGOBot", 0, 600, 700, 100},     {"imGOL", 0, 101, 50, 499},
        {"PaintBox1", 0, 0, 700, 700},     {"pnlSplash", 8, 8, 700, 700},
        {"imStart", 48, 680, 600, 600},    {"imSplash", 0, 0, 700, 700},
        {"PaintBox2", 0, 0, 700, 7000},    {"Panel2", 712, 8, 185, 52},
        {"imScore", 8, 16, 169, 20},       {"pnlCash", 712, 64, 185, 52},
        {"imScrap", 8, 8, 35, 35},         {"imScrapCt", 48, 16, 129, 20},
        {"spNoCash", 0, 0, 185, 51},       {"pnlSigns", 712, 120, 185, 52},
        {"imSigns", 8, 8, 35, 35},         {"imSignsCt", 48, 16, 129, 20},
        {"spTooManySigns", 0, 0, 185, 51}, {"pnlHated", 712, 176, 185, 201},
        {"imHatred", 40, 13, 100, 172},    {"spHatred", 0, 0, 185, 201},
        {"Panel3", 712, 384, 185, 49},     {"memDbg", 712, 436, 185, 67},
        {"Panel1", 712, 506, 185, 201},    {"MenuImg", 792, 488, 152, 192},
        {"OrbMenuImg", 792, 488, 82, 54},  {"BGM", 720, 560, 253, 30},
        {"BGMGO", 720, 560, 253, 30},      {"Button1", 712, 488, 75, 25},
        {"Button7", 712, 680, 75, 25},     {"BitBtn1", 712, 456, 75, 25},
        {"BitBtn2", 720, 456, 81, 25},
    };
    for (const Placement& p : expected) {
        TControl* c = Find(h.Form(), p.name);
        ASSERT_NE(c, nullptr) << p.name;
        EXPECT_EQ(c->Left(), p.left) << p.name;
        EXPECT_EQ(c->Top(), p.top) << p.name;
        EXPECT_EQ(c->Width(), p.width) << p.name;
        EXPECT_EQ(c->Height(), p.height) << p.name;
    }

    std::vector<std::string> stacking;
    for (const auto& c : h.Form().Controls()) stacking.push_back(c->Name());
    const std::vector<std::string> expectedStacking = {
        "pnlPause", "Pane",       "Button1",     "MenuImg", "Button2",   "BGM",
        "Button3",  "Button4",    "Button5",     "Button6", "Button7",   "pnlCash",
        "pnlSigns", "OrbMenuImg", "pnlGameOver", "BGMGO",   "pnlSplash", "pnlHated",
        "Panel1",   "Panel2",     "Panel3",      "BitBtn1", "BitBtn2",   "memDbg"};
    EXPECT_EQ(stacking, expectedStacking);

    // The pictures stored in the layout are there even without any Assets.
    EXPECT_EQ(h.Form().Image3->Picture().Width(), 336);
    EXPECT_EQ(h.Form().Image2->Picture().Width(), 76);
    EXPECT_EQ(h.Form().Image1->Picture().Width(), 183);
}

TEST(WindowLayout, PausePanelComesToTheFrontOverThePlayArea) {
    TTempAssets dir;
    THarness h(OptionsFor(dir));
    TForm1& f = h.Form();
    f.pnlSplash->Hide();
    const TColor32 playArea = h.Render().Pixel(350, 350);
    f.pnlPause->Show();
    EXPECT_EQ(h.Render().Pixel(350, 350), playArea);  // still under the playfield
    f.pnlPause->BringToFront();
    // The word PAUSED in white in the middle of a black panel.
    const TPicture& frame = h.Render();
    EXPECT_EQ(frame.Pixel(20, 20) | 0xFF000000u, clBlack);
    int white = 0;
    for (int x = 8 + 182; x < 8 + 518; ++x)
        white += (frame.Pixel(x, 8 + 350) & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_GT(white, 20);
}

TEST(Input, ClicksAndKeysReachTheirTargetsInLocalCoordinates) {
    TTempAssets dir;
    THarness h(OptionsFor(dir));
    TForm1& f = h.Form();
    std::vector<std::string> seen;
    const auto record = [&seen](const char* what) {
        return [&seen, what](TControl& c, TMouseButton, TShiftState s, int x, int y) {
            seen.push_back(std::string(what) + " " + c.Name() + " " + std::to_string(x) + "," +
                           std::to_string(y) + (s.left ? " L" : ""));
        };
    };
    f.PaintBox2->OnMouseDown = record("down");
    f.PaintBox2->OnClick = [&seen](TControl& c) { seen.push_back("click " + c.Name()); };
    f.Playfield->OnMouseMove = [&seen](TControl& c, TShiftState, int x, int y) {
        seen.push_back("move " + c.Name() + " " + std::to_string(x) + "," + std::to_string(y));
    };
    f.OnKeyPress = [&seen](char& k) { seen.push_back(std::string("key ") + k); };

    h.Click(100, 60);  // the splash panel's click area lies over everything in the play area
    f.pnlSplash->Hide();
    h.MouseMove(9, 9);  // the playfield's top-left pixel
    h.MouseMove(9 + 697, 9 + 40);
    h.Key('p');
    const std::vector<std::string> expected = {"down PaintBox2 92,52 L", "click PaintBox2",
                                               "move Playfield 0,0", "move Playfield 697,40",
                                               "key p"};
    EXPECT_EQ(seen, expected);
}

TEST(Golden, StateAfterStartUp) {
    TTempAssets dir;
    THarness h(OptionsFor(dir));
    h.Advance(8000);  // the splash picture gives way to the scrolling start text
    const std::string diff = CompareGolden("startup", h.Dump());
    EXPECT_TRUE(diff.empty()) << diff;
}
