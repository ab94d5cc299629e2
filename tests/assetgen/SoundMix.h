// The game's own mixer for the sound tests: audioInit at the game's settings
// on SDL's dummy device, left paused, so a test calls the mixing callback
// itself and hears exactly what the device would be handed.
#pragma once

#include <string>
#include <vector>

namespace sound_test {

const int MixRate = 44100;

// Opens audio once for the whole program (libmikmod 3.3 does not mix
// reliably again after MikMod_Exit and a second MikMod_Init).
bool startMixer();

// "zip:<data.pak>,<member>", the way the game names what it loads.
std::string memberPath(const std::string& member);

// The next `frames` stereo frames from mixAudio, interleaved.
std::vector<short> mix(size_t frames);

double dbfs(double fractionOfFullScale);

// Loudness of a stereo stream in blocks of 100 ms.
struct Blocks {
    std::vector<double> squares;  // sum of squares per block
    std::vector<int> peaks;       // largest magnitude per block
    void add(const std::vector<short>& stereo);
    double rmsDb(size_t first, size_t count) const;  // over blocks [first, first+count)
    size_t loudestWindow(size_t count) const;        // first block of the loudest run
    int peak(size_t first, size_t count) const;
};
const size_t BlockFrames = MixRate / 10;

}  // namespace sound_test
