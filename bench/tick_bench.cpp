// Tick benchmark: the real game window (TForm1) run headless on a fake clock with silent audio
// and the build's generated Assets, timed tick by tick. Each tick is the host's work for one
// 50 ms step: the clock moves on 50 ms and the due timers fire (the tick with spawning,
// creatures, effects, turrets and bots); the frame it causes is the Compose that follows.
// Every tick and every frame is timed on its own, and the table gives the median, the 99th
// percentile and the largest of each scene.
//
//   qv_bench_tick [scene ...] [--warmup=TICKS] [--measure=TICKS] [--record] [--pointer]
//
// With --pointer the pad's and the keyboard's pointer moves one tile on every tick, left and
// right in turns of eight, as mouse moves handed to the session, inside the timed tick.
//
// With --record every run is recorded into a replay file as the real program records a
// session: the game's clock readings, its dispatches, a digest every 100 ticks and a
// compressed write to the file every second of game time, all inside the timed tick.
//
// Scenes: 100, 1000, 5000 (that many creatures on the board, held there), swarm (every
// emergence interval 0, the base made to stand, 2000 ticks) and swarm-default (the same with
// the default turret and orb health, until the orb falls). No scene named: all of them.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/form1.h"
#include "platform/native.h"
#include "replay/recording_session.h"
#include "shell/grid_pointer.h"
#include "toolkit/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kTickMs = 50;
// The splash screen's click area, in window coordinates.
constexpr int kSplashX = 358, kSplashY = 358;
// Health that no amount of fire in these runs wears down: the base stands and play goes on.
constexpr const char* kUnbreakableBase =
    "TURRETHEALTH=2000000000\n"
    "BASEORBHEALTH=2000000000\n";
constexpr int kSwarmTicks = 2000;
constexpr uint32_t kPlacementSeed = 20240612;

// Goals on the reference machine, in milliseconds.
constexpr double kTickGoal1000 = 1.0;
constexpr double kSwarmFrameGoal = 25.0;

class TBenchClock : public IClock {
public:
    uint64_t now = 1000;
    uint64_t NowMs() override { return now; }
    uint32_t RandomSeed() override { return 1; }
};

// An executable folder whose Assets folder links every file of the build's Assets and holds a
// settings.ini of its own; removed again at the end.
class TExeDir {
public:
    explicit TExeDir(const std::string& settings) {
        std::string pattern = (fs::temp_directory_path() / "qv_bench_tick_XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("qv_bench_tick: mkdtemp");
            std::exit(1);
        }
        dir_ = pattern;
        const fs::path assets = dir_ / "Assets";
        const fs::path built = fs::path(QV_BUILD_DIR) / "Assets";
        fs::create_directories(assets);
        if (!fs::exists(built / "settings.ini")) {
            std::fprintf(stderr, "qv_bench_tick: no generated Assets in %s\n", built.c_str());
            std::exit(1);
        }
        for (const auto& entry : fs::directory_iterator(built))
            if (entry.is_regular_file() && entry.path().filename() != "settings.ini")
                fs::create_symlink(entry.path(), assets / entry.path().filename());
        std::ofstream(assets / "settings.ini") << "[Settings]\n" << settings;
    }
    ~TExeDir() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    TExeDir(const TExeDir&) = delete;
    TExeDir& operator=(const TExeDir&) = delete;
    std::string Path() const { return dir_.string() + "/"; }

private:
    fs::path dir_;
};

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Whether runs are recorded (--record).
bool recordRuns = false;
// Whether the pointer moves on every tick (--pointer).
bool pointerMoves = false;

// One game in play, driven the way the window's host drives it: through a recorder, which
// records the session or only passes everything on.
class TGame {
public:
    explicit TGame(const std::string& settings) : exeDir_(settings) {
        TRecordingOptions options;
        options.record = recordRuns;
        options.path = exeDir_.Path() + "run.qvr";
        options.date = "bench";
        session_ = std::make_unique<TRecordingSession>(platform_, options);
        if (recordRuns && !session_->Recorder().Recording()) std::exit(1);
        form = &session_->Game();
        TShiftState pressed;
        pressed.left = true;
        session_->Dispatch(TDispatch::MouseMove(kSplashX, kSplashY, {}));
        session_->Dispatch(TDispatch::MouseDown(kSplashX, kSplashY, TMouseButton::Left, pressed));
        session_->Dispatch(TDispatch::MouseUp(kSplashX, kSplashY, TMouseButton::Left, {}));
        if (!form->tmrTick->Enabled()) {
            std::fprintf(stderr, "qv_bench_tick: the splash click did not start play\n");
            std::exit(1);
        }
        // The first frame paints the whole window; play frames repaint what changed.
        form->Compose();
        if (pointerMoves)
            pointer_ = std::make_unique<TGridPointer>(
                [this] { return form; }, [this](const TDispatch& d) { session_->Dispatch(d); });
    }

    // 50 ms pass: the due timers fire, then the frame is composed; `repainted` is the number of
    // window pixels the frame painted again. Returns false when no tick ran (play has stopped).
    bool Step(double& tickMs, double& frameMs, double& repainted) {
        clock_.now += kTickMs;
        const int before = form->tickCount;
        const auto start = TClock::now();
        if (pointer_) {
            const TPointerDir dir = (moves_++ / 8) % 2 ? TPointerDir::Left : TPointerDir::Right;
            pointer_->Press(TPointerSource::Keys, dir, clock_.now);
            pointer_->Release(TPointerSource::Keys, dir);
            if (!pointer_->Highlight()) std::exit(1);
        }
        session_->Dispatch(TDispatch::Timers());
        tickMs = MsSince(start);
        const auto composed = TClock::now();
        const std::vector<TRect> rects = form->Compose();
        frameMs = MsSince(composed);
        repainted = 0;
        for (const TRect& r : rects) repainted += double(r.Width()) * r.Height();
        return form->tickCount != before;
    }

    ~TGame() {
        session_->Close();
        session_.reset();  // while the platform it runs on is still there
    }

    TForm1* form = nullptr;

private:
    TExeDir exeDir_;
    TBenchClock clock_;
    TSilentAudio audio_;
    TPlatform platform_{clock_, audio_, NativeFiles(), exeDir_.Path()};
    std::unique_ptr<TRecordingSession> session_;
    std::unique_ptr<TGridPointer> pointer_;
    int moves_ = 0;
};

// ---------------------------------------------------------------- figures

struct TFigures {
    double median = 0, p99 = 0, max = 0;
};

// Nearest-rank percentiles.
TFigures FiguresOf(std::vector<double> samples) {
    TFigures f;
    if (samples.empty()) return f;
    std::sort(samples.begin(), samples.end());
    const auto rank = [&samples](double q) {
        const size_t n = samples.size();
        const size_t k = size_t(std::max(1.0, std::ceil(q * double(n))));
        return samples[std::min(n, k) - 1];
    };
    f.median = rank(0.5);
    f.p99 = rank(0.99);
    f.max = samples.back();
    return f;
}

struct TSceneResult {
    std::string name;
    std::vector<double> tick, frame, both, repainted;
    size_t fewestCreatures = SIZE_MAX, mostCreatures = 0;
    size_t mostEffects = 0, mostLayers = 0;
    std::string note;

    void Add(const TForm1& form, double tickMs, double frameMs, double pixels) {
        tick.push_back(tickMs);
        repainted.push_back(pixels);
        frame.push_back(frameMs);
        both.push_back(tickMs + frameMs);
        fewestCreatures = std::min(fewestCreatures, form.lstVonkels.size());
        mostCreatures = std::max(mostCreatures, form.lstVonkels.size());
        mostEffects = std::max(mostEffects, form.lstEffects.size());
        mostLayers = std::max(mostLayers, size_t(form.Playfield->LayerCount()));
    }
};

// ---------------------------------------------------------------- the scenes

struct TOptions {
    int warmup = 300;
    int measure = 400;
};

// Makes creatures through the game's own spawning, a kind at a time in turn, until there are
// `count`, and puts each on a tile drawn from the whole board: its first march done, on its
// way to the orb, at a random point of its pace so that the decision steps spread over the
// ticks.
void FillTo(TForm1& form, size_t count, std::mt19937& rng) {
    TSpawner* const spawners[3] = {&form.spawnE, &form.spawnS, &form.spawnF};
    std::uniform_int_distribution<int> tile(0, 19);
    size_t turn = form.lstVonkels.size();
    while (form.lstVonkels.size() < count) {
        TSpawner& spawner = *spawners[turn++ % 3];
        const int every = spawner.emergeEvery;
        spawner.emergeEvery = -1;  // due now
        form.SpawnFrom(spawner);
        spawner.emergeEvery = every;
        TVonkel& v = *form.lstVonkels.back();
        v.SetTileX(tile(rng));
        v.SetTileY(tile(rng));
        v.pixelX = float(kTileSize * v.tileX);
        v.pixelY = float(kTileSize * v.tileY);
        v.forceY = 0;
        v.lookBegun = true;
        v.goalX = 9;
        v.goalY = 1;
        v.stepTicks = std::uniform_int_distribution<int>(0, std::max(0, v.speed - 1))(rng);
        v.Redraw();
    }
}

// `count` creatures on the board for the whole run. The tunnels themselves stay shut (their
// intervals are huge); creatures lost in a tick are made again before the next one, and the
// frame of those untimed changes is composed before the next tick too, so each timed frame
// shows only what its tick changed.
TSceneResult RunCrowd(size_t count, const TOptions& options) {
    TGame game(std::string(kUnbreakableBase) +
               "FVONKELBASEEMERGE=2000000000\n"
               "SVONKELBASEEMERGE=2000000000\n"
               "EVONKELBASEEMERGE=2000000000\n"
               "VONKELEMERGESWAP=0\n");
    TForm1& form = *game.form;
    std::mt19937 rng(kPlacementSeed);
    TSceneResult r;
    r.name = std::to_string(count) + " creatures";
    double tickMs = 0, frameMs = 0, pixels = 0;
    for (int t = 0; t < options.warmup + options.measure; ++t) {
        FillTo(form, count, rng);
        form.Compose();
        if (!game.Step(tickMs, frameMs, pixels)) {
            std::fprintf(stderr, "qv_bench_tick: play stopped in the %zu-creature scene\n", count);
            std::exit(1);
        }
        if (t >= options.warmup) r.Add(form, tickMs, frameMs, pixels);
    }
    return r;
}

// Every tunnel lets out a creature every tick. With `standingBase` the turrets and the orb
// cannot be worn down and play runs kSwarmTicks ticks; without it they have their default
// health and the run ends when the orb has fallen and play stops.
TSceneResult RunSwarm(bool standingBase) {
    TGame game(std::string(standingBase ? kUnbreakableBase : "") +
               "FVONKELBASEEMERGE=0\n"
               "SVONKELBASEEMERGE=0\n"
               "EVONKELBASEEMERGE=0\n");
    TForm1& form = *game.form;
    TSceneResult r;
    r.name = standingBase ? "swarm, base stands" : "swarm, default health";
    double tickMs = 0, frameMs = 0, pixels = 0;
    int ticks = 0;
    while (ticks < kSwarmTicks && game.Step(tickMs, frameMs, pixels)) {
        ++ticks;
        r.Add(form, tickMs, frameMs, pixels);
    }
    // The tick in which the orb's last explosion ends the game is among those timed.
    if (form.gameOver) r.note = "play stopped after " + std::to_string(form.tickCount) + " ticks";
    return r;
}

// ---------------------------------------------------------------- report

void PrintRow(const TSceneResult& r) {
    const TFigures t = FiguresOf(r.tick), f = FiguresOf(r.frame), b = FiguresOf(r.both);
    std::printf(
        "%-22s %5zu %5zu..%-5zu %6zu %6zu %7.0f | %7.3f %7.3f %7.3f | %7.3f %7.3f %7.3f | "
        "%7.3f %7.3f %7.3f\n",
        r.name.c_str(), r.tick.size(), r.fewestCreatures, r.mostCreatures, r.mostEffects,
        r.mostLayers, FiguresOf(r.repainted).median / 1000, t.median, t.p99, t.max, f.median, f.p99,
        f.max, b.median, b.p99, b.max);
    if (!r.note.empty()) std::printf("%-22s %s\n", "", r.note.c_str());
}

void PrintHeader() {
    std::printf("%-22s %5s %12s %6s %6s %7s | %-23s | %-23s | %-23s\n", "", "", "", "most", "most",
                "kpx", "tick (ms)", "frame (ms)", "tick + frame (ms)");
    std::printf("%-22s %5s %12s %6s %6s %7s | %7s %7s %7s | %7s %7s %7s | %7s %7s %7s\n", "scene",
                "ticks", "creatures", "effect", "layers", "painted", "median", "p99", "max",
                "median", "p99", "max", "median", "p99", "max");
}

void Verdict(const char* what, double value, double goal, bool strict) {
    const bool holds = strict ? value < goal : value <= goal;
    std::printf("  %-52s %8.3f ms (goal %s %.0f ms)  %s\n", what, value, strict ? "<" : "<=", goal,
                holds ? "holds" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    TOptions options;
    std::vector<std::string> scenes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--warmup=", 0) == 0)
            options.warmup = std::max(0, std::atoi(arg.c_str() + 9));
        else if (arg.rfind("--measure=", 0) == 0)
            options.measure = std::max(1, std::atoi(arg.c_str() + 10));
        else if (arg == "--record")
            recordRuns = true;
        else if (arg == "--pointer")
            pointerMoves = true;
        else if (arg == "100" || arg == "1000" || arg == "5000" || arg == "swarm" ||
                 arg == "swarm-default")
            scenes.push_back(arg);
        else {
            std::fprintf(stderr,
                         "usage: %s [100|1000|5000|swarm|swarm-default ...] [--warmup=TICKS] "
                         "[--measure=TICKS] [--record] [--pointer]\n",
                         argv[0]);
            return 2;
        }
    }
    if (scenes.empty()) scenes = {"100", "1000", "5000", "swarm", "swarm-default"};

    PrintHeader();
    std::vector<TSceneResult> results;
    for (const std::string& scene : scenes) {
        if (scene == "swarm")
            results.push_back(RunSwarm(true));
        else if (scene == "swarm-default")
            results.push_back(RunSwarm(false));
        else
            results.push_back(RunCrowd(size_t(std::stoul(scene)), options));
        PrintRow(results.back());
        std::fflush(stdout);
    }

    std::printf("\nGoals:\n");
    for (const TSceneResult& r : results) {
        if (r.name == "1000 creatures") {
            const TFigures t = FiguresOf(r.tick);
            Verdict("tick with 1000 creatures, median", t.median, kTickGoal1000, false);
            Verdict("tick with 1000 creatures, 99th percentile", t.p99, kTickGoal1000, false);
        }
        if (r.name == "swarm, base stands")
            Verdict("swarm tick + frame, 99th percentile", FiguresOf(r.both).p99, kSwarmFrameGoal,
                    true);
    }
    return 0;
}
