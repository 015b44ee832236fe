// The balance lab: its games are repeatable, its players play through the window's input like
// a person, and its reports hold what it played.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "frontend/report.h"
#include "replay/check.h"
#include "tests/harness.h"
#include "tools/balance/cli.h"
#include "tools/balance/lab.h"
#include "tools/balance/replays.h"
#include "tools/balance/report.h"

namespace fs = std::filesystem;

namespace {

TLabConfig Config(const std::string& player, int capTicks) {
    TLabConfig c;
    c.exeDir = BuildExeDir();
    c.player = player;
    c.capTicks = capTicks;
    return c;
}

// Enough of a game's state to tell two games apart: the clock, the money, and every object
// with its id and tile.
std::string StateOf(const TForm1& f) {
    std::ostringstream out;
    out << "tick " << f.tickCount << " cash " << f.cash << " score " << f.score << " hatred "
        << f.hatred << " gameOver " << f.gameOver << " nextId " << f.nextId << "\n";
    const auto list = [&out](const char* name, const auto& objects) {
        out << name;
        for (const auto& o : objects) out << " " << o->id << "@" << o->tileX << "," << o->tileY;
        out << "\n";
    };
    list("bots", f.lstBots);
    list("scrap", f.lstScrap);
    list("signs", f.lstSigns);
    for (const auto& s : f.lstSigns) out << s->layer->Bitmap().MasterAlpha() << " ";
    list("\nvonkels", f.lstVonkels);
    list("turrets", f.lstTurrets);
    out << "orders " << f.lstOrders.size() << "\n";
    return out.str();
}

std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

size_t Fields(const std::string& csvLine) {
    size_t n = 1;
    bool quoted = false;
    for (char c : csvLine) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) ++n;
    }
    return n;
}

struct TRunOutput {
    int status;
    std::string out, err;
};

TRunOutput RunLab(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = BalanceMain(args, BuildExeDir(), out, err, false);
    return {status, out.str(), err.str()};
}

}  // namespace

TEST(BalanceLab, TheSameSeedPlaysTheSameGameWhateverTheNumberOfJobs) {
    for (const char* player : {"builder", "random"}) {
        SCOPED_TRACE(player);
        const TLabConfig config = Config(player, 900);
        const TGameResult once = PlayGame(config, 7);
        EXPECT_EQ(once, PlayGame(config, 7));
        EXPECT_EQ(once.seed, 7u);
        EXPECT_GT(once.ticks, 0);
        EXPECT_LE(once.ticks, 900);
    }
    // Four games on one process and on three: the same numbers in the same order.
    const TLabConfig config = Config("builder", 700);
    const std::vector<uint32_t> seeds = {11, 12, 13, 14};
    std::vector<int> progress;
    const auto alone = PlayGames(config, seeds, 1, [&](int done) { progress.push_back(done); });
    std::vector<uint32_t> failed;
    const auto shared = PlayGames(config, seeds, 3, nullptr, &failed);
    EXPECT_EQ(alone, shared);
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4}));
    for (size_t i = 0; i < seeds.size(); ++i) EXPECT_EQ(shared[i].seed, seeds[i]);
    // A result survives its trip through a worker's pipe.
    TGameResult back;
    ASSERT_TRUE(DecodeResult(EncodeResult(shared[2]), back));
    EXPECT_EQ(back, shared[2]);
}

TEST(BalanceLab, APlayersClicksAreThoseOfAPersonAtTheWindow) {
    // The builder plays and its every input event is recorded...
    const TLabConfig config = Config("builder", 1300);
    std::vector<TDispatch> events;
    std::string labState;
    const TGameResult result =
        PlayGame(config, 3, &events, [&](const TForm1& f) { labState = StateOf(f); });
    ASSERT_FALSE(events.empty());
    EXPECT_GT(result.signsBuilt, 0);
    EXPECT_GT(result.scrapGathered, 0);
    EXPECT_EQ(result.botsBought, 1);

    // ... and the same events, given by the test harness's mouse at the same ticks of a game
    // with the same seed, play the same game to the same state: the player did nothing but
    // click.
    THarnessOptions options;
    options.seed = 3;
    THarness h(options);
    const TForm1& f = h.Form();
    size_t next = 0;
    const auto deliver = [&] {
        for (; next < events.size() && events[next].time == h.clock.now; ++next)
            h.Dispatch(events[next]);
    };
    deliver();  // the splash click
    while (!f.gameOver && f.tickCount < config.capTicks) {
        deliver();
        h.Ticks(1);
    }
    EXPECT_EQ(next, events.size());
    EXPECT_EQ(StateOf(f), labState);
    EXPECT_EQ(f.score, result.score);
    EXPECT_EQ(f.killsByTurrets, result.killsByTurrets);
    EXPECT_EQ(f.killsByCreatures, result.killsByCreatures);
}

TEST(BalanceLab, ReportsHoldOneRowPerGameAndComparingAFileWithItselfShowsNoDifference) {
    TTempAssets dir;
    const fs::path csv = dir.ExeDir() / "games.csv", png = dir.ExeDir() / "report.png";
    const std::string settings = (BuildExeDir() / "Assets" / "settings.ini").string();
    TRunOutput run = RunLab({"--player", "random", "--games", "3", "--jobs", "2", "--cap-ticks",
                             "400", "--seed=5", "--csv", csv.string(), "--report", png.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("3 games of player random"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("ticks survived"), std::string::npos);
    std::vector<std::string> rows = Lines(csv);
    ASSERT_EQ(rows.size(), 4u);
    for (const std::string& row : rows) EXPECT_EQ(Fields(row), Fields(rows[0])) << row;
    EXPECT_NE(rows[1].find(",random,1,5,"), std::string::npos) << rows[1];
    EXPECT_NE(rows[3].find(",random,3,7,"), std::string::npos) << rows[3];

    cairo_surface_t* picture = cairo_image_surface_create_from_png(png.c_str());
    EXPECT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
    EXPECT_GT(cairo_image_surface_get_width(picture), 500);
    EXPECT_GT(cairo_image_surface_get_height(picture), 500);
    cairo_surface_destroy(picture);

    // The default settings against a copy of themselves: the same games, no difference.
    std::string same;
    for (const std::string& line : Lines(settings)) same += line + "\n";
    dir.Write("same.ini", same);
    run = RunLab({"--player", "builder", "--games", "2", "--cap-ticks", "500", "--compare",
                  (dir.Assets() / "same.ini").string(), "--csv", csv.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("0 of 2 games came out differently"), std::string::npos) << run.out;
    std::istringstream table(run.out);
    int measured = 0;
    for (std::string line; std::getline(table, line);) {
        for (const TMeasure& m : Measures()) {
            if (line.rfind(m.name, 0) != 0) continue;
            ++measured;
            // The last two columns are the differences.
            std::istringstream cells(line.substr(std::string(m.name).size()));
            std::vector<std::string> values;
            for (std::string v; cells >> v;) values.push_back(v);
            ASSERT_EQ(values.size(), 8u) << line;
            EXPECT_EQ(values[6], "0") << line;
            EXPECT_EQ(values[7], "0") << line;
        }
    }
    EXPECT_EQ(measured, int(Measures().size()));
    rows = Lines(csv);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].substr(rows[1].find(',')), rows[3].substr(rows[3].find(',')));
}

TEST(BalanceLab, TheWorstGamesReplayIsKeptAloneWhateverTheNumberOfJobsAndChecks) {
    TTempAssets dir;
    const fs::path csv = dir.ExeDir() / "games.csv";
    // Three builder games, two of which reach the cap: the worst is told by its ticks, the best
    // by its score.
    const auto keep = [&](const std::string& which, const std::string& jobs) {
        const fs::path into = dir.ExeDir() / (which + "-" + jobs);
        const TRunOutput run = RunLab({"--player", "builder", "--games", "3", "--seed", "5",
                                       "--cap-ticks", "1400", "--jobs", jobs, "--csv", csv.string(),
                                       "--save-replays", into.string(), "--keep", which});
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(into)) files.push_back(entry.path());
        EXPECT_EQ(files.size(), 1u) << "nothing but the one replay is left";
        return files.empty() ? fs::path() : files[0];
    };
    const fs::path worst = keep("worst:1", "1");

    // The worst game according to the lab's own table: the fewest ticks, then not surviving,
    // then the lowest score, then the lowest seed.
    std::vector<std::tuple<int, int, int, int>> games;  // ticks, survived, score, seed
    const std::vector<std::string> rows = Lines(csv);
    ASSERT_EQ(rows.size(), 4u);
    ASSERT_NE(rows[0].find("seed,survived,ticks,score,"), std::string::npos) << rows[0];
    for (size_t r = 1; r < rows.size(); ++r) {
        std::istringstream cells(rows[r].substr(rows[r].find(",builder,") + 9));
        int game, seed, survived, ticks, score;
        char comma;
        cells >> game >> comma >> seed >> comma >> survived >> comma >> ticks >> comma >> score;
        games.emplace_back(ticks, survived, score, seed);
    }
    const auto [ticks, survived, score, seed] = *std::min_element(games.begin(), games.end());
    char name[64];
    std::snprintf(name, sizeof name, "builder-seed-%06d.qvr", seed);
    EXPECT_EQ(worst.filename(), name);

    const TCheckOutcome check =
        CheckReplay(worst.string(), NativeFiles(), BuildExeDir().string() + "/");
    EXPECT_EQ(check.status, 0) << check.message;
    EXPECT_TRUE(check.complete);
    EXPECT_EQ(check.ticks, ticks);

    // Two workers keep the very same file; the best game is another.
    const fs::path shared = keep("worst:1", "2");
    EXPECT_EQ(shared.filename(), worst.filename());
    const auto bytes = [](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(bytes(shared), bytes(worst));
    const fs::path best = keep("best:1", "2");
    EXPECT_NE(best.filename(), worst.filename());
    EXPECT_EQ(CheckReplay(best.string(), NativeFiles(), BuildExeDir().string() + "/").status, 0);
}

TEST(BalanceLab, BadOptionsAndFilesAreRefusedWithExitStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--games", "0"},
        {"--games", "many"},
        {"--player", "genius"},
        {"--jobs"},
        {"--frobnicate"},
        {"--settings", "/no/such/settings.ini"},
        {"--compare", "/no/such/other.ini"},
        {"--csv", "/no/such/folder/games.csv"},
        {"--keep", "worst:3"},
        {"--save-replays", "/tmp", "--keep", "worst:0"},
        {"--save-replays", "/tmp", "--keep", "most"},
        {"--save-replays", "/proc/version"},
        {"--save-replays", ""},
    };
    for (const auto& args : bad) {
        const TRunOutput run = RunLab(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.err.rfind("qv_balance: ", 0), 0u) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    const TRunOutput help = RunLab({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--compare OTHER"), std::string::npos);
}

TEST(BalanceLab, QuartilesAndTurretsOverTime) {
    const TQuartiles q = QuartilesOf({4, 1, 3, 2});
    EXPECT_DOUBLE_EQ(q.q1, 1.75);
    EXPECT_DOUBLE_EQ(q.median, 2.5);
    EXPECT_DOUBLE_EQ(q.q3, 3.25);
    EXPECT_DOUBLE_EQ(QuartilesOf({7}).median, 7);

    TGameResult g;
    g.ticks = 900;
    g.turretLost = {500, 600, -1, -1};
    EXPECT_EQ(g.TurretsAt(499), 4);
    EXPECT_EQ(g.TurretsAt(500), 3);
    EXPECT_EQ(g.TurretsAt(899), 2);
    EXPECT_EQ(g.TurretsAt(900), 0) << "the orb has fallen";
    EXPECT_EQ(g.TurretFalls(1), 600);
    EXPECT_EQ(g.TurretFalls(2), 900) << "stood to the end";
    g.survived = true;
    EXPECT_EQ(g.TurretsAt(900), 2);
}

// A game of the balance lab's builder, whose numbers the lab counts as it plays: the report
// worked out from its replay afterwards comes to the same.
TEST(BalanceLab, AGamesReportWorkedOutFromItsReplayCountsWhatTheLabCountedInPlay) {
    TTempAssets dir;
    TLabConfig config;
    config.exeDir = BuildExeDir();
    config.player = "builder";
    config.replayDir = dir.ExeDir();
    const TGameResult played = PlayGame(config, 7);
    const std::string replay = (dir.ExeDir() / ReplayFileName("builder", "", 7)).string();
    const TReportOutcome made = MakeReport(replay, NativeFiles(), BuildExeDir().string() + "/");
    ASSERT_EQ(made.status, 0) << made.message;
    const TGameReport& r = made.report;
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(r.lengthMs, uint64_t(played.ticks) * 50);
    EXPECT_EQ(r.score, played.score);
    EXPECT_EQ(r.killsByTurrets, played.killsByTurrets);
    EXPECT_EQ(r.killsByCreatures, played.killsByCreatures);
    EXPECT_EQ(r.signsBuilt, played.signsBuilt);
    EXPECT_EQ(r.botsBought, played.botsBought);
    EXPECT_EQ(r.scrapGathered, played.scrapGathered);
    EXPECT_EQ(r.scrapSpent, played.scrapSpent);
    EXPECT_GT(r.signsBuilt, 0);
    EXPECT_GT(r.scrapGathered, 0);
}
