// The game's paths are UTF-8 strings; std::filesystem reads a narrow string in the system's
// own encoding (on Windows the ANSI code page, where a name with accents breaks). These go
// between the two as UTF-8 on every system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

inline std::filesystem::path Utf8Path(std::string_view text) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

inline std::string PathUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}
