#include "shell/game_session.h"

TGameSession::TGameSession(TPlatform& platform, const TSettings& settings, bool boardShown)
    : game_(std::make_unique<TForm1>(platform, settings)) {
    if (boardShown) game_->pnlSplash->Hide();
    wasOver_ = game_->gameOver;
}

TGameSession::~TGameSession() {
    if (onClosing) onClosing();
    game_.reset();
}

void TGameSession::Hand(const TDispatch& d, const std::function<void()>& then) {
    TForm1& game = *game_;
    switch (d.kind) {
        case TDispatch::TKind::MouseMove:
            game.MouseMove(d.x, d.y, d.shift);
            break;
        case TDispatch::TKind::MouseDown:
            game.MouseDown(d.x, d.y, d.button, d.shift);
            break;
        case TDispatch::TKind::MouseUp:
            game.MouseUp(d.x, d.y, d.button, d.shift);
            break;
        case TDispatch::TKind::Key:
            game.KeyPress(d.key);
            break;
        case TDispatch::TKind::MusicFinished:
            game.MusicFinished(d.player);
            break;
        case TDispatch::TKind::Timers:
            game.FireDueTimers();
            break;
        case TDispatch::TKind::Close:
            // The end of the session is nothing the window is told.
            break;
    }
    const bool over = game.gameOver;
    ended_ = over && !wasOver_;
    if (then) then();
    if (wasOver_ && !over) ++games_;
    wasOver_ = over;
    if (onDispatched) onDispatched();
}
