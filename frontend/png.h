// PNG files of pictures, written with zlib: 8 bits a channel, RGB or RGBA.
#pragma once

#include <string>

#include "toolkit/picture.h"
#include "toolkit/platform.h"

// The bytes of a PNG file of `picture`: RGB (alpha dropped) or, with `alpha`, RGBA. Empty for
// an empty picture.
std::string EncodePng(const TPicture& picture, bool alpha = false);
// Writes it to `path` whole or not at all: 0, or the errno of the failure.
int WritePng(IFiles& files, const std::string& path, const TPicture& picture, bool alpha = false);
