// The three creature kinds in their four facings. Each kind has its own silhouette, so that it
// reads at a glance even where colours blur: F a soft round blob with two leaf feelers, S a
// faceted crystal with three spikes, E a squat wide body under a pair of bone horns. Facing
// down shows the face, up the back, left and right a face turned to one side.
#include <cmath>

#include "tools/assetgen/art.h"
#include "tools/assetgen/sprite_art.h"
#include "tools/assetgen/sprite_parts.h"

namespace assetgen {

using namespace parts;

namespace {

constexpr double kMid = kTileSize / 2.0;

// Which way a facing looks sideways: -1 left, +1 right, 0 for down and up.
int SideOf(int facing) {
    return facing == kLeft ? -1 : facing == kRight ? 1 : 0;
}

void FilledEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, uint32_t rgb,
                   double alpha = 1.0) {
    art::Ellipse(cr, cx, cy, rx, ry);
    art::SetColour(cr, rgb, alpha);
    cairo_fill(cr);
}

// A round eye: white, pupil looking a little towards `look`, and a shine.
void RoundEye(cairo_t* cr, double x, double y, double rx, double ry, double look) {
    art::Ellipse(cr, x, y, rx, ry);
    art::SetColour(cr, 0xFFFFFF);
    cairo_fill_preserve(cr);
    Outline(cr, 0.9);
    FilledEllipse(cr, x + look * rx * 0.35, y + ry * 0.22, rx * 0.6, ry * 0.62, kInk);
    Shine(cr, x + look * rx * 0.35 - rx * 0.25, y - ry * 0.12, rx * 0.28);
}

// A leaf on a stalk from (bx, by) to the leaf tip (tx, ty).
void LeafFeeler(cairo_t* cr, double bx, double by, double tx, double ty, uint32_t leaf) {
    // The leaf starts a third of the way along; the stalk bends a little outwards to it.
    const double mx = bx + (tx - bx) * 0.33, my = by + (ty - by) * 0.33;
    cairo_move_to(cr, bx, by);
    cairo_curve_to(cr, bx, my, mx, my + 0.5, mx, my);
    Outline(cr, 2.6, kInk, true);
    Outline(cr, 1.0, art::Darker(leaf, 0.15));
    // The leaf: an almond from the stalk's end to the tip.
    const double dx = tx - mx, dy = ty - my;
    const double nx = -dy * 0.5, ny = dx * 0.5;
    cairo_move_to(cr, mx, my);
    cairo_curve_to(cr, mx + dx * 0.25 + nx, my + dy * 0.25 + ny, tx + nx * 0.35, ty + ny * 0.35, tx,
                   ty);
    cairo_curve_to(cr, tx - nx * 0.35, ty - ny * 0.35, mx + dx * 0.25 - nx, my + dy * 0.25 - ny, mx,
                   my);
    cairo_close_path(cr);
    ShadedFill(cr, leaf, (mx + tx) / 2, (my + ty) / 2, 4, 1.2);
    // The leaf's middle vein.
    cairo_move_to(cr, mx + dx * 0.2, my + dy * 0.2);
    cairo_line_to(cr, mx + dx * 0.75, my + dy * 0.75);
    Outline(cr, 0.6, art::Darker(leaf, 0.3));
}

void DrawF(cairo_t* cr, int facing) {
    const uint32_t body = KindColour(kF), leaf = 0x35C97A, foot = art::Darker(body, 0.3);
    const int s = SideOf(facing);
    const auto X = [s](double dx) { return kMid + s * dx; };
    GroundShadow(cr, kMid + 1, 30.5, 11.5, 3);

    // Feet peek out under the body: side by side from the front and back, one ahead of the
    // other from the side.
    const double fx[2] = {s ? X(5) : 12.5, s ? X(-4) : 22.5};
    for (double x : fx) {
        art::Ellipse(cr, x, 29.3, 3.4, 2.3);
        ShadedFill(cr, foot, x, 29.3, 3.4, 1.3);
    }

    // Feelers first so the head covers their roots.
    if (s == 0) {
        LeafFeeler(cr, 14.5, 12, 7.5, 2.4, leaf);
        LeafFeeler(cr, 20.5, 12, 27.5, 2.4, leaf);
    } else {
        LeafFeeler(cr, X(-2.5), 12, X(-10.5), 3.6, leaf);
        LeafFeeler(cr, X(1.5), 11.5, X(-1.8), 1.8, leaf);
    }

    const double cx = kMid + s * 0.8;
    art::Ellipse(cr, cx, 19.8, s ? 11.6 : 12.2, 9.6);
    ShadedFill(cr, body, cx, 19.8, 12, kLine, 0.9);
    // A soft shine on the top left of the blob.
    cairo_save(cr);
    cairo_translate(cr, cx - 6, 14);
    cairo_rotate(cr, -0.5);
    FilledEllipse(cr, 0, 0, 3.2, 1.6, 0xFFFFFF, 0.55);
    cairo_restore(cr);

    if (facing == kUp) {
        // Back view: three darker spots down the back and no face.
        const uint32_t spot = art::Darker(body, 0.22);
        FilledEllipse(cr, 13, 19, 2.2, 1.9, spot);
        FilledEllipse(cr, 22, 19, 2.2, 1.9, spot);
        FilledEllipse(cr, kMid, 24.5, 2.4, 2.0, spot);
        return;
    }
    const uint32_t blush = 0xFF7FA0;
    if (s == 0) {
        RoundEye(cr, 13.2, 18.8, 2.7, 3.3, 0);
        RoundEye(cr, 21.8, 18.8, 2.7, 3.3, 0);
        FilledEllipse(cr, 9.6, 22.8, 1.9, 1.1, blush, 0.55);
        FilledEllipse(cr, 25.4, 22.8, 1.9, 1.1, blush, 0.55);
        cairo_arc(cr, kMid, 22.2, 2.4, 0.2 * M_PI, 0.8 * M_PI);
        Outline(cr, 1.2);
    } else {
        RoundEye(cr, X(6.2), 18.6, 2.4, 3.2, s);
        RoundEye(cr, X(0.8), 18.9, 1.9, 3.0, s);
        FilledEllipse(cr, X(3.8), 23, 1.7, 1.0, blush, 0.55);
        cairo_arc(cr, X(8.2), 22, 1.8, s > 0 ? 0.0 : 0.5 * M_PI, s > 0 ? 0.5 * M_PI : M_PI);
        Outline(cr, 1.2);
    }
}

// One triangle facet of the S crystal, shaded by which way it faces the top-left light.
void Facet(cairo_t* cr, TPoint c, TPoint a, TPoint b, uint32_t base) {
    const double mx = (a.first + b.first) / 2 - c.first, my = (a.second + b.second) / 2 - c.second;
    const double len = std::hypot(mx, my);
    const double lit = len > 0 ? (-0.6 * mx - 0.8 * my) / len : 0;
    const uint32_t colour =
        lit > 0 ? art::Lighter(base, 0.42 * lit) : art::Darker(base, 0.45 * -lit);
    Polygon(cr, {c, a, b});
    art::SetColour(cr, colour);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.35);  // hides the hairline seams between facets
    cairo_stroke(cr);
}

void DrawS(cairo_t* cr, int facing) {
    const uint32_t body = KindColour(kS);
    const int s = SideOf(facing);
    const double lean = s * 2.5;
    const auto X = [s](double dx) { return kMid + s * dx; };
    GroundShadow(cr, kMid + 1, 30.5, 11, 2.8);

    // Pointed feet.
    const double fx[2] = {s ? X(4.5) : 12.5, s ? X(-4) : 22.5};
    for (double x : fx) {
        Polygon(cr, {{x - 3.2, 28}, {x + 3.2, 28}, {x + (s ? s * 3.8 : 0.8), 32}, {x - 1, 31.8}});
        ShadedFill(cr, art::Darker(body, 0.25), x, 29.5, 3.5, 1.2);
    }

    // The body: a crystal with a spike up and one to each side, leaning into a sideways walk.
    const double sw = s ? 0.85 : 1.0;  // side spikes look shorter from the side
    const TPoint v[] = {{kMid + lean, 3.2},
                        {kMid + 4 + lean * 0.5, 11},
                        {kMid + 14 * sw, 12.5 + s * 1.5},
                        {kMid + 8.5, 18.5},
                        {kMid + 10, 27},
                        {kMid, 29.6},
                        {kMid - 10, 27},
                        {kMid - 8.5, 18.5},
                        {kMid - 14 * sw, 12.5 - s * 1.5},
                        {kMid - 4 + lean * 0.5, 11}};
    const TPoint c = {kMid + lean * 0.3, 19};
    constexpr int n = sizeof v / sizeof v[0];
    // An opaque underlay first, so the facets' antialiased seams never let the ground through.
    cairo_move_to(cr, v[0].first, v[0].second);
    for (int i = 1; i < n; ++i) cairo_line_to(cr, v[i].first, v[i].second);
    cairo_close_path(cr);
    art::SetColour(cr, body);
    cairo_fill(cr);
    for (int i = 0; i < n; ++i) Facet(cr, c, v[i], v[(i + 1) % n], body);
    cairo_new_path(cr);
    cairo_move_to(cr, v[0].first, v[0].second);
    for (int i = 1; i < n; ++i) cairo_line_to(cr, v[i].first, v[i].second);
    cairo_close_path(cr);
    Outline(cr);

    if (facing == kUp) {
        // Back view: a pale ridge runs down the spine.
        cairo_move_to(cr, v[0].first, v[0].second + 2);
        cairo_line_to(cr, kMid, 26.5);
        Outline(cr, 1.4, art::Lighter(body, 0.55));
        return;
    }
    // Eyes: white slanted shards with ink pupils, big enough to read on the dark blue.
    // Eyes: white ovals cut by a slanting lid that dips towards the nose, pupils in ink.
    const auto eye = [cr](double x, double y, double inward, double scale) {
        const double rx = 2.7 * scale, ry = 3.0;
        cairo_save(cr);
        Polygon(cr, {{x - inward * 4, y - 3.6},
                     {x + inward * 4, y - 0.9},
                     {x + inward * 4, y + 4},
                     {x - inward * 4, y + 4}});
        cairo_clip(cr);
        art::Ellipse(cr, x, y, rx, ry);
        art::SetColour(cr, 0xFFFFFF);
        cairo_fill_preserve(cr);
        Outline(cr, 0.9);
        FilledEllipse(cr, x + inward * 0.5, y + 0.7, 1.5 * scale, 1.75, kInk);
        Shine(cr, x + inward * 0.5 - 0.5, y + 0.1, 0.5);
        cairo_restore(cr);
        cairo_move_to(cr, x - inward * (rx + 0.6), y - 2.9);
        cairo_line_to(cr, x + inward * (rx + 0.6), y - 1.1);
        Outline(cr, 1.3);
    };
    // A small mouth with two white fangs.
    const auto mouth = [cr](double x, double y, double w) {
        Polygon(cr, {{x - w, y}, {x + w, y}, {x, y + 2.2}});
        art::SetColour(cr, kInk);
        cairo_fill(cr);
        Polygon(cr, {{x - w + 0.4, y}, {x - w + 1.6, y}, {x - w + 1.0, y + 1.5}});
        Polygon(cr, {{x + w - 1.6, y}, {x + w - 0.4, y}, {x + w - 1.0, y + 1.5}});
        art::SetColour(cr, 0xFFFFFF);
        cairo_fill(cr);
    };
    if (s == 0) {
        eye(13, 18.6, 1, 1);
        eye(22, 18.6, -1, 1);
        mouth(kMid, 23.2, 2.6);
    } else {
        eye(X(6.2), 18.4, s, 0.85);
        eye(X(0.6), 18.6, s, 0.75);
        mouth(X(6.2), 23.2, 2.0);
    }
}

// A bull's horn from its root (rx, ry), hidden behind the head, sweeping out and up to its tip.
void Horn(cairo_t* cr, double rx, double ry, double tx, double ty) {
    const double dir = tx < rx ? -1 : 1;
    cairo_move_to(cr, rx + dir * 2.5, ry + 1.5);
    cairo_curve_to(cr, rx + dir * 7, ry - 1, tx + dir * 1.2, ty + 5, tx, ty);
    cairo_curve_to(cr, tx - dir * 1.2, ty + 4, rx + dir * 1, ry - 4, rx - dir * 2.5, ry - 2.5);
    cairo_close_path(cr);
    ShadedFill(cr, 0xEFE3C6, (rx + tx) / 2, (ry + ty) / 2, 5, 1.3);
    // Growth rings across the horn.
    const double len = std::hypot(tx - rx, ty - ry);
    const double px = -(ty - ry) / len * 1.5, py = (tx - rx) / len * 1.5;
    for (double t : {0.5, 0.66}) {
        const double x = rx + (tx - rx) * t + dir * 1.2, y = ry + (ty - ry) * t;
        cairo_move_to(cr, x - px, y - py);
        cairo_line_to(cr, x + px, y + py);
        Outline(cr, 0.6, 0xB8A886);
    }
}

void DrawE(cairo_t* cr, int facing) {
    const uint32_t body = KindColour(kE);
    const int s = SideOf(facing);
    const auto X = [s](double dx) { return kMid + s * dx; };
    GroundShadow(cr, kMid + 1, 30.8, 13, 3);

    // Horns behind the head: both sweep up and outwards; from the side they sit towards the
    // back of the head.
    if (s == 0) {
        Horn(cr, 10, 16, 3.2, 4.2);
        Horn(cr, 25, 16, 31.8, 4.2);
    } else {
        Horn(cr, X(-1), 15.5, X(-8.5), 3.8);
        Horn(cr, X(4), 15.5, X(9.5), 4.6);
    }

    // Stubby feet.
    const double fx[2] = {s ? X(5.5) : 11.5, s ? X(-5) : 23.5};
    for (double x : fx) {
        art::RoundedRect(cr, x - 3.6, 26, 7.2, 5.4, 2.2);
        ShadedFill(cr, art::Darker(body, 0.3), x, 28.5, 4, 1.3);
    }

    // The wide squat body.
    const double left = s ? 5.5 + s * 0.8 : 4.5, width = s ? 24 : 26;
    art::RoundedRect(cr, left, 12.5, width, 17, 8);
    ShadedFill(cr, body, kMid, 20, 13, kLine, 1.1);

    if (facing == kUp) {
        // Back view: a stubby tail and a row of darker stripes across the back.
        for (int i = 0; i < 3; ++i) {
            const double y = 16.5 + i * 3.6;
            cairo_move_to(cr, 12.5 + i * 0.8, y);
            cairo_curve_to(cr, 15.5, y + 1.4, 19.5, y + 1.4, 22.5 - i * 0.8, y);
            Outline(cr, 1.4, art::Darker(body, 0.4));
        }
        art::Ellipse(cr, kMid, 28.2, 2.6, 2.0);
        ShadedFill(cr, body, kMid, 28, 2.6, 1.2);
        return;
    }
    // A paler belly.
    FilledEllipse(cr, s ? X(2) : kMid, 25.2, s ? 6.5 : 8, 3.6, art::Lighter(body, 0.16));

    constexpr uint32_t amber = 0xFFC43D;
    // A glowing amber eye with a slit pupil under a heavy brow slanting towards the nose.
    const auto eye = [cr](double x, double y, double inward) {
        Glow(cr, x, y, 4.2, amber, 0.35);
        art::Ellipse(cr, x, y, 2.5, 1.9);
        art::SetColour(cr, amber);
        cairo_fill_preserve(cr);
        Outline(cr, 0.9);
        FilledEllipse(cr, x, y, 0.7, 1.5, kInk);
        cairo_move_to(cr, x - 3 * inward, y - 3.6);
        cairo_line_to(cr, x + 3 * inward, y - 2.2);
        Outline(cr, 1.6);
    };
    const auto tusk = [cr](double x, double y, double lean) {
        Polygon(cr, {{x - 1.2, y}, {x + 1.2, y}, {x + lean, y - 3.2}});
        art::SetColour(cr, 0xF6EEDC);
        cairo_fill_preserve(cr);
        Outline(cr, 0.8);
    };
    if (s == 0) {
        eye(12.6, 19.2, 1);
        eye(22.4, 19.2, -1);
        cairo_move_to(cr, 11.5, 24.2);
        cairo_curve_to(cr, 14.5, 25.6, 20.5, 25.6, 23.5, 24.2);
        Outline(cr, 1.3);
        tusk(13.4, 24.9, -0.5);
        tusk(21.6, 24.9, 0.5);
    } else {
        eye(X(7), 19, -s);
        eye(X(1.5), 19.2, -s);
        cairo_move_to(cr, X(10.5), 24.2);
        cairo_curve_to(cr, X(8.5), 25.4, X(5.5), 25.4, X(3.5), 24.6);
        Outline(cr, 1.3);
        tusk(X(8.5), 25, s * 0.6);
    }
}

}  // namespace

void DrawCreature(cairo_t* cr, int kind, int facing) {
    cairo_save(cr);
    switch (kind) {
        case kF:
            DrawF(cr, facing);
            break;
        case kS:
            DrawS(cr, facing);
            break;
        default:
            DrawE(cr, facing);
            break;
    }
    cairo_restore(cr);
}

}  // namespace assetgen
