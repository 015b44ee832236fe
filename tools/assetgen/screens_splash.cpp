// The title screen and the how-to-play text that scrolls over the black panel after it.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/screens_style.h"
#include "tools/assetgen/sprite_art.h"

namespace assetgen::screens {

namespace {

constexpr double kTile = 70;  // the board on the title screen, drawn at twice its size

// A board routine placed on the title screen's board grid (col, row may be fractional).
template <typename Draw>
void OnGrid(cairo_t* cr, double col, double row, Draw draw) {
    AtSize(cr, col * kTile, row * kTile, kTile, draw);
}

// The little stretch of board behind the title: the base with its turrets and the orb at the
// top, tunnels at the bottom, creatures marching up, a sign turning one toward its prey, a bot
// gathering scrap. 700 × 420.
void DrawDiorama(art::TCanvas& board, uint32_t orbColour) {
    cairo_t* cr = board.cr();
    const int cols = 10, rows = 6;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) OnGrid(cr, col, row, DrawTile);
    for (int row = 0; row < 2; ++row)
        for (int col = 3; col < 7; ++col) OnGrid(cr, col, row, DrawBaseFloor);
    // Dusk over the ground, so that everything standing on it stands out.
    art::SetColour(cr, 0x101838, 0.30);
    cairo_paint(cr);

    OnGrid(cr, 1, 0, [](cairo_t* c) { DrawTree(c, 0); });
    OnGrid(cr, 0, 1, [](cairo_t* c) { DrawTree(c, 1); });
    OnGrid(cr, 8, 0, [](cairo_t* c) { DrawTree(c, 1); });
    OnGrid(cr, 9, 1, [](cairo_t* c) { DrawTree(c, 0); });
    OnGrid(cr, 7.2, 1, DrawRuin);
    OnGrid(cr, 2.6, 4.2, [](cairo_t* c) { DrawRock(c, 0); });
    OnGrid(cr, 9, 4, [](cairo_t* c) { DrawRock(c, 1); });

    OnGrid(cr, 1, 5, [](cairo_t* c) { DrawTunnel(c, kF); });
    OnGrid(cr, 5, 5, [](cairo_t* c) { DrawTunnel(c, kS); });
    OnGrid(cr, 8, 5, [](cairo_t* c) { DrawTunnel(c, kE); });

    for (double col : {3.0, 6.0})
        for (double row : {0.0, 1.0}) OnGrid(cr, col, row, DrawTurret);

    // A sign has turned an F creature toward an S creature, its prey.
    OnGrid(cr, 1, 2, [](cairo_t* c) { DrawSign(c, kRight); });
    OnGrid(cr, 1, 3.3, [](cairo_t* c) { DrawCreature(c, kF, kUp); });
    OnGrid(cr, 2.4, 2, [](cairo_t* c) { DrawCreature(c, kF, kRight); });
    OnGrid(cr, 2.4, 2, [](cairo_t* c) { DrawExclaim(c, kF, 1); });
    OnGrid(cr, 4.1, 2.3, [](cairo_t* c) { DrawCreature(c, kS, kUp); });
    OnGrid(cr, 5, 4, [](cairo_t* c) { DrawCreature(c, kS, kUp); });
    OnGrid(cr, 8, 3.4, [](cairo_t* c) { DrawCreature(c, kE, kUp); });
    OnGrid(cr, 6.9, 2.3, [](cairo_t* c) { DrawCreature(c, kE, kLeft); });
    OnGrid(cr, 6.3, 4.1, DrawScrap);
    OnGrid(cr, 7.2, 4.4, [](cairo_t* c) { DrawBuilder(c, kLeft); });

    // Night gathers toward the edges; the orb lights its base.
    Shade(board, [](int x, int y) {
        const double dx = (x - 350) / 420.0, dy = (y - 150) / 330.0;
        const double d = std::min(1.0, std::sqrt(dx * dx + dy * dy));
        return 1.0 - 0.55 * d * d;
    });
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    LightPool(cr, 350, 70, 230, 150, orbColour, 0.20);
    LightPool(cr, 350, 70, 80, 80, orbColour, 0.45);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    // The orb, larger than life, in the middle of the base.
    Centred(cr, 350, 66, 112, [](cairo_t* c) { DrawOrb(c, 0); });
}

// Fades a canvas's own alpha with a linear ramp: opaque where t = 1, clear where t = 0.
void FadeAlpha(cairo_t* cr, double x0, double y0, double x1, double y1,
               std::initializer_list<std::pair<double, double>> stops) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const auto& [at, alpha] : stops) cairo_pattern_add_color_stop_rgba(p, at, 0, 0, 0, alpha);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_IN);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(p);
}

}  // namespace

void DrawSplash(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    const double w = c.Width(), h = c.Height();
    const uint32_t orbColour = SampleColour(17, 17, [](cairo_t* o) { DrawOrb(o, 0); });

    // Backdrop: deep night blue, a little lighter toward the middle, with faint stars.
    art::VerticalGradient(cr, 0, h, 0x050814, 0x0D0A1C);
    cairo_paint(cr);
    LightPool(cr, w / 2, 330, 420, 330, 0x1B2B5A, 0.55);
    art::TRng rng(0x5A1A5Au);
    for (int i = 0; i < 140; ++i) {
        // Kept off the edges, where the picture meets the black panel.
        const double x = rng.Uniform(4, w - 4), y = rng.Uniform(4, 230);
        const double r = rng.Uniform(0.4, 1.2);
        art::Ellipse(cr, x, y, r, r);
        art::SetColour(cr, 0xD8E4FF, rng.Uniform(0.15, 0.7) * (1 - y / 260));
        cairo_fill(cr);
    }

    // The board, fading into the night at its edges.
    const double boardTop = 214;
    art::TCanvas board(700, 420);
    DrawDiorama(board, orbColour);
    FadeAlpha(board.cr(), 0, 0, 0, 420, {{0, 0}, {0.2, 1}, {0.8, 1}, {1, 0}});
    FadeAlpha(board.cr(), 0, 0, 700, 0, {{0, 0}, {0.1, 1}, {0.9, 1}, {1, 0}});
    c.Paint(board, 0, boardTop);
    // The orb's light spills over the fade.
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    LightPool(cr, 350, boardTop + 70, 170, 120, orbColour, 0.22);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

    // Title.
    art::UseFont(cr, art::TFont::SerifBold, 88);
    double size = 88;
    while (art::TextWidth(cr, "QUORVATIDE") > w - 70)
        art::UseFont(cr, art::TFont::SerifBold, --size);
    LightPool(cr, w / 2, 100, 330, 70, art::Mix(orbColour, 0x3050A0, 0.5), 0.35);
    TitleText(cr, w / 2, 128, "QUORVATIDE", art::TAlign::Centre,
              {kGoldPale, kGoldDeep, 0x2A1200, 3.2, 0xFFB040, 22, 0.5});
    // Subtitle between two fine rules.
    art::UseFont(cr, art::TFont::Serif, 21);
    const std::string subtitle = "Steer the creatures. Guard the orb.";
    const double sw = art::TextWidth(cr, subtitle);
    art::Text(cr, w / 2, 172, subtitle, kSoftText, art::TAlign::Centre);
    for (int side = -1; side <= 1; side += 2) {
        const double inner = w / 2 + side * (sw / 2 + 16), outer = inner + side * 60;
        cairo_pattern_t* p = cairo_pattern_create_linear(inner, 0, outer, 0);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.96, 0.77, 0.32, 0.9);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.96, 0.77, 0.32, 0);
        cairo_set_source(cr, p);
        cairo_rectangle(cr, std::min(inner, outer), 165, 60, 1.4);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        Diamond(cr, inner, 165.7, 3.2, kGold);
    }

    // Call to action at the bottom.
    art::UseFont(cr, art::TFont::SansBold, 24);
    const std::string click = "Click to start";
    const double cw = art::TextWidth(cr, click) + 56;
    art::RoundedRect(cr, w / 2 - cw / 2, 640, cw, 40, 20);
    art::SetColour(cr, 0x0A1022, 0.75);
    cairo_fill_preserve(cr);
    GlowPath(cr, 0x5FB8FF, 7, 0.45);
    art::SetColour(cr, 0x8FD0FF);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_new_path(cr);
    TextPath(cr, w / 2, 668, click, art::TAlign::Centre);
    GlowPath(cr, 0x5FB8FF, 6, 0.35);
    art::SetColour(cr, 0xF2F8FF);
    cairo_fill(cr);

    Grain(c, 0.025, 0xC0FFEEu);
}

// ---- How to play -------------------------------------------------------------------------------

namespace {

// The how-to-play body text.
constexpr double kBodySize = 14.5, kLineHeight = 18.5;
// The round pictures beside the paragraphs and in the row of kinds.
constexpr double kMedallion = 25;

struct TLayout {
    cairo_t* cr;
    double width;
    double y;
};

void Heading(TLayout& l, const std::string& text) {
    cairo_t* cr = l.cr;
    art::UseFont(cr, art::TFont::SerifBold, 23);
    TitleText(cr, l.width / 2, l.y + 23, text, art::TAlign::Centre,
              {kGoldPale, kGoldDeep, 0x201000, 1.4, 0xFFA030, 8, 0.28});
    const double tw = art::TextWidth(cr, text);
    for (int side = -1; side <= 1; side += 2) {
        const double inner = l.width / 2 + side * (tw / 2 + 14);
        cairo_pattern_t* p = cairo_pattern_create_linear(inner, 0, inner + side * 110, 0);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.96, 0.77, 0.32, 0.8);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.96, 0.77, 0.32, 0);
        cairo_set_source(cr, p);
        cairo_rectangle(cr, side < 0 ? inner - 110 : inner, l.y + 14.5, 110, 1.2);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    l.y += 36;
}

// A paragraph with a picture in a column to its left.
template <typename Picture>
void Illustrated(TLayout& l, const std::string& text, Picture picture) {
    cairo_t* cr = l.cr;
    const double left = 80, lineHeight = kLineHeight;
    art::UseFont(cr, art::TFont::Sans, kBodySize);
    const double top = l.y;
    const double end =
        Paragraph(cr, left, l.y + 14, l.width - left - 16, lineHeight, text, kBodyText);
    const double height = std::max(end - lineHeight - top + 6, 2 * kMedallion + 2);
    picture(cr, 42, top + height / 2);
    l.y = top + height + 8;
}

// A round window onto the board: a disc of ground (`ground`, a tile routine) with a board
// picture standing on it, shaded toward its gold rim. Dark creatures read on the black page.
template <typename Ground, typename Content>
void Medallion(cairo_t* cr, double cx, double cy, double r, Ground ground, Content content) {
    cairo_save(cr);
    art::Ellipse(cr, cx, cy, r, r);
    cairo_clip(cr);
    AtSize(cr, cx - r, cy - r, 2 * r, ground);
    content(cr);
    cairo_pattern_t* shade = cairo_pattern_create_radial(cx, cy - r * 0.2, r * 0.45, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0.02, 0.03, 0.08, 0.55);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
    art::Ellipse(cr, cx, cy, r + 1, r + 1);
    art::SetColour(cr, 0x000000);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    art::Ellipse(cr, cx, cy, r, r);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, cy - r, 0, cy + r);
    cairo_pattern_add_color_stop_rgb(rim, 0, 1.0, 0.93, 0.7);
    cairo_pattern_add_color_stop_rgb(rim, 1, 0.62, 0.38, 0.1);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

// A key on the keyboard with its letter.
void KeyCap(cairo_t* cr, double x, double y, const std::string& letter) {
    art::RoundedRect(cr, x, y + 2, 28, 28, 5);
    art::SetColour(cr, 0x2A2F3A);
    cairo_fill(cr);
    art::RoundedRect(cr, x, y, 28, 27, 5);
    art::VerticalGradient(cr, y, y + 27, 0xF4F1E8, 0xC9C4B6);
    cairo_fill(cr);
    art::RoundedRect(cr, x + 0.5, y + 0.5, 27, 26, 4.5);
    art::SetColour(cr, 0x5A5A66);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    art::UseFont(cr, art::TFont::SansBold, 16);
    art::Text(cr, x + 14, y + 19.5, letter, 0x1C1C24, art::TAlign::Centre);
}

}  // namespace

void DrawStartText(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    Fill(cr, 0x000000);
    TLayout l{cr, double(c.Width()), 7};

    Heading(l, "HOW TO PLAY");
    Illustrated(l,
                "Creatures march from three tunnels toward your base, where four turrets guard "
                "the orb. When the turrets are gone, the creatures attack the orb; when the orb "
                "falls, the game is over. Survive as long as you can and score points!",
                [](cairo_t* c, double x, double y) {
                    Medallion(c, x, y, kMedallion, DrawBaseFloor, [x, y](cairo_t* o) {
                        Centred(o, x, y - 1, 50, [](cairo_t* d) { DrawOrb(d, 0); });
                    });
                });
    Illustrated(l,
                "You cannot move the creatures, only steer them. Left-click a tile to "
                "open the build menu: place a sign pointing down, up, left or right (a creature "
                "that steps on it is sent five tiles that way), send a bot to gather scrap from "
                "a rock, ruin or scrap piece, or remove a sign for half its price back. Signs "
                "cost scrap; trees cannot be gathered.",
                [](cairo_t* c, double x, double y) {
                    Medallion(c, x, y, kMedallion, DrawTile, [x, y](cairo_t* o) {
                        Centred(o, x, y, 44, [](cairo_t* d) { DrawSign(d, kRight); });
                    });
                });
    Illustrated(l,
                "Click the orb to buy another builder bot. Bots build your signs and gather "
                "scrap, and each bot lets you keep four more signs.",
                [](cairo_t* c, double x, double y) {
                    Medallion(c, x, y, kMedallion, DrawTile, [x, y](cairo_t* o) {
                        Centred(o, x, y, 48, [](cairo_t* d) { DrawBuilder(d, kDown); });
                    });
                });

    Heading(l, "THE THREE KINDS");
    // F → S → E → F, each arrow meaning "attacks".
    {
        const int cycle[] = {kF, kS, kE, kF};
        const double step = 120, size = 48, cy = l.y + 27;
        const double x0 = l.width / 2 - 1.5 * step;
        static const char* letters[] = {"F", "S", "E"};
        for (int i = 0; i < 4; ++i) {
            const double x = x0 + i * step;
            const int kind = cycle[i];
            Medallion(cr, x - 10, cy, kMedallion, DrawTile, [=](cairo_t* o) {
                Centred(o, x - 10, cy, size, [kind](cairo_t* d) { DrawCreature(d, kind, kRight); });
            });
            art::UseFont(cr, art::TFont::SansBold, 20);
            art::OutlinedText(cr, x + 22, cy + 8, letters[kind],
                              art::Mix(KindColour(kind), 0xFFFFFF, 0.5), 0x000000, 2);
            if (i < 3) {
                StraightArrow(cr, x + 38, cy, x + step - 40, cy, 3.2, 0xE0383A);
                art::UseFont(cr, art::TFont::Sans, 12);
                art::Text(cr, x + step / 2 + 1, cy - 10, "attacks", 0xF08C84, art::TAlign::Centre);
            }
        }
        l.y += 64;
    }
    {
        art::UseFont(cr, art::TFont::Sans, kBodySize);
        const double margin = 36;
        l.y = Paragraph(cr, l.width / 2, l.y + 12, l.width - 2 * margin, kLineHeight,
                        "They hate each other in a cycle: F attacks S, S attacks E, E attacks F. "
                        "Steer them into each other! When the red hatred frame flashes, the "
                        "cycle turns around; the panel on the right shows the current one.",
                        kBodyText, art::TAlign::Centre);
        l.y = Paragraph(cr, l.width / 2, l.y + 6, l.width - 2 * margin, kLineHeight,
                        "Kills score points, and a creature killed by another creature scores "
                        "more than one killed by a turret. Fallen creatures sometimes leave "
                        "scrap.",
                        kBodyText, art::TAlign::Centre);
        l.y -= 6;
    }

    Heading(l, "KEYS");
    {
        const struct {
            const char* key;
            const char* what;
        } keys[] = {{"P", "pause"}, {"M", "music on/off"}, {"S", "sounds on/off"}};
        art::UseFont(cr, art::TFont::Sans, kBodySize);
        double total = 0;
        for (const auto& k : keys) total += 36 + art::TextWidth(cr, k.what) + 34;
        total -= 34;
        double x = l.width / 2 - total / 2;
        for (const auto& k : keys) {
            KeyCap(cr, x, l.y - 4, k.key);
            art::UseFont(cr, art::TFont::Sans, kBodySize);
            art::Text(cr, x + 36, l.y + 15, k.what, kBodyText);
            x += 36 + art::TextWidth(cr, k.what) + 34;
        }
        l.y += 40;
    }

    art::UseFont(cr, art::TFont::SansBold, 22);
    cairo_new_path(cr);
    TextPath(cr, l.width / 2, l.y + 22, "Click to start", art::TAlign::Centre);
    GlowPath(cr, 0x5FB8FF, 6, 0.35);
    art::SetColour(cr, 0xF2F8FF);
    cairo_fill(cr);
}

}  // namespace assetgen::screens
