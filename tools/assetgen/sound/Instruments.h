// The synthesised instruments of the music: drums from swept sines and
// filtered noise, pitched voices from additive and FM synthesis.
#pragma once

#include <functional>
#include <string>

#include "sound/XmWriter.h"

namespace sound {

// Drums play at their own rate when triggered with note C-4.
enum { DrumNote = 49 };

XmInstrument makeKick(double startHz, double endHz, double decaySeconds);
XmInstrument makeSnare(double toneHz, double noiseMix, double decaySeconds, uint32_t seed);
XmInstrument makeHat(double decaySeconds, double brightness, uint32_t seed);
XmInstrument makeClap(uint32_t seed);
XmInstrument makeShaker(uint32_t seed);

// A sustained additive voice. The sample holds an attack of `attackCycles`
// cycles, then a loop of `loopCycles` cycles in which every partial completes
// whole cycles, so the loop joins without a seam. Detuned copies add
// `+-detune` cycles per loop, a slow chorus beat.
struct ToneSpec {
    std::string name;
    int period = 128;              // frames per cycle
    int loopCycles = 128;
    int attackCycles = 32;
    std::function<double(int)> attackSpectrum;   // amplitude of harmonic h at the onset
    std::function<double(int)> sustainSpectrum;  // and in the loop
    int maxHarmonic = 40;          // keeps the highest played note below the mixer's Nyquist
    int detune = 0;                // 0 for a single voice, else 1..3
    XmEnvelope envelope;
    int fadeout = 512;
    int vibratoDepth = 0;
    int vibratoRate = 0;
    int vibratoSweep = 0;
    int volume = 64;
    int panning = 128;
};
XmInstrument makeTone(const ToneSpec& spec);

// A struck or plucked voice that dies away by itself (no loop): each harmonic
// decays faster the higher it lies.
struct PluckSpec {
    std::string name;
    int period = 64;
    double seconds = 0.8;      // length at the pitch of period frames per cycle, C-5
    std::function<double(int)> spectrum;
    double decay = 0.35;        // seconds for the fundamental to fall to 1/e
    double highDamping = 0.15;  // extra decay per harmonic
    int maxHarmonic = 24;
    double fmRatio = 0;         // > 0: FM bell, modulator at this ratio
    double fmIndex = 0;
    double tremoloHz = 0;      // > 0: the level wavers (at C-5), as a vibraphone's fan
    double tremoloDepth = 0;
    int volume = 64;
    int panning = 128;
};
XmInstrument makePluck(const PluckSpec& spec);

// Common spectra.
double sawSpectrum(int h);
double squareSpectrum(int h);
std::function<double(int)> lowPassed(std::function<double(int)> base, double cutoffHarmonic);

// Volume envelope with attack, decay to sustain, held until key off, then
// release; times in ticks, levels 0..64.
XmEnvelope envelope(int attack, int decay, int sustainLevel, int release);

}  // namespace sound
