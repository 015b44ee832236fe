// The sound effects and music: synthesised from code (sound_synth.h) by sound_effects.cpp and
// music.cpp.
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/sound_parts.h"

namespace assetgen {

void WriteSounds(const std::filesystem::path& dir) {
    WriteSoundEffects(dir);
    WriteMusic(dir);
}

}  // namespace assetgen
