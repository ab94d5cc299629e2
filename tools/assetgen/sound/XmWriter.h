// A small writer for the Extended Module (XM) format: the tracker modules the
// game plays through libmikmod. One sample per instrument is all we need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sound {

// Note numbers of the pattern data: 1 is C-0, 49 is C-4; 97 releases the note.
enum { XmNoNote = 0, XmKeyOff = 97 };

struct XmCell {
    uint8_t note = 0;        // 0 none, 1..96, or XmKeyOff
    uint8_t instrument = 0;  // 0 none, else 1-based
    uint8_t volume = 0;      // volume column byte: 0x10 + 0..64 sets the volume
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct XmPattern {
    int rows = 64;
    std::vector<XmCell> cells;  // rows * channels, row by row
    XmPattern(int rowCount, int channels)
        : rows(rowCount), cells(rowCount * channels) {}
};

struct XmEnvelope {
    // (tick, level 0..64) points; at most 12. Empty means no envelope.
    std::vector<std::pair<int, int>> points;
    int sustain = -1;  // index of the point held until key off, or -1
};

struct XmSample {
    std::vector<int16_t> data;
    bool loop = false;
    int loopStart = 0;   // in sample frames
    int loopLength = 0;  // in sample frames
    int volume = 64;
    int finetune = 0;      // -128..127, 1/128 semitone
    int relativeNote = 0;  // semitones added to the played note
    int panning = 128;
};

struct XmInstrument {
    std::string name;
    XmSample sample;
    XmEnvelope volumeEnvelope;
    int fadeout = 0;  // volume fade per tick after key off, 0..4095
    int vibratoDepth = 0;  // automatic vibrato: depth 0..15, rate in ticks,
    int vibratoRate = 0;   // sweep in ticks before it reaches full depth
    int vibratoSweep = 0;
};

struct XmModule {
    std::string name;
    int channels = 8;
    int speed = 6;     // ticks per row
    int bpm = 125;     // tick rate: bpm * 2 / 5 ticks per second
    int restart = 0;   // order position the song continues from after its end
    std::vector<int> order;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// Serialises the module as an XM file (version 1.04, linear frequencies).
std::vector<unsigned char> writeXm(const XmModule& module);

// Sets relativeNote and finetune so that a sample holding `period` frames per
// cycle sounds at the pitch of the played note.
void tuneForPeriod(XmSample& sample, double period);

// Sets relativeNote and finetune so that note C-4 plays the sample back at
// `rate` frames per second (drums and other unpitched sounds).
void tuneForRate(XmSample& sample, double rate);

}  // namespace sound
