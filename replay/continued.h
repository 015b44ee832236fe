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
    // Why there is none is that its last game is over, or never began.
    bool outOfPlay = false;
};

// Whether the game is still in play: not on the splash screen and not over.
bool StillInPlay(const TForm1& game);

// The session recorded at `path`. One still being recorded by a game running now is not: that
// game is its own to go on with.
TContinuable OpenToContinue(TPlatform& host, const std::string& path);

// The newest replay of `folder` (see replay_folder.h; `now` is the moment now as a replay's
// header gives it, or empty) whose last game was still in play when its session ended. A
// replay that another continues has been continued already and does not count (a continuation
// cut off before it held its hand-over continues nothing), nor does one still being recorded.
// A newer replay that cannot be read or played is named in one line on stderr and passed over.
TContinuable FindToContinue(TPlatform& host, const std::string& folder,
                            const std::string& now = {});
