// Fuzz target: the replay reader and player, on the bytes of a whole replay file: the header,
// the chunks, the records, and the game played by whatever records they hold. Every input must
// end as a check does, with status 0, 1 or 2 and a one-line message: never a crash, a hang or
// memory without bound.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/replay/check.h"

namespace {

// Records an input may unpack to: enough for a few thousand ticks of play, so that one input
// cannot keep the fuzzer busy for minutes.
constexpr size_t kMaxBody = 16 * 1024;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* assets = std::getenv("QV_FUZZ_ASSETS");
    std::string exeDir = std::string(assets && *assets ? assets : QV_FUZZ_ASSETS) + "/..";
    exeDir += "/";
    const TCheckOutcome outcome = CheckReplayBytes(
        std::string_view(reinterpret_cast<const char*>(data), size), "input", exeDir, "", kMaxBody);
    Check(outcome.status >= 0 && outcome.status <= 2, "a status other than 0, 1 or 2");
    Check(outcome.message.rfind("input: ", 0) == 0, "a message that does not name the input");
    Check(outcome.message.find('\n') == std::string::npos, "a message of more than one line");
    return 0;
}
