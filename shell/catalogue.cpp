// The sprite catalogue: every picture the game draws as a moving or stamped object, loaded
// once at start-up, plus the fixed pictures of the window's panels.

#include "core/form1.h"

int TForm1::AddSprite(const std::string& name) {
    // Every name takes its own entry, even when its file is missing or cannot be read: an empty
    // picture then stands in its place, so that every later picture keeps its index.
    Sprites.emplace_back();
    TPicture& entry = Sprites.back();
    if (entry.LoadFromFile(assetDir + name + ".bmp")) {
        TPicture mask;
        if (mask.LoadFromFile(assetDir + name + "A.bmp")) entry.IntensityToAlpha(mask);
    }
    return int(Sprites.size()) - 1;
}

void TForm1::LoadSprites() {
    Sprites.clear();
    Sprites.reserve(kCatalogueSize);
    // Adds a group of pictures and returns the index of its first member.
    const auto group = [this](std::initializer_list<const char*> names) {
        const int first = int(Sprites.size());
        for (const char* n : names) AddSprite(n);
        return first;
    };
    sprTile = group({"Tile"});
    sprCursor = group({"Cursor"});
    sprBuilder = group({"Builder_D", "Builder_U", "Builder_L", "Builder_R"});
    sprBaseFloor = group({"Base_Floor"});
    sprTurret = group({"Turret"});
    sprSign = group({"Sign_D", "Sign_U", "Sign_L", "Sign_R"});
    sprCancel = group({"Cancel"});
    sprDestroy = group({"Destroy"});
    sprGet = group({"Get"});
    sprScrap = group({"Scrap"});
    sprSVonkel = group({"SVonkel_D", "SVonkel_U", "SVonkel_L", "SVonkel_R"});
    sprFVonkel = group({"FVonkel_D", "FVonkel_U", "FVonkel_L", "FVonkel_R"});
    sprEVonkel = group({"EVonkel_D", "EVonkel_U", "EVonkel_L", "EVonkel_R"});
    sprSTunnel = group({"SVonkelTunnel"});
    sprETunnel = group({"EVonkelTunnel"});
    sprFTunnel = group({"FVonkelTunnel"});
    sprTree = group({"Tree1", "Tree2"});
    sprRock = group({"Rock1", "Rock2"});
    sprRuin = group({"Ruin1"});
    sprFExclaim = group({"FExclaim1", "FExclaim2", "FExclaim3"});
    sprSExclaim = group({"SExclaim1", "SExclaim2", "SExclaim3"});
    sprEExclaim = group({"EExclaim1", "EExclaim2", "EExclaim3"});
    sprOrb = group({"Orb1", "Orb2", "Orb3", "Orb4"});
    sprSplode =
        group({"Splode1", "Splode2", "Splode3", "Splode4", "Splode5", "Splode6", "Splode7"});
    sprSpeechVon = group({"SpeechVon"});
    sprSpeechKel = group({"SpeechKel"});
    sprTrans = group({"Trans"});
    const int digits = group({"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "fof"});
    for (int d = 0; d < 10; ++d) sprDigit[size_t(d)] = digits + d;
    sprRedSquare = group({"redsquare"});

    // The fixed pictures of the window; a missing file leaves its control as it was.
    if (MenuImg->LoadBitmap(assetDir + "menuframe.bmp")) {
        MenuImg->AutoSize = false;
        const struct {
            int sprite, x, y;
        } icons[] = {{sprSign + 0, 3, 17},  {sprSign + 1, 44, 17}, {sprSign + 2, 3, 58},
                     {sprSign + 3, 44, 58}, {sprGet, 3, 99},       {sprDestroy, 44, 99}};
        for (const auto& icon : icons)
            Sprites[size_t(icon.sprite)].DrawTo(MenuImg->Bitmap(), icon.x, icon.y);
    }
    if (OrbMenuImg->LoadBitmap(assetDir + "orbmenuframe.bmp")) {
        OrbMenuImg->AutoSize = false;
        Sprites[size_t(sprBuilder)].DrawTo(OrbMenuImg->Bitmap(), 24, 16);
    }
    imScrap->LoadPicture(assetDir + "ScrapCount.bmp");
    imSigns->LoadPicture(assetDir + "SignCount.bmp");
    imSplash->LoadPicture(assetDir + "splash.bmp");
    imGOBot->LoadPicture(assetDir + "gameoverbottom.bmp");
    // The right band shows the left band's picture, not mirrored.
    if (imGOL->LoadPicture(assetDir + "gameoverleft.bmp")) {
        TPicture copy;
        copy.Assign(imGOL->Picture());
        imGOR->SetPicture(std::move(copy));
    }
    imGOTop->LoadPicture(assetDir + "gameovertop.bmp");
    imEnd->LoadPicture(assetDir + "endtext.bmp");
    imStart->LoadPicture(assetDir + "starttext.bmp");
}
