// The balance lab's replays: every game is recorded by the process that plays it, into a
// folder of the lab's own inside the folder asked for; the ones asked for are moved out of it at
// the end, and the rest go with it. Each is a replay like the game's own, which
// `quorvatide --check-replay` checks and `quorvatide --replay` shows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/balance/lab.h"

// "all", "worst:N" or "best:N" (N from 1); nothing for anything else.
std::optional<TKeep> ParseKeep(const std::string& text);

// The order in which games are kept. Worst: the fewest ticks survived first (a game that
// reached the cap counts above one whose orb fell on the same tick), then the lower score, then
// the lower seed. Best: the most ticks survived first, then the higher score, then the lower
// seed. Either way no two games tie, so the choice does not depend on the order of play.
bool RanksBefore(TKeep::TWhich which, const TGameResult& a, const TGameResult& b);

// The name of a game's replay: "builder-seed-000123.qvr", or with a tag (the settings file of
// a comparison, "a" or "b") "builder-a-seed-000123.qvr".
std::string ReplayFileName(const std::string& player, const std::string& tag, uint32_t seed);

// A worker's part in the choice: of the games it has played, it keeps the replays of those
// that rank first and deletes the others as it goes. The games that rank first among all are
// among those that rank first among each worker's own, whatever the number of workers.
class TReplayPruner {
public:
    explicit TReplayPruner(const TLabConfig& config) : config_(config) {}
    void Played(const TGameResult& result);

private:
    const TLabConfig& config_;
    std::vector<TGameResult> kept_;
};

// The folder the lab records into: made inside `dir` (which is made when missing), and removed
// with whatever is left in it when it goes.
class TReplayRecording {
public:
    // Throws std::runtime_error with a message fit for one line when `dir` cannot be made or
    // written.
    explicit TReplayRecording(const std::filesystem::path& dir);
    ~TReplayRecording();
    TReplayRecording(const TReplayRecording&) = delete;
    TReplayRecording& operator=(const TReplayRecording&) = delete;
    const std::filesystem::path& Dir() const { return dir_; }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path dir_, folder_;
};

struct TKeptReplay {
    std::string name;
    TGameResult game;
    bool ended = true;  // false: its worker died while playing it
};

struct TKeptReplays {
    std::vector<TKeptReplay> kept;    // in the order of `keep` (of the seeds for all)
    std::vector<std::string> errors;  // one line each: a replay asked for that is not there
};

// Moves the replays that config.keep asks for out of config.replayDir into `dir`, replacing
// files of the same names. The replay of a game that did not come to an end (its seed in
// `failed`) is kept as well, after the others, as far as it was written.
TKeptReplays KeepReplays(const TLabConfig& config, const std::filesystem::path& dir,
                         const std::vector<TGameResult>& games,
                         const std::vector<uint32_t>& failed);
