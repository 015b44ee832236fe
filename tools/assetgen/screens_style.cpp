#include "tools/assetgen/screens_style.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace assetgen::screens {

void Fill(cairo_t* cr, uint32_t rgb) {
    art::SetColour(cr, rgb);
    cairo_paint(cr);
}

void GlowPath(cairo_t* cr, uint32_t rgb, double radius, double strength) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Many faint strokes, widest first: where they overlap near the path the halo is
    // brightest, and it fades smoothly outward.
    const int steps = 10;
    for (int i = steps; i >= 1; --i) {
        const double t = double(i) / steps;
        art::SetColour(cr, rgb, strength / steps * (1.4 - t));
        cairo_set_line_width(cr, 2 * radius * t);
        cairo_stroke_preserve(cr);
    }
    cairo_restore(cr);
}

void LightPool(cairo_t* cr, double cx, double cy, double rx, double ry, uint32_t rgb,
               double alpha) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    const double r = ((rgb >> 16) & 0xFF) / 255.0, g = ((rgb >> 8) & 0xFF) / 255.0,
                 b = (rgb & 0xFF) / 255.0;
    // A smooth bell rather than a linear cone, so the pool has no visible rim.
    for (int i = 0; i <= 8; ++i) {
        const double t = i / 8.0;
        cairo_pattern_add_color_stop_rgba(p, t, r, g, b, alpha * std::exp(-4.0 * t * t));
    }
    cairo_pattern_add_color_stop_rgba(p, 1, r, g, b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void TextPath(cairo_t* cr, double x, double y, const std::string& text, art::TAlign align) {
    const double w = art::TextWidth(cr, text);
    if (align == art::TAlign::Centre) x -= w / 2;
    if (align == art::TAlign::Right) x -= w;
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
}

double SpacedWidth(cairo_t* cr, const std::string& text, double spacing) {
    double w = 0;
    for (char ch : text) w += art::TextWidth(cr, std::string(1, ch)) + spacing;
    return text.empty() ? 0 : w - spacing;
}

void SpacedText(cairo_t* cr, double x, double y, const std::string& text, double spacing,
                uint32_t rgb, art::TAlign align) {
    const double w = SpacedWidth(cr, text, spacing);
    if (align == art::TAlign::Centre) x -= w / 2;
    if (align == art::TAlign::Right) x -= w;
    for (char ch : text) {
        const std::string one(1, ch);
        art::Text(cr, x, y, one, rgb);
        x += art::TextWidth(cr, one) + spacing;
    }
}

void TitleText(cairo_t* cr, double x, double y, const std::string& text, art::TAlign align,
               const TTitleStyle& style) {
    cairo_save(cr);
    cairo_new_path(cr);
    TextPath(cr, x, y, text, align);
    if (style.glowStrength > 0) GlowPath(cr, style.glow, style.glowRadius, style.glowStrength);
    // A drop shadow below and to the right gives the letters weight on any backdrop.
    cairo_save(cr);
    cairo_translate(cr, 0, style.outlineWidth * 0.9);
    art::SetColour(cr, 0x000000, 0.55);
    cairo_set_line_width(cr, style.outlineWidth * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_restore(cr);
    art::SetColour(cr, style.outline);
    cairo_set_line_width(cr, style.outlineWidth * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    // The gradient spans the capitals, from the cap line to the baseline.
    const double capTop = y - fe.ascent * 0.78;
    cairo_pattern_t* p = cairo_pattern_create_linear(0, capTop, 0, y);
    const auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0,
                                         ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    };
    stop(0, style.top);
    stop(0.48, art::Mix(style.top, style.bottom, 0.35));
    stop(0.52, art::Mix(style.top, style.bottom, 0.7));
    stop(1, style.bottom);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    // A hairline of light along the letters' edges.
    art::SetColour(cr, 0xFFFFFF, 0.35);
    cairo_set_line_width(cr, std::max(0.6, style.outlineWidth * 0.3));
    cairo_stroke(cr);
    cairo_restore(cr);
}

std::vector<std::string> Wrap(cairo_t* cr, const std::string& text, double width) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && art::TextWidth(cr, longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

double Paragraph(cairo_t* cr, double x, double y, double width, double lineHeight,
                 const std::string& text, uint32_t rgb, art::TAlign align) {
    for (const std::string& line : Wrap(cr, text, width)) {
        art::Text(cr, x, y, line, rgb, align);
        y += lineHeight;
    }
    return y;
}

void ArrowHead(cairo_t* cr, double x, double y, double angle, double length, double width) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double bx = x - c * length, by = y - s * length;
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, bx - s * width / 2, by + c * width / 2);
    // A slight notch at the back makes the head read as an arrow, not a triangle.
    cairo_line_to(cr, x - c * length * 0.78, y - s * length * 0.78);
    cairo_line_to(cr, bx + s * width / 2, by - c * width / 2);
    cairo_close_path(cr);
}

void ArcArrow(cairo_t* cr, double cx, double cy, double r, double a0, double a1, double width,
              uint32_t rgb, double outlineWidth, uint32_t outline) {
    const double headLength = width * 2.6, headWidth = width * 2.7;
    const double dir = a1 > a0 ? 1 : -1;
    // The shaft stops inside the head so the tip stays sharp.
    const double shaftEnd = a1 - dir * (headLength * 0.7) / r;
    const double tipX = cx + r * std::cos(a1), tipY = cy + r * std::sin(a1);
    // The head points along the chord over its own length, which follows the bend.
    const double back = a1 - dir * headLength / r;
    const double angle =
        std::atan2(tipY - (cy + r * std::sin(back)), tipX - (cx + r * std::cos(back)));
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = outlineWidth > 0 ? 0 : 1; pass < 2; ++pass) {
        const double extra = pass == 0 ? 2 * outlineWidth : 0;
        art::SetColour(cr, pass == 0 ? outline : rgb);
        cairo_new_path(cr);
        if (dir > 0)
            cairo_arc(cr, cx, cy, r, a0, shaftEnd);
        else
            cairo_arc_negative(cr, cx, cy, r, a0, shaftEnd);
        cairo_set_line_width(cr, width + extra);
        cairo_stroke(cr);
        ArrowHead(cr, tipX, tipY, angle, headLength, headWidth);
        if (extra > 0) {
            cairo_set_line_width(cr, extra);
            cairo_stroke_preserve(cr);
        }
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void StraightArrow(cairo_t* cr, double x0, double y0, double x1, double y1, double width,
                   uint32_t rgb) {
    const double angle = std::atan2(y1 - y0, x1 - x0);
    const double headLength = width * 2.6;
    cairo_save(cr);
    art::SetColour(cr, rgb);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1 - std::cos(angle) * headLength * 0.7,
                  y1 - std::sin(angle) * headLength * 0.7);
    cairo_stroke(cr);
    ArrowHead(cr, x1, y1, angle, headLength, width * 2.7);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Diamond(cairo_t* cr, double cx, double cy, double r, uint32_t rgb) {
    cairo_move_to(cr, cx, cy - r);
    cairo_line_to(cr, cx + r, cy);
    cairo_line_to(cr, cx, cy + r);
    cairo_line_to(cr, cx - r, cy);
    cairo_close_path(cr);
    art::SetColour(cr, rgb);
    cairo_fill(cr);
}

void Rivet(cairo_t* cr, double cx, double cy, double r, uint32_t metal, double light) {
    art::Ellipse(cr, cx - light * r * 0.7, cy + r * 0.35, r * 1.05, r * 1.05);
    art::SetColour(cr, 0x000000, 0.5);
    cairo_fill(cr);
    cairo_pattern_t* p =
        cairo_pattern_create_radial(cx + light * r, cy - r * 0.4, r * 0.1, cx, cy, r);
    const auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0,
                                         ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    };
    stop(0, art::Lighter(metal, 0.6));
    stop(0.5, metal);
    stop(1, art::Darker(metal, 0.55));
    art::Ellipse(cr, cx, cy, r, r);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Grain(art::TCanvas& c, double amount, uint32_t seed) {
    Shade(c, [&](int x, int y) { return 1.0 + amount * (2 * art::Noise(x, y, seed) - 1); });
}

}  // namespace assetgen::screens
