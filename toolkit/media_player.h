// A hidden music player control of the window: one file at a time on one of the platform's
// music players. Every operation returns false on failure and never throws.
#pragma once

#include <string>

#include "toolkit/controls.h"
#include "toolkit/platform.h"

class TMediaPlayer : public TControl {
public:
    TMediaPlayer(TControl* parent, std::string name, int left, int top, int width, int height,
                 IAudio& audio, int player);

    int Player() const { return player_; }
    std::string FileName;

    // Opens FileName (closing an open file first).
    bool Open();
    // Plays from the current position; at the end it rewinds first.
    bool Play();
    bool Stop();
    bool Close();
    bool IsOpen() const;
    // Milliseconds; both 0 without an open file.
    int64_t Position() const;
    int64_t Length() const;

private:
    IAudio& audio_;
    int player_;
};
