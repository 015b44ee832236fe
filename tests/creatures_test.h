// Shared by the creature tests: a game in which no creature comes out by itself, and creatures
// placed where a test wants them.
#pragma once

#include <string>

#include "tests/harness.h"

// A game with play started, debug logging on, nothing emerging and no emergence swaps, plus
// any further settings lines.
class TCreatureGame {
public:
    explicit TCreatureGame(const std::string& settings = "");
    TForm1& f() { return h->Form(); }
    // A creature of `kind` (0 F, 1 S, 2 E) standing on (x, y), made the way spawning makes one,
    // but with no march: it stays until given a destination.
    TVonkel& Place(int kind, int x, int y);
    // The creature's drawn picture is the kind's picture `facing` (0 down .. 3 right).
    bool Shows(const TVonkel& v, int facing);
    void Tick() { h->Ticks(1); }

    TTempAssets dir;
    std::unique_ptr<THarness> h;
};
