// The asset generator: writes every file of the game's Assets folder. Each part writes its own
// files into `dir`; all output is a pure function of the code, so every run gives the same bytes.
#pragma once

#include <filesystem>

namespace assetgen {

// The 71 catalogue pictures with their masks.
void WriteCatalogue(const std::filesystem::path& dir);
// The window's pictures: menu frames, panel icons, splash, start and end texts, game-over
// bands, and the three hatred pictures.
void WriteWindowPictures(const std::filesystem::path& dir);
// The sound effects and the five music tracks.
void WriteSounds(const std::filesystem::path& dir);
// settings.ini with every key at its default and a comment line saying what it tunes.
void WriteSettingsIni(const std::filesystem::path& dir);
// The window icon "icon.bmp" (64 × 64, with its mask) into the Assets folder and, when iconDir
// is given, the desktop's icons "<N>x<N>/apps/quorvatide.png" at 16 to 256 pixels under it.
void WriteIcons(const std::filesystem::path& assetDir, const std::filesystem::path& iconDir);
// The page's icons for its web app manifest and the home screens of phones: 192 and 512 pixels,
// a maskable 512 and Apple's 180.
void WritePageIcons(const std::filesystem::path& dir);

}  // namespace assetgen
