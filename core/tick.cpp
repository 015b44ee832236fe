// The game tick: every 50 ms, once the player has left the splash screen, the whole game moves
// on by one step, in a fixed order.
#include <cstdio>

#include "core/form1.h"

namespace {

// Ticks a warning frame is shown, then hidden, then shown again.
constexpr int kFlashPhase = 5;
// One in this many ticks (about 6 %) a creature may speak.
constexpr int kSpeechDraws = 50000;
constexpr int kSpeechAbove = 46999;
// A speech bubble: seven picture steps at two-thirds opacity.
constexpr int kSpeechLife = 7;
constexpr int kSpeechAlpha = 170;

}  // namespace

void TForm1::tmrTickTimer() {
    // Off while the tick runs: the next tick comes 50 ms after this one ends, so a slow tick
    // slows the game down instead of letting ticks pile up.
    tmrTick->SetEnabled(false);
    ++tickCount;
    if (settings.DEBUG != 0) {
        char caption[64];
        std::snprintf(caption, sizeof caption, "%s [%d %d]", kApplicationTitle, cursor->tileX,
                      cursor->tileY);
        SetCaption(caption);
    }
    ClearStruck();
    if (tickCount > settings.INITDELAY) RunSpawners();
    UpdateVonkels();
    UpdateEffects();
    // The orb's last explosion may just have ended the game; nothing else moves then, and the
    // tick stays off.
    if (gameOver) return;
    UpdateMusic();
    FireTurrets();
    cursor->Redraw();
    if (int(lstSigns.size()) != shownSignCount) DrawSignCounter();
    FlashWarning(*spNoCash);
    FlashWarning(*spTooManySigns);
    if (FlashWarning(*spHatred)) ChangeHatred();
    ShowSpeechBubble();
    UpdateBots();
    tmrTick->SetEnabled(true);
}

void TForm1::ClearStruck() {
    if (orb) orb->struck = false;
    for (auto& vonkel : lstVonkels) vonkel->struck = false;
    for (auto& turret : lstTurrets) turret->struck = false;
}

void TForm1::RaiseWarning(TShape& frame) {
    frame.Show();
    frame.Tag = 0;
}

// A raised frame stays up for the rest of its first tick and four more, is hidden for five,
// shown for five, and hidden for good in the fifteenth tick: two flashes in 750 ms.
bool TForm1::FlashWarning(TShape& frame) {
    if (!frame.Visible() && frame.Tag < kFlashPhase) return false;
    ++frame.Tag;
    if (frame.Tag >= kFlashPhase) frame.Hide();
    if (frame.Tag >= 2 * kFlashPhase) frame.Show();
    if (frame.Tag >= 3 * kFlashPhase) {
        frame.Hide();
        frame.Tag = 0;
        return true;
    }
    return false;
}

void TForm1::ShowSpeechBubble() {
    if (random.RandomInt(0, kSpeechDraws - 1) <= kSpeechAbove) return;
    if (lstVonkels.empty()) return;
    const TVonkel& speaker = *lstVonkels[size_t(random.RandomInt(0, int(lstVonkels.size()) - 1))];
    // The two bubbles take turns, across games too.
    if (++speechToggle >= 2) speechToggle = 0;
    AddEffect(speaker.tileX, speaker.tileY - 1, speechToggle == 0 ? sprSpeechVon : sprSpeechKel, 1,
              kSpeechLife, kSpeechAlpha);
}
