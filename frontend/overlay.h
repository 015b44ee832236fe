// What the front end draws over the game's frame: a picture of the frame's size, clear wherever
// nothing is drawn, and the frame shown with it on top. Only what changed is copied and blended
// again: the frame's repainted rectangles and the rows of the drawing that differ from the last.
#pragma once

#include <vector>

#include "toolkit/picture.h"

class TOverlay {
public:
    // A new drawing, all clear, to be drawn and then ended with End. Where it lies must be named
    // with Drawn (the frame shows unchanged elsewhere).
    TPicture& Begin(int width, int height);
    void Drawn(const TRect& r);
    // Compares the new drawing with the one before, so that only what differs is shown again.
    void End();
    // The drawing as it stands, to change a part of it in place; the part changed must be
    // named with Touched, and lie within what was drawn.
    TPicture& Edit() { return canvas_; }
    void Touched(const TRect& r);

    // The frame with the drawing over it, kept whole. `changed` comes with the frame's
    // rectangles that were painted again and leaves with every rectangle of the picture that
    // changed.
    const TPicture& Show(const TPicture& frame, std::vector<TRect>& changed);

private:
    TPicture canvas_, last_, shown_;
    std::vector<TRect> drawn_, lastDrawn_, dirty_;
    bool whole_ = true;
};
