// Fuzz target: the replay reader, on the bytes of a whole replay file: the header, the chunks
// and their checksums, the compressed stream, the records and the settings. Every input must
// be read to its end or refused with a one-line reason: never a crash, a hang or memory
// without bound.
//
// Under the fuzzing engine only the reader runs: building a game for every input would cost a
// hundred times as much, and what a game does with any input is the game target's business.
// Run over the regression inputs and the corpus (the ordinary builds), each input is checked
// the whole way, the game played by its records, and must end with status 0, 1 or 2.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "platform/native.h"
#include "replay/check.h"
#include "replay/player.h"

namespace {

// Records an input may unpack to under the fuzzing engine: a few thousand ticks of play.
constexpr size_t kMaxBody = 64 * 1024;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

void CheckOneLine(const std::string& message) {
    Check(!message.empty(), "a refusal without a reason");
    Check(message.find('\n') == std::string::npos, "a reason of more than one line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
#ifdef QV_FUZZ_WHOLE_CHECK
    const char* assets = std::getenv("QV_FUZZ_ASSETS");
    const std::string exeDir = std::string(assets && *assets ? assets : QV_FUZZ_ASSETS) + "/../";
    const TCheckOutcome outcome =
        CheckReplayBytes(bytes, "input", NativeFiles(), exeDir, "", kMaxReplayBody);
    Check(outcome.status >= 0 && outcome.status <= 2, "a status other than 0, 1 or 2");
    Check(outcome.message.rfind("input: ", 0) == 0, "a message that does not name the input");
    CheckOneLine(outcome.message);
#else
    std::string error;
    const std::optional<TReplayFile> file = ParseReplay(bytes, error, kMaxBody);
    if (!file) {
        CheckOneLine(error);
        return 0;
    }
    Check(file->body.size() <= kMaxBody, "more records than allowed");
    TSettings settings;
    if (!ReadReplaySettings(file->header, settings, error)) CheckOneLine(error);
    // Every record, to the end or to the first that makes no sense.
    TRecordDecoder decoder(file->body);
    size_t records = 0;
    while (decoder.Next()) ++records;
    Check(decoder.AtEnd() || !decoder.Error().empty(), "records left unread without a reason");
    if (!decoder.Error().empty()) CheckOneLine(decoder.Error());
    Check(records <= file->body.size(), "more records than bytes");
    // The player's own first reading of the records: the span of the session.
    const TSessionPlayer player(*file);
    Check(player.Digests() == 0 && !player.Desynced(), "a player that played before it was told");
#endif
    return 0;
}
