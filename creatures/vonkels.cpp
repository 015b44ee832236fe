// What every creature does in a tick.
#include "core/form1.h"

void TForm1::UpdateVonkels() {
    if (settings.DEBUG != 0 && dbgFreeze) return;
    // Creatures do not decide or walk yet: each stands where it emerged, and its picture is
    // redrawn every tick.
    for (size_t i = lstVonkels.size(); i-- > 0;) lstVonkels[i]->Redraw();
}
