// The two halves of assetgen::WriteSounds: the sound effects and the five music tracks.
#pragma once

#include <filesystem>

namespace assetgen {

// menuopen, menuselect, nocando, nomoney, beamshot1, turret, explosion1..14, hatewarning:
// mono, 44100 Hz, 16-bit, each starting and ending at silence with its peak at -3..-6 dBFS.
void WriteSoundEffects(const std::filesystem::path& dir);
// rmusic0..rmusic4: stereo, 44100 Hz, 16-bit, peak -6 dBFS. Tracks 0-3 are whole bars that
// loop without a seam; track 4 plays once and fades into silence.
void WriteMusic(const std::filesystem::path& dir);

}  // namespace assetgen
