// A piece of music as a grid of steps (sixteenth notes) by channels, written
// with a few helpers that speak in chords, melodies and grooves, then cut
// into XM patterns of four bars each.
#pragma once

#include <string>
#include <vector>

#include "sound/XmWriter.h"

namespace sound {

struct Chord {
    int root = 0;              // pitch class, 0 = C
    std::vector<int> tones;    // intervals above the root, ascending, first is 0
    int bass = 0;              // pitch class of the bass note
};

// "D", "Bm", "F#m7", "Gmaj7", "Asus4", "E7", "Bdim", "Cadd9", "C/E" ...
Chord parseChord(const std::string& symbol);

class Song {
public:
    Song(const std::string& name, int bpm, int stepsPerBar, int bars, int channels);

    int stepsPerBar() const { return barSteps; }
    int bars() const { return barCount; }
    int addInstrument(const XmInstrument& instrument);  // 1-based number

    // A channel whose notes all carry a panning effect (0 left .. 255 right).
    void setPan(int channel, int pan);
    void setRestartBar(int bar) { restartBar = bar; }
    // Scales the volume of every note written after it (1 leaves them).
    void setGain(double g) { gain = g; }

    // A note of `length` steps (MIDI pitch; DrumNote-style XM notes go through
    // noteXm). A length of 0 lets it ring until the channel's next note.
    void note(int channel, int step, int midi, int instrument, int volume, int length);
    void noteXm(int channel, int step, int xmNote, int instrument, int volume, int length);
    void effect(int channel, int step, int effect, int param);

    // The chord sounding at a step; set for whole bars or half bars.
    void setChords(int startBar, const std::string& progression);
    const Chord& chordAt(int step) const;
    const Chord& chordAfter(int step) const;  // the next different chord

    // Copies a channel onto another, later by `delay` steps and quieter.
    void echo(int from, int to, int delay, double volumeScale);

    std::vector<unsigned char> build() const;

    XmCell& cell(int step, int channel);
    int totalSteps() const { return barSteps * barCount; }

private:
    XmModule module;
    int barSteps;
    int barCount;
    int restartBar = 0;
    double gain = 1.0;
    std::vector<XmCell> grid;
    std::vector<int> pans;
    std::vector<Chord> chords;  // one per step
};

// Melody notation: tokens "c5", "f#4:2", "bb3:4!", "r:4" (rest), "~:2" (tie),
// length in steps carried over from the previous token, "!" louder, "?"
// softer; "|" between bars, and every bar must add up to a whole bar.
// Returns the number of bars written.
int melody(Song& song, int channel, int instrument, int startBar, int volume,
           const std::string& notes, int transpose = 0);

// Drum groove over one bar, one character a step: 'x' accent, 'o' normal,
// '.' ghost, '-' nothing. Repeated over `bars` bars.
void groove(Song& song, int channel, int instrument, int startBar, int bars,
            const std::string& pattern, int volume, int xmNote = 49);

// Bass following the chords, one character a step: 'R' root (or the chord's
// bass note), 'O' root an octave up, 'F' fifth, 'T' third, 'A' approach to the
// next chord's root from a semitone below, '-' hold, '.' rest.
void bassLine(Song& song, int channel, int instrument, int startBar, int bars,
              const std::string& pattern, int lowNote, int volume);

// Chords held on three channels, voiced close to each other and to the
// previous chord within [low, low + 12 + 7]. `rhythm` marks onsets with 'x' or
// 'o' and rests with '.', like a groove.
void padChords(Song& song, const int channels[3], int instrument, int startBar, int bars,
               const std::string& rhythm, int low, int volume);

// Arpeggio over the chord tones: digits index the chord tones upward from
// `low` (0 the lowest tone at or above low), '-' hold, '.' rest.
void arpeggio(Song& song, int channel, int instrument, int startBar, int bars,
              const std::string& pattern, int low, int volume);

}  // namespace sound
