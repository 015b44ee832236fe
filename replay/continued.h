// Continuing a session left in the middle of a game — closed, killed or crashed: its recording
// played without sound to where it stops, ready to be taken over.
#pragma once

#include <memory>
#include <string>

#include "replay/playback_session.h"

struct TContinuable {
    // The playback, played to its hand-over; nothing when there is none.
    std::unique_ptr<TPlaybackSession> session;
    std::string path;
    // Why there is none, in one line without the program's name, and the exit status it gives
    // (1 the recording does not play as recorded, 2 otherwise).
    std::string error;
    int status = 0;
};

// Whether the game is still in play: not on the splash screen and not over.
bool StillInPlay(const TForm1& game);

// The session recorded at `path`.
TContinuable OpenToContinue(TPlatform& host, const std::string& path);

// The newest replay of `folder` whose last game was still in play when its session ended. A
// replay that a newer one continues has been continued already and does not count, nor does a
// file that cannot be read.
TContinuable FindToContinue(TPlatform& host, const std::string& folder);
