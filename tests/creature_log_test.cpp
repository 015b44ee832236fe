// The creature log: kept in debug mode, written to Assets/debug.txt when the window goes, and
// a whole scripted game's log compared line for line with a golden file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

// A log line with every plain decimal number (a whole word, a minus sign allowed) made "#".
std::string Shape(const std::string& line) {
    std::string shape, word;
    const auto flush = [&] {
        const bool number = !word.empty() && std::to_string(std::atoll(word.c_str())) == word;
        shape += number ? "#" : word;
        word.clear();
    };
    for (char c : line) {
        if (c == ' ') {
            flush();
            shape += ' ';
        } else {
            word += c;
        }
    }
    flush();
    return shape;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a game of `ticks` ticks (or to its end) and closes the window.
std::vector<std::string> PlayAndClose(TTempAssets& dir, const std::string& settings, int ticks) {
    auto h = std::make_unique<THarness>(dir.WithSettings(settings));
    h->StartPlay();
    for (int t = 0; t < ticks && !h->Form().gameOver; ++t) h->Ticks(1);
    std::vector<std::string> log = h->Form().lstDebug;
    h.reset();
    return log;
}

}  // namespace

TEST(CreatureLog, DebugModeWritesEveryLineWithCrLfWhenTheWindowCloses) {
    TTempAssets dir;
    const auto log = PlayAndClose(dir, "DEBUG=1\n", 600);
    ASSERT_GT(log.size(), 100u);
    std::string expected;
    for (const std::string& line : log) expected += line + "\r\n";
    EXPECT_EQ(ReadFile(dir.Assets() / "debug.txt"), expected);

    // Without debug mode nothing is kept and nothing written.
    TTempAssets quiet;
    EXPECT_TRUE(PlayAndClose(quiet, "", 600).empty());
    EXPECT_FALSE(std::filesystem::exists(quiet.Assets() / "debug.txt"));
}

// Two games through the whole loop: the first to the fall of the orb, its explosions and the
// game-over screen, a click back to the splash screen, a click into the second game.
TEST(CreatureLog, TheLogSpansEveryGameOfTheRun) {
    TTempAssets dir;
    auto h = std::make_unique<THarness>(dir.WithSettings("DEBUG=1\n"));
    TForm1& f = h->Form();
    h->StartPlay();
    h->Ticks(300);
    const std::vector<std::string> first = f.lstDebug;
    ASSERT_GT(first.size(), 0u);
    f.orb->health = 0.5;
    f.DamageOrb();
    h->Ticks(40);
    ASSERT_TRUE(f.gameOver);
    h->Advance(5000);
    ASSERT_TRUE(f.pnlGameOver->Visible());
    h->Click(100, 100);
    h->Click(100, 100);
    ASSERT_TRUE(f.tmrTick->Enabled());
    h->Ticks(300);
    ASSERT_GT(f.lstDebug.size(), first.size() + 100);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), f.lstDebug.begin()));
    std::string expected;
    for (const std::string& line : f.lstDebug) expected += line + "\r\n";
    h.reset();
    EXPECT_EQ(ReadFile(dir.Assets() / "debug.txt"), expected);
}

TEST(CreatureLog, ALogThatCannotBeWrittenIsReportedOnceAndTheProgramEndsCleanly) {
    TTempAssets dir;
    auto h = std::make_unique<THarness>(dir.WithSettings("DEBUG=1\n"));
    h->StartPlay();
    h->Ticks(100);
    std::filesystem::create_directory(dir.Assets() / "debug.txt");  // in the way
    testing::internal::CaptureStderr();
    h.reset();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("cannot write the debug log"), std::string::npos) << err;
    EXPECT_NE(err.find("debug.txt"), std::string::npos) << err;
}

// A game with signs of all four directions on the creatures' paths, fast tunnels and weak
// turrets, so that creatures are steered, look around, shoot each other, the turrets and at
// last the orb.
TEST(CreatureLog, AScriptedGameLogsWhatGoldenSays) {
    TTempAssets dir;
    THarness h(
        dir.WithSettings("DEBUG=1\nEVONKELBASEEMERGE=30\nSVONKELBASEEMERGE=40\n"
                         "FVONKELBASEEMERGE=35\nEVONKELBASESPEED=8\nSVONKELBASESPEED=6\n"
                         "FVONKELBASESPEED=10\nTURRETHEALTH=2\nBASEORBHEALTH=12\n"
                         "VONKELEMERGESWAP=0\n"));
    TForm1& f = h.Form();
    f.PlaceSign(1, 14, 3, true);   // E: right
    f.PlaceSign(10, 15, 2, true);  // S: left
    f.PlaceSign(18, 12, 0, true);  // F: down
    f.PlaceSign(9, 9, 1, true);    // the way up to the base: up
    h.StartPlay();
    int ticks = 0;
    while (!f.gameOver && ticks < 3000) {
        h.Ticks(1);
        ++ticks;
    }
    std::string text;
    for (const std::string& line : f.lstDebug) text += line + "\n";
    text += "-- ended after " + std::to_string(ticks) + " ticks, score " + std::to_string(f.score) +
            "\n";
    EXPECT_EQ(CompareGolden("creature_log", text), "");

    // Every kind of line the log knows shows up, and nothing else.
    std::map<std::string, int> shapes;
    for (const std::string& line : f.lstDebug) ++shapes[Shape(line)];
    std::map<std::string, int> known = {{"Vonkel # force params # #", 0},
                                        {"Vonkel # acquired target type # id #", 0},
                                        {"Vonkel # at # #", 0},
                                        {"Vonkel # at sign #", 0},
                                        {"Vonkel # not seen by sign #", 0},
                                        {"Vonkel # sign # D_D # # ", 0},
                                        {"Vonkel # sign # D_U # # ", 0},
                                        {"Vonkel # sign # D_L # # ", 0},
                                        {"Vonkel # sign # D_R # # ", 0},
                                        {"Vonkel # target M0 now # #", 0},
                                        {"Vonkel # target M2 now # #", 0}};
    for (const auto& [shape, count] : shapes) {
        EXPECT_TRUE(known.count(shape)) << "an unknown line: " << shape;
        known[shape] = count;
    }
    for (const auto& [shape, count] : known) EXPECT_GT(count, 0) << shape;
    for (const char* type : {"type 0 ", "type 1 ", "type 2 "})
        EXPECT_TRUE(std::any_of(f.lstDebug.begin(), f.lstDebug.end(), [type](const auto& line) {
            return line.find(type) != std::string::npos;
        })) << type;
}
