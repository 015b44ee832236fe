// The board: background, base, turrets, orb, board objects, tunnels, the first bot and the
// cursors, built once behind the splash screen and again for every new game.
#include <algorithm>
#include <array>

#include "core/form1.h"

namespace {

// The background is painted one tile beyond the playfield's 20 x 20, which the bitmap clips.
constexpr int kBackgroundTiles = 21;
// Board objects stand on columns and rows 0..18: never on the tunnel row or the last column.
constexpr int kLayoutTiles = 19;
constexpr int kBoardObjectsPerNewGame = 21;

struct TTile {
    int x, y;
};
// The six base tiles, in slot order. Slot 1 carries the orb, slot 4 is where bots start,
// the other four carry turrets.
constexpr std::array<TTile, 6> kBaseTiles{{{8, 0}, {9, 0}, {10, 0}, {8, 1}, {9, 1}, {10, 1}}};
constexpr std::array<int, 4> kTurretSlots{0, 2, 3, 5};
constexpr int kOrbSlot = 1;

}  // namespace

void TForm1::ResetSoundTimes() {
    soundNextTick.fill(0);
}

void TForm1::PaintBackground() {
    const TPicture& tile = CataloguePicture(sprTile);
    for (int i = 0; i < kBackgroundTiles; ++i)
        for (int j = 0; j < kBackgroundTiles; ++j)
            tile.DrawTo(Playfield->Bitmap(), kTileSize * i, kTileSize * j);
}

// A base tile is an invisible place marker: its floor is painted into the background.
void TForm1::BuildBaseTile(int n) {
    baseTiles[size_t(n)] = std::make_unique<TSprite>(*Playfield);
    TSprite& tile = *baseTiles[size_t(n)];
    tile.slot = n;
    tile.SetTileX(kBaseTiles[size_t(n)].x);
    tile.SetTileY(kBaseTiles[size_t(n)].y);
    CataloguePicture(sprBaseFloor)
        .DrawTo(Playfield->Bitmap(), kTileSize * tile.tileX, kTileSize * tile.tileY);
    SetSpritePicture(tile, sprTrans);
    tile.visible = false;
    tile.Redraw();
}

void TForm1::AddTurret(int tileX, int tileY) {
    lstTurrets.push_back(std::make_unique<TSign>(*Playfield));
    TSign& turret = *lstTurrets.back();
    SetSpritePicture(turret, sprTurret);
    turret.health = settings.TURRETHEALTH;
    turret.SetTileX(tileX);
    turret.SetTileY(tileY);
    turret.Redraw();
}

void TForm1::AddBaseTurrets() {
    for (int slot : kTurretSlots) {
        const TSprite& base = *baseTiles[size_t(slot)];
        AddTurret(base.tileX, base.tileY);
        lstTurrets.back()->isTurret = true;
    }
}

// The four turrets and the orb on the base.
void TForm1::BuildDefences() {
    AddBaseTurrets();
    const TSprite& orbTile = *baseTiles[kOrbSlot];
    AddEffect(orbTile.tileX, orbTile.tileY, sprOrb, 4, kPermanentLife, 255);
    orb = lstEffects.back().get();
    orb->health = settings.BASEORBHEALTH;
    for (TPanel* panel : {pnlCash, pnlSigns, pnlHated}) panel->SetDoubleBuffered(true);
}

void TForm1::LayOutBoardObjects(int count) {
    // Tiles no new board object may take: the base and every object laid out before.
    std::array<std::array<bool, kLayoutTiles>, kLayoutTiles> taken{};
    int free = kLayoutTiles * kLayoutTiles;
    auto take = [&](int x, int y) {
        if (x < 0 || x >= kLayoutTiles || y < 0 || y >= kLayoutTiles) return;
        if (!taken[size_t(x)][size_t(y)]) --free;
        taken[size_t(x)][size_t(y)] = true;
    };
    for (const auto& base : baseTiles) take(base->tileX, base->tileY);
    for (const auto& object : lstScrap) take(object->tileX, object->tileY);

    static constexpr const char* kPictures[] = {"Tree1", "Tree2", "Rock1", "Rock2", "Ruin1"};
    // Drawing tiles until one is free would never end on a full board, so lay out only as many
    // as there are free tiles.
    for (int n = 0; n < count && free > 0; ++n) {
        lstScrap.push_back(std::make_unique<TSprite>(*Playfield));
        TSprite& object = *lstScrap.back();
        object.kind = random.RandomInt(0, 4);
        SetSpritePicture(object, CatalogueIndex(kPictures[object.kind]));
        object.gatherable = object.kind >= 2;  // rocks and the ruin; trees are not
        object.id = ++nextId;
        do {
            object.SetTileX(random.RandomInt(0, kLayoutTiles - 1));
            object.SetTileY(random.RandomInt(0, kLayoutTiles - 1));
        } while (taken[size_t(object.tileX)][size_t(object.tileY)]);
        take(object.tileX, object.tileY);
        object.Redraw();
    }
}

void TForm1::BuildSpawners() {
    const struct {
        TSpawner& spawner;
        int kind, tunnelSprite, tileX, tileY, emergeEvery;
    } tunnels[] = {
        {spawnE, 2, sprETunnel, 1, 19, settings.EVONKELBASEEMERGE},
        {spawnS, 1, sprSTunnel, 10, 19, settings.SVONKELBASEEMERGE},
        {spawnF, 0, sprFTunnel, 18, 19, settings.FVONKELBASEEMERGE},
    };
    for (const auto& t : tunnels) {
        TSpawner& s = t.spawner;
        s.kind = t.kind;
        s.tunnelSprite = t.tunnelSprite;
        s.tileX = t.tileX;
        s.tileY = t.tileY;
        AddEffect(s.tileX, s.tileY, s.tunnelSprite, 1, kPermanentLife, 255);
        s.tunnel = lstEffects.back().get();
        s.counter = 0;
        s.emergeEvery = t.emergeEvery;
    }
}

// The three cursors are made once and kept across games; each new board puts them back on
// tile (0, 0), in front of its trees, rocks, bots and tunnels. The tile cursor shows again even
// when the last game ended with a menu open.
void TForm1::PlaceCursors() {
    if (!cursor) {
        cursor = std::make_unique<TSprite>(*Playfield);
        menuCursor = std::make_unique<TSprite>(*MenuImg);
        menuCursor->inBuildMenu = true;
        orbMenuCursor = std::make_unique<TSprite>(*OrbMenuImg);
        orbMenuCursor->inOrbMenu = true;
    }
    cursor->visible = true;
    for (TSprite* c : {cursor.get(), menuCursor.get(), orbMenuCursor.get()}) {
        SetSpritePicture(*c, sprCursor);
        c->SetTileX(0);
        c->SetTileY(0);
        c->Redraw();
        // Above everything of the fresh board, as on the first one.
        c->layer->BringToFront();
    }
}

void TForm1::BuildBoard() {
    // NUMSTARTRES + 1 objects (none when it is negative); more than there are tiles would not
    // fit anyway, which also keeps the count clear of overflow.
    LayOutBoard(
        int(std::min<int64_t>(int64_t(settings.NUMSTARTRES) + 1, kLayoutTiles * kLayoutTiles)));
}

void TForm1::LayOutBoard(int boardObjects) {
    PaintBackground();
    for (int n = 0; n < int(kBaseTiles.size()); ++n) BuildBaseTile(n);
    BuildDefences();
    LayOutBoardObjects(boardObjects);
    BuildSpawners();
    NewBot();
    DrawSignCounter();
    PlaceCursors();
}

void TForm1::FreeGameObjects() {
    FreeAll(lstBots);
    FreeAll(lstVonkels);
    FreeAll(lstSigns);
    FreeAll(lstOrders);
    FreeAll(lstScrap);
    FreeAll(lstEffects);
    FreeAll(lstKillBeams);
    FreeAll(lstTurrets);
    // These pointed into lstEffects.
    orb = nullptr;
    for (TSpawner* s : {&spawnS, &spawnF, &spawnE}) s->tunnel = nullptr;
}

void TForm1::NewGame() {
    ResetSoundTimes();
    FreeGameObjects();
    Randomize();
    cash = 50;
    score = 0;
    DrawCounter(*imScore, "0");
    gameOver = false;
    // A warning still flashing when the orb fell belongs to that game: the fresh board starts
    // with the three frames down and their counts at 0, so no hatred turns without its warning.
    for (TShape* frame : {spNoCash, spTooManySigns, spHatred}) {
        frame->Hide();
        frame->Tag = 0;
    }
    hatred = 1;
    SetHatred();
    DrawCounter(*imScrapCt, std::to_string(cash));
    musicTrack = 0;  // the caller has restarted the title music
    // Every later board has the same number of objects, whatever the settings say. The old
    // base tiles and their layers go as the new ones take their places.
    LayOutBoard(kBoardObjectsPerNewGame);
}
