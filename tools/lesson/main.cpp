// The lesson's demonstrations, made while building: the lesson's game played headless by a
// script that does each step as a player would, at a player's pace, recorded step by step.
// lesson-N.qvr is that game from its beginning to the end of step N; its header says where step
// N begins, and "Show me" opens it there. The script plays by what the lesson's own guide says
// and points at, so a demonstration that no longer shows its step fails the build.
//
//   qv_lesson_demos ASSETS            writes ASSETS/lesson-1.qvr ... lesson-8.qvr (a folder
//                                     named Assets, as the game's: the pictures are read from it)
//   qv_lesson_demos --find-seed FROM TO ASSETS
//                                     prints the seeds in FROM..TO whose boards suit the lesson
//   qv_lesson_demos --board SEED ASSETS OUT.png
//                                     writes a picture of that seed's board, as play begins
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/form1.h"
#include "frontend/lesson.h"
#include "frontend/png.h"
#include "platform/headless/headless.h"

namespace fs = std::filesystem;

namespace {

// At each step the script first reads the caption for a while; every demonstration ends a
// little into the next step, before the script does anything there. The whole lesson must be
// over by the limit.
constexpr uint64_t kReadMs = 2500;
constexpr uint64_t kTailMs = 1000;
constexpr uint64_t kLimitMs = 6 * 60 * 1000;
// The step of the cycle's turn is shown from a little before the red frame.
constexpr uint64_t kBeforeWarningMs = 8000;
constexpr uint64_t kStartMs = 1000;

int CentreX(const TRect& r) {
    return (r.left + r.right) / 2;
}
int CentreY(const TRect& r) {
    return (r.top + r.bottom) / 2;
}

std::string Minutes(uint64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%04.1f", unsigned(ms / 60000), double(ms % 60000) / 1000);
    return text;
}

// Where each step began and ended in the script's game (ms after its start), and when the red
// frame first showed.
struct TTimes {
    uint64_t begin[kLessonSteps + 2] = {};
    uint64_t warning = 0;
};

// The lesson played by the script, recorded or not, up to `until` (ms after the start).
class TScript {
public:
    TScript(const fs::path& exeDir, const std::string& replay,
            std::vector<std::pair<std::string, std::string>> notes, TLoadedPictures* pictures) {
        THeadlessOptions o;
        o.exeDir = exeDir;
        o.seed = kLessonSeed;
        o.startMs = kStartMs;
        o.replayPath = replay;
        o.recordedAs = "the lesson's demonstrations";
        o.settings = LessonSettings();
        o.notes = std::move(notes);
        o.pictures = pictures;
        game_ = std::make_unique<THeadlessGame>(o);
    }

    uint64_t Now() const { return game_->clock.now - kStartMs; }
    TForm1& Game() { return game_->Form(); }

    // Plays until `until` or the end of the lesson; false when the limit came first.
    bool Play(uint64_t until, TTimes& times) {
        if (!started_) {
            Wait(600);
            Glide(358, 358);
            Click();
            guide_.Begin(1, Game());
            started_ = true;
            times.begin[1] = Now();
        }
        while (Now() < until) {
            if (Now() > kLimitMs) return false;
            if (!times.warning && Game().spHatred->Visible()) times.warning = Now();
            if (guide_.Finished()) {
                Wait(50);
                continue;
            }
            const TLessonView view = guide_.View(Game());
            const int step = guide_.Step();
            if (step != read_) {
                read_ = step;
                Wait(kReadMs);
            } else if (guide_.StepDone()) {
                Wait(50);
            } else if (view.item) {
                Glide(CentreX(*view.item), CentreY(*view.item));
                Wait(500);
                Click();
            } else if (Clicks(step) && !view.rings.empty()) {
                Glide(CentreX(view.rings[0]), CentreY(view.rings[0]));
                Wait(400);
                Click();
            } else {
                Wait(50);
            }
            if (guide_.Step() != step) {
                for (int s = step + 1; s <= guide_.Step(); ++s) times.begin[s] = Now();
                if (std::getenv("QV_LESSON_TRACE"))
                    std::fprintf(stderr, "%s: step %d\n", Minutes(Now()).c_str(), guide_.Step());
            }
        }
        return true;
    }

    void Close() { game_->CloseSession(); }

private:
    // Whether the step wants a click on what it rings now: the tile, a rock not yet marked for
    // gathering, the orb once there is scrap enough.
    bool Clicks(int step) {
        const TForm1& g = Game();
        switch (step) {
            case 1:
                return !g.MenuImg->Visible();
            case 5: {
                const int at = g.GatherableAt(kLessonRockTile.x, kLessonRockTile.y);
                return !g.MenuImg->Visible() && at >= 0 && g.lstScrap[size_t(at)]->alpha == 255;
            }
            case 6:
                return !g.OrbMenuImg->Visible() && g.cash >= g.settings.BOTCOST;
            default:
                return false;
        }
    }
    void Follow() { guide_.Follow(Game()); }
    void Wait(uint64_t ms) {
        for (uint64_t t = 0; t < ms; t += 50) {
            game_->Advance(50);
            Follow();
        }
    }
    // The mouse moves there over 0.7 s, as a hand would.
    void Glide(int x, int y) {
        const int steps = 14;
        const int fromX = x_, fromY = y_;
        for (int i = 1; i <= steps; ++i) {
            x_ = fromX + (x - fromX) * i / steps;
            y_ = fromY + (y - fromY) * i / steps;
            game_->MouseMove(x_, y_);
            game_->Advance(50);
            Follow();
        }
    }
    void Click() {
        game_->MouseDown(x_, y_);
        Follow();
        game_->Advance(100);
        game_->MouseUp(x_, y_);
        Follow();
    }

    std::unique_ptr<THeadlessGame> game_;
    TLessonGuide guide_;
    bool started_ = false;
    int read_ = 0;
    int x_ = 800, y_ = 600;
};

int MakeDemonstrations(const fs::path& assets) {
    const fs::path exeDir = assets.parent_path();
    TLoadedPictures pictures;
    // Once unrecorded, to find where each step begins.
    TTimes times;
    {
        TScript script(exeDir, "", {}, &pictures);
        const bool played = script.Play(kLimitMs, times);
        if (std::getenv("QV_LESSON_TRACE"))
            std::fprintf(stderr, "hatred %d, over %d, warning %s, rhs %d %u, tick %d\n",
                         script.Game().hatred, int(script.Game().gameOver),
                         Minutes(times.warning).c_str(), int(script.Game().tmrRHS->Enabled()),
                         unsigned(script.Game().tmrRHS->Interval()), script.Game().tickCount);
        if (!played || !times.begin[kLessonSteps + 1]) {
            std::fprintf(stderr,
                         "qv_lesson_demos: the script did not get through the lesson within %s "
                         "(it stopped at step %d)\n",
                         Minutes(kLimitMs).c_str(),
                         int(std::count_if(std::begin(times.begin) + 1, std::end(times.begin),
                                           [](uint64_t t) { return t != 0; })));
            return 1;
        }
    }
    for (int step = 1; step <= kLessonSteps; ++step) {
        uint64_t from = times.begin[step];
        if (step == 7 && times.warning > from + kBeforeWarningMs)
            from = times.warning - kBeforeWarningMs;
        const uint64_t until = times.begin[step + 1] + kTailMs;
        const fs::path path = assets / DemonstrationFile(step);
        std::error_code ec;
        fs::remove(path, ec);
        TTimes again;
        TScript script(exeDir, path.string(), DemonstrationNotes(step, from), &pictures);
        script.Play(until, again);
        script.Close();
        if (again.begin[step] != times.begin[step]) {
            std::fprintf(stderr, "qv_lesson_demos: step %d began at %s and then at %s\n", step,
                         Minutes(times.begin[step]).c_str(), Minutes(again.begin[step]).c_str());
            return 1;
        }
        std::printf("%s: step %d, shown from %s to %s\n", path.filename().string().c_str(), step,
                    Minutes(from).c_str(), Minutes(until).c_str());
    }
    return 0;
}

// A board for the lesson: a rock two or three tiles from the base with no other gatherable
// object that near, and nothing on or next to the sign's tile.
int FindSeeds(uint32_t from, uint32_t to, const fs::path& assets) {
    TLoadedPictures pictures;
    const auto fromBase = [](int x, int y) {
        return std::max(std::max({0, 8 - x, x - 10}), std::max(0, y - 1));
    };
    for (uint32_t seed = from; seed <= to; ++seed) {
        THeadlessOptions o;
        o.exeDir = assets.parent_path();
        o.seed = seed;
        o.settings = LessonSettings();
        o.pictures = &pictures;
        THeadlessGame game(o);
        const TForm1& g = game.Form();
        std::optional<TLessonTile> rock;
        int near = 0;
        bool signClear = true;
        for (const auto& object : g.lstScrap) {
            const int d = fromBase(object->tileX, object->tileY);
            if (object->gatherable && d <= 3) ++near;
            // Rock1 and Rock2 are the kinds 2 and 3 (the ruin is 4).
            if ((object->kind == 2 || object->kind == 3) && d >= 2 && d <= 3)
                rock = TLessonTile{object->tileX, object->tileY};
            if (std::abs(object->tileX - kLessonSignTile.x) <= 1 &&
                std::abs(object->tileY - kLessonSignTile.y) <= 1)
                signClear = false;
        }
        if (rock && near == 1 && signClear)
            std::printf("seed %u: the rock on (%d, %d)\n", seed, rock->x, rock->y);
    }
    return 0;
}

int WriteBoard(uint32_t seed, const fs::path& assets, const std::string& out) {
    THeadlessOptions o;
    o.exeDir = assets.parent_path();
    o.seed = seed;
    o.settings = LessonSettings();
    THeadlessGame game(o);
    game.StartPlay();
    const int error = WritePng(NativeFiles(), out, game.Render());
    if (error) std::fprintf(stderr, "qv_lesson_demos: cannot write %s\n", out.c_str());
    return error ? 1 : 0;
}

}  // namespace

// The game reads its pictures from the Assets folder beside it, so the folder given must be one:
// under any other name the games would play with some other folder's pictures, or none. Given
// as `path`, it is returned without a trailing slash, so that its parent is the game's folder.
std::optional<fs::path> AssetsFolder(const char* path) {
    fs::path assets = fs::path(path).lexically_normal();
    if (!assets.has_filename()) assets = assets.parent_path();
    if (assets.filename() == "Assets") return assets;
    std::fprintf(stderr, "qv_lesson_demos: %s: not a folder named Assets\n", path);
    return std::nullopt;
}

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const auto number = [](const char* text) { return uint32_t(std::strtoul(text, nullptr, 10)); };
    std::optional<fs::path> assets;
    if (argc == 5 && mode == "--board")
        return (assets = AssetsFolder(argv[3])) ? WriteBoard(number(argv[2]), *assets, argv[4]) : 2;
    if (argc == 5 && mode == "--find-seed")
        return (assets = AssetsFolder(argv[4]))
                   ? FindSeeds(number(argv[2]), number(argv[3]), *assets)
                   : 2;
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: qv_lesson_demos ASSETS\n"
                     "       qv_lesson_demos --find-seed FROM TO ASSETS\n"
                     "       qv_lesson_demos --board SEED ASSETS OUT.png\n");
        return 2;
    }
    return (assets = AssetsFolder(argv[1])) ? MakeDemonstrations(*assets) : 2;
}
