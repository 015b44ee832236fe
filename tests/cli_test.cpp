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
    EXPECT_EQ(check.replayFiles, std::vector<std::string>{"s.qvr"});
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

// Several replays to check: named after the first, or with --check-replay again, in the order
// given; a name before any --check-replay is still a mistake, and so is --debug-log with more
// than one.
TEST(CommandLine, CheckReplayTakesSeveralFiles) {
    using TNames = std::vector<std::string>;
    EXPECT_EQ(Parse({"--check-replay", "a.qvr", "b c.qvr", "d.qvr"}).replayFiles,
              (TNames{"a.qvr", "b c.qvr", "d.qvr"}));
    EXPECT_EQ(Parse({"--check-replay=a", "b", "--check-replay", "c", "--check-replay=d", "e"})
                  .replayFiles,
              (TNames{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(Parse({"--check-replay", "a", "a"}).replayFiles, (TNames{"a", "a"}));
    const TCommandLine both = Parse({"--check-replay", "a", "b", "--help"});
    EXPECT_EQ(both.mode, TRunMode::Help);

    const std::vector<std::vector<std::string>> bad = {
        {"a.qvr", "--check-replay", "b.qvr"},
        {"--check-replay", "a", "-b"},
        {"--check-replay", "a", "b", "--debug-log", "x"},
        {"--debug-log", "x", "--check-replay", "a", "--check-replay", "b"},
        {"--check-replay", "a", "b", "--replay", "c"},
        {"--check-replay", "a", "--continue", "c"},
        {"--check-replay", "a", "--check-replay"},
        {"--check-replay", "a", "--check-replay="},
    };
    for (const auto& args : bad) {
        const TCommandLine cl = Parse(args);
        EXPECT_FALSE(cl.error.empty()) << args[0] << " " << args[1];
        EXPECT_EQ(cl.error.find('\n'), std::string::npos) << cl.error;
    }
    EXPECT_NE(Parse({"--check-replay", "a", "b", "--debug-log", "x"}).error.find("one replay"),
              std::string::npos);
    EXPECT_NE(Parse({"x.qvr", "--check-replay", "b"}).error.find("unexpected argument 'x.qvr'"),
              std::string::npos);
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

// --records alone; --report with its replay, then where its plot goes, and --game with it.
TEST(CommandLine, RecordsAndReports) {
    EXPECT_EQ(Parse({"--records"}).mode, TRunMode::Records);
    const TCommandLine report = Parse({"--report", "a.qvr", "plot.png", "--game", "2"});
    EXPECT_TRUE(report.error.empty()) << report.error;
    EXPECT_EQ(report.mode, TRunMode::Report);
    EXPECT_EQ(report.replayFile, "a.qvr");
    EXPECT_EQ(report.plotFile, "plot.png");
    EXPECT_EQ(report.reportGame, 2);
    const TCommandLine plain = Parse({"--game=3", "--report=b.qvr"});
    EXPECT_EQ(plain.replayFile, "b.qvr");
    EXPECT_EQ(plain.plotFile, "");
    EXPECT_EQ(plain.reportGame, 3);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--records", "x"},
             {"--records", "--report", "a"},
             {"--report", "a", "--replay", "b"},
             {"--check-replay", "a", "--report", "b"},
             {"--report", "a", "p.png", "q.png"},
             {"--report"},
             {"--report", "a", "--game", "0"},
             {"--report", "a", "--game", "two"},
             {"--report", "a", "--game"},
             {"--game", "2"},
             {"--records=yes"},
         }) {
        const TCommandLine cl = Parse(args);
        EXPECT_FALSE(cl.error.empty()) << args[0] << " " << args.back();
        EXPECT_EQ(cl.error.find('\n'), std::string::npos) << cl.error;
    }
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
