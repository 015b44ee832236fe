// Small drawing helpers shared by the catalogue's picture routines: the common outline ink,
// shaded fills lit from the top left, soft ground shadows and glows.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace assetgen::parts {

// Every outline on the board uses this warm near-black, so all pictures sit together.
constexpr uint32_t kInk = 0x1E1A22;
constexpr double kLine = 1.5;  // outline width in tile units

using TPoint = std::pair<double, double>;

// Adds a closed polygon to the current path.
void Polygon(cairo_t* cr, std::initializer_list<TPoint> points);
// Strokes the current path in ink with round joins (keeps the path when `keep`).
void Outline(cairo_t* cr, double width = kLine, uint32_t colour = kInk, bool keep = false);
// Fills the current path with `base` lit from the top left of the circle (cx, cy, r), then
// strokes it in ink. Lighter towards the light, darker away from it.
void ShadedFill(cairo_t* cr, uint32_t base, double cx, double cy, double r, double outline = kLine,
                double strength = 1.0);
// Fills the current path (keeping it) with a vertical light-to-dark ramp of `base`.
void RampFill(cairo_t* cr, uint32_t base, double y0, double y1, double light = 0.25,
              double dark = 0.25);
// A soft dark ellipse on the ground under an object.
void GroundShadow(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha = 0.28);
// A round glow of colour fading from `alpha` in the centre to nothing at radius r.
void Glow(cairo_t* cr, double cx, double cy, double r, uint32_t rgb, double alpha);
// A small white shine, for eyes, lamps and polished spots.
void Shine(cairo_t* cr, double cx, double cy, double r, double alpha = 0.9);
// Adds a cog wheel outline (teeth between the two radii) with a round hole to the path.
void GearPath(cairo_t* cr, double cx, double cy, double outer, double inner, int teeth, double hole,
              double phase = 0);
// Smooth value noise that repeats every `period` units (period a multiple of cell), so that a
// textured tile joins its neighbours without a seam.
double TilingNoise(double x, double y, int cell, int period, uint32_t seed);

}  // namespace assetgen::parts
