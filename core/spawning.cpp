// Creatures come out of their tunnels, each kind at its own steady rate counted in ticks.
#include "core/form1.h"

namespace {

// A colour as one integer: red in the lowest byte, then green, then blue.
constexpr int PackColour(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

// What sets the kinds apart when they are born: their pictures, their beam colour, their pace
// and how far they first march up.
struct TKindValues {
    int spriteBase, colour, speed, forceY;
};

TKindValues KindValues(const TForm1& game, int kind) {
    const TSettings& s = game.settings;
    switch (kind) {
        case 0:  // F
            return {game.sprFVonkel, PackColour(120, 245, 185), s.FVONKELBASESPEED,
                    s.FVONKELFORCEY};
        case 1:  // S
            return {game.sprSVonkel, PackColour(0, 0, 245), s.SVONKELBASESPEED, s.SVONKELFORCEY};
        default:  // E
            return {game.sprEVonkel, PackColour(75, 75, 75), s.EVONKELBASESPEED, s.EVONKELFORCEY};
    }
}

// Every creature first heads for the tile in front of the orb.
constexpr int kFirstDestX = 9, kFirstDestY = 1;

}  // namespace

void TForm1::RunSpawners() {
    if (settings.DEBUG != 0 && dbgNoSpawn) return;
    // Creatures born in the same tick join the list in this order.
    SpawnFrom(spawnE);
    SpawnFrom(spawnS);
    SpawnFrom(spawnF);
}

void TForm1::SpawnFrom(TSpawner& spawner) {
    ++spawner.counter;
    if (spawner.counter <= spawner.emergeEvery) return;
    spawner.counter = 0;

    lstVonkels.push_back(std::make_unique<TVonkel>(*Playfield));
    TVonkel& vonkel = *lstVonkels.back();
    vonkel.id = ++nextId;
    vonkel.vonkelKind = spawner.kind;
    const TKindValues values = KindValues(*this, spawner.kind);
    vonkel.spriteBase = values.spriteBase;
    vonkel.colour = values.colour;
    vonkel.speed = values.speed;
    vonkel.forceY = values.forceY;
    SetSpritePicture(vonkel, vonkel.spriteBase);  // facing down
    vonkel.health = settings.BASEVONKELHEALTH;
    // It stands on the tile just above its tunnel.
    vonkel.SetTileX(spawner.tileX);
    vonkel.SetTileY(spawner.tileY - 1);
    vonkel.lookBegun = false;
    vonkel.forceX = 0;
    vonkel.destX = kFirstDestX;
    vonkel.destY = kFirstDestY;
    vonkel.Redraw();  // on its tile at once: it does not glide yet
    // The tunnel is stamped into the background as well; it stays there until the next board.
    CataloguePicture(spawner.tunnelSprite)
        .DrawTo(Playfield->Bitmap(), kTileSize * spawner.tileX, kTileSize * spawner.tileY,
                TDrawMode::Blend);
    vonkel.glides = true;
}
