#include "core/form1.h"

TForm1::TForm1(TPlatform& platform) : TForm(platform, kClientWidth, kClientHeight) {
    SetCaption(kApplicationTitle);
    CreateControls();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::Randomize() {
    random.Seed(Platform().clock.RandomSeed());
}

void TForm1::FormCreate() {
    assetDir = Platform().exeDir;
    if (assetDir.empty() || assetDir.back() != '/') assetDir += '/';
    assetDir += "Assets/";

    // The object lists exist from construction on, empty.
    Randomize();
    cash = 50;
    score = 0;
    LoadSprites();
    musicOn = true;
    soundOn = true;
    settings = ReadSettings(assetDir + "settings.ini");

    if (settings.DEBUG != 0) {
        SetColor(clMaroon);
        memDbg->Show();
    }

    gameOver = false;
    pnlGameOver->SetColor(clBlack);
    pnlSplash->SetColor(clBlack);
    pnlSplash->Show();
    PaintBox1->Show();
    PaintBox2->Show();
    tmrDiv->SetEnabled(true);

    soundNextTick.fill(0);
    hatred = 1;  // its picture joins here with the hatred meter

    Playfield->Bitmap().SetSize(Pane->Width(), Pane->Height());
    imScrapCt->Bitmap().SetSize(imScrapCt->Width(), imScrapCt->Height());
    // The cash and score counters are drawn here once the counters exist.

    musicTrack = 0;  // the title music starts here once the music rules exist
    BuildBoard();
}

void TForm1::BuildBoard() {
    // The board (background, base, turrets, orb, board objects, tunnels, the first bot and the
    // cursors) is laid out here once the sprites and the board rules exist.
}

void TForm1::FormDestroy() {
    // Free every game object before the controls their layers live on.
    FreeAll(lstBots);
    FreeAll(lstVonkels);
    FreeAll(lstSigns);
    FreeAll(lstOrders);
    FreeAll(lstScrap);
    FreeAll(lstEffects);
    FreeAll(lstKillBeams);
    FreeAll(lstTurrets);
    for (auto& tile : baseTiles) tile.reset();
    cursor.reset();
    menuCursor.reset();
    orbMenuCursor.reset();
    orb = nullptr;
    lstDebug.clear();
}
