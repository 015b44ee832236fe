#include "app/cli.h"

#include <optional>

#include "quorvatide_version.h"

namespace {

struct TOption {
    const char* name;
    bool takesValue;
    // The value may be left out (then it is not the next argument when that is an option).
    bool valueOptional = false;
};

constexpr TOption kOptions[] = {
    {"--replay", true},       {"--check-replay", true},   {"--debug-log", true},
    {"--take-over-at", true}, {"--continue", true, true}, {"--help", false},
    {"--version", false},     {"--records", false},       {"--report", true},
    {"--game", true},         {"--daily", false},         {"--learn", false},
};

// MM:SS (minutes in any number of digits) as milliseconds.
std::optional<uint64_t> MinutesSecondsMs(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == 0 || colon == std::string::npos || colon > 6 || text.size() != colon + 3)
        return std::nullopt;
    uint64_t minutes = 0;
    for (size_t i = 0; i < colon; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        minutes = minutes * 10 + uint64_t(text[i] - '0');
    }
    const char a = text[colon + 1], b = text[colon + 2];
    if (a < '0' || a > '5' || b < '0' || b > '9') return std::nullopt;
    return (minutes * 60 + uint64_t(a - '0') * 10 + uint64_t(b - '0')) * 1000;
}

// A value the player gave, for a message: whole, or when long its beginning and how long it
// is, so that the message does not pass a part for the whole.
std::string Quoted(const std::string& value) {
    constexpr size_t kShown = 40;
    std::string quoted(1, '\'');
    if (value.size() <= kShown) return quoted.append(value).append(1, '\'');
    size_t cut = kShown, characters = 0;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xc0) == 0x80) --cut;
    for (const char c : value) characters += (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    return quoted.append(value, 0, cut)
        .append("…' (")
        .append(std::to_string(characters))
        .append(" characters)");
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine cl;
    bool replay = false, check = false, help = false, version = false, resume = false;
    bool records = false, report = false, daily = false, learn = false;
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
            // After --check-replay, a name that is not an option is one more replay to check.
            if (check && !arg.empty() && arg[0] != '-') {
                cl.replayFiles.push_back(arg);
                continue;
            }
            // After --report's replay, a name that is not an option is where its plot goes.
            if (report && cl.plotFile.empty() && !arg.empty() && arg[0] != '-') {
                cl.plotFile = arg;
                continue;
            }
            if (arg.empty() || arg[0] != '-') return fail("unexpected argument '" + arg + "'");
            return fail("unknown option '" + arg + "'");
        }
        if (option->valueOptional && !hasValue &&
            (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)) {
            hasValue = true;  // left out
        } else if (option->takesValue && !hasValue) {
            if (i + 1 >= args.size())
                return fail(arg + (arg == "--take-over-at" ? " needs a time (MM:SS)"
                                   : arg == "--game"       ? " needs a game's number"
                                                           : " needs a file name"));
            value = args[++i];
            hasValue = true;
        }
        if (!option->takesValue && hasValue) return fail(arg + " takes no value");
        if (option->takesValue && value.empty() && !option->valueOptional &&
            arg != "--take-over-at")
            return fail(arg + " needs a file name");
        if (arg == "--replay") {
            if (replay || check || resume) return fail("only one replay at a time");
            replay = true;
            cl.replayFile = value;
        } else if (arg == "--check-replay") {
            // Checked one after the other: given again, or as more names after the first.
            if (replay || resume) return fail("only one replay at a time");
            check = true;
            cl.replayFiles.push_back(value);
        } else if (arg == "--continue") {
            if (replay || check || resume) return fail("only one replay at a time");
            resume = true;
            cl.replayFile = value;
        } else if (arg == "--take-over-at") {
            if (cl.takeOverAtMs) return fail("--take-over-at given twice");
            cl.takeOverAtMs = MinutesSecondsMs(value);
            if (!cl.takeOverAtMs)
                return fail("--take-over-at needs a time as MM:SS, not " + Quoted(value));
        } else if (arg == "--debug-log") {
            if (!cl.debugLogFile.empty()) return fail("--debug-log given twice");
            cl.debugLogFile = value;
        } else if (arg == "--records") {
            records = true;
        } else if (arg == "--report") {
            if (report) return fail("--report given twice");
            report = true;
            cl.replayFile = value;
        } else if (arg == "--game") {
            if (cl.reportGame) return fail("--game given twice");
            int game = 0;
            for (const char c : value)
                game = c >= '0' && c <= '9' && game < 100000 ? game * 10 + (c - '0') : -1;
            if (game < 1)
                return fail("--game needs a game's number from 1, not '" + value.substr(0, 20) +
                            "'");
            cl.reportGame = game;
        } else if (arg == "--daily") {
            daily = true;
        } else if (arg == "--learn") {
            learn = true;
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
    if (!cl.debugLogFile.empty() && cl.replayFiles.size() > 1)
        return fail("--debug-log goes with one replay to check, not " +
                    std::to_string(cl.replayFiles.size()));
    if (cl.takeOverAtMs && !replay) return fail("--take-over-at goes with --replay");
    if (int(replay) + int(check) + int(resume) + int(records) + int(report) > 1)
        return fail(records || report ? "--records and --report go alone"
                                      : "only one replay at a time");
    if (cl.reportGame && !report) return fail("--game goes with --report");
    if (daily && learn) return fail("--daily and --learn do not go together");
    if ((daily || learn) && int(replay) + int(check) + int(resume) + int(records) + int(report) > 0)
        return fail(daily ? "--daily goes alone" : "--learn goes alone");
    cl.mode = replay    ? TRunMode::Replay
              : check   ? TRunMode::CheckReplay
              : resume  ? TRunMode::Continue
              : records ? TRunMode::Records
              : report  ? TRunMode::Report
              : daily   ? TRunMode::Daily
              : learn   ? TRunMode::Learn
                        : TRunMode::Play;
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
                       P pauses and resumes, 1 2 3 4 play at x1 x2 x4 x8,
                       Left and Right jump 10 s back and on, Home and End to the
                       beginning and the end; T takes over: from there on you
                       play, recorded as a new replay that continues FILE
  --take-over-at MM:SS with --replay: take over at once at that time of the
                       recording
  --daily              play today's daily challenge: one board a day (UTC), the
                       same for every player; the first try of a day is ranked
  --continue [FILE]    go on with the newest session left in the middle of a
                       game (closed, killed or crashed), or with FILE's: it is
                       played to where it stopped and handed to you paused
                       (P plays on), recorded as a new replay that continues it
  --check-replay FILE...
                       play each recorded session without a window, as fast as
                       it goes, and check the game against every digest it
                       holds; one line says how each FILE went, and a daily
                       challenge's replay is proven: "daily 2026-12-09, try 1:
                       score 1 234, proven", or not and why
  --debug-log OUT      with --check-replay of one FILE: write the replayed
                       session's creature log to OUT, as debug.txt would have
                       been written
  --records            print the records of every game played to its end, best
                       first, a line each: score, date, length, settings
                       (shipped or own), speed, the game's number in its
                       session and its replay's file
  --report FILE [OUT.png]
                       play a recorded session without a window to the end of
                       its best game and print that game's report: score,
                       kills, signs, bots, scrap; with OUT.png, write its plot
                       of score, scrap and creatures over time there. FILE may
                       be a name of the replays folder
  --game N             with --report: the Nth game of the session instead
  --learn              begin with the lesson: a guided first game of about three
                       minutes, every step of which can be shown and taken over
  --help               show this help and exit
  --version            show the version and exit

Keys in play: P pause, M music on/off, S sound effects on/off, Esc the menu,
F11 or Alt+Enter fullscreen. Settings: Assets/settings.ini beside the program,
or $XDG_CONFIG_HOME/quorvatide/settings.ini when that exists; the options the
menu sets: $XDG_CONFIG_HOME/quorvatide/options.ini.

Exit status: 0 when all went well; 1 when a replay does not play as recorded,
a daily challenge's replay is not proven, or the window cannot be opened; 2
when the command line is wrong, a file is not a replay this version can read
or holds no such game, or the plot cannot be written. With several replays to
check, the highest of their statuses.
)";
}

std::string VersionText() {
    return std::string("quorvatide ") + kGameVersion + "\n";
}
