// The player's own folders, for a game installed where its players cannot write: settings of
// their own in the configuration folder, and the debug log in the state folder when the Assets
// folder is read-only. The folders follow the XDG base directory rules; the host reads the
// environment and passes the values in.
#pragma once

#include <string>

// "<base>/quorvatide/" where base is `xdgHome` when it is an absolute path, else
// "<home>/<homeFallback>" (e.g. ".config"); empty when neither gives an absolute path.
std::string UserFolder(const char* xdgHome, const char* home, const char* homeFallback);

// The settings file read at start-up: `configDir` + "settings.ini" when that file exists,
// else the one in the Assets folder. An empty configDir means there is no user folder.
std::string SettingsPath(const std::string& assetDir, const std::string& configDir);

// The text of the settings file at `path`, its first megabyte at most; empty when it is missing,
// cannot be read or is no regular file (a named pipe or a device would hold up the start).
std::string ReadSettingsFile(const std::string& path);
