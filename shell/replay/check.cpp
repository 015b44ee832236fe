#include "shell/replay/check.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/form1.h"
#include "shell/replay/player.h"

namespace {

TCheckOutcome Check(std::optional<TReplayFile> file, std::string error, const std::string& path,
                    const std::string& exeDir, const std::string& debugLog) {
    TCheckOutcome outcome;
    const auto fail = [&](int status, const std::string& why) {
        outcome.status = status;
        outcome.message = path + ": " + why;
        return outcome;
    };
    if (!file) return fail(2, error);
    TSettings settings;
    if (!ReadReplaySettings(file->header, settings, error)) return fail(2, error);
    const bool chunksWhole = file->chunksWhole;
    const bool boardShown = file->header.boardShown;

    TSessionPlayer player(std::move(*file));
    TSilentAudio silence;
    TPlatform platform{player, silence, exeDir, {}, {}, false};
    auto game = std::make_unique<TForm1>(platform, &settings);
    if (boardShown) game->pnlSplash->Hide();
    player.Attach(*game);
    while (player.Step()) {
    }

    outcome.games = player.Game();
    outcome.ticks = game->tickCount;
    outcome.digests = player.Digests();
    outcome.complete = player.Ended() && chunksWhole;
    if (!debugLog.empty()) {
        if (const int e = TForm1::WriteDebugLog(debugLog, game->lstDebug))
            return fail(2,
                        "cannot write the creature log to " + debugLog + ": " + std::strerror(e));
    }
    if (player.Damaged()) return fail(2, player.Problem());
    if (player.Desynced()) return fail(1, "does not play as recorded: " + player.Problem());
    const auto plural = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    outcome.sessionMs = player.Span();
    const uint64_t seconds = outcome.sessionMs / 1000;
    char length[48];
    std::snprintf(length, sizeof length, " (%llu:%02llu of session)",
                  static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60));
    outcome.message = path + ": " + plural(outcome.games, "game", "games") + ", " +
                      plural(outcome.ticks, "tick", "ticks") + length + ", " +
                      plural(outcome.digests, "digest", "digests") + " checked, all match; " +
                      (outcome.complete ? "the recording is complete"
                                        : "the recording stops before the session's end");
    return outcome;
}

}  // namespace

TCheckOutcome CheckReplay(const std::string& path, const std::string& exeDir,
                          const std::string& debugLog) {
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(path, error);
    return Check(std::move(file), error, path, exeDir, debugLog);
}

TCheckOutcome CheckReplayBytes(std::string_view bytes, const std::string& name,
                               const std::string& exeDir, const std::string& debugLog,
                               size_t maxBody) {
    std::string error;
    std::optional<TReplayFile> file = ParseReplay(bytes, error, maxBody);
    return Check(std::move(file), error, name, exeDir, debugLog);
}
