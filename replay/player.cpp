#include "replay/player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shell/game_session.h"

std::string MinutesSeconds(uint64_t ms, int minuteDigits) {
    const uint64_t s = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu:%02llu", minuteDigits,
                  static_cast<unsigned long long>(s / 60), static_cast<unsigned long long>(s % 60));
    return text;
}

namespace {

const char* RecordName(const TRecord* r) {
    if (!r) return "nothing more";
    switch (r->kind) {
        case TRecordKind::Clock:
            return "a clock reading";
        case TRecordKind::Seed:
            return "a seed";
        case TRecordKind::MouseMove:
            return "a mouse move";
        case TRecordKind::MouseDown:
            return "a mouse press";
        case TRecordKind::MouseUp:
            return "a mouse release";
        case TRecordKind::Key:
            return "a key";
        case TRecordKind::MusicFinished:
            return "the end of a music track";
        case TRecordKind::Timers:
            return "a run of the timers";
        case TRecordKind::Digest:
            return "a digest";
        case TRecordKind::Close:
            return "the end of the session";
    }
    return "an unknown record";
}

}  // namespace

TSessionPlayer::TSessionPlayer(TReplayFile file) : file_(std::move(file)), decoder_(file_.body) {
    // The span of the recording, for showing where a playback stands.
    TRecordDecoder scan(file_.body);
    bool first = true;
    for (size_t at = 0; const auto r = scan.Next(); at = scan.Position()) {
        if (IsDispatch(r->kind)) lastDispatchAt_ = at;
        // The session begins with the clock readings of the window's making.
        if (first && (IsDispatch(r->kind) || r->kind == TRecordKind::Clock))
            firstTime_ = r->time, first = false;
        if (IsDispatch(r->kind)) lastTime_ = r->time;
    }
    playedTime_ = firstTime_;
}

const TRecord* TSessionPlayer::Peek() {
    if (!next_) {
        peekedAt_ = decoder_.Position();
        next_ = decoder_.Next();
        if (!next_ && !decoder_.Error().empty() && !damaged_) {
            damaged_ = true;
            problem_ = "damaged: " + decoder_.Error();
        }
    }
    return next_ ? &*next_ : nullptr;
}

std::optional<uint64_t> TSessionPlayer::NextTime() const {
    if (ended_ || desynced_ || damaged_) return std::nullopt;
    auto* self = const_cast<TSessionPlayer*>(this);
    const TRecord* r = self->Peek();
    if (!r) return std::nullopt;
    return IsDispatch(r->kind) ? r->time : playedTime_;
}

bool TSessionPlayer::AtLastDispatch() const {
    if (ended_ || desynced_ || damaged_) return true;
    auto* self = const_cast<TSessionPlayer*>(this);
    const TRecord* r = self->Peek();
    return !r || (IsDispatch(r->kind) && peekedAt_ >= lastDispatchAt_);
}

void TSessionPlayer::Desync(const std::string& what) {
    if (desynced_ || damaged_) return;
    desynced_ = true;
    const int tick = session_ ? session_->Game().tickCount : 0;
    problem_ = "game " + std::to_string(Game()) + ", tick " + std::to_string(tick) + ": " + what;
}

uint64_t TSessionPlayer::NowMs() {
    const TRecord* r = Peek();
    if (r && r->kind == TRecordKind::Clock) {
        clock_ = r->time;
        Take();
    } else if (r) {
        // At the very end of a recording cut short there is simply nothing more to read.
        Desync(std::string("the game read the clock where the recording has ") + RecordName(r));
    }
    return clock_;
}

uint32_t TSessionPlayer::RandomSeed() {
    const TRecord* r = Peek();
    if (r && r->kind == TRecordKind::Seed) {
        const uint32_t seed = r->seed;
        Take();
        return seed;
    }
    if (r) Desync(std::string("the game took a seed where the recording has ") + RecordName(r));
    return 0;
}

int TSessionPlayer::Game() const {
    return session_ ? session_->Games() : 1;
}

void TSessionPlayer::Attach(TGameSession& session) {
    session_ = &session;
    // Making the game took its seed and its first clock readings; nothing of those may be left.
    CheckNothingLeftUnread("at start-up");
}

void TSessionPlayer::CheckNothingLeftUnread(const char* when) {
    const TRecord* r = Peek();
    if (r && (r->kind == TRecordKind::Clock || r->kind == TRecordKind::Seed))
        Desync(std::string("the game took fewer clock readings and seeds ") + when +
               " than the recording has");
}

void TSessionPlayer::CheckDigest(const TRecord& d) {
    ++digests_;
    if (d.game != Game()) {
        Desync("the recording is in game " + std::to_string(d.game) + " here");
        return;
    }
    TStateDigest recorded;
    for (const auto& [id, value] : d.fields) recorded.fields.push_back({id, value});
    const std::string difference =
        DescribeDigestDifference(recorded, digester_.Take(session_->Game()));
    if (!difference.empty()) Desync(difference);
}

bool TSessionPlayer::Step() {
    if (!session_ || ended_ || desynced_ || damaged_) return false;
    const TRecord* r = Peek();
    if (!r) return false;
    if (!IsDispatch(r->kind)) {
        if (r->kind == TRecordKind::Digest) {
            const TRecord digest = *r;
            Take();
            CheckDigest(digest);
        } else {
            Desync(std::string("the recording has ") + RecordName(r) + " the game did not take");
        }
        return !desynced_;
    }
    if (peekedAt_ >= lastDispatchAt_) handedLast_ = true;
    const TRecord d = *r;
    Take();
    playedTime_ = d.time;
    if (d.kind == TRecordKind::Close) ended_ = true;
    if (d.kind == TRecordKind::MusicFinished && onMusicFinished) onMusicFinished(d.player);
    session_->Hand(DispatchOf(d), [this] {
        if (session_->GameEnded()) bestScore_ = std::max(bestScore_, session_->Game().score);
        // The digests written after the dispatch, while it counts in the game it was in.
        const TRecord* next;
        while (!desynced_ && !damaged_ && (next = Peek()) && next->kind == TRecordKind::Digest) {
            const TRecord digest = *next;
            Take();
            CheckDigest(digest);
        }
    });
    if (desynced_ || damaged_) return false;
    CheckNothingLeftUnread("in this step");
    return !desynced_ && !damaged_ && !ended_;
}
