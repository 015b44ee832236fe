// The records of finished games: kept in an index as games end, made again from the replays
// when it is lost or damaged, ranked, and a game's report worked out from its replay with its
// plot; the command line's --records and --report.
#include "frontend/records.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "app/records_cli.h"
#include "frontend/plot.h"
#include "frontend/png.h"
#include "frontend/report.h"
#include "replay/replay_folder.h"
#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

// A frail base under fast creatures from one tunnel: a game lasts seconds.
constexpr const char* kFrail =
    "TURRETHEALTH=3\nBASEORBHEALTH=4\nEVONKELBASEEMERGE=10\nSVONKELBASEEMERGE=10\n"
    "FVONKELBASEEMERGE=100000\nEVONKELBASESPEED=4\nSVONKELBASESPEED=4\nNUMSTARTRES=5\n"
    "TURRETSHOTSTRENGTH=1\nDEBUG=1\n";
constexpr const char* kSession = "quorvatide-2026-12-08_15-04-05.qvr";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// What a game was at its end, as live play sees it.
struct TEnded {
    TGameRecord record;
    int killsByTurrets = 0, killsByCreatures = 0;
};

// A session of two games played to their end, recorded into a replays folder, the records
// added as live play adds them; and a third game begun and left. Made once for the tests.
class RecordsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        assets_ = std::make_unique<TTempAssets>();
        state_ = assets_->ExeDir().string() + "/state/";
        fs::create_directories(Folder());
        THarnessOptions options = assets_->WithSettings(kFrail);
        options.replayPath = Folder() + kSession;
        options.recordedAs = "2026-12-08 15:04:05 +0100";
        THarness h(options);
        TForm1& f = h.Form();
        const uint64_t began = h.clock.now;
        std::tm moment{};
        moment.tm_year = 2026 - 1900, moment.tm_mon = 11, moment.tm_mday = 8;
        moment.tm_hour = 15, moment.tm_min = 4, moment.tm_sec = 5;
        // Two games, each begun from the title screen and played to the orb's fall; in the
        // second signs are ordered, and the base takes no damage for a while (the debug key A).
        for (int game = 1; game <= 2; ++game) {
            h.Advance(1500);
            const int startTick = f.tickCount;
            const int turretKills = f.killsByTurrets, creatureKills = f.killsByCreatures;
            h.StartPlay();
            if (game == 2) {
                for (const int x : {7, 11}) {
                    h.Click(9 + 35 * x + 17, 9 + 35 * 12 + 17);
                    h.Click(f.MenuImg->Left() + 20, f.MenuImg->Top() + 75);
                }
                h.Key('a');
                h.Ticks(200);
                h.Key('a');
            }
            for (int i = 0; i < 4000 && !f.gameOver; ++i) h.Ticks(1);
            EXPECT_TRUE(f.gameOver);
            std::tm ended = moment;
            ended.tm_sec += int((h.clock.now - began) / 1000);
            std::mktime(&ended);
            ended_.push_back(
                {MakeRecord(f, h.Session().Games(), startTick, options.replayPath, 100, ended),
                 f.killsByTurrets - turretKills, f.killsByCreatures - creatureKills});
            h.Advance(3000);
            h.Click(300, 300);  // the restart
        }
        h.Advance(1500);
        h.StartPlay();
        h.Ticks(100);
    }
    static void TearDownTestSuite() { assets_.reset(); }
    void SetUp() override { fs::remove(state_ + kRecordsFileName); }

    static std::string Folder() { return ReplayFolder(state_); }
    static std::string ExeDir() { return assets_->ExeDir().string() + "/"; }

    static std::unique_ptr<TTempAssets> assets_;
    static std::string state_;
    static std::vector<TEnded> ended_;
};

std::unique_ptr<TTempAssets> RecordsTest::assets_;
std::string RecordsTest::state_;
std::vector<TEnded> RecordsTest::ended_;

TGameRecord Game(int64_t score, const std::string& replay, int game = 1) {
    TGameRecord r;
    r.date = "2026-01-02 03:04";
    r.score = score;
    r.lengthMs = 61000;
    r.replay = replay;
    r.game = game;
    return r;
}

}  // namespace

void PrintTo(const TGameRecord& r, std::ostream* out) {
    *out << FormatRecords({r}).substr(29);
}

TEST_F(RecordsTest, TwoGamesPlayedToTheirEndAreRankedWithAReportAndItsPlot) {
    ASSERT_EQ(ended_.size(), 2u);
    const TGameRecord& first = ended_[0].record;
    const TGameRecord& second = ended_[1].record;
    ASSERT_NE(first.score, second.score) << "the two games should differ";
    EXPECT_EQ(first.game, 1);
    EXPECT_EQ(second.game, 2);
    EXPECT_TRUE(first.ownSettings);
    EXPECT_GT(first.lengthMs, 1000u);
    EXPECT_EQ(first.replay, kSession);

    // Live play adds each game at its end; the recorder then renames the file with its best.
    std::string warning;
    TRecords records = LoadRecords(NativeFiles(), state_, warning);
    records.games.clear();
    for (const TEnded& e : ended_) EXPECT_EQ(AddRecord(NativeFiles(), records, e.record), 0);
    const std::string best = std::to_string(std::max(first.score, second.score));
    EXPECT_EQ(LoadRecords(NativeFiles(), state_, warning).games, records.games);
    EXPECT_EQ(warning, "");

    const TCliOutcome table = PrintRecords(NativeFiles(), state_);
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.err, "");
    const std::vector<std::string> lines = Lines(table.out);
    ASSERT_EQ(lines.size(), 2u);
    const TGameRecord& better = first.score > second.score ? first : second;
    const TGameRecord& worse = first.score > second.score ? second : first;
    EXPECT_EQ(lines[0].rfind(std::string(9 - std::to_string(better.score).size(), ' ') +
                                 std::to_string(better.score) + "  " + better.date,
                             0),
              0u)
        << lines[0];
    EXPECT_NE(lines[0].find(" own "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(" 100 %  game " + std::to_string(better.game) + "  "),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find(std::to_string(worse.score) + "  " + worse.date), std::string::npos);
    EXPECT_EQ(lines[1].substr(lines[1].size() - std::string(kSession).size()), kSession);

    // The report of each game: the score and kills the game had at its end, every second
    // sampled, the length as recorded.
    for (const TEnded& e : ended_) {
        const TReportOutcome made =
            MakeReport(Folder() + kSession, NativeFiles(), ExeDir(), e.record.game);
        ASSERT_EQ(made.status, 0) << made.message;
        const TGameReport& r = made.report;
        EXPECT_TRUE(r.ended);
        EXPECT_EQ(r.games, 3);
        EXPECT_EQ(r.score, e.record.score);
        EXPECT_EQ(r.lengthMs, e.record.lengthMs);
        EXPECT_EQ(r.killsByTurrets, e.killsByTurrets);
        EXPECT_EQ(r.killsByCreatures, e.killsByCreatures);
        ASSERT_EQ(r.samples.size(), r.lengthMs / 1000 + 1 + (r.lengthMs % 1000 != 0));
        EXPECT_EQ(r.samples.front(), (TReportSample{0, 0, 50, 0}));
        EXPECT_EQ(r.samples.back().ms, r.lengthMs);
        EXPECT_EQ(r.samples.back().score, r.score);
        EXPECT_EQ(r.samples[1].ms, 1000u);
        // Signs were ordered in the second game: paid for, and built by the bot.
        if (e.record.game == 2) {
            EXPECT_EQ(r.scrapSpent, 20);
            EXPECT_EQ(r.signsBuilt, 2);
        }
        EXPECT_EQ(r.samples.back().scrap, 50 + r.scrapGathered - r.scrapSpent);
    }
    // The best game by default; a game the session does not hold, and a file that is no
    // replay, each in one line.
    const TReportOutcome byDefault = MakeReport(Folder() + kSession, NativeFiles(), ExeDir());
    EXPECT_EQ(byDefault.report.game, better.game);
    const TReportOutcome none = MakeReport(Folder() + kSession, NativeFiles(), ExeDir(), 4);
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.message, Folder() + kSession + ": there is no game 4 in it (it holds 3 games)");
    WriteFile(assets_->ExeDir() / "not.qvr", "hello\n");
    const TCliOutcome notReplay = PrintReport(NativeFiles(), ExeDir(), state_,
                                              (assets_->ExeDir() / "not.qvr").string(), "", 0);
    EXPECT_EQ(notReplay.status, 2);
    EXPECT_EQ(Lines(notReplay.err).size(), 1u);
    EXPECT_NE(notReplay.err.find("not a Quorvatide replay"), std::string::npos);

    // --report by the replay's name alone, with its plot: the picture the screen shows, its
    // three lines drawn.
    const std::string png = (assets_->ExeDir() / "plot.png").string();
    const TCliOutcome report = PrintReport(NativeFiles(), ExeDir(), state_, kSession, png, 0);
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("\nscore: " + GroupedNumber(better.score) + "\n"), std::string::npos)
        << report.out;
    const TPicture plot = DrawReportPlot(byDefault.report);
    EXPECT_EQ(ReadFile(png), EncodePng(plot));
    for (const TColor32 colour : {kPlotScore, kPlotScrap, kPlotCreatures}) {
        int pixels = 0;
        for (int y = 40; y < plot.Height(); ++y)
            for (int x = 0; x < plot.Width(); ++x) pixels += plot.Pixel(x, y) == colour;
        EXPECT_GT(pixels, 200) << std::hex << colour;
    }
    EXPECT_EQ(
        PrintReport(NativeFiles(), ExeDir(), state_, kSession, state_ + "no/such/x.png", 0).status,
        2);

    // The recorder renames the session's file with its best score: the records follow.
    const std::string renamed = "quorvatide-2026-12-08_15-04-05-best-" + best + ".qvr";
    EXPECT_EQ(RenameReplay(NativeFiles(), records, Folder() + kSession, Folder() + renamed), 0);
    for (const TGameRecord& r : LoadRecords(NativeFiles(), state_, warning).games)
        EXPECT_EQ(r.replay, renamed);
}

// Deleted, the index comes back from the replays with the same lines; damaged, it comes back
// with one line said, the readable lines' games kept, and a game whose replay is gone kept too.
TEST_F(RecordsTest, TheIndexIsMadeAgainFromTheReplaysAndNothingIsLost) {
    std::string warning;
    TRecords records = LoadRecords(NativeFiles(), state_, warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(records.games.size(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(records.games[i], ended_[i].record);
    const std::string table = PrintRecords(NativeFiles(), state_).out;
    ASSERT_TRUE(fs::exists(state_ + kRecordsFileName));
    fs::remove(state_ + kRecordsFileName);
    EXPECT_EQ(PrintRecords(NativeFiles(), state_).out, table);

    // A game of a replay pruned since, and a damaged line; a file of the replays' names that
    // is none.
    records.games.insert(records.games.begin(), Game(7, "quorvatide-2026-01-02_03-04-05.qvr"));
    records.games[1].date = "2026-12-08 15:03";
    records.games[1].laterFields = "lesson=2\tstars=3";
    ASSERT_EQ(SaveRecords(NativeFiles(), records), 0);
    std::string text = ReadFile(state_ + kRecordsFileName);
    text.insert(text.find("\nscore=", text.find("\nscore=") + 1), "\nscore=12\tdate=garbage");
    WriteFile(state_ + kRecordsFileName, text);
    WriteFile(Folder() + "quorvatide-2025-01-01_00-00-00.qvr", "Quorvatide replay\nformat: 9\n");
    const TRecords again = LoadRecords(NativeFiles(), state_, warning);
    EXPECT_EQ(warning, state_ + kRecordsFileName +
                           ": line 3 is damaged; the records are rebuilt from the replays (1 "
                           "replay could not be read)");
    ASSERT_EQ(again.games.size(), 3u);
    EXPECT_EQ(again.games[0], records.games[0]);
    EXPECT_EQ(again.games[1], records.games[1]);
    EXPECT_EQ(again.games[2], records.games[2]);
    EXPECT_EQ(LoadRecords(NativeFiles(), state_, warning).games, again.games);
    EXPECT_EQ(warning, "");
    fs::remove(Folder() + "quorvatide-2025-01-01_00-00-00.qvr");

    // A session taken over after the first game holds that game too: while the replay it
    // continues is there, the game is counted once, as that replay's.
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(NativeFiles(), Folder() + kSession, error);
    ASSERT_TRUE(file);
    const std::string whole = ReadFile(Folder() + kSession);
    TReplayHeader header;
    size_t bodyAt = 0;
    ASSERT_TRUE(ParseReplayHeader(whole, header, bodyAt, error));
    header.continues = kSession;
    header.takenOver = "2026-12-09 10:00:00 +0100, at 00:20 (game 2, tick " +
                       std::to_string(ended_[0].record.lengthMs / 50) + ")";
    header.speed = 60;
    const std::string continued =
        "quorvatide-2026-12-08_15-04-05-continued-2026-12-09_10-00-00.qvr";
    WriteFile(Folder() + continued, FormatReplayHeader(header) + whole.substr(bodyAt));
    int unreadable = 0;
    std::vector<TGameRecord> rebuilt = RebuildRecords(NativeFiles(), Folder(), unreadable);
    EXPECT_EQ(unreadable, 0);
    ASSERT_EQ(rebuilt.size(), 3u);
    EXPECT_EQ(rebuilt[2].replay, continued);
    EXPECT_EQ(rebuilt[2].game, 2);
    EXPECT_EQ(rebuilt[2].speed, 60);
    EXPECT_EQ(rebuilt[2].score, ended_[1].record.score);
    EXPECT_EQ(rebuilt[2].date.substr(0, 14), "2026-12-09 10:");
    fs::rename(Folder() + kSession, state_ + kSession);
    rebuilt = RebuildRecords(NativeFiles(), Folder(), unreadable);
    ASSERT_EQ(rebuilt.size(), 2u);
    EXPECT_EQ(rebuilt[0].replay, continued);
    EXPECT_EQ(rebuilt[0].game, 1);
    fs::rename(state_ + kSession, Folder() + kSession);
    fs::remove(Folder() + continued);
}

TEST(Records, PlacesOrdinalsAndNumbers) {
    EXPECT_EQ(Ordinal(1), "1st");
    EXPECT_EQ(Ordinal(2), "2nd");
    EXPECT_EQ(Ordinal(3), "3rd");
    EXPECT_EQ(Ordinal(4), "4th");
    EXPECT_EQ(Ordinal(11), "11th");
    EXPECT_EQ(Ordinal(12), "12th");
    EXPECT_EQ(Ordinal(13), "13th");
    EXPECT_EQ(Ordinal(21), "21st");
    EXPECT_EQ(Ordinal(22), "22nd");
    EXPECT_EQ(Ordinal(101), "101st");
    EXPECT_EQ(Ordinal(111), "111th");
    EXPECT_EQ(Ordinal(112), "112th");
    EXPECT_EQ(Ordinal(1013), "1013th");
    EXPECT_EQ(GroupedNumber(0), "0");
    EXPECT_EQ(GroupedNumber(999), "999");
    EXPECT_EQ(GroupedNumber(1234), "1 234");
    EXPECT_EQ(GroupedNumber(12345), "12 345");
    EXPECT_EQ(GroupedNumber(1234567), "1 234 567");
    EXPECT_EQ(GroupedNumber(-1234), "-1 234");
    EXPECT_EQ(GroupedNumber(INT64_MIN), "-9 223 372 036 854 775 808");

    std::vector<TGameRecord> games;
    for (const int64_t score : {500, 1234, 800, 1234, 90, 1500})
        games.push_back(Game(score, "r.qvr", int(games.size()) + 1));
    EXPECT_EQ(PlaceText(std::vector<TGameRecord>(games.begin(), games.begin() + 1), 0),
              "New best: 500");
    EXPECT_EQ(PlaceText(std::vector<TGameRecord>(games.begin(), games.begin() + 2), 1),
              "New best: 1 234");
    // Of equal scores the earlier game ranks first: a tie is no new best.
    EXPECT_EQ(PlaceText(std::vector<TGameRecord>(games.begin(), games.begin() + 4), 3), "2nd of 4");
    EXPECT_EQ(PlaceText(games, 4), "6th of 6");
    EXPECT_EQ(PlaceText(games, 5), "New best: 1 500");
    EXPECT_EQ(PlaceText(games, 2), "4th of 6");
    std::vector<int> order;
    for (const TGameRecord& r : BestRecords(games, 3)) order.push_back(r.game);
    EXPECT_EQ(order, (std::vector<int>{6, 2, 4}));
    EXPECT_EQ(LatestRecords(games, 2)[0].game, 6);
    EXPECT_EQ(LatestRecords(games, 2)[1].game, 5);
    EXPECT_EQ(LatestRecords(games, 10).size(), 6u);
}

// A thousand games: the index reads back what was written, fields of a later version kept,
// ranks them, and names the ten best games' replays for the pruning to keep.
TEST(Records, AThousandGamesReadBackAndRankQuickly) {
    std::vector<TGameRecord> games;
    for (int i = 0; i < 1000; ++i) {
        TGameRecord r =
            Game((i * 7919) % 1009,
                 "quorvatide-2026-01-01_00-00-" + std::to_string(i % 60) + ".qvr", i % 3 + 1);
        r.ownSettings = i % 2;
        r.speed = 40 + 20 * (i % 4);
        if (i == 5) r.replay = "odd\tname with\nbreaks.qvr";
        if (i == 6) r.laterFields = "lesson=3\tstars=1";
        games.push_back(r);
    }
    const std::string text = FormatRecords(games);
    EXPECT_EQ(text.rfind("Quorvatide records, format 1\nscore=0\tdate=2026-01-02 03:04\t"
                         "length=61000\tsettings=shipped\tspeed=40\tgame=1\treplay=",
                         0),
              0u);
    const auto start = std::chrono::steady_clock::now();
    std::vector<TGameRecord> read;
    int damaged = 0;
    bool newer = false;
    ASSERT_TRUE(ParseRecords(text, read, damaged, newer));
    const std::vector<TGameRecord> best = BestRecords(read, 10);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(ms, 100.0);
    EXPECT_EQ(read, games);
    ASSERT_EQ(best.size(), 10u);
    for (size_t i = 1; i < best.size(); ++i) EXPECT_GE(best[i - 1].score, best[i].score);
    EXPECT_EQ(best[0].score, 1008);
    const std::vector<std::string> kept = KeptReplays(read);
    EXPECT_LE(kept.size(), 10u);
    for (const TGameRecord& r : best)
        EXPECT_NE(std::find(kept.begin(), kept.end(), r.replay), kept.end());

    // Not an index, an index of a newer version, and lines that are not records.
    EXPECT_FALSE(ParseRecords("", read, damaged, newer));
    EXPECT_EQ(damaged, 1);
    EXPECT_FALSE(ParseRecords("Quorvatide records, format 2\nanything", read, damaged, newer));
    EXPECT_TRUE(newer);
    for (const char* line :
         {"score=1", "score=-1\tdate=\tlength=0\tsettings=own\tspeed=100\tgame=1\treplay=a.qvr",
          "score=1\tdate=\tlength=0\tsettings=mine\tspeed=100\tgame=1\treplay=a.qvr",
          "score=1\tdate=\tlength=0\tsettings=own\tspeed=100\tgame=1\treplay=../a.qvr",
          "score=1\tscore=2\tdate=\tlength=0\tsettings=own\tspeed=100\tgame=1\treplay=a.qvr",
          "score=1\tdate=\tlength=0\tsettings=own\tspeed=100\tgame=0\treplay=a.qvr",
          "score=1\tdate=\tlength=0\tsettings=own\tspeed=100\tgame=1\treplay=a\\x.qvr"}) {
        EXPECT_FALSE(ParseRecords(std::string("Quorvatide records, format 1\r\n") + line + "\r\n",
                                  read, damaged, newer))
            << line;
        EXPECT_EQ(damaged, 2) << line;
    }
}

// The game's speed is a line of the replay's header only when it is not 100 %.
TEST(Records, TheReplayHeaderTellsTheSpeed) {
    TReplayHeader header = MakeReplayHeader(TSettings(), "2026-12-08 15:04:05 +0100", false);
    const std::string plain = FormatReplayHeader(header);
    EXPECT_EQ(plain.find("speed"), std::string::npos);
    header.speed = 60;
    const std::string slow = FormatReplayHeader(header);
    EXPECT_NE(slow.find("\nspeed: 60 %\n"), std::string::npos);
    for (const auto& [text, speed] : std::vector<std::pair<std::string, int>>{
             {plain, 100}, {slow, 60}, {"speed: 80%\n", 80}, {"speed: fast\n", 100}}) {
        std::string bytes = text.rfind("Quorvatide", 0) == 0
                                ? text
                                : "Quorvatide replay\nformat: 1\n" + text + "\n";
        TReplayHeader read;
        size_t at = 0;
        std::string error;
        ASSERT_TRUE(ParseReplayHeader(bytes, read, at, error)) << error;
        EXPECT_EQ(read.speed, speed) << text;
    }
}

TEST(Records, TheBestGamesReplaysOutliveThePruning) {
    const fs::path dir = FreshTempFolder("qv_records_kept_");
    // Sixty sessions a minute apart; the oldest two hold records' best games.
    for (int n = 0; n < 60; ++n) {
        char name[64], date[64];
        std::snprintf(name, sizeof name, "quorvatide-2026-01-01_%02d-%02d-00.qvr", n / 60 + 10,
                      n % 60);
        std::snprintf(date, sizeof date, "2026-01-01 %02d:%02d:00 +0000", n / 60 + 10, n % 60);
        std::ofstream(dir / name, std::ios::binary)
            << FormatReplayHeader(MakeReplayHeader(TSettings(), date, false));
    }
    const std::string folder = dir.string() + "/";
    std::string error;
    ASSERT_TRUE(PruneReplayFolder(
        NativeFiles(), folder, kReplaysKept, "2026-01-02 00:00:00 +0000", error, {},
        {"quorvatide-2026-01-01_10-00-00.qvr", "quorvatide-2026-01-01_10-01-00.qvr"}))
        << error;
    EXPECT_TRUE(fs::exists(dir / "quorvatide-2026-01-01_10-00-00.qvr"));
    EXPECT_TRUE(fs::exists(dir / "quorvatide-2026-01-01_10-01-00.qvr"));
    EXPECT_FALSE(fs::exists(dir / "quorvatide-2026-01-01_10-02-00.qvr"));
    // The newest 49 beside them, the new session's file making the fiftieth.
    size_t left = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++left;
    EXPECT_EQ(left, 2u + size_t(kReplaysKept - 1));
    fs::remove_all(dir);
}
