// The records' waits: opening the records with a thousand games in the index (read, ranked, the
// best ten, the latest and its place), and a game's report worked out from its replay and its
// plot drawn. At the end, whether each stays within its limit: 100 ms to open the records,
// 0.5 s for the report and plot of a ten-minute game.
//
//   qv_bench_frontend [benchmark options] [REPLAY [GAME]]
//
// Without REPLAY the game is made first: one game of the balance lab's builder (seed 1) on a
// base that stands about ten minutes (BASEORBHEALTH=1100, TURRETHEALTH=330 in a copy of this
// build's settings.ini), recorded into a temporary folder.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "frontend/plot.h"
#include "frontend/records.h"
#include "frontend/report.h"
#include "tools/balance/lab.h"
#include "tools/balance/replays.h"

namespace fs = std::filesystem;

namespace {

const std::string kExeDir = std::string(QV_BUILD_DIR) + "/";
std::string gReplay;
int gGame = 0;

// A state folder whose index holds `count` games of varied scores, removed when it goes.
class TIndex {
public:
    explicit TIndex(int count)
        : dir_(fs::temp_directory_path() / ("qv_bench_records_" + std::to_string(count))) {
        fs::create_directories(dir_);
        TRecords records;
        records.path = State() + kRecordsFileName;
        for (int i = 0; i < count; ++i) {
            TGameRecord r;
            r.date = "2026-12-" + std::to_string(10 + i % 18) + " 15:04";
            r.score = (int64_t(i) * 7919) % 20011;
            r.lengthMs = uint64_t(60000 + (i * 4999) % 600000);
            r.ownSettings = i % 5 == 0;
            r.speed = 100 - 20 * (i % 4);
            r.replay = "quorvatide-2026-12-01_10-00-" + std::to_string(i % 50) + "-best-" +
                       std::to_string(r.score) + ".qvr";
            r.game = 1 + i % 7;
            records.games.push_back(r);
        }
        SaveRecords(NativeFiles(), records);
    }
    ~TIndex() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string State() const { return dir_.string() + "/"; }

private:
    fs::path dir_;
};

void BM_OpenRecords(benchmark::State& state) {
    const TIndex index(int(state.range(0)));
    for (auto _ : state) {
        std::string warning;
        const TRecords records = LoadRecords(NativeFiles(), index.State(), warning);
        const std::vector<TGameRecord> best = BestRecords(records.games, kRecordsKept);
        const std::vector<TGameRecord> latest = LatestRecords(records.games, 1);
        const std::string place = PlaceText(records.games, records.games.size() - 1);
        const std::vector<std::string> kept = KeptReplays(records.games);
        if (records.games.size() != size_t(state.range(0)) || !warning.empty())
            state.SkipWithError("the index did not read back");
        benchmark::DoNotOptimize(best.data());
        benchmark::DoNotOptimize(place.data());
    }
}
BENCHMARK(BM_OpenRecords)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_Report(benchmark::State& state) {
    for (auto _ : state) {
        const TReportOutcome made = MakeReport(gReplay, NativeFiles(), kExeDir, gGame);
        if (made.status != 0) state.SkipWithError(made.message.c_str());
        state.counters["game_s"] = double(made.report.lengthMs) / 1000.0;
    }
}
BENCHMARK(BM_Report)->Unit(benchmark::kMillisecond);

void BM_ReportAndPlot(benchmark::State& state) {
    for (auto _ : state) {
        const TReportOutcome made = MakeReport(gReplay, NativeFiles(), kExeDir, gGame);
        if (made.status != 0) state.SkipWithError(made.message.c_str());
        const TPicture plot = DrawReportPlot(made.report);
        benchmark::DoNotOptimize(plot.Bits());
    }
}
BENCHMARK(BM_ReportAndPlot)->Unit(benchmark::kMillisecond);

// Shows the usual table and, at the end, each wait against its limit (on the medians when
// repetitions are asked for).
class TLimitReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                single_[name] = r.GetAdjustedRealTime();
            else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median_[name] = r.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nLimits (milliseconds):\n");
        Verdict("the records opened, 1000 games     ", Time("BM_OpenRecords/1000"), 100);
        Verdict("a ten-minute game's report and plot", Time("BM_ReportAndPlot"), 500);
    }

private:
    double Time(const std::string& name) const {
        if (auto it = median_.find(name); it != median_.end()) return it->second;
        if (auto it = single_.find(name); it != single_.end()) return it->second;
        return std::nan("");
    }
    static void Verdict(const char* what, double ms, double limit) {
        if (std::isnan(ms))
            std::printf("  %s: not measured in this run\n", what);
        else
            std::printf("  %s: %8.2f (limit %.0f)  %s\n", what, ms, limit,
                        ms <= limit ? "holds" : "MISSED");
    }
    std::map<std::string, double> single_, median_;
};

// The ten-minute game: played by the balance lab into `dir`; its replay's path.
std::string MakeGame(const fs::path& dir) {
    std::ifstream in(kExeDir + "Assets/settings.ini");
    std::ostringstream settings;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("BASEORBHEALTH=", 0) == 0) line = "BASEORBHEALTH=1100";
        if (line.rfind("TURRETHEALTH=", 0) == 0) line = "TURRETHEALTH=330";
        settings << line << "\n";
    }
    fs::create_directories(dir);
    std::ofstream(dir / "strong.ini") << settings.str();
    const TLabAssets assets(kExeDir + "Assets", dir / "strong.ini");
    TLabConfig config;
    config.exeDir = assets.ExeDir();
    config.player = "builder";
    config.capTicks = 20 * 60 * 20;
    config.replayDir = dir;
    const TGameResult result = PlayGame(config, 1);
    std::printf("the game: %d ticks (%d:%02d of play), score %d\n", result.ticks,
                result.ticks / 20 / 60, result.ticks / 20 % 60, result.score);
    return (dir / ReplayFileName("builder", "", 1)).string();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const fs::path made = fs::temp_directory_path() / "qv_bench_frontend_game";
    if (argc > 3 || (argc > 1 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: qv_bench_frontend [benchmark options] [REPLAY [GAME]]\n");
        return 2;
    }
    gReplay = argc > 1 ? argv[1] : MakeGame(made);
    gGame = argc > 2 ? std::atoi(argv[2]) : 0;
    TLimitReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(made, ignored);
    return 0;
}
