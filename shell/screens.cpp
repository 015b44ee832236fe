// The screens of the game and the way from one to the next.
#include <algorithm>
#include <cstdint>

#include "core/form1.h"

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

void TForm1::EndGame() {
    // Play stops: no tick, no warnings, no swaps. (The game-over explosions and screen are
    // not part of the game yet.)
    tmrTick->SetEnabled(false);
    tmrRHS->SetEnabled(false);
    tmrEmergeSwap->SetEnabled(false);
    gameOver = true;
}
