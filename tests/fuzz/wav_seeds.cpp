// Writes the wav fuzz target's hand-made seed inputs into a folder: small WAV files of every
// sample format the streaming reader takes and of the odd forms it must survive (chunks of odd
// size, sizes past the end, extreme rates and channel counts, truncated and misordered
// headers). Each starts with the target's format byte: 0 asks for 16-bit stereo at 44100 Hz,
// 1 for float stereo at 48000 Hz, 3 for 32-bit six channels at 96000 Hz (see wav_fuzz.cpp).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Put16(std::string& s, int v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, int(v & 0xFFFF));
    Put16(s, int(v >> 16));
}

struct TWav {
    int tag = 1, channels = 2, rate = 44100, bits = 16, frames = 300;
    int align = -1;           // the header's block align; -1: what the format needs
    int64_t dataSize = -1;    // the data chunk's claimed size; -1: its true size
    bool extensible = false;  // the format chunk's 40-byte form, the tag in its sub-format
    bool listFirst = false;   // an odd-sized LIST chunk, padded, before the data
    bool dataFirst = false;   // the data chunk before the format chunk
    size_t cut = 0;           // the file's length, when shorter than it should be
};

std::string Write(const TWav& w) {
    const int align = w.align >= 0 ? w.align : w.channels * w.bits / 8;
    std::string data;
    for (int i = 0; i < w.frames * w.channels * w.bits / 8; ++i)
        data += char((i * 37 + (i >> 5) * 11) & 0xFF);
    std::string fmt = "fmt ";
    Put32(fmt, w.extensible ? 40 : 16);
    Put16(fmt, w.extensible ? 0xFFFE : w.tag);
    Put16(fmt, w.channels);
    Put32(fmt, uint32_t(w.rate));
    Put32(fmt, uint32_t(int64_t(w.rate) * align));
    Put16(fmt, align);
    Put16(fmt, w.bits);
    if (w.extensible) {
        Put16(fmt, 22);
        Put16(fmt, w.bits);
        Put32(fmt, 3);
        Put16(fmt, w.tag);
        fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    std::string chunk = "data";
    Put32(chunk, uint32_t(w.dataSize >= 0 ? w.dataSize : int64_t(data.size())));
    chunk += data;
    if (data.size() % 2) chunk += '\0';
    std::string body = "WAVE";
    if (w.listFirst)
        body += std::string(
            "LIST\x03\x00\x00\x00"
            "abc\0",
            12);
    body += w.dataFirst ? chunk : fmt;
    body += w.dataFirst ? fmt : chunk;
    std::string file = "RIFF";
    Put32(file, uint32_t(body.size()));
    file += body;
    if (w.cut > 0 && w.cut < file.size()) file.resize(w.cut);
    return file;
}

std::vector<std::pair<std::string, std::string>> Seeds() {
    std::vector<std::pair<std::string, std::string>> out;
    const auto add = [&](const char* name, int format, TWav w) {
        std::string input(1, char(format));
        input += Write(w);
        out.push_back({name, input});
    };
    add("pcm16_stereo_as_is", 0, {});
    add("pcm16_stereo_converted", 1, {});
    add("u8_mono_odd_list", 0,
        {.channels = 1, .rate = 22050, .bits = 8, .frames = 301, .listFirst = true});
    add("f32_stereo_as_is", 1, {.tag = 3, .rate = 48000, .bits = 32});
    add("s32_six_as_is", 3, {.channels = 6, .rate = 96000, .bits = 32, .frames = 100});
    add("extensible_pcm16", 0, {.rate = 32000, .extensible = true});
    add("one_sample_a_second", 0, {.channels = 1, .rate = 1, .bits = 8, .frames = 40});
    add("eight_channels_384000", 1, {.channels = 8, .rate = 384000, .frames = 200});
    add("data_past_the_end", 0, {.dataSize = 0xFFFFFFFFu});
    add("half_a_frame", 1, {.channels = 1, .frames = 101, .dataSize = 201});
    add("truncated_header", 0, {.cut = 30});
    add("data_before_format", 0, {.dataFirst = true});
    add("zero_rate", 0, {.rate = 0});
    add("nine_channels", 0, {.channels = 9});
    add("wrong_align", 0, {.align = 3});
    add("pcm24", 0, {.bits = 24});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    fs::create_directories(argv[1]);
    for (const auto& [name, bytes] : Seeds())
        std::ofstream(fs::path(argv[1]) / ("made_" + name), std::ios::binary) << bytes;
    return 0;
}
