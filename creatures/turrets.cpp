// The base turrets' fire: every turret shoots every creature on its tile or one of the eight
// around it, every tick. A creature loses at most one shot's worth a tick, whoever fires.
#include "core/form1.h"

void TForm1::FireTurrets() {
    for (int t = int(lstTurrets.size()) - 1; t >= 0; --t) {
        const TSign& turret = *lstTurrets[size_t(t)];
        // The creature list is read again for each turret: its kills have left it.
        for (int c = int(lstVonkels.size()) - 1; c >= 0; --c) {
            const TVonkel& vonkel = *lstVonkels[size_t(c)];
            if (!Adjacent(turret, vonkel)) continue;
            AddKillBeam(turret.tileX, turret.tileY, vonkel.tileX, vonkel.tileY, 17, 5, 17, 17, 255);
            PlaySfx("turret", 2);
            DamageVonkel(c, 2, settings.TURRETSHOTSTRENGTH);
        }
    }
}
