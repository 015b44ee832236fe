// The window's two kinds of recorded session: live play written down as it goes, and a
// recording played back at its own pace, which the viewer can pause and speed up.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/form1.h"
#include "shell/replay/player.h"
#include "shell/replay/recorder.h"
#include "shell/toolkit/session.h"

// Makes the game on a platform, with the settings given (or those of settings.ini for null).
using TFormMaker = std::function<std::unique_ptr<TForm1>(TPlatform&, const TSettings*)>;

struct TRecordingOptions {
    // The folder to record into; empty: play unrecorded.
    std::string folder;
    // The session's beginning: the file's name and the header's date.
    std::string stem;
    std::string date;
    // The board is shown without the splash screen (QUORVATIDE_SHOW_BOARD).
    bool boardShown = false;
    // Makes the game on the session's platform; a plain TForm1 when not set.
    TFormMaker makeForm;
};

// Live play in the window, recorded into a new file of the replay folder. A folder or file that
// cannot be written costs one line on stderr; play goes on unrecorded.
class TRecordingSession : public IWindowSession {
public:
    TRecordingSession(TPlatform& host, const TRecordingOptions& options);
    ~TRecordingSession() override;

    TForm1& Game() { return *form_; }
    TForm& Form() override { return *form_; }
    TSessionRecorder& Recorder() { return recorder_; }

    void MouseDown(int x, int y, TMouseButton button, TShiftState shift) override;
    void MouseMove(int x, int y, TShiftState shift) override;
    void MouseUp(int x, int y, TMouseButton button, TShiftState shift) override;
    void KeyPress(char key) override;
    void MusicFinished(int player) override;
    void RunDue() override;
    std::optional<uint64_t> NextDue() override;
    void Close() override;

private:
    IClock& hostClock_;
    TSessionRecorder recorder_;
    TPlatform platform_;
    std::unique_ptr<TForm1> form_;
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
    // Fails (returning null with `error`) when the file's settings cannot be used.
    static std::unique_ptr<TPlaybackSession> Make(TPlatform& host, TReplayFile file,
                                                  std::string& error);
    TPlaybackSession(TPlatform& host, TReplayFile file, const TSettings& settings,
                     const TFormMaker& makeForm = {});
    ~TPlaybackSession() override;

    TForm& Form() override { return *form_; }
    TSessionPlayer& Player() { return *player_; }

    void MouseDown(int, int, TMouseButton, TShiftState) override {}
    void MouseMove(int, int, TShiftState) override {}
    void MouseUp(int, int, TMouseButton, TShiftState) override {}
    void KeyPress(char key) override;
    // The real players' own reports are not the game's: the recording's are.
    void MusicFinished(int) override {}
    void RunDue() override;
    std::optional<uint64_t> NextDue() override;
    std::string Caption() override;
    // 1 when the recording did not play as recorded.
    int ExitStatus() override { return player_->Desynced() || player_->Damaged() ? 1 : 0; }

    bool Paused() const { return paused_; }
    int Speed() const { return speed_; }
    // Where the playback stands on the recording's clock.
    uint64_t Position();

private:
    void Anchor();
    void Finish();

    IClock& hostClock_;
    std::unique_ptr<TSessionPlayer> player_;
    TPlaybackAudio audio_;
    TPlatform platform_;
    TSettings settings_;
    std::unique_ptr<TForm1> form_;
    bool paused_ = false;
    int speed_ = 1;
    // The recording's time `anchorRecorded_` was reached at host time `anchorHost_`.
    uint64_t anchorRecorded_ = 0, anchorHost_ = 0;
    bool finished_ = false;
};
