// A recording played again, headless as fast as it goes: the game made with the recording's
// settings on the recording's clock, which can be taken over at any moment and played on live,
// its clock then the host's carried on from the recording's.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "replay/player.h"
#include "replay/recorder.h"
#include "shell/game_session.h"

// Where a session taken over from a recording is recorded.
struct TTakeOverOptions {
    // Into a new file of this replay folder, named after the recording's file `source`
    // (ContinuedStem, renamed with the session's best score as it rises), the oldest replays
    // beyond the newest 50 removed but never `source`; or, when `path` is set, into that file,
    // which must not exist yet.
    std::string folder, source, path;
    // Replays of the folder that the pruning keeps whatever their age (file names).
    std::vector<std::string> kept;
    // The moment of the taking over, local time, and as the header gives it (ReplayDate).
    std::tm when{};
    std::string date;
    // Host milliseconds between two writes to the file.
    uint64_t flushEveryMs = kFlushEveryMs;
};

// The host's clock carried on from a time of a recording: made at host time h, it reads `from`
// and goes on as the host's clock goes, never back.
class TCarriedClock : public IClock {
public:
    TCarriedClock(IClock& host, uint64_t from);
    uint64_t NowMs() override;
    uint32_t RandomSeed() override { return host_.RandomSeed(); }
    // The host's time at which this clock reads `time`.
    uint64_t HostTime(uint64_t time) const;

private:
    IClock& host_;
    uint64_t hostStart_, from_, last_;
};

// A recording played again: the game made with the recording's settings, on a platform whose
// clock is the recording's player and which writes no files of its own — until the session is
// taken over: then the game plays live on from where the recording has got to, its clock a
// recorder of the host's clock carried on from the recording's, and it writes its files as live
// play does.
class TReplayedGame {
public:
    // Nothing, with `error`, when the file's settings cannot be used.
    static std::unique_ptr<TReplayedGame> Make(TReplayFile file, const TPlatform& host,
                                               IAudio& audio, std::string& error);
    TReplayedGame(TReplayFile file, const TSettings& settings, const TPlatform& host,
                  IAudio& audio);
    ~TReplayedGame();

    TSessionPlayer& Player() { return player_; }
    TGameSession& Session() { return *session_; }
    TForm1& Game() { return session_->Game(); }

    // Plays the recording on up to its time `at`: every dispatch of that time or earlier, but
    // never the recording's last dispatch (see TSessionPlayer::AtLastDispatch), so that the
    // session can be taken over from there.
    void PlayToHandOver(uint64_t at);
    // From here on the game plays live, recorded as `options` say into a file that begins with
    // the recording up to here; its clock reads on from `at` (or the last reading, if later) as
    // the host's clock `host` goes. A file that cannot be written costs one line on stderr;
    // play goes on unrecorded.
    void TakeOver(IClock& host, uint64_t at, const TTakeOverOptions& options);
    bool Live() const { return recorder_ != nullptr; }
    // Once live: the recorder, and the clock the game's time is read from.
    TSessionRecorder& Recorder() { return *recorder_; }
    TCarriedClock& LiveClock() { return *carried_; }

private:
    // The game's clock: the player, and once taken over, the recorder.
    class TSwitchedClock : public IClock {
    public:
        explicit TSwitchedClock(IClock& to) : to_(&to) {}
        void SwitchTo(IClock& to) { to_ = &to; }
        uint64_t NowMs() override { return to_->NowMs(); }
        uint32_t RandomSeed() override { return to_->RandomSeed(); }

    private:
        IClock* to_;
    };

    TSessionPlayer player_;
    std::unique_ptr<TCarriedClock> carried_;
    std::unique_ptr<TSessionRecorder> recorder_;
    TSwitchedClock clock_;
    bool hostWritesFiles_;
    TPlatform platform_;
    std::unique_ptr<TGameSession> session_;
};
