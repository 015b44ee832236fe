#include "replay/replay_file.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kMaxFileBytes = size_t(256) * 1024 * 1024;

}  // namespace

std::optional<TReplayFile> ParseReplay(std::string_view bytes, std::string& error, size_t maxBody) {
    TReplayFile file;
    size_t bodyAt = 0;
    if (!ParseReplayHeader(bytes, file.header, bodyAt, error) ||
        !ReadChunks(bytes, bodyAt, maxBody, file.body, file.chunksWhole, error))
        return std::nullopt;
    return file;
}

std::optional<TReplayFile> LoadReplay(IFiles& files, const std::string& path, std::string& error) {
    bool whole = false;
    errno = 0;
    const auto bytes = files.Read(path, kMaxFileBytes, &whole);
    if (!bytes) {
        error = errno ? std::strerror(errno) : "not a file that can be read";
        return std::nullopt;
    }
    if (!whole) {
        error = "too large to be a replay";
        return std::nullopt;
    }
    return ParseReplay(*bytes, error);
}
