// Where the real program keeps its recordings: one file a session in
// $XDG_STATE_HOME/quorvatide/replays/, named after the moment the session began
// (quorvatide-2026-12-08_15-04-05.qvr, with "-best-1070" added once a game has ended with that
// score), the newest 50 kept.
//
// Which is newest is told by what the files record, never by their file times (which a copy, a
// touch or a clock set wrong changes): each session's own beginning, from its header (the date
// it was recorded, or for a session taken over, the moment of the taking over) or else from its
// name. A session dated after the moment now (more than a few minutes: recorded while the clock
// was ahead) cannot be newer than one that began since, and counts as older than every session
// dated up to now. A session taken over counts as newer than the one it continues, whatever its
// own date. Sessions of the same moment come in the order of their names' -2, -3, ..., then
// their names. An empty file (a session that could not even write its header) is older than
// any that holds something.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "replay/replay_header.h"
#include "toolkit/platform.h"

// Files kept in the folder, the new session's among them.
constexpr int kReplaysKept = 50;

// The folder under the player's state folder (which ends in a separator); empty without one.
std::string ReplayFolder(const std::string& stateDir);

// The name of a session begun at `when` (local time), without its extension.
std::string ReplayStem(const std::tm& when);
// The date and time as the replay's header gives it.
std::string ReplayDate(const std::tm& when, long utcOffsetSeconds);
// A date as ReplayDate gives it (what follows it is not read) in seconds since 1970, UTC;
// nothing when it is none.
std::optional<int64_t> ReplayDateSeconds(const std::string& date);

// The name, without its extension, of a session taken over at `when` (local time) from the
// replay named `source` (a path or a file name): the name of the session it began as, without a
// best score, then "-continued-" and the moment:
// quorvatide-2026-12-08_15-04-05-continued-2026-12-09_10-00-00. A long name of the player's own
// is shortened, so that with every suffix the game may add the file's name is within the
// 255 bytes file systems allow.
std::string ContinuedStem(const std::string& source, const std::tm& when);

// Whether a file name is one the game gives its replays (a taken-over session's among them).
bool IsReplayFileName(const std::string& name);

// One of the game's own replays in a folder.
struct TFolderReplay {
    std::string path, name;
    // Empty: nothing written (a session that could not write its header, in an older version).
    bool empty = false;
    // The header, when it could be read.
    std::optional<TReplayHeader> header;
    // Made by a game still running, which is recording into it (IFiles::InUse).
    bool inUse = false;
};

// The game's own replays in `folder` (files with the game's names that begin as a replay does,
// or are empty), newest first as the folder's note above says, `now` being the moment now as a
// replay's header gives it (ReplayDate; empty when it is not known: nothing is then dated
// after it). Nothing, with `error`, when the folder cannot be read.
std::vector<TFolderReplay> ListReplays(IFiles& files, const std::string& folder,
                                       const std::string& now, std::string* error = nullptr);

// Makes the folder and removes the oldest of the game's own replays in it (see ListReplays:
// nothing else is touched) so that `keep` - 1 are left, `now` being the new session's
// beginning as its header gives it. Never removed: the file `spare`, when given (the replay a
// new session continues), and a replay still being recorded by a game running now. On failure
// returns false and `error` says why.
// Nor are the files named in `kept` (file names in the folder: the records' best games).
bool PruneReplayFolder(IFiles& files, const std::string& folder, int keep, const std::string& now,
                       std::string& error, const std::string& spare = {},
                       const std::vector<std::string>& kept = {});

// Makes a new session's file in `folder` with `create` under the first free name: `stem`, or
// the stem with "-2", "-3", ... when a file has it already (renamed with a best score or not),
// or when `create` finds it taken meanwhile (another instance of the game begun in the same
// second). `create` makes the file at the path it is given and returns true, or false with
// `taken` set when the name was taken, unset when it failed for another reason. On success
// `path` and `pathStem` are the file's; on failure `error` says why (what `create` said is
// its to keep).
using TCreateReplay = std::function<bool(const std::string& path, bool& taken)>;
bool CreateInReplayFolder(const std::string& folder, const std::string& stem,
                          const TCreateReplay& create, std::string& path, std::string& pathStem,
                          std::string& error);
