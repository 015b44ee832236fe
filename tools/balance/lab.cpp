#include "tools/balance/lab.h"

#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "core/form1.h"
#include "platform/native.h"
#include "tools/balance/replays.h"

namespace fs = std::filesystem;

// ---------------------------------------------------------------- input

void TLabInput::MouseMove(int x, int y) {
    game_.MouseMove(x, y);
}

void TLabInput::MouseDown(int x, int y, TMouseButton button) {
    game_.MouseDown(x, y, button);
}

void TLabInput::MouseUp(int x, int y, TMouseButton button) {
    game_.MouseUp(x, y, button);
}

void TLabInput::Click(int x, int y, TMouseButton button) {
    MouseMove(x, y);
    MouseDown(x, y, button);
    MouseUp(x, y, button);
}

void TLabInput::Key(char key) {
    game_.Key(key);
}

// ---------------------------------------------------------------- one game

int TGameResult::TurretsAt(int tick) const {
    if (!survived && tick >= ticks) return 0;
    int standing = int(turretLost.size());
    for (int lost : turretLost)
        if (lost >= 0 && lost <= tick) --standing;
    return standing;
}

int TGameResult::TurretFalls(int nth) const {
    if (nth < 0 || size_t(nth) >= turretLost.size()) return ticks;
    const int lost = turretLost[size_t(nth)];
    return lost >= 0 ? lost : ticks;
}

namespace {

// What the lab sees of a game from one tick to the next.
class TWatcher {
public:
    explicit TWatcher(const TForm1& game)
        : hatred_(game.hatred), turrets_(int(game.lstTurrets.size())) {}

    void AfterTick(const TForm1& game, TGameResult& result) {
        if (game.hatred != hatred_) {
            ++result.hatredSwitches;
            hatred_ = game.hatred;
        }
        // Turrets are never made during play, only lost.
        for (int n = int(game.lstTurrets.size()); n < turrets_; ++n) {
            const int fallen = 4 - n - 1;
            if (fallen >= 0 && fallen < 4) result.turretLost[size_t(fallen)] = game.tickCount;
        }
        turrets_ = int(game.lstTurrets.size());
        for (const auto& sign : game.lstSigns)
            if (sign->layer->Bitmap().MasterAlpha() == kBuiltSignAlpha) built_.insert(sign->id);
        result.signsBuilt = int(built_.size());
    }

private:
    int hatred_;
    int turrets_;
    std::set<int> built_;
};

}  // namespace

TGameResult PlayGame(const TLabConfig& config, uint32_t seed, std::vector<TDispatch>* record,
                     const std::function<void(const TForm1&)>& atEnd) {
    THeadlessOptions options;
    options.exeDir = config.exeDir;
    options.seed = seed;
    if (!config.replayDir.empty()) {
        options.replayPath =
            (config.replayDir / ReplayFileName(config.player, config.replayTag, seed)).string();
        options.recordedAs = "qv_balance, player " + config.player + ", seed " +
                             std::to_string(seed) +
                             (config.replayTag.empty() ? "" : ", settings " + config.replayTag);
        // Nobody kills a lab game half-way: the file is written in larger pieces.
        options.replayFlushMs = 60 * 1000;
    }
    THeadlessGame game(options);
    const TForm1& f = game.Form();
    TLabInput input(game);
    if (record) game.onInput = [record](const TDispatch& d) { record->push_back(d); };
    std::unique_ptr<TPlayer> player = MakePlayer(config.player, seed);
    if (!player) throw std::invalid_argument("unknown player " + config.player);

    TGameResult result;
    result.seed = seed;
    // The splash click, as a person gives it.
    input.Click(8 + 350, 8 + 350);
    TWatcher watcher(f);
    const size_t firstBots = f.lstBots.size();
    // Play can only stop for the orb's fall (the players never pause), so every step is a tick;
    // the bound on steps is there all the same.
    for (int step = 0; step < config.capTicks && !f.gameOver && f.tickCount < config.capTicks;
         ++step) {
        int cash = f.cash;
        player->Act(f, input);
        // Scrap moves at a click only when something is paid for or refunded.
        if (f.cash < cash) result.scrapSpent += cash - f.cash;
        cash = f.cash;
        game.Ticks(1);
        // ... and in a tick only when a bot has gathered something.
        if (f.cash > cash) result.scrapGathered += f.cash - cash;
        // Nobody listens: the sounds asked for are dropped at once.
        game.audio.log.clear();
        watcher.AfterTick(f, result);
    }
    result.ticks = f.gameOver ? f.tickCount : std::min(f.tickCount, config.capTicks);
    result.survived = !f.gameOver;
    result.score = f.score;
    result.killsByTurrets = f.killsByTurrets;
    result.killsByCreatures = f.killsByCreatures;
    result.botsBought = int(f.lstBots.size() - std::min(f.lstBots.size(), firstBots));
    result.turretsAtEnd = f.gameOver ? 0 : int(f.lstTurrets.size());
    if (atEnd) atEnd(f);
    if (!options.replayPath.empty()) {
        // A replay that stopped part of the way (the recorder has said why) would show a game
        // that ends nowhere near where this one did: it goes.
        // (One that never began is not this game's to remove.)
        const bool began = !game.Recorder().Path().empty();
        const bool whole = game.Recorder().Recording();
        game.CloseSession();
        std::error_code ignored;
        if (began && !whole) fs::remove(options.replayPath, ignored);
    }
    return result;
}

// ---------------------------------------------------------------- results on a pipe

std::string EncodeResult(const TGameResult& r) {
    std::ostringstream out;
    out << r.seed << ' ' << r.ticks << ' ' << r.survived << ' ' << r.score << ' '
        << r.killsByTurrets << ' ' << r.killsByCreatures << ' ' << r.scrapGathered << ' '
        << r.scrapSpent << ' ' << r.signsBuilt << ' ' << r.botsBought << ' ' << r.hatredSwitches
        << ' ' << r.turretsAtEnd;
    for (int lost : r.turretLost) out << ' ' << lost;
    return out.str();
}

bool DecodeResult(const std::string& line, TGameResult& r) {
    std::istringstream in(line);
    in >> r.seed >> r.ticks >> r.survived >> r.score >> r.killsByTurrets >> r.killsByCreatures >>
        r.scrapGathered >> r.scrapSpent >> r.signsBuilt >> r.botsBought >> r.hatredSwitches >>
        r.turretsAtEnd;
    for (int& lost : r.turretLost) in >> lost;
    return bool(in);
}

// ---------------------------------------------------------------- many games

namespace {

// A worker: plays every jobs-th game from `first` and writes "<index> <result>" lines.
[[noreturn]] void RunWorker(const TLabConfig& config, const std::vector<uint32_t>& seeds,
                            size_t first, size_t jobs, int out) {
    TReplayPruner pruner(config);
    for (size_t i = first; i < seeds.size(); i += jobs) {
        std::string line;
        // Nothing may unwind out of here into the code the worker was forked from: a game that
        // cannot be played ends the worker, and its games count as not played.
        try {
            const TGameResult result = PlayGame(config, seeds[i]);
            pruner.Played(result);
            line = std::to_string(i) + ' ' + EncodeResult(result) + '\n';
        } catch (...) {
            _exit(4);
        }
        if (!WriteFully(out, line.data(), line.size())) _exit(3);
    }
    close(out);
    _exit(0);
}

struct TWorker {
    pid_t pid = -1;
    int in = -1;
    std::string pending;
};

}  // namespace

std::vector<TGameResult> PlayGames(const TLabConfig& config, const std::vector<uint32_t>& seeds,
                                   int jobs, const std::function<void(int)>& progress,
                                   std::vector<uint32_t>* failed) {
    std::vector<TGameResult> results(seeds.size());
    std::vector<bool> have(seeds.size(), false);
    int done = 0;
    jobs = std::max(1, std::min<int>(jobs, int(seeds.size())));
    if (jobs == 1) {
        TReplayPruner pruner(config);
        for (size_t i = 0; i < seeds.size(); ++i) {
            results[i] = PlayGame(config, seeds[i]);
            pruner.Played(results[i]);
            if (progress) progress(++done);
        }
        return results;
    }

    std::fflush(nullptr);  // nothing buffered is written twice by the children
    std::vector<TWorker> workers(static_cast<size_t>(jobs));
    for (size_t w = 0; w < workers.size(); ++w) {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("cannot make a pipe for the workers");
        const pid_t pid = fork();
        if (pid < 0) throw std::runtime_error("cannot start a worker process");
        if (pid == 0) {
            close(fds[0]);
            for (size_t o = 0; o < w; ++o) close(workers[o].in);
            RunWorker(config, seeds, w, workers.size(), fds[1]);
        }
        close(fds[1]);
        workers[w].pid = pid;
        workers[w].in = fds[0];
    }

    size_t open = workers.size();
    while (open > 0) {
        std::vector<pollfd> polls;
        std::vector<TWorker*> polled;
        for (TWorker& w : workers)
            if (w.in >= 0) {
                polls.push_back({w.in, POLLIN, 0});
                polled.push_back(&w);
            }
        if (poll(polls.data(), polls.size(), -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("waiting for the workers failed");
        }
        for (size_t p = 0; p < polls.size(); ++p) {
            if (!(polls[p].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            TWorker& w = *polled[p];
            char buffer[4096];
            const ssize_t n = read(w.in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                close(w.in);
                w.in = -1;
                --open;
                continue;
            }
            w.pending.append(buffer, size_t(n));
            for (size_t end; (end = w.pending.find('\n')) != std::string::npos;) {
                const std::string line = w.pending.substr(0, end);
                w.pending.erase(0, end + 1);
                std::istringstream in(line);
                size_t index = 0;
                std::string rest;
                in >> index;
                std::getline(in, rest);
                TGameResult r;
                if (index < seeds.size() && !have[index] && DecodeResult(rest, r)) {
                    results[index] = r;
                    have[index] = true;
                    if (progress) progress(++done);
                }
            }
        }
    }
    for (TWorker& w : workers) {
        int status = 0;
        while (waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    for (size_t i = 0; i < seeds.size(); ++i)
        if (!have[i]) {
            results[i] = TGameResult{};
            results[i].seed = seeds[i];
            if (failed) failed->push_back(seeds[i]);
        }
    return results;
}

// ---------------------------------------------------------------- the settings to play

TLabAssets::TLabAssets(const fs::path& assets, const fs::path& settings) {
    std::ifstream probe(settings, std::ios::binary);
    if (!probe || fs::is_directory(settings))
        throw std::runtime_error("cannot read the settings file " + settings.string());
    const std::string content((std::istreambuf_iterator<char>(probe)),
                              std::istreambuf_iterator<char>());
    if (!fs::is_directory(assets))
        throw std::runtime_error("no Assets folder at " + assets.string());

    std::string pattern = (fs::temp_directory_path() / "qv_balance-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder in " + fs::temp_directory_path().string());
    exeDir_ = pattern;
    const fs::path own = exeDir_ / "Assets";
    std::error_code ec;
    fs::create_directories(own, ec);
    for (const auto& entry : fs::directory_iterator(assets, ec))
        if (entry.is_regular_file() && entry.path().filename() != "settings.ini")
            fs::create_symlink(fs::absolute(entry.path()), own / entry.path().filename(), ec);
    std::ofstream(own / "settings.ini", std::ios::binary) << content;
    if (ec || !fs::is_regular_file(own / "settings.ini")) {
        fs::remove_all(exeDir_, ec);
        throw std::runtime_error("cannot link the Assets of " + assets.string());
    }
}

TLabAssets::~TLabAssets() {
    std::error_code ignored;
    fs::remove_all(exeDir_, ignored);
}
