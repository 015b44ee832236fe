// The game's one random generator. Every random draw of the rules goes through RandomInt.
#pragma once

#include <cstdint>
#include <random>

class TRandom {
public:
    void Seed(uint32_t seed) {
        engine_.seed(seed);
        seed_ = seed;
        draws_ = 0;
    }
    // A uniform integer from a to b, both included (a <= b).
    int RandomInt(int a, int b);
    // A uniform integer from low to high - 1 (low < high).
    int RandomRange(int low, int high) { return RandomInt(low, high - 1); }

    // The generator's state in two numbers: the seed it was given and how many values it has
    // handed out since.
    uint32_t SeedUsed() const { return seed_; }
    uint64_t Draws() const { return draws_; }

private:
    std::mt19937 engine_;
    uint32_t seed_ = std::mt19937::default_seed;
    uint64_t draws_ = 0;
};
