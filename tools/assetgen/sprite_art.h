// The board's pictures as drawing routines, so that the window pictures (splash, hatred
// pictures, menus) can show the same creatures, bots and orb at any size. Each routine draws
// one 35 × 35 tile with its top-left corner at cairo's origin; scale and translate cr to place
// it elsewhere or larger. All are vector shapes lit from the top left with dark outlines.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace assetgen {

// Creature kinds and facings, numbered as the game numbers them.
enum TKind { kF = 0, kS = 1, kE = 2 };
enum TFacing { kDown = 0, kUp = 1, kLeft = 2, kRight = 3 };

constexpr int kTileSize = 35;

// The flat colour of the icon slots in the build and orb menus. The menus get their icons as
// plain copies, without blending, so the icons store this colour under their transparent
// pixels and sit seamlessly in their slots.
constexpr uint32_t kMenuSlotColour = 0x2A3445;

// The body colour of a kind: F mint green, S blue, E dark grey.
uint32_t KindColour(int kind);

// Opaque ground pictures: the sand of the playfield and the metal plates of the base.
void DrawTile(cairo_t* cr);
void DrawBaseFloor(cairo_t* cr);

// Creatures: F a round soft blob with leaf feelers, S a spiky crystal, E a squat horned brute.
void DrawCreature(cairo_t* cr, int kind, int facing);
void DrawBuilder(cairo_t* cr, int facing);
void DrawTurret(cairo_t* cr);
void DrawOrb(cairo_t* cr, int frame);  // frame 0..3, a pulse loop
void DrawSign(cairo_t* cr, int direction);
void DrawTunnel(cairo_t* cr, int kind);
void DrawExplosion(cairo_t* cr, int frame);  // frame 0..6: flash, fireball, smoke
void DrawScrap(cairo_t* cr);

// Board objects.
void DrawTree(cairo_t* cr, int variant);  // 0 a round leafy tree, 1 a pine
void DrawRock(cairo_t* cr, int variant);  // 0 a grey boulder, 1 a cluster of red stones
void DrawRuin(cairo_t* cr);

// Effects and menu icons.
void DrawExclaim(cairo_t* cr, int kind, int frame);  // frame 0..2: bright, glowing, dim
void DrawSpeech(cairo_t* cr, const std::string& word);
void DrawCursor(cairo_t* cr);
void DrawCancel(cairo_t* cr);
void DrawDestroy(cairo_t* cr);
void DrawGet(cairo_t* cr);
void DrawRedSquare(cairo_t* cr);

}  // namespace assetgen
