// The player's front end: a menu, the options, the records and watching replays, drawn over the
// game's window and never inside it. It is the host's session and hands everything on to the
// session being played (live play recorded, or a replay watched), except what is meant for it:
// its button in the side panel, Escape when no menu of the game is open, the pad's menu button,
// and all input while its menu is open. It asks a game for nothing but what a player could do
// (its input, P for the pause) and reads what the screen shows; so no game plays otherwise for
// it, and every replay holds only what the game was handed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings.h"
#include "frontend/options.h"
#include "frontend/overlay.h"
#include "frontend/records.h"
#include "frontend/session_clock.h"
#include "toolkit/session.h"

class TForm1;
class TGameSession;
class TSessionRecorder;
class TPlaybackSession;
class TFrontEnd;

// What the program around the front end does with the sessions it makes: its crash reports
// watch every game and name the replay being written or watched.
struct TFrontEndHooks {
    // Every game made, live or played back (a jump back makes the game again).
    std::function<void(TGameSession&)> onGame;
    // Every recorder of live play that records to a file (renamed later: its onRename).
    std::function<void(TSessionRecorder&)> onRecorder;
    // A replay about to be watched.
    std::function<void(const std::string& path)> onWatch;
};

// Makes a playback one that can be taken over: recorded into the replays folder of `host`'s
// state folder when taken over, named after that moment, and handed to `hooks`.
void PrepareTakeOver(TPlaybackSession& session, const TPlatform& host, const TFrontEndHooks& hooks);

// One thing on a screen of the front end that the player can press.
struct TMenuButton {
    TRect rect;
    std::string text;
    std::function<void()> press;
    bool enabled = true;
};

// How a button of the menu is shown.
enum class TButtonLook : uint8_t { Normal, Lit, Pressed, Disabled };

// A screen of the front end's menu: it lays out its buttons and draws itself.
class TMenuScreen {
public:
    virtual ~TMenuScreen() = default;
    // Its buttons, where they lie now.
    virtual std::vector<TMenuButton> Buttons(TFrontEnd& front) = 0;
    // Draws its panel and text, under its buttons (laid out by Buttons just before).
    virtual void Draw(TFrontEnd& front, TPicture& canvas) = 0;
    // Draws one of its buttons (the `index`th of Buttons) as it looks now, over what Draw drew
    // there.
    virtual void DrawButton(TFrontEnd& front, TPicture& canvas, const TMenuButton& button,
                            size_t index, TButtonLook look);
    // Escape: by default, back to the screen before.
    virtual void Back(TFrontEnd& front);
};

// A guide over the game (the lesson, the welcome at the first start): it follows the game after
// every change, draws over the frame, and takes the mouse's presses on what it draws. It reads
// the game and never writes it.
class TGuide {
public:
    virtual ~TGuide() = default;
    virtual void Follow() = 0;
    virtual void Draw(TPicture& canvas, TOverlay& overlay) = 0;
    // What the drawing shows now: the front end draws again when it changes.
    virtual std::string Look() = 0;
    // A mouse dispatch the guide takes; false leaves it to the game.
    virtual bool Press(const TDispatch& d) = 0;
    // Whether the host's pointer drives even though the session takes no input.
    virtual bool TakesInput() { return false; }
};

class TLesson;

class TFrontEnd : public IWindowSession {
public:
    // On the host's platform; reads the player's options (a damaged file costs one line).
    TFrontEnd(TPlatform& host, TFrontEndHooks hooks);
    // Over a session the program has made already (a replay watched, a session continued).
    TFrontEnd(TPlatform& host, TFrontEndHooks hooks, std::unique_ptr<IWindowSession> first);
    ~TFrontEnd() override;

    // What a new session of live play is to be: by default the player's own game.
    struct TPlayChoice {
        // The splash screen left away (QUORVATIDE_SHOW_BOARD).
        bool boardShown = false;
        // The pace, percent; none: the player's game speed.
        std::optional<int> speed;
        // Every seed the game takes; none: the host clock's.
        std::optional<uint32_t> seed;
        // The settings; none: settings.ini's.
        std::optional<TSettings> settings;
        // Lines for the replay's header ("daily: 2026-12-09, try 1").
        std::vector<std::pair<std::string, std::string>> notes;
        // Marks the record of a game of the session (a daily's day and try).
        std::function<void(TGameRecord&)> stamp;
        // A session of one game (a daily challenge's try): once its game is over, the click on
        // the game-over screen, a new game, another session or closing the window ends the
        // session, its recording closed and whole, and `ended` is told the replay's file (empty
        // when unrecorded) and the score. After the click the player's own game comes, on its
        // title screen, with the menu open on the screen `ended` gives, if any.
        std::function<std::unique_ptr<TMenuScreen>(const std::string& replay, int64_t score)> ended;
    };
    // A new session of live play, recorded into the replays folder. The session before, if any,
    // is closed first.
    void Play(const TPlayChoice& choice);
    void Play(bool boardShown = false) {
        TPlayChoice choice;
        choice.boardShown = boardShown;
        Play(choice);
    }
    // Watches the replay at `path`; false, with `error`, when it cannot be read.
    bool Watch(const std::string& path, std::string& error);

    // --- IWindowSession
    TForm& Form() override;
    void Dispatch(const TDispatch& dispatch) override;
    bool HostKey(THostKey key) override;
    bool TakesInput() override;
    void RunDue() override;
    std::optional<uint64_t> NextDue() override;
    std::string Caption() override;
    void Close() override;
    int ExitStatus() override;
    const TPicture& Shown(std::vector<TRect>& changed) override;
    std::vector<TRect> PointerItems() override;
    void FocusChanged(bool focused) override;
    IWindowSession& Playing() override { return *session_; }

    // --- for the screens
    TPlatform& Host() { return host_; }
    TOptions& Options() { return options_; }
    // The records of every game played to its end.
    const TRecords& Records() const { return records_; }
    // Watches the replay of a record's game from where its board was made, and with
    // `takeOver` plays it from there; false, with `error`, when it cannot.
    bool WatchGame(const std::string& replay, uint64_t from, bool takeOver, std::string& error);
    // The options changed: applied at once, and kept.
    void OptionsChanged();
    // The game of the session being played, when there is one.
    TForm1* Game();
    // The menu: open it on a screen, go on to another, back, closed.
    void OpenMenu();
    void Push(std::unique_ptr<TMenuScreen> screen);
    void Pop();
    void CloseMenu();
    bool MenuOpen() const { return !screens_.empty(); }
    // The buttons of the menu's screen now (none when it is closed).
    std::vector<TMenuButton> MenuButtons() { return CurrentButtons(); }
    // What the screens ask: resume the game, a new game at once, closing the program.
    void Resume() { CloseMenu(); }
    void NewGame();
    // Whether a game is going on that Resume returns to (not the title or game-over screen).
    bool GameGoingOn();
    // Whether a replay is being watched (not taken over).
    bool Watching();
    // A new game speed chosen, which begins with the next game.
    bool SpeedPending() const { return speedPending_; }
    // Redraws the front end before the next frame.
    void Redraw() { redraw_ = true; }

    // The guide over the game, if any. A session made by anyone but the guide ends it; the guide
    // says so before it makes one itself.
    void SetGuide(std::unique_ptr<TGuide> guide);
    TGuide* Guide() { return guide_.get(); }
    void EndGuide();
    void GuideMakesNext(bool makes = true) { guideMakesNext_ = makes; }
    // The lesson, begun at its first step; the lesson going on, if any.
    void StartLesson();
    TLesson* Lesson();
    // Opens the menu on `screen` (the game paused as OpenMenu pauses it).
    void OpenScreen(std::unique_ptr<TMenuScreen> screen);
    // Writes the options file as the options stand.
    void WriteOptionsFile();

    // Where the side panel's button lies, and the place of the last game shown below it: in
    // the free part of the side panel, or in debug mode, where the debug box fills that, at the
    // foot of the credits.
    TRect MenuButton();
    TRect PlaceBox();

private:
    void Adopt(std::unique_ptr<IWindowSession> session);
    // Closes the session being played; a session of one game whose game is over is ended
    // (TPlayChoice::ended), and the screen it gives kept in after_.
    void CloseSession();
    void ApplyWindowOptions();
    void Draw();
    // Draws the lit or pressed button anew where only that changed.
    void DrawLit();
    TButtonLook LookOf(const TMenuButton& button, size_t index) const;
    void DrawSide(TPicture& canvas);
    void DrawCalm(TPicture& canvas);
    std::vector<TMenuButton> CurrentButtons();
    std::optional<size_t> ButtonAt(const std::vector<TMenuButton>& buttons, int x, int y) const;
    bool InMenuButton(int x, int y);
    void MenuInput(const TDispatch& d);
    void Pause();
    void Unpause();
    void AfterDispatch();
    // What the calm effects and the side panel show from the game now, to redraw when it changes.
    std::string GameLook();
    // A game of live play has just ended (its orb fell): its record, and its place shown.
    void GameEnded(const TForm1& game);
    // The recorder of the live play going on, if it records.
    TSessionRecorder* LiveRecorder();
    // The records follow the recorder's file when it is renamed.
    void FollowRenames(TSessionRecorder& recorder);
    // Where the game going on began (its tick count then), and its session's speed.
    void FindGameStart();

    TPlatform& host_;
    TFrontEndHooks hooks_;
    TOptions options_;
    std::unique_ptr<TSessionClock> clock_;
    std::optional<TPlatform> sessionPlatform_;
    // The session's clock is clock_ (live play the front end made), slowed or not.
    bool scaled_ = false;
    std::unique_ptr<IWindowSession> session_;
    std::vector<std::unique_ptr<TMenuScreen>> screens_;
    // Screens taken off but perhaps still running the press that took them off.
    std::vector<std::unique_ptr<TMenuScreen>> gone_;
    TOverlay overlay_;
    bool redraw_ = true;
    // The button drawn lit or pressed now, and the drawing under it as it was unlit.
    std::optional<size_t> litDrawn_;
    bool pressedDrawn_ = false;
    TPicture unlit_;
    std::vector<TMenuButton> drawnButtons_;
    bool windowApplied_ = false;
    std::string gameLook_;
    // The pointer over the menu: the button under it and the one the press began on.
    int mouseX_ = -1, mouseY_ = -1;
    std::optional<size_t> pressed_;
    bool pressOnMenuButton_ = false;
    // A press the game took: its release goes to the game too.
    bool gameHasPress_ = false;
    // The front end paused the game (or the playback) when its menu opened.
    bool pausedByMenu_ = false;
    // A change of the game speed waits for a new session.
    bool speedPending_ = false;
    // Whether the game was over when last looked at, and the last ended game's place.
    bool wasOver_ = false;
    std::string placeText_;
    TRecords records_;
    // The game's tick count when the game going on began, the session's speed, and the file
    // its recorder writes (as the records know it).
    int startTick_ = 0;
    int sessionSpeed_ = 100;
    std::string recordedPath_;
    // The session's marks for its records, and for a session of one game what its end does,
    // and the screen to show after it.
    std::function<void(TGameRecord&)> stamp_;
    decltype(TPlayChoice::ended) ended_;
    std::unique_ptr<TMenuScreen> after_;
    // The press that ended a session of one game: its release goes nowhere.
    bool endingPress_ = false;
    std::unique_ptr<TGuide> guide_;
    // Guides ended but perhaps still running the press that ended them.
    std::vector<std::unique_ptr<TGuide>> goneGuides_;
    bool guideMakesNext_ = false;
};
