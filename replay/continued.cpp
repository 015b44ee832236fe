#include "replay/continued.h"

#include <cstdio>
#include <set>
#include <vector>

#include "replay/replay_folder.h"

namespace {

TContinuable Open(TPlatform& host, const std::string& path, TReplayFile file) {
    TContinuable c;
    c.path = path;
    const auto fail = [&](int status, const std::string& why) {
        c.session.reset();
        c.status = status;
        c.error = path + ": " + why;
        return std::move(c);
    };
    TSettings settings;
    std::string error;
    if (!ReadReplaySettings(file.header, settings, error)) return fail(2, error);
    c.session = std::make_unique<TPlaybackSession>(host, std::move(file), settings, path, true);
    c.session->Replayed().PlayToHandOver(UINT64_MAX);
    const TSessionPlayer& player = c.session->Player();
    if (player.Damaged()) return fail(2, player.Problem());
    if (player.Desynced()) return fail(1, "does not play as recorded: " + player.Problem());
    const TForm1& game = c.session->Replayed().Game();
    c.outOfPlay = true;
    if (game.gameOver) return fail(2, "its last game is over: there is nothing to continue");
    if (!StillInPlay(game))
        return fail(2, "the session ended before its game began: there is nothing to continue");
    c.outOfPlay = false;
    return c;
}

// The game and tick a continuation says it was taken over at ("…, at 03:12 (game 2, tick
// 3400)"); nothing when it does not say.
std::optional<std::pair<int, int>> HandOverOf(const TReplayHeader& header) {
    int game = 0, tick = 0;
    const size_t at = header.takenOver.rfind("(game ");
    if (at == std::string::npos ||
        std::sscanf(header.takenOver.c_str() + at, "(game %d, tick %d)", &game, &tick) != 2)
        return std::nullopt;
    return std::make_pair(game, tick);
}

// Whether a continuation holds the digest of its hand-over, which the take-over writes at once:
// one cut off before it (killed while it was written) continues nothing.
bool HoldsHandOver(const TReplayFile& file) {
    const auto handOver = HandOverOf(file.header);
    if (!handOver) return true;  // a note for people only: nothing to tell by
    TRecordDecoder decoder(file.body);
    while (const auto r = decoder.Next()) {
        if (r->kind != TRecordKind::Digest || r->game != handOver->first) continue;
        for (const auto& [id, value] : r->fields)
            if (id == kDigestTickField && value == uint64_t(handOver->second)) return true;
    }
    return false;
}

// The session ended properly with its game over or on the splash screen, as its last digest
// says: no need to play it through to know.
bool EndedOutOfPlay(const TReplayFile& file) {
    TRecordDecoder decoder(file.body);
    std::optional<TRecord> last;
    while (auto r = decoder.Next()) last = std::move(r);
    if (!last || last->kind != TRecordKind::Digest || last->when != TDigestWhen::SessionEnd)
        return false;
    for (const auto& [id, value] : last->fields) {
        if (id == kDigestGameOverField && value != 0) return true;
        // No tick has run in the game: it waits behind the splash screen.
        if (id == kDigestTickField && value == 0 && !file.header.boardShown) return true;
    }
    return false;
}

}  // namespace

bool StillInPlay(const TForm1& game) {
    return !(game.pnlSplash && game.pnlSplash->Visible()) && !game.gameOver;
}

TContinuable OpenToContinue(TPlatform& host, const std::string& path) {
    TContinuable c;
    if (host.files.InUse(path)) {
        c.status = 2;
        c.error = path +
                  ": its session is still being played (a game running now is recording it): "
                  "there is nothing to continue until that game ends";
        return c;
    }
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(host.files, path, error);
    if (!file) {
        c.status = 2;
        c.error = path + ": " + error;
        return c;
    }
    return Open(host, path, std::move(*file));
}

TContinuable FindToContinue(TPlatform& host, const std::string& folder, const std::string& now) {
    const std::vector<TFolderReplay> replays = ListReplays(host.files, folder, now);
    // What has been continued, by any continuation wherever its date puts it.
    std::set<std::string> continued;
    for (const TFolderReplay& r : replays) {
        if (!r.header || r.header->continues.empty()) continue;
        std::string error;
        const std::optional<TReplayFile> file = LoadReplay(host.files, r.path, error);
        if (file && HoldsHandOver(*file)) continued.insert(r.header->continues);
    }
    const auto passOver = [](const std::string& why) {
        std::fprintf(stderr, "quorvatide: %s; passed over\n", why.c_str());
    };
    for (const TFolderReplay& r : replays) {
        if (continued.count(r.name) || r.empty) continue;
        if (r.inUse) {
            passOver(r.path + ": its session is still being played");
            continue;
        }
        std::string error;
        std::optional<TReplayFile> file = LoadReplay(host.files, r.path, error);
        if (!file) {
            passOver(r.path + ": " + error);
            continue;
        }
        if (EndedOutOfPlay(*file)) continue;
        TContinuable c = Open(host, r.path, std::move(*file));
        if (c.session) return c;
        // Over, or never begun: nothing was lost. Anything else is said.
        if (!c.outOfPlay) passOver(c.error);
    }
    TContinuable none;
    none.error = "there is no game left in play to continue in " +
                 (folder.empty() ? std::string("the replay folder") : folder);
    return none;
}
