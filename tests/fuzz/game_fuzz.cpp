// Fuzz target: the whole game, headless, played by the input. Two little-endian bytes give the
// length of a settings.ini that follows; the rest is a stream of player actions and time (see
// game_actions.h) delivered through the window's own dispatch, from start-up through play,
// game over and restart. After every action the game's invariants are checked, and a broken
// one aborts with its description.
//
// Time passes only while the input's game time lasts, and the input ends when its actions do or
// when it has spent its work (see kMaxWork), counted from what the game holds: a crowd of a
// thousand creatures gets a second or two where a quiet game gets a quarter of a minute. Where the
// time of the sanitizer build goes and why: README, "Fuzzing, the soak run and memory".
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
#include "platform/headless/headless.h"
#include "platform/native.h"
#include "tests/fuzz/game_actions.h"

namespace fs = std::filesystem;

namespace {

// Game time one input may spend at most: a minute and a half.
constexpr uint64_t kMaxGameMs = 90 * 1000;

// Work one input may spend at most, in units of roughly ten microseconds of the sanitizer
// build: a timer firing costs a unit, a game tick one more, and every 16 creatures, effects and
// kill beams the game holds at that moment another; an action costs a unit, and its invariants
// check five more and one for every 8 objects of the game's lists. A second of quiet play costs
// about 60 units, so the scripted fall of a frail base, the game-over screen and a restart fit;
// a second among a thousand creatures costs about 1 300.
constexpr int64_t kMaxWork = 1500;

// The pictures of the splash and game-over screens, and the controls that show them. The
// target never paints the window, and each of these controls has its picture's size without it
// (checked once, by TFuzzAssets), so the game does the same without them; decoding their three
// megapixels was a third of the time every input took to start.
struct TUndrawn {
    const char* file;
    TImage* TForm1::*control;
};
constexpr TUndrawn kUndrawn[] = {
    {"splash.bmp", &TForm1::imSplash},        {"starttext.bmp", &TForm1::imStart},
    {"endtext.bmp", &TForm1::imEnd},          {"gameovertop.bmp", &TForm1::imGOTop},
    {"gameoverbottom.bmp", &TForm1::imGOBot}, {"gameoverleft.bmp", &TForm1::imGOL},
};

// A folder whose Assets hold links to the build's own files but the screen pictures above, and
// a settings.ini of the input.
class TFuzzAssets {
public:
    TFuzzAssets() {
        const char* from = std::getenv("QV_FUZZ_ASSETS");
        // Absolute, for the links: a relative target would be read from the links' own folder.
        const fs::path source = fs::absolute(from && *from ? from : QV_FUZZ_ASSETS);
        if (!fs::is_regular_file(source / "settings.ini")) {
            // A mistake in how the target was started, not a finding: no crash input is left.
            std::fprintf(stderr, "game fuzz target: %s holds no generated Assets\n",
                         source.c_str());
            std::_Exit(2);
        }
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qv_game_fuzz.XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        dir_ = pattern;
        fs::create_directory(dir_ / "Assets");
        for (const auto& entry : fs::directory_iterator(source)) {
            const std::string name = entry.path().filename().string();
            const bool undrawn = std::any_of(std::begin(kUndrawn), std::end(kUndrawn),
                                             [&](const TUndrawn& u) { return name == u.file; });
            if (name != "settings.ini" && name != "debug.txt" && !undrawn)
                fs::create_symlink(entry.path(), dir_ / "Assets" / name);
        }
        CheckUndrawn(source);
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
    // A picture left out must not change its control's size; else the game would lay out and
    // hit-test its screens differently here than with the real Assets.
    void CheckUndrawn(const fs::path& source) const {
        THeadlessOptions options;
        options.exeDir = dir_;
        THeadlessGame game(options);
        for (const TUndrawn& u : kUndrawn) {
            TPicture picture;
            if (!picture.LoadFromFile(NativeFiles(), (source / u.file).string())) continue;
            const TImage& control = *(game.Form().*u.control);
            if (control.Width() == picture.Width() && control.Height() == picture.Height())
                continue;
            std::fprintf(stderr,
                         "game fuzz target: %s is %dx%d but its control %s is %dx%d without it; "
                         "it cannot be left out of the target's Assets\n",
                         u.file, picture.Width(), picture.Height(), control.Name().c_str(),
                         control.Width(), control.Height());
            std::abort();
        }
    }

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

// One game of one input, and what it has spent.
class TPlay {
public:
    explicit TPlay(const THeadlessOptions& options) : game(options), startMs_(game.clock.now) {}

    THeadlessGame game;

    bool Exhausted() const { return work_ >= kMaxWork; }
    uint64_t SpentMs() const { return game.clock.now - startMs_; }
    int64_t Work() const { return work_; }

    // Lets up to `ms` of game time pass, one timer's firing at a time, while the budget lasts.
    // The timers fire at the same moments and in the same order as in one Advance.
    void Pass(uint64_t ms) {
        const uint64_t target = game.clock.now + std::min(ms, kMaxGameMs - SpentMs());
        do {
            const auto due = game.Form().NextTimerDue();
            const uint64_t to = due && *due < target ? std::max(*due, game.clock.now) : target;
            const int ticks = game.Form().tickCount;
            game.Advance(to - game.clock.now);
            const TForm1& g = game.Form();
            work_ +=
                1 + (g.tickCount != ticks) +
                int64_t(g.lstVonkels.size() + g.lstEffects.size() + g.lstKillBeams.size()) / 16;
        } while (game.clock.now < target && work_ < kMaxWork);
    }

    int GamesOver() const { return gamesOver_; }

    // Checks the invariants after action `step` (opcode `op`).
    void Check(int step, int op) {
        const TForm1& g = game.Form();
        if (g.gameOver && !wasOver_) ++gamesOver_;
        wasOver_ = g.gameOver;
        work_ += 6 + int64_t(g.lstBots.size() + g.lstOrders.size() + g.lstScrap.size() +
                             g.lstSigns.size() + g.lstVonkels.size() + g.lstEffects.size() +
                             g.lstKillBeams.size() + g.lstTurrets.size()) /
                         8;
        const std::string broken = CheckInvariants(g);
        if (broken.empty()) return;
        std::fprintf(stderr, "invariant broken after action %d (opcode %d): %s\n", step, op,
                     broken.c_str());
        std::abort();
    }

private:
    uint64_t startMs_;
    int64_t work_ = 0;
    int gamesOver_ = 0;
    bool wasOver_ = false;
};

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
    // The pictures are the same for every input: decoded once.
    static TLoadedPictures pictures;
    options.pictures = &pictures;
    TPlay play(options);
    THeadlessGame& game = play.game;
    play.Check(0, -1);
    int lastX = 0, lastY = 0;
    int step = 1;
    for (; in.More() && !play.Exhausted(); ++step) {
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
                play.Pass(uint64_t(in.Byte() + 1) * 50);
                break;
            case kActAdvance:
                play.Pass(uint64_t(in.Word()));
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
        play.Check(step, op);
    }
#ifdef QV_FUZZ_REPLAY
    std::printf("  %d actions, %.2f s of game time, %lld of %lld units of work, %d game(s) over\n",
                step - 1, double(play.SpentMs()) / 1000, (long long)play.Work(),
                (long long)kMaxWork, play.GamesOver());
#endif
    return 0;
}
