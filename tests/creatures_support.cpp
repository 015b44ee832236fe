#include "tests/creatures_test.h"

TCreatureGame::TCreatureGame(const std::string& settings) {
    // The first of a key's lines counts, so the test's own come first.
    h = std::make_unique<THarness>(
        dir.WithSettings(settings + "\nDEBUG=1\nINITDELAY=2000000000\nVONKELEMERGESWAP=0\n"));
    h->StartPlay();
}

TVonkel& TCreatureGame::Place(int kind, int x, int y) {
    return PlaceVonkel(f(), kind, x, y);
}

bool TCreatureGame::Shows(const TVonkel& v, int facing) {
    return bool(SamePixels(v.layer->Bitmap(), f().Sprites[size_t(v.spriteBase + facing)]));
}
