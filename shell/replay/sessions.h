// The sessions of a game around the one live session (TGameSession): live play written down as
// it goes, and a recording played again, headless as fast as it goes or in the window at its
// own pace, which the viewer can pause and speed up.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "shell/game_session.h"
#include "shell/replay/player.h"
#include "shell/replay/recorder.h"
#include "shell/toolkit/session.h"

// "mm:ss" of a stretch of milliseconds, the minutes in at least `minuteDigits` digits.
std::string MinutesSeconds(uint64_t ms, int minuteDigits = 2);

struct TRecordingOptions {
    // Whether the session is to be recorded at all.
    bool record = true;
    // Into a new file of this replay folder, named after `stem` (and renamed with the session's
    // best score as it rises), the oldest replays beyond the newest 50 removed; or, when `path`
    // is set, into that file, which must not exist yet.
    std::string folder, stem, path;
    // The header's date of the session's beginning.
    std::string date;
    // The board is shown without the splash screen (QUORVATIDE_SHOW_BOARD).
    bool boardShown = false;
    // Host milliseconds between two writes to the file.
    uint64_t flushEveryMs = kFlushEveryMs;
};

// Live play, recorded. The settings are read first, the replay's header is written, and then
// the game is made with the recorder as its clock. A folder or file that cannot be written costs
// one line on stderr; play goes on unrecorded.
class TRecordingSession : public IWindowSession {
public:
    TRecordingSession(TPlatform& host, const TRecordingOptions& options);
    ~TRecordingSession() override;

    TGameSession& Session() { return *session_; }
    TForm1& Game() { return session_->Game(); }
    TForm& Form() override { return session_->Game(); }
    TSessionRecorder& Recorder() { return recorder_; }

    void Dispatch(const TDispatch& dispatch) override { recorder_.Dispatch(dispatch); }
    // Runs the window's timers when they are due, and writes to the file when that is due.
    void RunDue() override;
    std::optional<uint64_t> NextDue() override;
    void Close() override { recorder_.Close(); }

private:
    IClock& hostClock_;
    TSessionRecorder recorder_;
    TPlatform platform_;
    std::unique_ptr<TGameSession> session_;
};

// Where a session taken over from a recording is recorded.
struct TTakeOverOptions {
    // Into a new file of this replay folder, named after the recording's file `source`
    // (ContinuedStem, renamed with the session's best score as it rises), the oldest replays
    // beyond the newest 50 removed but never `source`; or, when `path` is set, into that file,
    // which must not exist yet.
    std::string folder, source, path;
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

// Sound and music of a replay shown in the window: the real players, except that a track the
// recording says has ended counts as ended here too (its position is its length, and playing it
// starts it from the top), whether or not the real player has quite reached its end. While a
// stretch of the recording is played through at once the real players are left alone; after
// it they are given the track the game has open, from its start, playing if the game plays it.
class TPlaybackAudio : public IAudio {
public:
    explicit TPlaybackAudio(IAudio& real) : real_(real) {}
    void Ended(int player);
    void Quiet();
    void Loud();

    void PlaySound(const std::string& path) override;
    bool MusicOpen(int player, const std::string& path) override;
    bool MusicPlay(int player) override;
    bool MusicStop(int player) override;
    bool MusicClose(int player) override;
    bool MusicIsOpen(int player) override;
    int64_t MusicPosition(int player) override;
    int64_t MusicLength(int player) override;

private:
    struct TTrack {
        std::string path;
        bool open = false, playing = false, ended = false;
    };
    TTrack* TrackOf(int player) { return player == 0 || player == 1 ? &track_[player] : nullptr; }
    IAudio& real_;
    TTrack track_[2];
    bool quiet_ = false;
};

// A recording played in the window at its own pace. The viewer's mouse does not reach the game;
// P pauses and resumes, 1 2 3 4 play at x1 x2 x4 x8, the left and right arrows jump 10 s back
// and on, Home and End to the beginning and the end. At the end the last screen stays. T takes
// over: from then on the session is live play, recorded (TReplayedGame::TakeOver).
class TPlaybackSession : public IWindowSession {
public:
    // `path` is the recording's file (for the name of a taken-over session's file); `quiet`
    // keeps the real players silent until the first Seek or TakeOver.
    TPlaybackSession(TPlatform& host, TReplayFile file, const TSettings& settings,
                     std::string path = {}, bool quiet = false);
    ~TPlaybackSession() override;

    TForm& Form() override { return replay_->Game(); }
    TGameSession& Session() { return replay_->Session(); }
    TSessionPlayer& Player() { return replay_->Player(); }
    TReplayedGame& Replayed() { return *replay_; }

    // Only the viewer's keys, until the session is taken over: the game is handed what was
    // recorded.
    void Dispatch(const TDispatch& dispatch) override;
    bool HostKey(THostKey key) override;
    bool TakesInput() override { return Live(); }
    void RunDue() override;
    std::optional<uint64_t> NextDue() override;
    std::string Caption() override;
    void Close() override;
    // 1 when the recording did not play as recorded.
    int ExitStatus() override;

    // Where the playback stands on the recording's clock.
    uint64_t Position();

    // Jumps to the recording's time `at` (kept within the recording): plays on to it at once, or
    // when it lies behind, plays the recording again from its beginning to it, without sound.
    void Seek(uint64_t at);
    // Where a session taken over is recorded; the folder empty (and no path) for none.
    TTakeOverOptions takeOver;
    // Takes over where the playback stands (T), `paused` with the pause panel up. False, with
    // one line on stderr, when the recording does not play as recorded (as --check-replay says).
    bool TakeOver(bool paused = false) { return TakeOverAt(Position(), paused); }
    // The same at the recording's time `at`; without one, where the game stands (after
    // Replayed().PlayToHandOver).
    bool TakeOverAt(std::optional<uint64_t> at, bool paused = false);
    // Called just before taking over, to set the moment in `takeOver`.
    std::function<void(TTakeOverOptions&)> stamp;
    bool Live() const { return replay_->Live(); }
    // Why the recording cannot be taken over, in the check's one line; empty when it can.
    const std::string& Refusal();
    // 1 or 2 as --check-replay gives for the refusal.
    int RefusalStatus() const { return refusalStatus_; }

    // Called with each game made again by a jump back.
    std::function<void(TGameSession&)> onGame;
    // Called once taken over, with the recorder of the live session.
    std::function<void(TSessionRecorder&)> onTakenOver;

private:
    void Anchor();
    void Finish();
    void MakeGame();

    TPlatform& host_;
    IClock& hostClock_;
    TPlaybackAudio audio_;
    TReplayFile file_;
    TSettings settings_;
    std::string path_;
    std::unique_ptr<TReplayedGame> replay_;
    bool paused_ = false;
    int speed_ = 1;
    // The recording's time `anchorRecorded_` was reached at host time `anchorHost_`.
    uint64_t anchorRecorded_ = 0, anchorHost_ = 0;
    bool finished_ = false;
    std::optional<std::string> refusal_;
    int refusalStatus_ = 0;
};
