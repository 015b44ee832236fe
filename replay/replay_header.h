// The head of a replay file: text a person can read.
//
//   Quorvatide replay
//   format: 1
//   game: Quorvatide 1.1.0
//   recorded: 2026-12-08 15:04:05 +0100
//   continues: quorvatide-2026-12-08_15-04-05.qvr      (a session taken over from a replay)
//   taken over: 2026-12-09 10:00:00 +0100, at 03:12 (game 2, tick 3400)
//   speed: 60 %                           (the player's game speed, when not 100 %)
//   setting: VONKELKILL = 50
//   ...                                   (every setting in effect, one a line)
//   <empty line>
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/settings.h"

// The version of the file layout. A later game that changes it raises it, and reads the
// formats before it or says it cannot; a game meeting a format above its own says so.
constexpr int kReplayFormat = 1;

struct TReplayHeader {
    int format = kReplayFormat;
    std::string game;      // the game and version that recorded it
    std::string recorded;  // when, as a person reads it
    // The board was shown at start-up without the splash screen (QUORVATIDE_SHOW_BOARD).
    bool boardShown = false;
    // For a session taken over from a recording: the recording's file name, and when and where
    // in it play was taken over, as a person reads it. Empty for a session played from its start.
    std::string continues, takenOver;
    // The game's pace the player chose, in percent of its own (the recorded clock readings
    // already hold it; this is for people and the records). Older files say nothing: 100.
    int speed = 100;
    // Lines of a later version's or of a kind of game's own (a daily challenge's day),
    // "name: value", written after the header's own and kept as they are when read.
    std::vector<std::pair<std::string, std::string>> notes;
    // Every setting in effect: key and value as text.
    std::vector<std::pair<std::string, std::string>> settings;
};

// The header of a session recorded by this version with `settings`.
TReplayHeader MakeReplayHeader(const TSettings& settings, const std::string& recorded,
                               bool boardShown);
std::string FormatReplayHeader(const TReplayHeader& header);
// Reads the header at the start of `bytes`; `bodyAt` is where what follows it begins. On
// failure, `error` says why in words fit for one line after the file's name.
bool ParseReplayHeader(std::string_view bytes, TReplayHeader& header, size_t& bodyAt,
                       std::string& error);
// The settings a session was recorded with. False, with `error`, for a setting this version does
// not know or a value it cannot read; settings the header does not name keep their defaults (a
// version before them played with those).
bool ReadReplaySettings(const TReplayHeader& header, TSettings& settings, std::string& error);
