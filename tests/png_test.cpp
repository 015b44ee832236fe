// PNG files of pictures, as libpng reads them (a library of the desktop's test build only).
#include "frontend/png.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

// The PNG writer's files, as libpng reads them: RGB and RGBA, pixel for pixel.
TEST(Png, PicturesReadBackPixelForPixel) {
    TPicture picture(37, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) picture.SetPixel(x, y, Color32(x * 7, y * 23, x ^ y, 40 + x));
    for (const bool alpha : {false, true}) {
        const std::string bytes = EncodePng(picture, alpha);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_NE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()), 0);
        EXPECT_EQ(image.width, 37u);
        EXPECT_EQ(image.height, 11u);
        EXPECT_EQ((image.format & PNG_FORMAT_FLAG_ALPHA) != 0, alpha);
        image.format = PNG_FORMAT_RGBA;
        std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
        ASSERT_NE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr), 0);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 37; ++x) {
                const uint8_t* p = &rgba[size_t(y * 37 + x) * 4];
                const TColor32 c = picture.Pixel(x, y);
                ASSERT_EQ(Color32(p[0], p[1], p[2], p[3]), alpha ? c : (c | Color32(0, 0, 0, 255)))
                    << x << "," << y;
            }
    }
    EXPECT_EQ(EncodePng(TPicture()), "");
}
