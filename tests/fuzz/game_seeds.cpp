// Writes the game fuzz target's seed inputs into a folder: short scripted games, each with a
// settings file of its own, from the splash screen through play, the menus, the debug keys,
// the fall of the orb and a restart.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fuzz/game_actions.h"

namespace fs = std::filesystem;

namespace {

// Opens the build menu on a tile and chooses the item at (dx, dy) from the click.
void BuildMenu(TGameScript& s, int tx, int ty, int dx, int dy) {
    s.ClickTile(tx, ty).Ticks(2).ClickNear(dx, dy).Ticks(3);
}

std::vector<std::pair<std::string, std::string>> Scripts() {
    std::vector<std::pair<std::string, std::string>> out;

    TGameScript plain("[Settings]\nDEBUG=0\n");
    plain.Ticks(40).Start().Ticks(20);
    BuildMenu(plain, 5, 5, 10, 10);
    BuildMenu(plain, 6, 7, 30, 40);
    BuildMenu(plain, 3, 3, 20, 70);
    plain.ClickTile(9, 0).Ticks(2).ClickNear(10, 10).Ticks(100).Key('P').Ticks(10).Key('P');
    plain.Key('M').Key('S').Ticks(50);
    out.push_back({"plain", plain.Bytes()});

    TGameScript debug(
        "[Settings]\nDEBUG=1\nFVONKELBASEEMERGE=8\nSVONKELBASEEMERGE=8\n"
        "EVONKELBASEEMERGE=8\n");
    debug.Start().Ticks(10);
    for (char k : std::string("XCCCVBBAANFGZxc")) debug.Key(k).Ticks(3);
    BuildMenu(debug, 12, 10, 10, 10);
    debug.Ticks(150);
    out.push_back({"debug", debug.Bytes()});

    // The base falls in about ten seconds; its explosions, the game-over screen, the restart
    // and a little of the next game follow.
    TGameScript fall(
        "[Settings]\nBASEORBHEALTH=1\nTURRETHEALTH=1\nFVONKELBASEEMERGE=40\n"
        "SVONKELBASEEMERGE=40\nEVONKELBASEEMERGE=40\nVONKELSHOTSTRENGTH=50\n"
        "FVONKELBASESPEED=0\nSVONKELBASESPEED=0\nEVONKELBASESPEED=0\nNUMSTARTRES=0\n");
    fall.Start().Ticks(230).Key('P').Ticks(60).Click(400, 400).Ticks(10).Start().Ticks(20);
    out.push_back({"fall", fall.Bytes()});

    TGameScript odd(
        "[Settings]\nMAX_SIGN=-3\nSIGNCOST=-10\nBOTCOST=0\nINITDELAY=0\n"
        "VONKELEMERGESWAP=0\nCONFSTATERPAUSEA=0\nNUMSTARTRES=100000\n");
    odd.Start().Ticks(5).Move(300, 300).Op(kActDown).Byte(1).Word(300).Word(300);
    odd.Op(kActUp).Byte(1).Word(300).Word(300);
    BuildMenu(odd, 0, 0, 10, 10);
    BuildMenu(odd, 19, 19, 60, 100);
    odd.Ticks(255).Advance(65535);
    out.push_back({"odd", odd.Bytes()});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    fs::create_directories(argv[1]);
    for (const auto& [name, bytes] : Scripts())
        std::ofstream(fs::path(argv[1]) / ("scripted_" + name), std::ios::binary) << bytes;
    return 0;
}
