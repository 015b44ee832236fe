// The pointer of the game controller and the keyboard: a highlight that moves by the game's own
// grid, tile by tile over the board and item by item over an open menu, and a confirm press that
// is a left click where it stands. It reaches the game only as the mouse moves, presses and
// releases a mouse would make, through the same dispatch as the mouse, so the game, its replays
// and their checks cannot tell the two apart. Nothing here draws: the host asks for the
// highlight's rectangle and draws it over the composed frame.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "toolkit/session.h"

class TForm1;

enum class TPointerDir : uint8_t { Left, Right, Up, Down };

// Where a pointer input comes from: each lets go of what it holds on its own (an unplugged pad
// lets go of its buttons and its stick, not of the keyboard's keys).
enum class TPointerSource : uint8_t { Keys, Pad, Stick };

class TGridPointer {
public:
    // A held direction moves once at once, again after the delay, then at the steady rate.
    static constexpr uint64_t kRepeatDelayMs = 300;
    static constexpr uint64_t kRepeatEveryMs = 80;
    // A stick held over the board glides the pointer, one step a frame.
    static constexpr uint64_t kGlideStepMs = 16;
    // Game pixels a second at full deflection.
    static constexpr double kGlideSpeed = 560;
    // Over a menu a stick moves item by item, once deflected this far.
    static constexpr double kStickStepAt = 0.5;

    // What the pointer is over, read from the game each time it acts; Items: the items a
    // session shows over the window (the front end's menus), over everything else.
    enum class TMode : uint8_t { None, Splash, GameOver, Paused, Board, BuildMenu, OrbMenu, Items };

    using TGameOf = std::function<TForm1*()>;
    using TSend = std::function<void(const TDispatch&)>;
    using TItemsOf = std::function<std::vector<TRect>()>;
    using TSendHostKey = std::function<bool(THostKey)>;
    // `game` gives the window's game (null when there is none), `send` hands a dispatch on as the
    // host hands on the mouse; `items` the items a session shows over the window (none: no
    // such items), `hostKey` hands a key to the session and says whether it took it.
    TGridPointer(TGameOf game, TSend send, TItemsOf items = {}, TSendHostKey hostKey = {});

    // Times are the host's clock, in milliseconds.
    void Press(TPointerSource source, TPointerDir dir, uint64_t now);
    void Release(TPointerSource source, TPointerDir dir);
    // The left button at the pointer: down with the press, up with the release. On the splash
    // and game-over screens it clicks wherever the screen takes clicks.
    void ConfirmDown(TPointerSource source);
    void ConfirmUp(TPointerSource source);
    // Closes an open menu the way a click on the board outside it does; over the session's
    // items, hands it Escape; otherwise nothing.
    void Back();
    // The pad's menu button: the session's menu (THostKey::Menu), or where there is none, the
    // pause (P).
    void Menu();
    // A typed character (the pad's Start and Back buttons).
    void TypeKey(char key);
    // A stick's deflection, each axis -1 .. 1 with its dead zone already taken off.
    void Stick(double x, double y, uint64_t now);
    // Lets go of everything the source holds: directions, the confirm press, the stick.
    void LetGo(TPointerSource source);

    // The mouse moved to (x, y) in game pixels: the highlight goes, and the pointer goes on from
    // there when next used.
    void MouseUsed(int x, int y);

    // One finger on a touch screen, in game pixels. Where the game is shown large enough for a
    // finger to hit what it means (`direct`), a touch is the mouse: pressed where the finger
    // comes down, dragged, released where it lifts. Elsewhere the finger carries the pointer:
    // down, it goes to the tile or menu item under the finger and its highlight shows which;
    // moving, it follows; lifted, it clicks there. A finger off the board clicks nothing, and a
    // finger on the board beside an open menu points at the tile, whose click closes the menu
    // as the mouse's does. On the splash and game-over screens the lift is their click, and over
    // the pause panel it is P: play goes on, as it could not without a keyboard.
    void TouchDown(int x, int y, bool direct);
    void TouchMove(int x, int y);
    void TouchUp(int x, int y);
    // The system took the touch for a gesture of its own: the mouse's press comes up where it
    // is; the pointer clicks nothing.
    void TouchCancel();
    // A finger is down and carries the pointer (not the direct touch, which is the mouse).
    bool Carried() const { return touch_ == TTouch::Pointer; }

    // Repeats of a held direction and the stick's glide that are due by `now`.
    void RunDue(uint64_t now);
    // When RunDue next has something to do, if ever.
    std::optional<uint64_t> NextDue() const;

    // The rectangle (game pixels) the highlight covers now, when it shows: the pointer was used
    // last, and it stands on the board or on an open menu's item.
    std::optional<TRect> Highlight() const;
    // Whether the pointer rather than the mouse was used last.
    bool InUse() const { return inUse_; }
    int X() const { return x_; }
    int Y() const { return y_; }
    TMode Mode() const;

private:
    struct TCell {
        int col = 0, row = 0;
    };
    // One step that way; `shown`: the highlight showed where the pointer stands.
    void Step(TPointerDir dir, bool shown = true);
    // Moves the pointer onto the grid of what now lies under it; true when that changed.
    bool Resync();
    void MoveTo(int x, int y);
    void Send(TDispatch d);
    void StickSteps(uint64_t now);
    void Glide(uint64_t now);
    TCell CellAt(const TForm1* game, TMode mode, int x, int y) const;
    TRect CellRect(const TForm1* game, TMode mode, TCell cell) const;
    std::vector<TRect> Items() const { return items_ ? items_() : std::vector<TRect>(); }
    void StepItems(TPointerDir dir);
    void TouchAt(int x, int y);

    TGameOf game_;
    TSend send_;
    TItemsOf items_;
    TSendHostKey hostKey_;
    // Where the pointer is, in game pixels (the mouse's place when the mouse was used last).
    int x_ = 8 + 350, y_ = 8 + 350;
    // Fractions of a pixel the stick's glide has not yet moved.
    double glideX_ = 0, glideY_ = 0;
    bool inUse_ = false;
    // The mouse moved since the pointer last looked at what lies under it.
    bool mouseMoved_ = false;
    // What the pointer was over when it last acted; a change moves it onto the new grid.
    TMode mode_ = TMode::None;
    bool synced_ = false;
    // Directions held, one bit each per source.
    uint8_t held_[3] = {0, 0, 0};
    // The direction that repeats: the last pressed, while it is held.
    std::optional<TPointerDir> repeating_;
    TPointerSource repeatSource_ = TPointerSource::Keys;
    uint64_t nextRepeat_ = 0;
    // The source holding the confirm press down.
    std::optional<TPointerSource> confirmBy_;
    double stickX_ = 0, stickY_ = 0;
    uint64_t lastGlide_ = 0;
    // The finger down, if any, and how it acts.
    enum class TTouch : uint8_t { None, Direct, Pointer };
    TTouch touch_ = TTouch::None;
    // The carried pointer's finger lies where nothing can be clicked.
    bool touchOff_ = false;
    // The direct touch came down on the pause panel.
    bool touchOnPause_ = false;
};
