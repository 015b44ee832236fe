// Putting pictures on the window's frame. The frame is opaque; only colour channels matter.
#pragma once

#include "toolkit/picture.h"

// Paints `src` with its top-left corner at (x, y) of `frame`, limited to `clip`. Blend mode
// composites with the picture's alpha and master alpha, opaque mode copies the colours.
void ComposePicture(TPicture& frame, const TPicture& src, int x, int y, const TRect& clip);

// Paints `src` stretched to `dst` (nearest-neighbour sampling), limited to `clip`.
void ComposePictureScaled(TPicture& frame, const TPicture& src, const TRect& dst,
                          const TRect& clip);

// Fills `r` (limited to `clip`) with an opaque colour.
void ComposeFill(TPicture& frame, const TRect& r, TColor32 colour, const TRect& clip);

// For the tests: one row blended, dst[i] = BlendPixel(src[i], dst[i], 255), in one of the ways
// this processor can (0 the plain one, then its vector ones); false for a way it lacks.
bool BlendRowWay(int way, TColor32* dst, const TColor32* src, int n);
