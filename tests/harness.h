// Runs the whole game headless: a fake clock, a fixed seed, a recording audio backend and an
// Assets folder of the test's choosing. Input goes through the same dispatch the real window
// uses; the composed window can be inspected or saved as a picture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/form1.h"
#include "shell/toolkit/platform.h"

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

struct THarnessOptions {
    // Folder holding the Assets folder; the build's own Assets by default.
    std::filesystem::path exeDir;
    uint32_t seed = 1;
    uint64_t startMs = 1000;
};

// A temporary folder with an Assets folder inside, removed again at the end of the test.
class TTempAssets {
public:
    TTempAssets();
    ~TTempAssets();
    const std::filesystem::path& ExeDir() const { return exeDir_; }
    std::filesystem::path Assets() const { return exeDir_ / "Assets"; }
    void Write(const std::string& name, const std::string& content) const;
    // Copies every file of `from` into the Assets folder.
    void CopyFrom(const std::filesystem::path& from) const;
    // Links every file of `from` into the Assets folder (Write replaces a link, not its file).
    void LinkFrom(const std::filesystem::path& from) const;
    // Options for a game with the build's own Assets and these lines (KEY=value, one per line)
    // as its settings.
    THarnessOptions WithSettings(const std::string& settings) const;

private:
    std::filesystem::path exeDir_;
};

// Options for a game that reads the Assets folder of `dir`.
THarnessOptions OptionsFor(const TTempAssets& dir);

class THarness {
public:
    explicit THarness(THarnessOptions options = {});
    ~THarness();

    TForm1& Form() { return *form_; }
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
    // A plain-text account of the game state, for golden scenario tests.
    std::string Dump();

private:
    void DeliverMusicEnds();
    std::unique_ptr<TPlatform> platform_;
    std::unique_ptr<TForm1> form_;
    uint32_t buttons_ = 0;
};

// Writes a picture as PNG (alpha forced opaque when `opaque`). Returns false on failure.
bool SavePng(const TPicture& picture, const std::string& path, bool opaque = true);

// Compares `actual` with tests/golden/<name>.txt; with QV_UPDATE_GOLDEN=1 in the environment
// the file is written instead. Returns an empty string when they agree, else a message.
std::string CompareGolden(const std::string& name, const std::string& actual);

// Same size and the same pixels (each expected pixel ORed with `orMask`).
::testing::AssertionResult SamePixels(const TPicture& actual, const TPicture& expected,
                                      TColor32 orMask = 0);

// A creature of `kind` (0 F, 1 S, 2 E) on tile (x, y), made the way spawning makes one but
// with no march and its destination its own tile, so that it stays until told otherwise.
TVonkel& PlaceVonkel(TForm1& f, int kind, int x, int y);

// The folder of the build's generated Assets.
std::filesystem::path BuildExeDir();
