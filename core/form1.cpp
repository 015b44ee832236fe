#include "core/form1.h"

#include "shell/user_files.h"

TForm1::TForm1(TPlatform& platform, const TSettings* settings)
    : TForm(platform, kClientWidth, kClientHeight), givenSettings(settings) {
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
    settings =
        givenSettings
            ? *givenSettings
            : ReadSettingsText(ReadSettingsFile(SettingsPath(assetDir, Platform().configDir)));

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
