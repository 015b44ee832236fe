// The balance lab: plays whole games headless with a chosen player and a chosen settings.ini,
// and measures what happened in each. The game is the real window on a fake clock; the player
// only looks at it and acts through the mouse and keyboard handlers a person uses.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

// A tick is 50 ms of game time.
constexpr int kLabTickMs = 50;

// The player's hands: everything goes to the game's own input dispatch, and may be recorded.
class TLabInput {
public:
    explicit TLabInput(THeadlessGame& game) : game_(game) {}

    void MouseMove(int x, int y);
    void MouseDown(int x, int y, TMouseButton button = TMouseButton::Left);
    void MouseUp(int x, int y, TMouseButton button = TMouseButton::Left);
    // A move to (x, y), then the button pressed and let go there.
    void Click(int x, int y, TMouseButton button = TMouseButton::Left);
    void Key(char key);

    // Window coordinates of the middle of a playfield tile.
    static int TileX(int tileX) { return 9 + 35 * tileX + 17; }
    static int TileY(int tileY) { return 9 + 35 * tileY + 17; }
    void ClickTile(int tileX, int tileY) { Click(TileX(tileX), TileY(tileY)); }

private:
    THeadlessGame& game_;
};

// A player: called once before every tick of play, it looks at the game (read only) and acts
// through its input.
class TPlayer {
public:
    virtual ~TPlayer() = default;
    virtual void Act(const TForm1& game, TLabInput& input) = 0;
};

// The players there are, by name, in the order --help lists them.
const std::vector<std::string>& PlayerNames();
// A player by name, seeded for one game; nullptr for an unknown name.
std::unique_ptr<TPlayer> MakePlayer(const std::string& name, uint32_t seed);

// What happened in one game.
struct TGameResult {
    uint32_t seed = 0;
    int ticks = 0;          // ticks of play until the orb fell, or the cap
    bool survived = false;  // reached the cap with the orb standing
    int score = 0;
    int killsByTurrets = 0, killsByCreatures = 0;
    int scrapGathered = 0;  // paid for gathered objects
    int scrapSpent = 0;     // paid for signs and bots (refunds not counted against it)
    int signsBuilt = 0;     // signs a bot finished building
    int botsBought = 0;
    int hatredSwitches = 0;
    int turretsAtEnd = 4;
    // The tick at which the first, second, ... base turret fell; -1 while it stands.
    std::array<int, 4> turretLost{-1, -1, -1, -1};
    bool operator==(const TGameResult&) const = default;

    // Base turrets standing after `tick` ticks of play (none once the orb has fallen).
    int TurretsAt(int tick) const;
    // The tick at which the nth base turret fell (from 0), or the ticks of the game if it
    // stood to the end.
    int TurretFalls(int nth) const;
};

// Which games' replays are kept: every one, or the `count` that rank first from the worst end
// or the best (see RanksBefore in replays.h).
struct TKeep {
    enum TWhich { All, Worst, Best };
    TWhich which = All;
    size_t count = 0;
    bool operator==(const TKeep&) const = default;
};

struct TLabConfig {
    // Folder holding the Assets folder (with the settings.ini to play).
    std::filesystem::path exeDir;
    std::string player = "idle";
    int capTicks = 12000;
    // When set, every game is recorded into this folder as ReplayFileName(player, replayTag,
    // seed), and the player of many games deletes as it goes the replays `keep` has no use for.
    std::filesystem::path replayDir;
    std::string replayTag;
    TKeep keep;
};

// Plays one game of `config` with `seed`, recorded into config.replayDir when that is set (a
// replay whose writing failed is removed, with a line on stderr). With `record` set, every input
// the player gives (and the splash click that starts play) is appended to it, with its time;
// `atEnd` is shown the game as it is when play stops.
TGameResult PlayGame(const TLabConfig& config, uint32_t seed,
                     std::vector<TDispatch>* record = nullptr,
                     const std::function<void(const TForm1&)>& atEnd = nullptr);

// Plays one game per seed on `jobs` worker processes (in this process when jobs is 1) and
// returns the results in the order of the seeds, whatever the number of jobs. `progress` is
// called with the number of games done so far. A worker that dies leaves its games marked in
// `failed` (their seeds), and their results stay default; the replay of the game it was
// playing stays as far as it was written. With config.replayDir set, the replays left there
// are those of every game, or with config.keep of worst:N or best:N those of the N games that
// rank first among each worker's own (which always hold the N that rank first among all).
std::vector<TGameResult> PlayGames(const TLabConfig& config, const std::vector<uint32_t>& seeds,
                                   int jobs, const std::function<void(int)>& progress,
                                   std::vector<uint32_t>* failed = nullptr);

// One game's result as a line of numbers and back, for the workers' pipes.
std::string EncodeResult(const TGameResult& result);
bool DecodeResult(const std::string& line, TGameResult& result);

// An executable folder whose Assets folder holds `settings` and links every other file of
// `assets`; removed again when it goes.
class TLabAssets {
public:
    // Throws std::runtime_error with a message when the settings file cannot be read or the
    // folder cannot be made.
    TLabAssets(const std::filesystem::path& assets, const std::filesystem::path& settings);
    ~TLabAssets();
    TLabAssets(const TLabAssets&) = delete;
    TLabAssets& operator=(const TLabAssets&) = delete;
    const std::filesystem::path& ExeDir() const { return exeDir_; }

private:
    std::filesystem::path exeDir_;
};
