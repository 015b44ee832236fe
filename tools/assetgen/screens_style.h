// The look shared by the window's pictures: the palette, board pictures placed at any size,
// glowing text, wrapped paragraphs, arrows and per-pixel grain. The pictures themselves are
// drawn in screens.cpp (menus, panel icons, hatred pictures), screens_splash.cpp (title screen
// and how-to-play text) and screens_gameover.cpp (end text and the game-over frame).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/art.h"

namespace assetgen::screens {

// The white panels of the right column: their dark ink and the red of their titles.
constexpr uint32_t kPanelInk = 0x1C1C24;
constexpr uint32_t kPanelTitle = 0x801010;
// The arrows of the hatred cycle.
constexpr uint32_t kHatredRed = 0xB3141B;

// The pop-up menus: dark slate with a bright blue rim.
constexpr uint32_t kSlateLight = 0x364156;
constexpr uint32_t kSlateDark = 0x1B212D;
constexpr uint32_t kRim = 0x79CDF2;
constexpr uint32_t kRimDark = 0x0A0D13;

// The dark screens: night blue backdrop, warm gold titles, pale body text.
constexpr uint32_t kNight = 0x070B17;
constexpr uint32_t kGold = 0xF5C451;
constexpr uint32_t kGoldPale = 0xFFF3C4;
constexpr uint32_t kGoldDeep = 0xD9801F;
constexpr uint32_t kBodyText = 0xDDE3EE;
constexpr uint32_t kSoftText = 0x9FB0CC;

// The game-over screens: embers on red-black iron.
constexpr uint32_t kEmber = 0xFF3B2E;
constexpr uint32_t kEmberPale = 0xFFB199;
constexpr uint32_t kIron = 0x24100F;

void Fill(cairo_t* cr, uint32_t rgb);

// Draws one of the 35 × 35 board routines with its top-left corner at (x, y), `size` wide.
template <typename Draw>
void AtSize(cairo_t* cr, double x, double y, double size, Draw draw) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size / 35.0, size / 35.0);
    draw(cr);
    cairo_restore(cr);
}

// The same, centred on (cx, cy).
template <typename Draw>
void Centred(cairo_t* cr, double cx, double cy, double size, Draw draw) {
    AtSize(cr, cx - size / 2, cy - size / 2, size, draw);
}

// The colour a board routine shows at a point of its tile, e.g. the middle of the orb, so
// that glows and captions follow the board art.
template <typename Draw>
uint32_t SampleColour(double x, double y, Draw draw) {
    art::TCanvas c(35, 35);
    draw(c.cr());
    return c.Pixel(int(x), int(y)) & 0xFFFFFF;
}

// A soft halo: strokes the current path (kept) with widening, fading lines.
void GlowPath(cairo_t* cr, uint32_t rgb, double radius, double strength);
// A soft radial pool of light, strongest in the middle.
void LightPool(cairo_t* cr, double cx, double cy, double rx, double ry, uint32_t rgb, double alpha);

// Puts the outline of the text, aligned like art::Text, as the current path.
void TextPath(cairo_t* cr, double x, double y, const std::string& text, art::TAlign align);
// Text with letter spacing, for small capital titles.
void SpacedText(cairo_t* cr, double x, double y, const std::string& text, double spacing,
                uint32_t rgb, art::TAlign align = art::TAlign::Left);
double SpacedWidth(cairo_t* cr, const std::string& text, double spacing);

// A showpiece title: outer glow, dark outline, vertical gradient fill and a thin light rim.
struct TTitleStyle {
    uint32_t top, bottom;  // fill gradient
    uint32_t outline;
    double outlineWidth;
    uint32_t glow;
    double glowRadius, glowStrength;
};
void TitleText(cairo_t* cr, double x, double y, const std::string& text, art::TAlign align,
               const TTitleStyle& style);

// Splits text into lines no wider than `width` in the current font; words are never split.
std::vector<std::string> Wrap(cairo_t* cr, const std::string& text, double width);
// Draws wrapped text from baseline y; returns the baseline after the last line.
double Paragraph(cairo_t* cr, double x, double y, double width, double lineHeight,
                 const std::string& text, uint32_t rgb, art::TAlign align = art::TAlign::Left);

// An arrow head with its tip at (x, y) pointing along `angle` (radians).
void ArrowHead(cairo_t* cr, double x, double y, double angle, double length, double width);
// A bold arrow along a circular arc from angle a0 to a1 (either way round), head at a1.
void ArcArrow(cairo_t* cr, double cx, double cy, double r, double a0, double a1, double width,
              uint32_t rgb, double outlineWidth = 0, uint32_t outline = 0xFFFFFF);
// A straight bold arrow from (x0, y0) to the tip at (x1, y1).
void StraightArrow(cairo_t* cr, double x0, double y0, double x1, double y1, double width,
                   uint32_t rgb);

// A small filled diamond centred on (cx, cy), `r` from the centre to each point: the end of a
// decorative rule.
void Diamond(cairo_t* cr, double cx, double cy, double r, uint32_t rgb);

// A round rivet: dark rim, lit dome and a small highlight. The light comes from above, `light`
// radii to the side (negative: from the left).
void Rivet(cairo_t* cr, double cx, double cy, double r, uint32_t metal, double light = -0.35);

// Changes every pixel of an opaque canvas: f(x, y) gives a brightness factor (1 = unchanged).
template <typename F>
void Shade(art::TCanvas& c, F f) {
    cairo_surface_t* s = c.Surface();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < c.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < c.Width(); ++x) {
            const double k = f(x, y);
            if (k == 1.0) continue;
            const uint32_t p = row[x];
            uint32_t out = p & 0xFF000000u;
            const uint32_t a = p >> 24;
            for (int shift = 0; shift <= 16; shift += 8) {
                const double v = double((p >> shift) & 0xFF) * k;
                const double capped = v < 0 ? 0 : (v > a ? a : v);
                out |= uint32_t(capped + 0.5) << shift;
            }
            row[x] = out;
        }
    }
    cairo_surface_mark_dirty(s);
}

// Fine grain: brightness wobbles by up to ±amount.
void Grain(art::TCanvas& c, double amount, uint32_t seed);

// The large pictures, each drawn on a canvas of its exact size.
void DrawSplash(art::TCanvas& c);     // 700 × 700
void DrawStartText(art::TCanvas& c);  // 600 × 600
void DrawEndText(art::TCanvas& c);    // 550 × 450
// The game-over frame's bands: top 700 × 101, side 50 × 499 (shown at both sides), bottom
// 700 × 100.
void DrawGameOverBands(art::TCanvas& top, art::TCanvas& side, art::TCanvas& bottom);

}  // namespace assetgen::screens
