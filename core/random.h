// The game's one random generator. Every random draw of the rules goes through RandomInt.
#pragma once

#include <cstdint>
#include <random>

class TRandom {
public:
    void Seed(uint32_t seed) { engine_.seed(seed); }
    // A uniform integer from a to b, both included (a <= b).
    int RandomInt(int a, int b);
    // A uniform integer from low to high - 1 (low < high).
    int RandomRange(int low, int high) { return RandomInt(low, high - 1); }

private:
    std::mt19937 engine_;
};
