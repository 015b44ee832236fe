// Fuzz target: our INI reader against inih. For any text, ReadSettingsText gives the settings
// that the game read before it had a reader of its own: inih (as Debian builds it, with its
// run-time options left as they come) handed the text a line at a time by the line reader below.
// That reader, its handler and the mapping to the keys are kept here as they were; inih is
// linked into this program only.
#include <ini.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace {

constexpr size_t kMaxSettingsBytes = 1024 * 1024;
constexpr size_t kLongestLine = 198;

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
    return 1;
}

struct TLines {
    std::string_view text;
    size_t next = 0;
};

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The next line for inih: blanks at either end dropped, a line too long for its buffer handed
// on empty.
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

TSettings ReadWithInih(std::string_view text) {
    std::string content(text.substr(0, std::min(text.size(), kMaxSettingsBytes)));
    // A NUL byte would end the text early; it was read as a line break instead.
    for (char& c : content)
        if (c == '\0') c = '\n';
    TValues values;
    TLines lines{content};
    ini_parse_stream(ReadLine, &lines, OnValue, &values);
    TSettings s;
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& key = SettingKeys()[i];
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TSettings ours = ReadSettingsText(text), inih = ReadWithInih(text);
    ForEachSetting(ours, [&](const TSettingKey& key, auto) {
        // As text, a real's every bit counts (0 and -0 differ).
        const std::string a = SettingText(ours, key), b = SettingText(inih, key);
        if (a == b) return;
        std::fprintf(stderr, "broken: %s is %s, with inih %s\n", key.name, a.c_str(), b.c_str());
        std::abort();
    });
    return 0;
}
