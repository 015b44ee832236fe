// qv_assetgen <Assets folder> <DejaVu font folder> [<icon folder> [<page icon folder>]]
// Writes the complete Assets folder of the game and, when asked, the desktop icons in the
// layout of an icon theme and the page's icons. Run by the build; deterministic.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr,
                     "usage: qv_assetgen <Assets folder> <DejaVu font folder> [<icon folder> "
                     "[<page icon folder>]]\n");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        art::LoadFonts(argv[2]);
        assetgen::WriteCatalogue(dir);
        assetgen::WriteWindowPictures(dir);
        assetgen::WriteSounds(dir);
        assetgen::WriteSettingsIni(dir);
        assetgen::WriteIcons(dir,
                             argc >= 4 ? std::filesystem::path(argv[3]) : std::filesystem::path());
        if (argc == 5) assetgen::WritePageIcons(argv[4]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qv_assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
