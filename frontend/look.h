// How the front end looks: the title screen's night blue and gold, drawn into a picture that is
// clear where nothing is drawn. Shapes blend over what lies under them in the picture, however
// clear that is; text is drawn only onto shapes.
#pragma once

#include <string_view>

#include "toolkit/builtin_art.h"
#include "toolkit/picture.h"

namespace look {

constexpr TColor32 kDim = Color32(4, 6, 16, 168);
constexpr TColor32 kPanelTop = Color32(28, 38, 72), kPanelBottom = Color32(12, 16, 36);
constexpr TColor32 kPanelEdge = Color32(214, 160, 64), kPanelInnerEdge = Color32(60, 78, 128);
constexpr TColor32 kGold = Color32(240, 186, 84);
constexpr TColor32 kInk = Color32(240, 243, 255);
constexpr TColor32 kMutedInk = Color32(156, 170, 208);
constexpr TColor32 kButton = Color32(36, 52, 96), kButtonLit = Color32(54, 76, 134);
constexpr TColor32 kButtonEdge = Color32(78, 104, 168);
constexpr TColor32 kDisabledInk = Color32(104, 114, 146);
// The side panel's: white panels with dark ink, as the game's own.
constexpr TColor32 kSideFill = Color32(255, 255, 255), kSideLit = Color32(255, 244, 206);
constexpr TColor32 kSideEdge = Color32(170, 170, 178), kSideInk = Color32(28, 28, 36);
constexpr TColor32 kSideMutedInk = Color32(120, 120, 132), kSideBest = Color32(150, 24, 24);
constexpr TColor32 kWarning = Color32(255, 0, 0);

// `colour` (straight alpha) over `under` with the coverage `c` (0..255), in straight alpha.
TColor32 Over(TColor32 colour, TColor32 under, int c = 255);

// A rectangle with rounded corners (radius in pixels, the corners smoothed), filled with a
// colour running from `top` at its top to `bottom` at its bottom.
void FillRound(TPicture& p, const TRect& r, int radius, TColor32 top, TColor32 bottom);
inline void FillRound(TPicture& p, const TRect& r, int radius, TColor32 colour) {
    FillRound(p, r, radius, colour, colour);
}
// The same with an edge `width` pixels wide in `edge`.
void FrameRound(TPicture& p, const TRect& r, int radius, int width, TColor32 edge, TColor32 top,
                TColor32 bottom);
// A plain rectangle blended over the picture.
void Fill(TPicture& p, const TRect& r, TColor32 colour);
// An outline `width` pixels wide inside `r`.
void Outline(TPicture& p, const TRect& r, int width, TColor32 colour);

// Text in `font`, its first line's top at `y`: from `x`, or centred on `centreX`. Returns the
// width.
int Text(TPicture& p, int x, int y, std::string_view text, TColor32 colour,
         const TBuiltinFont& font);
int CentredText(TPicture& p, int centreX, int y, std::string_view text, TColor32 colour,
                const TBuiltinFont& font);
// The top at which one line of `font` stands centred in `r`.
int LineTopIn(const TRect& r, const TBuiltinFont& font);

// The front end's panel: the title screen's night, framed in gold.
void Panel(TPicture& p, const TRect& r);

// How a button is shown.
enum class TButtonState : uint8_t { Normal, Lit, Pressed, Disabled };
void Button(TPicture& p, const TRect& r, std::string_view text, TButtonState state,
            const TBuiltinFont& font = ButtonFont());

// A number with its thousands apart: "1 234", "-12 345".
std::string Grouped(long long n);

}  // namespace look
