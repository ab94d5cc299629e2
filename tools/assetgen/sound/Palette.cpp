#include "sound/Palette.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "sound/Instruments.h"
#include "sound/Synth.h"

namespace sound {

namespace {

// Harmonics of the top note kept below 15 kHz.
int harmonicsFor(int top) {
    return std::max(2, static_cast<int>(15000.0 / midiHz(top)));
}

using Spectrum = std::function<double(int)>;

// A sustained voice, one row each below.
struct Sustained {
    const char* name;
    int period;        // frames per cycle
    int loopCycles;
    int attackCycles;
    int detune;        // 0: one voice, else the chorus spread in cycles per loop
    int envelope[4];   // attack, decay, sustain level, release
    int fadeout;
    int vibrato[3];    // depth, rate, sweep; all 0 for none
};

XmInstrument tone(int maxHarmonic, const Sustained& v, Spectrum attack, Spectrum sustain) {
    ToneSpec s;
    s.name = v.name;
    s.period = v.period;
    s.loopCycles = v.loopCycles;
    s.attackCycles = v.attackCycles;
    s.attackSpectrum = std::move(attack);
    s.sustainSpectrum = std::move(sustain);
    s.maxHarmonic = maxHarmonic;
    s.detune = v.detune;
    s.envelope = envelope(v.envelope[0], v.envelope[1], v.envelope[2], v.envelope[3]);
    s.fadeout = v.fadeout;
    s.vibratoDepth = v.vibrato[0];
    s.vibratoRate = v.vibrato[1];
    s.vibratoSweep = v.vibrato[2];
    return makeTone(s);
}

// The same spectrum from the onset on.
XmInstrument tone(int maxHarmonic, const Sustained& v, const Spectrum& spectrum) {
    return tone(maxHarmonic, v, spectrum, spectrum);
}

// A struck or plucked voice built from decaying harmonics.
struct Struck {
    const char* name;
    double seconds;      // length at C-5
    double decay;        // seconds for the fundamental to fall to 1/e
    double highDamping;  // extra decay per harmonic
    int maxHarmonic;
};

XmInstrument struck(const Struck& v, Spectrum spectrum, double tremoloHz = 0,
                    double tremoloDepth = 0) {
    PluckSpec s;
    s.name = v.name;
    s.period = 64;
    s.seconds = v.seconds;
    s.decay = v.decay;
    s.highDamping = v.highDamping;
    s.spectrum = std::move(spectrum);
    s.maxHarmonic = v.maxHarmonic;
    s.tremoloHz = tremoloHz;
    s.tremoloDepth = tremoloDepth;
    return makePluck(s);
}

// A two-operator FM voice: the modulator at `ratio` times the pitch, its
// index falling twice as fast as the level.
XmInstrument fmBell(const char* name, double seconds, double decay, double ratio, double index) {
    PluckSpec s;
    s.name = name;
    s.period = 64;
    s.seconds = seconds;
    s.decay = decay;
    s.fmRatio = ratio;
    s.fmIndex = index;
    return makePluck(s);
}

}  // namespace

// Each: the highest harmonic kept; a row of name, period, loop and attack
// cycles, detune, envelope (attack, decay, sustain, release), fadeout and
// vibrato (depth, rate, sweep); then the spectrum at the onset and once held.

XmInstrument warmPad(int top, double brightness) {
    return tone(harmonicsFor(top), {"warm pad", 128, 128, 16, 1, {18, 24, 48, 20}, 300, {}},
                lowPassed(sawSpectrum, 3 + 5 * brightness));
}

XmInstrument glassPad(int top) {
    return tone(std::min(9, harmonicsFor(top)),
                {"glass pad", 128, 128, 16, 1, {30, 30, 50, 30}, 200, {}},
                [](int h) { return h == 1 ? 1.0 : h % 2 ? 0.35 / h : 0.08 / h; });
}

XmInstrument organ(int top) {
    // Drawbars 8', 4', 2 2/3', 2' and a little percussion at the onset.
    return tone(harmonicsFor(top), {"organ", 128, 64, 8, 0, {2, 10, 54, 6}, 800, {}},
                [](int h) {
                    return h == 1 ? 1.0 : h == 2 ? 0.6 : h == 3 ? 0.8 : h == 4 ? 0.3 : h == 6 ? 0.1 : 0.0;
                },
                [](int h) {
                    return h == 1 ? 1.0 : h == 2 ? 0.6 : h == 3 ? 0.35 : h == 4 ? 0.3 : h == 6 ? 0.1 : 0.0;
                });
}

XmInstrument subBass(int top) {
    return tone(harmonicsFor(top), {"sub bass", 512, 16, 4, 0, {1, 20, 52, 4}, 1200, {}},
                [](int h) { return h == 1 ? 1.0 : h <= 6 ? 0.5 / (h * h) * 3 : 0.0; },
                [](int h) { return h == 1 ? 1.0 : h <= 4 ? 0.3 / (h * h) * 2 : 0.0; });
}

XmInstrument pluckBass(int top) {
    return tone(harmonicsFor(top), {"pluck bass", 512, 16, 12, 0, {1, 14, 44, 4}, 1200, {}},
                lowPassed(sawSpectrum, 14), lowPassed(sawSpectrum, 3));
}

XmInstrument squareLead(int top) {
    return tone(harmonicsFor(top),
                {"square lead", 64, 128, 16, 0, {2, 16, 48, 8}, 600, {3, 10, 40}},
                lowPassed(squareSpectrum, 9), lowPassed(squareSpectrum, 6));
}

XmInstrument fluteLead(int top) {
    return tone(harmonicsFor(top), {"flute", 64, 128, 24, 0, {5, 20, 50, 10}, 500, {4, 12, 60}},
                [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.35 : h == 3 ? 0.2 : 0.0; },
                [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.15 : h == 3 ? 0.08 : 0.0; });
}

XmInstrument brassLead(int top) {
    return tone(harmonicsFor(top), {"brass", 64, 128, 48, 1, {4, 20, 50, 8}, 600, {2, 10, 50}},
                lowPassed(sawSpectrum, 1.5), lowPassed(sawSpectrum, 7));
}

XmInstrument sawLead(int top) {
    return tone(harmonicsFor(top), {"saw lead", 64, 128, 16, 1, {1, 14, 48, 6}, 700, {3, 12, 30}},
                lowPassed(sawSpectrum, 14), lowPassed(sawSpectrum, 8));
}

XmInstrument acidBass(int top) {
    // A saw through a resonant low-pass: the bump sits high at the onset and
    // settles lower.
    auto resonant = [](double peak, double cutoff) {
        return [peak, cutoff](int h) {
            double r = h / cutoff;
            return (1.0 / h) * (1 + 2.5 * std::exp(-(h - peak) * (h - peak) / 3.0)) /
                   std::sqrt(1 + r * r * r * r);
        };
    };
    return tone(harmonicsFor(top), {"acid bass", 512, 16, 10, 0, {1, 12, 50, 4}, 1200, {}},
                resonant(9, 12), resonant(5, 6));
}

XmInstrument accordion(int top) {
    // Reeds: strong odd harmonics, softer even ones, rolled off up high.
    return tone(harmonicsFor(top), {"accordion", 128, 128, 12, 2, {4, 12, 56, 8}, 500, {}},
                lowPassed([](int h) { return (h % 2 ? 1.0 : 0.5) / h; }, 9));
}

XmInstrument stringSection(int top) {
    return tone(harmonicsFor(top), {"strings", 128, 128, 24, 3, {14, 20, 54, 16}, 300, {2, 8, 80}},
                lowPassed(sawSpectrum, 3), lowPassed(sawSpectrum, 6));
}

XmInstrument clarinet(int top) {
    // A closed pipe: odd harmonics, the second and fourth only faintly.
    return tone(harmonicsFor(top), {"clarinet", 64, 128, 20, 0, {4, 18, 52, 8}, 500, {2, 10, 70}},
                lowPassed([](int h) { return h % 2 ? 1.0 / h : 0.04 / h; }, 4),
                lowPassed([](int h) { return h % 2 ? 1.0 / h : 0.06 / h; }, 6));
}

XmInstrument clavinet(int top) {
    // A struck string picked up near its end over a firm fundamental:
    // bright and nasal at the onset, thinning quickly.
    auto picked = [](int h) { return std::fabs(std::sin(Pi * h * 0.18)) / h + (h == 1 ? 0.6 : 0.0); };
    return tone(harmonicsFor(top), {"clavinet", 64, 128, 12, 0, {1, 10, 56, 4}, 900, {}},
                lowPassed(picked, 12), lowPassed(picked, 5));
}

XmInstrument bell() { return fmBell("bell", 1.4, 0.6, 3.5, 1.6); }
XmInstrument electricPiano() { return fmBell("electric piano", 1.3, 0.7, 1.0, 1.3); }
XmInstrument celesta() { return fmBell("celesta", 1.0, 0.45, 4.0, 0.7); }

// Rows: name, seconds at C-5, decay of the fundamental, extra damping per
// harmonic, highest harmonic; then the spectrum.

XmInstrument marimba() {
    return struck({"marimba", 0.6, 0.25, 1.5, 10},
                  [](int h) { return h == 1 ? 1.0 : h == 4 ? 0.4 : h == 10 ? 0.1 : 0.0; });
}

XmInstrument harp() {
    return struck({"harp", 1.2, 0.55, 0.35, 12},
                  [](int h) { return 1.0 / (h * std::sqrt(static_cast<double>(h))); });
}

XmInstrument vibraphone() {
    // A tuned bar: the fundamental, the fourth harmonic and a faint tenth,
    // and a fan that makes the level waver.
    return struck({"vibraphone", 1.6, 0.9, 0.9, 10},
                  [](int h) { return h == 1 ? 1.0 : h == 4 ? 0.22 : h == 10 ? 0.05 : 0.0; },
                  5.0, 0.35);
}

XmInstrument kalimba() {
    return struck({"kalimba", 0.9, 0.35, 2.5, 6},
                  [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.12 : h == 5 ? 0.18 : 0.0; });
}

XmInstrument musicBox() {
    return struck({"music box", 1.1, 0.5, 0.5, 6},
                  [](int h) { return h == 1 ? 1.0 : h == 3 ? 0.3 : h == 6 ? 0.2 : 0.0; });
}

XmInstrument nylonGuitar() {
    // Plucked a fifth of the way along the string.
    return struck({"nylon guitar", 1.2, 0.6, 0.45, 14},
                  [](int h) { return std::fabs(std::sin(Pi * h * 0.2)) / h; });
}

}  // namespace sound
