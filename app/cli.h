// The program's command line: what the player asked for, or why it cannot be done.
#pragma once

#include <string>
#include <vector>

enum class TRunMode { Play, Replay, CheckReplay, Help, Version };

struct TCommandLine {
    TRunMode mode = TRunMode::Play;
    // The replay to watch or check.
    std::string replayFile;
    // With --check-replay: where to write the replayed session's creature log; empty for none.
    std::string debugLogFile;
    // Set when the command line cannot be followed: one line for stderr, without the program's
    // name; the program then ends with status 2.
    std::string error;
};

// Reads the arguments after the program's name. Options take their value as the next argument
// or after '='.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help and --version.
std::string HelpText();
std::string VersionText();
