// Fuzz target: the whole game, headless, played by the input. Two little-endian bytes give the
// length of a settings.ini that follows; the rest is a stream of player actions and time (see
// game_actions.h) delivered through the window's own dispatch, from start-up through play,
// game over and restart. After every action the game's invariants are checked, and a broken
// one aborts with its description.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/invariants.h"
#include "shell/platform/headless.h"
#include "tests/fuzz/game_actions.h"

namespace fs = std::filesystem;

namespace {

// Game time one input may spend at most: a minute and a half, time enough for a frail base to
// fall and the next game to start, and short enough to keep the fuzzer going.
constexpr uint64_t kMaxGameMs = 90 * 1000;

// A folder whose Assets hold links to the build's own files, and a settings.ini of the input.
class TFuzzAssets {
public:
    TFuzzAssets() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qv_game_fuzz.XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        dir_ = pattern;
        fs::create_directory(dir_ / "Assets");
        const char* from = std::getenv("QV_FUZZ_ASSETS");
        for (const auto& entry : fs::directory_iterator(from && *from ? from : QV_FUZZ_ASSETS))
            if (entry.path().filename() != "settings.ini" && entry.path().filename() != "debug.txt")
                fs::create_symlink(entry.path(), dir_ / "Assets" / entry.path().filename());
    }
    ~TFuzzAssets() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    const fs::path& Dir() const { return dir_; }
    void WriteSettings(const uint8_t* data, size_t size) const {
        std::ofstream(dir_ / "Assets" / "settings.ini", std::ios::binary)
            .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }

private:
    fs::path dir_;
};

TFuzzAssets& Assets() {
    static TFuzzAssets assets;
    return assets;
}

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    int Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int Word() { return Byte() | Byte() << 8; }

private:
    const uint8_t* data_;
    size_t size_, at_ = 0;
};

void Check(THeadlessGame& game, int step, int op) {
    const std::string broken = CheckInvariants(game.Form());
    if (broken.empty()) return;
    std::fprintf(stderr, "invariant broken after action %d (opcode %d): %s\n", step, op,
                 broken.c_str());
    std::abort();
}

// A window coordinate, reaching a little beyond the window on every side.
int Coord(int word, int extent) {
    return word % (extent + 64) - 32;
}

TMouseButton Button(int b) {
    return b % 3 == 0   ? TMouseButton::Left
           : b % 3 == 1 ? TMouseButton::Right
                        : TMouseButton::Middle;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t settingsSize = std::min<size_t>(size - 2, size_t(data[0]) | size_t(data[1]) << 8);
    Assets().WriteSettings(data + 2, settingsSize);
    TReader in(data + 2 + settingsSize, size - 2 - settingsSize);

    THeadlessOptions options;
    options.exeDir = Assets().Dir();
    THeadlessGame game(options);
    Check(game, 0, -1);
    uint64_t spent = 0;
    int lastX = 0, lastY = 0;
    const auto spend = [&](uint64_t ms) {
        ms = std::min(ms, kMaxGameMs - spent);
        spent += ms;
        game.Advance(ms);
    };
    for (int step = 1; in.More(); ++step) {
        const int op = in.Byte() % kActionCount;
        switch (op) {
            case kActMove: {
                const int x = Coord(in.Word(), kClientWidth), y = Coord(in.Word(), kClientHeight);
                game.MouseMove(x, y);
                break;
            }
            case kActDown:
            case kActUp: {
                const TMouseButton b = Button(in.Byte());
                const int x = Coord(in.Word(), kClientWidth), y = Coord(in.Word(), kClientHeight);
                if (op == kActDown)
                    game.MouseDown(x, y, b);
                else
                    game.MouseUp(x, y, b);
                break;
            }
            case kActClickTile:
                lastX = kFieldLeft + kTileSize * (in.Byte() % 20) + kTileSize / 2;
                lastY = kFieldTop + kTileSize * (in.Byte() % 20) + kTileSize / 2;
                game.Click(lastX, lastY);
                break;
            case kActClickNear:
                lastX += int8_t(in.Byte());
                lastY += int8_t(in.Byte());
                game.Click(lastX, lastY);
                break;
            case kActKey:
                game.Key(char(in.Byte()));
                break;
            case kActTicks:
                spend(uint64_t(in.Byte() + 1) * 50);
                break;
            case kActAdvance:
                spend(uint64_t(in.Word()));
                break;
            case kActStart:
                game.StartPlay();
                break;
            case kActClick:
                lastX = Coord(in.Word(), kClientWidth);
                lastY = Coord(in.Word(), kClientHeight);
                game.Click(lastX, lastY);
                break;
        }
        Check(game, step, op);
    }
    return 0;
}
