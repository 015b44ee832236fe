#include "shell/replay/sessions.h"

#include <cstdio>

#include "shell/replay/replay_folder.h"
#include "shell/user_files.h"

std::string MinutesSeconds(uint64_t ms, int minuteDigits) {
    const uint64_t s = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu:%02llu", minuteDigits,
                  static_cast<unsigned long long>(s / 60), static_cast<unsigned long long>(s % 60));
    return text;
}

// ---------------------------------------------------------------- recording

TRecordingSession::TRecordingSession(TPlatform& host, const TRecordingOptions& options)
    : hostClock_(host.clock), recorder_(host.clock), platform_{recorder_,        host.audio,
                                                               host.files,       host.exeDir,
                                                               host.configDir,   host.stateDir,
                                                               host.writesFiles, host.pictures} {
    const TSettings settings = ReadGameSettings(host);
    recorder_.FlushEvery(options.flushEveryMs);
    if (!options.record) {
        recorder_.PassOnly();
    } else {
        const TReplayHeader header = MakeReplayHeader(settings, options.date, options.boardShown);
        std::string path = options.path, stem, error;
        bool begun = false;
        if (!path.empty()) {
            begun = recorder_.Begin(host.files, path, header, error);
            if (!begun) error = "cannot record " + path + ": " + error;
        } else if (options.folder.empty()) {
            error = "there is no folder for them (neither XDG_STATE_HOME nor HOME is set)";
        } else if (PrepareReplayFolder(options.folder, options.stem, kReplaysKept, path, stem,
                                       error)) {
            begun = recorder_.Begin(host.files, path, header, error);
            if (begun)
                recorder_.RenameWithBestScore(stem);
            else
                error = "cannot write " + path + ": " + error;
        } else if (!path.empty()) {
            error = "cannot write " + path + ": " + error;
        }
        if (!begun) {
            std::fprintf(stderr, "quorvatide: this session is not recorded: %s\n", error.c_str());
            recorder_.PassOnly();
        }
    }
    session_ = std::make_unique<TGameSession>(platform_, settings, options.boardShown);
    recorder_.Attach(*session_);
}

TRecordingSession::~TRecordingSession() = default;

void TRecordingSession::RunDue() {
    // Only a run that fires something is worth a record: a run with nothing due changes nothing.
    const auto due = Game().NextTimerDue();
    if (due && *due <= hostClock_.NowMs()) Dispatch(TDispatch::Timers());
    recorder_.FlushIfDue();
}

std::optional<uint64_t> TRecordingSession::NextDue() {
    const auto timers = Game().NextTimerDue();
    const auto flush = recorder_.NextFlushDue();
    if (!timers) return flush;
    if (!flush) return timers;
    return std::min(*timers, *flush);
}

// ---------------------------------------------------------------- replayed

std::unique_ptr<TReplayedGame> TReplayedGame::Make(TReplayFile file, const TPlatform& host,
                                                   IAudio& audio, std::string& error) {
    TSettings settings;
    if (!ReadReplaySettings(file.header, settings, error)) return nullptr;
    return std::make_unique<TReplayedGame>(std::move(file), settings, host, audio);
}

TReplayedGame::TReplayedGame(TReplayFile file, const TSettings& settings, const TPlatform& host,
                             IAudio& audio)
    : player_(std::move(file)), platform_{player_, audio, host.files, host.exeDir} {
    platform_.writesFiles = false;
    platform_.pictures = host.pictures;
    session_ = std::make_unique<TGameSession>(platform_, settings, player_.Header().boardShown);
    player_.Attach(*session_);
}

// ---------------------------------------------------------------- playback audio

void TPlaybackAudio::Ended(int player) {
    if (Known(player)) ended_[player] = true;
}

bool TPlaybackAudio::MusicOpen(int player, const std::string& path) {
    if (Known(player)) ended_[player] = false, path_[player] = path;
    return real_.MusicOpen(player, path);
}

bool TPlaybackAudio::MusicPlay(int player) {
    if (Known(player) && ended_[player]) {
        // Played again from the top, wherever the real player has got to.
        ended_[player] = false;
        real_.MusicClose(player);
        real_.MusicOpen(player, path_[player]);
    }
    return real_.MusicPlay(player);
}

bool TPlaybackAudio::MusicStop(int player) {
    if (Known(player)) ended_[player] = false;
    return real_.MusicStop(player);
}

bool TPlaybackAudio::MusicClose(int player) {
    if (Known(player)) ended_[player] = false;
    return real_.MusicClose(player);
}

int64_t TPlaybackAudio::MusicPosition(int player) {
    if (Known(player) && ended_[player]) return real_.MusicLength(player);
    return real_.MusicPosition(player);
}

// ---------------------------------------------------------------- playback

namespace {

// Host milliseconds of game play done in one go before the window gets a turn again.
constexpr uint64_t kPlaybackSliceMs = 30;
// How often the caption's clock moves while nothing else happens.
constexpr uint64_t kCaptionEveryMs = 500;

}  // namespace

TPlaybackSession::TPlaybackSession(TPlatform& host, TReplayFile file, const TSettings& settings)
    : hostClock_(host.clock), audio_(host.audio) {
    replay_ = std::make_unique<TReplayedGame>(std::move(file), settings, host, audio_);
    Player().onMusicFinished = [this](int player) { audio_.Ended(player); };
    anchorRecorded_ = Player().FirstTime();
    anchorHost_ = hostClock_.NowMs();
}

int TPlaybackSession::ExitStatus() {
    return Player().Desynced() || Player().Damaged() ? 1 : 0;
}

void TPlaybackSession::Dispatch(const TDispatch& d) {
    if (d.kind != TDispatch::TKind::Key) return;
    const char key = d.key;
    if (key == 'p' || key == 'P') {
        Anchor();
        paused_ = !paused_;
        anchorHost_ = hostClock_.NowMs();
    } else if (key >= '1' && key <= '4') {
        Anchor();
        speed_ = 1 << (key - '1');
    }
}

TPlaybackSession::~TPlaybackSession() = default;

uint64_t TPlaybackSession::Position() {
    if (paused_ || finished_) return anchorRecorded_;
    return anchorRecorded_ + (hostClock_.NowMs() - anchorHost_) * uint64_t(speed_);
}

void TPlaybackSession::Anchor() {
    anchorRecorded_ = Position();
    anchorHost_ = hostClock_.NowMs();
}

void TPlaybackSession::Finish() {
    finished_ = true;
    anchorRecorded_ = replay_->Player().PlayedTime();
    if (replay_->Player().Desynced() || replay_->Player().Damaged())
        std::fprintf(stderr, "quorvatide: the replay does not play as recorded: %s\n",
                     replay_->Player().Problem().c_str());
}

void TPlaybackSession::RunDue() {
    if (paused_ || finished_) return;
    const uint64_t started = hostClock_.NowMs();
    const uint64_t until = Position();
    for (;;) {
        const auto next = replay_->Player().NextTime();
        if (!next) {
            Finish();
            return;
        }
        if (*next > until) return;
        if (!replay_->Player().Step() && !replay_->Player().NextTime()) {
            Finish();
            return;
        }
        // At high speed a long stretch is played a slice at a time, so the window keeps up.
        if (hostClock_.NowMs() - started >= kPlaybackSliceMs) return;
    }
}

std::optional<uint64_t> TPlaybackSession::NextDue() {
    if (paused_ || finished_) return std::nullopt;
    const uint64_t now = hostClock_.NowMs();
    uint64_t due = now + kCaptionEveryMs;
    if (const auto next = replay_->Player().NextTime()) {
        const uint64_t recordedNow = Position();
        const uint64_t wait =
            *next <= recordedNow ? 0 : (*next - recordedNow + speed_ - 1) / speed_;
        due = std::min(due, now + wait);
    } else {
        due = now;
    }
    return due;
}

std::string TPlaybackSession::Caption() {
    const uint64_t first = replay_->Player().FirstTime();
    const uint64_t at =
        std::min(Position() > first ? Position() - first : 0, replay_->Player().Span());
    std::string caption = replay_->Game().Caption() + " — replay: game " +
                          std::to_string(replay_->Player().Game()) + ", " + MinutesSeconds(at) +
                          " of " + MinutesSeconds(replay_->Player().Span());
    if (speed_ != 1) caption += ", x" + std::to_string(speed_);
    if (paused_) caption += ", paused";
    if (finished_) {
        if (replay_->Player().Desynced() || replay_->Player().Damaged())
            caption += ", stopped: does not play as recorded";
        else
            caption += replay_->Player().Ended() ? ", ended" : ", the recording stops here";
    }
    return caption;
}
