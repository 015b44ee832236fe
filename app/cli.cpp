#include "app/cli.h"

#include "quorvatide_version.h"

namespace {

struct TOption {
    const char* name;
    bool takesValue;
};

constexpr TOption kOptions[] = {
    {"--replay", true}, {"--check-replay", true}, {"--debug-log", true},
    {"--help", false},  {"--version", false},
};

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine cl;
    bool replay = false, check = false, help = false, version = false;
    const auto fail = [&cl](std::string message) {
        cl.error = std::move(message) + " (see quorvatide --help)";
        return cl;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            if (const size_t eq = arg.find('='); eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg.resize(eq);
                hasValue = true;
            }
        }
        const TOption* option = nullptr;
        for (const TOption& o : kOptions)
            if (arg == o.name) option = &o;
        if (!option) {
            if (arg.empty() || arg[0] != '-') return fail("unexpected argument '" + arg + "'");
            return fail("unknown option '" + arg + "'");
        }
        if (option->takesValue && !hasValue) {
            if (i + 1 >= args.size()) return fail(arg + " needs a file name");
            value = args[++i];
            hasValue = true;
        }
        if (!option->takesValue && hasValue) return fail(arg + " takes no value");
        if (option->takesValue && value.empty()) return fail(arg + " needs a file name");
        if (arg == "--replay") {
            if (replay || check) return fail("only one replay at a time");
            replay = true;
            cl.replayFile = value;
        } else if (arg == "--check-replay") {
            if (replay || check) return fail("only one replay at a time");
            check = true;
            cl.replayFile = value;
        } else if (arg == "--debug-log") {
            if (!cl.debugLogFile.empty()) return fail("--debug-log given twice");
            cl.debugLogFile = value;
        } else if (arg == "--help") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        }
    }
    if (help) {
        cl.mode = TRunMode::Help;
        return cl;
    }
    if (version) {
        cl.mode = TRunMode::Version;
        return cl;
    }
    if (!cl.debugLogFile.empty() && !check) return fail("--debug-log goes with --check-replay");
    cl.mode = replay ? TRunMode::Replay : check ? TRunMode::CheckReplay : TRunMode::Play;
    return cl;
}

std::string HelpText() {
    return R"(Usage: quorvatide [OPTION]...
A real-time defence game: steer three kinds of creatures into each other and
guard the orb.

With no option the game opens its window and plays. Every session is recorded,
as it is played, to $XDG_STATE_HOME/quorvatide/replays/ (by default
~/.local/state/quorvatide/replays/); the newest 50 recordings are kept.

  --replay FILE        watch a recorded session in the window, at its own pace;
                       P pauses and resumes, 1 2 3 4 play at x1 x2 x4 x8
  --check-replay FILE  play a recorded session without a window, as fast as it
                       goes, and check the game against every digest it holds
  --debug-log OUT      with --check-replay: write the replayed session's
                       creature log to OUT, as debug.txt would have been written
  --help               show this help and exit
  --version            show the version and exit

Keys in play: P pause, M music on/off, S sound effects on/off, F11 or Alt+Enter
fullscreen. Settings: Assets/settings.ini beside the program, or
$XDG_CONFIG_HOME/quorvatide/settings.ini when that exists.

Exit status: 0 when all went well; 1 when a replay does not play as recorded,
or the window cannot be opened; 2 when the command line is wrong or a file is
not a replay this version can read.
)";
}

std::string VersionText() {
    return std::string("quorvatide ") + kGameVersion + "\n";
}
