#include "shell/replay/recorder.h"

#include <cstdio>
#include <filesystem>

#include "core/form1.h"
#include "quorvatide_version.h"

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
    if (!begun_) {
        encoder_.Encode(record, early_);
        return;
    }
    scratch_.clear();
    encoder_.Encode(record, scratch_);
    if (!writer_.Append(scratch_.data(), scratch_.size())) Stop();
    dirty_ = true;
}

void TSessionRecorder::Stop() {
    if (!active_) return;
    active_ = false;
    if (begun_)
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

bool TSessionRecorder::Begin(TForm1& game, const std::string& path, const std::string& recorded,
                             bool boardShown, std::string& error) {
    game_ = &game;
    wasOver_ = game.gameOver;
    lastDigestTick_ = game.tickCount;
    TReplayHeader header;
    header.game = std::string("Quorvatide ") + kGameVersion;
    header.recorded = recorded;
    header.boardShown = boardShown;
    ForEachSetting(game.settings, [&](const TSettingKey& key, auto) {
        header.settings.emplace_back(key.name, SettingText(game.settings, key));
    });
    if (!writer_.Create(path, FormatReplayHeader(header), error) ||
        !writer_.Append(early_.data(), early_.size())) {
        if (error.empty()) error = writer_.Error();
        active_ = false;
        early_.clear();
        return false;
    }
    path_ = path;
    begun_ = true;
    early_.clear();
    early_.shrink_to_fit();
    lastFlush_ = host_.NowMs();
    dirty_ = true;
    return true;
}

void TSessionRecorder::Dispatch(TRecord r) {
    r.time = host_.NowMs();
    Write(r);
    HandTo(*game_, r);
    After();
}

void TSessionRecorder::MouseDown(int x, int y, TMouseButton button, TShiftState shift) {
    TRecord r;
    r.kind = TRecordKind::MouseDown;
    r.x = x, r.y = y, r.button = button, r.shift = shift;
    Dispatch(r);
}

void TSessionRecorder::MouseMove(int x, int y, TShiftState shift) {
    TRecord r;
    r.kind = TRecordKind::MouseMove;
    r.x = x, r.y = y, r.shift = shift;
    Dispatch(r);
}

void TSessionRecorder::MouseUp(int x, int y, TMouseButton button, TShiftState shift) {
    TRecord r;
    r.kind = TRecordKind::MouseUp;
    r.x = x, r.y = y, r.button = button, r.shift = shift;
    Dispatch(r);
}

void TSessionRecorder::KeyPress(char key) {
    TRecord r;
    r.kind = TRecordKind::Key;
    r.key = key;
    Dispatch(r);
}

void TSessionRecorder::MusicFinished(int player) {
    TRecord r;
    r.kind = TRecordKind::MusicFinished;
    r.player = player;
    Dispatch(r);
}

void TSessionRecorder::RunTimers() {
    TRecord r;
    r.kind = TRecordKind::Timers;
    Dispatch(r);
}

void TSessionRecorder::Digest(TDigestWhen when) {
    if (!active_ || !game_) return;
    Write(DigestRecord(when, games_, digester_.Take(*game_)));
}

void TSessionRecorder::After() {
    if (!active_) return;
    const TForm1& g = *game_;
    if (g.gameOver && !wasOver_) {
        Digest(TDigestWhen::GameEnd);
        lastDigestTick_ = g.tickCount;
        if (g.score > bestScore_) {
            bestScore_ = g.score;
            if (!stem_.empty() && begun_) {
                const std::string renamed = stem_ + "-best-" + std::to_string(bestScore_) + ".qvr";
                std::error_code ec;
                if (!std::filesystem::exists(std::filesystem::symlink_status(renamed, ec)))
                    std::filesystem::rename(path_, renamed, ec);
                else
                    ec = std::make_error_code(std::errc::file_exists);
                if (!ec) {
                    path_ = renamed;
                    if (onRename) onRename(path_);
                }
            }
        }
    } else if (g.tickCount / kDigestEveryTicks != lastDigestTick_ / kDigestEveryTicks) {
        Digest(TDigestWhen::During);
        lastDigestTick_ = g.tickCount;
    }
    if (wasOver_ && !g.gameOver) ++games_;
    wasOver_ = g.gameOver;
    FlushIfDue();
}

std::optional<uint64_t> TSessionRecorder::NextFlushDue() const {
    if (!active_ || !begun_ || !dirty_) return std::nullopt;
    return lastFlush_ + flushEveryMs_;
}

void TSessionRecorder::FlushIfDue() {
    if (!active_ || !begun_ || !dirty_) return;
    const uint64_t now = host_.NowMs();
    if (now < lastFlush_ + flushEveryMs_) return;
    lastFlush_ = now;
    dirty_ = false;
    if (!writer_.Flush()) Stop();
}

void TSessionRecorder::Close() {
    if (!active_ || !game_) return;
    TRecord r;
    r.kind = TRecordKind::Close;
    r.time = host_.NowMs();
    Write(r);
    Digest(TDigestWhen::SessionEnd);
    if (begun_ && !writer_.Close()) Stop();
    active_ = false;
}
