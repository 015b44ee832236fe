#include "core/settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The longest line read as a setting, without its blanks at either end: what fits the usual INI
// line buffer of 200 bytes with the line break and the NUL, as the game has always read it. A
// longer line is skipped whole: read in pieces, the tail of a long comment could look like a
// section or a key.
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

// Blanks around a number: spaces, tabs and line breaks.
std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsBlank(char c) {
    // The blanks of the C locale, whatever locale the program runs in.
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool SameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The first of `stops` in `line` from `from` on, or the ';' of a comment (one that follows a
// blank), or the end of the line.
size_t FindStop(std::string_view line, size_t from, std::string_view stops) {
    bool afterBlank = false;
    for (size_t i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (stops.find(c) != std::string_view::npos || (afterBlank && c == ';')) return i;
        afterBlank = IsBlank(c);
    }
    return line.size();
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

// The whole of `text` as a decimal number, correctly rounded; false when it is not one.
static bool ParseDecimal(std::string_view text, double& value) {
#if defined(__cpp_lib_to_chars)
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    return ec == std::errc() && end == text.data() + text.size();
#else
    // A C++ library without from_chars for doubles (the browser build's): the C library's
    // strtod, which rounds the same way, on the texts from_chars takes -- a sign only as '-',
    // no blanks, no hexadecimal. The C library's numbers are always those of the "C" locale
    // here: the program never sets another.
    const size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() <= digits ||
        !(std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.') ||
        text.find_first_of("xX") != std::string_view::npos)
        return false;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    value = std::strtod(copy.c_str(), &end);
    return errno == 0 && end == copy.c_str() + copy.size();
#endif
}

std::optional<double> ParseSettingReal(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    double value = 0;
    if (text.empty() || !ParseDecimal(text, value) || !std::isfinite(value)) return std::nullopt;
    return value;
}

const TSettingKey* FindSettingKey(std::string_view name) {
    for (const TSettingKey& key : kKeys)
        if (name == key.name) return &key;
    return nullptr;
}

std::string SettingText(const TSettings& settings, const TSettingKey& key) {
    if (key.integer) return std::to_string(settings.*key.integer);
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", settings.*key.real);
    return text;
}

bool SetSetting(TSettings& settings, const TSettingKey& key, std::string_view value) {
    if (key.integer) {
        const auto v = ParseSettingInteger(value);
        if (v) settings.*key.integer = *v;
        return v.has_value();
    }
    const auto v = ParseSettingReal(value);
    if (v) settings.*key.real = *v;
    return v.has_value();
}

TSettings ReadSettingsText(std::string_view text) {
    TSettings settings;
    text = text.substr(0, std::min(text.size(), kMaxSettingsBytes));
    bool seen[kSettingCount] = {};  // the first line of a key counts
    bool inSettings = false;
    for (size_t next = 0, number = 0; next < text.size(); ++number) {
        size_t end = text.find_first_of(std::string_view("\n\0", 2), next);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimBlanks(text.substr(next, end - next));
        next = end + 1;
        if (line.size() > kLongestLine) continue;
        if (number == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line = TrimBlanks(line.substr(3));
        // An indented line is no continuation of the value before it: blanks at the start of a
        // line never count.
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            // "[name]", whatever follows; without its ']' the line is skipped.
            const size_t close = FindStop(line, 1, "]");
            if (close < line.size() && line[close] == ']')
                inSettings = SameLetters(line.substr(1, close - 1), "Settings");
            continue;
        }
        const size_t separator = FindStop(line, 0, "=:");
        if (separator == line.size() || line[separator] == ';' || !inSettings) continue;
        const std::string_view name = TrimBlanks(line.substr(0, separator));
        std::string_view value = line.substr(separator + 1);
        value = TrimBlanks(value.substr(0, FindStop(value, 0, {})));
        for (int i = 0; i < kSettingCount; ++i) {
            if (seen[i] || !SameLetters(name, kKeys[i].name)) continue;
            seen[i] = true;
            SetSetting(settings, kKeys[i], value);
            break;
        }
    }
    return settings;
}
