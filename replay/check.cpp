#include "replay/check.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "replay/daily.h"
#include "replay/replayed_game.h"
#include "toolkit/utf8_path.h"

namespace {

// The game's clock is the recording's: the host's is never read.
class TNoClock : public IClock {
public:
    uint64_t NowMs() override { return 0; }
    uint32_t RandomSeed() override { return 0; }
};

// With `prove`, a daily challenge's replay is proven as well as checked (replay/daily.h): any
// reason against it, status 1 and one line. `head` is the start of the file's bytes, for a
// daily replay this version cannot read at all.
TCheckOutcome Check(std::optional<TReplayFile> file, std::string error, const std::string& path,
                    IFiles& files, const std::string& exeDir, const std::string& debugLog,
                    bool prove, std::string_view head = {}) {
    TCheckOutcome outcome;
    const auto fail = [&](int status, const std::string& why) {
        outcome.status = status;
        outcome.message = path + ": " + why;
        return outcome;
    };
    if (!file && prove && MentionsDaily(head))
        return fail(1, "not proven as a daily: it cannot be played: " + error);
    if (!file) return fail(2, error);
    const bool daily = prove && HasDailyNote(file->header);
    const std::optional<TDailyNote> note = daily ? ReadDailyNote(file->header) : std::nullopt;
    const std::string named = note ? "daily " + DailyNoteText(*note) + ": " : "";
    if (daily)
        if (const std::string why = DailyRefusalBeforePlay(*file); !why.empty())
            return fail(1, (note ? named + "not proven: " : "not proven as a daily: ") + why);
    const TReplayHeader header = daily ? file->header : TReplayHeader();
    const bool chunksWhole = file->chunksWhole;
    TNoClock noClock;
    TSilentAudio silence;
    const TPlatform host{noClock, silence, files, exeDir};
    auto replay = TReplayedGame::Make(std::move(*file), host, silence, error);
    if (!replay)
        return fail(daily ? 1 : 2,
                    daily ? named + "not proven: it cannot be played: " + error : error);
    TSessionPlayer& player = replay->Player();
    while (player.Step()) {
    }

    const TForm1& game = replay->Game();
    outcome.games = player.Game();
    outcome.ticks = game.tickCount;
    outcome.digests = player.Digests();
    outcome.complete = player.Ended() && chunksWhole;
    if (!debugLog.empty()) {
        if (const int e = files.Write(debugLog, TForm1::DebugLogText(game.lstDebug)))
            return fail(2,
                        "cannot write the creature log to " + debugLog + ": " + std::strerror(e));
    }
    if (daily) {
        TDailyPlay play;
        play.status = player.Damaged() ? 2 : player.Desynced() ? 1 : 0;
        play.problem = player.Problem();
        play.games = player.Game();
        play.ended = player.BestScore() >= 0;
        play.score = play.ended ? player.BestScore() : game.score;
        play.tick = game.tickCount;
        play.complete = outcome.complete;
        if (const std::string why = DailyRefusalAfterPlay(header, play); !why.empty())
            return fail(1, named + "not proven: " + why);
        outcome.sessionMs = player.Span();
        outcome.message = path + ": " + DailyProvenText(*note, play.score);
        return outcome;
    }
    if (player.Damaged()) return fail(2, player.Problem());
    if (player.Desynced()) return fail(1, "does not play as recorded: " + player.Problem());
    const auto plural = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    outcome.sessionMs = player.Span();
    outcome.message = path + ": " + plural(outcome.games, "game", "games") + ", " +
                      plural(outcome.ticks, "tick", "ticks") + " (" +
                      MinutesSeconds(outcome.sessionMs, 1) + " of session), " +
                      plural(outcome.digests, "digest", "digests") + " checked, all match; " +
                      (outcome.complete ? "the recording is complete"
                                        : "the recording stops before the session's end");
    return outcome;
}

}  // namespace

TCheckOutcome CheckReplay(const std::string& path, IFiles& files, const std::string& exeDir,
                          const std::string& debugLog) {
    // The same file however it is named (./a.qvr, a link): the log would take the replay's place.
    std::error_code same;
    if (!debugLog.empty() &&
        std::filesystem::equivalent(Utf8Path(path), Utf8Path(debugLog), same)) {
        TCheckOutcome refused;
        refused.status = 2;
        refused.message = path + ": --debug-log " + debugLog +
                          " is the replay itself; the creature log is not written over it";
        return refused;
    }
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(files, path, error);
    std::optional<std::string> head;
    if (!file) head = files.Read(path, 64 * 1024);
    return Check(std::move(file), error, path, files, exeDir, debugLog, true, head.value_or(""));
}

TCheckOutcome CheckReplayFile(TReplayFile file, const std::string& name, IFiles& files,
                              const std::string& exeDir) {
    return Check(std::move(file), {}, name, files, exeDir, {}, false);
}

TCheckOutcome CheckReplayBytes(std::string_view bytes, const std::string& name, IFiles& files,
                               const std::string& exeDir, const std::string& debugLog,
                               size_t maxBody) {
    std::string error;
    std::optional<TReplayFile> file = ParseReplay(bytes, error, maxBody);
    return Check(std::move(file), error, name, files, exeDir, debugLog, true, bytes);
}
