// Built signs steer creatures: a creature that stands on a sign's tile at a decision step, and
// that this sign has not steered before, is sent five tiles the sign's way.
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "core/form1.h"

namespace {

// Decision steps a creature stands still once it has found a target, counting the shot's own.
constexpr int kWaitAfterShot = 5;

// The push a sign gives, by its direction, as the march fields hold it: a positive forceX goes
// left, a positive forceY goes up.
struct TSignPush {
    int forceX, forceY;
    const char* tag;  // in the log line
};
constexpr TSignPush kSignPush[4] = {
    {0, -5, "D_D"},  // down
    {0, 5, "D_U"},   // up
    {5, 0, "D_L"},   // left
    {-5, 0, "D_R"},  // right
};

}  // namespace

void TForm1::DebugLog(const char* format, ...) {
    // Only debug mode ever writes the log out, so only debug mode keeps it: a long game
    // otherwise piles up millions of lines nobody reads.
    if (settings.DEBUG == 0) return;
    char line[160];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n >= 0) lstDebug.emplace_back(line, std::min(size_t(n), sizeof line - 1));
}

void TForm1::SteerBySigns(int cx, int cy, int i) {
    TVonkel& v = *lstVonkels[size_t(i)];
    v.targetIndex = AcquireTarget(i);
    if (v.targetIndex != -1) {
        v.engaged = true;
        v.waitTicks = kWaitAfterShot;
    }
    DebugLog("Vonkel %d at %d %d", i, v.tileX, v.tileY);

    const size_t count = lstSigns.size();
    for (size_t k = 0; k < count; ++k) {
        TSign& sign = *lstSigns[k];
        if (sign.tileX != cx || sign.tileY != cy ||
            sign.layer->Bitmap().MasterAlpha() != kBuiltSignAlpha)
            continue;
        DebugLog("Vonkel %d at sign %d", i, int(k));
        v.lookBegun = true;
        auto& seen = sign.seenVonkels;
        if (std::find(seen.begin(), seen.end(), v.id) != seen.end()) continue;
        seen.push_back(v.id);
        DebugLog("Vonkel %d not seen by sign %d", i, int(k));
        if (sign.kind >= 0 && sign.kind < 4) {
            const TSignPush& push = kSignPush[sign.kind];
            v.forceX = push.forceX;
            v.forceY = push.forceY;
            DebugLog("Vonkel %d sign %d %s %d %d ", i, int(k), push.tag, v.forceX, v.forceY);
        }
        break;  // one sign steers a creature per decision step
    }
}
