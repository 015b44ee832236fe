// The BMP forms the toolkit does not read itself (palettes, bit fields, run lengths), decoded by
// SDL's loader, and the host's files that hand that decoder to the game's pictures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/picture.h"
#include "toolkit/platform.h"

// Decodes any BMP SDL's loader reads into ARGB pixels; false when it is no picture it can read.
bool DecodeBmpWithSdl(const uint8_t* data, size_t size, TPicture& out);

// The system's files (NativeFiles) with SDL's BMP decoder.
IFiles& SdlFiles();
