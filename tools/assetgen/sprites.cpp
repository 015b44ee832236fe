// The 71 catalogue pictures. (Placeholder shapes; the real art follows.)
#include <string>

#include "shell/catalogue_names.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/sprite_art.h"

namespace assetgen {

uint32_t KindColour(int kind) {
    static const uint32_t colours[] = {0x78F5B9, 0x0000F5, 0x4B4B4B};
    return colours[kind];
}

namespace {
void Blob(cairo_t* cr, uint32_t c) {
    art::Ellipse(cr, 17.5, 17.5, 14, 14);
    art::FillAndOutline(cr, c, 0x202020, 2);
}
}  // namespace

void DrawTile(cairo_t* cr) {
    art::SetColour(cr, 0x6E8B5A);
    cairo_rectangle(cr, 0, 0, kTileSize, kTileSize);
    cairo_fill(cr);
}
void DrawBaseFloor(cairo_t* cr) {
    art::SetColour(cr, 0x8A8F99);
    cairo_rectangle(cr, 0, 0, kTileSize, kTileSize);
    cairo_fill(cr);
}
void DrawCreature(cairo_t* cr, int kind, int) {
    Blob(cr, KindColour(kind));
}
void DrawBuilder(cairo_t* cr, int) {
    Blob(cr, 0xE0A030);
}
void DrawTurret(cairo_t* cr) {
    Blob(cr, 0x707070);
}
void DrawOrb(cairo_t* cr, int) {
    Blob(cr, 0xC060FF);
}
void DrawSign(cairo_t* cr, int) {
    Blob(cr, 0xF0E0A0);
}
void DrawTunnel(cairo_t* cr, int kind) {
    Blob(cr, KindColour(kind));
}
void DrawExplosion(cairo_t* cr, int) {
    Blob(cr, 0xFF8020);
}
void DrawScrap(cairo_t* cr) {
    Blob(cr, 0x909090);
}

void WriteCatalogue(const std::filesystem::path& dir) {
    for (std::string_view name : kCatalogueNames) {
        art::TCanvas c(kTileSize, kTileSize);
        if (name == "Tile")
            DrawTile(c.cr());
        else
            Blob(c.cr(), 0x999999);
        art::WritePicture(dir, std::string(name), c);
    }
}

}  // namespace assetgen
