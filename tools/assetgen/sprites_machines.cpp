// The player's machines and the base: builder bots in hazard orange and steel on treads, the
// domed turrets, the glowing orb, the direction signs and the scrap the bots collect.
#include <cmath>

#include "tools/assetgen/art.h"
#include "tools/assetgen/sprite_art.h"
#include "tools/assetgen/sprite_parts.h"

namespace assetgen {

using namespace parts;

namespace {

constexpr double kMid = kTileSize / 2.0;
constexpr uint32_t kHazard = 0xF2A81D;
constexpr uint32_t kSteel = 0xA4ADB8;
constexpr uint32_t kDarkSteel = 0x4A525C;
constexpr uint32_t kTread = 0x34383F;
constexpr uint32_t kGlass = 0x1C2C3A;
constexpr uint32_t kBotEye = 0x6FF3FF;
constexpr uint32_t kBeacon = 0xFF4E3A;
constexpr uint32_t kOrbViolet = 0xC45CFF;

// Diagonal ink stripes across the rectangle, for the bots' hazard bands.
void HazardStripes(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    art::SetColour(cr, kInk, 0.85);
    for (double sx = x - h; sx < x + w + h; sx += 4.4) {
        Polygon(cr, {{sx, y + h}, {sx + 2.2, y + h}, {sx + 2.2 + h, y}, {sx + h, y}});
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A bot's hazard-orange body: the rounded box from (x, y), w × h, lit at (lightX, lightY), with a
// striped band `bandH` tall from `bandY` down, under a seam line.
void HazardBody(cairo_t* cr, double x, double y, double w, double h, double lightX, double lightY,
                double lightR, double bandY, double bandH) {
    art::RoundedRect(cr, x, y, w, h, 3.2);
    ShadedFill(cr, kHazard, lightX, lightY, lightR, kLine, 0.9);
    HazardStripes(cr, x + 0.8, bandY, w - 1.6, bandH);
    cairo_move_to(cr, x + 0.5, bandY);
    cairo_line_to(cr, x + w - 0.5, bandY);
    Outline(cr, 0.8);
}

void FillWith(cairo_t* cr, uint32_t rgb) {
    art::SetColour(cr, rgb);
    cairo_fill(cr);
}

// A small round steel bolt head.
void Rivet(cairo_t* cr, double x, double y, double r = 1.1) {
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    ShadedFill(cr, kSteel, x, y, r, 0.6);
}

// The red beacon lamp on a short mast.
void Beacon(cairo_t* cr, double x, double top, double foot) {
    cairo_move_to(cr, x, foot);
    cairo_line_to(cr, x, top + 1);
    Outline(cr, 2.4, kInk, true);
    Outline(cr, 1.0, kSteel);
    Glow(cr, x, top, 5, kBeacon, 0.45);
    cairo_arc(cr, x, top, 2.1, 0, 2 * M_PI);
    ShadedFill(cr, kBeacon, x, top, 2.1, 1.0);
    Shine(cr, x - 0.7, top - 0.7, 0.6);
}

// A jointed arm from the shoulder to a two-fingered claw at the wrist.
void Arm(cairo_t* cr, double sx, double sy, double ex, double ey, double wx, double wy,
         double fingerDx, double fingerDy) {
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, ex, ey);
    cairo_line_to(cr, wx, wy);
    Outline(cr, 3.6, kInk, true);
    Outline(cr, 1.8, kSteel);
    // Fingers open a little either side of the arm's direction.
    const double px = -fingerDy * 0.55, py = fingerDx * 0.55;
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, wx, wy);
        cairo_line_to(cr, wx + fingerDx + px * side, wy + fingerDy + py * side);
        cairo_line_to(cr, wx + fingerDx * 1.5 + px * side * 0.3,
                      wy + fingerDy * 1.5 + py * side * 0.3);
        Outline(cr, 2.6, kInk, true);
        Outline(cr, 1.0, kDarkSteel);
    }
    cairo_arc(cr, ex, ey, 1.4, 0, 2 * M_PI);
    ShadedFill(cr, kDarkSteel, ex, ey, 1.4, 0.8);
    cairo_arc(cr, sx, sy, 1.8, 0, 2 * M_PI);
    ShadedFill(cr, kSteel, sx, sy, 1.8, 0.9);
}

// A tread block seen from the front or back: dark rubber with cleats.
void TreadFront(cairo_t* cr, double x) {
    art::RoundedRect(cr, x, 22.5, 8.5, 9, 2.2);
    ShadedFill(cr, kTread, x + 4, 26, 6, kLine, 0.8);
    for (int i = 0; i < 3; ++i) {
        const double y = 25 + i * 2.4;
        cairo_move_to(cr, x + 1.6, y);
        cairo_line_to(cr, x + 6.9, y);
        Outline(cr, 0.9, 0x6A717B);
    }
}

void DrawBuilderFrontOrBack(cairo_t* cr, bool back) {
    GroundShadow(cr, kMid + 1, 31, 13.5, 3);
    // The axle, then the treads.
    cairo_rectangle(cr, 12, 24.5, 11, 3.5);
    ShadedFill(cr, kDarkSteel, kMid, 26, 5, 1.2);
    TreadFront(cr, 5);
    TreadFront(cr, 21.5);
    Beacon(cr, kMid, 4.6, 9.5);
    // The arm reaches out from the bot's right side: on the left of the picture from the
    // front, on the right from behind.
    const double side = back ? 1 : -1;
    Arm(cr, kMid + side * 10, 14.5, kMid + side * 14.2, 18.5, kMid + side * 14.4, 22.5, 0, 2.6);

    HazardBody(cr, 7.5, 8.5, 20, 17, kMid, 16, 12, 21, 3.6);
    if (!back) {
        // The visor with two cyan eye lights.
        art::RoundedRect(cr, 10.5, 11.5, 14, 6.8, 2);
        art::SetColour(cr, kGlass);
        cairo_fill_preserve(cr);
        Outline(cr, 1.1);
        for (double x : {14.2, 20.8}) {
            Glow(cr, x, 14.9, 3.2, kBotEye, 0.5);
            art::RoundedRect(cr, x - 1.5, 13.6, 3, 2.6, 1);
            art::SetColour(cr, kBotEye);
            cairo_fill(cr);
        }
        Shine(cr, 12.2, 12.8, 0.7, 0.7);
    } else {
        // The back hatch: a vent grille and two bolts.
        art::RoundedRect(cr, 11, 11, 13, 8, 1.5);
        ShadedFill(cr, kDarkSteel, kMid, 15, 7, 1.1, 0.6);
        for (int i = 0; i < 3; ++i) {
            cairo_move_to(cr, 13, 13.2 + i * 2);
            cairo_line_to(cr, 22, 13.2 + i * 2);
            Outline(cr, 1.0, 0x22262B);
        }
        Rivet(cr, 9.8, 10.8, 0.8);
        Rivet(cr, 25.2, 10.8, 0.8);
    }
}

void DrawBuilderSide(cairo_t* cr, int s) {
    const auto X = [s](double dx) { return kMid + s * dx; };
    GroundShadow(cr, kMid + 1, 31, 14, 3);
    // The long tread with its road wheels.
    art::RoundedRect(cr, 4, 23, 27, 8.6, 4.3);
    ShadedFill(cr, kTread, kMid, 26, 12, kLine, 0.7);
    for (double dx : {-8.5, 0.0, 8.5}) {
        cairo_arc(cr, X(dx), 27.3, 2.9, 0, 2 * M_PI);
        ShadedFill(cr, 0x8A939E, X(dx), 27.3, 2.9, 0.9);
        cairo_arc(cr, X(dx), 27.3, 0.9, 0, 2 * M_PI);
        art::SetColour(cr, kDarkSteel);
        cairo_fill(cr);
    }
    Beacon(cr, X(-4.5), 4.6, 9.5);

    HazardBody(cr, 8.5, 8.5, 18, 15.5, kMid, 15, 11, 19.8, 3.4);
    // The visor wraps round the front corner, with one eye light looking ahead.
    Polygon(cr, {{X(2), 11.5}, {X(8.9), 11.5}, {X(8.9), 17.5}, {X(2.8), 17.5}});
    art::SetColour(cr, kGlass);
    cairo_fill_preserve(cr);
    Outline(cr, 1.1);
    Glow(cr, X(6.5), 14.5, 3.2, kBotEye, 0.5);
    art::RoundedRect(cr, X(6.5) - 1.4, 13.2, 2.8, 2.6, 1);
    art::SetColour(cr, kBotEye);
    cairo_fill(cr);
    Rivet(cr, X(-6.5), 11.5, 0.8);
    Rivet(cr, X(-6.5), 16.5, 0.8);
    // The arm reaches ahead with the claw pointing down and forwards.
    Arm(cr, X(3), 18, X(10.5), 17.5, X(13.6), 20.5, s * 1.4, 2.2);
}

}  // namespace

void DrawBuilder(cairo_t* cr, int facing) {
    cairo_save(cr);
    if (facing == kDown || facing == kUp)
        DrawBuilderFrontOrBack(cr, facing == kUp);
    else
        DrawBuilderSide(cr, facing == kLeft ? -1 : 1);
    cairo_restore(cr);
}

void DrawTurret(cairo_t* cr) {
    cairo_save(cr);
    GroundShadow(cr, kMid + 1, 29.5, 15, 4);
    // The armoured skirt and its top plate.
    art::RoundedRect(cr, 4, 19.5, 27, 10.5, 4);
    ShadedFill(cr, 0x59626E, kMid, 24, 13, kLine, 0.8);
    art::Ellipse(cr, kMid, 20.5, 13, 5);
    ShadedFill(cr, 0x8C96A2, kMid, 20.5, 13, kLine, 0.8);
    for (double x : {7.5, 12.5, 22.5, 27.5})
        Rivet(cr, x, 26.6 - (x == 7.5 || x == 27.5) * 0.8, 0.9);

    // The dome.
    cairo_arc(cr, kMid, 20.5, 10, M_PI, 2 * M_PI);
    cairo_curve_to(cr, kMid + 10, 23.5, kMid - 10, 23.5, kMid - 10, 20.5);
    cairo_close_path(cr);
    ShadedFill(cr, 0x9AA5B2, kMid, 16.5, 10.5, kLine, 1.0);
    // A band of hazard stripes round the foot of the dome, as on the bots.
    cairo_save(cr);
    cairo_arc(cr, kMid, 20.5, 10, M_PI, 2 * M_PI);
    cairo_curve_to(cr, kMid + 10, 23.5, kMid - 10, 23.5, kMid - 10, 20.5);
    cairo_close_path(cr);
    cairo_clip(cr);
    cairo_rectangle(cr, 7, 20, 21, 4);
    FillWith(cr, kHazard);
    HazardStripes(cr, 7, 20, 21, 4);
    cairo_restore(cr);
    cairo_move_to(cr, kMid - 9.95, 20);
    cairo_line_to(cr, kMid + 9.95, 20);
    Outline(cr, 0.8);
    // A violet sensor slit that matches the orb.
    Glow(cr, kMid, 18.2, 6, kOrbViolet, 0.5);
    art::RoundedRect(cr, 12.8, 17, 9.4, 2.6, 1.3);
    art::SetColour(cr, 0xE6A6FF);
    cairo_fill_preserve(cr);
    Outline(cr, 0.9);

    // The gun: a heavy barrel with a muzzle brake, held in an armoured block on the dome.
    art::RoundedRect(cr, 15.3, 3.5, 4.4, 9, 0.8);
    ShadedFill(cr, 0x434A53, kMid, 6, 4, kLine, 0.8);
    cairo_rectangle(cr, 16.1, 5.2, 1.0, 6.5);
    FillWith(cr, 0x8A939E);
    art::RoundedRect(cr, 14.3, 1.6, 6.4, 3.6, 1);
    ShadedFill(cr, 0x2E343B, kMid, 3.4, 3.5, 1.2);
    art::RoundedRect(cr, 12.8, 10.2, 9.4, 6.2, 2);
    ShadedFill(cr, 0x7A8592, kMid, 13, 5.5, kLine, 1.0);
    Rivet(cr, 14.8, 13.3, 0.75);
    Rivet(cr, 20.2, 13.3, 0.75);
    cairo_restore(cr);
}

void DrawOrb(cairo_t* cr, int frame) {
    cairo_save(cr);
    // Pulse runs 1, ½, 0, ½ over the four frames, so the loop has no jump.
    const double pulse = 0.5 + 0.5 * std::cos(frame * M_PI / 2);
    const double cx = kMid, cy = 15.5;
    // The pedestal ring glows with the orb.
    art::Ellipse(cr, cx, 27.5, 10.5, 4.2);
    ShadedFill(cr, 0x59626E, cx, 27.5, 10.5, kLine, 0.8);
    art::Ellipse(cr, cx, 27, 6.5, 2.3);
    art::SetColour(cr, art::Mix(0x5A2A80, 0xE6A6FF, pulse));
    cairo_fill(cr);

    Glow(cr, cx, cy, 15 + 2.5 * pulse, kOrbViolet, 0.35 + 0.3 * pulse);
    const double r = 8.6 + 0.5 * pulse;
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 3, cy - 3.5, 0, cx, cy, r);
    const auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0,
                                         ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    };
    stop(0, art::Mix(0xF4D8FF, 0xFFFFFF, pulse));
    stop(0.35, art::Mix(0xC860F8, 0xE59AFF, pulse));
    stop(0.8, 0x8A2ED8);
    stop(1, 0x4A1280);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill_preserve(cr);
    Outline(cr, 1.1, 0x2A0A40);

    // A swirl of energy turning a quarter each frame inside the sphere.
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r - 0.8, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, frame * M_PI / 4 + 0.3);
    cairo_scale(cr, 1, 0.38);
    cairo_arc(cr, 0, 0, r * 0.75, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_line_width(cr, 1.1);
    art::SetColour(cr, 0xFFE8FF, 0.35 + 0.3 * pulse);
    cairo_stroke(cr);
    Shine(cr, cx - 3.2, cy - 3.6, 1.8, 0.85);
    Shine(cr, cx - 4.6, cy - 1.2, 0.7, 0.6);

    // Three sparks circle the orb, a third of a turn every four frames: the same picture again.
    for (int k = 0; k < 3; ++k) {
        const double a = frame * M_PI / 6 + k * 2 * M_PI / 3 - 0.4;
        const double sx = cx + 12.5 * std::cos(a), sy = cy + 10 * std::sin(a);
        const double len = 1.6 + 0.8 * pulse;
        Glow(cr, sx, sy, 2.6, 0xF0C0FF, 0.6);
        cairo_move_to(cr, sx - len, sy);
        cairo_line_to(cr, sx + len, sy);
        cairo_move_to(cr, sx, sy - len);
        cairo_line_to(cr, sx, sy + len);
        Outline(cr, 0.8, 0xFFFFFF);
    }
    cairo_restore(cr);
}

void DrawSign(cairo_t* cr, int direction) {
    cairo_save(cr);
    const uint32_t plate = 0xF4C542;
    // An enamel plate that fills the tile, with a painted rim and four bolts.
    art::RoundedRect(cr, 1.5, 1.5, 32, 32, 5);
    RampFill(cr, plate, 1.5, 33.5, 0.3, 0.22);
    Outline(cr);
    art::RoundedRect(cr, 4, 4, 27, 27, 3.2);
    Outline(cr, 0.9, art::Darker(plate, 0.3));
    for (double x : {5.6, 29.4})
        for (double y : {5.6, 29.4}) Rivet(cr, x, y, 1.0);

    // The arrow is drawn pointing down and turned to its direction.
    static const double turn[] = {0, M_PI, M_PI / 2, -M_PI / 2};
    const auto arrow = [cr]() {
        Polygon(
            cr,
            {{-3.4, -11}, {3.4, -11}, {3.4, 0.5}, {9.4, 0.5}, {0, 11.4}, {-9.4, 0.5}, {-3.4, 0.5}});
    };
    cairo_translate(cr, kMid, kMid);
    // A soft dent around the arrow so it looks pressed into the plate.
    cairo_save(cr);
    cairo_translate(cr, 0.9, 0.9);
    cairo_rotate(cr, turn[direction & 3]);
    arrow();
    cairo_restore(cr);
    art::SetColour(cr, art::Lighter(plate, 0.55));
    cairo_fill(cr);
    cairo_rotate(cr, turn[direction & 3]);
    arrow();
    art::SetColour(cr, 0x2B2530);
    cairo_fill_preserve(cr);
    Outline(cr, 1.0);
    cairo_restore(cr);
}

void DrawScrap(cairo_t* cr) {
    cairo_save(cr);
    GroundShadow(cr, kMid + 1, 26.5, 12.5, 3.4);
    // A bent sheet of rusty plate under the pile.
    Polygon(cr, {{5.5, 22.5}, {13.5, 18.5}, {17.5, 24.5}, {9.5, 28.5}});
    ShadedFill(cr, 0xB0643A, 11.5, 23.5, 6);
    cairo_move_to(cr, 8.5, 23.8);
    cairo_line_to(cr, 14, 21.3);
    Outline(cr, 0.7, 0x7A3E20);
    // A cog.
    GearPath(cr, 20, 18.5, 7.6, 5.8, 8, 2.1, 0.2);
    ShadedFill(cr, 0xAEB7C1, 20, 18.5, 7.6);
    cairo_arc(cr, 20, 18.5, 4.0, 0, 2 * M_PI);
    Outline(cr, 0.7, 0x6E7782);
    // A bolt lying across the front.
    cairo_save(cr);
    cairo_translate(cr, 22.5, 26);
    cairo_rotate(cr, -0.35);
    cairo_rectangle(cr, -1, -1.3, 9, 2.6);
    ShadedFill(cr, 0x8D949C, 3, 0, 4.5, 1.1);
    for (double x = 1; x < 8; x += 1.6) {
        cairo_move_to(cr, x, -1.2);
        cairo_line_to(cr, x + 0.6, 1.2);
    }
    Outline(cr, 0.5, 0x5A616A);
    Polygon(cr, {{-4.5, -2.2}, {-1, -2.2}, {-0.4, 0}, {-1, 2.2}, {-4.5, 2.2}, {-5.1, 0}});
    ShadedFill(cr, 0x9AA2AB, -2.7, 0, 2.6, 1.1);
    cairo_restore(cr);
    // A hex nut on top.
    Polygon(cr, {{8.3, 12}, {11, 10.5}, {13.7, 12}, {13.7, 15}, {11, 16.5}, {8.3, 15}});
    ShadedFill(cr, 0x9AA2AB, 11, 13.5, 3, 1.1);
    cairo_arc(cr, 11, 13.5, 1.1, 0, 2 * M_PI);
    art::SetColour(cr, 0x3A4048);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace assetgen
