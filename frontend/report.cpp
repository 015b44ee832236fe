#include "frontend/report.h"

#include <algorithm>
#include <optional>
#include <set>

#include "core/digest.h"
#include "frontend/records.h"
#include "replay/replayed_game.h"

namespace {

constexpr uint64_t kTickMs = 50;
constexpr uint64_t kSampleEveryMs = 1000;
// The digest field of the score (core/digest.cpp numbers them for good).
constexpr uint32_t kScoreField = 4;

// The game's clock is the recording's: the host's is never read.
class TNoClock : public IClock {
public:
    uint64_t NowMs() override { return 0; }
    uint32_t RandomSeed() override { return 0; }
};

// What the recording tells without playing it: the games it holds, and the one of them with
// the best score at its end (of equal scores the earlier; with none ended, the last).
struct TGamesHeld {
    int games = 0;
    int best = 0;
};

TGamesHeld GamesHeld(const TReplayFile& file) {
    TGamesHeld held;
    std::optional<uint64_t> bestScore;
    TRecordDecoder decoder(file.body);
    while (const std::optional<TRecord> r = decoder.Next()) {
        if (r->kind != TRecordKind::Digest) continue;
        held.games = std::max(held.games, r->game);
        if (r->when != TDigestWhen::GameEnd) continue;
        for (const auto& [id, value] : r->fields)
            if (id == kScoreField && (!bestScore || int64_t(value) > int64_t(*bestScore))) {
                bestScore = value;
                held.best = r->game;
            }
    }
    held.games = std::max(held.games, 1);
    if (!bestScore) held.best = held.games;
    return held;
}

// Reads the game asked for after every dispatch of it; only reads.
class TSampler {
public:
    explicit TSampler(int game) : game_(game) {}

    // The game as it begins: the window as made, for the first game; for a later one, as the
    // dispatch that left the last game over for it made the fresh board.
    void Begin(const TForm1& g) {
        begun_ = true;
        startTick_ = g.tickCount;
        turretKills_ = g.killsByTurrets;
        creatureKills_ = g.killsByCreatures;
        startBots_ = g.lstBots.size();
        mostBots_ = startBots_;
        cash_ = g.cash;
        built_.clear();
        report_.samples.assign(1, Sample(g, 0));
        nextSample_ = kSampleEveryMs;
    }

    void After(const TGameSession& session) {
        if (done_ || session.Games() < game_) return;
        const TForm1& g = session.Game();
        if (!begun_) {
            Begin(g);
            return;
        }
        if (g.cash > cash_) report_.scrapGathered += g.cash - cash_;
        if (g.cash < cash_) report_.scrapSpent += cash_ - g.cash;
        cash_ = g.cash;
        for (const auto& sign : g.lstSigns)
            if (sign->layer->Bitmap().MasterAlpha() == kBuiltSignAlpha) built_.insert(sign->id);
        mostBots_ = std::max(mostBots_, g.lstBots.size());
        for (const uint64_t now = GameMs(g); nextSample_ <= now; nextSample_ += kSampleEveryMs)
            report_.samples.push_back(Sample(g, nextSample_));
        if (session.GameEnded()) {
            report_.ended = true;
            Finish(g);
        }
    }

    bool Done() const { return done_; }
    bool Begun() const { return begun_; }

    // The report as far as the game went.
    TGameReport Finish(const TForm1& g) {
        if (!done_) {
            done_ = true;
            report_.game = game_;
            report_.score = g.score;
            report_.lengthMs = GameMs(g);
            report_.killsByTurrets = g.killsByTurrets - turretKills_;
            report_.killsByCreatures = g.killsByCreatures - creatureKills_;
            report_.signsBuilt = int(built_.size());
            report_.botsBought = int(mostBots_ - std::min(mostBots_, startBots_));
            if (report_.samples.empty() || report_.samples.back().ms < report_.lengthMs)
                report_.samples.push_back(Sample(g, report_.lengthMs));
        }
        return report_;
    }

private:
    uint64_t GameMs(const TForm1& g) const {
        return uint64_t(std::max(g.tickCount - startTick_, 0)) * kTickMs;
    }
    static TReportSample Sample(const TForm1& g, uint64_t ms) {
        return {ms, g.score, g.cash, int(g.lstVonkels.size())};
    }

    const int game_;
    bool begun_ = false, done_ = false;
    int startTick_ = 0, turretKills_ = 0, creatureKills_ = 0;
    size_t startBots_ = 0, mostBots_ = 0;
    int64_t cash_ = 0;
    std::set<int> built_;
    uint64_t nextSample_ = kSampleEveryMs;
    TGameReport report_;
};

}  // namespace

TReportOutcome MakeReportOf(TReplayFile file, const std::string& name, IFiles& files,
                            const std::string& exeDir, int game) {
    TReportOutcome outcome;
    const auto fail = [&](int status, const std::string& why) {
        outcome.status = status;
        outcome.message = name + ": " + why;
        return outcome;
    };
    const TGamesHeld held = GamesHeld(file);
    if (game == 0) game = held.best;
    if (game < 1 || game > held.games)
        return fail(2, "there is no game " + std::to_string(game) + " in it (it holds " +
                           std::to_string(held.games) + (held.games == 1 ? " game)" : " games)"));

    TNoClock noClock;
    TSilentAudio silence;
    const TPlatform host{noClock, silence, files, exeDir};
    std::string error;
    auto replay = TReplayedGame::Make(std::move(file), host, silence, error);
    if (!replay) return fail(2, error);
    TSampler sampler(game);
    TSessionPlayer& player = replay->Player();
    uint64_t startTime = player.FirstTime();
    if (game == 1) sampler.Begin(replay->Game());
    TGameSession& session = replay->Session();
    session.onDispatched = [&sampler, &session, &player, &startTime] {
        const bool begun = sampler.Begun();
        sampler.After(session);
        if (!begun && sampler.Begun()) startTime = player.PlayedTime();
    };
    while (!sampler.Done() && player.Step()) {
    }
    session.onDispatched = nullptr;
    if (player.Damaged()) return fail(2, player.Problem());
    if (player.Desynced()) return fail(1, "does not play as recorded: " + player.Problem());
    if (!sampler.Begun()) sampler.Begin(replay->Game());
    outcome.report = sampler.Finish(replay->Game());
    outcome.report.games = held.games;
    outcome.report.startTime = startTime;
    return outcome;
}

TReportOutcome MakeReport(const std::string& path, IFiles& files, const std::string& exeDir,
                          int game) {
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(files, path, error);
    if (!file) {
        TReportOutcome outcome;
        outcome.status = 2;
        outcome.message = path + ": " + error;
        return outcome;
    }
    return MakeReportOf(std::move(*file), path, files, exeDir, game);
}

std::vector<std::string> ReportLines(const TGameReport& r) {
    const std::string length = MinutesSeconds(r.lengthMs, 1);
    return {
        "game " + std::to_string(r.game) + " of " + std::to_string(r.games) + ", " +
            (r.ended ? "played to its end in " + length
                     : "not ended: the recording stops after " + length),
        "score: " + GroupedNumber(r.score),
        "kills: " + std::to_string(r.killsByTurrets) + " by turrets, " +
            std::to_string(r.killsByCreatures) + " by creatures",
        "signs built: " + std::to_string(r.signsBuilt) +
            ", bots bought: " + std::to_string(r.botsBought),
        "scrap: " + GroupedNumber(r.scrapGathered) + " gathered, " + GroupedNumber(r.scrapSpent) +
            " spent",
    };
}
