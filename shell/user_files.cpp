#include "shell/user_files.h"

#include <filesystem>
#include <system_error>

std::string UserFolder(const char* xdgHome, const char* home, const char* homeFallback) {
    // Relative values are invalid by the XDG rules and are ignored.
    std::string base;
    if (xdgHome && xdgHome[0] == '/') {
        base = xdgHome;
    } else if (home && home[0] == '/') {
        base = home;
        if (base.back() != '/') base += '/';
        base += homeFallback;
    } else {
        return {};
    }
    if (base.back() != '/') base += '/';
    return base + "quorvatide/";
}

std::string SettingsPath(const std::string& assetDir, const std::string& configDir) {
    if (!configDir.empty()) {
        const std::string own = configDir + "settings.ini";
        std::error_code ec;
        if (std::filesystem::is_regular_file(own, ec)) return own;
    }
    return assetDir + "settings.ini";
}
