// Learn to play: a first game of the real rules, played by the player's own hand, with a guide
// over the window. The guide reads the game after every change, draws a caption and rings
// round what to do next, and waits until the game shows it done; it never changes the game.
// Every step can be shown: a demonstration, a replay made by the build (Assets/lesson-N.qvr),
// opens in the viewer at the step's beginning, and the player takes it over at any moment and
// goes on from there. The lesson can be left at any step, and begun again from the menu.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings.h"
#include "frontend/front_end.h"
#include "replay/replay_header.h"

class TForm1;

constexpr int kLessonSteps = 8;

struct TLessonTile {
    int x = 0, y = 0;
    bool operator==(const TLessonTile&) const = default;
};

// The lesson's board: every seed its game takes is this one. Its rock lies two tiles from the
// base, and the tile of the sign, on the side where the F creatures come up, is clear ground
// (qv_lesson_demos --find-seed searches seeds for such a board).
constexpr uint32_t kLessonSeed = 113;
// The sign: on the F creatures' way up, pointing left, into the S creatures' way.
constexpr TLessonTile kLessonSignTile{18, 14};
constexpr int kLessonSignDirection = 2;
// The rock to gather, near the base.
constexpr TLessonTile kLessonRockTile{6, 2};

// The lesson's settings: the shipped ones, with the first creatures later and fewer, and a bot
// that costs what the first signs and rock leave. They hold for every game of its session.
TSettings LessonSettings();
// What the session of live play is: the lesson's seed and settings, and its header's note.
TFrontEnd::TPlayChoice LessonChoice();

// A demonstration's file in the Assets folder, and its header's notes: which step it shows,
// and from where in the recording (milliseconds after its first moment).
std::string DemonstrationFile(int step);
std::vector<std::pair<std::string, std::string>> DemonstrationNotes(int step, uint64_t fromMs);
struct TDemonstration {
    int step = 0;
    uint64_t fromMs = 0;
};
std::optional<TDemonstration> ReadDemonstration(const TReplayHeader& header);

// What the guide says and points at, in window pixels.
struct TLessonView {
    std::string title;
    std::vector<std::string> lines;
    // Tiles ringed, panels framed, and a menu item the arrow points at.
    std::vector<TRect> rings, frames;
    std::optional<TRect> item;
    bool done = false;
};

// Where the lesson stands, read from the game: the step, and whether its goal is reached.
class TLessonGuide {
public:
    // From `step` (1 to kLessonSteps), the game as it is now being where it begins.
    void Begin(int step, const TForm1& game);
    // Reads the game after a change; true when the step moved on or back.
    bool Follow(const TForm1& game);
    int Step() const { return step_; }
    // Past the last step.
    bool Finished() const { return step_ > kLessonSteps; }
    // The step's goal is reached; it shows so for a moment before the next.
    bool StepDone() const { return doneAt_ >= 0; }
    TLessonView View(const TForm1& game) const;

    // Whether the step's goal shows in the game, with what was seen before.
    bool Reached(int step, const TForm1& game) const;

private:
    void See(const TForm1& game);
    int step_ = 1;
    // The tick at which the step's goal was reached; -1 until it is.
    int doneAt_ = -1;
    // What happened since the lesson began: a rock gathered, the cycle turned, a turret fought.
    std::vector<int> marked_;
    bool gathered_ = false, turned_ = false, fought_ = false;
    int lastHatred_ = 1;
};

// The lesson as the front end runs it: its game, its guide, its caption and buttons.
class TLesson : public TGuide {
public:
    explicit TLesson(TFrontEnd& front);
    // A new session of the lesson's game, begun at step 1.
    void Start();
    // Plays the demonstration of the step now (or of `step`) in the viewer; false, with
    // `error`, when it cannot be read.
    bool ShowMe(std::string& error, int step = 0);
    // Leaves the lesson: the game goes on unguided (a demonstration is taken over first).
    void Skip();
    int Step() const { return std::min(guide_.Step(), kLessonSteps); }
    bool Finished() const { return guide_.Finished(); }
    // A demonstration is being watched, not yet taken over.
    bool ShowingDemonstration();

    void Follow() override;
    void Draw(TPicture& canvas, TOverlay& overlay) override;
    std::string Look() override;
    bool Press(const TDispatch& d) override;
    bool TakesInput() override;

    // Where the caption stands now, and its buttons.
    TRect Caption();
    std::vector<TMenuButton> Buttons();

private:
    void TakeOver();
    void Finish();
    void Reached(int step);

    TFrontEnd& front_;
    TLessonGuide guide_;
    bool demonstration_ = false;
    std::optional<size_t> pressed_;
    bool pressTaken_ = false;
};

// The offer at the first start: a small panel over the side panel's credits, beside the title
// screen, with "Learn to play" and "Play". It goes once play begins.
class TWelcome : public TGuide {
public:
    explicit TWelcome(TFrontEnd& front) : front_(front) {}
    static TRect Panel();
    std::vector<TMenuButton> Buttons();

    void Follow() override;
    void Draw(TPicture& canvas, TOverlay& overlay) override;
    std::string Look() override;
    bool Press(const TDispatch& d) override;

private:
    TFrontEnd& front_;
    std::optional<size_t> pressed_;
    bool pressTaken_ = false;
};

// Whether the player has played nothing yet: no record, and no replay in the replays folder.
bool FirstStart(TFrontEnd& front);

// The screen at the lesson's end: "Play on" and "New game".
std::unique_ptr<TMenuScreen> MakeLessonEndScreen();
