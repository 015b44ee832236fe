// A small BMP writer for tests: turns pictures into the bytes of BMP files of several kinds, so
// that loading can be checked and asset folders can be filled with known pictures. Header-only.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/sdl/sdl_bmp.h"
#include "toolkit/picture.h"

namespace bmp_detail {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiBitFields = 3;

inline void Put16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

inline void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline void PutBgr(std::string& out, TColor32 c) {
    out += char(BlueOf(c));
    out += char(GreenOf(c));
    out += char(RedOf(c));
}

inline void PadRow(std::string& row) {
    while (row.size() % 4 != 0) row += '\0';
}

struct THeader {
    int width = 0, height = 0;  // height as stored: negative for top-down
    int bitsPerPixel = 24;
    uint32_t compression = kBiRgb;
    int headerSize = 40;
    std::string extra;  // masks or palette between the info header and the pixels
};

// File header and info header in front of `extra` and `pixels`.
inline std::string Assemble(const THeader& h, const std::string& pixels) {
    const uint32_t offset = uint32_t(14 + h.headerSize + h.extra.size());
    std::string out;
    out += "BM";
    Put32(out, uint32_t(offset + pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, uint32_t(h.headerSize));
    Put32(out, uint32_t(h.width));
    Put32(out, uint32_t(h.height));
    Put16(out, 1);
    Put16(out, uint32_t(h.bitsPerPixel));
    Put32(out, h.compression);
    Put32(out, uint32_t(pixels.size()));
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, h.bitsPerPixel <= 8 ? uint32_t(h.extra.size() / 4) : 0);  // palette entries
    Put32(out, 0);
    // The later headers' masks, colour space and profile fields, all unused here.
    out.append(size_t(h.headerSize - 40), '\0');
    out += h.extra;
    out += pixels;
    return out;
}

// The picture's rows in file order.
inline std::vector<int> RowOrder(const TPicture& p, bool topDown) {
    std::vector<int> rows(size_t(p.Height()));
    for (int i = 0; i < p.Height(); ++i) rows[size_t(i)] = topDown ? i : p.Height() - 1 - i;
    return rows;
}

struct TPalette {
    std::string entries;           // B, G, R, 0 per colour
    std::vector<uint8_t> indices;  // one per pixel, picture order
};

inline TPalette PaletteOf(const TPicture& p) {
    TPalette pal;
    std::map<TColor32, uint8_t> index;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const TColor32 c = p.Pixel(x, y) & 0x00FFFFFFu;
            auto it = index.find(c);
            if (it == index.end()) {
                if (index.size() == 256) std::abort();  // too many colours for a palette
                it = index.emplace(c, uint8_t(index.size())).first;
                PutBgr(pal.entries, c);
                pal.entries += '\0';
            }
            pal.indices.push_back(it->second);
        }
    return pal;
}

inline THeader HeaderOf(const TPicture& p, int bitsPerPixel, bool topDown = false) {
    THeader h;
    h.width = p.Width();
    h.height = topDown ? -p.Height() : p.Height();
    h.bitsPerPixel = bitsPerPixel;
    return h;
}

}  // namespace bmp_detail

// 24 bits per pixel, bottom-up (or top-down), rows padded to four bytes. Alpha is dropped.
inline std::string Bmp24(const TPicture& picture, bool topDown = false) {
    using namespace bmp_detail;
    std::string pixels;
    for (int y : RowOrder(picture, topDown)) {
        std::string row;
        for (int x = 0; x < picture.Width(); ++x) PutBgr(row, picture.Pixel(x, y));
        PadRow(row);
        pixels += row;
    }
    return Assemble(HeaderOf(picture, 24, topDown), pixels);
}

// 8 bits per pixel with a palette of the picture's distinct colours (alpha dropped), in order
// of first appearance. The picture must hold at most 256 colours.
inline std::string Bmp8(const TPicture& picture) {
    using namespace bmp_detail;
    const TPalette pal = PaletteOf(picture);
    std::string pixels;
    for (int y : RowOrder(picture, false)) {
        std::string row;
        for (int x = 0; x < picture.Width(); ++x)
            row += char(pal.indices[size_t(y) * picture.Width() + x]);
        PadRow(row);
        pixels += row;
    }
    THeader h = HeaderOf(picture, 8);
    h.extra = pal.entries;
    return Assemble(h, pixels);
}

// 8 bits per pixel, run-length encoded: bottom-up, runs of equal palette indices.
inline std::string Bmp8Rle(const TPicture& picture) {
    using namespace bmp_detail;
    const TPalette pal = PaletteOf(picture);
    const int w = picture.Width();
    std::string pixels;
    for (int y : RowOrder(picture, false)) {
        const uint8_t* row = &pal.indices[size_t(y) * w];
        for (int x = 0; x < w;) {
            int run = 1;
            while (x + run < w && run < 255 && row[x + run] == row[x]) ++run;
            pixels += char(run);
            pixels += char(row[x]);
            x += run;
        }
        pixels.append({'\0', '\0'});  // end of line
    }
    pixels.append({'\0', '\1'});  // end of picture
    THeader h = HeaderOf(picture, 8);
    h.compression = kBiRle8;
    h.extra = pal.entries;
    return Assemble(h, pixels);
}

// 16 bits per pixel, 5 bits per channel (the low three bits of each channel are dropped).
inline std::string Bmp16(const TPicture& picture) {
    using namespace bmp_detail;
    std::string pixels;
    for (int y : RowOrder(picture, false)) {
        std::string row;
        for (int x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.Pixel(x, y);
            Put16(row, uint32_t((RedOf(c) >> 3) << 10 | (GreenOf(c) >> 3) << 5 | (BlueOf(c) >> 3)));
        }
        PadRow(row);
        pixels += row;
    }
    return Assemble(HeaderOf(picture, 16), pixels);
}

// 32 bits per pixel, uncompressed; the fourth byte of every pixel is the picture's alpha.
// `headerSize` is 40 for the classic info header, or 108 / 124 for the later ones.
inline std::string Bmp32(const TPicture& picture, bool topDown = false, int headerSize = 40) {
    using namespace bmp_detail;
    std::string pixels;
    for (int y : RowOrder(picture, topDown))
        for (int x = 0; x < picture.Width(); ++x) Put32(pixels, picture.Pixel(x, y));
    THeader h = HeaderOf(picture, 32, topDown);
    h.headerSize = headerSize;
    return Assemble(h, pixels);
}

// 32 bits per pixel with explicit channel masks: red in the lowest byte, blue in the third,
// the picture's alpha in the fourth.
inline std::string Bmp32BitFields(const TPicture& picture) {
    using namespace bmp_detail;
    std::string pixels;
    for (int y : RowOrder(picture, false))
        for (int x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.Pixel(x, y);
            pixels += char(RedOf(c));
            pixels += char(GreenOf(c));
            pixels += char(BlueOf(c));
            pixels += char(AlphaOf(c));
        }
    THeader h = HeaderOf(picture, 32);
    h.compression = kBiBitFields;
    Put32(h.extra, 0x000000FFu);  // red
    Put32(h.extra, 0x0000FF00u);  // green
    Put32(h.extra, 0x00FF0000u);  // blue
    return Assemble(h, pixels);
}

// Writes `bytes` to `path`, replacing the file. Returns false when it cannot be written.
inline bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

// Loads BMP bytes into `picture` through TPicture::LoadFromMemory, as the window does: with
// SDL's decoder for the forms the toolkit does not read.
inline bool LoadBmp(TPicture& picture, const std::string& bytes) {
    return picture.LoadFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                  DecodeBmpWithSdl);
}
