#include "sound/Palette.h"

#include <algorithm>
#include <cmath>

#include "sound/Instruments.h"
#include "sound/Synth.h"

namespace sound {

namespace {

// Harmonics of the top note kept below 15 kHz.
int harmonicsFor(int top) {
    return std::max(2, static_cast<int>(15000.0 / midiHz(top)));
}

}  // namespace

XmInstrument warmPad(int top, double brightness) {
    ToneSpec s;
    s.name = "warm pad";
    s.period = 128;
    s.loopCycles = 128;
    s.attackCycles = 16;
    auto spectrum = lowPassed(sawSpectrum, 3 + 5 * brightness);
    s.attackSpectrum = spectrum;
    s.sustainSpectrum = spectrum;
    s.maxHarmonic = harmonicsFor(top);
    s.detune = 1;
    s.envelope = envelope(18, 24, 48, 20);
    s.fadeout = 300;
    return makeTone(s);
}

XmInstrument glassPad(int top) {
    ToneSpec s;
    s.name = "glass pad";
    s.period = 128;
    s.loopCycles = 128;
    s.attackCycles = 16;
    s.attackSpectrum = [](int h) { return h == 1 ? 1.0 : h % 2 ? 0.35 / h : 0.08 / h; };
    s.sustainSpectrum = s.attackSpectrum;
    s.maxHarmonic = std::min(9, harmonicsFor(top));
    s.detune = 1;
    s.envelope = envelope(30, 30, 50, 30);
    s.fadeout = 200;
    return makeTone(s);
}

XmInstrument organ(int top) {
    ToneSpec s;
    s.name = "organ";
    s.period = 128;
    s.loopCycles = 64;
    s.attackCycles = 8;
    // Drawbars 8', 4', 2 2/3', 2' and a little percussion at the onset.
    s.sustainSpectrum = [](int h) {
        return h == 1 ? 1.0 : h == 2 ? 0.6 : h == 3 ? 0.35 : h == 4 ? 0.3 : h == 6 ? 0.1 : 0.0;
    };
    s.attackSpectrum = [](int h) {
        return h == 1 ? 1.0 : h == 2 ? 0.6 : h == 3 ? 0.8 : h == 4 ? 0.3 : h == 6 ? 0.1 : 0.0;
    };
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(2, 10, 54, 6);
    s.fadeout = 800;
    return makeTone(s);
}

XmInstrument subBass(int top) {
    ToneSpec s;
    s.name = "sub bass";
    s.period = 512;
    s.loopCycles = 16;
    s.attackCycles = 4;
    s.attackSpectrum = [](int h) { return h == 1 ? 1.0 : h <= 6 ? 0.5 / (h * h) * 3 : 0.0; };
    s.sustainSpectrum = [](int h) { return h == 1 ? 1.0 : h <= 4 ? 0.3 / (h * h) * 2 : 0.0; };
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(1, 20, 52, 4);
    s.fadeout = 1200;
    return makeTone(s);
}

XmInstrument pluckBass(int top) {
    ToneSpec s;
    s.name = "pluck bass";
    s.period = 512;
    s.loopCycles = 16;
    s.attackCycles = 12;
    s.attackSpectrum = lowPassed(sawSpectrum, 14);
    s.sustainSpectrum = lowPassed(sawSpectrum, 3);
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(1, 14, 44, 4);
    s.fadeout = 1200;
    return makeTone(s);
}

XmInstrument squareLead(int top) {
    ToneSpec s;
    s.name = "square lead";
    s.period = 64;
    s.loopCycles = 128;
    s.attackCycles = 16;
    s.attackSpectrum = lowPassed(squareSpectrum, 9);
    s.sustainSpectrum = lowPassed(squareSpectrum, 6);
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(2, 16, 48, 8);
    s.fadeout = 600;
    s.vibratoDepth = 3;
    s.vibratoRate = 10;
    s.vibratoSweep = 40;
    return makeTone(s);
}

XmInstrument fluteLead(int top) {
    ToneSpec s;
    s.name = "flute";
    s.period = 64;
    s.loopCycles = 128;
    s.attackCycles = 24;
    s.attackSpectrum = [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.35 : h == 3 ? 0.2 : 0.0; };
    s.sustainSpectrum = [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.15 : h == 3 ? 0.08 : 0.0; };
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(5, 20, 50, 10);
    s.fadeout = 500;
    s.vibratoDepth = 4;
    s.vibratoRate = 12;
    s.vibratoSweep = 60;
    return makeTone(s);
}

XmInstrument brassLead(int top) {
    ToneSpec s;
    s.name = "brass";
    s.period = 64;
    s.loopCycles = 128;
    s.attackCycles = 48;
    s.attackSpectrum = lowPassed(sawSpectrum, 1.5);
    s.sustainSpectrum = lowPassed(sawSpectrum, 7);
    s.maxHarmonic = harmonicsFor(top);
    s.detune = 1;
    s.envelope = envelope(4, 20, 50, 8);
    s.fadeout = 600;
    s.vibratoDepth = 2;
    s.vibratoRate = 10;
    s.vibratoSweep = 50;
    return makeTone(s);
}

XmInstrument sawLead(int top) {
    ToneSpec s;
    s.name = "saw lead";
    s.period = 64;
    s.loopCycles = 128;
    s.attackCycles = 16;
    s.attackSpectrum = lowPassed(sawSpectrum, 14);
    s.sustainSpectrum = lowPassed(sawSpectrum, 8);
    s.maxHarmonic = harmonicsFor(top);
    s.detune = 1;
    s.envelope = envelope(1, 14, 48, 6);
    s.fadeout = 700;
    s.vibratoDepth = 3;
    s.vibratoRate = 12;
    s.vibratoSweep = 30;
    return makeTone(s);
}

XmInstrument bell() {
    PluckSpec s;
    s.name = "bell";
    s.period = 64;
    s.seconds = 1.4;
    s.decay = 0.6;
    s.fmRatio = 3.5;
    s.fmIndex = 1.6;
    s.volume = 64;
    return makePluck(s);
}

XmInstrument electricPiano() {
    PluckSpec s;
    s.name = "electric piano";
    s.period = 64;
    s.seconds = 1.3;
    s.decay = 0.7;
    s.fmRatio = 1.0;
    s.fmIndex = 1.3;
    return makePluck(s);
}

XmInstrument marimba() {
    PluckSpec s;
    s.name = "marimba";
    s.period = 64;
    s.seconds = 0.6;
    s.decay = 0.25;
    s.highDamping = 1.5;
    s.spectrum = [](int h) { return h == 1 ? 1.0 : h == 4 ? 0.4 : h == 10 ? 0.1 : 0.0; };
    s.maxHarmonic = 10;
    return makePluck(s);
}

XmInstrument harp() {
    PluckSpec s;
    s.name = "harp";
    s.period = 64;
    s.seconds = 1.2;
    s.decay = 0.55;
    s.highDamping = 0.35;
    s.spectrum = [](int h) { return 1.0 / (h * std::sqrt(static_cast<double>(h))); };
    s.maxHarmonic = 12;
    return makePluck(s);
}

XmInstrument celesta() {
    PluckSpec s;
    s.name = "celesta";
    s.period = 64;
    s.seconds = 1.0;
    s.decay = 0.45;
    s.fmRatio = 4.0;
    s.fmIndex = 0.7;
    return makePluck(s);
}

XmInstrument vibraphone() {
    PluckSpec s;
    s.name = "vibraphone";
    s.period = 64;
    s.seconds = 1.6;
    s.decay = 0.9;
    s.highDamping = 0.9;
    // A tuned bar: the fundamental, the fourth harmonic and a faint tenth.
    s.spectrum = [](int h) { return h == 1 ? 1.0 : h == 4 ? 0.22 : h == 10 ? 0.05 : 0.0; };
    s.maxHarmonic = 10;
    s.tremoloHz = 5.0;
    s.tremoloDepth = 0.35;
    return makePluck(s);
}

XmInstrument kalimba() {
    PluckSpec s;
    s.name = "kalimba";
    s.period = 64;
    s.seconds = 0.9;
    s.decay = 0.35;
    s.highDamping = 2.5;
    s.spectrum = [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.12 : h == 5 ? 0.18 : 0.0; };
    s.maxHarmonic = 6;
    return makePluck(s);
}

XmInstrument musicBox() {
    PluckSpec s;
    s.name = "music box";
    s.period = 64;
    s.seconds = 1.1;
    s.decay = 0.5;
    s.highDamping = 0.5;
    s.spectrum = [](int h) { return h == 1 ? 1.0 : h == 3 ? 0.3 : h == 6 ? 0.2 : 0.0; };
    s.maxHarmonic = 6;
    return makePluck(s);
}

XmInstrument nylonGuitar() {
    PluckSpec s;
    s.name = "nylon guitar";
    s.period = 64;
    s.seconds = 1.2;
    s.decay = 0.6;
    s.highDamping = 0.45;
    // Plucked a fifth of the way along the string.
    s.spectrum = [](int h) { return std::fabs(std::sin(Pi * h * 0.2)) / h; };
    s.maxHarmonic = 14;
    return makePluck(s);
}

XmInstrument acidBass(int top) {
    ToneSpec s;
    s.name = "acid bass";
    s.period = 512;
    s.loopCycles = 16;
    s.attackCycles = 10;
    // A saw through a resonant low-pass: the bump sits high at the onset and
    // settles lower.
    auto resonant = [](double peak, double cutoff) {
        return [peak, cutoff](int h) {
            double r = h / cutoff;
            return (1.0 / h) * (1 + 2.5 * std::exp(-(h - peak) * (h - peak) / 3.0)) /
                   std::sqrt(1 + r * r * r * r);
        };
    };
    s.attackSpectrum = resonant(9, 12);
    s.sustainSpectrum = resonant(5, 6);
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(1, 12, 50, 4);
    s.fadeout = 1200;
    return makeTone(s);
}

XmInstrument accordion(int top) {
    ToneSpec s;
    s.name = "accordion";
    s.period = 128;
    s.loopCycles = 128;
    s.attackCycles = 12;
    // Reeds: strong odd harmonics, softer even ones, rolled off up high.
    auto reed = lowPassed([](int h) { return (h % 2 ? 1.0 : 0.5) / h; }, 9);
    s.attackSpectrum = reed;
    s.sustainSpectrum = reed;
    s.maxHarmonic = harmonicsFor(top);
    s.detune = 2;
    s.envelope = envelope(4, 12, 56, 8);
    s.fadeout = 500;
    return makeTone(s);
}

XmInstrument stringSection(int top) {
    ToneSpec s;
    s.name = "strings";
    s.period = 128;
    s.loopCycles = 128;
    s.attackCycles = 24;
    s.attackSpectrum = lowPassed(sawSpectrum, 3);
    s.sustainSpectrum = lowPassed(sawSpectrum, 6);
    s.maxHarmonic = harmonicsFor(top);
    s.detune = 3;
    s.envelope = envelope(14, 20, 54, 16);
    s.fadeout = 300;
    s.vibratoDepth = 2;
    s.vibratoRate = 8;
    s.vibratoSweep = 80;
    return makeTone(s);
}

XmInstrument clarinet(int top) {
    ToneSpec s;
    s.name = "clarinet";
    s.period = 64;
    s.loopCycles = 128;
    s.attackCycles = 20;
    // A closed pipe: odd harmonics, the second and fourth only faintly.
    s.attackSpectrum = lowPassed([](int h) { return h % 2 ? 1.0 / h : 0.04 / h; }, 4);
    s.sustainSpectrum = lowPassed([](int h) { return h % 2 ? 1.0 / h : 0.06 / h; }, 6);
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(4, 18, 52, 8);
    s.fadeout = 500;
    s.vibratoDepth = 2;
    s.vibratoRate = 10;
    s.vibratoSweep = 70;
    return makeTone(s);
}

XmInstrument clavinet(int top) {
    ToneSpec s;
    s.name = "clavinet";
    s.period = 64;
    s.loopCycles = 128;
    s.attackCycles = 12;
    // A struck string picked up near its end over a firm fundamental:
    // bright and nasal at the onset, thinning quickly.
    auto picked = [](int h) { return std::fabs(std::sin(Pi * h * 0.18)) / h + (h == 1 ? 0.6 : 0.0); };
    s.attackSpectrum = lowPassed(picked, 12);
    s.sustainSpectrum = lowPassed(picked, 5);
    s.maxHarmonic = harmonicsFor(top);
    s.envelope = envelope(1, 10, 56, 4);
    s.fadeout = 900;
    return makeTone(s);
}

}  // namespace sound
