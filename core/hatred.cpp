// The hatred meter: which kind attacks which, shown as a picture in the side panel. A warning
// flashes every so often, and when the flash is over the cycle reverses.
#include "core/form1.h"

namespace {

// The hatred warnings come 5 s sooner each time, down to one every 40 s.
constexpr uint32_t kWarningSpeedUp = 5000;
constexpr uint32_t kShortestWarningGap = 40000;

}  // namespace

void TForm1::SetHatred() {
    if (hatred < 1 || hatred > 3) return;
    // A level whose picture cannot be read shows an empty white panel rather than the picture
    // of another level.
    if (!imHatred->LoadBitmap(Platform().files, assetDir + "rhs" + std::to_string(hatred) + ".bmp"))
        imHatred->Bitmap().SetSize(0, 0);
}

void TForm1::ChangeHatred() {
    int level;
    do {
        level = random.RandomInt(1, 2);
    } while (level == hatred);
    hatred = level;
    SetHatred();
}

void TForm1::tmrRHSTimer() {
    tmrRHS->SetEnabled(false);
    RaiseWarning(*spHatred);
    PlaySfx("hatewarning", 0);
    if (tmrRHS->Interval() >= kShortestWarningGap + kWarningSpeedUp)
        tmrRHS->SetInterval(tmrRHS->Interval() - kWarningSpeedUp);
    tmrRHS->SetEnabled(true);
}
