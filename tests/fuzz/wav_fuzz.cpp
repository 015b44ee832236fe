// Fuzz target: the music players' streaming WAV reader, on any file given as a track. Input: a
// byte that chooses the format to produce (one a sound device may well have), then the file.
// A file the reader takes is read to its end (or to a few seconds of sound) in the pieces a
// mixer asks for, then rewound and read again; every piece must be whole frames, no more than
// was asked for, and the sound as long as the track, no longer and no shorter.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sdl/sdl_audio.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

struct TFormat {
    int freq;
    SDL_AudioFormat format;
    int channels;
};
// The game's own device format first: a track already in it is copied, not converted.
constexpr TFormat kFormats[] = {
    {44100, AUDIO_S16LSB, 2}, {48000, AUDIO_F32LSB, 2}, {22050, AUDIO_U8, 1},
    {96000, AUDIO_S32LSB, 6}, {8000, AUDIO_S16LSB, 1},  {44100, AUDIO_F32LSB, 8},
};
constexpr int kFormatCount = int(sizeof kFormats / sizeof kFormats[0]);

// The sound read of one file at most: enough for every path of the reader, and short enough
// for a file of a few bytes at one sample a second, which lasts for days once converted.
constexpr int64_t kMaxBytes = 1 << 16;

// One file for the whole run, rewritten for each input.
std::string FilePath() {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp") + "/qv_wav_fuzz." +
               std::to_string(getpid()) + ".wav";
    }();
    return path;
}

// Reads the track from where it stands to its end or to kMaxBytes, in pieces of the sizes a
// mixer asks for; returns what came.
std::vector<uint8_t> ReadTrack(TWavFileSource& source, int frameBytes, int64_t limit) {
    static const int kPieceFrames[] = {1024, 7, 333, 1};
    std::vector<uint8_t> sound;
    for (int i = 0; int64_t(sound.size()) < limit; ++i) {
        const int len = kPieceFrames[i % 4] * frameBytes;
        const size_t at = sound.size();
        sound.resize(at + size_t(len));
        const int got = source.Read(sound.data() + at, len);
        Check(got >= 0 && got <= len, "a piece larger than asked for, or negative");
        Check(got % frameBytes == 0, "a piece that is not whole frames");
        sound.resize(at + size_t(got));
        if (got < len) {
            uint8_t more[64];
            Check(source.Read(more, frameBytes) == 0, "sound after the track's end");
            break;
        }
    }
    return sound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const TFormat& out = kFormats[data[0] % kFormatCount];
    const std::string path = FilePath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    TWavFileSource source;
    const bool opened = source.Open(path, out.freq, out.format, out.channels);
    std::remove(path.c_str());
    if (!opened) {
#ifdef QV_FUZZ_REPLAY
        std::printf("  refused\n");
#endif
        return 0;
    }
    Check(source.LengthMs() >= 0 && source.LengthBytes() >= 0, "a negative length");
    const int frameBytes = int(SDL_AUDIO_BITSIZE(out.format) / 8) * out.channels;
    Check(source.LengthBytes() % frameBytes == 0, "a length that is not whole frames");

    const std::vector<uint8_t> first = ReadTrack(source, frameBytes, kMaxBytes);
    Check(int64_t(first.size()) <= source.LengthBytes(), "more sound than the track holds");
    Check(int64_t(first.size()) >= std::min(source.LengthBytes(), kMaxBytes), "a track cut short");
    // Played again, the track starts over and sounds the same.
    source.Rewind();
    const std::vector<uint8_t> again =
        ReadTrack(source, frameBytes, std::min<int64_t>(int64_t(first.size()), 4096));
    Check(again.size() <= first.size() && std::equal(again.begin(), again.end(), first.begin()),
          "a rewound track that sounds different");
#ifdef QV_FUZZ_REPLAY
    std::printf("  %lld ms, %zu of its %lld bytes read%s\n", (long long)source.LengthMs(),
                first.size(), (long long)source.LengthBytes(),
                int64_t(first.size()) < source.LengthBytes() ? " (short)" : "");
#endif
    return 0;
}
