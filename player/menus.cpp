// The build menu and the orb menu.
#include "core/form1.h"

void TForm1::MenuImgMouseMove(TControl&, TShiftState, int, int) {}
void TForm1::MenuImgMouseDown(TControl&, TMouseButton, TShiftState, int, int) {}
void TForm1::OrbMenuImgMouseMove(TControl&, TShiftState, int, int) {}
void TForm1::OrbMenuImgMouseDown(TControl&, TMouseButton, TShiftState, int, int) {}
int TForm1::SignAt(int, int) const {
    return -1;
}
int TForm1::GatherableAt(int, int) const {
    return -1;
}
bool TForm1::EffectAt(int, int) const {
    return false;
}
