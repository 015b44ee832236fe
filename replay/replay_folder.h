// Where the real program keeps its recordings: one file a session in
// $XDG_STATE_HOME/quorvatide/replays/, named after the moment the session began
// (quorvatide-2026-12-08_15-04-05.qvr, with "-best-1070" added once a game has ended with that
// score), the newest 50 kept.
#pragma once

#include <ctime>
#include <string>

// Files kept in the folder, the new session's among them.
constexpr int kReplaysKept = 50;

// The folder under the player's state folder (which ends in a separator); empty without one.
std::string ReplayFolder(const std::string& stateDir);

// The name of a session begun at `when` (local time), without its extension.
std::string ReplayStem(const std::tm& when);
// The date and time as the replay's header gives it.
std::string ReplayDate(const std::tm& when, long utcOffsetSeconds);

// The name, without its extension, of a session taken over at `when` (local time) from the
// replay named `source` (a path or a file name): the name of the session it began as, without a
// best score, then "-continued-" and the moment:
// quorvatide-2026-12-08_15-04-05-continued-2026-12-09_10-00-00.
std::string ContinuedStem(const std::string& source, const std::tm& when);

// Whether a file name is one the game gives its replays (a taken-over session's among them).
bool IsReplayFileName(const std::string& name);

// Makes the folder and removes the oldest of the game's own replays in it (files with the
// game's names that begin as a replay does; nothing else is touched) so that `keep` - 1 are
// left, and returns a path for the new session's file that no file has yet (the stem, or the
// stem with "-2", "-3", ... when a session of the same second exists), as `path` and `stem`.
// The file `spare`, when given, is never removed (the replay a new session continues).
// On failure returns false and `error` says why.
bool PrepareReplayFolder(const std::string& folder, const std::string& stem, int keep,
                         std::string& path, std::string& pathStem, std::string& error,
                         const std::string& spare = {});
