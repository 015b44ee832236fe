// A small synthesiser for the asset generator's sound effects and music: deterministic noise,
// band-limited oscillators, envelopes, filters, and the finishing steps (fades, levels). Every
// function is a pure function of its inputs, so the generated files are the same on every run.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace synth {

constexpr int kRate = 44100;
constexpr double kDt = 1.0 / kRate;
constexpr double kPi = 3.14159265358979323846;

// Seconds as a whole number of frames.
inline int Frames(double seconds) {
    return static_cast<int>(std::lround(seconds * kRate));
}
// The frequency of a MIDI note number (69 = A4 = 440 Hz); fractions bend the pitch.
double MidiHz(double midi);
double DbGain(double db);

// Deterministic random numbers (xorshift64*): the same seed gives the same sequence everywhere.
class TRandom {
public:
    explicit TRandom(uint64_t seed);
    uint32_t Next();
    double Uniform();  // [0, 1)
    double Bipolar();  // [-1, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

private:
    uint64_t state_;
};

constexpr int kSineTableSize = 4096;
const std::array<double, kSineTableSize + 1>& SineTable();

// sin(2π·cycles) from a table, for any real number of cycles.
inline double Sin(double cycles) {
    static const std::array<double, kSineTableSize + 1>& table = SineTable();
    const double pos = (cycles - std::floor(cycles)) * kSineTableSize;
    int i = static_cast<int>(pos);
    if (i >= kSineTableSize) i = kSineTableSize - 1;
    return table[i] + (table[i + 1] - table[i]) * (pos - i);
}

// The PolyBLEP correction for a step at phase 0 of a wave with phase t and increment dt.
inline double Blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// An oscillator that keeps its own phase; each call gives one sample and advances by hz / kRate.
// Saw and pulse are band-limited (PolyBLEP), so high notes do not alias into noise.
class TOsc {
public:
    explicit TOsc(double phase = 0) : phase_(phase) {}
    double Sine(double hz) {
        double dt;
        return Sin(Advance(hz, dt));
    }
    // Sine with a phase offset in cycles (for FM).
    double SinePm(double hz, double offset) {
        double dt;
        return Sin(Advance(hz, dt) + offset);
    }
    double Triangle(double hz) {
        double dt;
        const double t = Advance(hz, dt);
        return t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t;
    }
    double Saw(double hz) {
        double dt;
        const double t = Advance(hz, dt);
        return 2.0 * t - 1.0 - Blep(t, dt);
    }
    // width in (0, 1); 0.5 is a square. The offset of uneven widths is taken out.
    double Pulse(double hz, double width) {
        double dt;
        const double t = Advance(hz, dt);
        double v = t < width ? 1.0 : -1.0;
        v += Blep(t, dt);
        double t2 = t + 1.0 - width;
        if (t2 >= 1.0) t2 -= 1.0;
        v -= Blep(t2, dt);
        return v - (2.0 * width - 1.0);
    }

private:
    double Advance(double hz, double& dt) {
        dt = std::clamp(hz * kDt, 0.0, 0.45);
        const double t = phase_;
        phase_ += dt;
        if (phase_ >= 1.0) phase_ -= std::floor(phase_);
        return t;
    }
    double phase_;
};

// Zavalishin's topology-preserving state-variable filter: low, band and high pass at once.
class TSvf {
public:
    // q: 0.5 is soft, 0.707 flat, larger values ring at the cutoff.
    void Set(double hz, double q);
    void Process(double x) {
        const double v3 = x - ic2_;
        const double v1 = a1_ * ic1_ + a2_ * v3;
        const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        low = v2;
        band = v1;
        high = x - k_ * v1 - v2;
    }
    double low = 0, band = 0, high = 0;

private:
    double g_ = 0, k_ = 2, a1_ = 0, a2_ = 0, a3_ = 0;
    double ic1_ = 0, ic2_ = 0;
};

// A one-pole low pass (and, by difference, high pass).
class TOnePole {
public:
    void Set(double hz);
    double Low(double x) { return y_ += a_ * (x - y_); }
    double High(double x) { return x - Low(x); }
    void Reset(double y) { y_ = y; }

private:
    double a_ = 1, y_ = 0;
};

// Attack (linear), decay (exponential towards the sustain level), and after the gate a release
// that reaches exactly zero after `release` seconds. Length() is the whole length with release.
class TAdsr {
public:
    TAdsr(double attack, double decay, double sustain, double release, double gate);
    double Next() {
        if (n_ < gateFrames_) {
            if (n_ < attackFrames_)
                level_ = static_cast<double>(n_ + 1) / attackFrames_;
            else
                level_ = sustain_ + (level_ - sustain_) * decayCoef_;
            releaseStart_ = level_;
        } else {
            const int r = n_ - gateFrames_;
            if (r >= releaseFrames_) {
                level_ = 0;
            } else {
                level_ =
                    releaseStart_ * releaseExp_ * (1.0 - static_cast<double>(r) / releaseFrames_);
                releaseExp_ *= releaseCoef_;
            }
        }
        ++n_;
        return level_;
    }
    int Length() const { return gateFrames_ + releaseFrames_; }

private:
    int gateFrames_, releaseFrames_, attackFrames_;
    double sustain_, decayCoef_, releaseCoef_;
    int n_ = 0;
    double level_ = 0, releaseStart_ = 0, releaseExp_ = 1;
};

// Finishing an effect: raised-cosine fades at both ends, then the peak scaled to `peakDb` dBFS.
void FadeEdges(std::vector<double>& x, double fadeInSeconds, double fadeOutSeconds);
void Normalize(std::vector<double>& x, double peakDb);
double Peak(const std::vector<double>& x);
std::vector<float> ToFloat(const std::vector<double>& x);

// A soft clipper shaped like tanh (a Padé approximation, cheaper): about x for small signals,
// exactly ±1 from |x| = 3 on, smooth in between.
inline double SoftClip(double x) {
    if (x >= 3.0) return 1.0;
    if (x <= -3.0) return -1.0;
    const double x2 = x * x;
    return x * (27.0 + x2) / (27.0 + 9.0 * x2);
}
// A gentle saturation that keeps small signals as they are: SoftClip(drive·x) / drive.
inline double Saturate(double x, double drive) {
    return SoftClip(drive * x) / drive;
}

// An exponential decay exp(-t / tau) stepped one frame at a time, without calling exp.
class TDecay {
public:
    explicit TDecay(double tau, double start = 1.0)
        : value_(start), coef_(std::exp(-1.0 / (tau * kRate))) {}
    double Next() {
        const double v = value_;
        value_ *= coef_;
        return v;
    }

private:
    double value_, coef_;
};

}  // namespace synth
