// Damaged BMP files of every kind the game meets: loading may fail, but never reads or writes
// outside its buffers (the sanitizer build runs this too) and never leaves a half-made picture.
#include <gtest/gtest.h>

#include <random>

#include "tests/bmp_files.h"
#include "tests/harness.h"

TEST(BmpRobustness, DamagedFilesLoadOrFailCleanly) {
    TPicture source(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            source.SetPixel(x, y, Color32(x * 30, y * 50, 99, (x + y) * 20));
    const std::string files[] = {Bmp24(source),
                                 Bmp8(source),
                                 Bmp8Rle(source),
                                 Bmp16(source),
                                 Bmp32(source, false),
                                 Bmp32(source, true),
                                 Bmp32(source, false, 124),
                                 Bmp32BitFields(source)};
    std::mt19937 rng(99);
    int loaded = 0;
    for (const std::string& file : files) {
        for (int round = 0; round < 300; ++round) {
            std::string damaged = file;
            const int changes = 1 + int(rng() % 4);
            for (int i = 0; i < changes; ++i) damaged[rng() % damaged.size()] = char(rng());
            if (rng() % 3 == 0) damaged.resize(rng() % damaged.size());
            TPicture p(3, 3, 0xFF00FF00u);
            if (LoadBmp(p, damaged)) {
                ++loaded;
                EXPECT_FALSE(p.Empty());
                EXPECT_LE(int64_t(p.Width()) * p.Height(), 16 * 1024 * 1024);
            } else {
                EXPECT_TRUE(p.Empty());  // a failed load leaves nothing of the old picture
            }
        }
    }
    EXPECT_GT(loaded, 0);  // many damages only change colours
}

TEST(BmpRobustness, The24BitFormReadsAsTheImageLibraryReadsIt) {
    // Every width pads its rows differently; both row orders; damaged and cut-short copies too.
    std::mt19937 rng(24);
    int compared = 0;
    for (int width : {1, 2, 3, 4, 5, 35}) {
        TPicture source(width, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x)
                source.SetPixel(x, y, Color32(x * 7, y * 60, 200 - x, 0));
        for (bool topDown : {false, true}) {
            const std::string whole = Bmp24(source, topDown);
            for (int round = 0; round < 40; ++round) {
                std::string file = whole;
                if (round % 2) file[54 + rng() % (file.size() - 54)] = char(rng());
                if (round % 5 == 4) file.resize(54 + rng() % (file.size() - 54));
                const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
                TPicture ours, library;
                const bool oursLoaded = ours.LoadFromMemory(bytes, file.size());
                const bool libraryLoaded = DecodeBmpWithSdl(bytes, file.size(), library);
                ASSERT_EQ(oursLoaded, libraryLoaded) << width << (topDown ? " top-down" : "");
                if (!oursLoaded) continue;
                for (int y = 0; y < library.Height(); ++y)
                    for (int x = 0; x < library.Width(); ++x)
                        library.SetPixel(x, y, library.Pixel(x, y) | 0xFF000000u);
                EXPECT_TRUE(SamePixels(ours, library));
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 300);
}
