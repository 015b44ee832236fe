#include "core/form1.h"

TForm1::TForm1(TPlatform& platform, const TSettings& settings)
    : TForm(platform, kClientWidth, kClientHeight), givenSettings(&settings) {
    SetCaption(kApplicationTitle);
    CreateControls();
    BindEvents();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::Randomize() {
    random.Seed(Platform().clock.RandomSeed());
}

std::string TForm1::AssetDirOf(const std::string& exeDir) {
    std::string dir = exeDir;
    if (dir.empty() || (dir.back() != '/' && dir.back() != '\\')) dir += '/';
    return dir + "Assets/";
}

void TForm1::FormCreate() {
    assetDir = AssetDirOf(Platform().exeDir);

    // The object lists exist from construction on, empty.
    Randomize();
    cash = 50;
    score = 0;
    LoadSprites();
    musicOn = true;
    soundOn = true;
    // Read from settings.ini by whoever makes the game, before it is made.
    settings = *givenSettings;
    givenSettings = nullptr;

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

    ResetSoundTimes();
    hatred = 1;
    SetHatred();

    Playfield->Bitmap().SetSize(Pane->Width(), Pane->Height());
    imScrapCt->Bitmap().SetSize(imScrapCt->Width(), imScrapCt->Height());
    DrawCounter(*imScrapCt, std::to_string(cash));
    DrawCounter(*imScore, std::to_string(score));

    StartTitleMusic();
    BuildBoard();
}

void TForm1::FormDestroy() {
    if (settings.DEBUG != 0) SaveDebugLog();
    lstDebug.clear();
    // Free every game object before the controls their layers live on.
    FreeGameObjects();
    for (auto& tile : baseTiles) tile.reset();
    cursor.reset();
    menuCursor.reset();
    orbMenuCursor.reset();
}
