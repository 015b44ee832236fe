#include "tools/assetgen/sprite_parts.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/art.h"

namespace assetgen::parts {

namespace {

void AddStop(cairo_pattern_t* p, double at, uint32_t c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, at, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                      (c & 0xFF) / 255.0, alpha);
}

}  // namespace

void Polygon(cairo_t* cr, std::initializer_list<TPoint> points) {
    bool first = true;
    for (const TPoint& p : points) {
        if (first)
            cairo_move_to(cr, p.first, p.second);
        else
            cairo_line_to(cr, p.first, p.second);
        first = false;
    }
    cairo_close_path(cr);
}

void Outline(cairo_t* cr, double width, uint32_t colour, bool keep) {
    art::SetColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (keep)
        cairo_stroke_preserve(cr);
    else
        cairo_stroke(cr);
}

void ShadedFill(cairo_t* cr, uint32_t base, double cx, double cy, double r, double outline,
                double strength) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 0.4 * r, cy - 0.45 * r, 0, cx - 0.15 * r,
                                                     cy - 0.15 * r, 1.25 * r);
    AddStop(p, 0, art::Lighter(base, 0.38 * strength));
    AddStop(p, 0.45, base);
    AddStop(p, 1, art::Darker(base, 0.38 * strength));
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    cairo_fill_preserve(cr);
    if (outline > 0)
        Outline(cr, outline);
    else
        cairo_new_path(cr);
}

void RampFill(cairo_t* cr, uint32_t base, double y0, double y1, double light, double dark) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    AddStop(p, 0, art::Lighter(base, light));
    AddStop(p, 0.5, base);
    AddStop(p, 1, art::Darker(base, dark));
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    cairo_fill_preserve(cr);
}

void GroundShadow(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    AddStop(p, 0, 0x000000, alpha);
    AddStop(p, 0.6, 0x000000, alpha * 0.8);
    AddStop(p, 1, 0x000000, 0);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Glow(cairo_t* cr, double cx, double cy, double r, uint32_t rgb, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    AddStop(p, 0, rgb, alpha);
    AddStop(p, 0.45, rgb, alpha * 0.45);
    AddStop(p, 1, rgb, 0);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
}

void Shine(cairo_t* cr, double cx, double cy, double r, double alpha) {
    art::SetColour(cr, 0xFFFFFF, alpha);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
}

void GearPath(cairo_t* cr, double cx, double cy, double outer, double inner, int teeth, double hole,
              double phase) {
    // Each tooth is a flat-topped bump: four corners per tooth, the top ones a little narrower.
    const double step = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const double a = phase + i * step;
        const double corners[4][2] = {{a, inner},
                                      {a + step * 0.12, outer},
                                      {a + step * 0.43, outer},
                                      {a + step * 0.55, inner}};
        for (const auto& k : corners) {
            const double x = cx + k[1] * std::cos(k[0]), y = cy + k[1] * std::sin(k[0]);
            if (i == 0 && &k == &corners[0])
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        cairo_arc(cr, cx, cy, inner, a + step * 0.55, a + step);
    }
    cairo_close_path(cr);
    if (hole > 0) {
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, cx, cy, hole, 2 * M_PI, 0);
        cairo_close_path(cr);
    }
}

double TilingNoise(double x, double y, int cell, int period, uint32_t seed) {
    const int cells = std::max(1, period / cell);
    const double gx = x / cell, gy = y / cell;
    const int ix = int(std::floor(gx)), iy = int(std::floor(gy));
    const double fx = gx - ix, fy = gy - iy;
    const auto wrap = [cells](int i) { return ((i % cells) + cells) % cells; };
    const auto at = [&](int i, int j) { return art::Noise(wrap(i), wrap(j), seed); };
    const auto ease = [](double t) { return t * t * (3 - 2 * t); };
    const double sx = ease(fx), sy = ease(fy);
    const double top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
    const double bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

}  // namespace assetgen::parts
