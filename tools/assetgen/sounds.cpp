// The sound effects and music. (Placeholder; the real sounds follow.)
#include "tools/assetgen/assetgen.h"

namespace assetgen {

void WriteSounds(const std::filesystem::path&) {}

}  // namespace assetgen
