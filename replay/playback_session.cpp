#include "replay/playback_session.h"

#include <algorithm>
#include <cstdio>

#include "replay/check.h"

// ---------------------------------------------------------------- playback audio

void TPlaybackAudio::Ended(int player) {
    if (TTrack* t = TrackOf(player)) t->ended = true, t->playing = false;
}

void TPlaybackAudio::Quiet() {
    if (quiet_) return;
    quiet_ = true;
    for (int p = 0; p < 2; ++p) real_.MusicStop(p);
}

void TPlaybackAudio::Loud() {
    if (!quiet_) return;
    quiet_ = false;
    for (int p = 0; p < 2; ++p) {
        real_.MusicClose(p);
        const TTrack& t = track_[p];
        if (t.open && real_.MusicOpen(p, t.path) && t.playing) real_.MusicPlay(p);
    }
}

void TPlaybackAudio::PlaySound(const std::string& path) {
    if (!quiet_) real_.PlaySound(path);
}

bool TPlaybackAudio::MusicOpen(int player, const std::string& path) {
    if (TTrack* t = TrackOf(player)) *t = TTrack{path, true, false, false};
    return quiet_ ? TrackOf(player) != nullptr : real_.MusicOpen(player, path);
}

bool TPlaybackAudio::MusicPlay(int player) {
    TTrack* t = TrackOf(player);
    const bool ended = t && t->ended;
    if (t) t->ended = false, t->playing = t->open;
    if (quiet_) return t && t->open;
    if (ended) {
        // Played again from the top, wherever the real player has got to.
        real_.MusicClose(player);
        real_.MusicOpen(player, t->path);
    }
    return real_.MusicPlay(player);
}

bool TPlaybackAudio::MusicStop(int player) {
    TTrack* t = TrackOf(player);
    if (t) t->ended = false, t->playing = false;
    return quiet_ ? t && t->open : real_.MusicStop(player);
}

bool TPlaybackAudio::MusicClose(int player) {
    TTrack* t = TrackOf(player);
    const bool open = t && t->open;
    if (t) *t = TTrack{};
    return quiet_ ? open : real_.MusicClose(player);
}

bool TPlaybackAudio::MusicIsOpen(int player) {
    if (quiet_) return TrackOf(player) && TrackOf(player)->open;
    return real_.MusicIsOpen(player);
}

int64_t TPlaybackAudio::MusicPosition(int player) {
    if (TTrack* t = TrackOf(player); t && t->ended) return MusicLength(player);
    return quiet_ ? 0 : real_.MusicPosition(player);
}

int64_t TPlaybackAudio::MusicLength(int player) {
    return quiet_ ? 0 : real_.MusicLength(player);
}

// ---------------------------------------------------------------- playback

namespace {

// Host milliseconds of game play done in one go before the window gets a turn again.
constexpr uint64_t kPlaybackSliceMs = 30;
// How often the caption's clock moves while nothing else happens.
constexpr uint64_t kCaptionEveryMs = 500;
// How far the arrow keys jump.
constexpr uint64_t kJumpMs = 10000;

}  // namespace

TPlaybackSession::TPlaybackSession(TPlatform& host, TReplayFile file, const TSettings& settings,
                                   std::string path, bool quiet)
    : host_(host),
      hostClock_(host.clock),
      audio_(host.audio),
      file_(std::move(file)),
      settings_(settings),
      path_(std::move(path)) {
    takeOver.source = path_;
    if (quiet) audio_.Quiet();
    MakeGame();
    anchorRecorded_ = Player().FirstTime();
    anchorHost_ = hostClock_.NowMs();
}

TPlaybackSession::~TPlaybackSession() = default;

void TPlaybackSession::MakeGame() {
    // The game before is gone (its FormDestroy run) before the next is made.
    replay_.reset();
    replay_ = std::make_unique<TReplayedGame>(file_, settings_, host_, audio_);
    Player().onMusicFinished = [this](int player) { audio_.Ended(player); };
    if (onGame) onGame(Session());
}

int TPlaybackSession::ExitStatus() {
    if (Live()) return 0;
    return Player().Desynced() || Player().Damaged() ? 1 : 0;
}

void TPlaybackSession::Dispatch(const TDispatch& d) {
    if (Live()) {
        replay_->Recorder().Dispatch(d);
        return;
    }
    if (d.kind != TDispatch::TKind::Key) return;
    const char key = d.key;
    if (key == 'p' || key == 'P') {
        Anchor();
        paused_ = !paused_;
        anchorHost_ = hostClock_.NowMs();
    } else if (key >= '1' && key <= '4') {
        Anchor();
        speed_ = 1 << (key - '1');
    } else if (key == 't' || key == 'T') {
        TakeOver();
    }
}

bool TPlaybackSession::HostKey(THostKey key) {
    if (Live()) return false;
    const uint64_t first = Player().FirstTime(), at = Position();
    switch (key) {
        case THostKey::Left:
            Seek(at > first + kJumpMs ? at - kJumpMs : first);
            return true;
        case THostKey::Right:
            Seek(at + kJumpMs);
            return true;
        case THostKey::Home:
            Seek(first);
            return true;
        case THostKey::End:
            Seek(Player().LastTime());
            return true;
        default:
            return false;
    }
}

void TPlaybackSession::Seek(uint64_t at) {
    if (Live()) return;
    at = std::clamp(at, Player().FirstTime(), std::max(Player().FirstTime(), Player().LastTime()));
    audio_.Quiet();
    if (at < Player().PlayedTime() || Player().Desynced() || Player().Damaged()) MakeGame();
    finished_ = false;
    for (;;) {
        const auto next = Player().NextTime();
        if (!next || *next > at || !Player().Step()) break;
    }
    audio_.Loud();
    anchorRecorded_ = at;
    anchorHost_ = hostClock_.NowMs();
    if (!Player().NextTime()) Finish();
}

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

const std::string& TPlaybackSession::Refusal() {
    // Played up to its last dispatch, the recording has been checked as far as a hand-over goes.
    if (!refusal_ && Player().AtLastDispatch() && !Player().Desynced() && !Player().Damaged())
        refusal_ = std::string();
    if (!refusal_) {
        // The whole recording must play as recorded, as --check-replay would find it.
        const TCheckOutcome outcome =
            CheckReplayFile(file_, path_.empty() ? "the replay" : path_, host_.files, host_.exeDir);
        refusal_ = outcome.status == 0 ? std::string() : outcome.message;
        refusalStatus_ = outcome.status;
    }
    return *refusal_;
}

bool TPlaybackSession::TakeOverAt(std::optional<uint64_t> at, bool paused) {
    if (Live()) return true;
    if (!Refusal().empty()) {
        std::fprintf(stderr, "quorvatide: %s; it cannot be taken over\n", refusal_->c_str());
        return false;
    }
    // The last dispatch of the recording is never played before a hand-over (a recording cut
    // short may lack what the game read in it): a playback that has played it plays again,
    // without sound. Taken over where it stands, the music simply goes on.
    if (Player().HandedLastDispatch() || (at && *at < Player().PlayedTime())) {
        audio_.Quiet();
        MakeGame();
    }
    replay_->PlayToHandOver(at.value_or(UINT64_MAX));
    if (stamp) stamp(takeOver);
    replay_->TakeOver(hostClock_, at.value_or(0), takeOver);
    audio_.Loud();
    finished_ = false;
    paused_ = false;
    speed_ = 1;
    const TForm1& game = replay_->Game();
    if (paused && !(game.pnlPause && game.pnlPause->Visible()))
        replay_->Recorder().Dispatch(TDispatch::Key('p'));
    if (onTakenOver) onTakenOver(replay_->Recorder());
    return true;
}

void TPlaybackSession::Close() {
    if (Live()) replay_->Recorder().Close();
}

void TPlaybackSession::RunDue() {
    if (Live()) {
        const auto due = replay_->Game().NextTimerDue();
        if (due && *due <= replay_->LiveClock().NowMs()) Dispatch(TDispatch::Timers());
        replay_->Recorder().FlushIfDue();
        return;
    }
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
    if (Live()) {
        // The game's times are on the carried clock; the host waits on its own.
        TCarriedClock& clock = replay_->LiveClock();
        std::optional<uint64_t> due;
        if (const auto timers = replay_->Game().NextTimerDue()) due = clock.HostTime(*timers);
        if (const auto flush = replay_->Recorder().NextFlushDue()) {
            const uint64_t host = clock.HostTime(*flush);
            due = due ? std::min(*due, host) : host;
        }
        return due;
    }
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
    if (Live()) return replay_->Game().Caption();
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
