// Fuzz target: the settings reader, on a whole settings.ini file.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/settings.h"
#include "shell/platform/native.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// One file for the whole run, rewritten for each input.
std::string FilePath() {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp") + "/qv_settings_fuzz." +
               std::to_string(getpid()) + ".ini";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FilePath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    const TSettings first =
        ReadSettingsText(NativeFiles().Read(path, kMaxSettingsBytes).value_or(""));
    const TSettings again =
        ReadSettingsText(NativeFiles().Read(path, kMaxSettingsBytes).value_or(""));
    std::remove(path.c_str());
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
