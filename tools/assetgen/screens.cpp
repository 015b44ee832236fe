// The window's fixed pictures: the two pop-up menu frames, the icons of the scrap and sign
// counters, the three hatred pictures, and (from screens_splash.cpp and screens_gameover.cpp)
// the title screen, the scrolling texts and the game-over frame. Every one is opaque: the
// window shows them as plain pictures.
#include <cmath>
#include <string>

#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/screens_style.h"
#include "tools/assetgen/sprite_art.h"

namespace assetgen {

namespace {

using namespace screens;

// ---- Pop-up menus ----------------------------------------------------------------------------

// The frame of a pop-up menu: a dark outline against the board, a bright bevelled rim, a blue
// title strip with the title in small spaced capitals, and a slate body.
void PopupFrame(cairo_t* cr, int w, int h, int titleHeight, const std::string& title) {
    Fill(cr, kRimDark);
    // The rim is lit from above: bright at the top, deeper at the bottom.
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    art::VerticalGradient(cr, 1, h - 1, art::Lighter(kRim, 0.35), art::Darker(kRim, 0.3));
    cairo_fill(cr);
    cairo_rectangle(cr, 2, 2, w - 4, h - 4);
    art::VerticalGradient(cr, titleHeight, h - 2, kSlateLight, kSlateDark);
    cairo_fill(cr);
    // A faint inner bevel: light down the left, dark up the right and along the bottom.
    art::SetColour(cr, 0xFFFFFF, 0.10);
    cairo_rectangle(cr, 2, titleHeight, 1, h - titleHeight - 2);
    cairo_fill(cr);
    art::SetColour(cr, 0x000000, 0.25);
    cairo_rectangle(cr, w - 3, titleHeight, 1, h - titleHeight - 2);
    cairo_rectangle(cr, 2, h - 3, w - 4, 1);
    cairo_fill(cr);

    // Title strip, with a dark line under it.
    cairo_rectangle(cr, 2, 2, w - 4, titleHeight - 3);
    art::VerticalGradient(cr, 2, titleHeight - 1, 0x4F8CBB, 0x234C73);
    cairo_fill(cr);
    art::SetColour(cr, 0xFFFFFF, 0.28);
    cairo_rectangle(cr, 2, 2, w - 4, 1);
    cairo_fill(cr);
    art::SetColour(cr, 0x0B1118);
    cairo_rectangle(cr, 2, titleHeight - 1, w - 4, 1);
    cairo_fill(cr);
    // Two small rivets hold the strip.
    for (double x : {6.5, w - 6.5}) Rivet(cr, x, titleHeight / 2.0, 1.6, 0x9FB4C8);

    art::UseFont(cr, art::TFont::SansBold, 9.5);
    const double baseline = titleHeight / 2.0 + 3.6;
    cairo_save(cr);
    cairo_translate(cr, 0, 1);
    SpacedText(cr, w / 2.0, baseline, title, 1.2, 0x0B1620, art::TAlign::Centre);
    cairo_restore(cr);
    SpacedText(cr, w / 2.0, baseline, title, 1.2, 0xF2FAFF, art::TAlign::Centre);
}

// The recessed place behind an icon (35 × 35 at x, y): a dark edge at the top left and a lit
// one at the bottom right around a flat slot. The icon copied in later covers the slot; its
// transparent parts carry the slot's colour.
void IconSlot(cairo_t* cr, double x, double y) {
    art::SetColour(cr, 0x070A0F);
    cairo_rectangle(cr, x - 1, y - 1, 36, 36);
    cairo_fill(cr);
    art::SetColour(cr, 0x6B7D99);
    cairo_rectangle(cr, x, y, 36, 36);
    cairo_fill(cr);
    art::SetColour(cr, kMenuSlotColour);
    cairo_rectangle(cr, x, y, 35, 35);
    cairo_fill(cr);
}

void DrawBuildMenu(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    PopupFrame(cr, c.Width(), c.Height(), 17, "BUILD");
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 2; ++col) IconSlot(cr, 3 + 41 * col, 17 + 41 * row);
    // Little studs where the slot gaps cross.
    for (double y : {55.5, 96.5}) Rivet(cr, 41.5, y, 1.3, 0x8DA2B8);
}

// A chevron of the rim colour pointing left or right, centred on (cx, cy).
void Chevron(cairo_t* cr, double cx, double cy, double size, int dir, double alpha) {
    cairo_move_to(cr, cx - dir * size * 0.5, cy - size);
    cairo_line_to(cr, cx + dir * size * 0.5, cy);
    cairo_line_to(cr, cx - dir * size * 0.5, cy + size);
    cairo_set_line_width(cr, 2.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    art::SetColour(cr, kRim, alpha);
    cairo_stroke(cr);
}

void DrawOrbMenu(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    PopupFrame(cr, c.Width(), c.Height(), 15, "BUY BOT");
    IconSlot(cr, 24, 16);
    const double cy = 16 + 17.5;
    for (int side = 0; side < 2; ++side) {
        const int dir = side == 0 ? 1 : -1;
        const double x = side == 0 ? 10 : c.Width() - 10;
        Chevron(cr, x - dir * 3.5, cy, 5, dir, 0.45);
        Chevron(cr, x + dir * 3.5, cy, 5, dir, 0.95);
    }
}

// ---- Counter icons -----------------------------------------------------------------------------

// A gear of `teeth` teeth: outer radius r, teeth `depth` deep, with a hole in the middle.
void GearPath(cairo_t* cr, double cx, double cy, double r, double depth, int teeth, double turn) {
    const int n = teeth * 4;
    for (int i = 0; i <= n; ++i) {
        const double a = turn + 2 * M_PI * i / n;
        const double rr = (i % 4 == 0 || i % 4 == 1) ? r : r - depth;
        if (i == 0)
            cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
        else
            cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
}

// The scrap counter's icon: a gear, a bent plate and a brass nut on a little heap.
void DrawScrapIcon(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    Fill(cr, 0xFFFFFF);
    const uint32_t line = 0x262A33;
    // Shadow of the heap.
    art::Ellipse(cr, 17.5, 30.5, 15, 3.2);
    art::SetColour(cr, 0xDADDE3);
    cairo_fill(cr);
    // A bolt lying behind the heap: threaded shank and a square head.
    cairo_save(cr);
    cairo_translate(cr, 12, 25.5);
    cairo_rotate(cr, -0.5);
    art::RoundedRect(cr, -5.5, -2.2, 12, 4.4, 1.2);
    art::VerticalGradient(cr, -2.2, 2.2, 0xC9D0DA, 0x7C8796);
    cairo_fill_preserve(cr);
    art::SetColour(cr, line);
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
    for (double x = -3.5; x < 5; x += 2) {
        cairo_move_to(cr, x, -2.2);
        cairo_line_to(cr, x + 1, 2.2);
    }
    art::SetColour(cr, line, 0.55);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    art::RoundedRect(cr, -9, -4, 4.5, 8, 1);
    art::VerticalGradient(cr, -4, 4, 0xD5DBE3, 0x808B9A);
    cairo_fill_preserve(cr);
    art::SetColour(cr, line);
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
    cairo_restore(cr);
    // The gear, steel blue-grey.
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    GearPath(cr, 20, 14, 11.5, 3, 8, 0.15);
    art::Ellipse(cr, 20, 14, 3.4, 3.4);
    cairo_pattern_t* p = cairo_pattern_create_linear(10, 3, 30, 25);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.86, 0.9, 0.95);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.45, 0.51, 0.6);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    art::SetColour(cr, line);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
    art::Ellipse(cr, 20, 14, 7, 7);
    art::SetColour(cr, 0x000000, 0.18);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    // A brass hex nut in front.
    const double nx = 24.5, ny = 26, nr = 5.6;
    for (int i = 0; i < 6; ++i) {
        const double a = M_PI / 6 + i * M_PI / 3;
        if (i == 0)
            cairo_move_to(cr, nx + nr * std::cos(a), ny + nr * std::sin(a));
        else
            cairo_line_to(cr, nx + nr * std::cos(a), ny + nr * std::sin(a));
    }
    cairo_close_path(cr);
    art::Ellipse(cr, nx, ny, 2.1, 2.1);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    art::VerticalGradient(cr, ny - nr, ny + nr, 0xFFE08A, 0xC98A1C);
    cairo_fill_preserve(cr);
    art::SetColour(cr, line);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    // A glint on the gear.
    art::Ellipse(cr, 15.5, 7.5, 1.6, 1.1);
    art::SetColour(cr, 0xFFFFFF, 0.9);
    cairo_fill(cr);
}

// The sign counter's icon: an arrow-shaped board on a wooden post.
void DrawSignIcon(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    Fill(cr, 0xFFFFFF);
    const uint32_t line = 0x262A33;
    art::Ellipse(cr, 17.5, 31.5, 9, 2.4);
    art::SetColour(cr, 0xDADDE3);
    cairo_fill(cr);
    // Post.
    art::RoundedRect(cr, 15, 8, 5, 24, 1.2);
    cairo_pattern_t* wood = cairo_pattern_create_linear(15, 0, 20, 0);
    cairo_pattern_add_color_stop_rgb(wood, 0, 0.72, 0.48, 0.26);
    cairo_pattern_add_color_stop_rgb(wood, 1, 0.45, 0.27, 0.13);
    cairo_set_source(cr, wood);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(wood);
    art::SetColour(cr, line);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // Board: an arrow pointing right.
    cairo_move_to(cr, 3.5, 6);
    cairo_line_to(cr, 24, 6);
    cairo_line_to(cr, 31.5, 12.5);
    cairo_line_to(cr, 24, 19);
    cairo_line_to(cr, 3.5, 19);
    cairo_close_path(cr);
    art::VerticalGradient(cr, 6, 19, 0xFFD866, 0xE9A521);
    cairo_fill_preserve(cr);
    art::SetColour(cr, line);
    cairo_set_line_width(cr, 1.3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    // The arrow painted on the board.
    StraightArrow(cr, 7, 12.5, 25, 12.5, 2.4, line);
    // Nail heads holding the board.
    for (double y : {8.6, 16.4}) {
        art::Ellipse(cr, 17.5, y, 0.8, 0.8);
        art::SetColour(cr, 0x6B4A1E);
        cairo_fill(cr);
    }
    art::SetColour(cr, 0xFFFFFF, 0.55);
    cairo_rectangle(cr, 5, 7.2, 18, 1);
    cairo_fill(cr);
}

// ---- Hatred pictures ---------------------------------------------------------------------------

enum class THatred { Forward, Reversed, None };

// A letter on a rounded badge of the kind's colour, light or dark lettering to suit it.
void KindBadge(cairo_t* cr, double cx, double cy, int kind) {
    static const char* letters[] = {"F", "S", "E"};
    const uint32_t colour = KindColour(kind);
    const double luma =
        0.3 * ((colour >> 16) & 0xFF) + 0.59 * ((colour >> 8) & 0xFF) + 0.11 * (colour & 0xFF);
    art::RoundedRect(cr, cx - 7.5, cy - 7.5, 15, 15, 3.5);
    art::FillAndOutline(cr, colour, kPanelInk, 1.2);
    art::UseFont(cr, art::TFont::SansBold, 11);
    art::Text(cr, cx, cy + 3.8, letters[kind], luma > 140 ? kPanelInk : 0xFFFFFF,
              art::TAlign::Centre);
}

void DrawHatred(art::TCanvas& c, THatred hatred) {
    cairo_t* cr = c.cr();
    Fill(cr, 0xFFFFFF);
    const double w = c.Width();

    art::UseFont(cr, art::TFont::SansBold, 12.5);
    SpacedText(cr, w / 2, 15, "HATRED", 1.6, kPanelTitle, art::TAlign::Centre);
    art::SetColour(cr, art::Mix(kPanelTitle, 0xFFFFFF, 0.55));
    cairo_rectangle(cr, 20, 20, w - 40, 1);
    cairo_fill(cr);
    for (double x : {18.0, w - 18.0}) Diamond(cr, x, 20.5, 2.5, kPanelTitle);

    // The three kinds on a circle: F at the top, S at the lower right, E at the lower left, so
    // that the forward cycle runs clockwise.
    const double cx = w / 2, cy = 84, r = 33, size = 42;
    const double angle[] = {-M_PI / 2, M_PI / 6, 5 * M_PI / 6};
    const double gap = 17.5 / r;  // the creature's body, not its whole tile

    if (hatred == THatred::None) {
        cairo_save(cr);
        const double dash[] = {3, 4};
        cairo_set_dash(cr, dash, 2, 0);
        cairo_set_line_width(cr, 1.5);
        art::SetColour(cr, 0xA9C7B6);
        for (int i = 0; i < 3; ++i) {
            cairo_new_path(cr);
            cairo_arc(cr, cx, cy, r, angle[i] + gap, angle[i] + 2 * M_PI / 3 - gap);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
    } else {
        for (int i = 0; i < 3; ++i) {
            const double from = angle[i], to = angle[i] + 2 * M_PI / 3;
            if (hatred == THatred::Forward)
                ArcArrow(cr, cx, cy, r, from + gap, to - gap, 3.4, kHatredRed, 1.2, 0xFFFFFF);
            else
                ArcArrow(cr, cx, cy, r, to - gap, from + gap, 3.4, kHatredRed, 1.2, 0xFFFFFF);
        }
    }
    for (int kind = 0; kind < 3; ++kind) {
        const double x = cx + r * std::cos(angle[kind]), y = cy + r * std::sin(angle[kind]);
        Centred(cr, x, y, size, [kind](cairo_t* c) { DrawCreature(c, kind, kDown); });
    }

    // The caption spells the cycle out with letter badges.
    const double by = 143;
    if (hatred == THatred::None) {
        art::UseFont(cr, art::TFont::SansBold, 14);
        SpacedText(cr, w / 2, by + 5, "PEACE", 2.0, 0x2F8A5C, art::TAlign::Centre);
        art::UseFont(cr, art::TFont::Sans, 9);
        art::Text(cr, w / 2, by + 20, "no one attacks", 0x6B7280, art::TAlign::Centre);
        return;
    }
    const int order[2][4] = {{kF, kS, kE, kF}, {kF, kE, kS, kF}};
    const int* cycle = order[hatred == THatred::Forward ? 0 : 1];
    const double step = 24;
    const double x0 = w / 2 - 1.5 * step;
    for (int i = 0; i < 4; ++i) {
        KindBadge(cr, x0 + i * step, by, cycle[i]);
        if (i < 3)
            StraightArrow(cr, x0 + i * step + 8.5, by, x0 + (i + 1) * step - 8, by, 1.8,
                          kHatredRed);
    }
    art::UseFont(cr, art::TFont::Sans, 9);
    art::Text(cr, w / 2, by + 22, "arrow = attacks", 0x5B6270, art::TAlign::Centre);
}

}  // namespace

void WriteWindowPictures(const std::filesystem::path& dir) {
    const auto write = [&dir](const char* name, int w, int h, auto draw) {
        art::TCanvas c(w, h);
        Fill(c.cr(), 0x000000);  // every picture is opaque, whatever it draws
        draw(c);
        art::WritePicture(dir, name, c);
    };
    write("menuframe", 82, 137, DrawBuildMenu);
    write("orbmenuframe", 82, 54, DrawOrbMenu);
    write("ScrapCount", 35, 35, DrawScrapIcon);
    write("SignCount", 35, 35, DrawSignIcon);
    write("rhs1", 100, 172, [](art::TCanvas& c) { DrawHatred(c, THatred::Forward); });
    write("rhs2", 100, 172, [](art::TCanvas& c) { DrawHatred(c, THatred::Reversed); });
    write("rhs3", 100, 172, [](art::TCanvas& c) { DrawHatred(c, THatred::None); });
    write("splash", 700, 700, DrawSplash);
    write("starttext", 600, 600, DrawStartText);
    write("endtext", 550, 450, DrawEndText);
    art::TCanvas top(700, 101), side(50, 499), bottom(700, 100);
    DrawGameOverBands(top, side, bottom);
    art::WritePicture(dir, "gameovertop", top);
    art::WritePicture(dir, "gameoverleft", side);
    art::WritePicture(dir, "gameoverbottom", bottom);
}

}  // namespace assetgen
