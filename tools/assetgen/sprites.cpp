// The sprite catalogue: every picture the board uses, drawn by the routines in sprite_art.h
// and written under its catalogue name. Also the small pictures that need no routine of their
// own elsewhere: the exclamation marks, speech bubbles, cursor, menu icons and counter glyphs.
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>

#include "shell/catalogue_names.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/sprite_art.h"
#include "tools/assetgen/sprite_parts.h"

namespace assetgen {

using namespace parts;

namespace {

constexpr double kMid = kTileSize / 2.0;
// The counter glyphs: dark digits on the white counter panel.
constexpr int kGlyphWidth = 13, kGlyphHeight = 20;
constexpr uint32_t kGlyphInk = 0x161B33;

}  // namespace

uint32_t KindColour(int kind) {
    static const uint32_t colours[] = {0x78F5B9, 0x0000F5, 0x4B4B4B};
    return colours[kind < 0 || kind > 2 ? 0 : kind];
}

void DrawExclaim(cairo_t* cr, int kind, int frame) {
    // Frame 0 bright, 1 bigger with a glow, 2 smaller and faded: the game cycles 1,2,3,1,...
    static const double scales[] = {1.0, 1.15, 0.88};
    static const double alphas[] = {1.0, 1.0, 0.6};
    frame = frame < 0 || frame > 2 ? 0 : frame;
    const uint32_t colour = KindColour(kind);
    cairo_save(cr);
    cairo_push_group(cr);
    cairo_translate(cr, 26.5, 12.5);
    cairo_scale(cr, scales[frame], scales[frame]);
    if (frame == 1) {
        Glow(cr, 0, 0, 11, colour, 0.7);
        Glow(cr, 0, 0, 7, 0xFFFFFF, 0.5);
    }
    const auto mark = [cr]() {
        Polygon(cr, {{-2.6, -8.5}, {2.6, -8.5}, {1.3, 3}, {-1.3, 3}});
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 6.6, 2.0, 0, 2 * M_PI);
    };
    // A white halo, then ink, then the kind's colour: it reads over any creature or ground.
    mark();
    Outline(cr, 4.6, 0xFFFFFF);
    mark();
    Outline(cr, 2.2);
    mark();
    ShadedFill(cr, colour, -1, -2, 8, 0, 0.9);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alphas[frame]);
    cairo_restore(cr);
}

void DrawSpeech(cairo_t* cr, const std::string& word) {
    cairo_save(cr);
    // A rounded bubble with its tail pointing down at the speaker.
    const auto bubble = [cr]() {
        art::RoundedRect(cr, 1.5, 3, 32, 20, 7);
        cairo_new_sub_path(cr);
        Polygon(cr, {{12.5, 21.5}, {20.5, 21.5}, {14.2, 31.5}});
    };
    bubble();
    Outline(cr, 2.6, 0x2A2A3A);
    bubble();
    art::SetColour(cr, 0xFFFFFF);
    cairo_fill(cr);
    art::UseFont(cr, art::TFont::SansBold, 10.5);
    art::Text(cr, kMid, 17, word, 0x1E1E2E, art::TAlign::Centre);
    cairo_restore(cr);
}

void DrawCursor(cairo_t* cr) {
    cairo_save(cr);
    // A faint full frame, so the whole tile is marked, and bold corner brackets.
    art::RoundedRect(cr, 1, 1, 33, 33, 3);
    Outline(cr, 1.0, 0xFFFFFF);
    const double in = 2.3, arm = 9;
    for (double sx : {-1.0, 1.0})
        for (double sy : {-1.0, 1.0}) {
            const double x = sx < 0 ? in : kTileSize - in, y = sy < 0 ? in : kTileSize - in;
            cairo_move_to(cr, x, y - sy * arm);
            cairo_line_to(cr, x, y);
            cairo_line_to(cr, x - sx * arm, y);
        }
    Outline(cr, 4.4, kInk, true);
    Outline(cr, 2.3, 0xFFE04A);
    cairo_restore(cr);
}

void DrawCancel(cairo_t* cr) {
    cairo_save(cr);
    cairo_arc(cr, kMid, kMid, 14.5, 0, 2 * M_PI);
    ShadedFill(cr, 0xD8322E, kMid, kMid, 14.5);
    cairo_arc(cr, kMid, kMid, 11.8, 0, 2 * M_PI);
    Outline(cr, 1.0, 0xFFB0A8);
    cairo_move_to(cr, 11.5, 11.5);
    cairo_line_to(cr, 23.5, 23.5);
    cairo_move_to(cr, 23.5, 11.5);
    cairo_line_to(cr, 11.5, 23.5);
    Outline(cr, 5.6, kInk, true);
    Outline(cr, 3.6, 0xFFFFFF);
    cairo_restore(cr);
}

void DrawDestroy(cairo_t* cr) {
    cairo_save(cr);
    // A sign, dimmed and struck through with a red cross.
    DrawSign(cr, kUp);
    art::RoundedRect(cr, 1.5, 1.5, 32, 32, 5);
    art::SetColour(cr, kInk, 0.3);
    cairo_fill(cr);
    cairo_move_to(cr, 7.5, 7.5);
    cairo_line_to(cr, 27.5, 27.5);
    cairo_move_to(cr, 27.5, 7.5);
    cairo_line_to(cr, 7.5, 27.5);
    Outline(cr, 7.6, 0xFFFFFF, true);
    Outline(cr, 5.6, kInk, true);
    Outline(cr, 3.8, 0xE8322A);
    cairo_restore(cr);
}

void DrawGet(cairo_t* cr) {
    cairo_save(cr);
    // A steel plate with a bot's claw coming down on a brass cog.
    const uint32_t plate = 0x4A5A70;
    art::RoundedRect(cr, 1.5, 1.5, 32, 32, 5);
    RampFill(cr, plate, 1.5, 33.5, 0.25, 0.3);
    Outline(cr);
    art::RoundedRect(cr, 3.5, 3.5, 28, 28, 3.5);
    Outline(cr, 0.8, art::Lighter(plate, 0.3));

    GearPath(cr, kMid, 23.5, 7.8, 5.9, 8, 2.2, 0.15);
    ShadedFill(cr, 0xE0A93E, kMid, 23.5, 7.8);
    cairo_arc(cr, kMid, 23.5, 4.1, 0, 2 * M_PI);
    Outline(cr, 0.7, 0x9A6A1A);

    cairo_move_to(cr, kMid, 1.5);
    cairo_line_to(cr, kMid, 7);
    Outline(cr, 2.8, kInk, true);
    Outline(cr, 1.2, 0xC8CFD8);
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, kMid + side * 3, 10);
        cairo_curve_to(cr, kMid + side * 8.5, 11.5, kMid + side * 10, 16, kMid + side * 7.2, 19.5);
        cairo_line_to(cr, kMid + side * 5.4, 18.2);
        Outline(cr, 3.8, kInk, true);
        Outline(cr, 1.9, 0xC8CFD8);
    }
    art::RoundedRect(cr, kMid - 4.5, 6.3, 9, 4.6, 1.4);
    ShadedFill(cr, 0xA4ADB8, kMid, 8.6, 4.5, 1.2);
    cairo_restore(cr);
}

void DrawRedSquare(cairo_t* cr) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, kTileSize, kTileSize);
    art::SetColour(cr, 0xE02828, 0.42);
    cairo_fill(cr);
    cairo_rectangle(cr, 1, 1, kTileSize - 2, kTileSize - 2);
    cairo_set_line_width(cr, 2);
    art::SetColour(cr, 0xE02828, 0.78);
    cairo_stroke(cr);
    cairo_restore(cr);
}

namespace {

// A counter glyph: the character in bold, squeezed a little so it fills the narrow cell,
// on white. Every glyph shares the size and baseline of "0", so numbers line up.
void DrawGlyph(cairo_t* cr, const std::string& text) {
    art::SetColour(cr, 0xFFFFFF);
    cairo_paint(cr);
    art::UseFont(cr, art::TFont::SansBold, 20);
    cairo_text_extents_t zero;
    cairo_text_extents(cr, "0", &zero);
    const double sy = 15.5 / zero.height, sx = std::min(sy, 11.4 / zero.width);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_save(cr);
    cairo_translate(cr, kGlyphWidth / 2.0, kGlyphHeight / 2.0 + 15.5 / 2);
    cairo_scale(cr, sx, sy);
    cairo_move_to(cr, -(e.x_bearing + e.width / 2), 0);
    cairo_text_path(cr, text.c_str());
    art::SetColour(cr, kGlyphInk);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Facing or direction from a name's last letter: D, U, L, R.
int FacingOf(std::string_view name) {
    switch (name.back()) {
        case 'U':
            return kUp;
        case 'L':
            return kLeft;
        case 'R':
            return kRight;
        default:
            return kDown;
    }
}

int KindOf(char letter) {
    return letter == 'S' ? kS : letter == 'E' ? kE : kF;
}

// The frame number at the end of a name such as "Orb3", counted from 0.
int FrameOf(std::string_view name) {
    return name.back() - '1';
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

void DrawPicture(std::string_view name, cairo_t* cr) {
    if (name == "Tile")
        DrawTile(cr);
    else if (name == "Cursor")
        DrawCursor(cr);
    else if (StartsWith(name, "Builder_"))
        DrawBuilder(cr, FacingOf(name));
    else if (name == "Base_Floor")
        DrawBaseFloor(cr);
    else if (name == "Turret")
        DrawTurret(cr);
    else if (StartsWith(name, "Sign_"))
        DrawSign(cr, FacingOf(name));
    else if (name == "Cancel")
        DrawCancel(cr);
    else if (name == "Destroy")
        DrawDestroy(cr);
    else if (name == "Get")
        DrawGet(cr);
    else if (name == "Scrap")
        DrawScrap(cr);
    else if (name.size() == 9 && name.substr(1, 7) == "Vonkel_")
        DrawCreature(cr, KindOf(name[0]), FacingOf(name));
    else if (name.substr(1) == "VonkelTunnel")
        DrawTunnel(cr, KindOf(name[0]));
    else if (StartsWith(name, "Tree"))
        DrawTree(cr, FrameOf(name));
    else if (StartsWith(name, "Rock"))
        DrawRock(cr, FrameOf(name));
    else if (name == "Ruin1")
        DrawRuin(cr);
    else if (name.substr(1, 7) == "Exclaim")
        DrawExclaim(cr, KindOf(name[0]), FrameOf(name));
    else if (StartsWith(name, "Orb"))
        DrawOrb(cr, FrameOf(name));
    else if (StartsWith(name, "Splode"))
        DrawExplosion(cr, FrameOf(name));
    else if (StartsWith(name, "Speech"))
        DrawSpeech(cr, std::string(name.substr(6)) + "!");
    else if (name == "Trans")
        return;
    else if (name == "fof")
        DrawGlyph(cr, "/");
    else if (name.size() == 2 && name[0] == 'f')
        DrawGlyph(cr, std::string(1, name[1]));
    else if (name == "redsquare")
        DrawRedSquare(cr);
    else
        throw std::runtime_error("no drawing for catalogue picture " + std::string(name));
}

// The pictures the build and orb menus show as icons.
bool IsMenuIcon(std::string_view name) {
    return StartsWith(name, "Sign_") || name == "Get" || name == "Destroy" || name == "Builder_D";
}

bool IsGlyph(std::string_view name) {
    return name == "fof" || (name.size() == 2 && name[0] == 'f');
}

}  // namespace

void WriteCatalogue(const std::filesystem::path& dir) {
    for (std::string_view name : kCatalogueNames) {
        const bool glyph = IsGlyph(name);
        art::TCanvas c(glyph ? kGlyphWidth : kTileSize, glyph ? kGlyphHeight : kTileSize);
        DrawPicture(name, c.cr());
        art::WritePicture(dir, std::string(name), c, IsMenuIcon(name) ? kMenuSlotColour : 0);
    }
}

}  // namespace assetgen
