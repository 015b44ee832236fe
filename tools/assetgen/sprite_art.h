// The board's pictures as drawing routines, so that the window pictures (splash, hatred
// pictures, menus) can show the same creatures, bots and orb at any size. Each routine draws
// one 35 × 35 tile with its top-left corner at cairo's origin; scale and translate cr to place
// it elsewhere or larger.
#pragma once

#include <cairo.h>

#include <cstdint>

namespace assetgen {

// Creature kinds and facings, numbered as the game numbers them.
enum TKind { kF = 0, kS = 1, kE = 2 };
enum TFacing { kDown = 0, kUp = 1, kLeft = 2, kRight = 3 };

constexpr int kTileSize = 35;

// The body colour of a kind: F mint green, S blue, E dark grey.
uint32_t KindColour(int kind);

void DrawTile(cairo_t* cr);
void DrawBaseFloor(cairo_t* cr);
void DrawCreature(cairo_t* cr, int kind, int facing);
void DrawBuilder(cairo_t* cr, int facing);
void DrawTurret(cairo_t* cr);
void DrawOrb(cairo_t* cr, int frame);  // frame 0..3
void DrawSign(cairo_t* cr, int direction);
void DrawTunnel(cairo_t* cr, int kind);
void DrawExplosion(cairo_t* cr, int frame);  // frame 0..6
void DrawScrap(cairo_t* cr);

}  // namespace assetgen
