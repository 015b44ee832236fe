// The game's own consistency checks, for the fuzzers and the soak run: never called by the
// game itself.
#pragma once

#include <string>

class TForm1;

// A description of the first broken invariant of the game state, empty when all hold:
// every list's objects alive and owned once, every layer of the playfield and the menus
// belonging to a live sprite or kill beam (and every sprite's layer to its control), the
// score, scrap and sign counters spelling the values they stand for, and the indices and
// levels in range.
std::string CheckInvariants(const TForm1& game);
