#include "sound/Synth.h"

#include <algorithm>
#include <cmath>

namespace sound {

double midiHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

float Noise::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(static_cast<double>(state) / 2147483648.0 - 1.0);
}

OnePole::OnePole(double cutoffHz, double rate) {
    setCutoff(cutoffHz, rate);
}

void OnePole::setCutoff(double cutoffHz, double rate) {
    a = static_cast<float>(1.0 - std::exp(-2.0 * Pi * cutoffHz / rate));
}

float OnePole::lowPass(float x) {
    z += a * (x - z);
    return z;
}

float OnePole::highPass(float x) {
    z += a * (x - z);
    return x - z;
}

StateVariable::StateVariable(double sampleRate, double resonance)
    : rate(sampleRate), damp(static_cast<float>(2.0 * (1.0 - resonance))) {
    if (damp < 0.2f)
        damp = 0.2f;
}

void StateVariable::set(double cutoffHz) {
    // Stable while the cutoff stays well below a sixth of the rate.
    double c = std::min(cutoffHz, rate / 6.0);
    f = static_cast<float>(2.0 * std::sin(Pi * c / rate));
}

float StateVariable::low(float x) {
    lowOut += f * bandOut;
    highOut = x - lowOut - damp * bandOut;
    bandOut += f * highOut;
    return lowOut;
}

float adsr(int i, int length, double rate, double attack, double decay, double sustain,
           double release) {
    double t = i / rate;
    double level;
    if (t < attack)
        level = t / attack;
    else
        level = sustain + (1.0 - sustain) * std::exp(-(t - attack) / std::max(decay, 1e-6));
    double left = (length - i) / rate;
    if (left < release)
        level *= std::max(0.0, left / release);
    return static_cast<float>(level);
}

void fadeEdges(Buffer& b, int fadeIn, int fadeOut) {
    int n = static_cast<int>(b.size());
    for (int i = 0; i < fadeIn && i < n; i++)
        b[i] *= static_cast<float>(0.5 - 0.5 * std::cos(Pi * i / fadeIn));
    for (int i = 0; i < fadeOut && i < n; i++)
        b[n - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(Pi * i / fadeOut));
}

void normalize(Buffer& b, double peak) {
    if (b.empty())
        return;
    double sum = 0;
    for (float v : b)
        sum += v;
    float mean = static_cast<float>(sum / b.size());
    float largest = 0;
    for (float& v : b) {
        v -= mean;
        largest = std::max(largest, std::fabs(v));
    }
    if (largest <= 0)
        return;
    float scale = static_cast<float>(peak / largest);
    for (float& v : b)
        v *= scale;
}

std::vector<int16_t> toPcm16(const Buffer& b) {
    std::vector<int16_t> out(b.size());
    for (size_t i = 0; i < b.size(); i++) {
        long v = std::lround(b[i] * 32767.0);
        out[i] = static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
    }
    return out;
}

}  // namespace sound
