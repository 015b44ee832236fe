// Damaged BMP files of every kind the game meets: loading may fail, but never reads or writes
// outside its buffers (the sanitizer build runs this too) and never leaves a half-made picture.
#include <gtest/gtest.h>

#include <random>

#include "tests/bmp_files.h"

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
