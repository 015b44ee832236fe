#include "shell/user_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
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

std::string ReadSettingsFile(const std::string& path) {
    constexpr size_t kMaxBytes = 1024 * 1024;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    // A piece at a time, so that a short file costs no megabyte of memory.
    std::string text;
    char piece[4096];
    while (
        text.size() < kMaxBytes &&
        in.read(piece, std::streamsize(std::min(sizeof piece, kMaxBytes - text.size()))).gcount() >
            0)
        text.append(piece, size_t(in.gcount()));
    return text;
}
