#include "tools/assetgen/wav.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>

namespace wav {
namespace {

void Put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

void WritePcm16(const std::filesystem::path& path, const std::vector<float>& samples, int channels,
                int rate) {
    if (channels < 1 || channels > 2 || samples.size() % channels != 0)
        throw std::runtime_error("bad channel layout for " + path.string());
    const uint32_t blockAlign = 2u * static_cast<uint32_t>(channels);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);  // the fmt chunk's size
    Put16(out, 1);   // PCM
    Put16(out, static_cast<uint32_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate) * blockAlign);
    Put16(out, blockAlign);
    Put16(out, 16);
    out += "data";
    Put32(out, dataBytes);
    size_t at = out.size();
    out.resize(at + dataBytes);
    for (float s : samples) {
        const double y = std::clamp(static_cast<double>(s) * 32767.0, -32767.0, 32767.0);
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(y + (y >= 0 ? 0.5 : -0.5)));
        out[at++] = static_cast<char>(v & 0xFF);
        out[at++] = static_cast<char>(v >> 8);
    }
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace wav
