// The ground and what stands on it: the sand tile, the base's metal floor, the creatures'
// tunnel mouths, trees, rocks and the ruin, and the explosion that ends creatures and the orb.
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "tools/assetgen/art.h"
#include "tools/assetgen/sprite_art.h"
#include "tools/assetgen/sprite_parts.h"

namespace assetgen {

using namespace parts;

namespace {

constexpr double kMid = kTileSize / 2.0;
constexpr uint32_t kSand = 0xD3BE95;

void FillColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0) {
    art::SetColour(cr, rgb, alpha);
    cairo_fill(cr);
}

// Shades a colour by t: lighter for t > 0, darker for t < 0.
uint32_t Shade(uint32_t rgb, double t) {
    return t >= 0 ? art::Lighter(rgb, t) : art::Darker(rgb, -t);
}

}  // namespace

void DrawTile(cairo_t* cr) {
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    // Sand: soft blotches that repeat with the tile (so neighbours join without a seam) and a
    // fine grain, both kept low so the creatures stand out.
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x) {
            const double blotch = 0.6 * TilingNoise(x + 0.5, y + 0.5, 7, kTileSize, 11) +
                                  0.4 * TilingNoise(x + 0.5, y + 0.5, 5, kTileSize, 12);
            const double grain = art::Noise(x, y, 13);
            const double t = (blotch - 0.5) * 0.13 + (grain - 0.5) * 0.05;
            cairo_rectangle(cr, x, y, 1, 1);
            FillColour(cr, Shade(kSand, t));
        }
    cairo_restore(cr);
    // A few pebbles and darker specks, away from the edges so none is cut in half.
    cairo_save(cr);
    art::TRng rng(2024);
    for (int i = 0; i < 3; ++i) {
        const double x = rng.Uniform(5, 30), y = rng.Uniform(5, 30);
        const double rx = rng.Uniform(0.9, 1.5), ry = rx * 0.7;
        art::Ellipse(cr, x + 0.4, y + 0.5, rx, ry);
        FillColour(cr, art::Darker(kSand, 0.16), 0.6);
        art::Ellipse(cr, x, y, rx, ry);
        FillColour(cr, Shade(kSand, i == 1 ? 0.12 : -0.05));
    }
    for (int i = 0; i < 6; ++i) {
        const double x = rng.Uniform(2, 33), y = rng.Uniform(2, 33);
        cairo_rectangle(cr, std::floor(x), std::floor(y), 1, 1);
        FillColour(cr, art::Darker(kSand, 0.14), 0.8);
    }
    cairo_restore(cr);
}

void DrawBaseFloor(cairo_t* cr) {
    cairo_save(cr);
    const uint32_t metal = 0x87919D;
    cairo_rectangle(cr, 0, 0, kTileSize, kTileSize);
    FillColour(cr, metal);
    // Bevelled plate edges: lit on the top and left, shaded on the bottom and right.
    cairo_rectangle(cr, 0, 0, kTileSize, 1);
    cairo_rectangle(cr, 0, 0, 1, kTileSize);
    FillColour(cr, 0xB7C0CA);
    cairo_rectangle(cr, 0, kTileSize - 1, kTileSize, 1);
    cairo_rectangle(cr, kTileSize - 1, 0, 1, kTileSize);
    FillColour(cr, 0x555E69);
    // A raised inner panel of tread plate: short slanted ribs in alternating directions.
    art::RoundedRect(cr, 4.5, 4.5, 26, 26, 2);
    FillColour(cr, 0x7D8793);
    art::RoundedRect(cr, 4.5, 4.5, 26, 26, 2);
    Outline(cr, 1.0, 0x5E6874);
    cairo_move_to(cr, 5.5, 30.5);
    cairo_line_to(cr, 5.5, 5.5);
    cairo_line_to(cr, 30.5, 5.5);
    Outline(cr, 0.8, 0x9CA6B1);
    cairo_save(cr);
    art::RoundedRect(cr, 6, 6, 23, 23, 1.5);
    cairo_clip(cr);
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i) {
            const double x = 8.2 + i * 4.6, y = 8.2 + j * 4.6;
            const double d = ((i + j) % 2) ? 1.3 : -1.3;
            cairo_move_to(cr, x - 1.3 + 0.5, y + d + 0.5);
            cairo_line_to(cr, x + 1.3 + 0.5, y - d + 0.5);
            Outline(cr, 1.2, 0x646E7A);
            cairo_move_to(cr, x - 1.3, y + d);
            cairo_line_to(cr, x + 1.3, y - d);
            Outline(cr, 1.1, 0xA9B2BD);
        }
    cairo_restore(cr);
    for (double x : {2.6, 32.4})
        for (double y : {2.6, 32.4}) {
            cairo_arc(cr, x, y, 1.05, 0, 2 * M_PI);
            ShadedFill(cr, 0xA4ADB8, x, y, 1.05, 0.6, 1.0);
        }
    cairo_restore(cr);
}

void DrawTunnel(cairo_t* cr, int kind) {
    cairo_save(cr);
    const uint32_t stone = KindColour(kind);
    const double cx = kMid, cy = 22;
    // A mound of dug-up earth.
    art::Ellipse(cr, cx, 25.5, 16.5, 9.5);
    ShadedFill(cr, 0xA9885E, cx, 23, 15, kLine, 0.7);
    // The dark hole.
    cairo_move_to(cr, cx - 8, 31.5);
    cairo_line_to(cr, cx - 8, cy);
    cairo_arc(cr, cx, cy, 8, M_PI, 2 * M_PI);
    cairo_line_to(cr, cx + 8, 31.5);
    cairo_curve_to(cr, cx + 4, 33, cx - 4, 33, cx - 8, 31.5);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, 27, 1, cx, 25, 11);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.03, 0.02, 0.03);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.19, 0.13, 0.15);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    cairo_fill_preserve(cr);
    Outline(cr);

    // An arch of stones in the kind's colour: five wedges over the top, two blocks each side.
    const double inner = 8, outer = 12.2;
    for (int i = 0; i < 5; ++i) {
        const double a0 = M_PI + i * M_PI / 5 + 0.025, a1 = M_PI + (i + 1) * M_PI / 5 - 0.025;
        const double grow = i == 2 ? 1.2 : 0;  // the keystone stands out a little
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, outer + grow, a0, a1);
        cairo_arc_negative(cr, cx, cy, inner, a1, a0);
        cairo_close_path(cr);
        const double mid = (a0 + a1) / 2;
        ShadedFill(cr, stone, cx + 10 * std::cos(mid), cy + 10 * std::sin(mid), 4, kLine, 1.2);
    }
    for (double side : {-1.0, 1.0})
        for (int j = 0; j < 2; ++j) {
            const double x = side < 0 ? cx - outer : cx + inner;
            art::RoundedRect(cr, x, cy + 0.4 + j * 4.7, outer - inner, 4.3, 0.8);
            ShadedFill(cr, stone, x + 2, cy + 2.5 + j * 4.7, 3, kLine, 1.2);
        }
    // The keystone carries the kind's sign: a leaf, a spike or a pair of horns.
    const double kx = cx, ky = cy - 10.6;
    const uint32_t mark = kind == kF ? 0x1E6B45 : kind == kS ? 0xFFFFFF : 0xEFE3C6;
    if (kind == kF) {
        cairo_move_to(cr, kx - 2.2, ky + 1.4);
        cairo_curve_to(cr, kx - 1.5, ky - 1.8, kx + 1.5, ky - 2, kx + 2.4, ky - 1.6);
        cairo_curve_to(cr, kx + 2, ky + 0.8, kx - 0.5, ky + 1.8, kx - 2.2, ky + 1.4);
        FillColour(cr, mark);
    } else if (kind == kS) {
        Polygon(cr, {{kx, ky - 2.2}, {kx + 2.1, ky + 1.6}, {kx - 2.1, ky + 1.6}});
        FillColour(cr, mark);
    } else {
        for (double d : {-1.0, 1.0}) {
            cairo_move_to(cr, kx + d * 0.6, ky + 1.5);
            cairo_curve_to(cr, kx + d * 2.2, ky + 1, kx + d * 2.6, ky - 0.5, kx + d * 2.2, ky - 2);
            Outline(cr, 1.2, mark);
        }
    }
    cairo_restore(cr);
}

void DrawTree(cairo_t* cr, int variant) {
    cairo_save(cr);
    const uint32_t bark = 0x7A4E2C;
    if (variant == 0) {
        // A round leafy tree: a trunk under a cloud of leaf clumps, with a few red fruit.
        GroundShadow(cr, kMid + 2, 30.5, 12, 3.3);
        Polygon(cr, {{14.2, 31}, {15.8, 27.5}, {16, 19}, {19, 19}, {19.2, 27.5}, {21, 31}});
        ShadedFill(cr, bark, kMid, 25, 5);
        struct TClump {
            double x, y, r;
        };
        static const TClump clumps[] = {{kMid, 18.5, 7.2}, {10.5, 16, 6.6}, {24.5, 16, 6.6},
                                        {kMid, 12.5, 8.8}, {12.5, 8.5, 6},  {22.5, 8.5, 6}};
        const uint32_t leaves = 0x4F9A3C;
        for (const TClump& c : clumps) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, c.x, c.y, c.r, 0, 2 * M_PI);
        }
        Outline(cr, 3.0);
        for (const TClump& c : clumps) {
            cairo_arc(cr, c.x, c.y, c.r, 0, 2 * M_PI);
            FillColour(cr, art::Darker(leaves, 0.28));
            cairo_arc(cr, c.x - 0.7, c.y - 0.8, c.r * 0.84, 0, 2 * M_PI);
            FillColour(cr, leaves);
            cairo_arc(cr, c.x - c.r * 0.3, c.y - c.r * 0.32, c.r * 0.4, 0, 2 * M_PI);
            FillColour(cr, art::Lighter(leaves, 0.22));
        }
        for (const auto& [x, y] : {TPoint{12, 17}, TPoint{23.5, 13}, TPoint{18.5, 20.5}}) {
            cairo_arc(cr, x, y, 1.3, 0, 2 * M_PI);
            ShadedFill(cr, 0xE5483A, x, y, 1.3, 0.7);
        }
    } else {
        // A pine: three drooping tiers of dark needles on a short trunk.
        GroundShadow(cr, kMid + 2, 31, 10, 3);
        cairo_rectangle(cr, 15.8, 25, 3.4, 6.5);
        ShadedFill(cr, bark, kMid, 28, 3);
        const uint32_t needles = 0x2F7548;
        struct TTier {
            double top, bottom, half;
        };
        static const TTier tiers[] = {{11, 27.5, 12.5}, {6.5, 20.5, 10}, {2.2, 13.5, 7.2}};
        for (const TTier& t : tiers) {
            const auto tier = [&]() {
                cairo_move_to(cr, kMid, t.top);
                cairo_curve_to(cr, kMid + t.half * 0.3, t.top + 4, kMid + t.half * 0.7,
                               t.bottom - 3, kMid + t.half, t.bottom);
                cairo_curve_to(cr, kMid + t.half * 0.4, t.bottom + 1.2, kMid + 0.2 * t.half,
                               t.bottom - 1.6, kMid, t.bottom + 0.6);
                cairo_curve_to(cr, kMid - 0.2 * t.half, t.bottom - 1.6, kMid - t.half * 0.4,
                               t.bottom + 1.2, kMid - t.half, t.bottom);
                cairo_curve_to(cr, kMid - t.half * 0.7, t.bottom - 3, kMid - t.half * 0.3,
                               t.top + 4, kMid, t.top);
                cairo_close_path(cr);
            };
            tier();
            ShadedFill(cr, needles, kMid - 2, (t.top + t.bottom) / 2, t.half, 0, 0.8);
            // The lit left flank.
            cairo_save(cr);
            tier();
            cairo_clip(cr);
            Polygon(cr, {{kMid, t.top}, {kMid - 1.5, t.bottom}, {kMid - t.half - 1, t.bottom}});
            FillColour(cr, art::Lighter(needles, 0.25), 0.55);
            cairo_restore(cr);
            tier();
            Outline(cr);
        }
    }
    cairo_restore(cr);
}

namespace {

// A stone: its outline polygon filled and lit from the top left, with a paler top face.
void Stone(cairo_t* cr, std::initializer_list<TPoint> outline, std::initializer_list<TPoint> top,
           uint32_t colour, double cx, double cy, double r) {
    Polygon(cr, outline);
    ShadedFill(cr, colour, cx, cy, r, 0, 0.8);
    cairo_save(cr);
    Polygon(cr, outline);
    cairo_clip(cr);
    Polygon(cr, top);
    FillColour(cr, art::Lighter(colour, 0.22));
    Polygon(cr, top);
    Outline(cr, 0.8, art::Darker(colour, 0.25));
    cairo_restore(cr);
    Polygon(cr, outline);
    Outline(cr);
}

}  // namespace

void DrawRock(cairo_t* cr, int variant) {
    cairo_save(cr);
    if (variant == 0) {
        // One big grey boulder with a crack and a patch of lichen.
        const uint32_t grey = 0x9298A2;
        GroundShadow(cr, kMid + 2, 29, 15, 3.6);
        const std::initializer_list<TPoint> boulder = {{4, 27},      {5, 18},    {10, 10},
                                                       {19.5, 6.5},  {27.5, 10}, {31, 18.5},
                                                       {29.5, 26.5}, {21, 30.5}, {10, 30}};
        Stone(cr, boulder, {{10, 10}, {19.5, 6.5}, {27.5, 10}, {24.5, 15.5}, {13, 16.5}}, grey, 16,
              17, 15);
        // The shaded right face.
        cairo_save(cr);
        Polygon(cr, {{27.5, 10}, {31, 18.5}, {29.5, 26.5}, {23, 24}, {24.5, 15.5}});
        FillColour(cr, art::Darker(grey, 0.2), 0.8);
        cairo_restore(cr);
        cairo_move_to(cr, 24.5, 15.5);
        cairo_line_to(cr, 23, 24);
        cairo_line_to(cr, 21, 30.5);
        Outline(cr, 0.8, art::Darker(grey, 0.35));
        cairo_move_to(cr, 12, 19.5);
        cairo_line_to(cr, 14.5, 22.5);
        cairo_line_to(cr, 13.5, 26);
        Outline(cr, 0.9, art::Darker(grey, 0.5));
        for (const auto& [x, y, r] :
             {std::array<double, 3>{8, 24, 1.4}, std::array<double, 3>{9.8, 25.6, 1.0},
              std::array<double, 3>{16.5, 11, 1.1}}) {
            cairo_arc(cr, x, y, r, 0, 2 * M_PI);
            FillColour(cr, 0x9DB04A, 0.9);
        }
        Polygon(cr, boulder);
        Outline(cr);
    } else {
        // A cluster of three red sandstone rocks.
        const uint32_t red = 0xA8623E;
        GroundShadow(cr, kMid + 2, 28.5, 15, 3.6);
        Stone(cr, {{5, 22}, {6.5, 12}, {12, 7}, {19, 8.5}, {21, 16}, {19, 23}, {9, 24.5}},
              {{6.5, 12}, {12, 7}, {19, 8.5}, {16, 13}, {9, 14}}, red, 13, 15, 10);
        Stone(cr, {{17, 28.5}, {17.5, 20}, {23, 15}, {29.5, 17}, {31.5, 24}, {28, 29.5}},
              {{17.5, 20}, {23, 15}, {29.5, 17}, {26.5, 20.5}, {20.5, 22}}, art::Darker(red, 0.08),
              24, 22, 8);
        Stone(cr, {{5.5, 29}, {6.5, 24.5}, {10.5, 22.5}, {15, 24}, {15.5, 28.5}, {11, 30.5}},
              {{6.5, 24.5}, {10.5, 22.5}, {15, 24}, {12, 26}}, art::Lighter(red, 0.06), 10.5, 26.5,
              5);
    }
    cairo_restore(cr);
}

void DrawRuin(cairo_t* cr) {
    cairo_save(cr);
    const uint32_t stone = 0xBDB5A6, mortar = art::Darker(stone, 0.38);
    GroundShadow(cr, kMid + 2, 29.5, 15, 3.4);
    // A broken wall: tall at the left, crumbling down to the right.
    const auto wall = [cr]() {
        Polygon(cr, {{5, 29.5},
                     {5, 6},
                     {7.5, 4.5},
                     {9.5, 6.5},
                     {12, 4.8},
                     {13.8, 8.2},
                     {16.5, 10.8},
                     {19, 10.2},
                     {20.8, 14.6},
                     {24.5, 14.2},
                     {26, 18},
                     {28, 19.2},
                     {28, 29.5}});
    };
    wall();
    RampFill(cr, stone, 4, 30, 0.2, 0.3);
    cairo_new_path(cr);
    cairo_save(cr);
    wall();
    cairo_clip(cr);
    // Courses of blocks: mortar lines with the joints staggered, and a lit top edge per course.
    for (int row = 0; row < 6; ++row) {
        const double y = 29.5 - (row + 1) * 4.6;
        cairo_move_to(cr, 4, y);
        cairo_line_to(cr, 29, y);
        Outline(cr, 0.9, mortar);
        cairo_move_to(cr, 4, y + 1.1);
        cairo_line_to(cr, 29, y + 1.1);
        Outline(cr, 0.7, art::Lighter(stone, 0.35));
        for (double x = (row % 2) ? 9.5 : 5 + 7.5; x < 28; x += 7.5) {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x, y + 4.6);
            Outline(cr, 0.9, mortar);
        }
    }
    // Shade the right end where the wall turns away from the light.
    cairo_rectangle(cr, 25, 0, 4, 30);
    FillColour(cr, 0x000000, 0.12);
    cairo_restore(cr);
    wall();
    Outline(cr);
    // Moss at the foot and a fallen block with rubble.
    for (const auto& [x, y, rx] :
         {std::array<double, 3>{7, 28.5, 2.4}, std::array<double, 3>{11, 29, 1.8},
          std::array<double, 3>{8.5, 6.2, 1.5}}) {
        art::Ellipse(cr, x, y, rx, rx * 0.55);
        FillColour(cr, 0x6E9A3A, 0.9);
    }
    cairo_save(cr);
    cairo_translate(cr, 27.5, 27.5);
    cairo_rotate(cr, 0.3);
    art::RoundedRect(cr, -4.5, -2.8, 8.5, 5.2, 0.8);
    ShadedFill(cr, stone, 0, 0, 4.5);
    cairo_restore(cr);
    for (const auto& [x, y] : {TPoint{20.5, 30}, TPoint{23, 31}, TPoint{31.5, 30.5}}) {
        art::Ellipse(cr, x, y, 1.4, 1);
        ShadedFill(cr, stone, x, y, 1.4, 0.8);
    }
    cairo_restore(cr);
}

void DrawExplosion(cairo_t* cr, int frame) {
    // How each frame mixes a white core, a star flash, the fireball, smoke and flying sparks.
    struct TStage {
        double core, rays, fire, fireAlpha, smoke, smokeAlpha, sparks;
        uint32_t smokeColour;
    };
    static const TStage stages[] = {
        {4.5, 10, 6.5, 0.95, 0, 0, 0, 0x000000}, {5.5, 13, 10, 1, 0, 0, 13, 0x000000},
        {4, 0, 12.5, 1, 9, 0.5, 15.8, 0x4E464C}, {2, 0, 11.5, 0.9, 13.5, 0.75, 16.8, 0x5A5258},
        {0, 0, 8, 0.7, 15, 0.7, 0, 0x6E676C},    {0, 0, 4, 0.45, 16, 0.5, 0, 0x8A8488},
        {0, 0, 0, 0, 16.8, 0.28, 0, 0xA6A1A4}};
    const TStage& st = stages[std::clamp(frame, 0, 6)];
    cairo_save(cr);
    const double cx = kMid, cy = kMid;
    // A lumpy ball: a round middle ringed with eight lobes, the same lobes every frame so that
    // it grows rather than jumps. Each lobe gets a lit cap on its top-left side.
    struct TLobe {
        double x, y, r;
    };
    const auto lobes = [&](double radius, double turn) {
        std::array<TLobe, 9> out{};
        out[0] = {cx, cy, radius * 0.6};
        art::TRng rng(77);
        for (size_t k = 1; k < out.size(); ++k) {
            const double a = turn + double(k) * 2 * M_PI / 8 + rng.Uniform(-0.2, 0.2);
            const double d = radius * rng.Uniform(0.5, 0.58);
            out[k] = {cx + d * std::cos(a), cy + d * std::sin(a) * 0.92,
                      radius * rng.Uniform(0.36, 0.44)};
        }
        return out;
    };
    const auto ball = [&](double radius, double turn, uint32_t rim, uint32_t inner, uint32_t outer,
                          uint32_t cap, double alpha) {
        const auto all = lobes(radius, turn);
        cairo_push_group(cr);
        for (const TLobe& l : all) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, l.x, l.y, l.r, 0, 2 * M_PI);
        }
        Outline(cr, 2.0, rim, true);
        cairo_pattern_t* p = cairo_pattern_create_radial(cx - radius * 0.25, cy - radius * 0.3, 0,
                                                         cx, cy, radius * 1.05);
        cairo_pattern_add_color_stop_rgb(p, 0, ((inner >> 16) & 0xFF) / 255.0,
                                         ((inner >> 8) & 0xFF) / 255.0, (inner & 0xFF) / 255.0);
        cairo_pattern_add_color_stop_rgb(p, 1, ((outer >> 16) & 0xFF) / 255.0,
                                         ((outer >> 8) & 0xFF) / 255.0, (outer & 0xFF) / 255.0);
        cairo_set_source(cr, p);
        cairo_pattern_destroy(p);
        cairo_fill(cr);
        for (size_t k = 1; k < all.size(); ++k) {
            const TLobe& l = all[k];
            const double lit = (-(l.x - cx) * 0.6 - (l.y - cy) * 0.8) / radius;
            if (lit < -0.15) continue;
            cairo_arc(cr, l.x - l.r * 0.22, l.y - l.r * 0.25, l.r * 0.55, 0, 2 * M_PI);
            art::SetColour(cr, cap, 0.55);
            cairo_fill(cr);
        }
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha);
    };
    if (st.smoke > 0)
        ball(st.smoke, 0.35 + frame * 0.12, art::Darker(st.smokeColour, 0.4),
             art::Lighter(st.smokeColour, 0.25), st.smokeColour, art::Lighter(st.smokeColour, 0.3),
             st.smokeAlpha);
    if (st.fire > 0)
        ball(st.fire, frame * 0.2, 0x9A2A14, 0xFFE680, 0xE8481C, 0xFFD050, st.fireAlpha);
    // The flash lights the air around it in warm orange.
    if (st.rays > 0) Glow(cr, cx, cy, st.rays + 2, 0xFFA030, 0.7);
    if (st.rays > 0) {
        // A star flash with eight points, long and short in turn.
        for (int k = 0; k < 16; ++k) {
            const double a = k * M_PI / 8 + 0.2;
            const double r = (k % 2 == 0) ? st.rays : st.rays * 0.45;
            const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
            if (k == 0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        cairo_close_path(cr);
        art::SetColour(cr, 0xFFF6C8, 0.85);
        cairo_fill(cr);
    }
    if (st.core > 0) Glow(cr, cx, cy, st.core * 1.8, 0xFFFFFF, 1.0);
    if (st.sparks > 0) {
        // Embers flung clear of the fireball.
        art::TRng rng(31);
        for (int k = 0; k < 7; ++k) {
            const double a = k * 2 * M_PI / 7 + rng.Uniform(-0.3, 0.3) + 0.3;
            const double r = st.sparks * rng.Uniform(0.85, 1.0);
            const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
            Glow(cr, x, y, 2.2, 0xFFA030, 0.9);
            cairo_arc(cr, x, y, 0.8, 0, 2 * M_PI);
            FillColour(cr, 0xFFF3B0);
        }
    }
    cairo_restore(cr);
}

}  // namespace assetgen
