#include "frontend/png.h"

#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace {

void Put32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
}

// A chunk: its length, type and data, and the CRC of the type and data.
void Chunk(std::string& out, const char type[4], const std::string& data) {
    Put32(out, uint32_t(data.size()));
    const size_t from = out.size();
    out.append(type, 4);
    out += data;
    const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + from);
    uint32_t crc = uint32_t(crc32(0, Z_NULL, 0));
    crc = uint32_t(crc32(crc, bytes, uInt(out.size() - from)));
    Put32(out, crc);
}

}  // namespace

std::string EncodePng(const TPicture& picture, bool alpha) {
    if (picture.Empty()) return {};
    const int w = picture.Width(), h = picture.Height();
    const size_t channels = alpha ? 4 : 3;
    const size_t row = 1 + size_t(w) * channels;
    // Each row: its filter (0, none) and its pixels.
    std::vector<uint8_t> raw(row * size_t(h));
    for (int y = 0; y < h; ++y) {
        uint8_t* p = &raw[row * size_t(y)];
        *p++ = 0;
        for (int x = 0; x < w; ++x) {
            const TColor32 c = picture.Pixel(x, y);
            *p++ = uint8_t(RedOf(c));
            *p++ = uint8_t(GreenOf(c));
            *p++ = uint8_t(BlueOf(c));
            if (alpha) *p++ = uint8_t(AlphaOf(c));
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, raw.data(),
                  uLong(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::string header;
    Put32(header, uint32_t(w));
    Put32(header, uint32_t(h));
    header += char(8);               // bits a channel
    header += char(alpha ? 6 : 2);   // colour type: RGBA or RGB
    header += std::string(3, '\0');  // deflate, adaptive filters, not interlaced
    std::string png("\x89PNG\r\n\x1a\n", 8);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", {});
    return png;
}

int WritePng(IFiles& files, const std::string& path, const TPicture& picture, bool alpha) {
    const std::string png = EncodePng(picture, alpha);
    if (png.empty()) return EINVAL;
    return files.Replace(path, png);
}
