// The files the game is made from before its window exists: the settings, from the player's
// own folder when they keep a settings.ini there, else from the Assets folder.
#pragma once

#include <string>

#include "core/settings.h"
#include "toolkit/platform.h"

// The settings file read at start-up: `configDir` + "settings.ini" when that is a regular file,
// else the one in the Assets folder. An empty configDir means there is no user folder.
std::string SettingsPath(IFiles& files, const std::string& assetDir, const std::string& configDir);

// The settings the game on `platform` plays with, read before it is made: a file that is
// missing, not a regular file or unreadable gives the defaults. A file of the player's own that
// cannot be read is named in one line on stderr, and the installed one is read instead.
TSettings ReadGameSettings(TPlatform& platform);
