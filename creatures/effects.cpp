// Effects (explosions, hit flashes, bubbles, markers, the orb, the tunnels) step through their
// pictures and expire; kill beams fade after a few ticks.
#include <algorithm>
#include <cstddef>

#include "core/form1.h"

namespace {

// An effect that explodes plays one of these at random when it is over.
constexpr int kExplosionSounds = 14;

}  // namespace

void TForm1::UpdateEffects() {
    // An expired effect is freed at once and its entry emptied; the emptied entries leave the
    // list in one pass at the end, or before EndGame, which walks the list itself.
    bool emptied = false;
    const auto closeGaps = [this, &emptied] {
        if (emptied) std::erase(lstEffects, nullptr);
        emptied = false;
    };
    for (size_t i = lstEffects.size(); i-- > 0;) {
        TSprite* effect = lstEffects[i].get();
        // A frame step every second call; each step costs one unit of life.
        if (++effect->frameTick >= 2) {
            if (++effect->frame >= effect->frameCount) effect->frame = 0;
            SetSpritePicture(*effect, effect->firstFrame + effect->frame);
            effect->layer->Bitmap().SetMasterAlpha(effect->alpha);
            effect->Redraw();
            effect->frameTick = 0;
            --effect->life;
        }
        if (effect->life > 0) continue;
        if (effect->explodes)
            PlaySfx("explosion" + std::to_string(random.RandomInt(1, kExplosionSounds)), 0);
        if (!effect->endsGame) {
            lstEffects[i].reset();
            emptied = true;
            continue;
        }
        // Ending the game may take other effects away and add new ones; this effect is still
        // the one to remove, and the pass goes on with those that stood below it. The gaps
        // all lie above it, so closing them leaves it where it is.
        closeGaps();
        EndGame();
        const auto it = std::find_if(lstEffects.begin(), lstEffects.end(),
                                     [effect](const auto& e) { return e.get() == effect; });
        if (it == lstEffects.end()) {
            i = std::min(i, lstEffects.size());
            continue;
        }
        i = size_t(it - lstEffects.begin());
        lstEffects.erase(it);
    }
    closeGaps();

    std::erase_if(lstKillBeams, [](const auto& beam) { return --beam->life <= 0; });
}
