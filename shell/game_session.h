// One game and its window: the one way a game is made and handed what happens to it, for play
// in the window, for recording and playback, and for every headless game of the tests, the
// fuzzers and the balance lab.
#pragma once

#include <functional>
#include <memory>

#include "core/form1.h"
#include "toolkit/session.h"

class TGameSession {
public:
    // Makes the game on `platform`, whose clock the game reads (the host's, a recorder's or a
    // replay's player), with `settings`; `boardShown` leaves the splash panel hidden, to look at
    // the board as start-up builds it.
    TGameSession(TPlatform& platform, const TSettings& settings, bool boardShown = false);
    // Calls onClosing, then ends the game (its FormDestroy).
    ~TGameSession();
    TGameSession(const TGameSession&) = delete;
    TGameSession& operator=(const TGameSession&) = delete;

    TForm1& Game() { return *game_; }
    const TForm1& Game() const { return *game_; }

    // Hands a dispatch to the game. `then` runs once the game has taken it, while Games() still
    // counts the game the dispatch was in (a game left for a new one counts on after it).
    void Hand(const TDispatch& dispatch, const std::function<void()>& then = {});
    // The game being played: 1 at first, one more each time a game over is left for a new game.
    int Games() const { return games_; }
    // The last dispatch ended a game (the orb fell in it).
    bool GameEnded() const { return ended_; }

    // Called after every dispatch the game has taken.
    std::function<void()> onDispatched;
    // Called before the game's own shutdown.
    std::function<void()> onClosing;

private:
    std::unique_ptr<TForm1> game_;
    int games_ = 1;
    bool wasOver_ = false;
    bool ended_ = false;
};
