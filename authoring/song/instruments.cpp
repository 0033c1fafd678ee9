#include "authoring/song/instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include "authoring/xorshift.h"

namespace {

// Every sample is made at 4 x 8363 Hz, which a note plays at C-4 with a
// relative note of +24. Pitched samples hold whole cycles of 128 frames, a
// loop of any number of cycles is seamless, and a fine-tune of a few
// hundredths of a semitone brings 33452 / 128 Hz up to middle C.
constexpr double Rate = 8363.0 * 4;
constexpr int Cycle = 128;
using std::numbers::pi;
constexpr double MiddleC = 261.6255653;

double Seconds(int frame) { return frame / Rate; }

// A small deterministic noise source.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double Next() {  // -1 .. 1
        return static_cast<int32_t>(Xorshift32(state_)) / 2147483648.0;
    }

private:
    uint32_t state_;
};

// Scales to a peak of `peak` x full scale and rounds to 16 bits; non-looped
// sounds end with a short fade so that they never stop on a step.
std::vector<int16_t> ToSample(std::vector<double> wave, double peak, bool fadeEnd) {
    if (fadeEnd) {
        const size_t fade = std::min<size_t>(256, wave.size());
        for (size_t i = 0; i < fade; ++i) wave[wave.size() - 1 - i] *= static_cast<double>(i) / fade;
    }
    double loudest = 1e-9;
    for (const double value : wave) loudest = std::max(loudest, std::fabs(value));
    std::vector<int16_t> sample(wave.size());
    for (size_t i = 0; i < wave.size(); ++i)
        sample[i] = static_cast<int16_t>(std::lround(wave[i] / loudest * peak * 32767.0));
    return sample;
}

// The harmonic amplitudes of a sawtooth-like wave, falling as 1 / k^slope,
// with a soft low-pass at harmonic `cutoff`.
std::vector<double> SawHarmonics(double cutoff, int harmonics, double slope) {
    std::vector<double> weights(static_cast<size_t>(harmonics));
    for (int k = 1; k <= harmonics; ++k) {
        const double ratio = k / cutoff;
        weights[k - 1] = 1 / std::pow(k, slope) / (1 + ratio * ratio * ratio * ratio);
    }
    return weights;
}

double Harmonics(double phase, const std::vector<double>& weights) {
    double sum = 0;
    for (size_t k = 1; k <= weights.size(); ++k) sum += std::sin(2 * pi * static_cast<double>(k) * phase) * weights[k - 1];
    return sum;
}

XmInstrument Base(const char* name, std::vector<int16_t> sample, int8_t finetune) {
    XmInstrument instrument;
    instrument.name = name;
    instrument.sample = std::move(sample);
    instrument.relativeNote = 24;
    instrument.finetune = finetune;
    return instrument;
}

XmInstrument Drum(const char* name, std::vector<double> wave, double peak) {
    return Base(name, ToSample(std::move(wave), peak, true), 0);
}

void LoopAll(XmInstrument& instrument, uint32_t start) {
    instrument.loop = XmLoop::Forward;
    instrument.loopStart = start;
    instrument.loopLength = static_cast<uint32_t>(instrument.sample.size()) - start;
}

XmInstrument MakeKick() {
    std::vector<double> wave(static_cast<size_t>(Rate * 0.4));
    double phase = 0;
    for (size_t i = 0; i < wave.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        phase += (48 + 120 * std::exp(-t / 0.035)) / Rate;
        const double body = std::sin(2 * pi * phase) * std::exp(-t / 0.22);
        const double click = std::exp(-t / 0.004) * 0.5;
        wave[i] = std::tanh(1.6 * (body + click * std::sin(2 * pi * phase * 3)));
    }
    return Drum("kick", wave, 0.95);
}

// Noise through a one-pole high-pass, the body of snares, hats and cymbals.
std::vector<double> HighPassedNoise(size_t frames, uint32_t seed, double keep) {
    Noise noise(seed);
    std::vector<double> wave(frames);
    double previousIn = 0, out = 0;
    for (double& value : wave) {
        const double in = noise.Next();
        out = keep * (out + in - previousIn);
        previousIn = in;
        value = out;
    }
    return wave;
}

XmInstrument MakeSnare() {
    std::vector<double> wave = HighPassedNoise(static_cast<size_t>(Rate * 0.3), 0x5EED0001u, 0.75);
    for (size_t i = 0; i < wave.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        const double tone = std::sin(2 * pi * 185 * t) * std::exp(-t / 0.045) + 0.5 * std::sin(2 * pi * 330 * t) * std::exp(-t / 0.03);
        wave[i] = 0.9 * tone + wave[i] * std::exp(-t / 0.085) * 1.2;
    }
    return Drum("snare", wave, 0.9);
}

XmInstrument MakeCymbal(const char* name, double seconds, double decay, uint32_t seed, double peak) {
    std::vector<double> wave = HighPassedNoise(static_cast<size_t>(Rate * seconds), seed, 0.35);
    // A few detuned squares give the metallic ring of a real cymbal.
    const double partials[] = {3360, 4820, 5960, 7330};
    for (size_t i = 0; i < wave.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        double ring = 0;
        for (const double frequency : partials) ring += std::sin(2 * pi * frequency * t) > 0 ? 0.12 : -0.12;
        wave[i] = (wave[i] + ring * 0.5) * std::exp(-t / decay) * std::min(1.0, t / 0.0008);
    }
    return Drum(name, wave, peak);
}

// A plucked bass whose filter closes over 0.2 s; the last cycles loop.
XmInstrument MakeBass(int8_t finetune) {
    const int cycles = 72, settled = 56;
    std::vector<double> wave(static_cast<size_t>(cycles * Cycle));
    for (size_t i = 0; i < wave.size(); ++i) {
        const double phase = static_cast<double>(i) / Cycle;
        const double closing = std::max(0.0, 1 - std::min(phase, double(settled)) / settled);
        const double cutoff = 3 + 14 * closing * closing;
        wave[i] = Harmonics(phase, SawHarmonics(cutoff, 40, 1.0)) + 0.8 * std::sin(2 * pi * phase);
    }
    XmInstrument bass = Base("bass", ToSample(wave, 0.9, false), finetune);
    LoopAll(bass, static_cast<uint32_t>(settled * Cycle));
    bass.volumeEnvelope = {{{0, 64}, {6, 52}, {30, 44}}, 2, -1, -1};
    bass.fadeout = 0x0C00;
    return bass;
}

// Detuned voices with whole cycles in the loop: `cycles` per voice plus a
// spread, so that the chorus repeats seamlessly.
std::vector<double> Ensemble(int cycles, std::initializer_list<int> spreads, double cutoff, int harmonics, double slope,
                             uint32_t seed) {
    Noise noise(seed);
    const size_t frames = static_cast<size_t>(cycles * Cycle);
    std::vector<double> wave(frames, 0.0);
    const std::vector<double> weights = SawHarmonics(cutoff, harmonics, slope);
    for (const int spread : spreads) {
        const double speed = static_cast<double>(cycles + spread) / cycles;
        const double offset = (noise.Next() + 1) / 2;
        for (size_t i = 0; i < frames; ++i)
            wave[i] += Harmonics(static_cast<double>(i) / Cycle * speed + offset, weights);
    }
    return wave;
}

XmInstrument MakePad(int8_t finetune) {
    XmInstrument pad = Base("pad", ToSample(Ensemble(200, {-1, 0, 1, 2}, 5, 24, 1.3, 0x5EED0002u), 0.8, false),
                            finetune);
    LoopAll(pad, 0);
    pad.volumeEnvelope = {{{0, 0}, {14, 64}, {70, 48}}, 2, -1, -1};
    pad.fadeout = 0x0300;
    return pad;
}

XmInstrument MakeLead(int8_t finetune) {
    XmInstrument lead = Base("lead", ToSample(Ensemble(100, {0, 1}, 9, 40, 1.0, 0x5EED0003u), 0.85, false),
                             finetune);
    LoopAll(lead, 0);
    lead.volumeEnvelope = {{{0, 0}, {2, 64}, {16, 50}, {64, 44}}, 3, -1, -1};
    lead.fadeout = 0x0800;
    lead.vibratoType = 0;
    lead.vibratoSweep = 40;
    lead.vibratoDepth = 6;
    lead.vibratoRate = 10;
    return lead;
}

// A bright pluck: each harmonic dies away faster than the one below it.
XmInstrument MakePluck(int8_t finetune) {
    std::vector<double> wave(static_cast<size_t>(Rate * 0.9));
    for (size_t i = 0; i < wave.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        const double phase = static_cast<double>(i) / Cycle;
        double sum = 0;
        for (int k = 1; k <= 12; ++k) sum += std::sin(2 * pi * k * phase) / k * std::exp(-t * (3 + 4.0 * k));
        wave[i] = sum * std::min(1.0, t / 0.002);
    }
    return Base("pluck", ToSample(wave, 0.9, true), finetune);
}

}  // namespace

std::vector<XmInstrument> MakeInstruments() {
    const int8_t finetune = static_cast<int8_t>(std::lround(12 * 128 * std::log2(MiddleC * Cycle / Rate)));
    std::vector<XmInstrument> instruments;
    instruments.push_back(MakeKick());
    instruments.push_back(MakeSnare());
    instruments.push_back(MakeCymbal("closed hat", 0.12, 0.022, 0x5EED0004u, 0.6));
    instruments.push_back(MakeCymbal("open hat", 0.5, 0.16, 0x5EED0005u, 0.6));
    instruments.push_back(MakeCymbal("crash", 2.0, 0.55, 0x5EED0006u, 0.7));
    instruments.push_back(MakeBass(finetune));
    instruments.push_back(MakePad(finetune));
    instruments.push_back(MakeLead(finetune));
    instruments.push_back(MakePluck(finetune));
    return instruments;
}
