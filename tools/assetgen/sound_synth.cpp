#include "tools/assetgen/sound_synth.h"

#include <algorithm>
#include <array>

namespace synth {

double MidiHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

double DbGain(double db) {
    return std::pow(10.0, db / 20.0);
}

TRandom::TRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
    if (state_ == 0) state_ = 1;
    for (int i = 0; i < 4; ++i) Next();
}

uint32_t TRandom::Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

double TRandom::Uniform() {
    return Next() * (1.0 / 4294967296.0);
}

double TRandom::Bipolar() {
    return 2.0 * Uniform() - 1.0;
}

const std::array<double, kSineTableSize + 1>& SineTable() {
    static const std::array<double, kSineTableSize + 1> table = [] {
        std::array<double, kSineTableSize + 1> t{};
        for (int i = 0; i <= kSineTableSize; ++i) t[i] = std::sin(2.0 * kPi * i / kSineTableSize);
        return t;
    }();
    return table;
}

void TSvf::Set(double hz, double q) {
    hz = std::clamp(hz, 10.0, 0.45 * kRate);
    g_ = std::tan(kPi * hz / kRate);
    k_ = 1.0 / std::max(q, 0.05);
    a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

void TOnePole::Set(double hz) {
    a_ = 1.0 - std::exp(-2.0 * kPi * std::min(hz, 0.49 * kRate) / kRate);
}

TAdsr::TAdsr(double attack, double decay, double sustain, double release, double gate)
    : gateFrames_(std::max(1, Frames(gate))),
      releaseFrames_(std::max(1, Frames(release))),
      attackFrames_(Frames(attack)),
      sustain_(sustain),
      decayCoef_(std::exp(-1.0 / (std::max(decay, 1e-4) * kRate))),
      releaseCoef_(std::exp(-4.0 / releaseFrames_)) {}

void FadeEdges(std::vector<double>& x, double fadeInSeconds, double fadeOutSeconds) {
    const int n = static_cast<int>(x.size());
    const int in = std::min(n, Frames(fadeInSeconds));
    const int out = std::min(n, Frames(fadeOutSeconds));
    for (int i = 0; i < in; ++i) x[i] *= 0.5 - 0.5 * std::cos(kPi * i / in);
    for (int i = 0; i < out; ++i) x[n - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / out);
}

double Peak(const std::vector<double>& x) {
    double peak = 0;
    for (double v : x) peak = std::max(peak, std::abs(v));
    return peak;
}

void Normalize(std::vector<double>& x, double peakDb) {
    const double peak = Peak(x);
    if (peak <= 0) return;
    const double scale = DbGain(peakDb) / peak;
    for (double& v : x) v *= scale;
}

std::vector<float> ToFloat(const std::vector<double>& x) {
    return std::vector<float>(x.begin(), x.end());
}

}  // namespace synth
