// The sound effects: short, mono, each from silence to silence. Only one effect plays at a time
// (a new one cuts off the old), so each is brief and has one clear gesture.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/sound_parts.h"
#include "tools/assetgen/sound_synth.h"
#include "tools/assetgen/wav.h"

namespace assetgen {
namespace {

using namespace synth;

// A value gliding exponentially from `from` to `to` with time constant `tau`.
double Glide(double from, double to, double t, double tau) {
    return to + (from - to) * std::exp(-t / tau);
}

void Save(const std::filesystem::path& dir, const std::string& name, std::vector<double> x,
          double peakDb, double fadeIn = 0.003, double fadeOut = 0.01) {
    // Removes any offset below hearing before the edges are faded.
    TOnePole dc;
    dc.Set(20.0);
    for (double& v : x) v = dc.High(v);
    FadeEdges(x, fadeIn, fadeOut);
    Normalize(x, peakDb);
    wav::WritePcm16(dir / (name + ".wav"), ToFloat(x), 1, kRate);
}

// A build or orb menu pops open: a soft blip gliding up an octave.
std::vector<double> MenuOpen() {
    std::vector<double> x(Frames(0.16));
    TOsc a, b;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i * kDt;
        double hz = MidiHz(Glide(72.0, 84.0, t, 0.03));
        double env = (1.0 - std::exp(-t / 0.004)) * std::exp(-std::max(0.0, t - 0.03) / 0.035);
        x[i] = env * (a.Sine(hz) + 0.22 * std::exp(-t / 0.03) * b.Triangle(2.0 * hz));
    }
    return x;
}

// A plucked note of a soft pulse with a sine beneath: the bright confirmations.
void AddChime(std::vector<double>& x, double start, double midi, double tau, double gain) {
    const double hz = MidiHz(midi);
    TOsc pulse, sine, octave;
    TSvf lp;
    lp.Set(4200.0, 0.7);
    for (int i = Frames(start), n = 0; i < static_cast<int>(x.size()); ++i, ++n) {
        double t = n * kDt;
        double env = std::min(1.0, t / 0.003) * std::exp(-t / tau);
        double vib = 1.0 + 0.004 * Sin(6.0 * t) * std::min(1.0, t / 0.08);
        lp.Process(pulse.Pulse(hz * vib, 0.3));
        double v = 0.45 * lp.low + 0.6 * sine.Sine(hz * vib) +
                   0.15 * std::exp(-t / 0.04) * octave.Sine(2.0 * hz);
        x[i] += gain * env * v;
    }
}

// An accepted menu choice: two quick rising notes, a fifth apart.
std::vector<double> MenuSelect() {
    std::vector<double> x(Frames(0.34));
    AddChime(x, 0.0, 81.0, 0.045, 0.8);    // A5
    AddChime(x, 0.075, 88.0, 0.085, 1.0);  // E6
    return x;
}

// A buzzy low note (detuned saw and square through a low pass), gated with short edges.
void AddBuzz(std::vector<double>& x, double start, double length, double midi) {
    const double hz = MidiHz(midi);
    TOsc saw, square, sub;
    TSvf lp;
    lp.Set(1500.0, 1.1);
    const int begin = Frames(start), frames = Frames(length);
    for (int n = 0; n < frames && begin + n < static_cast<int>(x.size()); ++n) {
        double t = n * kDt;
        double env = std::min(1.0, t / 0.006) * std::min(1.0, (length - t) / 0.03);
        env *= 1.0 - 0.15 * t / length;
        lp.Process(0.6 * saw.Saw(hz) + 0.5 * square.Pulse(hz * 1.008, 0.5) +
                   0.4 * sub.Pulse(hz * 0.5, 0.5));
        x[begin + n] += env * lp.low;
    }
}

// A refused choice: a low "denied" buzz falling a tritone.
std::vector<double> NoCanDo() {
    std::vector<double> x(Frames(0.34));
    AddBuzz(x, 0.0, 0.12, 55.0);   // G3
    AddBuzz(x, 0.14, 0.19, 49.0);  // C#3
    return x;
}

// A hollow wooden note: FM with the modulator at twice the carrier gives odd harmonics only.
void AddHollow(std::vector<double>& x, double start, double midi, double tau, double bendCents) {
    TOsc carrier, modulator;
    const int begin = Frames(start);
    for (int i = begin, n = 0; i < static_cast<int>(x.size()); ++i, ++n) {
        double t = n * kDt;
        double hz = MidiHz(midi - bendCents / 100.0 * std::min(1.0, t / 0.25));
        double index = 0.5 + 1.5 * std::exp(-t / 0.03);  // radians
        double env = std::min(1.0, t / 0.004) * std::exp(-t / tau);
        x[i] += env * carrier.SinePm(hz, index * modulator.Sine(2.0 * hz) / (2.0 * kPi));
    }
}

// Not enough scrap: an empty purse's clunk, then a falling G minor triad in a hollow tone that
// sags at the end. Clearly apart from nocando's buzz: higher, rounder, three notes.
std::vector<double> NoMoney() {
    std::vector<double> x(Frames(0.58));
    TOsc thump;
    TSvf bp;
    bp.Set(900.0, 2.5);
    TRandom rng(11);
    for (int n = 0; n < Frames(0.09); ++n) {
        double t = n * kDt;
        double body = thump.Sine(Glide(170.0, 70.0, t, 0.02)) * std::exp(-t / 0.028);
        bp.Process(rng.Bipolar());
        double knock = bp.band * std::exp(-t / 0.01);
        x[n] += std::min(1.0, t / 0.002) * (0.9 * body + 1.2 * knock);
    }
    AddHollow(x, 0.06, 74.0, 0.07, 0.0);   // D5
    AddHollow(x, 0.16, 70.0, 0.07, 0.0);   // Bb4
    AddHollow(x, 0.26, 67.0, 0.12, 45.0);  // G4, sagging
    return x;
}

// A creature's shot: a light "pew" sweeping down, with a touch of FM shimmer, kept soft on top.
std::vector<double> BeamShot() {
    std::vector<double> x(Frames(0.17));
    TOsc carrier, modulator;
    TSvf lp;
    lp.Set(3200.0, 0.7);
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i * kDt;
        double hz = Glide(1700.0, 320.0, t, 0.035);
        double index = 1.1 * std::exp(-t / 0.05);
        double v = carrier.SinePm(hz, index * modulator.Sine(0.5 * hz) * 0.16);
        double env = std::min(1.0, t / 0.002) * std::exp(-t / 0.045);
        lp.Process(v * env);
        x[i] = lp.low;
    }
    return x;
}

// A turret's shot: a falling sub thump under a filtered pulse zap and a burst of noise.
std::vector<double> Turret() {
    std::vector<double> x(Frames(0.32));
    TOsc sub, pulse, zap;
    TSvf lp, noiseLp;
    noiseLp.Set(2800.0, 0.7);
    TRandom rng(7);
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i * kDt;
        if (i % 16 == 0) lp.Set(Glide(4500.0, 250.0, t, 0.04), 1.4);
        double body = sub.Sine(Glide(150.0, 42.0, t, 0.035)) * std::exp(-t / 0.11);
        lp.Process(pulse.Pulse(Glide(640.0, 70.0, t, 0.03), 0.3));
        double energy = lp.low * std::exp(-t / 0.07);
        double ping = zap.Sine(Glide(2000.0, 220.0, t, 0.015)) * std::exp(-t / 0.03);
        noiseLp.Process(rng.Bipolar());
        double blast = noiseLp.low * std::exp(-t / 0.02);
        double v =
            std::min(1.0, t / 0.0015) * (1.0 * body + 0.7 * energy + 0.25 * ping + 0.6 * blast);
        x[i] = Saturate(v, 1.6);
    }
    return x;
}

struct TExplosion {
    double length;  // seconds
    double boomFrom, boomTo, boomTau, boomGain;
    double cutFrom, cutTo, cutTau;  // the noise's low-pass sweep (brightness)
    double crackle;                 // debris grains per second at the start
    double crackleHz;               // the debris' tone
    double rumbleAt, rumbleGain;    // a second, lower rumble (0 gain: none)
    double peakDb;
};

// Fourteen of one family: a noise burst over a low boom; they differ in length, boom pitch,
// brightness, debris crackle and a second rumble. 12 is the big one (the orb).
constexpr TExplosion kExplosions[14] = {
    {0.45, 125, 52, 0.08, 1.0, 6000, 450, 0.08, 60, 2500, 0, 0, -3.5},
    {0.60, 100, 42, 0.11, 1.0, 4500, 350, 0.12, 120, 3200, 0, 0, -3.5},
    {0.80, 90, 36, 0.14, 0.9, 3000, 300, 0.15, 260, 1800, 0, 0, -4.0},
    {1.00, 80, 33, 0.16, 1.0, 7000, 400, 0.10, 90, 4200, 0.33, 0.7, -3.0},
    {0.50, 145, 60, 0.07, 0.8, 9000, 700, 0.06, 180, 5000, 0, 0, -4.0},
    {1.20, 70, 30, 0.20, 1.1, 2500, 250, 0.20, 40, 2200, 0.42, 0.9, -3.0},
    {0.70, 112, 46, 0.10, 0.9, 5200, 420, 0.10, 320, 3600, 0, 0, -4.0},
    {1.40, 62, 28, 0.22, 1.2, 3600, 260, 0.25, 140, 2800, 0.50, 1.0, -3.0},
    {0.40, 165, 72, 0.05, 0.7, 8000, 800, 0.05, 100, 4600, 0, 0, -4.5},
    {0.90, 96, 38, 0.13, 1.0, 6000, 380, 0.14, 420, 3000, 0, 0, -3.5},
    {1.10, 76, 34, 0.18, 1.1, 2000, 220, 0.18, 30, 1600, 0.30, 0.8, -3.0},
    {1.60, 66, 26, 0.26, 1.2, 5000, 280, 0.30, 200, 2600, 0.60, 1.1, -3.0},
    {0.65, 128, 48, 0.09, 0.9, 3800, 400, 0.09, 150, 3900, 0.25, 0.5, -4.0},
    {1.30, 86, 30, 0.18, 1.0, 9000, 330, 0.16, 380, 4400, 0.45, 0.8, -3.0},
};

std::vector<double> Explosion(const TExplosion& e, uint64_t seed) {
    std::vector<double> x(Frames(e.length));
    TRandom rng(seed);
    TOsc boom, rumbleBoom;
    TSvf noiseLp, crackleBp, rumbleLp;
    crackleBp.Set(e.crackleHz, 1.2);
    rumbleLp.Set(380.0, 0.8);
    const double noiseTau = e.length * 0.22;
    double grain = 0, grainCoef = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i * kDt;
        double u = t / e.length;
        if (i % 16 == 0) noiseLp.Set(Glide(e.cutFrom, e.cutTo, t, e.cutTau), 0.9);
        double white = rng.Bipolar();
        noiseLp.Process(white);
        double noise = noiseLp.low * (1.0 - std::exp(-t / 0.003)) * std::exp(-t / noiseTau);
        double b = boom.Sine(Glide(e.boomFrom, e.boomTo, t, 0.06)) * e.boomGain *
                   (1.0 - std::exp(-t / 0.002)) * std::exp(-t / e.boomTau);
        // Debris: short grains of bright noise, sparser and fainter as the blast dies away.
        double rate = e.crackle * std::exp(-u * 2.5);
        if (rng.Uniform() < rate * kDt) {
            grain = rng.Range(0.3, 1.0) * std::exp(-u * 2.0);
            grainCoef = std::exp(-1.0 / (rng.Range(0.0008, 0.004) * kRate));
        }
        crackleBp.Process(rng.Bipolar() * grain);
        grain *= grainCoef;
        double r = 0;
        if (e.rumbleGain > 0 && t >= e.rumbleAt) {
            double tr = t - e.rumbleAt;
            rumbleLp.Process(white);
            double env = (1.0 - std::exp(-tr / 0.02)) * std::exp(-tr / (0.35 * e.length));
            r = e.rumbleGain * env *
                (0.7 * rumbleBoom.Sine(Glide(55.0, 30.0, tr, 0.1)) + 1.6 * rumbleLp.low);
        }
        double v = 1.3 * noise + b + 1.6 * crackleBp.band + r;
        x[i] = Saturate(v * (1.0 - u * u), 1.4);
    }
    return x;
}

// The hatred warning: a two-tone siren, high-low twice, in step with the red frame's two flashes
// in 0.75 s, then a short release.
std::vector<double> HateWarning() {
    std::vector<double> x(Frames(0.9));
    TOsc saw, square, sub;
    TSvf lp;
    lp.Set(2600.0, 0.7);
    TOnePole glide;  // the pitch slides between the tones in a few milliseconds
    glide.Set(40.0);
    glide.Reset(79.0);
    TAdsr env(0.012, 1.0, 1.0, 0.15, 0.75);
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i * kDt;
        double target = (static_cast<int>(t / 0.1875) % 2 == 0) ? 79.0 : 74.0;  // G5, D5
        double midi = glide.Low(target);
        double hz = MidiHz(midi) * (1.0 + 0.003 * Sin(7.0 * t));
        lp.Process(0.55 * saw.Saw(hz) + 0.45 * square.Pulse(hz, 0.5) +
                   0.3 * sub.Pulse(hz * 0.5, 0.5));
        x[i] = env.Next() * lp.low;
    }
    return x;
}

}  // namespace

void WriteSoundEffects(const std::filesystem::path& dir) {
    Save(dir, "menuopen", MenuOpen(), -5.0);
    Save(dir, "menuselect", MenuSelect(), -4.5);
    Save(dir, "nocando", NoCanDo(), -4.5);
    Save(dir, "nomoney", NoMoney(), -4.5);
    Save(dir, "beamshot1", BeamShot(), -6.0);
    Save(dir, "turret", Turret(), -3.5);
    for (int i = 0; i < 14; ++i) {
        const TExplosion& e = kExplosions[i];
        Save(dir, "explosion" + std::to_string(i + 1), Explosion(e, 1000 + i), e.peakDb, 0.002,
             0.06 * e.length);
    }
    Save(dir, "hatewarning", HateWarning(), -4.5, 0.005, 0.02);
}

}  // namespace assetgen
