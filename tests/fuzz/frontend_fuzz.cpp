// The front end's readers of the player's files: the options file. Whatever the bytes, the
// reader gives options within their ranges, and what it gives reads back the same when written.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "frontend/options.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "frontend fuzz: %s\n", what);
    std::abort();
}

void OptionsRead(std::string_view text) {
    std::string error;
    const TOptions options = ParseOptions(text, error);
    Check(options.musicVolume >= 0 && options.musicVolume <= 100, "music volume out of range");
    Check(options.effectsVolume >= 0 && options.effectsVolume <= 100,
          "effects volume out of range");
    Check(options.windowScale >= 0 && options.windowScale <= 16, "window scale out of range");
    std::string again;
    Check(ParseOptions(FormatOptions(options), again) == options && again.empty(),
          "options written do not read back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OptionsRead(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
