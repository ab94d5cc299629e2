#include "sound/Effects.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "sound/Synth.h"
#include "sound/WavWriter.h"

namespace sound {

namespace {

const double Rate = EffectRate;

enum Voice { Sine, Square, Brass, Bell, Triangle };

int frames(double seconds) {
    return static_cast<int>(seconds * Rate);
}

// Adds one note, shaped by a raised-cosine attack and an exponential decay
// that is faded to zero at its end, so no note starts or stops with a step.
void addNote(Buffer& b, double start, double seconds, double midi, Voice voice, double level,
             double decay = 10.0, double vibrato = 0.0) {
    int from = frames(start);
    int length = frames(seconds);
    double hz = midiHz(midi);
    double phase = 0;
    const double attack = 0.006;
    for (int i = 0; i < length && from + i < static_cast<int>(b.size()); i++) {
        double t = i / Rate;
        double f = hz * (1 + vibrato * std::sin(2 * Pi * 5.5 * t) * std::min(1.0, t / 0.15));
        phase += 2 * Pi * f / Rate;
        double x = 0;
        switch (voice) {
        case Sine:
            x = std::sin(phase);
            break;
        case Square:
            for (int h = 1; h <= 9 && h * f < 16000; h += 2)
                x += std::sin(h * phase) / h;
            break;
        case Triangle:
            for (int h = 1; h <= 9 && h * f < 16000; h += 2)
                x += ((h / 2) % 2 ? -1.0 : 1.0) * std::sin(h * phase) / (h * h);
            break;
        case Brass: {
            // Saw whose upper harmonics grow in over the first tenth of a second.
            double open = std::min(1.0, 0.3 + t / 0.1);
            for (int h = 1; h <= 12 && h * f < 16000; h++)
                x += std::sin(h * phase) / h * std::pow(open, h * 0.5);
            break;
        }
        case Bell:
            x = std::sin(phase + 1.5 * std::exp(-t / 0.15) * std::sin(3.5 * phase));
            break;
        }
        double env = std::exp(-t / decay);
        if (t < attack)
            env *= 0.5 - 0.5 * std::cos(Pi * t / attack);
        double left = seconds - t;
        const double release = std::min(0.03, seconds / 3);
        if (left < release)
            env *= 0.5 - 0.5 * std::cos(Pi * left / release);
        b[from + i] += static_cast<float>(level * env * x);
    }
}

// One note of a score: when it starts, how long it lasts, and addNote's
// remaining arguments.
struct Note {
    double start, seconds, midi;
    Voice voice;
    double level;
    double decay = 10.0;
    double vibrato = 0.0;
};

// Adds the notes in order, one row each.
void addNotes(Buffer& b, std::initializer_list<Note> notes) {
    for (const Note& n : notes)
        addNote(b, n.start, n.seconds, n.midi, n.voice, n.level, n.decay, n.vibrato);
}

// DC blocker, edge ramps, then scaled to a peak just under full scale: the
// mixer plays an effect at most 12 dB under full scale, so every effect uses
// all of the sample's range. The 8 ms onset ramp keeps every step of the
// first 2 ms under 5 % of full scale even for the brightest effect, so none
// starts with a tick.
std::vector<unsigned char> finish(Buffer b) {
    OnePole dc(12, Rate);
    for (float& v : b)
        v = dc.highPass(v);
    fadeEdges(b, frames(0.008), frames(0.012));
    // What offset is left goes out under a window that is zero at both
    // ends, so the ramps stay intact.
    double sum = 0, weight = 0;
    for (size_t i = 0; i < b.size(); i++) {
        double w = std::sin(Pi * i / (b.size() - 1));
        sum += b[i];
        weight += w * w;
    }
    for (size_t i = 0; i < b.size(); i++)
        b[i] -= static_cast<float>(sum / weight * std::pow(std::sin(Pi * i / (b.size() - 1)), 2));
    float largest = 0;
    for (float v : b)
        largest = std::max(largest, std::fabs(v));
    const double peak = std::pow(10.0, -0.1 / 20.0);
    for (float& v : b)
        v = static_cast<float>(v * peak / largest);
    return writeWav(toPcm16(b), EffectRate);
}

// A soft pop: a sine that drops in pitch with a breath of noise.
std::vector<unsigned char> bip() {
    Buffer b(frames(0.08));
    Noise noise(101);
    OnePole soft(2500, Rate);
    double phase = 0;
    for (size_t i = 0; i < b.size(); i++) {
        double t = i / Rate;
        phase += 2 * Pi * (420 + 520 * std::exp(-t / 0.012)) / Rate;
        double env = std::exp(-t / 0.02) * std::min(1.0, t / 0.002);
        b[i] = static_cast<float>(env * (std::sin(phase) + 0.25 * soft.lowPass(noise.next())));
    }
    return finish(b);
}

// A bright rising double chime: two bell strikes a fifth and an octave up.
std::vector<unsigned char> doubleChime() {
    Buffer b(frames(0.75));
    addNotes(b, {
        {0.0, 0.5, 84, Bell, 0.8, 0.18},
        {0.0, 0.5, 91, Sine, 0.25, 0.12},
        {0.12, 0.63, 91, Bell, 0.9, 0.22},
        {0.12, 0.63, 96, Sine, 0.3, 0.15},
    });
    return finish(b);
}

// A low thud with a rising swish of filtered noise, for each dropped row.
std::vector<unsigned char> addLine() {
    Buffer b(frames(0.32));
    Noise noise(103);
    StateVariable sweep(Rate, 0.4);
    double phase = 0;
    for (size_t i = 0; i < b.size(); i++) {
        double t = i / Rate;
        phase += 2 * Pi * (45 + 80 * std::exp(-t / 0.03)) / Rate;
        double thud = std::sin(phase) * std::exp(-t / 0.07);
        sweep.set(300 + 3500 * t / 0.32);
        sweep.low(noise.next());
        double swish = sweep.band() * 0.35 * std::sin(Pi * t / 0.32);
        b[i] = static_cast<float>(std::min(1.0, t / 0.003) * (thud + swish));
    }
    return finish(b);
}

// A falling phrase in C minor, slowing to a low, long last note: about 2 s.
std::vector<unsigned char> gameOver() {
    Buffer b(frames(2.1));
    const double notes[4] = {79, 75, 72, 67};  // G5 Eb5 C5 G4
    const double starts[4] = {0.0, 0.3, 0.6, 0.95};
    const double lengths[4] = {0.32, 0.32, 0.37, 1.15};
    for (int k = 0; k < 4; k++) {
        addNote(b, starts[k], lengths[k], notes[k], Triangle, 0.9, 0.6, 0.004);
        addNote(b, starts[k], lengths[k], notes[k] - 12, Sine, 0.35, 0.6);
    }
    // The last note sits on a C minor chord.
    addNotes(b, {{0.95, 1.15, 60, Sine, 0.3, 0.7}, {0.95, 1.15, 63, Sine, 0.25, 0.7}});
    return finish(b);
}

// A short sad sigh: a minor third falling by semitones, about 0.9 s.
std::vector<unsigned char> lost() {
    Buffer b(frames(0.95));
    addNotes(b, {
        {0.0, 0.26, 76, Square, 0.6, 0.5, 0.003},   // E5
        {0.24, 0.26, 75, Square, 0.6, 0.5, 0.003},  // Eb5
        {0.48, 0.47, 73, Square, 0.6, 0.4, 0.008},  // C#5, wavering
        {0.48, 0.47, 61, Sine, 0.3, 0.4},
    });
    return finish(b);
}

// A fanfare: a brass triplet climbing to a held C major chord with bells.
std::vector<unsigned char> perfect() {
    Buffer b(frames(1.6));
    addNotes(b, {
        {0.0, 0.12, 67, Brass, 0.5, 1.0},
        {0.11, 0.12, 67, Brass, 0.5, 1.0},
        {0.22, 0.12, 67, Brass, 0.5, 1.0},
        {0.33, 0.25, 72, Brass, 0.6, 1.0},
        {0.58, 0.2, 76, Brass, 0.55, 1.0},
    });
    const double chord[4] = {72, 76, 79, 84};
    for (double n : chord)
        addNote(b, 0.78, 0.82, n, Brass, 0.35, 0.6, 0.003);
    addNotes(b, {{0.78, 0.8, 96, Bell, 0.2, 0.25}, {0.9, 0.7, 100, Bell, 0.15, 0.25}});
    return finish(b);
}

// A coin: two quick square notes a fourth apart, then a fading sparkle.
std::vector<unsigned char> points() {
    Buffer b(frames(0.5));
    addNotes(b, {
        {0.0, 0.07, 83, Square, 0.6, 1.0},    // B5
        {0.07, 0.43, 88, Square, 0.6, 0.12},  // E6
    });
    const double sparkle[4] = {100, 103, 107, 112};
    for (int k = 0; k < 4; k++)
        addNote(b, 0.1 + 0.06 * k, 0.2, sparkle[k], Sine, 0.18, 0.05);
    return finish(b);
}

// A warning tick: a short wooden knock with a clear high ring.
std::vector<unsigned char> timeTick() {
    Buffer b(frames(0.07));
    for (size_t i = 0; i < b.size(); i++) {
        double t = i / Rate;
        double knock = std::sin(2 * Pi * 1250 * t) * std::exp(-t / 0.012);
        double ring = 0.5 * std::sin(2 * Pi * 2500 * t) * std::exp(-t / 0.02);
        b[i] = static_cast<float>(std::min(1.0, t / 0.001) * (knock + ring));
    }
    return finish(b);
}

// A rising arpeggio through G major, ending on a held top note.
std::vector<unsigned char> life() {
    Buffer b(frames(0.62));
    const double notes[6] = {79, 83, 86, 91, 95, 98};
    for (int k = 0; k < 6; k++) {
        double length = k == 5 ? 0.32 : 0.07;
        addNote(b, 0.06 * k, length, notes[k], Square, 0.55, k == 5 ? 0.2 : 1.0);
    }
    return finish(b);
}

}  // namespace

std::vector<std::pair<std::string, std::vector<unsigned char>>> makeEffects() {
    return {
        {"sound/bip.wav", bip()},
        {"sound/2x.wav", doubleChime()},
        {"sound/addline.wav", addLine()},
        {"sound/gameover.wav", gameOver()},
        {"sound/lost.wav", lost()},
        {"sound/perfect.wav", perfect()},
        {"sound/points.wav", points()},
        {"sound/time.wav", timeTick()},
        {"sound/life.wav", life()},
    };
}

}  // namespace sound
