// Tiny sound files built in memory for the audio tests: Extended Modules,
// 16-bit PCM WAVs and ZIP archives holding them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace audio_test {

typedef std::vector<unsigned char> Bytes;

// One pattern cell; zero fields are left out of the packed pattern.
struct XmCell {
    int note = 0;        // 1 = C-0 ... 49 = C-4, 97 = key off
    int instrument = 0;  // 1-based
    int volume = 0;      // volume column byte (0x10-0x50 sets 0-64)
    int effect = 0;
    int parameter = 0;
};

// One instrument with one 16-bit sample.
struct XmInstrument {
    std::vector<short> samples;
    int loopStart = 0;   // in sample frames
    int loopLength = 0;  // in sample frames; 0 for no loop
    int volume = 64;
    int relativeNote = 0;
};

struct XmSong {
    int channels = 1;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<int> order;
    // patterns[p][row][channel]
    std::vector<std::vector<std::vector<XmCell>>> patterns;
    std::vector<XmInstrument> instruments;
};

Bytes writeXm(const XmSong& song);

// Plays C-4 (8363 Hz) of a looped sine with 19 samples a cycle: 440.2 Hz.
XmSong toneSong();
// The tone's instrument, but one short pattern with no note at all.
XmSong silentSong();

// Mono 16-bit PCM.
Bytes writeWav(const std::vector<short>& samples, int rate);
// 0.1 s of a 1 kHz square at 22050 Hz.
Bytes effectWav();

// Writes a ZIP archive of deflated members with minizip.
void writeZip(const std::string& path, const std::map<std::string, Bytes>& members);

}  // namespace audio_test
