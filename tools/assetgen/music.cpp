// The five music tracks, composed here as notes and drum patterns in A minor and rendered with the
// synthesiser in sound_synth.h:
//   rmusic0  title: calm and a little mysterious (84 bpm): pads, FM bells, a soft ocarina tune.
//   rmusic1  four turrets (100 bpm): steady; bass, arpeggio, light drums, and the motif.
//   rmusic2  two or three turrets (118 bpm): the motif with more drive and percussion.
//   rmusic3  one or none (136 bpm): urgent; galloping bass, the motif harmonised, crashes, fills.
//   rmusic4  game over (60 bpm): slow electric piano and strings, fading into silence.
// The motif (A C E D C D | E G A) runs through tracks 1-3 and returns slowly in track 4.
//
// Tracks 0-3 loop: each is a whole number of bars, and whatever rings past the last bar (releases,
// echoes, reverb) is added onto the start, so the track is exactly periodic and the last sample
// flows into the first.
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/assetgen/sound_parts.h"
#include "tools/assetgen/sound_synth.h"
#include "tools/assetgen/wav.h"

namespace assetgen {
namespace {

using namespace synth;
using TVoice = std::vector<float>;

// ---------------------------------------------------------------------------------------------
// Notation

// "A4" = 69, "C#5", "Bb3".
int NoteNumber(const std::string& name) {
    static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::runtime_error("bad note name " + name);
    int semitone = kLetters[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b') {
        --semitone;
        ++i;
    }
    return 12 * (std::stoi(name.substr(i)) + 1) + semitone;
}

std::vector<int> Notes(const std::string& text) {
    std::vector<int> notes;
    std::istringstream in(text);
    std::string name;
    while (in >> name) notes.push_back(NoteNumber(name));
    return notes;
}

struct TNote {
    double beat, length;
    int midi;
};

// "A4/1 C5/.5 r/1 | E5/1.5 ...": notes with their lengths in beats, "r" a rest; bar lines must
// fall on whole bars of four beats, and so must the end.
std::vector<TNote> Phrase(const std::string& text) {
    std::vector<TNote> notes;
    double beat = 0;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token == "|") {
            if (std::fmod(beat, 4.0) != 0)
                throw std::runtime_error("bar line off the bar: " + text);
            continue;
        }
        const size_t slash = token.find('/');
        if (slash == std::string::npos) throw std::runtime_error("bad phrase token " + token);
        const std::string name = token.substr(0, slash);
        const double length = std::stod(token.substr(slash + 1));
        if (name != "r") notes.push_back({beat, length, NoteNumber(name)});
        beat += length;
    }
    if (std::fmod(beat, 4.0) != 0) throw std::runtime_error("phrase ends off the bar: " + text);
    return notes;
}

// A bar's harmony: the pad's voicing, the bass root, and the tones the arpeggio walks through.
struct TChord {
    std::vector<int> pad;
    int root;
    std::vector<int> arp;
};

TChord Chord(const std::string& pad, const std::string& root, const std::string& arp) {
    return {Notes(pad), NoteNumber(root), Notes(arp)};
}

// Moves a note by `steps` degrees of A natural minor (G# counts as G), for harmony a third below.
int Diatonic(int midi, int steps) {
    static const int kScale[7] = {0, 2, 3, 5, 7, 8, 10};  // A B C D E F G, from A
    int rel = midi - 57;                                  // from A3
    int octave = static_cast<int>(std::floor(rel / 12.0));
    int within = rel - 12 * octave;
    int degree = 0;
    for (int d = 0; d < 7; ++d)
        if (kScale[d] <= within) degree = d;
    int target = degree + steps;
    int octaveShift = static_cast<int>(std::floor(target / 7.0));
    target -= 7 * octaveShift;
    return 57 + 12 * (octave + octaveShift) + kScale[target];
}

// ---------------------------------------------------------------------------------------------
// Instruments: each renders one note (frequency, held seconds, velocity) into a mono voice that
// ends at silence.

using TInstrument = std::function<TVoice(double hz, double seconds, double velocity, TRandom&)>;

// The pads: several notes through one slowly breathing low pass, each note two detuned saws,
// with a sub triangle under the lowest. Played by TSong::PlayPad.
struct TPadSound {
    double cutoff, attack, release, gain, reverb;
};

TVoice PadVoice(const TPadSound& sound, const std::vector<double>& hz, double seconds,
                TRandom& rng) {
    TAdsr env(sound.attack, 1.5, 0.85, sound.release, seconds);
    TVoice v(env.Length());
    std::vector<TOsc> a, b;
    for (size_t k = 0; k < hz.size(); ++k) {
        a.emplace_back(rng.Uniform());
        b.emplace_back(rng.Uniform());
    }
    TOsc sub(rng.Uniform());
    const double low = *std::min_element(hz.begin(), hz.end());
    TSvf lp;
    const double lfo = rng.Uniform();
    for (size_t i = 0; i < v.size(); ++i) {
        if (i % 32 == 0) lp.Set(sound.cutoff * (1.0 + 0.3 * Sin(lfo + 0.13 * i * kDt)), 0.6);
        double x = 0.6 * sub.Triangle(low * 0.5);
        for (size_t k = 0; k < hz.size(); ++k)
            x += a[k].Saw(hz[k] * 1.0035) + b[k].Saw(hz[k] / 1.0035);
        lp.Process(x);
        v[i] = static_cast<float>(0.5 * env.Next() * lp.low);
    }
    return v;
}

// Saw, square and a sine sub through a resonant low pass that snaps shut after each attack.
TInstrument Bass(double cutoff, double sweep, double sweepTau, double q, double drive) {
    return [=](double hz, double seconds, double velocity, TRandom& rng) {
        TAdsr env(0.003, 0.3, 0.7, 0.04, seconds);
        TVoice v(env.Length());
        TOsc saw(rng.Uniform()), square(rng.Uniform()), sub;
        TSvf lp;
        for (size_t i = 0; i < v.size(); ++i) {
            double t = i * kDt;
            if (i % 16 == 0) lp.Set(cutoff + velocity * sweep * std::exp(-t / sweepTau), q);
            lp.Process(0.6 * saw.Saw(hz) + 0.4 * square.Pulse(hz, 0.5));
            double x = lp.low + 0.6 * sub.Sine(hz);
            v[i] = static_cast<float>(velocity * env.Next() * Saturate(drive * x, 1.0) / drive);
        }
        return v;
    };
}

// A round sub bass: sine with a little triangle, soft edges.
TInstrument SubBass() {
    return [](double hz, double seconds, double velocity, TRandom&) {
        TAdsr env(0.08, 2.0, 0.8, 0.6, seconds);
        TVoice v(env.Length());
        TOsc sine, tri;
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = static_cast<float>(velocity * env.Next() *
                                      (sine.Sine(hz) + 0.18 * tri.Triangle(hz)));
        return v;
    };
}

// A plucked pulse: the filter opens with the pluck and closes as it dies.
TInstrument Pluck(double width, double bright, double tau) {
    return [=](double hz, double seconds, double velocity, TRandom& rng) {
        TAdsr env(0.002, tau, 0.0, 0.06, seconds);
        TVoice v(env.Length());
        TOsc pulse(rng.Uniform()), saw(rng.Uniform());
        TSvf lp;
        for (size_t i = 0; i < v.size(); ++i) {
            double t = i * kDt;
            if (i % 16 == 0) lp.Set(500.0 + velocity * bright * std::exp(-t / 0.08), 0.8);
            lp.Process(pulse.Pulse(hz, width) + 0.3 * saw.Saw(hz * 1.004));
            v[i] = static_cast<float>(velocity * env.Next() * lp.low);
        }
        return v;
    };
}

// The lead: a pulse with slow width modulation and some saw, delayed vibrato, filter accent.
TInstrument Lead(double width, double cutoff, double sawMix) {
    return [=](double hz, double seconds, double velocity, TRandom& rng) {
        TAdsr env(0.008, 0.4, 0.75, 0.12, seconds);
        TVoice v(env.Length());
        TOsc pulse(rng.Uniform()), saw(rng.Uniform());
        TSvf lp;
        double vib = 1.0, w = width;
        for (size_t i = 0; i < v.size(); ++i) {
            if (i % 32 == 0) {  // the modulations, at a control rate
                const double t = i * kDt;
                lp.Set(cutoff * (1.0 + 0.7 * std::exp(-t / 0.07)), 0.9);
                vib = 1.0 + 0.006 * Sin(5.5 * t) * std::clamp((t - 0.18) / 0.25, 0.0, 1.0);
                w = width + 0.08 * Sin(0.7 * t);
            }
            lp.Process((1.0 - sawMix) * pulse.Pulse(hz * vib, w) +
                       sawMix * saw.Saw(hz * vib * 1.002));
            v[i] = static_cast<float>(velocity * env.Next() * lp.low);
        }
        return v;
    };
}

// An ocarina-like soft lead: sine, a little triangle, a breath of noise, gentle vibrato.
TInstrument SoftLead() {
    return [](double hz, double seconds, double velocity, TRandom& rng) {
        TAdsr env(0.07, 1.0, 0.9, 0.35, seconds);
        TVoice v(env.Length());
        TOsc sine, tri;
        TSvf breath;
        breath.Set(hz * 2.0, 2.0);
        for (size_t i = 0; i < v.size(); ++i) {
            double t = i * kDt;
            double vib = 1.0 + 0.005 * Sin(5.0 * t) * std::clamp((t - 0.25) / 0.4, 0.0, 1.0);
            breath.Process(rng.Bipolar());
            double x = sine.Sine(hz * vib) + 0.22 * tri.Triangle(hz * vib) + 0.05 * breath.band;
            v[i] = static_cast<float>(velocity * env.Next() * x);
        }
        return v;
    };
}

// An FM bell: rings for `decay` (time constant) whatever the note's length.
TInstrument Bell(double ratio, double index, double decay) {
    return [=](double hz, double, double velocity, TRandom&) {
        TVoice v(Frames(decay * 3.5));
        TOsc carrier, modulator;
        TDecay amp(decay), bright(decay * 0.3, velocity * index);
        const double n = static_cast<double>(v.size());
        for (size_t i = 0; i < v.size(); ++i) {
            double t = i * kDt;
            double idx = bright.Next() + 0.1;
            double env = std::min(1.0, t / 0.002) * amp.Next() * (1.0 - i / n);
            v[i] = static_cast<float>(
                velocity * env * carrier.SinePm(hz, idx * modulator.Sine(hz * ratio) / (2 * kPi)));
        }
        return v;
    };
}

// An electric piano: FM 1:1 with a decaying index, a short tine ping, dying while held.
TInstrument EPiano() {
    return [](double hz, double seconds, double velocity, TRandom&) {
        TAdsr env(0.003, 2.2, 0.0, 0.5, seconds);
        TVoice v(env.Length());
        TOsc carrier, modulator, tine;
        TDecay bright(0.5, 1.4 * velocity), ping(0.02, 0.12 * velocity);
        const double tineHz = std::min(hz * 7.0, 12000.0);
        const int pingFrames = Frames(0.2);
        for (size_t i = 0; i < v.size(); ++i) {
            double idx = 0.3 + bright.Next();
            double x = carrier.SinePm(hz, idx * modulator.Sine(hz) / (2 * kPi));
            if (static_cast<int>(i) < pingFrames) x += ping.Next() * tine.Sine(tineHz);
            v[i] = static_cast<float>(velocity * env.Next() * x);
        }
        return v;
    };
}

// ---------------------------------------------------------------------------------------------
// Drums: rendered once per song and replayed.

TVoice Kick(double from, double to, double decay) {
    TVoice v(Frames(decay * 3.5));
    TOsc body;
    TSvf clickLp;
    clickLp.Set(4000.0, 0.7);
    TRandom rng(3);
    const double n = static_cast<double>(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        double t = i * kDt;
        double x = body.Sine(to + (from - to) * std::exp(-t / 0.03)) * std::exp(-t / decay);
        clickLp.Process(rng.Bipolar());
        x += 0.35 * clickLp.low * std::exp(-t / 0.004);
        v[i] =
            static_cast<float>(std::min(1.0, t / 0.001) * (1.0 - i / n) * Saturate(1.4 * x, 1.0));
    }
    return v;
}

TVoice Snare(double tone, double decay, uint64_t seed) {
    TVoice v(Frames(decay * 4.0));
    TOsc a, b;
    TSvf hp, lp;
    hp.Set(1100.0, 0.7);
    lp.Set(9000.0, 0.7);
    TRandom rng(seed);
    const double n = static_cast<double>(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        double t = i * kDt;
        double body =
            0.7 * a.Sine(tone * (1.0 + 0.35 * std::exp(-t / 0.01))) * std::exp(-t / 0.05) +
            0.3 * b.Sine(tone * 1.75) * std::exp(-t / 0.03);
        hp.Process(rng.Bipolar());
        lp.Process(hp.high);
        double x = body + 0.9 * lp.low * std::exp(-t / decay);
        v[i] = static_cast<float>(std::min(1.0, t / 0.001) * (1.0 - i / n) * x);
    }
    return v;
}

// Hi-hats and cymbals: six detuned squares (the classic metallic cluster) and noise, high passed.
TVoice Metal(double decay, double highPass, double length, uint64_t seed) {
    static const double kRatios[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    TVoice v(Frames(length));
    TOsc osc[6];
    TSvf bp, hp;
    bp.Set(10000.0, 1.2);
    hp.Set(highPass, 0.7);
    TRandom rng(seed);
    const double n = static_cast<double>(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        double t = i * kDt;
        double metal = 0;
        for (int k = 0; k < 6; ++k) metal += osc[k].Pulse(kRatios[k] * 1.6, 0.5);
        bp.Process(metal / 6.0);
        hp.Process(0.6 * bp.band + 0.5 * rng.Bipolar());
        double env = std::min(1.0, t / 0.0008) * std::exp(-t / decay) * (1.0 - i / n);
        v[i] = static_cast<float>(env * hp.high);
    }
    return v;
}

TVoice Shaker(uint64_t seed) {
    TVoice v(Frames(0.12));
    TSvf bp;
    bp.Set(6500.0, 1.0);
    TRandom rng(seed);
    const double n = static_cast<double>(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        double t = i * kDt;
        bp.Process(rng.Bipolar());
        double env = std::min(1.0, t / 0.012) * std::exp(-t / 0.035) * (1.0 - i / n);
        v[i] = static_cast<float>(env * bp.band);
    }
    return v;
}

TVoice Tom(double hz) {
    TVoice v(Frames(0.5));
    TOsc body;
    TRandom rng(5);
    TSvf lp;
    lp.Set(2500.0, 0.7);
    const double n = static_cast<double>(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        double t = i * kDt;
        lp.Process(rng.Bipolar());
        double x = body.Sine(hz * (1.0 + 0.5 * std::exp(-t / 0.04))) * std::exp(-t / 0.16) +
                   0.3 * lp.low * std::exp(-t / 0.02);
        v[i] = static_cast<float>(std::min(1.0, t / 0.001) * (1.0 - i / n) * x);
    }
    return v;
}

// ---------------------------------------------------------------------------------------------
// The song: a stereo bus and two sends (echo, reverb), long enough for the tails.

struct TPart {
    TInstrument play;
    double gain = 1, pan = 0, echo = 0, reverb = 0;
};

struct TEffects {
    double echoBeats = 0.75, echoFeedback = 0.35, echoWet = 0.6;
    double room = 0.84, damp = 0.35, reverbWet = 1.0;
    double fadeFrom = -1;  // seconds; for the track that plays once
};

class TComb {
public:
    explicit TComb(int size) : buf_(size) {}
    float Process(float in, float feedback, float damp) {
        float out = buf_[i_];
        store_ = out * (1 - damp) + store_ * damp;
        buf_[i_] = in + store_ * feedback;
        if (++i_ == buf_.size()) i_ = 0;
        return out;
    }

private:
    std::vector<float> buf_;
    size_t i_ = 0;
    float store_ = 0;
};

class TAllpass {
public:
    explicit TAllpass(int size) : buf_(size) {}
    float Process(float in) {
        float b = buf_[i_];
        buf_[i_] = in + b * 0.5f;
        if (++i_ == buf_.size()) i_ = 0;
        return b - in;
    }

private:
    std::vector<float> buf_;
    size_t i_ = 0;
};

class TSong {
public:
    // The tempo is rounded to a whole number of frames per beat, so bars are whole frames too.
    TSong(double bpm, int bars, bool loops, uint64_t seed)
        : framesPerBeat_(static_cast<int>(std::lround(kRate * 60.0 / bpm))),
          length_(bars * 4 * framesPerBeat_),
          total_(length_ + Frames(kTail)),
          loops_(loops),
          l_(total_),
          r_(total_),
          echo_(total_),
          reverb_(total_),
          rng_(seed) {}

    double Seconds(double beats) const { return beats * framesPerBeat_ / kRate; }
    TRandom& Rng() { return rng_; }

    void Mix(const TVoice& v, double beat, double gain, double pan, double echo, double reverb) {
        const long start = std::lround(beat * framesPerBeat_);
        const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
        const float gl = static_cast<float>(gain * std::cos(angle) * std::sqrt(2.0));
        const float gr = static_cast<float>(gain * std::sin(angle) * std::sqrt(2.0));
        const float ge = static_cast<float>(gain * echo), gv = static_cast<float>(gain * reverb);
        const long end = std::min<long>(total_, start + static_cast<long>(v.size()));
        for (long f = std::max(0L, start); f < end; ++f) {
            const float s = v[f - start];
            l_[f] += gl * s;
            r_[f] += gr * s;
            echo_[f] += ge * s;
            reverb_[f] += gv * s;
        }
    }

    void Play(const TPart& part, double beat, double beats, int midi, double velocity = 1.0,
              double pan = 0.0) {
        Mix(part.play(MidiHz(midi), Seconds(beats), velocity, rng_), beat, part.gain,
            part.pan + pan, part.echo, part.reverb);
    }

    // A chord on the pad: the notes alternate between two voices panned apart by `spread`.
    void PlayPad(const TPadSound& sound, double beat, double beats, const std::vector<int>& notes,
                 double spread) {
        for (int side = 0; side < 2; ++side) {
            std::vector<double> hz;
            for (size_t k = side; k < notes.size(); k += 2) hz.push_back(MidiHz(notes[k]));
            if (hz.empty()) continue;
            Mix(PadVoice(sound, hz, Seconds(beats), rng_), beat, sound.gain,
                side ? spread : -spread, 0.0, sound.reverb);
        }
    }

    // A phrase starting at the bar, each note held `legato` of its written length.
    void PlayPhrase(const TPart& part, int bar, const std::vector<TNote>& notes, int transpose = 0,
                    double velocity = 1.0, double legato = 0.92) {
        for (const TNote& n : notes)
            Play(part, bar * 4 + n.beat, n.length * legato, n.midi + transpose,
                 velocity * (std::fmod(n.beat, 1.0) == 0 ? 1.0 : 0.88));
    }

    // A drum pattern over one bar: one character per step ('x' full, 'o' soft, '.' none); the
    // steps divide the bar evenly. Samples cycle through `kit` for a little variety.
    void Hits(const std::vector<TVoice>& kit, int bar, const std::string& pattern, double gain,
              double pan, double reverb) {
        const double step = 4.0 / pattern.size();
        for (size_t k = 0; k < pattern.size(); ++k) {
            if (pattern[k] == '.') continue;
            double velocity = (pattern[k] == 'x' ? 1.0 : 0.5) * (0.92 + 0.08 * rng_.Uniform());
            Mix(kit[hit_++ % kit.size()], bar * 4 + k * step, gain * velocity, pan, 0.0, reverb);
        }
    }

    // Echo, reverb, the loop fold (or the closing fade), and the final level: interleaved stereo.
    std::vector<float> Render(const TEffects& fx) {
        ApplyEffects(fx);
        std::vector<double> l, r;
        if (loops_) {
            l.assign(length_, 0.0);
            r.assign(length_, 0.0);
            for (int f = 0; f < total_; ++f) {
                l[f % length_] += l_[f];
                r[f % length_] += r_[f];
            }
        } else {
            l.assign(l_.begin(), l_.end());
            r.assign(r_.begin(), r_.end());
            const int from = Frames(fx.fadeFrom);
            for (int f = from; f < total_; ++f) {
                double g = 0.5 + 0.5 * std::cos(kPi * (f - from) / (total_ - 1 - from));
                l[f] *= g;
                r[f] *= g;
            }
            FadeEdges(l, 0.005, 0.005);
            FadeEdges(r, 0.005, 0.005);
        }
        // Rounds off the loudest peaks (the drums' transients), then sets the peak to -6 dBFS.
        const double peak = std::max(Peak(l), Peak(r));
        const double drive = 1.3, scale = DbGain(-6.0) / SoftClip(drive);
        std::vector<float> out(2 * l.size());
        for (size_t f = 0; f < l.size(); ++f) {
            out[2 * f] = static_cast<float>(scale * SoftClip(drive * l[f] / peak));
            out[2 * f + 1] = static_cast<float>(scale * SoftClip(drive * r[f] / peak));
        }
        return out;
    }

private:
    static constexpr double kTail = 7.0;  // seconds rendered past the last bar

    void ApplyEffects(const TEffects& fx) {
        const int delay = static_cast<int>(std::lround(fx.echoBeats * framesPerBeat_));
        std::vector<float> lineL(delay), lineR(delay);
        TOnePole toneL, toneR, dcL, dcR;
        toneL.Set(3500.0);
        toneR.Set(3500.0);
        dcL.Set(18.0);
        dcR.Set(18.0);
        const int kCombs[4] = {1116, 1277, 1422, 1557};
        const int kAllpasses[2] = {556, 441};
        std::vector<TComb> combL, combR;
        std::vector<TAllpass> apL, apR;
        for (int c : kCombs) {
            combL.emplace_back(c);
            combR.emplace_back(c + 23);
        }
        for (int a : kAllpasses) {
            apL.emplace_back(a);
            apR.emplace_back(a + 23);
        }
        const float room = static_cast<float>(fx.room), damp = static_cast<float>(fx.damp);
        const float fb = static_cast<float>(fx.echoFeedback), ew = static_cast<float>(fx.echoWet);
        const float rw = static_cast<float>(0.06 * fx.reverbWet);
        const int fade = Frames(0.5);
        int idx = 0;
        for (int f = 0; f < total_; ++f) {
            const float eL = lineL[idx], eR = lineR[idx];
            lineL[idx] = echo_[f] + fb * static_cast<float>(toneR.Low(eR));
            lineR[idx] = fb * static_cast<float>(toneL.Low(eL));
            if (++idx == delay) idx = 0;
            const float in = reverb_[f] + 0.2f * ew * (eL + eR);
            float wl = 0, wr = 0;
            for (int c = 0; c < 4; ++c) {
                wl += combL[c].Process(in, room, damp);
                wr += combR[c].Process(in, room, damp);
            }
            for (int a = 0; a < 2; ++a) {
                wl = apL[a].Process(wl);
                wr = apR[a].Process(wr);
            }
            double L = l_[f] + ew * eL + rw * wl;
            double R = r_[f] + ew * eR + rw * wr;
            if (f >= total_ - fade) {  // the far end of the tail, long since near silent
                const double g = static_cast<double>(total_ - f) / fade;
                L *= g;
                R *= g;
            }
            l_[f] = static_cast<float>(dcL.High(L));
            r_[f] = static_cast<float>(dcR.High(R));
        }
    }

    int framesPerBeat_, length_, total_;
    bool loops_;
    std::vector<float> l_, r_, echo_, reverb_;
    TRandom rng_;
    size_t hit_ = 0;
};

std::vector<TVoice> Hats(double decay, int count, uint64_t seed) {
    std::vector<TVoice> kit;
    for (int i = 0; i < count; ++i) kit.push_back(Metal(decay, 7000.0, decay * 4.0, seed + i));
    return kit;
}

// Spreads a chord's notes across the stereo field.
double Spread(size_t i, size_t n, double width) {
    return n < 2 ? 0.0 : -width + 2.0 * width * i / (n - 1);
}

// ---------------------------------------------------------------------------------------------
// The shared motif, four bars over Am F C G, and its endings.

const char* const kMotif =
    "A4/1 C5/.5 E5/1 D5/.5 C5/.5 D5/.5 | E5/1.5 G4/.5 A4/2 | "
    "G4/.5 C5/1 E5/.5 G5/1 E5/.5 D5/.5 | D5/1.5 B4/.5 G4/1 B4/1";
const char* const kMotifHalf = "A4/1 C5/.5 E5/1 D5/.5 C5/.5 D5/.5 | E5/1.5 G4/.5 A4/2";
const char* const kMotifEnding = "G4/.5 C5/1 E5/.5 G5/.5 A5/1 G5/.5 | E5/1 D5/1 B4/1 r/1";

// ---------------------------------------------------------------------------------------------
// rmusic0: the title. Pads and bells over a slow progression with a lydian colour; a soft tune
// in the second half; only a shaker and a soft heartbeat kick.

std::vector<float> Title() {
    TSong s(84, 16, true, 100);
    const TChord am9 = Chord("A3 C4 G4 B4", "A2", "E5 G5 B5 C6");
    const TChord f7 = Chord("A3 C4 E4 B4", "F2", "E5 A5 B5 C6");
    const TChord dm9 = Chord("F3 A3 C4 E4", "D2", "D5 E5 F5 A5");
    const TChord e7sus = Chord("E3 A3 B3 D4", "E2", "B4 D5 E5 A5");
    const TChord cmaj7 = Chord("G3 B3 C4 E4", "G2", "C5 E5 G5 B5");
    const TChord prog[8] = {am9, f7, dm9, e7sus, am9, f7, cmaj7, e7sus};

    const TPadSound pad{1100.0, 0.9, 1.6, 0.16, 0.5};
    const TPart bass{SubBass(), 0.28, 0.0, 0.0, 0.05};
    const TPart bell{Bell(3.5, 1.6, 0.45), 0.16, 0.0, 0.55, 0.4};
    const TPart tune{SoftLead(), 0.30, 0.0, 0.35, 0.5};
    const std::vector<TVoice> shaker = {Shaker(1), Shaker(2), Shaker(3)};
    const std::vector<TVoice> kick = {Kick(95.0, 42.0, 0.18)};

    const int kBellOrder[8] = {0, 1, 2, 3, 2, 1, 3, 2};
    for (int bar = 0; bar < 16; ++bar) {
        const TChord& c = prog[bar % 8];
        s.PlayPad(pad, bar * 4, 4.0, c.pad, 0.4);
        s.Play(bass, bar * 4, 3.6, c.root, 1.0);
        // Bells: quarter notes at first, eighths from the fifth bar, softer on the off-beats.
        const int steps = bar < 4 ? 4 : 8;
        for (int k = 0; k < steps; ++k) {
            const int tone = c.arp[kBellOrder[(k * 8 / steps) % 8]];
            double velocity = (k % 2 == 0 || steps == 4) ? 1.0 : 0.7;
            s.Play(bell, bar * 4 + k * 4.0 / steps, 0.5, tone, velocity, (k % 2) ? 0.45 : -0.45);
        }
        if (bar >= 4)
            s.Hits(shaker, bar, bar % 4 == 3 ? "xoxoxoxoxoxoxxxo" : "x.o.x.o.x.o.x.oo", 0.35, 0.3,
                   0.2);
        if (bar >= 8) s.Hits(kick, bar, "x.........x.....", 0.45, 0.0, 0.1);
    }
    const auto melody = Phrase(
        "A4/1.5 C5/.5 E5/2 | D5/1 C5/1 B4/2 | A4/1.5 C5/.5 F5/1.5 E5/.5 | E5/3 r/1 | "
        "C5/1 E5/1 A5/2 | G5/1 E5/1 B4/2 | C5/1 B4/.5 G4/.5 E5/2 | B4/3 r/1");
    s.PlayPhrase(tune, 8, melody, 0, 1.0, 0.95);

    TEffects fx;
    fx.echoBeats = 0.75;
    fx.echoFeedback = 0.45;
    fx.room = 0.88;
    fx.reverbWet = 2.0;
    return s.Render(fx);
}

// ---------------------------------------------------------------------------------------------
// rmusic1: four turrets standing. Steady: pulsing bass, an eighth-note arpeggio, light drums; the
// motif enters in bar 5, a second theme in bar 9.

std::vector<float> FourTurrets() {
    TSong s(100, 16, true, 101);
    const TChord am = Chord("A3 C4 E4", "A2", "A4 C5 E5 A5");
    const TChord f = Chord("A3 C4 F4", "F2", "F4 A4 C5 F5");
    const TChord c = Chord("G3 C4 E4", "C3", "G4 C5 E5 G5");
    const TChord g = Chord("G3 B3 D4", "G2", "G4 B4 D5 G5");
    const TChord em = Chord("G3 B3 E4", "E2", "G4 B4 E5 G5");
    const TChord e = Chord("G#3 B3 E4", "E2", "G#4 B4 E5 G#5");
    const TChord prog[16] = {am, f, c, g, am, f, c, g, f, g, em, am, f, g, e, e};

    const TPadSound pad{900.0, 0.25, 0.6, 0.09, 0.4};
    const TPart bass{Bass(260.0, 1300.0, 0.08, 1.1, 1.6), 0.40, 0.0, 0.0, 0.03};
    const TPart arp{Pluck(0.25, 3800.0, 0.16), 0.15, 0.0, 0.5, 0.25};
    const TPart lead{Lead(0.5, 3000.0, 0.3), 0.22, 0.05, 0.3, 0.35};
    const std::vector<TVoice> kick = {Kick(150.0, 48.0, 0.16)};
    const std::vector<TVoice> snare = {Snare(185.0, 0.07, 21), Snare(185.0, 0.07, 22)};
    const std::vector<TVoice> hats = Hats(0.028, 4, 30);
    const std::vector<TVoice> open = {Metal(0.16, 6500.0, 0.5, 40)};

    const int kBass[8] = {0, 0, 12, 0, 0, 12, 0, 7};
    const int kArp[8] = {0, 1, 2, 1, 3, 1, 2, 1};
    for (int bar = 0; bar < 16; ++bar) {
        const TChord& ch = prog[bar];
        s.PlayPad(pad, bar * 4, 4.0, ch.pad, 0.4);
        for (int k = 0; k < 8; ++k)
            s.Play(bass, bar * 4 + k * 0.5, 0.38, ch.root + kBass[k], k % 2 ? 0.8 : 1.0);
        for (int k = 0; k < 8; ++k)
            s.Play(arp, bar * 4 + k * 0.5, 0.3, ch.arp[kArp[k]], k % 2 ? 0.7 : 0.95,
                   k % 2 ? 0.35 : -0.35);
        s.Hits(kick, bar, bar % 2 ? "x.......x.x....." : "x.......x.......", 0.85, 0.0, 0.02);
        s.Hits(snare, bar, bar % 4 == 3 ? "....x.......x..o" : "....x.......x...", 0.5, 0.05, 0.2);
        s.Hits(hats, bar, "x.o.x.o.x.o.x.o.", 0.3, 0.3, 0.05);
        if (bar % 2) s.Hits(open, bar, "..............x.", 0.2, 0.3, 0.1);
    }
    s.PlayPhrase(lead, 4, Phrase(kMotif));
    s.PlayPhrase(lead, 8,
                 Phrase("A4/1 C5/1 F5/1.5 E5/.5 | D5/1.5 B4/.5 G4/2 | G4/1 B4/1 E5/1.5 D5/.5 | "
                        "C5/1.5 B4/.5 A4/2 | "
                        "A4/.5 C5/1 F5/.5 E5/1 C5/1 | D5/1 B4/.5 D5/.5 G5/2 | E5/1.5 D5/.5 B4/1 "
                        "G#4/1 | B4/2 r/2"));

    TEffects fx;
    fx.echoBeats = 0.75;
    fx.echoFeedback = 0.35;
    return s.Render(fx);
}

// ---------------------------------------------------------------------------------------------
// rmusic2: two or three turrets. More drive: four-on-the-floor, octave bass, sixteenth hats; the
// motif, a darker middle section, then the motif an octave up in thirds.

std::vector<float> TwoTurrets() {
    TSong s(118, 24, true, 102);
    const TChord am = Chord("A3 C4 E4", "A2", "A4 C5 E5 A5");
    const TChord f = Chord("A3 C4 F4", "F2", "F4 A4 C5 F5");
    const TChord c = Chord("G3 C4 E4", "C3", "G4 C5 E5 G5");
    const TChord g = Chord("G3 B3 D4", "G2", "G4 B4 D5 G5");
    const TChord dm = Chord("A3 D4 F4", "D2", "D5 F5 A5 D6");
    const TChord e = Chord("G#3 B3 E4", "E2", "E5 G#5 B5 E6");
    const TChord bb = Chord("Bb3 D4 F4", "Bb2", "D5 F5 Bb5 D6");
    const TChord amHi = Chord("A3 C4 E4", "A2", "A5 C6 E6 C6");
    const TChord prog[24] = {am, f,    c,  g, am, f, c, g, dm, amHi, f, e,
                             dm, amHi, bb, e, am, f, c, g, am, f,    c, g};

    const TPadSound pad{1300.0, 0.2, 0.5, 0.08, 0.4};
    const TPart bass{Bass(300.0, 1800.0, 0.07, 1.3, 2.0), 0.48, 0.0, 0.0, 0.02};
    const TPart arp{Pluck(0.3, 3800.0, 0.12), 0.12, 0.0, 0.45, 0.2};
    const TPart lead{Lead(0.45, 3400.0, 0.45), 0.22, -0.1, 0.3, 0.3};
    const TPart harmony{Lead(0.3, 2200.0, 0.2), 0.13, 0.35, 0.3, 0.3};
    const std::vector<TVoice> kick = {Kick(160.0, 50.0, 0.15)};
    const std::vector<TVoice> snare = {Snare(195.0, 0.08, 23), Snare(195.0, 0.08, 24)};
    const std::vector<TVoice> hats = Hats(0.025, 4, 31);
    const std::vector<TVoice> open = {Metal(0.14, 6500.0, 0.45, 41)};
    const std::vector<TVoice> crash = {Metal(0.6, 4000.0, 2.2, 42)};

    const int kArp[16] = {0, 1, 2, 3, 1, 2, 3, 2, 0, 1, 2, 3, 1, 2, 3, 2};
    for (int bar = 0; bar < 24; ++bar) {
        const TChord& ch = prog[bar];
        const bool middle = bar >= 8 && bar < 16, last = bar >= 16;
        if (middle || last) s.PlayPad(pad, bar * 4, 4.0, ch.pad, 0.5);
        for (int k = 0; k < (middle ? 16 : 8); ++k) {
            const double step = middle ? 0.25 : 0.5;
            const int offset = middle ? ((k % 4 == 2) ? 12 : 0) : ((k % 2) ? 12 : 0);
            s.Play(bass, bar * 4 + k * step, step * 0.8, ch.root + offset,
                   (k % (middle ? 4 : 2) == 0) ? 1.0 : 0.75);
        }
        if (middle || last)
            for (int k = 0; k < 16; ++k)
                s.Play(arp, bar * 4 + k * 0.25, 0.2, ch.arp[kArp[k]], k % 4 == 0 ? 1.0 : 0.7,
                       (k % 2) ? 0.4 : -0.4);
        const bool fill = bar % 8 == 7;
        s.Hits(kick, bar, bar % 4 == 3 ? "x...x...x...x.x." : "x...x...x...x...", 0.75, 0.0, 0.02);
        s.Hits(snare, bar, fill ? "....x.......xoxx" : "....x.......x...", 0.55, 0.05, 0.2);
        s.Hits(hats, bar, middle || last ? "xoxoxoxoxoxoxoxo" : "x.o.x.o.x.o.x.o.", 0.26, 0.3,
               0.05);
        if (last) s.Hits(open, bar, "..x...x...x...x.", 0.18, -0.3, 0.1);
        if (bar % 8 == 0) s.Hits(crash, bar, "x...", 0.3, -0.2, 0.3);
    }
    s.PlayPhrase(lead, 0, Phrase(kMotif));
    s.PlayPhrase(lead, 4, Phrase(kMotifHalf));
    s.PlayPhrase(lead, 6, Phrase(kMotifEnding));
    s.PlayPhrase(lead, 8,
                 Phrase("D5/.5 F5/.5 A5/1 G5/.5 F5/.5 E5/1 | E5/1.5 C5/.5 A4/2 | F4/.5 A4/.5 C5/1 "
                        "F5/1 E5/.5 C5/.5 | "
                        "B4/2 G#4/1 B4/1 | D5/.5 F5/.5 A5/1 C6/1 A5/1 | G5/.5 E5/.5 C5/1 E5/2 | "
                        "D5/.5 F5/.5 Bb5/1 A5/1 F5/1 | G#5/1.5 E5/.5 B4/1 G#4/1"));
    // The motif again an octave up, with a second voice a third below.
    std::vector<TNote> high = Phrase(kMotif);
    const auto ending = Phrase(std::string(kMotifHalf) + " | " + kMotifEnding);
    for (const auto& part : {std::make_pair(16, high), std::make_pair(20, ending)}) {
        s.PlayPhrase(lead, part.first, part.second, 12);
        std::vector<TNote> third = part.second;
        for (TNote& n : third) n.midi = Diatonic(n.midi + 12, -2) - 12;
        s.PlayPhrase(harmony, part.first, third, 12);
    }

    TEffects fx;
    fx.echoBeats = 0.75;
    fx.echoFeedback = 0.32;
    fx.room = 0.8;
    return s.Render(fx);
}

// ---------------------------------------------------------------------------------------------
// rmusic3: one turret or none. Urgent: harmonic minor (E major), galloping sixteenth bass, kick
// on every beat with pickups, crashes and fills, an alarm-like ostinato, the motif in thirds.

std::vector<float> LastTurret() {
    TSong s(136, 24, true, 103);
    const TChord am = Chord("A3 C4 E4", "A2", "A5 E5 C6 E5");
    const TChord f = Chord("A3 C4 F4", "F2", "A5 F5 C6 F5");
    const TChord e = Chord("G#3 B3 E4", "E2", "B5 E5 G#5 E5");
    const TChord dm = Chord("A3 D4 F4", "D2", "A5 D5 F5 D5");
    const TChord bb = Chord("Bb3 D4 F4", "Bb2", "Bb5 D5 F5 D5");
    const TChord prog[24] = {am, am, f,  e, am, am, f,  e, dm, am, bb, e,
                             dm, am, bb, e, am, f,  dm, e, am, f,  bb, e};

    const TPadSound pad{1600.0, 0.08, 0.4, 0.08, 0.35};
    const TPart bass{Bass(340.0, 2400.0, 0.05, 1.6, 2.6), 0.5, 0.0, 0.0, 0.02};
    const TPart arp{Pluck(0.2, 4200.0, 0.09), 0.10, 0.0, 0.35, 0.2};
    const TPart lead{Lead(0.4, 3600.0, 0.55), 0.22, -0.1, 0.28, 0.3};
    const TPart harmony{Lead(0.3, 2600.0, 0.3), 0.13, 0.35, 0.28, 0.3};
    const std::vector<TVoice> kick = {Kick(170.0, 52.0, 0.13)};
    const std::vector<TVoice> snare = {Snare(205.0, 0.09, 25), Snare(205.0, 0.09, 26),
                                       Snare(205.0, 0.09, 27)};
    const std::vector<TVoice> hats = Hats(0.022, 4, 32);
    const std::vector<TVoice> open = {Metal(0.12, 6500.0, 0.4, 43)};
    const std::vector<TVoice> crash = {Metal(0.7, 4000.0, 2.4, 44)};
    const std::vector<TVoice> toms = {Tom(180.0), Tom(140.0), Tom(105.0)};

    for (int bar = 0; bar < 24; ++bar) {
        const TChord& ch = prog[bar];
        const bool middle = bar >= 8 && bar < 16;
        s.PlayPad(pad, bar * 4, 4.0, ch.pad, 0.5);
        // Galloping bass: root, root, octave, root in each beat.
        for (int k = 0; k < 16; ++k)
            s.Play(bass, bar * 4 + k * 0.25, 0.2, ch.root + (k % 4 == 2 ? 12 : 0),
                   k % 4 == 0 ? 1.0 : 0.72);
        // The alarm ostinato in the middle section, a quieter one elsewhere.
        for (int k = 0; k < 16; ++k)
            s.Play(arp, bar * 4 + k * 0.25, 0.18, ch.arp[k % 4] - (middle ? 0 : 12),
                   (middle ? 1.0 : 0.6) * (k % 4 == 0 ? 1.0 : 0.75), (k % 2) ? 0.4 : -0.4);
        const bool fill = bar % 8 == 7;
        s.Hits(kick, bar,
               fill ? "x...x...x.x.x..." : (bar % 2 ? "x...x...x...x.x." : "x...x..x..x.x..."), 0.8,
               0.0, 0.02);
        if (bar == 15)
            s.Hits(snare, bar, "....x...xoxoxxxx", 0.55, 0.05, 0.2);
        else
            s.Hits(snare, bar, "....x..o....x.o.", 0.55, 0.05, 0.2);
        if (fill && bar != 15) {
            s.Hits({toms[0]}, bar, "..........x.....", 0.45, -0.3, 0.2);
            s.Hits({toms[1]}, bar, "............x.x.", 0.45, 0.0, 0.2);
            s.Hits({toms[2]}, bar, "..............xx", 0.5, 0.3, 0.2);
        }
        s.Hits(hats, bar, "xoxoxoxoxoxoxoxo", 0.26, 0.3, 0.05);
        if (bar >= 16) s.Hits(open, bar, "..x...x...x...x.", 0.18, -0.3, 0.1);
        if (bar % 8 == 0) s.Hits(crash, bar, "x...", 0.32, -0.2, 0.3);
    }
    // Section A: the motif (its fourth bar over E major), then again with a third below.
    const char* motifE =
        "A4/1 C5/.5 E5/1 D5/.5 C5/.5 D5/.5 | E5/1.5 G4/.5 A4/2 | "
        "G4/.5 C5/1 E5/.5 G5/1 E5/.5 D5/.5 | D5/1.5 B4/.5 G#4/1 B4/1";
    s.PlayPhrase(lead, 0, Phrase(motifE));
    s.PlayPhrase(lead, 4, Phrase(motifE));
    std::vector<TNote> third = Phrase(motifE);
    for (TNote& n : third) n.midi = Diatonic(n.midi, -2);
    s.PlayPhrase(harmony, 4, third);
    // Section B: long, tense notes over the ostinato.
    s.PlayPhrase(lead, 8,
                 Phrase("F5/2 E5/2 | E5/3 C5/1 | D5/2 F5/2 | E5/4 | F5/2 A5/2 | G5/2 E5/2 | F5/2 "
                        "D5/2 | G#5/2 B5/2"),
                 0, 0.9, 0.97);
    // Section C: the motif an octave up in thirds, ending on a rising E major.
    const auto high = Phrase(std::string(motifE) + " | " + kMotifHalf +
                             " | F5/.5 D5/.5 Bb4/1 D5/1 F5/1 | E4/1 G#4/1 B4/1 D5/1");
    s.PlayPhrase(lead, 16, high, 12);
    third = high;
    for (TNote& n : third) n.midi = Diatonic(n.midi + 12, -2) - 12;
    s.PlayPhrase(harmony, 16, third, 12);

    TEffects fx;
    fx.echoBeats = 0.75;
    fx.echoFeedback = 0.3;
    fx.echoWet = 0.5;
    fx.room = 0.78;
    return s.Render(fx);
}

// ---------------------------------------------------------------------------------------------
// rmusic4: game over. Slow, sad: electric piano over strings; the motif returns, slowed, and the
// last chord rings out into silence.

std::vector<float> GameOver() {
    TSong s(60, 8, false, 104);
    const TChord am = Chord("A3 C4 E4 G4", "A2", "A3 E4 A4 C5");
    const TChord f7 = Chord("A3 C4 E4 F4", "F2", "F3 C4 E4 A4");
    const TChord dm7 = Chord("A3 C4 D4 F4", "D2", "D3 A3 C4 F4");
    const TChord e7 = Chord("G#3 B3 D4 E4", "E2", "E3 B3 D4 G#4");
    const TChord f = Chord("A3 C4 F4", "F2", "F3 C4 F4 A4");
    const TChord dm = Chord("A3 D4 F4", "D2", "D3 A3 D4 F4");
    const TChord amEnd = Chord("A3 C4 E4 B4", "A2", "A3 E4 B4 C5");
    const TChord prog[8] = {am, f7, dm7, e7, am, f, dm, amEnd};

    const TPadSound strings{800.0, 1.2, 2.5, 0.14, 0.6};
    const TPart bass{SubBass(), 0.22, 0.0, 0.0, 0.1};
    const TPart keys{EPiano(), 0.17, 0.0, 0.35, 0.5};
    const TPart melody{EPiano(), 0.30, 0.1, 0.45, 0.6};

    const int kBroken[8] = {0, 1, 2, 3, 2, 1, 2, 1};
    for (int bar = 0; bar < 8; ++bar) {
        const TChord& ch = prog[bar];
        const bool end = bar == 7;
        s.PlayPad(strings, bar * 4, end ? 6.0 : 4.0, ch.pad, 0.5);
        s.Play(bass, bar * 4, end ? 6.0 : 3.8, ch.root, 1.0);
        // Broken chords in eighths; the last bar only a slow roll up.
        if (end) {
            for (size_t k = 0; k < ch.arp.size(); ++k)
                s.Play(keys, bar * 4 + k * 0.5, 6.0 - k * 0.5, ch.arp[k], 0.8, Spread(k, 4, 0.5));
        } else {
            for (int k = 0; k < 8; ++k)
                s.Play(keys, bar * 4 + k * 0.5, 0.9, ch.arp[kBroken[k]], k % 2 ? 0.55 : 0.75,
                       (k % 2) ? 0.3 : -0.3);
        }
    }
    s.PlayPhrase(melody, 2,
                 Phrase("A4/1 C5/1 E5/1.5 D5/.5 | C5/1 D5/1 B4/2 | E5/1.5 G4/.5 A4/2 | A4/1 C5/1 "
                        "F5/1.5 E5/.5 | "
                        "D5/1 C5/1 A4/2"),
                 12, 0.9, 1.0);
    s.Play(melody, 28, 6.0, NoteNumber("A5"), 0.8);

    TEffects fx;
    fx.echoBeats = 0.75;
    fx.echoFeedback = 0.4;
    fx.room = 0.9;
    fx.damp = 0.45;
    fx.reverbWet = 2.0;
    fx.fadeFrom = 29.0;  // the last bar starts at 28 s; the file ends about 39 s in
    return s.Render(fx);
}

}  // namespace

void WriteMusic(const std::filesystem::path& dir) {
    wav::WritePcm16(dir / "rmusic0.wav", Title(), 2, kRate);
    wav::WritePcm16(dir / "rmusic1.wav", FourTurrets(), 2, kRate);
    wav::WritePcm16(dir / "rmusic2.wav", TwoTurrets(), 2, kRate);
    wav::WritePcm16(dir / "rmusic3.wav", LastTurret(), 2, kRate);
    wav::WritePcm16(dir / "rmusic4.wav", GameOver(), 2, kRate);
}

}  // namespace assetgen
