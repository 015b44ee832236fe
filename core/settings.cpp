#include "core/settings.h"

#include <ini.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

namespace {

// The longest line read as a setting, without its blanks at either end: what fits inih's usual
// line buffer of 200 bytes with the line break and the NUL. An inih built with a smaller buffer
// lowers it; a larger one does not raise it, so that a file reads alike with every build.
constexpr size_t kLongestLine = 198;

#define QV_INT(key, meaning) \
    { #key, &TSettings::key, nullptr, meaning }
#define QV_REAL(key, meaning) \
    { #key, nullptr, &TSettings::key, meaning }

const TSettingKey kKeys[kSettingCount] = {
    QV_INT(VONKELKILL, "Score for a creature killed by another creature's shot."),
    QV_INT(TURRETKILL, "Score for a creature killed by a turret."),
    QV_INT(FVONKELBASESPEED, "Ticks between the steps of an F creature (larger is slower)."),
    QV_INT(EVONKELBASESPEED, "Ticks between the steps of an E creature (larger is slower)."),
    QV_INT(SVONKELBASESPEED, "Ticks between the steps of an S creature (larger is slower)."),
    QV_INT(SIGNCOST, "Scrap paid for a sign; half comes back when it is removed."),
    QV_INT(BOTCOST, "Scrap paid for a builder bot."),
    QV_INT(MAX_SIGN, "Signs allowed per builder bot."),
    QV_INT(GATHER_SCRAP, "Scrap gained for each gathered board object."),
    QV_INT(FVONKELBASEEMERGE, "Ticks between two F creatures leaving their tunnel."),
    QV_INT(SVONKELBASEEMERGE, "Ticks between two S creatures leaving their tunnel."),
    QV_INT(EVONKELBASEEMERGE, "Ticks between two E creatures leaving their tunnel."),
    QV_INT(FVONKELFORCEY, "Rows a new F creature first marches up."),
    QV_INT(EVONKELFORCEY, "Rows a new E creature first marches up."),
    QV_INT(SVONKELFORCEY, "Rows a new S creature first marches up."),
    QV_INT(BASEVONKELHEALTH, "Health of a new creature."),
    QV_INT(BASEORBHEALTH, "Health of the orb."),
    QV_INT(BLOCKSIGNBUILDBY, "Tiles around a sign where no other sign may be built."),
    QV_INT(VONKELEMERGESWAP, "Seconds between shuffles of the emergence rates; 0 turns it off."),
    QV_INT(CONFSTATERPAUSEA, "Steps a creature pauses at the start of its look-around."),
    QV_INT(CONFSTATERPAUSEB, "Steps a creature pauses at each later stage of its look-around."),
    QV_REAL(VONKELSHOTSTRENGTH, "Damage of one creature shot."),
    QV_REAL(TURRETSHOTSTRENGTH, "Damage of one turret shot on a creature."),
    QV_INT(NUMSTARTRES, "Board objects laid out at program start, less one."),
    QV_INT(VONKELSCRAPPERC, "Chance in percent that a killed creature leaves scrap."),
    QV_INT(TURRETHEALTH, "Health of each turret."),
    QV_INT(INITDELAY, "Ticks after program start before creatures emerge."),
    QV_INT(DEBUG, "Nonzero turns on debug mode."),
};

#undef QV_INT
#undef QV_REAL

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

// Values of the section "Settings" by key; the first occurrence of a key wins.
using TValues = std::map<std::string, std::string, CaseLess>;

int OnValue(void* user, const char* section, const char* name, const char* value) {
    if (strcasecmp(section, "Settings") == 0)
        static_cast<TValues*>(user)->emplace(name, value ? value : "");
    return 1;  // keep going whatever the line held
}

// The text inih reads, a line at a time.
struct TLines {
    std::string_view text;
    size_t next = 0;
};

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Hands inih the next line, made to fit the buffer it offers (`size` bytes with the line break
// and the terminating NUL). Blanks at the start are dropped: people indent INI files, and inih
// would take an indented line for the continuation of the key before it. A line too long for
// the buffer is handed on empty, skipped whole: inih would cut it and read its tail as a line of
// its own, which in a long comment may look like a section or a key.
char* ReadLine(char* buffer, int size, void* stream) {
    TLines& lines = *static_cast<TLines*>(stream);
    if (lines.next >= lines.text.size() || size < 2) return nullptr;
    size_t end = lines.text.find('\n', lines.next);
    if (end == std::string_view::npos) end = lines.text.size();
    std::string_view line = lines.text.substr(lines.next, end - lines.next);
    lines.next = end + 1;
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    if (line.size() > std::min(kLongestLine, size_t(size) - 2)) line = {};
    if (!line.empty()) std::memcpy(buffer, line.data(), line.size());
    buffer[line.size()] = '\n';
    buffer[line.size() + 1] = '\0';
    return buffer;
}

}  // namespace

const TSettingKey* SettingKeys() {
    return kKeys;
}

std::optional<int32_t> ParseSettingInteger(std::string_view text) {
    text = Trim(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        uint32_t value = 0;
        // Leading zeros are no part of the size: 0x000000010 is 16. A value past 32 bits is
        // out of range.
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
        return int32_t(value);  // the whole 32-bit pattern, 0x80000000 and above negative
    }
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseSettingReal(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

TSettings ReadSettingsText(std::string_view text) {
    TSettings s;
    std::string content(text.substr(0, kMaxSettingsBytes));
    // A NUL byte would end the text early; treat it as a line break instead.
    for (char& c : content)
        if (c == '\0') c = '\n';
    TValues values;
    TLines lines{content};
    ini_parse_stream(ReadLine, &lines, OnValue, &values);
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& key = kKeys[i];
        const auto found = values.find(key.name);
        if (found == values.end()) continue;
        if (key.integer) {
            if (auto v = ParseSettingInteger(found->second)) s.*key.integer = *v;
        } else if (auto v = ParseSettingReal(found->second)) {
            s.*key.real = *v;
        }
    }
    return s;
}

const TSettingKey* FindSettingKey(std::string_view name) {
    for (const TSettingKey& key : kKeys)
        if (name == key.name) return &key;
    return nullptr;
}

std::string SettingText(const TSettings& s, const TSettingKey& key) {
    if (key.integer) return std::to_string(s.*key.integer);
    // Reals so that they read back to the very same number.
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", s.*key.real);
    return text;
}

bool SetSetting(TSettings& s, const TSettingKey& key, std::string_view value) {
    if (key.integer) {
        const auto v = ParseSettingInteger(value);
        if (v) s.*key.integer = *v;
        return v.has_value();
    }
    const auto v = ParseSettingReal(value);
    if (v) s.*key.real = *v;
    return v.has_value();
}
