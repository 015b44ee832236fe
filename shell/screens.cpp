// The screens of the game and the way from one to the next: the splash screen (the title
// picture taking turns with the scrolling start text), play and its pause, the explosions when
// the orb falls, the game-over screen with its rising end text, and back to the splash screen
// over a fresh world.
#include <algorithm>
#include <cstdint>

#include "core/form1.h"

namespace {

// The start text enters at the bottom edge of the splash panel and climbs 10 pixels a step
// until it has left at the top.
constexpr int kStartTextTop = 680;
constexpr int kStartTextGone = -605;
// The end text rises from behind the bottom band and stops between the bands.
constexpr int kEndTextTop = 569;
constexpr int kEndTextStop = 121;
constexpr int kScrollStep = 10;
// An explosion of the game's end: all seven pictures once.
constexpr int kSplodeFrames = 7, kSplodeLife = 7;
// Each wave bursts on this many random tiles, rows and columns 0..17.
constexpr int kSplodesPerWave = 21;
constexpr int kLastSplodeTile = 17;
// The orb and the three tunnels stay; a wave has burnt out once fewer effects than this are left.
constexpr int kBurntOut = 5;

}  // namespace

void TForm1::tmrDivTimer() {
    imSplash->Hide();
    PaintBox2->Show();
    imStart->SetTop(kStartTextTop);
    tmrScrollST->SetEnabled(true);
    tmrDiv->SetEnabled(false);
}

void TForm1::tmrScrollSTTimer() {
    pnlSplash->SetDoubleBuffered(true);
    imStart->SendToBack();
    imStart->SetTop(imStart->Top() - kScrollStep);
    if (imStart->Top() <= kStartTextGone) {
        tmrScrollST->SetEnabled(false);
        imSplash->Show();
        tmrDiv->SetEnabled(true);
    }
}

void TForm1::imSplashClick(TControl&) {
    tmrTick->SetEnabled(true);
    tmrRHS->SetEnabled(true);
    if (settings.VONKELEMERGESWAP > 0) {
        // Seconds to milliseconds, kept within what a timer can wait.
        tmrEmergeSwap->SetInterval(
            uint32_t(std::min<int64_t>(int64_t(settings.VONKELEMERGESWAP) * 1000, UINT32_MAX)));
        tmrEmergeSwap->SetEnabled(true);
    }
    pnlSplash->Hide();
    PaintBox1->Hide();
    PaintBox2->Hide();
}

bool TForm1::PauseAllowed() const {
    // Not on the splash or game-over screens. A pause taken during the explosions may still be
    // up when the game-over screen comes behind it; taking it away is always allowed, or the
    // game would stay paused for good.
    return (!pnlSplash->Visible() && !pnlGameOver->Visible()) || pnlPause->Visible();
}

void TForm1::TogglePause() {
    pnlPause->SetVisible(!pnlPause->Visible());
    if (pnlPause->Visible()) {
        pnlPause->BringToFront();
        tmrTick->SetEnabled(false);
        tmrRHS->SetEnabled(false);
        return;
    }
    pnlPause->SendToBack();
    // Once the orb has fallen there is no play to resume: the explosions go on by themselves.
    if (gameOver) return;
    tmrTick->SetEnabled(true);
    tmrRHS->SetEnabled(true);
}

void TForm1::AddEndExplosions() {
    for (int n = 0; n < kSplodesPerWave; ++n) {
        const int y = random.RandomInt(0, kLastSplodeTile);
        const int x = random.RandomInt(0, kLastSplodeTile);
        AddEffect(x, y, sprSplode, kSplodeFrames, kSplodeLife, 255);
        lstEffects.back()->explodes = true;
    }
}

// Runs again, in full, whenever another of the orb's last explosions burns out.
void TForm1::EndGame() {
    MenuImg->Hide();
    OrbMenuImg->Hide();
    ShowBlockMarkers(false);
    BGM->Stop();
    tmrTick->SetEnabled(false);
    tmrRHS->SetEnabled(false);
    tmrEmergeSwap->SetEnabled(false);
    gameOver = true;
    StartGameOverMusic();
    imEnd->SetTop(kEndTextTop);
    // The orb's own explosion is silent; the random ones each go off with a bang.
    const TSprite& orbTile = orb ? *orb : *baseTiles[1];  // the orb stands on base tile 1
    AddEffect(orbTile.tileX, orbTile.tileY, sprSplode, kSplodeFrames, kSplodeLife, 255);
    AddEndExplosions();
    splodeStage = 0;
    tmrSplode->SetEnabled(true);
}

void TForm1::tmrSplodeTimer() {
    UpdateEffects();
    const bool burntOut = int(lstEffects.size()) < kBurntOut;
    if (burntOut && splodeStage == 1) {
        splodeStage = 2;
        pnlGameOver->Show();
        tmrSplode->SetEnabled(false);
        tmrScrollET->SetEnabled(true);
        PaintBox1->Show();
        PaintBox2->Show();
    }
    if (burntOut && splodeStage == 0) {
        splodeStage = 1;
        AddEndExplosions();
    }
}

void TForm1::tmrScrollETTimer() {
    pnlGameOver->SetDoubleBuffered(true);
    // Behind the four bands, which stay painted over it.
    imEnd->SendToBack();
    imEnd->SetTop(imEnd->Top() - kScrollStep);
    if (imEnd->Top() <= kEndTextStop) tmrScrollET->SetEnabled(false);
}

void TForm1::PaintBox1Click(TControl&) {
    gameOver = false;
    RestartTitleMusic();
    pnlGameOver->Hide();
    PaintBox1->Hide();
    PaintBox2->Hide();
    pnlSplash->Show();
    imSplash->Show();
    tmrScrollST->SetEnabled(false);
    // The splash timers ran on behind play; the picture gets its full time from now.
    tmrDiv->SetEnabled(false);
    tmrDiv->SetEnabled(true);
    // Play timers stay off until the splash screen is clicked.
    NewGame();
}
