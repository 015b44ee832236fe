#include "shell/screen_name.h"

#include "core/form1.h"

const char* ScreenName(const TForm1& form) {
    // The pause picture may stand in front of the explosions or the game-over screen.
    if (form.pnlSplash && form.pnlSplash->Visible()) return "splash";
    if (form.pnlPause && form.pnlPause->Visible()) return "paused";
    if (form.pnlGameOver && form.pnlGameOver->Visible()) return "game over";
    if (form.gameOver) return "exploding";
    return "play";
}
