// A platform without a window, a sound card or a wall clock: the whole game runs on a fake
// clock with a fixed seed and a recording audio backend, as fast as the processor allows. Input
// goes through the same dispatch the real window uses; the composed window can be inspected.
// The tests, the fuzzers and the balance lab all play the game through it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/form1.h"
#include "platform/native.h"
#include "replay/recording_session.h"
#include "toolkit/platform.h"

class TFakeClock : public IClock {
public:
    uint64_t now = 0;
    uint32_t seed = 1;
    uint64_t NowMs() override { return now; }
    uint32_t RandomSeed() override { return seed; }
};

// Records every audio request as a line of text ("sound <file>", "open 0 <file>", "play 0",
// "stop 0", "close 0"), and plays music on the fake clock: a file that exists opens with the
// length given in musicLengths (by file name), 30 s by default.
class TRecordingAudio : public IAudio {
public:
    explicit TRecordingAudio(TFakeClock& clock) : clock_(clock) {}

    std::vector<std::string> log;
    std::map<std::string, int64_t> musicLengths;

    void PlaySound(const std::string& path) override;
    bool MusicOpen(int player, const std::string& path) override;
    bool MusicPlay(int player) override;
    bool MusicStop(int player) override;
    bool MusicClose(int player) override;
    bool MusicIsOpen(int player) override;
    int64_t MusicPosition(int player) override;
    int64_t MusicLength(int player) override;

    // Players whose track reached its end since the last call.
    std::vector<int> TakeFinished();
    // The clock time at which the next playing track reaches its end, if any.
    std::optional<uint64_t> NextEnd() const;

private:
    struct Track {
        bool open = false, playing = false;
        int64_t length = 0, played = 0;
        uint64_t startedAt = 0;
    };
    Track* TrackOf(int player) { return player == 0 || player == 1 ? &tracks_[player] : nullptr; }
    TFakeClock& clock_;
    Track tracks_[2];
};

struct THeadlessOptions {
    // Folder holding the Assets folder.
    std::filesystem::path exeDir;
    // The player's own folders (see TPlatform); none unless a test asks for them.
    std::string configDir;
    std::string stateDir;
    uint32_t seed = 1;
    uint64_t startMs = 1000;
    // Records the session into this replay file when set (the file must not exist yet), with
    // this as the header's "recorded" line, written to the file every `replayFlushMs` of game
    // time.
    std::string replayPath;
    std::string recordedAs = "headless";
    uint64_t replayFlushMs = kFlushEveryMs;
    // The catalogue's pictures kept from one game to the next (see TPlatform::pictures).
    TLoadedPictures* pictures = nullptr;
    // The files the game reads; the system's (NativeFiles) when null. A host with an image
    // library hands its own, which decode the BMP forms the toolkit does not.
    IFiles* files = nullptr;
    // The settings to play with instead of settings.ini's, and lines for the replay's header.
    std::optional<TSettings> settings;
    std::vector<std::pair<std::string, std::string>> notes;
};

class THeadlessGame {
public:
    explicit THeadlessGame(const THeadlessOptions& options);
    virtual ~THeadlessGame();

    TForm1& Form() { return session_->Game(); }
    TGameSession& Session() { return session_->Session(); }
    TFakeClock clock;
    TRecordingAudio audio{clock};

    // Lets `ms` milliseconds pass, firing every timer at its due time in order and passing on
    // the end of music tracks.
    void Advance(uint64_t ms);
    // Input at window client coordinates.
    void MouseMove(int x, int y);
    void MouseDown(int x, int y, TMouseButton button = TMouseButton::Left);
    void MouseUp(int x, int y, TMouseButton button = TMouseButton::Left);
    void Click(int x, int y, TMouseButton button = TMouseButton::Left);
    void Key(char key);
    // Clicks the splash screen, which starts play: from now on a tick runs every 50 ms.
    void StartPlay();
    // Lets `n` ticks of 50 ms pass (with play started and ticks taking no time).
    void Ticks(int n) { Advance(uint64_t(n) * 50); }

    // The window as it would be on screen now.
    const TPicture& Render();

    // Ends the recorded session (as closing the window does) and closes its replay file; the
    // game stays for inspection. Done by the destructor when not before.
    void CloseSession();
    TSessionRecorder& Recorder() { return session_->Recorder(); }
    // Hands the game a dispatch as the host would, stamped with the clock's time.
    void Dispatch(TDispatch dispatch);
    // Told every input the game is handed (mouse and keys, with their times).
    std::function<void(const TDispatch&)> onInput;

private:
    void DeliverMusicEnds();
    std::unique_ptr<TPlatform> host_;
    std::unique_ptr<TRecordingSession> session_;
    uint32_t buttons_ = 0;
};
