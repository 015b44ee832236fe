#include "tools/balance/replays.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>

namespace fs = std::filesystem;

std::optional<TKeep> ParseKeep(const std::string& text) {
    if (text == "all") return TKeep{};
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const std::string which = text.substr(0, colon), count = text.substr(colon + 1);
    TKeep keep;
    if (which == "worst")
        keep.which = TKeep::Worst;
    else if (which == "best")
        keep.which = TKeep::Best;
    else
        return std::nullopt;
    // Digits only: no sign, no space, no hexadecimal.
    if (count.empty() || count.size() > 9 ||
        count.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    keep.count = size_t(std::strtoul(count.c_str(), nullptr, 10));
    if (keep.count == 0) return std::nullopt;
    return keep;
}

bool RanksBefore(TKeep::TWhich which, const TGameResult& a, const TGameResult& b) {
    const bool best = which == TKeep::Best;
    if (a.ticks != b.ticks) return best ? a.ticks > b.ticks : a.ticks < b.ticks;
    if (a.survived != b.survived) return best ? a.survived : b.survived;
    if (a.score != b.score) return best ? a.score > b.score : a.score < b.score;
    return a.seed < b.seed;
}

std::string ReplayFileName(const std::string& player, const std::string& tag, uint32_t seed) {
    char number[16];
    std::snprintf(number, sizeof number, "%06u", unsigned(seed));
    return player + (tag.empty() ? "" : "-" + tag) + "-seed-" + number + ".qvr";
}

// ---------------------------------------------------------------- a worker's choice

void TReplayPruner::Played(const TGameResult& result) {
    if (config_.replayDir.empty() || config_.keep.which == TKeep::All) return;
    const TKeep::TWhich which = config_.keep.which;
    kept_.insert(std::upper_bound(kept_.begin(), kept_.end(), result,
                                  [which](const TGameResult& a, const TGameResult& b) {
                                      return RanksBefore(which, a, b);
                                  }),
                 result);
    if (kept_.size() <= config_.keep.count) return;
    std::error_code ignored;
    fs::remove(
        config_.replayDir / ReplayFileName(config_.player, config_.replayTag, kept_.back().seed),
        ignored);
    kept_.pop_back();
}

// ---------------------------------------------------------------- the recording folder

TReplayRecording::TReplayRecording(const fs::path& dir) : dir_(dir) {
    std::error_code ec;
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec))
        throw std::runtime_error(dir.string() + " is not a folder");
    fs::create_directories(dir, ec);
    if (ec)
        throw std::runtime_error("cannot make the folder " + dir.string() + ": " + ec.message());
    // Not hidden: a run cut short leaves it where it can be seen.
    std::string pattern = (dir / "qv_balance-recording-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot write in the folder " + dir.string() + ": " +
                                 std::strerror(errno));
    folder_ = pattern;
}

TReplayRecording::~TReplayRecording() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

// ---------------------------------------------------------------- the ones kept

TKeptReplays KeepReplays(const TLabConfig& config, const fs::path& dir,
                         const std::vector<TGameResult>& games,
                         const std::vector<uint32_t>& failed) {
    const std::set<uint32_t> unended(failed.begin(), failed.end());
    std::vector<TGameResult> chosen;
    for (const TGameResult& g : games)
        if (!unended.count(g.seed)) chosen.push_back(g);
    const TKeep& keep = config.keep;
    if (keep.which != TKeep::All) {
        std::sort(chosen.begin(), chosen.end(),
                  [&keep](const TGameResult& a, const TGameResult& b) {
                      return RanksBefore(keep.which, a, b);
                  });
        if (chosen.size() > keep.count) chosen.resize(keep.count);
    }

    TKeptReplays out;
    const auto move = [&](const TGameResult& game, bool ended) {
        const std::string name = ReplayFileName(config.player, config.replayTag, game.seed);
        const fs::path from = config.replayDir / name;
        std::error_code ec;
        if (!fs::is_regular_file(from, ec)) {
            if (ended)
                out.errors.push_back("the replay of seed " + std::to_string(game.seed) +
                                     " could not be written");
            return;
        }
        fs::rename(from, dir / name, ec);
        if (ec)
            out.errors.push_back("cannot move " + name + " into " + dir.string() + ": " +
                                 ec.message());
        else
            out.kept.push_back({name, game, ended});
    };
    for (const TGameResult& g : chosen) move(g, true);
    for (const TGameResult& g : games)
        if (unended.count(g.seed)) move(g, false);
    return out;
}
