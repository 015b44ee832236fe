// Showing the game's fixed-size frame on screens of any size: the whole-number scale the window
// opens at, where the frame sits in a fullscreen window, mouse positions taken back to the
// frame's own pixels, and the nearest-neighbour enlargement of changed rectangles. Plain
// arithmetic on pixel buffers; the SDL host applies it.
#pragma once

#include <cstdint>
#include <string>

// The largest scale anyone could ask for: 16 × 903 is near the limit of X11 window sizes.
constexpr int kMaxWindowScale = 16;

// The largest whole number N, at least 1, with N × frameW ≤ areaW and N × frameH ≤ areaH.
int FittingScale(int areaW, int areaH, int frameW, int frameH);

struct TScaleChoice {
    int scale = 1;
    // One line for stderr when the requested scale was refused; empty otherwise.
    std::string warning;
};

// The window's scale: `requested` (the value of QUORVATIDE_SCALE, or null when unset) when it
// is a whole number from 1 to kMaxWindowScale, else the fitting scale for the usable area.
TScaleChoice ChooseWindowScale(int areaW, int areaH, int frameW, int frameH, const char* requested);

// Where the frame is shown in a window: enlarged `scale` times with its top-left pixel at
// (left, top) of the window. A fullscreen window centres it on black.
struct TViewport {
    int scale = 1;
    int left = 0, top = 0;
    int frameW = 0, frameH = 0;

    int Width() const { return frameW * scale; }
    int Height() const { return frameH * scale; }
    // The frame pixel under window pixel (wx, wy), rounding towards minus infinity so that
    // positions left of or above the frame stay outside it. Returns whether it is inside.
    bool ToFrame(int wx, int wy, int& fx, int& fy) const;
};

// A window of windowW × windowH showing the frame at the largest scale that fits, centred.
TViewport CentredViewport(int windowW, int windowH, int frameW, int frameH);

// Copies the frame rectangle (x, y, w, h) into a window buffer, every pixel becoming a
// scale × scale block placed by the viewport. Pitches are in bytes; the caller keeps the
// rectangle inside the frame and the window buffer large enough.
void ScaleRect(const uint32_t* frame, int framePitch, uint32_t* window, int windowPitch,
               const TViewport& view, int x, int y, int w, int h);
