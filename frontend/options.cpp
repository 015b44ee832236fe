#include "frontend/options.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <iterator>
#include <optional>

namespace {

// Whatever the file holds, no more than this is read.
constexpr size_t kMaxOptionsBytes = 64 * 1024;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool ReadInt(std::string_view text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ReadSwitch(std::string_view text, bool& value) {
    if (text == "on" || text == "yes" || text == "1") return value = true, true;
    if (text == "off" || text == "no" || text == "0") return value = false, true;
    return false;
}

const char* Switch(bool on) {
    return on ? "on" : "off";
}

// One option of the file: its name, how its value is read, and what it accepts.
struct TOptionKey {
    const char* name;
    const char* accepts;
    bool (*read)(std::string_view text, TOptions& options);
};

bool Volume(std::string_view text, int& volume) {
    int v = 0;
    if (!ReadInt(text, v) || v < 0 || v > 100 || v % 10 != 0) return false;
    volume = v;
    return true;
}

const TOptionKey kKeys[] = {
    {"music volume", "0 to 100 in steps of 10",
     [](std::string_view t, TOptions& o) { return Volume(t, o.musicVolume); }},
    {"effects volume", "0 to 100 in steps of 10",
     [](std::string_view t, TOptions& o) { return Volume(t, o.effectsVolume); }},
    {"fullscreen", "on or off",
     [](std::string_view t, TOptions& o) { return ReadSwitch(t, o.fullscreen); }},
    {"window scale", "0 (the largest that fits) to 16",
     [](std::string_view t, TOptions& o) {
         int v = 0;
         if (!ReadInt(t, v) || v < 0 || v > 16) return false;
         o.windowScale = v;
         return true;
     }},
    {"calm effects", "on or off",
     [](std::string_view t, TOptions& o) { return ReadSwitch(t, o.calmEffects); }},
    {"pause when the window loses focus", "on or off",
     [](std::string_view t, TOptions& o) { return ReadSwitch(t, o.pauseOnFocusLoss); }},
    {"game speed", "100, 80, 60 or 40",
     [](std::string_view t, TOptions& o) {
         int v = 0;
         if (!ReadInt(t, v) ||
             std::find(std::begin(kGameSpeeds), std::end(kGameSpeeds), v) == std::end(kGameSpeeds))
             return false;
         o.gameSpeed = v;
         return true;
     }},
    {"lesson done", "on or off",
     [](std::string_view t, TOptions& o) { return ReadSwitch(t, o.lessonDone); }},
    {"lesson step", "0 to 99",
     [](std::string_view t, TOptions& o) {
         int v = 0;
         if (!ReadInt(t, v) || v < 0 || v > 99) return false;
         o.lessonStep = v;
         return true;
     }},
};

}  // namespace

std::string FormatOptions(const TOptions& o) {
    std::string s =
        "# Quorvatide's options, as the game's Options screen sets them. The game's balance is\n"
        "# settings.ini's, not this file's.\n";
    s += "music volume = " + std::to_string(o.musicVolume) + "\n";
    s += "effects volume = " + std::to_string(o.effectsVolume) + "\n";
    s += std::string("fullscreen = ") + Switch(o.fullscreen) + "\n";
    s += "window scale = " + std::to_string(o.windowScale) + "\n";
    s += std::string("calm effects = ") + Switch(o.calmEffects) + "\n";
    s += std::string("pause when the window loses focus = ") + Switch(o.pauseOnFocusLoss) + "\n";
    s += "game speed = " + std::to_string(o.gameSpeed) + "\n";
    s += std::string("lesson done = ") + Switch(o.lessonDone) + "\n";
    s += "lesson step = " + std::to_string(o.lessonStep) + "\n";
    return s;
}

TOptions ParseOptions(std::string_view text, std::string& error) {
    TOptions options;
    error.clear();
    const auto fault = [&](int line, const std::string& what) {
        if (error.empty()) error = "line " + std::to_string(line) + ": " + what;
    };
    int line = 0;
    while (!text.empty()) {
        ++line;
        const size_t nl = text.find('\n');
        std::string_view row = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        row = Trim(row);
        if (row.empty() || row.front() == '#' || row.front() == ';') continue;
        if (row.find('\0') != std::string_view::npos) {
            fault(line, "not text");
            continue;
        }
        const size_t eq = row.find('=');
        if (eq == std::string_view::npos) {
            fault(line, "no '=' in '" + std::string(row.substr(0, 40)) + "'");
            continue;
        }
        const std::string_view name = Trim(row.substr(0, eq)), value = Trim(row.substr(eq + 1));
        const TOptionKey* key = nullptr;
        for (const TOptionKey& k : kKeys)
            if (name == k.name) key = &k;
        // A later version's option: not this one's to judge.
        if (!key) continue;
        if (!key->read(value, options))
            fault(line, std::string(key->name) + " is '" + std::string(value.substr(0, 20)) +
                            "', not " + key->accepts);
    }
    return options;
}

TOptions ReadOptions(IFiles& files, const std::string& folder, std::string& warning) {
    warning.clear();
    if (folder.empty()) return TOptions();
    const std::string path = folder + kOptionsFileName;
    bool whole = false;
    const std::optional<std::string> text = files.Read(path, kMaxOptionsBytes, &whole);
    if (!text) {
        if (files.IsFile(path)) warning = path + ": cannot be read; the default options are used";
        return TOptions();
    }
    std::string error;
    TOptions options = ParseOptions(*text, error);
    if (!whole && error.empty()) error = "longer than an options file can be";
    if (!error.empty()) warning = path + ": " + error + "; the default is used for it";
    return options;
}

int WriteOptions(IFiles& files, const std::string& folder, const TOptions& options) {
    if (folder.empty()) return ENOENT;
    return files.Replace(folder + kOptionsFileName, FormatOptions(options), true);
}
