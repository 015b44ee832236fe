// The names of the sprite catalogue's pictures in load order: entry i is loaded from
// "<name>.bmp" (with the optional mask "<name>A.bmp") and has index i. Shared by the loader,
// the asset generator and the tests.
#pragma once

#include <array>
#include <string_view>

// clang-format off
inline constexpr std::array<std::string_view, 71> kCatalogueNames = {
    "Tile", "Cursor",
    "Builder_D", "Builder_U", "Builder_L", "Builder_R",
    "Base_Floor", "Turret",
    "Sign_D", "Sign_U", "Sign_L", "Sign_R",
    "Cancel", "Destroy", "Get", "Scrap",
    "SVonkel_D", "SVonkel_U", "SVonkel_L", "SVonkel_R",
    "FVonkel_D", "FVonkel_U", "FVonkel_L", "FVonkel_R",
    "EVonkel_D", "EVonkel_U", "EVonkel_L", "EVonkel_R",
    "SVonkelTunnel", "EVonkelTunnel", "FVonkelTunnel",
    "Tree1", "Tree2", "Rock1", "Rock2", "Ruin1",
    "FExclaim1", "FExclaim2", "FExclaim3",
    "SExclaim1", "SExclaim2", "SExclaim3",
    "EExclaim1", "EExclaim2", "EExclaim3",
    "Orb1", "Orb2", "Orb3", "Orb4",
    "Splode1", "Splode2", "Splode3", "Splode4", "Splode5", "Splode6", "Splode7",
    "SpeechVon", "SpeechKel", "Trans",
    "f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "fof",
    "redsquare"};
// clang-format on

// Index of a picture by its name, or -1 when the catalogue has no such picture.
constexpr int CatalogueIndex(std::string_view name) {
    for (size_t i = 0; i < kCatalogueNames.size(); ++i)
        if (kCatalogueNames[i] == name) return int(i);
    return -1;
}
