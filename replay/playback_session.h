// A recording played in the window at its own pace, which the viewer can pause, speed up, seek
// in and take over, with its sound and music kept to the recording's ends of tracks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "replay/replayed_game.h"
#include "toolkit/session.h"

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
    // Whether the viewer has paused it (P).
    bool Paused() const { return paused_; }

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
