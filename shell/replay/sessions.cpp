#include "shell/replay/sessions.h"

#include <cstdio>

#include "shell/replay/replay_folder.h"

// ---------------------------------------------------------------- recording

TRecordingSession::TRecordingSession(TPlatform& host, const TRecordingOptions& options)
    : hostClock_(host.clock),
      recorder_(host.clock),
      platform_{recorder_, host.audio, host.exeDir, host.configDir, host.stateDir} {
    form_ = options.makeForm ? options.makeForm(platform_, nullptr)
                             : std::make_unique<TForm1>(platform_);
    if (options.boardShown) form_->pnlSplash->Hide();
    std::string path, stem, error;
    if (options.folder.empty()) {
        error = "there is no folder for them (neither XDG_STATE_HOME nor HOME is set)";
    } else if (PrepareReplayFolder(options.folder, options.stem, kReplaysKept, path, stem, error) &&
               recorder_.Begin(*form_, path, options.date, options.boardShown, error)) {
        recorder_.RenameWithBestScore(stem);
        return;
    } else if (!path.empty()) {
        error = "cannot write " + path + ": " + error;
    }
    std::fprintf(stderr, "quorvatide: this session is not recorded: %s\n", error.c_str());
    recorder_.PassOnly(*form_);
}

TRecordingSession::~TRecordingSession() = default;

void TRecordingSession::MouseDown(int x, int y, TMouseButton button, TShiftState shift) {
    recorder_.MouseDown(x, y, button, shift);
}

void TRecordingSession::MouseMove(int x, int y, TShiftState shift) {
    recorder_.MouseMove(x, y, shift);
}

void TRecordingSession::MouseUp(int x, int y, TMouseButton button, TShiftState shift) {
    recorder_.MouseUp(x, y, button, shift);
}

void TRecordingSession::KeyPress(char key) {
    recorder_.KeyPress(key);
}

void TRecordingSession::MusicFinished(int player) {
    recorder_.MusicFinished(player);
}

void TRecordingSession::RunDue() {
    // Only a run that fires something is worth a record: a run with nothing due changes nothing.
    const auto due = form_->NextTimerDue();
    if (due && *due <= hostClock_.NowMs()) recorder_.RunTimers();
    recorder_.FlushIfDue();
}

std::optional<uint64_t> TRecordingSession::NextDue() {
    const auto timers = form_->NextTimerDue();
    const auto flush = recorder_.NextFlushDue();
    if (!timers) return flush;
    if (!flush) return timers;
    return std::min(*timers, *flush);
}

void TRecordingSession::Close() {
    recorder_.Close();
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

std::string MinutesSeconds(uint64_t ms) {
    const uint64_t s = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02llu:%02llu", static_cast<unsigned long long>(s / 60),
                  static_cast<unsigned long long>(s % 60));
    return text;
}

}  // namespace

std::unique_ptr<TPlaybackSession> TPlaybackSession::Make(TPlatform& host, TReplayFile file,
                                                         std::string& error) {
    TSettings settings;
    if (!ReadReplaySettings(file.header, settings, error)) return nullptr;
    return std::make_unique<TPlaybackSession>(host, std::move(file), settings);
}

TPlaybackSession::TPlaybackSession(TPlatform& host, TReplayFile file, const TSettings& settings,
                                   const TFormMaker& makeForm)
    : hostClock_(host.clock),
      player_(std::make_unique<TSessionPlayer>(std::move(file))),
      audio_(host.audio),
      platform_{*player_, audio_, host.exeDir, {}, {}, false},
      settings_(settings) {
    player_->onMusicFinished = [this](int player) { audio_.Ended(player); };
    form_ = makeForm ? makeForm(platform_, &settings_)
                     : std::make_unique<TForm1>(platform_, &settings_);
    if (player_->Header().boardShown) form_->pnlSplash->Hide();
    player_->Attach(*form_);
    anchorRecorded_ = player_->FirstTime();
    anchorHost_ = hostClock_.NowMs();
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

void TPlaybackSession::KeyPress(char key) {
    if (key == 'p' || key == 'P') {
        Anchor();
        paused_ = !paused_;
        anchorHost_ = hostClock_.NowMs();
    } else if (key >= '1' && key <= '4') {
        Anchor();
        speed_ = 1 << (key - '1');
    }
}

void TPlaybackSession::Finish() {
    finished_ = true;
    anchorRecorded_ = player_->PlayedTime();
    if (player_->Desynced() || player_->Damaged())
        std::fprintf(stderr, "quorvatide: the replay does not play as recorded: %s\n",
                     player_->Problem().c_str());
}

void TPlaybackSession::RunDue() {
    if (paused_ || finished_) return;
    const uint64_t started = hostClock_.NowMs();
    const uint64_t until = Position();
    for (;;) {
        const auto next = player_->NextTime();
        if (!next) {
            Finish();
            return;
        }
        if (*next > until) return;
        if (!player_->Step() && !player_->NextTime()) {
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
    if (const auto next = player_->NextTime()) {
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
    const uint64_t first = player_->FirstTime();
    const uint64_t at = std::min(Position() > first ? Position() - first : 0, player_->Span());
    std::string caption = form_->Caption() + " — replay: game " + std::to_string(player_->Game()) +
                          ", " + MinutesSeconds(at) + " of " + MinutesSeconds(player_->Span());
    if (speed_ != 1) caption += ", x" + std::to_string(speed_);
    if (paused_) caption += ", paused";
    if (finished_) {
        if (player_->Desynced() || player_->Damaged())
            caption += ", stopped: does not play as recorded";
        else
            caption += player_->Ended() ? ", ended" : ", the recording stops here";
    }
    return caption;
}
