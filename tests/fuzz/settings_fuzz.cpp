// Fuzz target: the settings reader, on the whole text of a settings.ini file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const TSettings first = ReadSettingsText(input);
    const TSettings again = ReadSettingsText(std::string(input));
    const TSettingKey* keys = SettingKeys();
    for (int i = 0; i < kSettingCount; ++i) {
        if (keys[i].integer) {
            Check(first.*keys[i].integer == again.*keys[i].integer, "two readings differ");
        } else {
            Check(std::isfinite(first.*keys[i].real), "a real value that is not finite");
            Check(first.*keys[i].real == again.*keys[i].real, "two readings differ");
        }
    }
    // Every line on its own, as a value of either kind.
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        ParseSettingInteger(line);
        if (const auto real = ParseSettingReal(line))
            Check(std::isfinite(*real), "a real not finite");
        start = end + 1;
    }
    return 0;
}
