// Pictures and the text font that are built into the program (not read from Assets). Their data
// is rasterised from a real font when the program is built.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/picture.h"

// One glyph of a built-in font: an 8-bit coverage bitmap placed relative to the pen position
// on the baseline.
struct TBuiltinGlyph {
    int16_t advance;  // pen advance in pixels
    int16_t left;     // x of the bitmap's left column relative to the pen
    int16_t top;      // y of the bitmap's top row relative to the line's top
    int16_t width, height;
    uint32_t offset;  // index of the first coverage byte in the font's coverage array
};

struct TBuiltinFont {
    int lineHeight;               // distance between two lines of text
    const TBuiltinGlyph* glyphs;  // characters 32..126 in order
    const uint8_t* coverage;
};

// The window's text font: a sans-serif face 11 pixels high.
const TBuiltinFont& UiFont();
// The same face 10 pixels high, for text boxes whose lines are long for their width.
const TBuiltinFont& MemoFont();
// The front end's faces: its text (13 pixels), its buttons (bold, 15) and its titles (a bold
// serif, 28, as the title screen's).
const TBuiltinFont& TextFont();
const TBuiltinFont& ButtonFont();
const TBuiltinFont& TitleFont();

// Draws `text` (printable ASCII; anything else shows as '?') with the top-left of its first
// line at (x, y) in `colour`, blending glyph coverage over the picture; clipped to the picture.
// Returns the width of the text in pixels.
int DrawText(TPicture& dst, int x, int y, std::string_view text, TColor32 colour,
             const TBuiltinFont& font = UiFont());
// Width of `text` in pixels when drawn with `font`.
int TextWidth(std::string_view text, const TBuiltinFont& font = UiFont());

// The word PAUSED in white block letters on black, 336 x 84.
TPicture PausedPicture();
// The key legend naming the keys S (sounds), M (music) and P (pause) in block letters, 76 x 40.
TPicture KeyLegendPicture();
// The credits, 183 x 200.
TPicture CreditsPicture();
