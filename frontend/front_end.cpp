#include "frontend/front_end.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/form1.h"
#include "frontend/lesson.h"
#include "frontend/look.h"
#include "frontend/screens.h"
#include "platform/native.h"
#include "replay/playback_session.h"
#include "replay/recording_session.h"
#include "replay/replay_folder.h"
#include "replay/replay_records.h"
#include "shell/screen_name.h"

namespace {

TPlaybackSession* PlaybackOf(IWindowSession& session) {
    return dynamic_cast<TPlaybackSession*>(&session);
}

bool IsScreen(const TForm1* game, const char* screen) {
    return game && std::strcmp(ScreenName(*game), screen) == 0;
}

// A left click at (x, y), as the player's mouse makes one.
void Click(IWindowSession& session, int x, int y) {
    TShiftState down;
    down.left = true;
    session.Dispatch(TDispatch::MouseMove(x, y, TShiftState()));
    session.Dispatch(TDispatch::MouseDown(x, y, TMouseButton::Left, down));
    session.Dispatch(TDispatch::MouseUp(x, y, TMouseButton::Left, TShiftState()));
}

// The middle of what shows of the panel that takes a screen's clicks (the title screen's runs
// far below the window, for its scrolling text).
void ClickScreen(IWindowSession& session, const TControl& panel) {
    const TForm& form = session.Form();
    const TRect r = panel.BoundsInForm().Intersect({0, 0, form.Width(), form.Height()});
    Click(session, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace

void PrepareTakeOver(TPlaybackSession& session, const TPlatform& host,
                     const TFrontEndHooks& hooks) {
    if (hooks.onGame) {
        hooks.onGame(session.Session());
        session.onGame = hooks.onGame;
    }
    session.takeOver.folder = ReplayFolder(host.stateDir);
    session.stamp = [](TTakeOverOptions& options) {
        const TLocalTime local = NativeLocalTime();
        options.when = local.when;
        options.date = ReplayDate(local.when, local.utcOffset);
    };
    session.onTakenOver = [hooks](TSessionRecorder& recorder) {
        if (recorder.Recording() && hooks.onRecorder) hooks.onRecorder(recorder);
    };
}

void TMenuScreen::Back(TFrontEnd& front) {
    front.Pop();
}

void TMenuScreen::DrawButton(TFrontEnd&, TPicture& canvas, const TMenuButton& button, size_t,
                             TButtonLook look) {
    look::Button(canvas, button.rect, button.text, static_cast<look::TButtonState>(look));
}

// ---------------------------------------------------------------- making sessions

TFrontEnd::TFrontEnd(TPlatform& host, TFrontEndHooks hooks)
    : host_(host), hooks_(std::move(hooks)) {
    std::string warning;
    options_ = ReadOptions(host_.files, host_.configDir, warning);
    if (!warning.empty()) std::fprintf(stderr, "quorvatide: %s\n", warning.c_str());
    host_.audio.SetVolumes(options_.musicVolume, options_.effectsVolume);
    records_ = LoadRecords(host_.files, host_.stateDir, warning);
    if (!warning.empty()) std::fprintf(stderr, "quorvatide: %s\n", warning.c_str());
}

TFrontEnd::TFrontEnd(TPlatform& host, TFrontEndHooks hooks, std::unique_ptr<IWindowSession> first)
    : TFrontEnd(host, std::move(hooks)) {
    Adopt(std::move(first));
}

TFrontEnd::~TFrontEnd() {
    guide_.reset();
    goneGuides_.clear();
    session_.reset();
}

void TFrontEnd::Adopt(std::unique_ptr<IWindowSession> session) {
    session_ = std::move(session);
    // A session the guide did not make itself ends it.
    if (!guideMakesNext_) EndGuide();
    guideMakesNext_ = false;
    pausedByMenu_ = false;
    stamp_ = nullptr;
    ended_ = nullptr;
    const TForm1* game = Game();
    wasOver_ = game && game->gameOver;
    placeText_.clear();
    redraw_ = true;
    recordedPath_.clear();
    if (TPlaybackSession* playback = PlaybackOf(*session_)) {
        sessionSpeed_ = playback->Player().Header().speed;
        playback->takeOver.kept = KeptReplays(records_.games);
        // Taken over, its games are the player's: recorded, and their file followed.
        auto before = playback->onTakenOver;
        playback->onTakenOver = [this, before](TSessionRecorder& recorder) {
            if (before) before(recorder);
            FollowRenames(recorder);
            FindGameStart();
        };
    }
    if (TSessionRecorder* recorder = LiveRecorder()) FollowRenames(*recorder);
    FindGameStart();
}

void TFrontEnd::FollowRenames(TSessionRecorder& recorder) {
    if (!recorder.Recording()) return;
    recordedPath_ = recorder.Path();
    auto before = recorder.onRename;
    recorder.onRename = [this, before](const std::string& path) {
        if (before) before(path);
        RenameReplay(host_.files, records_, recordedPath_, path);
        recordedPath_ = path;
    };
}

// A game that began in this session began at tick 0, or where the game before it ended; a game
// taken over began where the recording's last game before it ended.
void TFrontEnd::FindGameStart() {
    startTick_ = 0;
    TPlaybackSession* playback = PlaybackOf(*session_);
    if (!playback) return;
    const int game = playback->Session().Games();
    TRecordDecoder decoder(playback->Player().File().body);
    while (const std::optional<TRecord> r = decoder.Next()) {
        if (r->kind != TRecordKind::Digest || r->when != TDigestWhen::GameEnd || r->game >= game)
            continue;
        for (const auto& [id, value] : r->fields)
            if (id == kDigestTickField) startTick_ = int(value);
    }
}

TSessionRecorder* TFrontEnd::LiveRecorder() {
    if (auto* live = dynamic_cast<TRecordingSession*>(session_.get()))
        return live->Recorder().Recording() ? &live->Recorder() : nullptr;
    if (TPlaybackSession* playback = PlaybackOf(*session_); playback && playback->Live())
        return playback->Replayed().Recorder().Recording() ? &playback->Replayed().Recorder()
                                                           : nullptr;
    return nullptr;
}

void TFrontEnd::GameEnded(const TForm1& game) {
    redraw_ = true;
    TSessionRecorder* recorder = LiveRecorder();
    const TGameSession* session = nullptr;
    if (auto* live = dynamic_cast<TRecordingSession*>(session_.get())) session = &live->Session();
    if (TPlaybackSession* playback = PlaybackOf(*session_)) session = &playback->Session();
    const int number = session ? session->Games() : 1;
    const TLocalTime local = NativeLocalTime();
    // Kept only with a replay to prove it and a folder to keep it in; its place is told anyway.
    TGameRecord record = MakeRecord(game, number, startTick_, recorder ? recordedPath_ : "",
                                    sessionSpeed_, local.when);
    if (stamp_) stamp_(record);
    startTick_ = game.tickCount;
    std::vector<TGameRecord> all = records_.games;
    all.push_back(record);
    placeText_ = PlaceText(all, all.size() - 1);
    if (!recorder || records_.path.empty()) return;
    if (const int error = AddRecord(host_.files, records_, std::move(record)))
        std::fprintf(stderr, "quorvatide: cannot write %s: %s\n", records_.path.c_str(),
                     std::strerror(error));
}

bool TFrontEnd::WatchGame(const std::string& replay, uint64_t from, bool takeOver,
                          std::string& error) {
    if (!Watch(replay, error)) return false;
    TPlaybackSession* playback = PlaybackOf(*session_);
    if (!playback) return false;
    playback->Seek(from);
    if (takeOver && !playback->TakeOverAt(from)) {
        error = playback->Refusal();
        return false;
    }
    CloseMenu();
    return true;
}

void TFrontEnd::CloseSession() {
    const TForm1* game = Game();
    const bool recorded = LiveRecorder() != nullptr;
    session_->Close();
    if (!ended_ || !game || !game->gameOver) return;
    const auto ended = std::move(ended_);
    ended_ = nullptr;
    after_ = ended(recorded ? recordedPath_ : std::string(), game->score);
}

// The session before is closed (its recording ended) and gone, with its music, before the next
// is made: two games never share the music players.
void TFrontEnd::Play(const TPlayChoice& choice) {
    if (session_) {
        CloseSession();
        session_.reset();
        for (int player = 0; player < 2; ++player) host_.audio.MusicClose(player);
    }
    clock_ = std::make_unique<TSessionClock>(host_.clock, choice.speed.value_or(options_.gameSpeed),
                                             choice.seed);
    sessionPlatform_.emplace(TPlatform{*clock_, host_.audio, host_.files, host_.exeDir,
                                       host_.configDir, host_.stateDir, host_.writesFiles,
                                       host_.pictures});
    TRecordingOptions options;
    const TLocalTime local = NativeLocalTime();
    options.folder = ReplayFolder(host_.stateDir);
    options.stem = ReplayStem(local.when);
    options.date = ReplayDate(local.when, local.utcOffset);
    options.boardShown = choice.boardShown;
    options.speed = clock_->Percent();
    options.settings = choice.settings;
    options.notes = choice.notes;
    options.kept = KeptReplays(records_.games);
    auto session = std::make_unique<TRecordingSession>(*sessionPlatform_, options);
    if (hooks_.onGame) hooks_.onGame(session->Session());
    if (session->Recorder().Recording() && hooks_.onRecorder)
        hooks_.onRecorder(session->Recorder());
    scaled_ = true;
    speedPending_ = false;
    Adopt(std::move(session));
    sessionSpeed_ = clock_->Percent();
    stamp_ = choice.stamp;
    ended_ = choice.ended;
}

bool TFrontEnd::Watch(const std::string& path, std::string& error) {
    std::optional<TReplayFile> file = LoadReplay(host_.files, path, error);
    TSettings settings;
    if (!file || !ReadReplaySettings(file->header, settings, error)) return false;
    if (session_) {
        CloseSession();
        session_.reset();
        for (int player = 0; player < 2; ++player) host_.audio.MusicClose(player);
    }
    if (hooks_.onWatch) hooks_.onWatch(path);
    auto session = std::make_unique<TPlaybackSession>(host_, std::move(*file), settings, path);
    PrepareTakeOver(*session, host_, hooks_);
    scaled_ = false;
    Adopt(std::move(session));
    return true;
}

TForm1* TFrontEnd::Game() {
    return session_ ? dynamic_cast<TForm1*>(&session_->Form()) : nullptr;
}

bool TFrontEnd::Watching() {
    TPlaybackSession* playback = session_ ? PlaybackOf(*session_) : nullptr;
    return playback && !playback->Live();
}

bool TFrontEnd::GameGoingOn() {
    const TForm1* game = Game();
    return game && !IsScreen(game, "splash") && !IsScreen(game, "game over");
}

// ---------------------------------------------------------------- the host's session

TForm& TFrontEnd::Form() {
    return session_->Form();
}

bool TFrontEnd::TakesInput() {
    return MenuOpen() || session_->TakesInput() || (guide_ && guide_->TakesInput());
}

std::string TFrontEnd::Caption() {
    return session_->Caption();
}

void TFrontEnd::Close() {
    CloseSession();
}

int TFrontEnd::ExitStatus() {
    return session_->ExitStatus();
}

namespace {

constexpr TRect kMenuButton{712, 438, 897, 466}, kPlaceBox{712, 470, 897, 503};
constexpr TRect kDebugMenuButton{712, 679, 897, 707}, kDebugPlaceBox{712, 645, 897, 675};

}  // namespace

TRect TFrontEnd::MenuButton() {
    const TForm1* game = Game();
    return game && game->memDbg->Visible() ? kDebugMenuButton : kMenuButton;
}

TRect TFrontEnd::PlaceBox() {
    const TForm1* game = Game();
    return game && game->memDbg->Visible() ? kDebugPlaceBox : kPlaceBox;
}

bool TFrontEnd::InMenuButton(int x, int y) {
    const TRect r = MenuButton();
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void TFrontEnd::Dispatch(const TDispatch& d) {
    gone_.clear();
    goneGuides_.clear();
    switch (d.kind) {
        case TDispatch::TKind::MouseMove:
        case TDispatch::TKind::MouseDown:
        case TDispatch::TKind::MouseUp:
            break;
        case TDispatch::TKind::Key:
            // While the menu is open, typing reaches nothing.
            if (MenuOpen()) return;
            [[fallthrough]];
        default:
            session_->Dispatch(d);
            AfterDispatch();
            return;
    }
    if (MenuOpen()) return MenuInput(d);
    const bool wasLit = InMenuButton(mouseX_, mouseY_);
    mouseX_ = d.x, mouseY_ = d.y;
    if (wasLit != InMenuButton(d.x, d.y)) redraw_ = true;
    // The side panel's button takes its own presses; everything else is the game's.
    if (d.kind == TDispatch::TKind::MouseDown && !gameHasPress_ && !pressOnMenuButton_ &&
        d.button == TMouseButton::Left && InMenuButton(d.x, d.y)) {
        pressOnMenuButton_ = true;
        redraw_ = true;
        return;
    }
    if (pressOnMenuButton_) {
        if (d.kind == TDispatch::TKind::MouseUp && d.button == TMouseButton::Left) {
            pressOnMenuButton_ = false;
            redraw_ = true;
            if (InMenuButton(d.x, d.y)) OpenMenu();
        }
        return;
    }
    // A session of one game ends with the click on its game-over screen, and the player's own
    // game comes; the press's release goes nowhere.
    const bool released =
        d.kind == TDispatch::TKind::MouseUp && !d.shift.left && !d.shift.right && !d.shift.middle;
    if (endingPress_) {
        endingPress_ = !released;
        return;
    }
    if (d.kind == TDispatch::TKind::MouseDown && ended_ && !gameHasPress_ &&
        IsScreen(Game(), "game over")) {
        endingPress_ = true;
        Play();
        if (after_) {
            OpenMenu();
            Push(std::move(after_));
        }
        return;
    }
    // The guide's own buttons take their presses; over a demonstration, a click takes it over.
    if (guide_ && !gameHasPress_ && guide_->Press(d)) return AfterDispatch();
    if (d.kind == TDispatch::TKind::MouseDown) gameHasPress_ = true;
    if (released) gameHasPress_ = false;
    session_->Dispatch(d);
    AfterDispatch();
}

bool TFrontEnd::HostKey(THostKey key) {
    gone_.clear();
    goneGuides_.clear();
    if (MenuOpen()) {
        if (key == THostKey::Escape || key == THostKey::Menu) {
            screens_.back()->Back(*this);
            redraw_ = true;
            return true;
        }
        // The arrows and Enter move the host's pointer over the menu's buttons.
        return false;
    }
    if (key == THostKey::Menu) {
        OpenMenu();
        return true;
    }
    if (key == THostKey::Escape) {
        // Escape closes a menu of the game's own first (the host's pointer does that).
        const TForm1* game = Game();
        const bool gameMenu = game && session_->TakesInput() &&
                              (game->MenuImg->Visible() || game->OrbMenuImg->Visible());
        if (!gameMenu) {
            OpenMenu();
            return true;
        }
    }
    const bool taken = session_->HostKey(key);
    AfterDispatch();
    return taken;
}

void TFrontEnd::RunDue() {
    gone_.clear();
    goneGuides_.clear();
    session_->RunDue();
    AfterDispatch();
}

std::optional<uint64_t> TFrontEnd::NextDue() {
    const std::optional<uint64_t> due = session_->NextDue();
    // A slowed game's times are its own clock's; the host waits by its own.
    if (due && scaled_ && clock_) return clock_->HostTime(*due);
    return due;
}

void TFrontEnd::FocusChanged(bool focused) {
    session_->FocusChanged(focused);
    if (focused || !options_.pauseOnFocusLoss || MenuOpen() || Watching()) return;
    if (IsScreen(Game(), "play")) {
        session_->Dispatch(TDispatch::Key('P'));
        AfterDispatch();
    }
}

void TFrontEnd::AfterDispatch() {
    if (const TForm1* game = Game()) {
        // Only games played here, live, are the player's to keep.
        if (game->gameOver && !wasOver_ && !Watching()) GameEnded(*game);
        wasOver_ = game->gameOver;
        if (!game->gameOver && !placeText_.empty()) placeText_.clear(), redraw_ = true;
    }
    if (guide_) guide_->Follow();
    // A change of speed waits for a game not yet begun (and a session of one game for its end).
    if (speedPending_ && !ended_ && !MenuOpen() && !Watching() && IsScreen(Game(), "splash"))
        Play();
}

// ---------------------------------------------------------------- the menu

void TFrontEnd::Pause() {
    pausedByMenu_ = false;
    if (TPlaybackSession* playback = PlaybackOf(*session_); playback && !playback->Live()) {
        if (!playback->Paused()) {
            session_->Dispatch(TDispatch::Key('p'));
            pausedByMenu_ = true;
        }
        return;
    }
    if (IsScreen(Game(), "play")) {
        session_->Dispatch(TDispatch::Key('P'));
        pausedByMenu_ = true;
    }
}

void TFrontEnd::Unpause() {
    if (!pausedByMenu_) return;
    pausedByMenu_ = false;
    if (TPlaybackSession* playback = PlaybackOf(*session_); playback && !playback->Live()) {
        if (playback->Paused()) session_->Dispatch(TDispatch::Key('p'));
        return;
    }
    if (IsScreen(Game(), "paused")) session_->Dispatch(TDispatch::Key('P'));
    AfterDispatch();
}

void TFrontEnd::OpenMenu() {
    if (MenuOpen()) return;
    OpenScreen(MakeMainMenu());
}

void TFrontEnd::OpenScreen(std::unique_ptr<TMenuScreen> screen) {
    if (MenuOpen()) return Push(std::move(screen));
    // A press the game holds is let go where the mouse was: the menu takes the mouse now.
    if (gameHasPress_) {
        session_->Dispatch(TDispatch::MouseUp(mouseX_, mouseY_, TMouseButton::Left, TShiftState()));
        gameHasPress_ = false;
    }
    Pause();
    pressed_.reset();
    Push(std::move(screen));
}

void TFrontEnd::SetGuide(std::unique_ptr<TGuide> guide) {
    EndGuide();
    guide_ = std::move(guide);
    redraw_ = true;
}

void TFrontEnd::EndGuide() {
    if (!guide_) return;
    goneGuides_.push_back(std::move(guide_));
    redraw_ = true;
}

void TFrontEnd::StartLesson() {
    auto lesson = std::make_unique<TLesson>(*this);
    TLesson& started = *lesson;
    SetGuide(std::move(lesson));
    started.Start();
}

TLesson* TFrontEnd::Lesson() {
    return dynamic_cast<TLesson*>(guide_.get());
}

void TFrontEnd::Push(std::unique_ptr<TMenuScreen> screen) {
    screens_.push_back(std::move(screen));
    pressed_.reset();
    redraw_ = true;
}

void TFrontEnd::Pop() {
    if (screens_.empty()) return;
    gone_.push_back(std::move(screens_.back()));
    screens_.pop_back();
    pressed_.reset();
    redraw_ = true;
    if (screens_.empty()) Unpause();
}

void TFrontEnd::CloseMenu() {
    while (!screens_.empty()) {
        gone_.push_back(std::move(screens_.back()));
        screens_.pop_back();
    }
    pressed_.reset();
    redraw_ = true;
    Unpause();
}

void TFrontEnd::NewGame() {
    CloseMenu();
    // A session of one game whose game is over ends (TPlayChoice::ended) before the new game.
    const TForm1* now = Game();
    if (Watching() || GameGoingOn() || (ended_ && now && now->gameOver)) Play();
    after_.reset();
    // The clicks a player would make: past the game-over screen to a fresh world, and on the
    // title screen to begin.
    if (TForm1* game = Game(); IsScreen(game, "game over"))
        ClickScreen(*session_, *game->PaintBox1);
    if (TForm1* game = Game(); IsScreen(game, "splash")) ClickScreen(*session_, *game->PaintBox2);
    AfterDispatch();
}

void TFrontEnd::OptionsChanged() {
    host_.audio.SetVolumes(options_.musicVolume, options_.effectsVolume);
    if (IHostWindow* window = host_.window) {
        window->SetFullscreen(options_.fullscreen);
        if (options_.windowScale > 0) window->SetScale(options_.windowScale);
    }
    if (!scaled_ || !clock_ || clock_->Percent() != options_.gameSpeed) speedPending_ = true;
    if (!options_.calmEffects) gameLook_.clear();
    WriteOptionsFile();
    redraw_ = true;
}

void TFrontEnd::WriteOptionsFile() {
    const int error = WriteOptions(host_.files, host_.configDir, options_);
    if (error != 0 && !host_.configDir.empty())
        std::fprintf(stderr, "quorvatide: cannot write %s%s: %s\n", host_.configDir.c_str(),
                     kOptionsFileName, std::strerror(error));
}

void TFrontEnd::ApplyWindowOptions() {
    windowApplied_ = true;
    IHostWindow* window = host_.window;
    if (!window) return;
    if (options_.windowScale > 0) window->SetScale(options_.windowScale);
    if (options_.fullscreen) window->SetFullscreen(true);
}

std::vector<TMenuButton> TFrontEnd::CurrentButtons() {
    return screens_.empty() ? std::vector<TMenuButton>() : screens_.back()->Buttons(*this);
}

std::optional<size_t> TFrontEnd::ButtonAt(const std::vector<TMenuButton>& buttons, int x,
                                          int y) const {
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TRect& r = buttons[i].rect;
        if (buttons[i].enabled && x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return i;
    }
    return std::nullopt;
}

void TFrontEnd::MenuInput(const TDispatch& d) {
    const std::vector<TMenuButton> buttons = CurrentButtons();
    const std::optional<size_t> before = ButtonAt(buttons, mouseX_, mouseY_);
    mouseX_ = d.x, mouseY_ = d.y;
    const std::optional<size_t> at = ButtonAt(buttons, d.x, d.y);
    (void)before;
    if (d.kind == TDispatch::TKind::MouseDown) {
        // The right button goes back, as Escape does.
        if (d.button == TMouseButton::Right) {
            screens_.back()->Back(*this);
            redraw_ = true;
            return;
        }
        if (d.button == TMouseButton::Left) pressed_ = at;
        return;
    }
    if (d.kind == TDispatch::TKind::MouseUp && d.button == TMouseButton::Left) {
        const std::optional<size_t> pressed = pressed_;
        pressed_.reset();
        if (pressed && pressed == at && buttons[*pressed].press) buttons[*pressed].press();
    }
}

std::vector<TRect> TFrontEnd::PointerItems() {
    std::vector<TRect> items;
    for (const TMenuButton& b : CurrentButtons())
        if (b.enabled) items.push_back(b.rect);
    return items;
}

// ---------------------------------------------------------------- drawing

std::string TFrontEnd::GameLook() {
    std::string look = std::to_string(int(MenuOpen()));
    if (guide_) look += guide_->Look();
    const TForm1* game = Game();
    if (!game) return look;
    look += ScreenName(*game);
    if (options_.calmEffects)
        for (const TShape* frame : {game->spNoCash, game->spTooManySigns, game->spHatred})
            look += frame->Visible() || frame->Tag >= 5 ? '!' : '.';
    return look;
}

void TFrontEnd::DrawSide(TPicture& c) {
    const TRect r = MenuButton();
    const bool lit = MenuOpen() || pressOnMenuButton_ || InMenuButton(mouseX_, mouseY_);
    look::Fill(c, r, look::kSideEdge);
    look::Fill(c, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1},
               lit ? look::kSideLit : look::kSideFill);
    // Three short bars, and the word.
    for (int bar = 0; bar < 3; ++bar)
        look::Fill(c, {r.left + 10, r.top + 8 + bar * 5, r.left + 24, r.top + 10 + bar * 5},
                   look::kSideInk);
    look::Text(c, r.left + 34, look::LineTopIn(r, TextFont()), "Menu", look::kSideInk, TextFont());
    const int escW = TextWidth("Esc", UiFont());
    look::Text(c, r.right - 10 - escW, look::LineTopIn(r, UiFont()), "Esc", look::kSideMutedInk,
               UiFont());
    overlay_.Drawn(r);
    // The last game's place, until the next begins.
    if (!placeText_.empty()) {
        const TRect p = PlaceBox();
        look::Fill(c, p, look::kSideEdge);
        look::Fill(c, {p.left + 1, p.top + 1, p.right - 1, p.bottom - 1}, look::kSideFill);
        look::CentredText(c, (p.left + p.right) / 2, look::LineTopIn(p, ButtonFont()), placeText_,
                          look::kSideBest, ButtonFont());
        overlay_.Drawn(p);
    }
}

void TFrontEnd::DrawCalm(TPicture& c) {
    const TForm1* game = Game();
    if (!options_.calmEffects || !game) return;
    // A warning frame stands for the whole of its flashing, steady.
    for (const TShape* frame : {game->spNoCash, game->spTooManySigns, game->spHatred}) {
        if (!frame->Visible() && frame->Tag < 5) continue;
        const TRect r = frame->BoundsInForm();
        look::Outline(c, r, frame->PenWidth(), frame->PenColor() | 0xFF000000u);
        overlay_.Drawn(r);
    }
    // The end's explosions, dimmed.
    if (IsScreen(game, "exploding")) {
        const TRect pane = game->Pane->BoundsInForm();
        look::Fill(c, pane, Color32(0, 0, 0, 120));
        overlay_.Drawn(pane);
    }
}

TButtonLook TFrontEnd::LookOf(const TMenuButton& button, size_t index) const {
    if (!button.enabled) return TButtonLook::Disabled;
    if (litDrawn_ != index) return TButtonLook::Normal;
    return pressed_ == index ? TButtonLook::Pressed : TButtonLook::Lit;
}

void TFrontEnd::Draw() {
    const TForm& form = session_->Form();
    TPicture& c = overlay_.Begin(form.Width(), form.Height());
    DrawCalm(c);
    DrawSide(c);
    if (guide_) guide_->Draw(c, overlay_);
    litDrawn_.reset();
    pressedDrawn_ = false;
    drawnButtons_.clear();
    if (MenuOpen()) {
        const TRect all{0, 0, form.Width(), form.Height()};
        look::Fill(c, all, look::kDim);
        overlay_.Drawn(all);
        TMenuScreen& screen = *screens_.back();
        drawnButtons_ = screen.Buttons(*this);
        screen.Draw(*this, c);
        for (size_t i = 0; i < drawnButtons_.size(); ++i)
            screen.DrawButton(*this, c, drawnButtons_[i], i, LookOf(drawnButtons_[i], i));
    }
    overlay_.End();
    redraw_ = false;
    DrawLit();
}

void TFrontEnd::DrawLit() {
    if (!MenuOpen()) return;
    const std::optional<size_t> lit = ButtonAt(drawnButtons_, mouseX_, mouseY_);
    const bool pressed = lit && pressed_ == lit;
    if (lit == litDrawn_ && pressed == pressedDrawn_) return;
    TPicture& c = overlay_.Edit();
    TMenuScreen& screen = *screens_.back();
    // The button lit before goes back to how it was drawn unlit.
    if (litDrawn_) {
        const TRect r = drawnButtons_[*litDrawn_].rect.Intersect({0, 0, c.Width(), c.Height()});
        for (int y = r.top; y < r.bottom; ++y)
            std::copy_n(unlit_.Bits() + size_t(y - r.top) * unlit_.Width(), r.Width(),
                        c.MutableBits() + size_t(y) * c.Width() + r.left);
        overlay_.Touched(r);
    }
    litDrawn_ = lit;
    pressedDrawn_ = pressed;
    if (!lit) return;
    const TMenuButton& b = drawnButtons_[*lit];
    const TRect r = b.rect.Intersect({0, 0, c.Width(), c.Height()});
    unlit_.SetSize(r.Width(), r.Height());
    for (int y = r.top; y < r.bottom; ++y)
        std::copy_n(c.Bits() + size_t(y) * c.Width() + r.left, r.Width(),
                    unlit_.MutableBits() + size_t(y - r.top) * unlit_.Width());
    screen.DrawButton(*this, c, b, *lit, LookOf(b, *lit));
    overlay_.Touched(r);
}

const TPicture& TFrontEnd::Shown(std::vector<TRect>& changed) {
    if (!windowApplied_) ApplyWindowOptions();
    if (std::string look = GameLook(); look != gameLook_) {
        gameLook_ = std::move(look);
        redraw_ = true;
    }
    if (redraw_)
        Draw();
    else
        DrawLit();
    return overlay_.Show(session_->Form().Frame(), changed);
}
