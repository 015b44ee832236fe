// The hatred meter: which kind attacks which, shown as a picture in the side panel.
#include "core/form1.h"

void TForm1::SetHatred() {
    if (hatred < 1 || hatred > 3) return;
    // A level whose picture cannot be read shows an empty white panel rather than the picture
    // of another level.
    if (!imHatred->LoadBitmap(assetDir + "rhs" + std::to_string(hatred) + ".bmp"))
        imHatred->Bitmap().SetSize(0, 0);
}
