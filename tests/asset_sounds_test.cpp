// The generated sound effects and music (tools/assetgen/sound_effects.cpp, music.cpp): valid
// 16-bit PCM WAV files of the right shape, lengths and levels; effects that start and end in
// silence; explosions that differ; music tracks that loop without a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kAssets = QV_BUILD_DIR "/Assets/";

struct TWav {
    std::string error;  // empty when the file is a valid PCM WAV file
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int16_t> samples;  // interleaved

    size_t Frames() const { return channels ? samples.size() / channels : 0; }
    double Seconds() const { return rate ? static_cast<double>(Frames()) / rate : 0; }
    int At(size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
           static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

uint16_t Le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

// Reads a RIFF/WAVE file, checking every size and format field against the others.
TWav LoadWav(const std::string& name) {
    TWav wav;
    std::ifstream file(kAssets + name, std::ios::binary);
    if (!file) {
        wav.error = "missing";
        return wav;
    }
    const std::string b((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
        wav.error = "not RIFF/WAVE";
        return wav;
    }
    if (Le32(b, 4) != b.size() - 8) {
        wav.error = "RIFF size does not match the file";
        return wav;
    }
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id = b.substr(at, 4);
        const uint32_t size = Le32(b, at + 4);
        const size_t body = at + 8;
        if (body + size > b.size()) {
            wav.error = "chunk " + id + " runs past the end";
            return wav;
        }
        if (id == "fmt ") {
            if (size < 16 || Le16(b, body) != 1) {
                wav.error = "not PCM";
                return wav;
            }
            wav.channels = Le16(b, body + 2);
            wav.rate = static_cast<int>(Le32(b, body + 4));
            const uint32_t byteRate = Le32(b, body + 8);
            const int blockAlign = Le16(b, body + 12);
            wav.bits = Le16(b, body + 14);
            if (wav.bits != 16 || wav.channels < 1 || wav.channels > 2 ||
                blockAlign != wav.channels * 2 ||
                byteRate != static_cast<uint32_t>(wav.rate) * blockAlign) {
                wav.error = "inconsistent fmt chunk";
                return wav;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || size % (2u * wav.channels) != 0 || size == 0) {
                wav.error = "bad data chunk";
                return wav;
            }
            wav.samples.resize(size / 2);
            for (size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = static_cast<int16_t>(Le16(b, body + 2 * i));
        }
        at = body + size + (size & 1);
    }
    if (at != b.size()) wav.error = "trailing bytes after the last chunk";
    if (wav.error.empty() && wav.samples.empty()) wav.error = "no data chunk";
    return wav;
}

int PeakOf(const TWav& w) {
    int peak = 0;
    for (int16_t s : w.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

double Dbfs(double amplitude) {
    return 20.0 * std::log10(std::max(amplitude, 1e-9) / 32767.0);
}

double RmsOf(const TWav& w, size_t fromFrame, size_t toFrame) {
    double sum = 0;
    for (size_t f = fromFrame; f < toFrame; ++f)
        for (int c = 0; c < w.channels; ++c) sum += static_cast<double>(w.At(f, c)) * w.At(f, c);
    return std::sqrt(sum / std::max<size_t>(1, (toFrame - fromFrame) * w.channels));
}

struct TEffect {
    std::string name;
    double minSeconds, maxSeconds;
};

std::vector<TEffect> Effects() {
    std::vector<TEffect> effects = {
        {"menuopen", 0.08, 0.25},  {"menuselect", 0.1, 0.5}, {"nocando", 0.15, 0.6},
        {"nomoney", 0.15, 0.8},    {"beamshot1", 0.1, 0.25}, {"turret", 0.2, 0.35},
        {"hatewarning", 0.7, 1.0},
    };
    for (int i = 1; i <= 14; ++i) effects.push_back({"explosion" + std::to_string(i), 0.4, 1.6});
    return effects;
}

TEST(AssetSounds, EffectsAreMonoPcmOfTheirLength) {
    for (const TEffect& e : Effects()) {
        SCOPED_TRACE(e.name);
        const TWav w = LoadWav(e.name + ".wav");
        ASSERT_EQ(w.error, "");
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 44100);
        EXPECT_GE(w.Seconds(), e.minSeconds - 1e-3);
        EXPECT_LE(w.Seconds(), e.maxSeconds + 1e-3);
    }
}

TEST(AssetSounds, EffectsStartAndEndInSilence) {
    for (const TEffect& e : Effects()) {
        SCOPED_TRACE(e.name);
        const TWav w = LoadWav(e.name + ".wav");
        ASSERT_EQ(w.error, "");
        const size_t n = w.samples.size();
        ASSERT_GT(n, 64u);
        EXPECT_LE(std::abs(w.samples[0]), 16);
        EXPECT_LE(std::abs(w.samples[n - 1]), 16);
        // No step at either end: the first and last few samples ramp, they do not jump.
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_LE(std::abs(w.samples[i]), 328) << "sample " << i;
            EXPECT_LE(std::abs(w.samples[n - 1 - i]), 328) << "sample " << n - 1 - i;
        }
    }
}

TEST(AssetSounds, EffectsPeakBelowFullScale) {
    for (const TEffect& e : Effects()) {
        SCOPED_TRACE(e.name);
        const TWav w = LoadWav(e.name + ".wav");
        ASSERT_EQ(w.error, "");
        const double peak = Dbfs(PeakOf(w));
        EXPECT_LE(peak, -2.5);
        EXPECT_GE(peak, -7.0);
    }
}

// A rough fingerprint of an explosion: its length, brightness (zero crossings per second) and
// where its energy sits in time.
struct TFingerprint {
    double seconds, crossings, centroid;
};

TFingerprint Fingerprint(const TWav& w) {
    double crossings = 0, energy = 0, moment = 0;
    for (size_t i = 0; i < w.samples.size(); ++i) {
        if (i > 0 && (w.samples[i - 1] < 0) != (w.samples[i] < 0)) ++crossings;
        const double e = static_cast<double>(w.samples[i]) * w.samples[i];
        energy += e;
        moment += e * i;
    }
    return {w.Seconds(), crossings / w.Seconds(), moment / energy / w.rate};
}

TEST(AssetSounds, ExplosionsAreAudiblyDifferent) {
    std::vector<TFingerprint> prints;
    for (int i = 1; i <= 14; ++i) {
        const TWav w = LoadWav("explosion" + std::to_string(i) + ".wav");
        ASSERT_EQ(w.error, "") << i;
        prints.push_back(Fingerprint(w));
    }
    for (size_t a = 0; a < prints.size(); ++a)
        for (size_t b = a + 1; b < prints.size(); ++b) {
            const TFingerprint& p = prints[a];
            const TFingerprint& q = prints[b];
            const double apart = std::max({std::abs(p.seconds - q.seconds) / 0.04,
                                           std::abs(std::log(p.crossings / q.crossings)) / 0.1,
                                           std::abs(p.centroid - q.centroid) / 0.02});
            EXPECT_GT(apart, 1.0) << "explosion" << a + 1 << " and explosion" << b + 1;
        }
}

TEST(AssetMusic, TracksArePcmOfTheirLength) {
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const TWav w = LoadWav("rmusic" + std::to_string(i) + ".wav");
        ASSERT_EQ(w.error, "");
        EXPECT_EQ(w.rate, 44100);
        EXPECT_GE(w.Seconds(), 20.0);
        EXPECT_LE(w.Seconds(), 60.0);
    }
}

TEST(AssetMusic, PeaksBelowTheEffects) {
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const TWav w = LoadWav("rmusic" + std::to_string(i) + ".wav");
        ASSERT_EQ(w.error, "");
        const double peak = Dbfs(PeakOf(w));
        EXPECT_LE(peak, -5.0);
        EXPECT_GE(peak, -9.0);
    }
}

// Tracks 0-3 loop: the step from the last sample to the first is no bigger than the steps around
// it (at most three times their RMS; a cut-off tail is a click that stands out well above that),
// and the music does not dip into silence there (a fade-out and fade-in would be a seam too).
TEST(AssetMusic, LoopsWithoutSeam) {
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const TWav w = LoadWav("rmusic" + std::to_string(i) + ".wav");
        ASSERT_EQ(w.error, "");
        const size_t n = w.Frames();
        for (int c = 0; c < w.channels; ++c) {
            double sum = 0;
            const size_t around = 128;
            for (size_t f = 0; f < around; ++f) {
                const double after = w.At(f + 1, c) - w.At(f, c);
                const double before = w.At(n - 1 - f, c) - w.At(n - 2 - f, c);
                sum += after * after + before * before;
            }
            const double typical = std::sqrt(sum / (2 * around));
            const int seam = std::abs(w.At(0, c) - w.At(n - 1, c));
            EXPECT_LE(seam, 3.0 * typical + 8.0) << "channel " << c;
        }
        const size_t half = w.rate / 2;
        EXPECT_GT(Dbfs(RmsOf(w, 0, half)), -40.0);
        EXPECT_GT(Dbfs(RmsOf(w, n - half, n)), -40.0);
    }
}

TEST(AssetMusic, GameOverFadesIntoSilence) {
    const TWav w = LoadWav("rmusic4.wav");
    ASSERT_EQ(w.error, "");
    const size_t n = w.Frames();
    for (int c = 0; c < w.channels; ++c) {
        EXPECT_LE(std::abs(w.At(0, c)), 16);
        EXPECT_LE(std::abs(w.At(n - 1, c)), 16);
    }
    const size_t second = w.rate;
    EXPECT_LT(Dbfs(RmsOf(w, n - second, n)), -50.0);
    EXPECT_GT(Dbfs(RmsOf(w, n / 2 - second, n / 2 + second)), -30.0);
}

}  // namespace
