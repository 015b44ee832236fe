#include "replay/recorder.h"

#include <cstdio>

#include "replay/player.h"
#include "shell/game_session.h"

TRecord DigestRecord(TDigestWhen when, int game, const TStateDigest& digest) {
    TRecord r;
    r.kind = TRecordKind::Digest;
    r.when = when;
    r.game = game;
    for (const TDigestField& f : digest.fields) r.fields.emplace_back(f.id, f.value);
    return r;
}

TSessionRecorder::TSessionRecorder(IClock& host) : host_(host) {}

TSessionRecorder::~TSessionRecorder() {
    writer_.Close();
}

void TSessionRecorder::Write(const TRecord& record) {
    if (!active_) return;
    scratch_.clear();
    encoder_.Encode(record, scratch_);
    if (!writer_.Append(scratch_.data(), scratch_.size())) Stop();
    dirty_ = true;
}

void TSessionRecorder::Stop() {
    if (!active_) return;
    active_ = false;
    if (!quiet_)
        std::fprintf(stderr, "quorvatide: the replay %s stops here: %s\n", path_.c_str(),
                     writer_.Error().c_str());
}

uint64_t TSessionRecorder::NowMs() {
    TRecord r;
    r.kind = TRecordKind::Clock;
    r.time = host_.NowMs();
    Write(r);
    return r.time;
}

uint32_t TSessionRecorder::RandomSeed() {
    TRecord r;
    r.kind = TRecordKind::Seed;
    r.seed = host_.RandomSeed();
    Write(r);
    return r.seed;
}

bool TSessionRecorder::Begin(IFiles& files, const std::string& path, const TReplayHeader& header,
                             std::string& error, bool* taken) {
    if (!writer_.Create(files, path, FormatReplayHeader(header), error, taken)) return false;
    files_ = &files;
    path_ = path;
    active_ = true;
    lastFlush_ = host_.NowMs();
    dirty_ = true;
    return true;
}

bool TSessionRecorder::TakeOver(IFiles& files, const std::string& path, const TReplayHeader& header,
                                const TSessionPlayer& played, TGameSession& session,
                                std::string& error, bool* taken) {
    session_ = &session;
    if (!Begin(files, path, header, error, taken)) return false;
    // The records as they were read, each written again: the times are differences, and the new
    // file's encoder must know the last of them.
    quiet_ = true;
    const std::string_view body(played.File().body);
    TRecordDecoder decoder(body.substr(0, played.PlayedBytes()));
    while (const auto record = decoder.Next()) Write(*record);
    digester_ = played.Digester();
    bestScore_ = played.BestScore();
    Digest(TDigestWhen::During);
    lastDigestTick_ = session.Game().tickCount;
    // On the disk at once: the session may be closed or killed any moment from now on.
    lastFlush_ = host_.NowMs();
    dirty_ = false;
    if (active_ && !writer_.Flush()) Stop();
    quiet_ = false;
    if (active_) return true;
    error = writer_.Error();
    writer_.Close();
    files.Remove(path);
    return false;
}

void TSessionRecorder::Attach(TGameSession& session) {
    session_ = &session;
    lastDigestTick_ = session.Game().tickCount;
}

void TSessionRecorder::Dispatch(TDispatch d) {
    d.time = host_.NowMs();
    Write(RecordOf(d));
    session_->Hand(d, [this] { After(); });
}

void TSessionRecorder::Digest(TDigestWhen when) {
    if (!active_ || !session_) return;
    Write(DigestRecord(when, session_->Games(), digester_.Take(session_->Game())));
}

void TSessionRecorder::After() {
    if (!active_) return;
    const TForm1& g = session_->Game();
    if (session_->GameEnded()) {
        Digest(TDigestWhen::GameEnd);
        lastDigestTick_ = g.tickCount;
        if (g.score > bestScore_) {
            bestScore_ = g.score;
            if (!stem_.empty()) {
                const std::string renamed = stem_ + "-best-" + std::to_string(bestScore_) + ".qvr";
                if (files_->Rename(path_, renamed) == 0) {
                    path_ = renamed;
                    if (onRename) onRename(path_);
                }
            }
        }
    } else if (g.tickCount / kDigestEveryTicks != lastDigestTick_ / kDigestEveryTicks) {
        Digest(TDigestWhen::During);
        lastDigestTick_ = g.tickCount;
    }
    FlushIfDue();
}

std::optional<uint64_t> TSessionRecorder::NextFlushDue() const {
    if (!active_ || !dirty_) return std::nullopt;
    return lastFlush_ + flushEveryMs_;
}

void TSessionRecorder::FlushIfDue() {
    if (!active_ || !dirty_) return;
    const uint64_t now = host_.NowMs();
    if (now < lastFlush_ + flushEveryMs_) return;
    lastFlush_ = now;
    dirty_ = false;
    if (!writer_.Flush()) Stop();
}

void TSessionRecorder::Close() {
    if (!active_ || !session_) return;
    TRecord r;
    r.kind = TRecordKind::Close;
    r.time = host_.NowMs();
    Write(r);
    Digest(TDigestWhen::SessionEnd);
    if (!writer_.Close()) Stop();
    active_ = false;
}
