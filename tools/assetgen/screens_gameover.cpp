// The game-over screen: an iron frame with glowing red trim around a black window, through
// which the end text scrolls up and comes to rest.
//
// The frame is drawn whole, 700 × 700 around the window at (50, 101)-(650, 600), and cut into
// its bands: the top, the bottom and the left post. The window shows the left post's picture on
// the right too, so each post is drawn symmetric about its own middle line, identically on both
// sides, and nothing of the beams reaches into the posts below the top band or above the bottom
// band.
#include <cmath>
#include <string>

#include "tools/assetgen/screens_style.h"
#include "tools/assetgen/sprite_art.h"

namespace assetgen::screens {

namespace {

constexpr double kSize = 700;
constexpr double kPost = 50;                         // width of the side posts
constexpr double kOpenTop = 101, kOpenBottom = 600;  // the window between the beams
constexpr double kTrim = 3.5;                        // glowing trim, this far in from an edge

// A line of glowing red trim along the current path.
void Trim(cairo_t* cr) {
    GlowPath(cr, kEmber, 7, 0.75);
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    art::SetColour(cr, 0xFF5A3C);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke_preserve(cr);
    art::SetColour(cr, 0xFFD2BE);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Brushed iron: streaks along the post or beam, a shade of red-black.
double Brushed(double along, double across, uint32_t seed) {
    const double streak = art::SmoothNoise(along, across * 9, 60, seed);
    const double blotch = art::SmoothNoise(along, across, 37, seed + 7);
    return 1.0 + 0.16 * (streak - 0.5) + 0.10 * (blotch - 0.5);
}

// One side post, drawn at x0, full height. Symmetric about its middle line.
void DrawPost(cairo_t* cr, double x0) {
    const double mid = x0 + kPost / 2;
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x0 + kPost, 0);
    const auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0,
                                         ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    };
    stop(0, 0x120606);
    stop(0.2, 0x2C1412);
    stop(0.5, 0x3A1C18);
    stop(0.8, 0x2C1412);
    stop(1, 0x120606);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x0, 0, kPost, kSize);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // A sunken channel down the middle with rivets along it.
    cairo_rectangle(cr, mid - 6, 0, 12, kSize);
    art::SetColour(cr, 0x000000, 0.35);
    cairo_fill(cr);
    for (double side : {-1.0, 1.0}) {
        cairo_rectangle(cr, mid + side * 6 - (side < 0 ? 0 : 1), 0, 1, kSize);
        art::SetColour(cr, 0xFFB0A0, 0.10);
        cairo_fill(cr);
    }
    for (double y = 30; y < kSize; y += 64) {
        // Keep rivets clear of the cuts between the bands.
        if (std::abs(y - kOpenTop) < 12 || std::abs(y - kOpenBottom) < 12) continue;
        Rivet(cr, mid, y, 3.8, 0x6A4A44, 0);  // lit from straight above: symmetric
    }
    for (double side : {-1.0, 1.0}) {
        const double x = mid + side * (kPost / 2 - kTrim);
        cairo_move_to(cr, x, -10);
        cairo_line_to(cr, x, kSize + 10);
        Trim(cr);
        // Dark edge outside the trim.
        cairo_rectangle(cr, side < 0 ? x0 : x0 + kPost - 1.5, 0, 1.5, kSize);
        art::SetColour(cr, 0x000000, 0.6);
        cairo_fill(cr);
    }
}

// A nameplate on a beam with glowing lettering.
void Nameplate(cairo_t* cr, double cx, double cy, double w, double h, const std::string& text,
               art::TFont font, double size, uint32_t top, uint32_t bottom) {
    art::RoundedRect(cr, cx - w / 2 + 1, cy - h / 2 + 2, w, h, 8);
    art::SetColour(cr, 0x000000, 0.55);
    cairo_fill(cr);
    art::RoundedRect(cr, cx - w / 2, cy - h / 2, w, h, 8);
    art::VerticalGradient(cr, cy - h / 2, cy + h / 2, 0x0C0405, 0x1E0B0A);
    cairo_fill_preserve(cr);
    art::SetColour(cr, 0x6E2A22);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    art::RoundedRect(cr, cx - w / 2 + 3.5, cy - h / 2 + 3.5, w - 7, h - 7, 5.5);
    art::SetColour(cr, kEmber, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (double sx : {-1.0, 1.0}) Rivet(cr, cx + sx * (w / 2 - 9), cy, 2.8, 0x6A4A44);
    art::UseFont(cr, font, size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    // Centre the capitals vertically on the plate.
    const double baseline = cy + fe.ascent * 0.36;
    TitleText(cr, cx, baseline, text, art::TAlign::Centre,
              {top, bottom, 0x1A0000, 1.2, kEmber, 12, 0.55});
}

// A horizontal beam between the posts, y0 to y0 + h, its window edge at the bottom (`top`
// beam) or the top.
void DrawBeam(cairo_t* cr, double y0, double h, bool top) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, y0, kSize, h);
    cairo_clip(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y0 + h);
    const auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0,
                                         ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    };
    stop(0, 0x140707);
    stop(0.18, 0x331815);
    stop(0.55, 0x2A1411);
    stop(0.85, 0x1E0D0C);
    stop(1, 0x0E0505);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, kPost, y0, kSize - 2 * kPost, h);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // The posts cast a little shadow on the beam.
    for (double side : {0.0, 1.0}) {
        const double x = side == 0 ? kPost : kSize - kPost;
        cairo_pattern_t* s = cairo_pattern_create_linear(x, 0, x + (side == 0 ? 14 : -14), 0);
        cairo_pattern_add_color_stop_rgba(s, 0, 0, 0, 0, 0.55);
        cairo_pattern_add_color_stop_rgba(s, 1, 0, 0, 0, 0);
        cairo_set_source(cr, s);
        cairo_rectangle(cr, side == 0 ? x : x - 14, y0, 14, h);
        cairo_fill(cr);
        cairo_pattern_destroy(s);
    }
    // Rivets in two rows, leaving the middle free for the nameplate.
    for (double x = kPost + 26; x < kSize - kPost - 10; x += 38) {
        if (std::abs(x - kSize / 2) < 215) continue;
        for (double ry : {y0 + 17, y0 + h - 17}) Rivet(cr, x, ry, 3.0, 0x6A4A44);
    }
    // Trims along both long edges. The outer one caps the posts too; the one along the window
    // stops where the posts begin, so that its glow stays off the posts: the side bands below
    // and above must continue the posts exactly.
    const double outerEdge = top ? y0 + kTrim : y0 + h - kTrim;
    const double innerEdge = top ? y0 + h - kTrim : y0 + kTrim;
    cairo_move_to(cr, kTrim, outerEdge);
    cairo_line_to(cr, kSize - kTrim, outerEdge);
    Trim(cr);
    cairo_rectangle(cr, kPost, y0, kSize - 2 * kPost, h);
    cairo_clip(cr);
    cairo_move_to(cr, kPost - 4, innerEdge);
    cairo_line_to(cr, kSize - kPost + 4, innerEdge);
    Trim(cr);
    cairo_restore(cr);
}

// The whole frame on a 700 × 700 canvas; the window in the middle stays black.
void DrawFrame(art::TCanvas& frame) {
    cairo_t* cr = frame.cr();
    Fill(cr, 0x000000);
    DrawPost(cr, 0);
    DrawPost(cr, kSize - kPost);
    // Grain before the beams, so that both posts get the same: it follows the distance from
    // the post's middle line, which keeps each post a mirror image of itself too.
    Shade(frame, [](int x, int y) {
        if (x >= kPost && x < kSize - kPost) return 1.0;
        const int local = x < kPost ? x : x - int(kSize - kPost);
        const int fromMiddle = local < kPost / 2 ? int(kPost) - 1 - local : local;
        return Brushed(y, fromMiddle, 0x9057u) * (1 + 0.03 * (art::Noise(fromMiddle, y, 5) - 0.5));
    });
    art::TCanvas beams{int(kSize), int(kSize)};
    DrawBeam(beams.cr(), 0, kOpenTop, true);
    DrawBeam(beams.cr(), kOpenBottom, kSize - kOpenBottom, false);
    Shade(beams, [](int x, int y) {
        return Brushed(x, y, 0x6E3Au) * (1 + 0.03 * (art::Noise(x, y, 6) - 0.5));
    });
    frame.Paint(beams, 0, 0);

    Nameplate(cr, kSize / 2, kOpenTop / 2, 400, 56, "THE BASE IS OVERRUN", art::TFont::SerifBold,
              30, kEmberPale, 0xE0281E);
    Nameplate(cr, kSize / 2, kOpenBottom + (kSize - kOpenBottom) / 2, 330, 46,
              "Click to play again", art::TFont::SansBold, 21, 0xFFE2B0, 0xF08A2A);
}

}  // namespace

void DrawGameOverBands(art::TCanvas& top, art::TCanvas& side, art::TCanvas& bottom) {
    art::TCanvas frame{int(kSize), int(kSize)};
    DrawFrame(frame);
    top.Paint(frame, 0, 0);
    side.Paint(frame, 0, -kOpenTop);
    bottom.Paint(frame, 0, -kOpenBottom);
}

// ---- End text ----------------------------------------------------------------------------------

namespace {

// The fallen orb, centred on (cx, cy) with radius r: its light gone out, greyed and dark,
// with cracks running across it.
void BrokenOrb(cairo_t* cr, double cx, double cy, double r) {
    const double size = 2 * r * 35 / 28;
    art::TCanvas orb{int(std::ceil(size)) + 2, int(std::ceil(size)) + 2};
    AtSize(orb.cr(), 1, 1, size, [](cairo_t* o) { DrawOrb(o, 0); });
    // Half of the colour drains away and it darkens.
    cairo_surface_t* s = orb.Surface();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < orb.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < orb.Width(); ++x) {
            const uint32_t p = row[x];
            const double rr = (p >> 16) & 0xFF, gg = (p >> 8) & 0xFF, bb = p & 0xFF;
            const double grey = 0.3 * rr + 0.59 * gg + 0.11 * bb;
            const auto channel = [grey](double v) {
                return uint32_t((0.5 * v + 0.5 * grey) * 0.55);
            };
            row[x] = (p & 0xFF000000u) | (channel(rr) << 16) | (channel(gg) << 8) | channel(bb);
        }
    }
    cairo_surface_mark_dirty(s);
    cairo_save(cr);
    cairo_set_source_surface(cr, s, cx - size / 2 - 1, cy - size / 2 - 1);
    cairo_paint(cr);
    cairo_restore(cr);

    art::TRng rng(0x0A8Bu);
    cairo_save(cr);
    art::Ellipse(cr, cx, cy, r * 0.8, r * 0.8);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    for (int i = 0; i < 6; ++i) {
        double a = -2.4 + i * 1.05 + rng.Uniform(-0.2, 0.2);
        double x = cx + rng.Uniform(-4, 4), y = cy + rng.Uniform(-4, 4);
        cairo_move_to(cr, x, y);
        for (int k = 0; k < 5; ++k) {
            a += rng.Uniform(-0.5, 0.5);
            const double step = r * rng.Uniform(0.18, 0.3);
            x += std::cos(a) * step;
            y += std::sin(a) * step;
            cairo_line_to(cr, x, y);
        }
        art::SetColour(cr, 0x0A0610);
        cairo_set_line_width(cr, 2.2);
        cairo_stroke_preserve(cr);
        art::SetColour(cr, 0xE0C8E8, 0.35);
        cairo_set_line_width(cr, 0.7);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void Shard(cairo_t* cr, double x, double y, double size, double turn, uint32_t colour) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, turn);
    cairo_move_to(cr, -size, 0);
    cairo_line_to(cr, -size * 0.2, -size * 0.7);
    cairo_line_to(cr, size, -size * 0.1);
    cairo_line_to(cr, size * 0.3, size * 0.4);
    cairo_close_path(cr);
    art::FillAndOutline(cr, colour, 0x120818, 1);
    cairo_restore(cr);
}

}  // namespace

void DrawEndText(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.Width();
    Fill(cr, 0x000000);
    const uint32_t orbColour = SampleColour(17, 17, [](cairo_t* o) { DrawOrb(o, 0); });

    art::UseFont(cr, art::TFont::SerifBold, 64);
    TitleText(cr, w / 2, 82, "GAME OVER", art::TAlign::Centre,
              {kEmberPale, 0xC8141A, 0x1A0000, 2.4, kEmber, 20, 0.6});
    art::UseFont(cr, art::TFont::Serif, 22);
    art::Text(cr, w / 2, 122, "The orb has fallen.", 0xE8C8C0, art::TAlign::Centre);

    // The scene: the three kinds around the broken orb on the ruined base floor.
    const double sx = w / 2, sy = 214;
    {
        art::TCanvas floor(int(w), 230);
        cairo_t* f = floor.cr();
        for (int row = 0; row < 5; ++row)
            for (int col = -5; col < 5; ++col)
                AtSize(f, sx + col * 52, row * 52 - 4, 52, DrawBaseFloor);
        art::SetColour(f, 0x000000, 0.35);
        cairo_paint(f);
        // Only an oval of floor shows, fading into the dark.
        cairo_pattern_t* m = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(m, 0, 0, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(m, 0.55, 0, 0, 0, 0.8);
        cairo_pattern_add_color_stop_rgba(m, 1, 0, 0, 0, 0);
        cairo_matrix_t mat;
        cairo_matrix_init_scale(&mat, 1 / 215.0, 1 / 78.0);
        cairo_matrix_translate(&mat, -sx, -132);
        cairo_pattern_set_matrix(m, &mat);
        cairo_save(f);
        cairo_set_operator(f, CAIRO_OPERATOR_DEST_IN);
        cairo_set_source(f, m);
        cairo_paint(f);
        cairo_restore(f);
        cairo_pattern_destroy(m);
        c.Paint(floor, 0, sy - 118);
    }
    LightPool(cr, sx, sy + 8, 120, 50, 0xFF4020, 0.18);
    // Embers drifting up from the ruin.
    art::TRng rng(0xE4BE25u);
    for (int i = 0; i < 40; ++i) {
        const double x = sx + rng.Uniform(-200, 200), y = sy + rng.Uniform(-80, 60);
        const double r = rng.Uniform(0.6, 1.8);
        art::Ellipse(cr, x, y, r, r);
        art::SetColour(cr, rng.Int(0, 2) == 0 ? 0xFFD080 : kEmber, rng.Uniform(0.3, 0.8));
        cairo_fill(cr);
    }
    // The creatures come from three sides, facing the orb.
    Centred(cr, sx - 120, sy + 14, 70, [](cairo_t* o) { DrawCreature(o, kE, kRight); });
    Centred(cr, sx + 120, sy + 14, 70, [](cairo_t* o) { DrawCreature(o, kS, kLeft); });
    const double orbR = 44;
    LightPool(cr, sx, sy - 4, 70, 60, orbColour, 0.12);
    BrokenOrb(cr, sx, sy - 6, orbR);
    for (int i = 0; i < 5; ++i)
        Shard(cr, sx - 40 + i * 20 + rng.Uniform(-4, 4), sy + 44 + rng.Uniform(-3, 3),
              rng.Uniform(3, 6), rng.Uniform(0, 3), art::Mix(orbColour, 0x000000, 0.35));
    Centred(cr, sx, sy + 72, 66, [](cairo_t* o) { DrawCreature(o, kF, kUp); });

    art::UseFont(cr, art::TFont::Serif, 17);
    double y = 350;
    for (const char* line :
         {"The creatures swarm over the silent turrets,", "and for a while the tunnels fall quiet.",
          "But far below, new tunnels are already being dug..."}) {
        art::Text(cr, w / 2, y, line, 0xC9B8B4, art::TAlign::Centre);
        y += 24;
    }

    // The frame's bottom band already says how to play again; the text signs off.
    art::UseFont(cr, art::TFont::SerifBold, 20);
    const std::string click = "Thank you for playing!";
    cairo_new_path(cr);
    TextPath(cr, w / 2, 432, click, art::TAlign::Centre);
    GlowPath(cr, 0xFF8A30, 6, 0.35);
    art::SetColour(cr, 0xFFE2B0);
    cairo_fill(cr);
    const double cw = art::TextWidth(cr, click);
    for (int side = -1; side <= 1; side += 2) {
        const double inner = w / 2 + side * (cw / 2 + 12);
        cairo_pattern_t* p = cairo_pattern_create_linear(inner, 0, inner + side * 50, 0);
        cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.54, 0.19, 0.8);
        cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.54, 0.19, 0);
        cairo_set_source(cr, p);
        cairo_rectangle(cr, side < 0 ? inner - 50 : inner, 425, 50, 1.2);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
}

}  // namespace assetgen::screens
