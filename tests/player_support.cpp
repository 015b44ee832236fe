#include "tests/player_test.h"

namespace {

// A point inside each item's picture, in menu pixels.
struct TItemPoint {
    int item, x, y;
};
constexpr TItemPoint kItemPoints[] = {{kSignDown, 20, 35},  {kSignUp, 60, 35}, {kSignLeft, 20, 75},
                                      {kSignRight, 60, 75}, {kGet, 20, 115},   {kDestroy, 60, 115}};

}  // namespace

TPlayerGame::TPlayerGame(const std::string& settings) {
    h = std::make_unique<THarness>(dir.WithSettings(settings + "\nINITDELAY=2000000000\n"));
    h->StartPlay();
    h->audio.log.clear();
}

void TPlayerGame::ClickTile(int x, int y, TMouseButton button) {
    h->Click(TileCentreX(x), TileCentreY(y), button);
}

void TPlayerGame::Choose(int item) {
    for (const TItemPoint& p : kItemPoints)
        if (p.item == item) h->Click(f().MenuImg->Left() + p.x, f().MenuImg->Top() + p.y);
}

void TPlayerGame::Order(int x, int y, int item) {
    ClickTile(x, y);
    Choose(item);
}

void TPlayerGame::ClickOrbMenu(int x, int y) {
    h->Click(f().OrbMenuImg->Left() + x, f().OrbMenuImg->Top() + y);
}

std::vector<std::string> TPlayerGame::TakeSounds() {
    std::vector<std::string> sounds;
    for (const std::string& line : h->audio.log)
        if (line.rfind("sound ", 0) == 0) sounds.push_back(line.substr(6, line.size() - 10));
    h->audio.log.clear();
    return sounds;
}

std::string TPlayerGame::CounterText(TLayeredImage& counter) {
    std::string text;
    for (int i = 0; i < counter.LayerCount(); ++i) {
        char c = '?';
        for (int g = 0; g <= 10; ++g)
            if (SamePixels(counter.Layer(i).Bitmap(), f().Sprites[size_t(f().sprDigit[0] + g)]))
                c = g == 10 ? '/' : char('0' + g);
        text += c;
    }
    return text;
}

int TPlayerGame::MarkersOn(int x, int y) const {
    int n = 0;
    for (const auto& e : h->Form().lstEffects)
        if (e->menuMarker && e->tileX == x && e->tileY == y) ++n;
    return n;
}

int TPlayerGame::Markers() const {
    int n = 0;
    for (const auto& e : h->Form().lstEffects) n += e->menuMarker;
    return n;
}

TSprite& TPlayerGame::PutObject(int kind, int x, int y) {
    static constexpr const char* kPictures[] = {"Tree1", "Tree2", "Rock1", "Rock2", "Ruin1"};
    f().lstScrap.push_back(std::make_unique<TSprite>(*f().Playfield));
    TSprite& object = *f().lstScrap.back();
    object.kind = kind;
    f().SetSpritePicture(object, CatalogueIndex(kPictures[kind]));
    object.gatherable = kind >= 2;
    object.id = ++f().nextId;
    object.SetTileX(x);
    object.SetTileY(y);
    object.Redraw();
    return object;
}

TVonkel& TPlayerGame::PutCreature(int x, int y) {
    return PlaceVonkel(f(), 1, x, y);
}
