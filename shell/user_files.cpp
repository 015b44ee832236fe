#include "shell/user_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/form1.h"

std::string SettingsPath(IFiles& files, const std::string& assetDir, const std::string& configDir) {
    if (!configDir.empty()) {
        const std::string own = configDir + "settings.ini";
        if (files.IsFile(own)) return own;
    }
    return assetDir + "settings.ini";
}

TSettings ReadGameSettings(TPlatform& platform) {
    const std::string assetDir = TForm1::AssetDirOf(platform.exeDir);
    const std::string installed = assetDir + "settings.ini";
    const std::string path = SettingsPath(platform.files, assetDir, platform.configDir);
    errno = 0;
    auto text = platform.files.Read(path, kMaxSettingsBytes);
    if (!text && path != installed) {
        // The player's own file is there but cannot be read (mode 000 after a copy as root, say):
        // said, and the installed settings played instead of the defaults.
        const int error = errno;
        std::fprintf(stderr, "quorvatide: cannot read %s: %s; the settings of %s are used\n",
                     path.c_str(), error ? std::strerror(error) : "not a file that can be read",
                     installed.c_str());
        text = platform.files.Read(installed, kMaxSettingsBytes);
    }
    return text ? ReadSettingsText(*text) : TSettings();
}
