// The base turrets' fire.
#include "core/form1.h"

void TForm1::FireTurrets() {
    // The turrets hold their fire until creatures can walk up to them and be damaged.
}
