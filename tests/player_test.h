// Shared by the tests of the player's hand: a game in play with no creatures about, driven
// through the window's mouse the way the player drives it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/harness.h"

// The build menu's items by their tags.
enum TMenuItem {
    kSignDown = 0,
    kSignUp = 1,
    kSignLeft = 2,
    kSignRight = 3,
    kGet = 5,
    kDestroy = 1000
};

class TPlayerGame {
public:
    // Play started, no creature coming out for the length of any test, plus any further
    // settings lines (the first line of a key counts).
    explicit TPlayerGame(const std::string& settings = "");
    TForm1& f() { return h->Form(); }

    // Window coordinates of the middle of a playfield tile.
    static int TileCentreX(int x) { return 9 + 35 * x + 17; }
    static int TileCentreY(int y) { return 9 + 35 * y + 17; }
    // A click on a tile: it opens a menu there, or closes the open one.
    void ClickTile(int x, int y, TMouseButton button = TMouseButton::Left);
    // Points at an item of the open build menu and clicks it.
    void Choose(int item);
    // A whole order: the build menu opened on the tile, the item chosen.
    void Order(int x, int y, int item);
    // A click on the open orb menu at (x, y) of the menu.
    void ClickOrbMenu(int x = 40, int y = 27);

    // The sounds played since the last call ("menuopen", ...).
    std::vector<std::string> TakeSounds();
    // The text a counter shows, read back from its glyphs ("?" for a glyph that is none).
    std::string CounterText(TLayeredImage& counter);
    // Number of no-build markers on a tile.
    int MarkersOn(int x, int y) const;
    int Markers() const;
    // A board object of `kind` (0, 1 trees, 2, 3 rocks, 4 ruin) on a tile, made the way the
    // board makes one.
    TSprite& PutObject(int kind, int x, int y);
    // A creature standing on a tile.
    TVonkel& PutCreature(int x, int y);
    int SignAlpha(int index) { return f().lstSigns[size_t(index)]->layer->Bitmap().MasterAlpha(); }
    void Tick(int n = 1) { h->Ticks(n); }

    TTempAssets dir;
    std::unique_ptr<THarness> h;
};
