#include "platform/headless/headless.h"

#include <algorithm>
#include <cstdio>

namespace fs = std::filesystem;

// ---------------------------------------------------------------- TRecordingAudio

void TRecordingAudio::PlaySound(const std::string& path) {
    log.push_back("sound " + fs::path(path).filename().string());
}

bool TRecordingAudio::MusicOpen(int player, const std::string& path) {
    Track* t = TrackOf(player);
    log.push_back("open " + std::to_string(player) + " " + fs::path(path).filename().string());
    if (!t) return false;
    *t = Track{};  // like the real players: the open file is closed first
    if (!fs::is_regular_file(path)) return false;
    const auto length = musicLengths.find(fs::path(path).filename().string());
    // At least 1 ms, so that a looping track cannot end over and over at one instant.
    *t = Track{true, false,
               length == musicLengths.end() ? 30000 : std::max<int64_t>(1, length->second), 0, 0};
    return true;
}

bool TRecordingAudio::MusicPlay(int player) {
    Track* t = TrackOf(player);
    log.push_back("play " + std::to_string(player));
    if (!t || !t->open) return false;
    if (t->playing) return true;
    if (t->played >= t->length) t->played = 0;
    t->playing = true;
    t->startedAt = clock_.now;
    return true;
}

bool TRecordingAudio::MusicStop(int player) {
    Track* t = TrackOf(player);
    log.push_back("stop " + std::to_string(player));
    if (!t || !t->open) return false;
    t->played = MusicPosition(player);
    t->playing = false;
    return true;
}

bool TRecordingAudio::MusicClose(int player) {
    Track* t = TrackOf(player);
    log.push_back("close " + std::to_string(player));
    if (!t || !t->open) return false;
    *t = Track{};
    return true;
}

bool TRecordingAudio::MusicIsOpen(int player) {
    Track* t = TrackOf(player);
    return t && t->open;
}

int64_t TRecordingAudio::MusicPosition(int player) {
    Track* t = TrackOf(player);
    if (!t || !t->open) return 0;
    if (!t->playing) return t->played;
    return std::min(t->length, t->played + int64_t(clock_.now - t->startedAt));
}

int64_t TRecordingAudio::MusicLength(int player) {
    Track* t = TrackOf(player);
    return t && t->open ? t->length : 0;
}

std::optional<uint64_t> TRecordingAudio::NextEnd() const {
    std::optional<uint64_t> next;
    for (const Track& t : tracks_)
        if (t.open && t.playing) {
            const uint64_t end = t.startedAt + uint64_t(t.length - t.played);
            if (!next || end < *next) next = end;
        }
    return next;
}

std::vector<int> TRecordingAudio::TakeFinished() {
    std::vector<int> finished;
    for (int p = 0; p < 2; ++p) {
        Track& t = tracks_[p];
        if (t.open && t.playing && MusicPosition(p) >= t.length) {
            t.played = t.length;
            t.playing = false;
            finished.push_back(p);
        }
    }
    return finished;
}

// ---------------------------------------------------------------- THeadlessGame

THeadlessGame::THeadlessGame(const THeadlessOptions& options) {
    clock.now = options.startMs;
    clock.seed = options.seed;
    std::string exeDir = options.exeDir.string();
    if (exeDir.empty() || exeDir.back() != '/') exeDir += '/';
    host_ = std::make_unique<TPlatform>(TPlatform{clock, audio,
                                                  options.files ? *options.files : NativeFiles(),
                                                  exeDir, options.configDir, options.stateDir});
    host_->pictures = options.pictures;
    // Every dispatch goes through the recorder, which only passes it on when the session is
    // not recorded.
    TRecordingOptions recording;
    recording.record = !options.replayPath.empty();
    recording.path = options.replayPath;
    recording.date = options.recordedAs;
    recording.flushEveryMs = options.replayFlushMs;
    recording.settings = options.settings;
    recording.notes = options.notes;
    session_ = std::make_unique<TRecordingSession>(*host_, recording);
}

THeadlessGame::~THeadlessGame() {
    CloseSession();
}

void THeadlessGame::CloseSession() {
    session_->Close();
}

void THeadlessGame::Dispatch(TDispatch d) {
    d.time = clock.now;
    const bool input = d.kind != TDispatch::TKind::Timers &&
                       d.kind != TDispatch::TKind::MusicFinished &&
                       d.kind != TDispatch::TKind::Close;
    if (input && onInput) onInput(d);
    session_->Dispatch(d);
}

void THeadlessGame::DeliverMusicEnds() {
    for (int player : audio.TakeFinished()) Dispatch(TDispatch::MusicFinished(player));
}

void THeadlessGame::Advance(uint64_t ms) {
    const uint64_t target = clock.now + ms;
    for (;;) {
        // The next thing to happen: a timer falling due or a track reaching its end, whose
        // notification comes first when both fall on the same millisecond.
        const auto due = Form().NextTimerDue();
        const auto end = audio.NextEnd();
        std::optional<uint64_t> next = due;
        if (end && (!next || *end <= *next)) next = end;
        if (!next || *next > target) break;
        clock.now = std::max(clock.now, *next);
        DeliverMusicEnds();
        Dispatch(TDispatch::Timers());
    }
    // A handler may have let the clock run on past the target.
    clock.now = std::max(clock.now, target);
    DeliverMusicEnds();
}

namespace {

uint32_t MaskOf(TMouseButton b) {
    return b == TMouseButton::Left ? 1u : b == TMouseButton::Right ? 2u : 4u;
}

TShiftState ShiftOf(uint32_t buttons) {
    TShiftState s;
    s.left = buttons & 1u;
    s.right = buttons & 2u;
    s.middle = buttons & 4u;
    return s;
}

}  // namespace

void THeadlessGame::MouseMove(int x, int y) {
    Dispatch(TDispatch::MouseMove(x, y, ShiftOf(buttons_)));
}

void THeadlessGame::MouseDown(int x, int y, TMouseButton button) {
    buttons_ |= MaskOf(button);
    Dispatch(TDispatch::MouseDown(x, y, button, ShiftOf(buttons_)));
}

void THeadlessGame::MouseUp(int x, int y, TMouseButton button) {
    buttons_ &= ~MaskOf(button);
    Dispatch(TDispatch::MouseUp(x, y, button, ShiftOf(buttons_)));
}

void THeadlessGame::Click(int x, int y, TMouseButton button) {
    MouseMove(x, y);
    MouseDown(x, y, button);
    MouseUp(x, y, button);
}

void THeadlessGame::Key(char key) {
    Dispatch(TDispatch::Key(key));
}

void THeadlessGame::StartPlay() {
    Click(8 + 350, 8 + 350);
}

const TPicture& THeadlessGame::Render() {
    Form().Compose();
    return Form().Frame();
}
