// Live play, written down as it goes: the session of a game played in the window or headless,
// recorded into the replay folder.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "replay/recorder.h"
#include "shell/game_session.h"
#include "toolkit/session.h"

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
    // The game's speed, percent of its own pace, as the header tells it (the clock the session
    // is given runs at that pace).
    int speed = 100;
    // The settings to play with instead of those of settings.ini (a daily challenge's, a
    // lesson's).
    std::optional<TSettings> settings;
    // Replays of the folder that the pruning keeps whatever their age (file names).
    std::vector<std::string> kept;
    // Lines the header carries besides its own, "name: value" (what kind of game this is).
    std::vector<std::pair<std::string, std::string>> notes;
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
