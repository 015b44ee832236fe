// The front end's readers of the player's files: the options file and the records index, both
// given every input; and an input that begins as a replay, the records made of it. Whatever the
// bytes, the options are within their ranges, the records ranked best first, and what either
// reader gives reads back the same when written.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "frontend/options.h"
#include "frontend/records.h"
#include "replay/replay_file.h"

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

// Records as any reader of the index may meet them: ranked, placed, written and read again.
void RecordsSane(const std::vector<TGameRecord>& games) {
    const std::vector<TGameRecord> ranked = RankedRecords(games);
    Check(ranked.size() == games.size(), "the ranking lost or made games");
    for (size_t i = 1; i < ranked.size(); ++i)
        Check(ranked[i - 1].score >= ranked[i].score, "the ranking is not best first");
    for (size_t i = 0; i < games.size() && i < 50; ++i) {
        const int place = PlaceOf(games, i);
        Check(place >= 1 && size_t(place) <= games.size(), "a place out of range");
        Check(!PlaceText(games, i).empty(), "no place text");
    }
    Check(KeptReplays(games).size() <= kRecordsKept, "more replays kept than the best ten's");
    std::vector<TGameRecord> again;
    int damaged = 0;
    bool newer = false;
    Check(ParseRecords(FormatRecords(games), again, damaged, newer) && again == games,
          "records written do not read back the same");
}

void RecordsRead(std::string_view text) {
    std::vector<TGameRecord> games;
    int damaged = 0;
    bool newer = false;
    const bool read = ParseRecords(text, games, damaged, newer);
    Check(read == (damaged == 0 && !newer), "an index neither read nor damaged");
    Check(!newer || games.empty(), "records read from a newer index");
    Check(damaged >= 0, "a damaged line before the first");
    RecordsSane(games);
}

void ReplayRecords(std::string_view bytes) {
    std::string error;
    const std::optional<TReplayFile> file = ParseReplay(bytes, error, 1 << 20);
    if (!file) return;
    const std::vector<TGameRecord> games =
        RecordsOfReplay(*file, "quorvatide-2026-12-08_15-04-05.qvr");
    for (size_t i = 1; i < games.size(); ++i)
        Check(games[i - 1].game < games[i].game, "a replay's games out of order");
    RecordsSane(games);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    OptionsRead(text);
    RecordsRead(text);
    ReplayRecords(text);
    return 0;
}
