#include "replay/replay_header.h"

#include <charconv>
#include <cstdio>

#include "quorvatide_version.h"

namespace {

constexpr std::string_view kMagic = "Quorvatide replay\n";
// Bounds on what a file may make us hold, so that no file can take unbounded memory.
constexpr size_t kMaxHeaderBytes = 64 * 1024;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

TReplayHeader MakeReplayHeader(const TSettings& settings, const std::string& recorded,
                               bool boardShown) {
    TReplayHeader header;
    header.game = std::string("Quorvatide ") + kGameVersion;
    header.recorded = recorded;
    header.boardShown = boardShown;
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& key = SettingKeys()[i];
        header.settings.emplace_back(key.name, SettingText(settings, key));
    }
    return header;
}

std::string FormatReplayHeader(const TReplayHeader& h) {
    std::string s(kMagic);
    s += "format: " + std::to_string(h.format) + "\n";
    s += "game: " + h.game + "\n";
    s += "recorded: " + h.recorded + "\n";
    if (h.boardShown) s += "start: board shown\n";
    if (!h.continues.empty()) s += "continues: " + h.continues + "\n";
    if (!h.takenOver.empty()) s += "taken over: " + h.takenOver + "\n";
    if (h.speed != 100) s += "speed: " + std::to_string(h.speed) + " %\n";
    for (const auto& [name, value] : h.notes) s += name + ": " + value + "\n";
    for (const auto& [key, value] : h.settings) s += "setting: " + key + " = " + value + "\n";
    s += "\n";
    return s;
}

bool ParseReplayHeader(std::string_view bytes, TReplayHeader& header, size_t& bodyAt,
                       std::string& error) {
    if (bytes.empty()) {
        error = "the file is empty";
        return false;
    }
    if (bytes.substr(0, kMagic.size()) != kMagic) {
        error = kMagic.substr(0, bytes.size()) == bytes.substr(0, kMagic.size())
                    ? "the file is cut short in its header"
                    : "not a Quorvatide replay";
        return false;
    }
    size_t pos = kMagic.size();
    bool haveFormat = false;
    for (;;) {
        const size_t nl = bytes.find('\n', pos);
        if (nl == std::string_view::npos || nl > kMaxHeaderBytes) {
            error = nl == std::string_view::npos && bytes.size() <= kMaxHeaderBytes
                        ? "the file is cut short in its header"
                        : "the header is too long";
            return false;
        }
        const std::string_view line = bytes.substr(pos, nl - pos);
        pos = nl + 1;
        if (line.empty()) break;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            error = "a header line without a name: '" + std::string(line.substr(0, 60)) + "'";
            return false;
        }
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = Trim(line.substr(colon + 1));
        if (name == "format") {
            int format = 0;
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), format);
            if (ec != std::errc() || end != value.data() + value.size() || format < 1) {
                error = "an unknown replay format '" + std::string(value.substr(0, 20)) + "'";
                return false;
            }
            if (format > kReplayFormat) {
                error = "recorded by a newer version of the game (replay format " +
                        std::to_string(format) + "; this version reads format " +
                        std::to_string(kReplayFormat) + ")";
                return false;
            }
            header.format = format;
            haveFormat = true;
        } else if (name == "game") {
            header.game = value;
        } else if (name == "recorded") {
            header.recorded = value;
        } else if (name == "start") {
            header.boardShown = value == "board shown";
        } else if (name == "continues") {
            header.continues = value;
        } else if (name == "taken over") {
            header.takenOver = value;
        } else if (name == "speed") {
            // "60 %". A value that cannot be read leaves the speed at 100: the line is a note,
            // nothing the replay's play depends on.
            std::string_view number = value;
            if (number.size() > 1 && number.back() == '%')
                number = Trim(number.substr(0, number.size() - 1));
            int speed = 0;
            const auto [end, ec] =
                std::from_chars(number.data(), number.data() + number.size(), speed);
            if (ec == std::errc() && end == number.data() + number.size() && speed > 0 &&
                speed <= 1000)
                header.speed = speed;
        } else if (name == "setting") {
            const size_t eq = value.find('=');
            if (eq == std::string_view::npos) {
                error = "a setting without a value: '" + std::string(value.substr(0, 60)) + "'";
                return false;
            }
            header.settings.emplace_back(Trim(value.substr(0, eq)), Trim(value.substr(eq + 1)));
        } else {
            // Other lines are notes: for people, or for a kind of game (a daily challenge's day);
            // a later version that needs them read to play the file raises the format.
            header.notes.emplace_back(name, value);
        }
    }
    if (!haveFormat) {
        error = "the header does not say its format";
        return false;
    }
    bodyAt = pos;
    return true;
}

bool ReadReplaySettings(const TReplayHeader& header, TSettings& settings, std::string& error) {
    settings = TSettings();
    for (const auto& [name, value] : header.settings) {
        const TSettingKey* key = FindSettingKey(name);
        if (!key) {
            error = "a setting this version does not know: " + name.substr(0, 40);
            return false;
        }
        if (!SetSetting(settings, *key, value)) {
            error = "the setting " + name + " has an unreadable value";
            return false;
        }
    }
    return true;
}
