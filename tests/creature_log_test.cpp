// The creature log: kept in debug mode, written to Assets/debug.txt when the window goes, and
// a whole scripted game's log compared line for line with a golden file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

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

TEST(CreatureLog, TheLogSpansEveryGameOfTheRun) {
    TTempAssets dir;
    auto h = std::make_unique<THarness>(dir.WithSettings("DEBUG=1\n"));
    TForm1& f = h->Form();
    h->StartPlay();
    h->Ticks(300);
    const size_t first = f.lstDebug.size();
    ASSERT_GT(first, 0u);
    f.NewGame();
    f.imSplashClick(*f.imSplash);
    h->Ticks(300);
    EXPECT_GT(f.lstDebug.size(), first);
    const size_t all = f.lstDebug.size();
    h.reset();
    const std::string text = ReadFile(dir.Assets() / "debug.txt");
    EXPECT_EQ(size_t(std::count(text.begin(), text.end(), '\n')), all);
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
    const std::vector<std::string> formats = {R"(Vonkel \d+ force params -?\d+ -?\d+)",
                                              R"(Vonkel \d+ acquired target type [012] id \d+)",
                                              R"(Vonkel \d+ at -?\d+ -?\d+)",
                                              R"(Vonkel \d+ at sign \d+)",
                                              R"(Vonkel \d+ not seen by sign \d+)",
                                              R"(Vonkel \d+ sign \d+ D_[DULR] -?\d+ -?\d+ )",
                                              R"(Vonkel \d+ target M0 now -?\d+ -?\d+)",
                                              R"(Vonkel \d+ target M2 now -?\d+ -?\d+)"};
    std::vector<int> seen(formats.size() + 4, 0);
    for (const std::string& line : f.lstDebug) {
        bool known = false;
        for (size_t i = 0; i < formats.size(); ++i)
            if (std::regex_match(line, std::regex(formats[i]))) {
                ++seen[i];
                known = true;
            }
        EXPECT_TRUE(known) << line;
        for (int type = 0; type < 3; ++type)
            if (line.find("acquired target type " + std::to_string(type)) != std::string::npos)
                ++seen[formats.size() + size_t(type)];
        for (const char* d : {"D_D", "D_U", "D_L", "D_R"})
            if (line.find(d) != std::string::npos) ++seen[formats.size() + 3];
    }
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_GT(seen[i], 0) << i;
}
