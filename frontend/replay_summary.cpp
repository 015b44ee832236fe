#include "frontend/replay_summary.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "core/digest.h"
#include "replay/replay_file.h"

namespace {

// The digest fields read here (see core/digest.cpp).
constexpr uint32_t kScoreField = 4;

}  // namespace

bool SummariseReplay(IFiles& files, const std::string& path, TReplaySummary& summary) {
    std::string error;
    const std::optional<TReplayFile> file = LoadReplay(files, path, error);
    if (!file) return false;
    summary.date = file->header.recorded.substr(0, 16);
    TRecordDecoder decoder(file->body);
    std::optional<uint64_t> first;
    uint64_t last = 0;
    bool inPlay = false;
    while (const std::optional<TRecord> r = decoder.Next()) {
        if (IsDispatch(r->kind)) {
            if (!first) first = r->time;
            last = std::max(last, r->time);
        }
        if (r->kind != TRecordKind::Digest) continue;
        const auto field = [&](uint32_t id) -> std::optional<uint64_t> {
            for (const auto& [fid, value] : r->fields)
                if (fid == id) return value;
            return std::nullopt;
        };
        if (r->when == TDigestWhen::GameEnd) {
            ++summary.gamesEnded;
            if (const auto score = field(kScoreField))
                summary.bestScore = std::max(summary.bestScore, int64_t(int32_t(*score)));
        }
        // As the last digest found it: ticks had run, and the orb had not fallen.
        const auto over = field(kDigestGameOverField);
        const auto tick = field(kDigestTickField);
        inPlay = over && !*over && tick && *tick > 0;
    }
    summary.lengthMs = first ? last - *first : 0;
    summary.inPlay = inPlay;
    return true;
}

std::string MinutesLong(uint64_t ms) {
    const uint64_t s = ms / 1000;
    char text[32];
    if (s >= 3600)
        std::snprintf(
            text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(s / 3600),
            static_cast<unsigned long long>(s / 60 % 60), static_cast<unsigned long long>(s % 60));
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(s / 60),
                      static_cast<unsigned long long>(s % 60));
    return text;
}
