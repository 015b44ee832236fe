// Checking a replay without a window: the session played again as fast as it goes, with no
// sound, every digest compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "replay/replay_file.h"
#include "toolkit/platform.h"

struct TCheckOutcome {
    // 0 every digest matched; 1 the game went its own way; 2 the file is not a replay this
    // version can read (or the creature log could not be written).
    int status = 0;
    // What to tell the player: one line, for stdout when all matched, else for stderr.
    std::string message;
    int games = 0, ticks = 0, digests = 0;
    // The host's time from the first dispatch to the last.
    uint64_t sessionMs = 0;
    bool complete = false;
};

// Plays the replay at `path`, read with `files`, with the Assets folder of `exeDir`. A daily
// challenge's replay is proven as well (replay/daily.h): its message is then "FILE: daily
// 2026-12-09, try 1: score 1 234, proven", or status 1 and the reason it is not. With
// `debugLog`, writes the replayed session's creature log there, as the session's debug.txt was
// written; a `debugLog` that is the replay's own file is refused (status 2).
TCheckOutcome CheckReplay(const std::string& path, IFiles& files, const std::string& exeDir,
                          const std::string& debugLog = {});

// The same for a replay file already read, without proving a daily one (a replay taken over
// need only play as recorded); `name` stands for the file in the message.
TCheckOutcome CheckReplayFile(TReplayFile file, const std::string& name, IFiles& files,
                              const std::string& exeDir);

// The same as CheckReplay for the bytes of a replay file; `name` stands for the file in the
// message. Records beyond `maxBody` bytes make it too large to be a replay.
TCheckOutcome CheckReplayBytes(std::string_view bytes, const std::string& name, IFiles& files,
                               const std::string& exeDir, const std::string& debugLog,
                               size_t maxBody);
