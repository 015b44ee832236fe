// The screen the game shows, in a word, for crash reports.
#pragma once

class TForm1;

// "splash", "play", "paused", "exploding" or "game over". Reads only a few flags of the game, so
// that a crash report can call it in whatever state a crash leaves.
const char* ScreenName(const TForm1& form);
