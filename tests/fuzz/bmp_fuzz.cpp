// Fuzz target: the BMP loader, on one picture alone or on a picture and a mask of any size.
// Input: a flag byte; without a mask (bit 0 clear) the rest is the picture's file; with one,
// two little-endian bytes give the length of the picture's file and the mask's file follows it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/sdl_bmp.h"
#include "toolkit/picture.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// A picture that loaded (or failed to) is in a state every drawing routine accepts.
void Use(const TPicture& picture) {
    Check(picture.Width() >= 0 && picture.Height() >= 0, "a negative size");
    Check(picture.Empty() || picture.Bits() != nullptr, "a non-empty picture without pixels");
    TPicture target(37, 23, Color32(1, 2, 3));
    picture.DrawTo(target, -5, -7, TDrawMode::Blend);
    picture.DrawTo(target, 3, 2, TDrawMode::Opaque);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool withMask = data[0] & 1;
    ++data, --size;
    size_t pictureSize = size;
    if (withMask) {
        if (size < 2) return 0;
        pictureSize = std::min<size_t>(size - 2, size_t(data[0]) | size_t(data[1]) << 8);
        data += 2, size -= 2;
    }
    TPicture picture;
    const bool loaded = picture.LoadFromMemory(data, pictureSize, DecodeBmpWithSdl);
    if (!loaded) Check(picture.Width() == 0 && picture.Height() == 0, "a failed load kept a size");
    Use(picture);
    if (withMask) {
        TPicture mask;
        if (mask.LoadFromMemory(data + pictureSize, size - pictureSize, DecodeBmpWithSdl)) {
            Use(mask);
            picture.IntensityToAlpha(mask);
            Check(picture.Width() == mask.Width() && picture.Height() == mask.Height(),
                  "a masked picture without the mask's size");
            Use(picture);
        }
    }
    return 0;
}
