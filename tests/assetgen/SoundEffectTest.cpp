// The nine effects in data.pak: plain 16-bit mono WAVs that libmikmod's
// sample loader reads, loud but unclipped, centred, faded at both ends, and
// clearly louder than the music they play over.
#include <gtest/gtest.h>
#include <mikmod.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "PictureArchiveTest.h"
#include "archive/Archive.h"
#include "audio/StreamReader.h"
#include "support/TestSupport.h"

namespace sound_test {
bool startMixer();  // SoundModuleTest.cpp
}

namespace {

struct EffectCase {
    const char* name;
    double minSeconds;
    double maxSeconds;
};

const EffectCase Effects[] = {
    {"sound/bip.wav", 0.06, 0.12},      {"sound/2x.wav", 0.3, 1.2},
    {"sound/addline.wav", 0.15, 0.6},   {"sound/gameover.wav", 1.6, 2.6},
    {"sound/lost.wav", 0.5, 1.5},       {"sound/perfect.wav", 0.8, 2.5},
    {"sound/points.wav", 0.2, 0.8},     {"sound/time.wav", 0.03, 0.15},
    {"sound/life.wav", 0.3, 1.0},
};

int u16(const std::vector<unsigned char>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}

long u32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<long>(u16(b, at)) | static_cast<long>(u16(b, at + 2)) << 16;
}

// A WAV's format and samples, read chunk by chunk.
struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<short> samples;
};

Wav parseWav(const std::vector<unsigned char>& b) {
    Wav w;
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return w;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        std::string id(b.begin() + at, b.begin() + at + 4);
        size_t size = u32(b, at + 4);
        if (id == "fmt ") {
            w.format = u16(b, at + 8);
            w.channels = u16(b, at + 10);
            w.rate = static_cast<int>(u32(b, at + 12));
            w.bits = u16(b, at + 22);
        } else if (id == "data") {
            for (size_t i = 0; i + 1 < size && at + 9 + i < b.size(); i += 2)
                w.samples.push_back(static_cast<short>(u16(b, at + 8 + i)));
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

class SoundEffectTest : public ::testing::TestWithParam<EffectCase> {
protected:
    std::vector<unsigned char> bytes() const {
        return pak_test::readMember(testing_support::dataPakPath(), GetParam().name);
    }
};

TEST_P(SoundEffectTest, IsSixteenBitMonoPcmOfTheRightLength) {
    Wav w = parseWav(bytes());
    EXPECT_EQ(w.format, 1);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << w.rate;
    ASSERT_GT(w.rate, 0);
    double seconds = static_cast<double>(w.samples.size()) / w.rate;
    EXPECT_GE(seconds, GetParam().minSeconds);
    EXPECT_LE(seconds, GetParam().maxSeconds);
}

TEST_P(SoundEffectTest, PeaksJustBelowFullScaleWithNoOffsetAndSoftEdges) {
    Wav w = parseWav(bytes());
    ASSERT_GT(w.samples.size(), 1000u);
    int peak = 0;
    double sum = 0;
    for (short v : w.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(v)));
        sum += v;
    }
    double peakDb = 20 * std::log10(peak / 32768.0);
    EXPECT_GE(peakDb, -3.0);
    EXPECT_LE(peakDb, -1.0);
    EXPECT_LT(std::fabs(sum / w.samples.size()) / 32768.0, 0.002) << "DC offset";

    // It starts and ends at rest: the first and last half millisecond stay
    // far below the peak, so starting or ending the sample cannot click.
    const size_t edge = w.rate / 2000;
    for (size_t i = 0; i < edge; i++) {
        EXPECT_LT(std::abs(w.samples[i]), peak / 8) << "onset frame " << i;
        EXPECT_LT(std::abs(w.samples[w.samples.size() - 1 - i]), peak / 8) << "tail frame " << i;
    }
    EXPECT_LE(std::abs(w.samples.front()), 64);
    EXPECT_LE(std::abs(w.samples.back()), 64);
}

template <typename T>
T* loadThroughReader(const std::string& member, T* (*load)(SDL_RWops*)) {
    std::string path = "zip:" + testing_support::dataPakPath() + "," + member;
    SDL_RWops* stream = openArchivePath(path.c_str());
    if (!stream)
        return nullptr;
    T* loaded = load(stream);
    SDL_RWclose(stream);
    return loaded;
}

SAMPLE* loadSample(SDL_RWops* stream) {
    StreamReader reader;
    initStreamReader(reader, stream);
    return Sample_LoadGeneric(&reader.reader);
}

MODULE* loadModule(SDL_RWops* stream) {
    StreamReader reader;
    initStreamReader(reader, stream);
    return Player_LoadGeneric(&reader.reader, 16, 0);
}

TEST_P(SoundEffectTest, LoadsThroughLibmikmodsSampleLoader) {
    ASSERT_TRUE(sound_test::startMixer());
    SAMPLE* sample = loadThroughReader(GetParam().name, loadSample);
    ASSERT_NE(sample, nullptr) << MikMod_strerror(MikMod_errno);
    Wav w = parseWav(bytes());
    EXPECT_EQ(sample->length, w.samples.size());
    EXPECT_EQ(static_cast<int>(sample->speed), w.rate);
    EXPECT_TRUE(sample->flags & SF_16BITS);
    Sample_Free(sample);
}

INSTANTIATE_TEST_SUITE_P(Effects, SoundEffectTest, ::testing::ValuesIn(Effects),
                         [](const ::testing::TestParamInfo<EffectCase>& info) {
                             std::string n = info.param.name + 6;  // past "sound/"
                             std::string id;
                             for (char c : n.substr(0, n.size() - 4))
                                 id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return id == "2x" ? std::string("double") : id;
                         });

double rmsOf(const std::vector<short>& v) {
    double sum = 0;
    for (short x : v)
        sum += static_cast<double>(x) * x;
    return std::sqrt(sum / v.size());
}

// Every effect, played over the loudest stretch of any piece at the game's
// levels, stands well clear of the music and still does not clip.
TEST(SoundEffectsOverMusic, StandClearOfEveryPieceWithoutClipping) {
    ASSERT_TRUE(sound_test::startMixer());
    std::vector<SAMPLE*> samples;
    for (const EffectCase& e : Effects) {
        samples.push_back(loadThroughReader(e.name, loadSample));
        ASSERT_NE(samples.back(), nullptr) << e.name;
        samples.back()->panning = 128;
    }

    // The effects alone, as the mixer plays them: the quietest peak. The
    // mixer only runs while a module plays, so a silent one keeps it going.
    MODULE* silent = loadThroughReader("sound/1.zik", loadModule);
    ASSERT_NE(silent, nullptr);
    Player_Start(silent);
    Player_SetVolume(0);
    const int frames = 4410;
    std::vector<short> buffer(frames * 2);
    double quietestEffectPeak = 32768;
    for (SAMPLE* s : samples) {
        Sample_Play(s, 0, 0);
        int peak = 0;
        for (int k = 0; k < 30; k++) {
            VC_WriteBytes(reinterpret_cast<SBYTE*>(buffer.data()), frames * 4);
            for (short v : buffer)
                peak = std::max(peak, std::abs(static_cast<int>(v)));
        }
        quietestEffectPeak = std::min(quietestEffectPeak, static_cast<double>(peak));
    }
    Player_Stop();
    Player_Free(silent);

    for (int n = 1; n <= 6; n++) {
        MODULE* module = loadThroughReader("sound/" + std::to_string(n) + ".zik", loadModule);
        ASSERT_NE(module, nullptr);
        module->wrap = 1;
        // The music alone: its loudest 100 ms over the first minute.
        Player_Start(module);
        Player_SetVolume(60);
        double loudestMusic = 0;
        for (int k = 0; k < 600; k++) {
            VC_WriteBytes(reinterpret_cast<SBYTE*>(buffer.data()), frames * 4);
            loudestMusic = std::max(loudestMusic, rmsOf(buffer));
        }
        Player_Stop();
        // Again from the top with all nine effects going off in turn.
        Player_Start(module);
        Player_SetVolume(60);
        int peakWithEffects = 0;
        for (int k = 0; k < 600; k++) {
            if (k % 20 == 0)
                Sample_Play(samples[(k / 20) % samples.size()], 0, 0);
            VC_WriteBytes(reinterpret_cast<SBYTE*>(buffer.data()), frames * 4);
            for (short v : buffer)
                peakWithEffects = std::max(peakWithEffects, std::abs(static_cast<int>(v)));
        }
        Player_Stop();
        Player_Free(module);
        EXPECT_LT(peakWithEffects, 32767) << "piece " << n << " clips under the effects";
        // The loudest 100 ms of music stays well under the quietest effect.
        double margin = 20 * std::log10(quietestEffectPeak / loudestMusic);
        EXPECT_GT(margin, 10.0) << "piece " << n;
        std::printf("piece %d: loudest music %.1f dBFS rms, effects clear it by %.1f dB, peak with effects %.1f dBFS\n",
                    n, 20 * std::log10(loudestMusic / 32768), margin,
                    20 * std::log10(peakWithEffects / 32768.0));
    }
    for (SAMPLE* s : samples)
        Sample_Free(s);
}

}  // namespace
