// The program's command line: what the player asked for, or why it cannot be done.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class TRunMode {
    Play,
    Replay,
    CheckReplay,
    Continue,
    Records,
    Report,
    Help,
    Version,
    Daily,
    Learn
};

struct TCommandLine {
    TRunMode mode = TRunMode::Play;
    // The replay to watch.
    // With --continue, the replay to continue; empty for the newest left in play.
    std::string replayFile;
    // With --check-replay: the replays to check, in the order given (at least one).
    std::vector<std::string> replayFiles;
    // With --replay: where to take over, in milliseconds from the recording's beginning.
    std::optional<uint64_t> takeOverAtMs;
    // With --check-replay: where to write the replayed session's creature log; empty for none.
    std::string debugLogFile;
    // With --report (whose replay is replayFile): where to write the plot, empty for nowhere;
    // and the game of the session, from 1 (0: the best).
    std::string plotFile;
    int reportGame = 0;
    // Set when the command line cannot be followed: one line for stderr, without the program's
    // name; the program then ends with status 2.
    std::string error;
};

// Reads the arguments after the program's name. Options take their value as the next argument
// or after '='. After --check-replay's file, arguments that are not options are more files.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help and --version.
std::string HelpText();
std::string VersionText();
