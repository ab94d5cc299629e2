#include "sound/Instruments.h"

#include <algorithm>
#include <cmath>

#include "sound/Synth.h"

namespace sound {

namespace {

const int DrumRate = 22050;
const int HatRate = 44100;

XmInstrument drumInstrument(const std::string& name, Buffer b, int rate) {
    fadeEdges(b, 8, static_cast<int>(b.size() / 4));
    normalize(b, 0.97);
    XmInstrument inst;
    inst.name = name;
    inst.sample.data = toPcm16(b);
    tuneForRate(inst.sample, rate);
    // Drums ring out by themselves; the envelope only softens a key off.
    inst.volumeEnvelope = envelope(0, 1, 64, 6);
    inst.fadeout = 2048;
    return inst;
}

}  // namespace

XmInstrument makeKick(double startHz, double endHz, double decaySeconds) {
    Buffer b(static_cast<size_t>(DrumRate * decaySeconds * 4));
    Noise noise(0x1234u);
    OnePole click(3000, DrumRate);
    double phase = 0;
    for (size_t i = 0; i < b.size(); i++) {
        double t = static_cast<double>(i) / DrumRate;
        double hz = endHz + (startHz - endHz) * std::exp(-t / 0.03);
        phase += 2 * Pi * hz / DrumRate;
        double body = std::sin(phase) * std::exp(-t / decaySeconds);
        double transient = click.lowPass(noise.next()) * std::exp(-t / 0.004);
        double attack = std::min(1.0, t / 0.001);
        // A touch of soft saturation gives the body some weight.
        b[i] = static_cast<float>(attack * std::tanh(1.6 * body) + 0.6 * transient);
    }
    return drumInstrument("kick", b, DrumRate);
}

XmInstrument makeSnare(double toneHz, double noiseMix, double decaySeconds, uint32_t seed) {
    Buffer b(static_cast<size_t>(DrumRate * decaySeconds * 3));
    Noise noise(seed);
    StateVariable band(DrumRate, 0.3);
    band.set(3500);
    OnePole hiss(1200, DrumRate);
    for (size_t i = 0; i < b.size(); i++) {
        double t = static_cast<double>(i) / DrumRate;
        double hz = toneHz * (1 + 0.5 * std::exp(-t / 0.01));
        double body = std::sin(2 * Pi * hz * t) * std::exp(-t / 0.06);
        float n = noise.next();
        band.low(n);
        double rattle = (band.band() + 0.5 * hiss.highPass(n)) * std::exp(-t / decaySeconds);
        double attack = std::min(1.0, t / 0.0015);
        b[i] = static_cast<float>(attack * ((1 - noiseMix) * body + noiseMix * rattle));
    }
    return drumInstrument("snare", b, DrumRate);
}

XmInstrument makeHat(double decaySeconds, double brightness, uint32_t seed) {
    Buffer b(static_cast<size_t>(HatRate * decaySeconds * 3.5));
    Noise noise(seed);
    OnePole high(6000 + 3000 * brightness, HatRate);
    OnePole high2(5000, HatRate);
    OnePole top(16000, HatRate);
    for (size_t i = 0; i < b.size(); i++) {
        double t = static_cast<double>(i) / HatRate;
        // A few square partials at inharmonic ratios give hats their metal.
        double metal = 0;
        const double ratios[4] = {1.0, 1.342, 1.2312, 1.6532};
        for (double r : ratios)
            metal += std::sin(2 * Pi * 4100 * r * t) > 0 ? 1 : -1;
        float x = static_cast<float>(noise.next() + 0.15 * metal);
        float y = top.lowPass(high2.highPass(high.highPass(x)));
        double attack = std::min(1.0, t / 0.0008);
        b[i] = static_cast<float>(attack * y * std::exp(-t / decaySeconds));
    }
    return drumInstrument(decaySeconds > 0.1 ? "open hat" : "hat", b, HatRate);
}

XmInstrument makeClap(uint32_t seed) {
    Buffer b(static_cast<size_t>(DrumRate * 0.35));
    Noise noise(seed);
    StateVariable band(DrumRate, 0.5);
    band.set(1300);
    for (size_t i = 0; i < b.size(); i++) {
        double t = static_cast<double>(i) / DrumRate;
        // Three quick slaps, then the room.
        double env = 0;
        for (int k = 0; k < 3; k++) {
            double s = t - k * 0.011;
            if (s >= 0)
                env = std::max(env, std::exp(-s / 0.006));
        }
        env = std::max(env, 0.6 * std::exp(-(t - 0.022) / 0.08) * (t > 0.022 ? 1 : 0));
        band.low(noise.next());
        double attack = std::min(1.0, t / 0.001);
        b[i] = static_cast<float>(attack * band.band() * env);
    }
    return drumInstrument("clap", b, DrumRate);
}

XmInstrument makeShaker(uint32_t seed) {
    Buffer b(static_cast<size_t>(HatRate * 0.12));
    Noise noise(seed);
    OnePole high(5000, HatRate);
    for (size_t i = 0; i < b.size(); i++) {
        double t = static_cast<double>(i) / HatRate;
        // Swells in, then falls: a shaker, not a tick.
        double env = (t / 0.03) * std::exp(1 - t / 0.03);
        b[i] = static_cast<float>(high.highPass(noise.next()) * env);
    }
    return drumInstrument("shaker", b, HatRate);
}

double sawSpectrum(int h) {
    return 1.0 / h;
}

double squareSpectrum(int h) {
    return h % 2 ? 1.0 / h : 0.0;
}

std::function<double(int)> lowPassed(std::function<double(int)> base, double cutoffHarmonic) {
    return [base, cutoffHarmonic](int h) {
        double r = h / cutoffHarmonic;
        return base(h) / std::sqrt(1 + r * r * r * r);
    };
}

XmEnvelope envelope(int attack, int decay, int sustainLevel, int release) {
    XmEnvelope env;
    decay = std::max(decay, 1);
    release = std::max(release, 1);
    // Held notes sit a little higher than they were voiced, for a fuller mix.
    sustainLevel = std::min(64, sustainLevel * 6 / 5);
    if (attack <= 0) {
        // Struck sounds start at full level; the sample carries its own onset.
        env.points = {{0, 64}, {decay, sustainLevel}, {decay + release, 0}};
        env.sustain = 1;
        return env;
    }
    env.points = {{0, 0}, {attack, 64}, {attack + decay, sustainLevel},
                  {attack + decay + release, 0}};
    env.sustain = 2;
    return env;
}

XmInstrument makeTone(const ToneSpec& s) {
    const int loopLength = s.period * s.loopCycles;
    const int attackLength = s.period * s.attackCycles;
    const int total = attackLength + loopLength;
    const int top = std::min(s.maxHarmonic, s.period / 2 - 1);
    Buffer b(total, 0.0f);
    int voices = s.detune ? 3 : 1;
    for (int v = 0; v < voices; v++) {
        int offset = v == 0 ? 0 : (v == 1 ? s.detune : -s.detune);
        double gain = v == 0 ? 1.0 : 0.7;
        for (int h = 1; h <= top; h++) {
            double a0 = s.attackSpectrum(h) * gain;
            double a1 = s.sustainSpectrum(h) * gain;
            if (a0 == 0 && a1 == 0)
                continue;
            // Whole cycles per loop: h * (loopCycles + offset).
            double step = 2 * Pi * h * (s.loopCycles + offset) / loopLength;
            double phase0 = 0.37 * h * (v + 1);  // spread the phases so peaks do not pile up
            for (int i = 0; i < total; i++) {
                double a = a1;
                if (i < attackLength) {
                    double x = static_cast<double>(i) / attackLength;
                    double k = 0.5 - 0.5 * std::cos(Pi * x);
                    a = a0 + (a1 - a0) * k;
                }
                b[i] += static_cast<float>(a * std::sin(step * i + phase0));
            }
        }
    }
    // Start from silence: a few frames of fade in, then leave the loop alone.
    for (int i = 0; i < 32 && i < total; i++)
        b[i] *= static_cast<float>(i / 32.0);
    normalize(b, 0.97);

    XmInstrument inst;
    inst.name = s.name;
    inst.sample.data = toPcm16(b);
    inst.sample.loop = true;
    inst.sample.loopStart = attackLength;
    inst.sample.loopLength = loopLength;
    inst.sample.volume = s.volume;
    inst.sample.panning = s.panning;
    tuneForPeriod(inst.sample, s.period);
    inst.volumeEnvelope = s.envelope;
    inst.fadeout = s.fadeout;
    inst.vibratoDepth = s.vibratoDepth;
    inst.vibratoRate = s.vibratoRate;
    inst.vibratoSweep = s.vibratoSweep;
    return inst;
}

XmInstrument makePluck(const PluckSpec& s) {
    // The length is given at C-5; the sample plays faster or slower with pitch.
    double rate = midiHz(72) * s.period;
    int total = static_cast<int>(s.seconds * rate);
    int top = std::min(s.maxHarmonic, s.period / 2 - 1);
    Buffer b(total, 0.0f);
    if (s.fmRatio > 0) {
        for (int i = 0; i < total; i++) {
            double t = i / rate;
            double w = 2 * Pi * i / s.period;
            double index = s.fmIndex * std::exp(-t / (s.decay * 0.5));
            double mod = index * std::sin(w * s.fmRatio);
            b[i] = static_cast<float>(std::sin(w + mod) * std::exp(-t / s.decay));
        }
    } else {
        for (int h = 1; h <= top; h++) {
            double a = s.spectrum(h);
            if (a == 0)
                continue;
            double tau = s.decay / (1 + s.highDamping * (h - 1));
            double step = 2 * Pi * h / s.period;
            for (int i = 0; i < total; i++) {
                double t = i / rate;
                b[i] += static_cast<float>(a * std::exp(-t / tau) * std::sin(step * i + 0.3 * h));
            }
        }
    }
    if (s.tremoloHz > 0)
        for (int i = 0; i < total; i++)
            b[i] *= static_cast<float>(1 - s.tremoloDepth * (0.5 - 0.5 * std::cos(2 * Pi * s.tremoloHz * i / rate)));
    fadeEdges(b, 24, total / 5);
    normalize(b, 0.97);

    XmInstrument inst;
    inst.name = s.name;
    inst.sample.data = toPcm16(b);
    inst.sample.volume = s.volume;
    inst.sample.panning = s.panning;
    tuneForPeriod(inst.sample, s.period);
    // Held at full level; a key off lets it ring out briefly instead of cutting.
    inst.volumeEnvelope = envelope(0, 1, 64, 8);
    inst.fadeout = 1024;
    return inst;
}

}  // namespace sound
