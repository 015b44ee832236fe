// The window layout: every control at its place, size and stacking, as the window is created.
#include "core/form1.h"
#include "toolkit/builtin_art.h"

void TForm1::CreateControls() {
    // Play area: four 700 x 700 panels, from the bottom up.
    pnlPause = Add<TPanel>("pnlPause", 8, 8, 700, 700, clBlack, false);
    pnlPause->Hide();
    Image3 = pnlPause->Add<TImage>("Image3", 1, 1, 698, 698);
    Image3->Center = true;
    Image3->SetPicture(PausedPicture());

    Pane = Add<TPanel>("Pane", 8, 8, 700, 700, clBtnFace, true);
    Playfield = Pane->Add<TLayeredImage>("Playfield", 1, 1, 698, 698);

    Buttons[0] = Add<TButton>("Button1", 712, 488, 75, 25, "Button1");
    MenuImg = Add<TLayeredImage>("MenuImg", 792, 488, 152, 192);
    MenuImg->AutoSize = true;
    MenuImg->Hide();
    Buttons[1] = Add<TButton>("Button2", 712, 520, 75, 25, "Button2");
    BGM = Add<TMediaPlayer>("BGM", 720, 560, 253, 30, Platform().audio, 0);
    BGM->Hide();
    for (int i = 2; i < 7; ++i) {
        const std::string name = "Button" + std::to_string(i + 1);
        Buttons[size_t(i)] = Add<TButton>(name, 712, 488 + 32 * i, 75, 25, name);
    }
    for (TButton* b : Buttons) b->Hide();

    // Right column: white panels.
    pnlCash = Add<TPanel>("pnlCash", 712, 64, 185, 52, clWhite, true);
    imScrap = pnlCash->Add<TImage>("imScrap", 8, 8, 35, 35);
    imScrapCt = pnlCash->Add<TLayeredImage>("imScrapCt", 48, 16, 129, 20);
    spNoCash = pnlCash->Add<TShape>("spNoCash", 0, 0, 185, 51, clRed, 5);
    spNoCash->Hide();

    pnlSigns = Add<TPanel>("pnlSigns", 712, 120, 185, 52, clWhite, true);
    imSigns = pnlSigns->Add<TImage>("imSigns", 8, 8, 35, 35);
    imSignsCt = pnlSigns->Add<TLayeredImage>("imSignsCt", 48, 16, 129, 20);
    spTooManySigns = pnlSigns->Add<TShape>("spTooManySigns", 0, 0, 185, 51, clRed, 5);
    spTooManySigns->Hide();

    OrbMenuImg = Add<TLayeredImage>("OrbMenuImg", 792, 488, 82, 54);
    OrbMenuImg->AutoSize = true;
    OrbMenuImg->Hide();

    pnlGameOver = Add<TPanel>("pnlGameOver", 8, 8, 700, 700, clBlack, false);
    pnlGameOver->Hide();
    imEnd = pnlGameOver->Add<TImage>("imEnd", 80, 569, 550, 450);
    imEnd->AutoSize = true;
    imGOTop = pnlGameOver->Add<TImage>("imGOTop", 0, 0, 700, 101);
    imGOR = pnlGameOver->Add<TImage>("imGOR", 650, 101, 50, 499);
    imGOBot = pnlGameOver->Add<TImage>("imGOBot", 0, 600, 700, 100);
    imGOBot->Stretch = true;
    imGOL = pnlGameOver->Add<TImage>("imGOL", 0, 101, 50, 499);
    PaintBox1 = pnlGameOver->Add<TPaintBox>("PaintBox1", 0, 0, 700, 700);

    BGMGO = Add<TMediaPlayer>("BGMGO", 720, 560, 253, 30, Platform().audio, 1);
    BGMGO->Hide();

    pnlSplash = Add<TPanel>("pnlSplash", 8, 8, 700, 700, clBlack, false);
    imStart = pnlSplash->Add<TImage>("imStart", 48, 680, 600, 600);
    imSplash = pnlSplash->Add<TImage>("imSplash", 0, 0, 700, 700);
    PaintBox2 = pnlSplash->Add<TPaintBox>("PaintBox2", 0, 0, 700, 7000);

    pnlHated = Add<TPanel>("pnlHated", 712, 176, 185, 201, clWhite, true);
    imHatred = pnlHated->Add<TLayeredImage>("imHatred", 40, 13, 100, 172);
    imHatred->SetColor(clWhite);
    spHatred = pnlHated->Add<TShape>("spHatred", 0, 0, 185, 201, clRed, 5);
    spHatred->Hide();

    Panel1 = Add<TPanel>("Panel1", 712, 506, 185, 201, clWhite, true);
    Image1 = Panel1->Add<TImage>("Image1", 1, 1, 183, 200);
    Image1->SetPicture(CreditsPicture());

    Panel2 = Add<TPanel>("Panel2", 712, 8, 185, 52, clWhite, true);
    imScore = Panel2->Add<TLayeredImage>("imScore", 8, 16, 169, 20);

    Panel3 = Add<TPanel>("Panel3", 712, 384, 185, 49, clWhite, true);
    Image2 = Panel3->Add<TImage>("Image2", 1, 1, 183, 47);
    Image2->Center = true;
    Image2->SetPicture(KeyLegendPicture());

    BitBtn1 = Add<TButton>("BitBtn1", 712, 456, 75, 25, "BitBtn1");
    BitBtn1->Hide();
    BitBtn2 = Add<TButton>("BitBtn2", 720, 456, 81, 25, "BitBtn2");
    BitBtn2->Hide();

    memDbg = Add<TMemo>("memDbg", 712, 436, 185, 67);
    memDbg->SetColor(clMaroon);
    memDbg->FontColor = clWhite;
    memDbg->SetLines({"[X] New Bot  [Z] Kill Vonkels", "[C] Cash + 50 [V] Cash - 50",
                      "[B] Stop Vonkel Motion [G] Gen", "[A] Invincible [N] Replace Turrets",
                      "[F] Fast"});
    memDbg->Hide();

    for (TLayeredImage* counter : {imScore, imScrapCt, imSignsCt}) counter->SetColor(clWhite);

    tmrTick = AddTimer("tmrTick", 50);
    tmrSplode = AddTimer("tmrSplode", 50);
    tmrScrollET = AddTimer("tmrScrollET", 500);
    tmrScrollST = AddTimer("tmrScrollST", 300);
    tmrDiv = AddTimer("tmrDiv", 8000);
    tmrRHS = AddTimer("tmrRHS", 120000);
    tmrTunnel = AddTimer("tmrTunnel", 3000);
    tmrEmergeSwap = AddTimer("tmrEmergeSwap", 30000);
}

void TForm1::BindEvents() {
    OnMusicFinished = [this](int) { BGMNotify(); };
    tmrTick->OnTimer = [this] { tmrTickTimer(); };
    tmrRHS->OnTimer = [this] { tmrRHSTimer(); };
    tmrEmergeSwap->OnTimer = [this] { tmrEmergeSwapTimer(); };
    tmrDiv->OnTimer = [this] { tmrDivTimer(); };
    tmrScrollST->OnTimer = [this] { tmrScrollSTTimer(); };
    tmrSplode->OnTimer = [this] { tmrSplodeTimer(); };
    tmrScrollET->OnTimer = [this] { tmrScrollETTimer(); };
    // tmrTunnel is never enabled and has no handler.
    OnKeyPress = [this](char& key) { FormKeyPress(key); };
    Playfield->OnMouseMove = [this](TControl& sender, TShiftState shift, int x, int y) {
        PlayfieldMouseMove(sender, shift, x, y);
    };
    Playfield->OnMouseDown = [this](TControl& sender, TMouseButton button, TShiftState shift, int x,
                                    int y) { PlayfieldMouseDown(sender, button, shift, x, y); };
    MenuImg->OnMouseMove = [this](TControl& sender, TShiftState shift, int x, int y) {
        MenuImgMouseMove(sender, shift, x, y);
    };
    MenuImg->OnMouseDown = [this](TControl& sender, TMouseButton button, TShiftState shift, int x,
                                  int y) { MenuImgMouseDown(sender, button, shift, x, y); };
    OrbMenuImg->OnMouseMove = [this](TControl& sender, TShiftState shift, int x, int y) {
        OrbMenuImgMouseMove(sender, shift, x, y);
    };
    OrbMenuImg->OnMouseDown = [this](TControl& sender, TMouseButton button, TShiftState shift,
                                     int x,
                                     int y) { OrbMenuImgMouseDown(sender, button, shift, x, y); };
    for (TControl* splash : {static_cast<TControl*>(imSplash), static_cast<TControl*>(PaintBox2)})
        splash->OnClick = [this](TControl& sender) { imSplashClick(sender); };
    PaintBox1->OnClick = [this](TControl& sender) { PaintBox1Click(sender); };
}
