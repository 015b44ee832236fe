// The harness's PNG writer, with libpng (not in the Windows and browser test builds, which have no
// libpng: harness_nopng.cpp).
#include <png.h>

#include <vector>

#include "tests/harness.h"

bool SavePng(const TPicture& picture, const std::string& path, bool opaque) {
    if (picture.Empty()) return false;
    std::vector<uint8_t> rgba(size_t(picture.Width()) * picture.Height() * 4);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.Pixel(x, y);
            uint8_t* p = &rgba[(size_t(y) * picture.Width() + x) * 4];
            p[0] = uint8_t(RedOf(c));
            p[1] = uint8_t(GreenOf(c));
            p[2] = uint8_t(BlueOf(c));
            p[3] = opaque ? 255 : uint8_t(AlphaOf(c));
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.Width());
    image.height = png_uint_32(picture.Height());
    image.format = PNG_FORMAT_RGBA;
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}
