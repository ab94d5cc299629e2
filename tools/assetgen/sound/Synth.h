// Building blocks for synthesised sounds: a fixed-seed noise source, simple
// filters and envelopes, and the conversion to 16-bit PCM.
#pragma once

#include <cstdint>
#include <vector>

namespace sound {

using Buffer = std::vector<float>;

constexpr double Pi = 3.14159265358979323846;

// Frequency in Hz of a MIDI note number (69 is A4, 440 Hz).
double midiHz(double note);

// xorshift32: the same noise on every build.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1) {}
    float next();  // uniform in [-1, 1)
private:
    uint32_t state;
};

// One-pole low-pass and high-pass filters.
class OnePole {
public:
    OnePole(double cutoffHz, double rate);
    void setCutoff(double cutoffHz, double rate);
    float lowPass(float x);
    float highPass(float x);
private:
    float a = 0;
    float z = 0;
};

// Chamberlin state-variable filter; cutoff may change per sample.
class StateVariable {
public:
    StateVariable(double rate, double resonance);  // resonance 0 (soft) .. 0.9
    void set(double cutoffHz);
    float low(float x);
    float band() const { return bandOut; }
    float high() const { return highOut; }
private:
    double rate;
    float damp;
    float f = 0;
    float lowOut = 0;
    float bandOut = 0;
    float highOut = 0;
};

// Linear attack, exponential decay toward sustain, linear release at the end.
// Times in seconds; the envelope at frame i of a sound `length` frames long.
float adsr(int i, int length, double rate, double attack, double decay, double sustain,
           double release);

// Raised-cosine fades over the first and last frames.
void fadeEdges(Buffer& b, int fadeInFrames, int fadeOutFrames);

// Removes the mean and scales so that the largest magnitude is `peak` (0..1).
void normalize(Buffer& b, double peak);

// Rounds to 16-bit PCM; values are clamped to the 16-bit range.
std::vector<int16_t> toPcm16(const Buffer& b);

}  // namespace sound
