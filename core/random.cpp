#include "core/random.h"

int TRandom::RandomInt(int a, int b) {
    if (b <= a) return a;
    // Unbiased: draws outside the largest whole multiple of the span are drawn again. The
    // engine's output is fixed by the standard, so a seed gives the same game everywhere.
    const uint64_t span = uint64_t(int64_t(b) - int64_t(a)) + 1;
    const uint64_t limit = (uint64_t(1) << 32) - ((uint64_t(1) << 32) % span);
    uint64_t draw;
    do {
        draw = engine_();
        ++draws_;
    } while (draw >= limit);
    return int(int64_t(a) + int64_t(draw % span));
}
