// The sprite catalogue: every picture the game draws as a moving or stamped object, loaded
// once at start-up, plus the fixed pictures of the window's panels.

#include "core/form1.h"

int TForm1::AddSprite(const std::string& name) {
    // Every name takes its own entry, even when its file is missing or cannot be read: an empty
    // picture then stands in its place, so that every later picture keeps its index.
    Sprites.emplace_back();
    TPicture& entry = Sprites.back();
    const std::string path = assetDir + name + ".bmp";
    TLoadedPictures* const kept = Platform().pictures;
    if (kept) {
        if (const auto it = kept->find(path); it != kept->end()) {
            entry.Assign(it->second);
            return int(Sprites.size()) - 1;
        }
    }
    if (entry.LoadFromFile(Platform().files, path)) {
        TPicture mask;
        if (mask.LoadFromFile(Platform().files, assetDir + name + "A.bmp"))
            entry.IntensityToAlpha(mask);
    }
    if (kept) kept->emplace(path, TPicture()).first->second.Assign(entry);
    return int(Sprites.size()) - 1;
}

void TForm1::LoadSprites() {
    Sprites.clear();
    Sprites.reserve(kCatalogueNames.size());
    for (std::string_view name : kCatalogueNames) AddSprite(std::string(name));
    // Each index field names the first picture of its group.
    sprTile = CatalogueIndex("Tile");
    sprCursor = CatalogueIndex("Cursor");
    sprBuilder = CatalogueIndex("Builder_D");
    sprBaseFloor = CatalogueIndex("Base_Floor");
    sprTurret = CatalogueIndex("Turret");
    sprSign = CatalogueIndex("Sign_D");
    sprCancel = CatalogueIndex("Cancel");
    sprDestroy = CatalogueIndex("Destroy");
    sprGet = CatalogueIndex("Get");
    sprScrap = CatalogueIndex("Scrap");
    sprSVonkel = CatalogueIndex("SVonkel_D");
    sprFVonkel = CatalogueIndex("FVonkel_D");
    sprEVonkel = CatalogueIndex("EVonkel_D");
    sprSTunnel = CatalogueIndex("SVonkelTunnel");
    sprETunnel = CatalogueIndex("EVonkelTunnel");
    sprFTunnel = CatalogueIndex("FVonkelTunnel");
    sprTree = CatalogueIndex("Tree1");
    sprRock = CatalogueIndex("Rock1");
    sprRuin = CatalogueIndex("Ruin1");
    sprFExclaim = CatalogueIndex("FExclaim1");
    sprSExclaim = CatalogueIndex("SExclaim1");
    sprEExclaim = CatalogueIndex("EExclaim1");
    sprOrb = CatalogueIndex("Orb1");
    sprSplode = CatalogueIndex("Splode1");
    sprSpeechVon = CatalogueIndex("SpeechVon");
    sprSpeechKel = CatalogueIndex("SpeechKel");
    sprTrans = CatalogueIndex("Trans");
    for (int d = 0; d < 10; ++d) sprDigit[size_t(d)] = CatalogueIndex("f0") + d;  // "fof" follows
    sprRedSquare = CatalogueIndex("redsquare");

    // The fixed pictures of the window; a missing file leaves its control as it was.
    if (MenuImg->LoadBitmap(Platform().files, assetDir + "menuframe.bmp")) {
        MenuImg->AutoSize = false;
        const struct {
            int sprite, x, y;
        } icons[] = {{sprSign + 0, 3, 17},  {sprSign + 1, 44, 17}, {sprSign + 2, 3, 58},
                     {sprSign + 3, 44, 58}, {sprGet, 3, 99},       {sprDestroy, 44, 99}};
        for (const auto& icon : icons)
            Sprites[size_t(icon.sprite)].DrawTo(MenuImg->Bitmap(), icon.x, icon.y);
    }
    if (OrbMenuImg->LoadBitmap(Platform().files, assetDir + "orbmenuframe.bmp")) {
        OrbMenuImg->AutoSize = false;
        Sprites[size_t(sprBuilder)].DrawTo(OrbMenuImg->Bitmap(), 24, 16);
    }
    imScrap->LoadPicture(Platform().files, assetDir + "ScrapCount.bmp");
    imSigns->LoadPicture(Platform().files, assetDir + "SignCount.bmp");
    imSplash->LoadPicture(Platform().files, assetDir + "splash.bmp");
    imGOBot->LoadPicture(Platform().files, assetDir + "gameoverbottom.bmp");
    // The right band shows the left band's picture, not mirrored.
    if (imGOL->LoadPicture(Platform().files, assetDir + "gameoverleft.bmp")) {
        TPicture copy;
        copy.Assign(imGOL->Picture());
        imGOR->SetPicture(std::move(copy));
    }
    imGOTop->LoadPicture(Platform().files, assetDir + "gameovertop.bmp");
    imEnd->LoadPicture(Platform().files, assetDir + "endtext.bmp");
    imStart->LoadPicture(Platform().files, assetDir + "starttext.bmp");
}
