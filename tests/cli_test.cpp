// The command line: what each option asks for, and one clear message for what cannot be done.
#include "app/cli.h"

#include <gtest/gtest.h>

namespace {

TCommandLine Parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

}  // namespace

TEST(CommandLine, OptionsAskForTheirMode) {
    EXPECT_EQ(Parse({}).mode, TRunMode::Play);
    EXPECT_EQ(Parse({"--help"}).mode, TRunMode::Help);
    EXPECT_EQ(Parse({"--version"}).mode, TRunMode::Version);
    // --help wins over anything else that is well formed.
    EXPECT_EQ(Parse({"--replay", "a.qvr", "--help"}).mode, TRunMode::Help);

    TCommandLine watch = Parse({"--replay", "a b.qvr"});
    EXPECT_EQ(watch.mode, TRunMode::Replay);
    EXPECT_EQ(watch.replayFile, "a b.qvr");

    TCommandLine check = Parse({"--check-replay=s.qvr", "--debug-log", "out.txt"});
    EXPECT_TRUE(check.error.empty()) << check.error;
    EXPECT_EQ(check.mode, TRunMode::CheckReplay);
    EXPECT_EQ(check.replayFile, "s.qvr");
    EXPECT_EQ(check.debugLogFile, "out.txt");
    EXPECT_EQ(Parse({"--debug-log=o", "--check-replay", "s"}).debugLogFile, "o");

    const TCommandLine takeOver = Parse({"--replay", "a.qvr", "--take-over-at", "12:05"});
    EXPECT_EQ(takeOver.mode, TRunMode::Replay);
    EXPECT_EQ(takeOver.takeOverAtMs, 725000u);
    EXPECT_EQ(Parse({"--take-over-at=0:07", "--replay=a"}).takeOverAtMs, 7000u);
    EXPECT_EQ(Parse({"--continue"}).mode, TRunMode::Continue);
    EXPECT_EQ(Parse({"--continue"}).replayFile, "");
    EXPECT_EQ(Parse({"--continue", "c.qvr"}).replayFile, "c.qvr");
    EXPECT_EQ(Parse({"--continue=c.qvr"}).replayFile, "c.qvr");
    EXPECT_EQ(Parse({"--continue", "--help"}).mode, TRunMode::Help);
}

TEST(CommandLine, WhatCannotBeDoneIsSaidInOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},
        {"replay.qvr"},
        {"--replay"},
        {"--replay="},
        {"--check-replay"},
        {"--help=yes"},
        {"--debug-log", "x"},
        {"--replay", "a", "--check-replay", "b"},
        {"--replay", "a", "--debug-log", "x"},
        {"-h"},
        {"--take-over-at", "1:00"},
        {"--replay", "a", "--take-over-at", "1:60"},
        {"--replay", "a", "--take-over-at", "90"},
        {"--replay", "a", "--take-over-at"},
        {"--continue", "a", "--replay", "b"},
        {"--continue", "a", "b"},
    };
    for (const auto& args : bad) {
        const TCommandLine cl = Parse(args);
        EXPECT_FALSE(cl.error.empty()) << args[0];
        EXPECT_EQ(cl.error.find('\n'), std::string::npos) << cl.error;
    }
    EXPECT_NE(Parse({"--frobnicate"}).error.find("'--frobnicate'"), std::string::npos);
}

TEST(CommandLine, HelpNamesEveryOptionAndVersionTheNumber) {
    const std::string help = HelpText();
    for (const char* option : {"--replay", "--check-replay", "--debug-log", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    for (const std::string& line : [&] {
             std::vector<std::string> lines;
             size_t start = 0;
             for (size_t nl; (nl = help.find('\n', start)) != std::string::npos; start = nl + 1)
                 lines.push_back(help.substr(start, nl - start));
             return lines;
         }())
        EXPECT_LE(line.size(), 80u) << line;
    EXPECT_EQ(VersionText().rfind("quorvatide ", 0), 0u);
}
