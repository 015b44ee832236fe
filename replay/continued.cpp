#include "replay/continued.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

#include "replay/replay_folder.h"

namespace fs = std::filesystem;

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
    if (game.gameOver) return fail(2, "its last game is over: there is nothing to continue");
    if (!StillInPlay(game))
        return fail(2, "the session ended before its game began: there is nothing to continue");
    return c;
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
    std::string error;
    std::optional<TReplayFile> file = LoadReplay(host.files, path, error);
    if (!file) {
        TContinuable c;
        c.status = 2;
        c.error = path + ": " + error;
        return c;
    }
    return Open(host, path, std::move(*file));
}

TContinuable FindToContinue(TPlatform& host, const std::string& folder) {
    struct TFound {
        fs::path file;
        fs::file_time_type written;
    };
    std::vector<TFound> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        if (it->symlink_status(e).type() != fs::file_type::regular) continue;
        if (!IsReplayFileName(it->path().filename().string())) continue;
        const auto written = fs::last_write_time(it->path(), e);
        if (!e) found.push_back({it->path(), written});
    }
    std::sort(found.begin(), found.end(), [](const TFound& a, const TFound& b) {
        return a.written != b.written ? a.written > b.written : a.file > b.file;
    });
    std::set<std::string> continued;
    for (const TFound& f : found) {
        const std::string name = f.file.filename().string();
        std::string error;
        std::optional<TReplayFile> file = LoadReplay(host.files, f.file.string(), error);
        if (!file) continue;
        if (!file->header.continues.empty()) continued.insert(file->header.continues);
        if (continued.count(name) || EndedOutOfPlay(*file)) continue;
        TContinuable c = Open(host, f.file.string(), std::move(*file));
        if (c.session) return c;
    }
    TContinuable none;
    none.error = "there is no game left in play to continue in " +
                 (folder.empty() ? std::string("the replay folder") : folder);
    return none;
}
