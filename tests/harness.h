// The headless game for tests: the build's own Assets unless a test chooses another folder,
// golden scenario dumps, picture comparison and files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/form1.h"
#include "platform/headless/headless.h"

// Options for a headless game; an empty exeDir means the build's own Assets.
using THarnessOptions = THeadlessOptions;

// A fresh folder in the system's temporary folder, its name `prefix` and a random number: one
// that no other test has, in this process or in another running beside it.
std::filesystem::path FreshTempFolder(const std::string& prefix);

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

class THarness : public THeadlessGame {
public:
    explicit THarness(THarnessOptions options = {});

    // A plain-text account of the game state, for golden scenario tests.
    std::string Dump();
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

// The text of the settings file at `path` as the game reads it (its first megabyte, from a
// regular file only), and the settings it gives.
std::string ReadSettingsFile(const std::string& path);
TSettings ReadSettingsAt(const std::string& path);

// The folder of the build's generated Assets.
std::filesystem::path BuildExeDir();
