// What the host hands the window, and the session it hands it to. Input, the end of a music
// track and the passing of time reach the game only as dispatches; a session decides what
// becomes of them: live play hands them on and may write them down, a replay ignores the
// viewer's input and hands the window what was recorded instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/form.h"

// One thing the host hands the window, in the window's own pixels, with the host's clock time
// when it happened.
struct TDispatch {
    // Numbered as a recording numbers its records.
    enum class TKind : uint8_t {
        MouseMove = 3,
        MouseDown = 4,
        MouseUp = 5,
        Key = 6,
        MusicFinished = 7,
        Timers = 8,
        Close = 10
    };
    TKind kind = TKind::Timers;
    uint64_t time = 0;
    int x = 0, y = 0;                          // the mouse
    TMouseButton button = TMouseButton::Left;  // a press or release
    TShiftState shift;                         // the mouse
    char key = 0;                              // a typed character
    int player = 0;                            // the music player whose track ended

    static TDispatch Mouse(TKind kind, int x, int y, TMouseButton button, TShiftState shift) {
        TDispatch d;
        d.kind = kind;
        d.x = x, d.y = y, d.button = button, d.shift = shift;
        return d;
    }
    static TDispatch MouseMove(int x, int y, TShiftState shift) {
        return Mouse(TKind::MouseMove, x, y, TMouseButton::Left, shift);
    }
    static TDispatch MouseDown(int x, int y, TMouseButton button, TShiftState shift) {
        return Mouse(TKind::MouseDown, x, y, button, shift);
    }
    static TDispatch MouseUp(int x, int y, TMouseButton button, TShiftState shift) {
        return Mouse(TKind::MouseUp, x, y, button, shift);
    }
    static TDispatch Key(char key) {
        TDispatch d;
        d.kind = TKind::Key;
        d.key = key;
        return d;
    }
    static TDispatch MusicFinished(int player) {
        TDispatch d;
        d.kind = TKind::MusicFinished;
        d.player = player;
        return d;
    }
    static TDispatch Timers() { return TDispatch(); }
    static TDispatch Close() {
        TDispatch d;
        d.kind = TKind::Close;
        return d;
    }
};

// Keys of the host's keyboard that type no character the game reads, and the pad's menu button.
enum class THostKey { Left, Right, Up, Down, Home, End, Enter, Escape, Menu };

// What the host's window does for a session that asks (the player's options): none headless.
class IHostWindow {
public:
    virtual ~IHostWindow() = default;
    virtual bool Fullscreen() = 0;
    virtual void SetFullscreen(bool fullscreen) = 0;
    // The window's whole-number scale, and the largest that fits the screen.
    virtual int Scale() = 0;
    virtual int MaxScale() = 0;
    virtual void SetScale(int scale) = 0;
    // Whether the window can be closed from inside (not a page's), and closing it so, as the
    // window manager's close does.
    virtual bool CanClose() = 0;
    virtual void Close() = 0;
    // Puts the folder in front of the player (the system's file manager); false when it cannot.
    virtual bool ShowFolder(const std::string& folder) = 0;
    // Hands the player a line to paste and a file to attach elsewhere (a daily score and its
    // replay): on the desktop the line goes on the clipboard and the file's folder is shown, in
    // the page the line is shown under the game and the file downloaded. False when it cannot.
    virtual bool Share(const std::string& line, const std::string& file) {
        (void)line;
        (void)file;
        return false;
    }
};

// What the host talks to: the session of its one window.
class IWindowSession {
public:
    virtual ~IWindowSession() = default;

    virtual TForm& Form() = 0;
    // Input and the end of music tracks, as they happen (the session stamps the time).
    virtual void Dispatch(const TDispatch& dispatch) = 0;
    // A key that types no character the game reads; true when the session took it (then any
    // character the key types is not passed on).
    virtual bool HostKey(THostKey) { return false; }
    // Whether the player's input reaches the game: not while a replay is only watched, when
    // the host's own pointer (pads, the keyboard's arrows) has nothing to drive.
    virtual bool TakesInput() { return true; }
    // Runs what is due by now: the window's timers, or what a replay holds up to now.
    virtual void RunDue() = 0;
    // The host's clock time at which RunDue next has something to do, if ever.
    virtual std::optional<uint64_t> NextDue() = 0;
    // The window's caption.
    virtual std::string Caption() { return Form().Caption(); }
    // The picture the host shows: the window's frame, unless the session draws over it (the
    // front end's menus). `changed` comes with the rectangles of the frame that Compose painted
    // again and leaves with those of the picture shown.
    virtual const TPicture& Shown(std::vector<TRect>& changed) {
        (void)changed;
        return Form().Frame();
    }
    // The places a pointer without a mouse (a pad, the keyboard's arrows) moves between when the
    // session shows items of its own over the window; none otherwise.
    virtual std::vector<TRect> PointerItems() { return {}; }
    // The host's window gained or lost the keyboard's focus.
    virtual void FocusChanged(bool focused) { (void)focused; }
    // The session being played now, when this one hands what happens on to another (a front
    // end over the game's session); itself otherwise.
    virtual IWindowSession& Playing() { return *this; }
    // The window is about to close; the form still exists.
    virtual void Close() {}
    // The program's exit status once the window has closed.
    virtual int ExitStatus() { return 0; }
};
