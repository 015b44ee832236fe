// The sessions of a game around the one live session (TGameSession): live play written down as
// it goes, and a recording played again, headless as fast as it goes or in the window at its
// own pace, which the viewer can pause and speed up.
#pragma once

#include <cstdint>
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

// A recording played again: the game made with the recording's settings, on a platform whose
// clock is the recording's player and which writes no files of its own.
class TReplayedGame {
public:
    // Nothing, with `error`, when the file's settings cannot be used.
    static std::unique_ptr<TReplayedGame> Make(TReplayFile file, const TPlatform& host,
                                               IAudio& audio, std::string& error);
    TReplayedGame(TReplayFile file, const TSettings& settings, const TPlatform& host,
                  IAudio& audio);

    TSessionPlayer& Player() { return player_; }
    TGameSession& Session() { return *session_; }
    TForm1& Game() { return session_->Game(); }

private:
    TSessionPlayer player_;
    TPlatform platform_;
    std::unique_ptr<TGameSession> session_;
};

// Sound and music of a replay shown in the window: the real players, except that a track the
// recording says has ended counts as ended here too (its position is its length, and playing it
// starts it from the top), whether or not the real player has quite reached its end.
class TPlaybackAudio : public IAudio {
public:
    explicit TPlaybackAudio(IAudio& real) : real_(real) {}
    void Ended(int player);

    void PlaySound(const std::string& path) override { real_.PlaySound(path); }
    bool MusicOpen(int player, const std::string& path) override;
    bool MusicPlay(int player) override;
    bool MusicStop(int player) override;
    bool MusicClose(int player) override;
    bool MusicIsOpen(int player) override { return real_.MusicIsOpen(player); }
    int64_t MusicPosition(int player) override;
    int64_t MusicLength(int player) override { return real_.MusicLength(player); }

private:
    bool Known(int player) const { return player == 0 || player == 1; }
    IAudio& real_;
    bool ended_[2] = {false, false};
    std::string path_[2];
};

// A recording played in the window at its own pace. The viewer's mouse does not reach the game;
// P pauses and resumes, 1 2 3 4 play at x1 x2 x4 x8. At the end the last screen stays.
class TPlaybackSession : public IWindowSession {
public:
    TPlaybackSession(TPlatform& host, TReplayFile file, const TSettings& settings);
    ~TPlaybackSession() override;

    TForm& Form() override { return replay_->Game(); }
    TGameSession& Session() { return replay_->Session(); }
    TSessionPlayer& Player() { return replay_->Player(); }

    // Only the viewer's keys: the game is handed what was recorded.
    void Dispatch(const TDispatch& dispatch) override;
    void RunDue() override;
    std::optional<uint64_t> NextDue() override;
    std::string Caption() override;
    // 1 when the recording did not play as recorded.
    int ExitStatus() override;

    bool Paused() const { return paused_; }
    int Speed() const { return speed_; }
    // Where the playback stands on the recording's clock.
    uint64_t Position();

private:
    void Anchor();
    void Finish();

    IClock& hostClock_;
    TPlaybackAudio audio_;
    std::unique_ptr<TReplayedGame> replay_;
    bool paused_ = false;
    int speed_ = 1;
    // The recording's time `anchorRecorded_` was reached at host time `anchorHost_`.
    uint64_t anchorRecorded_ = 0, anchorHost_ = 0;
    bool finished_ = false;
};
