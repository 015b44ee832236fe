#include "replay/replayed_game.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "replay/replay_folder.h"

TCarriedClock::TCarriedClock(IClock& host, uint64_t from)
    : host_(host), hostStart_(host.NowMs()), from_(from), last_(from) {}

uint64_t TCarriedClock::NowMs() {
    const uint64_t host = host_.NowMs();
    last_ = std::max(last_, from_ + (host > hostStart_ ? host - hostStart_ : 0));
    return last_;
}

uint64_t TCarriedClock::HostTime(uint64_t time) const {
    return time > from_ ? hostStart_ + (time - from_) : hostStart_;
}

std::unique_ptr<TReplayedGame> TReplayedGame::Make(TReplayFile file, const TPlatform& host,
                                                   IAudio& audio, std::string& error) {
    TSettings settings;
    if (!ReadReplaySettings(file.header, settings, error)) return nullptr;
    return std::make_unique<TReplayedGame>(std::move(file), settings, host, audio);
}

TReplayedGame::TReplayedGame(TReplayFile file, const TSettings& settings, const TPlatform& host,
                             IAudio& audio)
    : player_(std::move(file)),
      clock_(player_),
      hostWritesFiles_(host.writesFiles),
      platform_{clock_, audio, host.files, host.exeDir, host.configDir, host.stateDir} {
    platform_.writesFiles = false;
    platform_.pictures = host.pictures;
    session_ = std::make_unique<TGameSession>(platform_, settings, player_.Header().boardShown);
    player_.Attach(*session_);
}

TReplayedGame::~TReplayedGame() {
    session_.reset();
}

void TReplayedGame::PlayToHandOver(uint64_t at) {
    while (!Live() && !player_.AtLastDispatch()) {
        const auto next = player_.NextTime();
        if (!next || *next > at || !player_.Step()) return;
    }
}

void TReplayedGame::TakeOver(IClock& host, uint64_t at, const TTakeOverOptions& options) {
    if (Live()) return;
    const uint64_t from = std::max({at, player_.LastReading(), player_.PlayedTime()});
    carried_ = std::make_unique<TCarriedClock>(host, from);
    recorder_ = std::make_unique<TSessionRecorder>(*carried_);
    recorder_->FlushEvery(options.flushEveryMs);

    TReplayHeader header = player_.Header();
    header.format = kReplayFormat;
    header.game = MakeReplayHeader(TSettings(), "", false).game;
    std::string source = std::filesystem::path(options.source).filename().string();
    for (char& c : source)
        if (c == '\n' || c == '\r') c = '?';
    header.continues = source.empty() ? "an unnamed recording" : source;
    header.takenOver = options.date + ", at " +
                       MinutesSeconds(from > player_.FirstTime() ? from - player_.FirstTime() : 0) +
                       " (game " + std::to_string(session_->Games()) + ", tick " +
                       std::to_string(Game().tickCount) + ")";

    std::string path = options.path, stem, error;
    bool begun = false;
    if (!path.empty()) {
        begun = recorder_->TakeOver(platform_.files, path, header, player_, *session_, error);
        if (!begun) error = "cannot record " + path + ": " + error;
    } else if (options.folder.empty()) {
        error = "there is no folder for it (neither XDG_STATE_HOME nor HOME is set)";
    } else if (PruneReplayFolder(platform_.files, options.folder, kReplaysKept, options.date, error,
                                 options.source, options.kept)) {
        std::string why;
        const auto create = [&](const std::string& at, bool& taken) {
            if (recorder_->TakeOver(platform_.files, at, header, player_, *session_, why, &taken))
                return true;
            why = "cannot write " + at + ": " + why;
            return false;
        };
        begun = CreateInReplayFolder(options.folder, ContinuedStem(options.source, options.when),
                                     create, path, stem, error);
        if (begun) recorder_->RenameWithBestScore(stem);
        if (error.empty()) error = why;
    }
    if (!begun) {
        std::fprintf(stderr, "quorvatide: the session taken over is not recorded: %s\n",
                     error.c_str());
        recorder_->PassOnly();
        recorder_->Attach(*session_);
    }
    clock_.SwitchTo(*recorder_);
    platform_.writesFiles = hostWritesFiles_;
}
