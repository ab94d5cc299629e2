#include "SoundMix.h"

#include <gtest/gtest.h>
#include <mikmod.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/Audio.h"
#include "support/TestSupport.h"

namespace sound_test {

bool startMixer() {
    static bool started = false;
    if (!started) {
        started = true;
        // The arguments the game's start-up passes.
        audioInit(MixRate, 16, 4096, 4, false);
        // Close the device before the libraries unload, or SDL's audio
        // thread can still be running when exit tears them down.
        std::atexit(audioShutdown);
        EXPECT_EQ(md_mixfreq, MixRate);
        EXPECT_EQ(md_mode & (DMODE_STEREO | DMODE_16BITS | DMODE_INTERP),
                  DMODE_STEREO | DMODE_16BITS);
        EXPECT_EQ(md_volume, 96);
    }
    return audioReady && mixerReady;
}

std::string memberPath(const std::string& member) {
    return "zip:" + testing_support::dataPakPath() + "," + member;
}

std::vector<short> mix(size_t frames) {
    std::vector<short> out(frames * 2);
    mixAudio(nullptr, reinterpret_cast<Uint8*>(out.data()), static_cast<int>(frames * 4));
    return out;
}

double dbfs(double x) {
    return 20 * std::log10(std::max(x, 1e-9));
}

void Blocks::add(const std::vector<short>& stereo) {
    for (size_t at = 0; at < stereo.size(); at += BlockFrames * 2) {
        double sum = 0;
        int largest = 0;
        for (size_t i = at; i < std::min(stereo.size(), at + BlockFrames * 2); i++) {
            sum += static_cast<double>(stereo[i]) * stereo[i];
            largest = std::max(largest, std::abs(static_cast<int>(stereo[i])));
        }
        squares.push_back(sum);
        peaks.push_back(largest);
    }
}

double Blocks::rmsDb(size_t first, size_t count) const {
    double sum = 0;
    for (size_t b = first; b < first + count; b++)
        sum += squares.at(b);
    return dbfs(std::sqrt(sum / (count * BlockFrames * 2)) / 32768.0);
}

size_t Blocks::loudestWindow(size_t count) const {
    size_t best = 0;
    for (size_t b = 1; b + count <= squares.size(); b++)
        if (rmsDb(b, count) > rmsDb(best, count))
            best = b;
    return best;
}

int Blocks::peak(size_t first, size_t count) const {
    return *std::max_element(peaks.begin() + first, peaks.begin() + first + count);
}

}  // namespace sound_test
