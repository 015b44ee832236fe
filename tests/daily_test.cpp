// The daily challenge: the day's seed and the UTC day; two players of a day start from the same
// board; a daily played to its end claims its score and is proven, and every kind of tampering
// is refused with its reason; the second try of a day is practice; the records' day, try,
// streak and best dailies, and the ranked dailies kept from pruning. The daily replay of
// tests/daily is proven by every build (see tests/CMakeLists.txt); QV_UPDATE_DAILY=1 makes it
// again with the game played here.
#include "replay/daily.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "core/digest.h"
#include "frontend/daily.h"
#include "frontend/front_end.h"
#include "frontend/records.h"
#include "platform/sdl/sdl_bmp.h"
#include "replay/check.h"
#include "replay/replayed_game.h"
#include "shell/screen_name.h"
#include "tests/front_rig.h"
#include "tests/harness.h"
#include "toolkit/utf8_path.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDay = "2026-12-09";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TCheckOutcome Check(const fs::path& replay) {
    return CheckReplay(PathUtf8(replay), SdlFiles(), PathUtf8(BuildExeDir()) + "/");
}

// The player's front end on a fake clock, with the player's own folders: the daily is played
// with whatever settings and speed the player has set for their own games.
struct TDailyRig : TFrontRig {
    TDailyRig()
        : TFrontRig("qv_daily_",
                    {{"settings.ini",
                      "[Settings]\nTURRETHEALTH=1\nBASEORBHEALTH=2\nEVONKELBASEEMERGE=20\n"},
                     {"options.ini", "game speed = 60\n"}}) {}
    void Advance(uint64_t ms) {
        const uint64_t end = clock.now + ms;
        while (const auto due = front->NextDue()) {
            if (*due > end) break;
            clock.now = std::max(clock.now, *due);
            front->RunDue();
        }
        clock.now = end;
    }
    // Plays the game going on to its game-over screen.
    void PlayToTheEnd() {
        for (int s = 0; s < 900 && Screen() != "game over"; ++s) Advance(1000);
        ASSERT_EQ(Screen(), "game over");
    }
};

// The game of a replay played on to its first tick of play, and its digest.
TStateDigest FirstTick(const fs::path& replay) {
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(NativeFiles(), PathUtf8(replay), error);
    EXPECT_TRUE(file) << error;
    if (!file) return {};
    TFakeClock clock;
    TSilentAudio silence;
    const TPlatform host{clock, silence, NativeFiles(), PathUtf8(BuildExeDir()) + "/"};
    auto game = TReplayedGame::Make(std::move(*file), host, silence, error);
    EXPECT_TRUE(game) << error;
    if (!game) return {};
    while (game->Game().tickCount < 1 && game->Player().Step()) {
    }
    EXPECT_EQ(game->Game().tickCount, 1);
    return TStateDigester().Take(game->Game());
}

// The digest's fields but the timers', whose due times are the player's own moments.
std::vector<TDigestField> Board(const TStateDigest& digest) {
    constexpr uint32_t kTimersField = 49;
    std::vector<TDigestField> fields;
    for (const TDigestField& f : digest.fields)
        if (f.id != kTimersField) fields.push_back(f);
    return fields;
}

TGameRecord Daily(const std::string& day, int attempt, int64_t score, std::string replay = {}) {
    TGameRecord r;
    r.date = day + " 12:00";
    r.score = score;
    r.replay = replay.empty() ? "quorvatide-" + day + "_12-00-0" + std::to_string(attempt) + ".qvr"
                              : replay;
    r.day = day;
    r.dailyTry = attempt;
    return r;
}

}  // namespace

TEST(DailyChallenge, TheSeedIsTheDaysAndTheDayIsTheUtcDate) {
    // FNV-1a (32 bits) of "Quorvatide daily 2026-12-09", as docs/replays.md gives it.
    EXPECT_EQ(DailySeed(kDay), 0x1cc0a738u);
    EXPECT_NE(DailySeed("2026-12-10"), DailySeed(kDay));
    EXPECT_EQ(DailyScoreText(1234567), "1 234 567");
    EXPECT_EQ(DailyScoreText(50), "50");
    // Real dates only.
    EXPECT_TRUE(IsDay("2028-02-29"));
    for (const char* bad :
         {"2026-02-29", "2026-13-01", "2026-12-9", "2026-12-00", "2026/12/09", "+026-12-09", ""})
        EXPECT_FALSE(IsDay(bad)) << bad;
    EXPECT_EQ(DayText(*DayNumber("2026-12-31") + 1), "2027-01-01");
    EXPECT_EQ(DayText(*DayNumber("1969-12-31")), "1969-12-31");
    // Half past midnight in Paris is still the day before in UTC; half past eleven in the evening
    // in New York is already the next.
    std::tm paris{};
    paris.tm_year = 2026 - 1900, paris.tm_mon = 11, paris.tm_mday = 10, paris.tm_min = 30;
    EXPECT_EQ(UtcDay(paris, 3600), kDay);
    std::tm newYork{};
    newYork.tm_year = 2026 - 1900, newYork.tm_mon = 11, newYork.tm_mday = 8;
    newYork.tm_hour = 23, newYork.tm_min = 30;
    EXPECT_EQ(UtcDay(newYork, -5 * 3600), kDay);
    newYork.tm_hour = 18;
    EXPECT_EQ(UtcDay(newYork, -5 * 3600), "2026-12-08");
}

TEST(DailyChallenge, StartsFromTheCommandLineAlone) {
    EXPECT_EQ(ParseCommandLine({"--daily"}).mode, TRunMode::Daily);
    EXPECT_EQ(ParseCommandLine({"--daily", "--replay", "a.qvr"}).error,
              "--daily goes alone (see quorvatide --help)");
    EXPECT_EQ(ParseCommandLine({"--daily=2026-12-09"}).error,
              "--daily takes no value (see quorvatide --help)");
    // The lesson starts the same way, and the two do not go together.
    EXPECT_EQ(ParseCommandLine({"--learn"}).mode, TRunMode::Learn);
    EXPECT_EQ(ParseCommandLine({"--continue", "--learn"}).error,
              "--learn goes alone (see quorvatide --help)");
    EXPECT_EQ(ParseCommandLine({"--learn", "--daily"}).error,
              "--daily and --learn do not go together (see quorvatide --help)");
}

TEST(DailyChallenge, TwoPlayersWithDifferentInputStartFromTheSameBoard) {
    std::vector<fs::path> replays;
    for (const int player : {0, 1, 2}) {
        TDailyRig rig;
        PlayDaily(*rig.front, player < 2 ? kDay : "2026-12-10");
        // Each moves about the title screen in a way of its own, and begins at its own moment.
        rig.clock.seed = 100 + player;
        for (int i = 0; i < 5 + 20 * player; ++i) {
            rig.front->Dispatch(
                TDispatch::MouseMove(50 + i * (7 + player), 80 + i * 3, TShiftState()));
            rig.Advance(37 + 90 * player);
        }
        rig.Click(200 + 150 * player, 300 + 50 * player);
        ASSERT_EQ(rig.Screen(), "play");
        rig.Advance(2000);
        rig.front->Close();
        const std::vector<fs::path> files = rig.Replays();
        ASSERT_EQ(files.size(), 1u);
        replays.push_back(rig.dir.parent_path() / ("daily_first_tick_" + std::to_string(player) +
                                                   "_" + files[0].filename().string()));
        fs::copy_file(files[0], replays.back(), fs::copy_options::overwrite_existing);
    }
    const TStateDigest a = FirstTick(replays[0]), b = FirstTick(replays[1]),
                       other = FirstTick(replays[2]);
    ASSERT_FALSE(a.fields.empty());
    EXPECT_EQ(Board(a), Board(b)) << DescribeDigestDifference(a, b);
    EXPECT_NE(a, b) << "the two players' timers run from their own moments";
    EXPECT_NE(Board(a), Board(other)) << "another day is another board";
    for (const fs::path& r : replays) fs::remove(r);
}

TEST(DailyChallenge, AGameToItsEndIsProvenAndTamperingIsRefusedWithItsReason) {
    TDailyRig rig;
    PlayDaily(*rig.front, kDay);
    rig.Click(358, 358);
    rig.PlayToTheEnd();
    const int64_t score = rig.Game().score;
    // The game's record is the day's ranked try, played as the day's game whatever the player's
    // own settings and speed.
    ASSERT_EQ(rig.front->Records().games.size(), 1u);
    const TGameRecord record = rig.front->Records().games[0];
    EXPECT_EQ(record.day, kDay);
    EXPECT_EQ(record.dailyTry, 1);
    EXPECT_EQ(record.score, score);
    EXPECT_FALSE(record.ownSettings);
    EXPECT_EQ(record.speed, 100);
    // The click on the game-over screen ends the daily's session: the player's own game comes,
    // under the daily's screen.
    rig.Click(358, 358);
    EXPECT_EQ(rig.Screen(), "splash");
    EXPECT_TRUE(rig.front->MenuOpen());
    rig.front->Close();
    const fs::path replay = rig.dir / "state" / "replays" / record.replay;
    const std::string bytes = ReadFile(replay);
    ASSERT_NE(bytes.find("daily: 2026-12-09, try 1\nclaimed: score " + std::to_string(score) +
                         "\nsetting: "),
              std::string::npos)
        << bytes.substr(0, 300);

    const TCheckOutcome proven = Check(replay);
    EXPECT_EQ(proven.status, 0) << proven.message;
    EXPECT_EQ(proven.message, PathUtf8(replay) + ": daily 2026-12-09, try 1: score " +
                                  DailyScoreText(score) + ", proven");
    if (std::getenv("QV_UPDATE_DAILY")) {
        WriteFile(fs::path(QV_SOURCE_DIR) / "tests/daily/daily-2026-12-09.qvr", bytes);
        WriteFile(fs::path(QV_SOURCE_DIR) / "tests/daily/proven.txt",
                  proven.message.substr(PathUtf8(replay).size() + 2) + "\n");
    }

    const auto refused = [&](const std::string& what, const std::string& tampered) {
        const fs::path file = rig.dir / (what + ".qvr");
        WriteFile(file, tampered);
        const TCheckOutcome outcome = Check(file);
        EXPECT_EQ(outcome.status, 1) << what << ": " << outcome.message;
        return outcome.message.substr(PathUtf8(file).size() + 2);
    };
    const auto replaced = [&bytes](const std::string& from, const std::string& to) {
        std::string s = bytes;
        const size_t at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? s : s.replace(at, from.size(), to);
    };
    EXPECT_EQ(
        refused("date", replaced("daily: 2026-12-09", "daily: 2026-12-10")),
        "daily 2026-12-10, try 1: not proven: the seed does not follow from the day: "
        "2026-12-10 gives " +
            [] {
                char hex[16];
                std::snprintf(hex, sizeof hex, "%08x", DailySeed("2026-12-10"));
                return std::string(hex);
            }() +
            ", the recording has 1cc0a738");
    EXPECT_EQ(refused("setting", replaced("setting: TURRETHEALTH = ", "setting: TURRETHEALTH = 9")),
              "daily 2026-12-09, try 1: not proven: the settings are not the shipped ones: "
              "TURRETHEALTH = 9" +
                  SettingText(TSettings(), *FindSettingKey("TURRETHEALTH")) + ", shipped " +
                  SettingText(TSettings(), *FindSettingKey("TURRETHEALTH")));
    EXPECT_EQ(refused("speed", replaced("daily:", "speed: 75 %\ndaily:")),
              "daily 2026-12-09, try 1: not proven: the speed is 75 %, not 100 %");
    // Its last records cut off, the header still claiming the score.
    const std::string cut = refused("cut", bytes.substr(0, bytes.size() * 2 / 3));
    EXPECT_EQ(cut.rfind("daily 2026-12-09, try 1: not proven: the game does not end in the "
                        "recording (it stops at tick ",
                        0),
              0u)
        << cut;
    EXPECT_NE(cut.find(", claiming " + DailyScoreText(score) + ")"), std::string::npos) << cut;
    EXPECT_EQ(refused("claim", replaced("claimed: score " + std::to_string(score),
                                        "claimed: score " + std::to_string(score + 100))),
              "daily 2026-12-09, try 1: not proven: its game ends with score " +
                  DailyScoreText(score) + ", not the " + DailyScoreText(score + 100) +
                  " it claims");
    EXPECT_EQ(refused("unclaimed", replaced("claimed: score " + std::to_string(score) + "\n", "")),
              "daily 2026-12-09, try 1: not proven: it claims no score: its session did not end "
              "after the game");
    EXPECT_EQ(
        refused("newer", replaced("format: 1", "format: 9"))
            .rfind("not proven as a daily: it cannot be played: recorded by a newer version", 0),
        0u);
    // Claiming twice keeps one claim.
    ASSERT_EQ(WriteDailyClaim(NativeFiles(), PathUtf8(replay), score), 0);
    EXPECT_EQ(ReadFile(replay), bytes);
}

TEST(DailyChallenge, ASecondTryIsPracticeAndATryLeftMidGameCounts) {
    TDailyRig rig;
    PlayDaily(*rig.front, kDay);
    rig.Click(358, 358);
    rig.PlayToTheEnd();
    // Practice from the daily's game-over screen: the ranked try's session ends first (it claims
    // its score), and the next is try 2.
    PlayDaily(*rig.front, kDay);
    rig.Click(358, 358);
    rig.Advance(3000);
    // Left mid-game for another try: no record, but its replay names try 2.
    PlayDaily(*rig.front, kDay);
    rig.front->Close();
    // Each replay names its try; only the ranked one, played to its end, is proven.
    std::vector<std::string> notes;
    for (const fs::path& replay : rig.Replays()) {
        std::string error;
        const auto file = LoadReplay(NativeFiles(), PathUtf8(replay), error);
        ASSERT_TRUE(file) << error;
        const std::optional<TDailyNote> note = ReadDailyNote(file->header);
        ASSERT_TRUE(note);
        notes.push_back(DailyNoteText(*note));
        EXPECT_EQ(Check(replay).status, note->attempt == 1 ? 0 : 1) << Check(replay).message;
    }
    std::sort(notes.begin(), notes.end());
    EXPECT_EQ(notes, (std::vector<std::string>{"2026-12-09, try 1", "2026-12-09, try 2",
                                               "2026-12-09, try 3"}));
    const std::vector<TGameRecord>& games = rig.front->Records().games;
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(RankedDaily(games, kDay)->score, games[0].score);
    EXPECT_FALSE(BestPractice(games, kDay));
    // The records made again from the replays know the day and the try.
    fs::remove(rig.dir / "state" / kRecordsFileName);
    std::string warning;
    const TRecords rebuilt = LoadRecords(NativeFiles(), rig.State(), warning);
    ASSERT_EQ(rebuilt.games.size(), 1u) << warning;
    EXPECT_EQ(rebuilt.games[0].replay, games[0].replay);
    EXPECT_EQ(rebuilt.games[0].score, games[0].score);
    EXPECT_EQ(rebuilt.games[0].day, kDay);
    EXPECT_EQ(rebuilt.games[0].dailyTry, 1);
}

TEST(DailyChallenge, RecordsShowTheRankedTriesTheirStreakAndKeepTheirReplays) {
    std::vector<TGameRecord> games = {
        Daily("2026-12-05", 1, 900),  Daily("2026-12-07", 1, 300), Daily("2026-12-07", 2, 5000),
        Daily("2026-12-08", 1, 1200), Daily("2026-12-09", 2, 700), Daily("2026-12-09", 1, 400),
    };
    // Practice is never ranked; of the ranked, the best first.
    const std::vector<TGameRecord> best = BestDailies(games, 3);
    ASSERT_EQ(best.size(), 3u);
    EXPECT_EQ(best[0].score, 1200);
    EXPECT_EQ(best[1].score, 900);
    EXPECT_EQ(best[2].score, 400);
    EXPECT_EQ(RankedDaily(games, "2026-12-09")->score, 400);
    EXPECT_EQ(BestPractice(games, "2026-12-07")->score, 5000);
    EXPECT_EQ(DailyShareLine(*RankedDaily(games, "2026-12-08")),
              "Quorvatide daily 2026-12-08: 1 200");
    // The streak runs up to today, or up to yesterday while today's try is to come.
    EXPECT_EQ(DailyStreak(games, "2026-12-09"), 3);
    EXPECT_EQ(DailyStreak(games, "2026-12-10"), 3);
    EXPECT_EQ(DailyStreak(games, "2026-12-11"), 0);
    games.erase(games.begin() + 5);  // today's ranked try not played yet: only practice
    EXPECT_EQ(DailyStreak(games, "2026-12-09"), 2);

    // Kept from pruning: the ranked dailies of the 30 latest days, and the 10 best.
    std::vector<TGameRecord> many;
    for (int d = 0; d < 40; ++d) {
        many.push_back(Daily(DayText(*DayNumber("2026-01-01") + d), 1, d == 0 ? 99999 : d));
        many.push_back(Daily(many.back().day, 2, 1000000 + d));
    }
    const std::vector<std::string> kept = KeptReplays(many);
    const auto keeps = [&kept](const std::string& day, int attempt) {
        return std::find(kept.begin(), kept.end(),
                         "quorvatide-" + day + "_12-00-0" + std::to_string(attempt) + ".qvr") !=
               kept.end();
    };
    EXPECT_TRUE(keeps("2026-01-01", 1)) << "the best ranked daily";
    EXPECT_TRUE(keeps("2026-02-09", 1)) << "the latest";
    EXPECT_TRUE(keeps("2026-01-11", 1)) << "the 30th latest";
    EXPECT_FALSE(keeps("2026-01-05", 1));
    EXPECT_TRUE(keeps("2026-02-09", 2)) << "a practice among the best games of all";

    // The index holds the day and the try; an older index without them still reads.
    std::vector<TGameRecord> read;
    int damaged = 0;
    bool newer = false;
    ASSERT_TRUE(ParseRecords(FormatRecords(games), read, damaged, newer)) << damaged;
    EXPECT_EQ(read, games);
    ASSERT_TRUE(
        ParseRecords("Quorvatide records, format 1\nscore=5\tdate=\tlength=0\t"
                     "settings=shipped\tspeed=100\tgame=1\treplay=a.qvr\n",
                     read, damaged, newer));
    EXPECT_TRUE(read[0].day.empty());
    // A day without its try, or a day that is none, is a damaged line.
    for (const char* bad :
         {"\tday=2026-12-09", "\tday=2026-02-30\ttry=1", "\tday=2026-12-09\ttry=0"})
        EXPECT_FALSE(ParseRecords(std::string("Quorvatide records, format 1\nscore=5\tdate=\t"
                                              "length=0\tsettings=shipped\tspeed=100\tgame=1\t"
                                              "replay=a.qvr") +
                                      bad + "\n",
                                  read, damaged, newer))
            << bad;
}
