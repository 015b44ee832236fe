// The soak run: the headless game played for a long time on the fake clock by a seeded random
// player (menus, signs, gathers, bots, pauses, debug keys, restarts), with creatures coming out
// as fast as they can. It checks the game's invariants after every action and tick and samples
// the resident memory as it goes.
//
//   qv_soak [TICKS [SEED [DEBUG]]]    72 000 ticks (an hour of game time), seed 1 and debug
//                                     mode on by default
//
// In debug mode the creature log keeps a line for every decision step of every creature until
// the program ends, so there the memory grows with the log; with DEBUG 0 the debug keys do
// nothing and memory must level off.
// Prints a line per sample (tick, games, creatures, the creature log's lines, the heap in use,
// resident and peak resident memory in kB) and a summary; fails on a broken invariant. The
// allocator keeps pages freed in the middle of its heap, so the resident figure creeps up
// slowly over many games while the heap in use stays level.
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/invariants.h"
#include "platform/headless/headless.h"

namespace fs = std::filesystem;

namespace {

// The game's settings: creatures from every tunnel at every tick, and debug mode for its keys
// (or not).
std::string SoakSettings(int debug) {
    return "[Settings]\n"
           "FVONKELBASEEMERGE=0\nSVONKELBASEEMERGE=0\nEVONKELBASEEMERGE=0\n"
           "VONKELEMERGESWAP=1\nINITDELAY=0\nDEBUG=" +
           std::to_string(debug) + "\n";
}

// VmRSS and VmHWM of this process, in kB.
void Memory(long& rss, long& peak) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) rss = std::atol(line.c_str() + 6);
        if (line.rfind("VmHWM:", 0) == 0) peak = std::atol(line.c_str() + 6);
    }
}

class TPlayer {
public:
    TPlayer(THeadlessGame& game, uint32_t seed) : game_(game), rng_(seed) {}

    // One thing a player might do between two ticks, or nothing.
    void Act() {
        TForm1& f = game_.Form();
        const int roll = Roll(1000);
        // A pause taken during the explosions stays up over the game-over screen.
        if (f.pnlPause->Visible()) {
            if (roll < 50) game_.Key('P');
            return;
        }
        if (f.pnlSplash->Visible()) {
            if (roll < 20) game_.StartPlay();
            return;
        }
        if (f.pnlGameOver->Visible()) {
            if (roll < 20) game_.Click(450, 350);
            return;
        }
        if (f.MenuImg->Visible()) {
            // The four signs, Get and Destroy, or a miss that closes the menu.
            static constexpr int kItems[][2] = {{20, 34},  {60, 34},  {20, 75},  {60, 75},
                                                {20, 116}, {60, 116}, {140, 200}};
            if (roll < 300) {
                const auto& item = kItems[Roll(7)];
                Click(f.MenuImg->Left() + item[0], f.MenuImg->Top() + item[1]);
            }
            return;
        }
        if (f.OrbMenuImg->Visible()) {
            if (roll < 300) Click(f.OrbMenuImg->Left() + 20 + Roll(40), f.OrbMenuImg->Top() + 27);
            return;
        }
        if (roll < 60) {
            game_.MouseMove(9 + Roll(700), 9 + Roll(700));
        } else if (roll < 90) {
            ClickTile(Roll(20), Roll(20));
        } else if (roll < 95 && f.orb) {
            ClickTile(f.orb->tileX, f.orb->tileY);  // the orb menu: a bot
        } else if (roll < 97) {
            static constexpr char kKeys[] = "PPMSXZCVBANFG";
            game_.Key(kKeys[Roll(sizeof kKeys - 1)]);
        } else if (roll < 98) {
            game_.Key("pxc"[Roll(3)]);
        }
    }

private:
    int Roll(int n) { return int(rng_() % uint32_t(n)); }
    void Click(int x, int y) { game_.Click(x, y); }
    void ClickTile(int x, int y) { Click(9 + 35 * x + 17, 9 + 35 * y + 17); }

    THeadlessGame& game_;
    std::mt19937 rng_;
};

}  // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 72000;
    const uint32_t seed = argc > 2 ? uint32_t(std::atol(argv[2])) : 1;
    const int debug = argc > 3 ? std::atoi(argv[3]) : 1;

    // A folder like the build's own, with the soak's settings.
    const fs::path dir = fs::temp_directory_path() / ("qv_soak." + std::to_string(getpid()));
    fs::create_directories(dir / "Assets");
    for (const auto& entry : fs::directory_iterator(QV_SOAK_ASSETS))
        if (entry.path().filename() != "settings.ini" && entry.path().filename() != "debug.txt")
            fs::create_symlink(entry.path(), dir / "Assets" / entry.path().filename());
    std::ofstream(dir / "Assets" / "settings.ini") << SoakSettings(debug);

    int status = 0;
    {
        THeadlessOptions options;
        options.exeDir = dir;
        options.seed = seed;
        THeadlessGame game(options);
        TPlayer player(game, seed);
        const long every = std::max(1L, ticks / 60);
        long rss = 0, peak = 0, games = 1;
        bool wasOver = false;
        std::printf("%8s %6s %10s %10s %10s %10s %10s\n", "tick", "games", "creatures", "log lines",
                    "heap kB", "rss kB", "peak kB");
        const auto start = std::chrono::steady_clock::now();
        for (long t = 1; t <= ticks && status == 0; ++t) {
            player.Act();
            game.Ticks(1);
            // The headless platform's record of sound requests is the test's, not the game's.
            game.audio.log.clear();
            TForm1& f = game.Form();
            if (f.gameOver && !wasOver) ++games;
            wasOver = f.gameOver;
            const std::string broken = CheckInvariants(f);
            if (!broken.empty()) {
                std::printf("tick %ld: invariant broken: %s\n", t, broken.c_str());
                status = 1;
            }
            if (t % every == 0 || t == ticks) {
                Memory(rss, peak);
                const struct mallinfo2 heap = mallinfo2();
                std::printf("%8ld %6ld %10zu %10zu %10zu %10ld %10ld\n", t, games,
                            f.lstVonkels.size(), f.lstDebug.size(),
                            (heap.uordblks + heap.hblkhd) / 1024, rss, peak);
                std::fflush(stdout);
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Memory(rss, peak);
        std::printf(
            "%ld ticks in %.1f s: %.0f ticks/s; %ld games over; resident %ld kB, peak %ld kB\n",
            ticks, seconds, double(ticks) / seconds, games - 1, rss, peak);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return status;
}
