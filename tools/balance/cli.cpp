#include "tools/balance/cli.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "tools/balance/lab.h"
#include "tools/balance/replays.h"
#include "tools/balance/report.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: qv_balance [--settings FILE] [--player idle|builder|random] [--games N]\n"
    "                  [--jobs N] [--seed S] [--cap-ticks N] [--csv FILE]\n"
    "                  [--report FILE.png] [--compare OTHER.ini]\n"
    "                  [--save-replays DIR [--keep all|worst:N|best:N]]\n"
    "\n"
    "Plays N games of Quorvatide headless, each with its own seed, and reports what happened:\n"
    "the median and quartiles of every measure on the terminal, one row per game in a CSV\n"
    "file, and charts in a PNG report. The game is the real one on a fake clock; the player\n"
    "acts only through the mouse, as a person does.\n"
    "\n"
    "  --settings FILE    the settings.ini to play (default: the generated Assets/settings.ini\n"
    "                     beside this program)\n"
    "  --player NAME      idle     never touches the mouse\n"
    "                     builder  gathers the rocks and ruins nearest the base, buys bots\n"
    "                              when it can, and places signs that send creatures of one\n"
    "                              kind into the path of the kind that attacks them\n"
    "                     random   clicks at random over the board and both menus\n"
    "                     (default: idle)\n"
    "  --games N          games to play (default 100)\n"
    "  --jobs N           worker processes (default: one per processor); the numbers do not\n"
    "                     depend on it\n"
    "  --seed S           seed of the first game; game i has seed S + i (default 1)\n"
    "  --cap-ticks N      ticks of 50 ms after which a game stops and counts as survived\n"
    "                     (default 12000, ten minutes)\n"
    "  --csv FILE         write one row per game\n"
    "  --report FILE.png  draw the survival times, the turrets standing over time and score\n"
    "                     against survival\n"
    "  --compare OTHER    play OTHER.ini on the same seeds too, and show both side by side\n"
    "                     with their differences\n"
    "  --save-replays DIR write the replay of every game into DIR (made when missing) as\n"
    "                     PLAYER-seed-NNNNNN.qvr, or with --compare PLAYER-a-seed-NNNNNN.qvr\n"
    "                     for the settings file (A) and PLAYER-b-... for OTHER (B); files of\n"
    "                     those names are replaced. 'quorvatide --replay FILE' shows one,\n"
    "                     'quorvatide --check-replay FILE' checks it\n"
    "  --keep WHICH       which of those replays to keep (with --compare, of each file):\n"
    "                     all      every game's (the default)\n"
    "                     worst:N  the N games that survived the fewest ticks; among\n"
    "                              equals the lower score, then the lower seed, is worse\n"
    "                     best:N   the N games that survived the most ticks; among equals\n"
    "                              the higher score, then the lower seed, is better\n"
    "                     (a game that reached the cap survived more than one whose orb\n"
    "                     fell on that tick). The choice does not depend on --jobs\n"
    "  --help             show this text\n"
    "\n"
    "Exit status: 0 done, 1 a game could not be played to its end or a replay asked for could\n"
    "not be written, 2 a bad option or file.\n";

struct TOptions {
    std::string settings, compare, csv, report, saveReplays;
    std::optional<TKeep> keep;
    std::string player = "idle";
    int games = 100;
    int jobs = 0;
    uint32_t seed = 1;
    int capTicks = 12000;
    bool help = false;
};

struct TUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int64_t ParseNumber(const std::string& option, const std::string& text, int64_t low, int64_t high) {
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || v < low || v > high)
        throw TUsageError(option + " wants a whole number from " + std::to_string(low) + " to " +
                          std::to_string(high) + ", not '" + text + "'");
    return v;
}

TOptions Parse(const std::vector<std::string>& args) {
    TOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool hasValue = false;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        static const char* kTakesValue[] = {"--settings", "--player",       "--games", "--jobs",
                                            "--seed",     "--cap-ticks",    "--csv",   "--report",
                                            "--compare",  "--save-replays", "--keep"};
        bool known = false;
        for (const char* k : kTakesValue) known = known || name == k;
        if (!known) throw TUsageError("unknown option '" + args[i] + "'");
        if (!hasValue) {
            if (i + 1 >= args.size()) throw TUsageError(name + " needs a value");
            value = args[++i];
        }
        if (name == "--settings") o.settings = value;
        if (name == "--compare") o.compare = value;
        if (name == "--csv") o.csv = value;
        if (name == "--report") o.report = value;
        if (name == "--save-replays") {
            if (value.empty()) throw TUsageError("--save-replays needs a folder");
            o.saveReplays = value;
        }
        if (name == "--keep") {
            o.keep = ParseKeep(value);
            if (!o.keep)
                throw TUsageError(
                    "--keep wants all, worst:N or best:N (N a whole number from 1), "
                    "not '" +
                    value + "'");
        }
        if (name == "--player") {
            bool found = false;
            for (const std::string& p : PlayerNames()) found = found || p == value;
            if (!found) throw TUsageError("no player '" + value + "' (idle, builder or random)");
            o.player = value;
        }
        if (name == "--games") o.games = int(ParseNumber(name, value, 1, 10000000));
        if (name == "--jobs") o.jobs = int(ParseNumber(name, value, 1, 1024));
        if (name == "--seed") o.seed = uint32_t(ParseNumber(name, value, 0, UINT32_MAX));
        if (name == "--cap-ticks") o.capTicks = int(ParseNumber(name, value, 1, 100000000));
    }
    if (o.keep && o.saveReplays.empty() && !o.help)
        throw TUsageError("--keep goes with --save-replays DIR");
    return o;
}

// An output file is tried before the games are played, not after.
void CheckWritable(const std::string& path) {
    if (path.empty()) return;
    std::ofstream probe(path, std::ios::binary | std::ios::app);
    if (!probe) throw TUsageError("cannot write " + path);
}

// The game reads its settings from the section [Settings]; without one every setting is the
// default, which is worth a word.
void WarnWithoutSection(const std::string& path, const fs::path& copy, std::ostream& err) {
    std::ifstream in(copy, std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        if (line.find("[Settings]") != std::string::npos) return;
    err << "qv_balance: warning: " << path
        << " has no [Settings] section; the game plays it with every default\n";
}

class TProgress {
public:
    TProgress(std::ostream& err, bool shown, int total) : err_(err), shown_(shown), total_(total) {}
    void Show(int done) {
        if (!shown_) return;
        constexpr int kWidth = 40;
        const int filled = total_ > 0 ? done * kWidth / total_ : kWidth;
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        err_ << "\r[" << std::string(size_t(filled), '#')
             << std::string(size_t(kWidth - filled), '.') << "] " << done << "/" << total_
             << " games, " << std::fixed << std::setprecision(1) << seconds << " s"
             << std::defaultfloat << std::flush;
        if (done >= total_) err_ << "\n";
    }

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& err_;
    bool shown_;
    int total_;
    Clock::time_point start_ = Clock::now();
};

// Which replays were kept, and where.
void ShowKept(std::ostream& out, const TKeptReplays& kept, const TKeep& keep, const fs::path& dir,
              const std::string& run, size_t games) {
    const std::string of = run.empty() ? "" : " of " + run;
    size_t ended = 0;
    for (const TKeptReplay& k : kept.kept) ended += k.ended;
    out << "\n";
    if (keep.which == TKeep::All) {
        out << "Replays" << of << " in " << dir.string() << ": " << ended << " of " << games
            << " games";
        if (ended > 0) {
            out << ", " << kept.kept.front().name;
            if (ended > 1) out << " ... " << kept.kept[ended - 1].name;
        }
        out << "\n";
    } else {
        const char* which = keep.which == TKeep::Worst ? "worst" : "best";
        out << "Replays" << of << " in " << dir.string() << ": ";
        if (ended == 1)
            out << "the " << which << " game of " << games << "\n";
        else
            out << "the " << ended << " " << which << " of " << games << " games, the " << which
                << " first\n";
        for (const TKeptReplay& k : kept.kept)
            if (k.ended)
                out << "  " << k.name << "  " << k.game.ticks << " ticks, score " << k.game.score
                    << (k.game.survived ? ", reached the cap" : "") << "\n";
    }
    for (const TKeptReplay& k : kept.kept)
        if (!k.ended) out << "  " << k.name << "  did not come to an end: its worker died in it\n";
}

}  // namespace

int BalanceMain(const std::vector<std::string>& args, const fs::path& exeDir, std::ostream& out,
                std::ostream& err, bool progressBar) {
    TOptions o;
    try {
        o = Parse(args);
        if (o.help) {
            out << kUsage;
            return 0;
        }
        if (o.settings.empty()) o.settings = (exeDir / "Assets" / "settings.ini").string();
        CheckWritable(o.csv);
        CheckWritable(o.report);
    } catch (const TUsageError& e) {
        err << "qv_balance: " << e.what() << "\nTry 'qv_balance --help'.\n";
        return 2;
    }
    if (o.jobs == 0) {
        const long cores = sysconf(_SC_NPROCESSORS_ONLN);
        o.jobs = cores > 0 ? int(cores) : 1;
    }

    std::vector<std::string> files = {o.settings};
    if (!o.compare.empty()) files.push_back(o.compare);
    std::vector<std::unique_ptr<TLabAssets>> assets;
    std::unique_ptr<TReplayRecording> recording;
    try {
        for (const std::string& file : files) {
            assets.push_back(std::make_unique<TLabAssets>(exeDir / "Assets", file));
            // The copy: the file itself may have been a pipe, read once.
            WarnWithoutSection(file, assets.back()->ExeDir() / "Assets" / "settings.ini", err);
        }
        if (!o.saveReplays.empty()) recording = std::make_unique<TReplayRecording>(o.saveReplays);
    } catch (const std::exception& e) {
        err << "qv_balance: " << e.what() << "\n";
        return 2;
    }

    std::vector<uint32_t> seeds;
    for (int i = 0; i < o.games; ++i) seeds.push_back(o.seed + uint32_t(i));
    const int total = o.games * int(files.size());
    TProgress progress(err, progressBar, total);
    progress.Show(0);
    const auto started = std::chrono::steady_clock::now();
    std::vector<TRun> runs;
    std::vector<TLabConfig> configs;
    std::vector<std::vector<uint32_t>> failedOf;  // of each run: the same seeds are played twice
    std::vector<uint32_t> failed;
    int64_t ticks = 0;
    for (size_t r = 0; r < files.size(); ++r) {
        TLabConfig config;
        config.exeDir = assets[r]->ExeDir();
        config.player = o.player;
        config.capTicks = o.capTicks;
        if (recording) {
            config.replayDir = recording->Folder();
            if (files.size() > 1) config.replayTag = r == 0 ? "a" : "b";
            config.keep = o.keep.value_or(TKeep{});
        }
        configs.push_back(config);
        failedOf.emplace_back();
        const int before = int(r) * o.games;
        runs.push_back(
            {files[r], PlayGames(
                           config, seeds, o.jobs, [&](int done) { progress.Show(before + done); },
                           &failedOf.back())});
        failed.insert(failed.end(), failedOf.back().begin(), failedOf.back().end());
        for (const TGameResult& g : runs.back().games) ticks += g.ticks;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const TReportInfo info{o.player, o.capTicks};
    WriteSummary(out, runs, info);
    out.flush();
    const int jobs = std::min(o.jobs, o.games);
    err << std::fixed << std::setprecision(1) << "qv_balance: " << total << " games, " << ticks
        << " ticks in " << seconds << " s on " << jobs << " job" << (jobs > 1 ? "s" : "") << ": "
        << std::setprecision(2) << total / seconds / jobs << " games/s and " << std::setprecision(0)
        << ticks * (kLabTickMs / 1000.0) / seconds / jobs << "x real time per job\n"
        << std::defaultfloat;
    int status = 0;
    if (recording) {
        for (size_t r = 0; r < runs.size(); ++r) {
            const TKeptReplays kept =
                KeepReplays(configs[r], recording->Dir(), runs[r].games, failedOf[r]);
            ShowKept(out, kept, configs[r].keep, recording->Dir(),
                     runs.size() > 1 ? (r == 0 ? "A" : "B") : "", runs[r].games.size());
            for (const std::string& e : kept.errors) err << "qv_balance: " << e << "\n";
            if (!kept.errors.empty()) status = 1;
        }
        out.flush();
        recording.reset();  // and with it the replays not kept
    }
    if (!o.csv.empty() && !WriteCsv(o.csv, runs, info)) {
        err << "qv_balance: cannot write " << o.csv << "\n";
        status = 2;
    }
    if (!o.report.empty() && !WritePng(o.report, runs, info)) {
        err << "qv_balance: cannot write " << o.report << "\n";
        status = 2;
    }
    if (!failed.empty()) {
        err << "qv_balance: " << failed.size() << " game(s) did not come to an end, seeds";
        for (uint32_t s : failed) err << " " << s;
        err << " (their worker died; the tables count them as zero)\n";
        status = 1;
    }
    return status;
}
