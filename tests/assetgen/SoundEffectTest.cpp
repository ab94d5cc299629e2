// The nine effects in data.pak: plain 16-bit mono WAVs that libmikmod's
// sample loader reads, filling their range, centred, ramped at both ends,
// clearly louder than the music they play over, and never clipping with it.
#include <gtest/gtest.h>
#include <mikmod.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "PictureArchiveTest.h"
#include "SoundMix.h"
#include "archive/Archive.h"
#include "audio/MusicModule.h"
#include "audio/SoundSample.h"
#include "audio/StreamReader.h"
#include "support/TestSupport.h"

namespace {

using namespace sound_test;

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
    EXPECT_GE(peakDb, -1.0);
    EXPECT_LE(peakDb, -0.1);
    EXPECT_LT(std::fabs(sum / w.samples.size()) / 32768.0, 0.002) << "DC offset";

    // It starts and ends at rest and ramps for at least 2 ms at both ends:
    // no step there larger than 5 % of full scale, so starting or ending
    // the sample cannot click.
    const size_t ramp = w.rate / 500;
    const int largestStep = 32768 / 20;
    EXPECT_LE(std::abs(w.samples.front()), largestStep);
    EXPECT_LE(std::abs(w.samples.back()), largestStep);
    for (size_t i = 0; i < ramp; i++) {
        size_t end = w.samples.size() - 1 - i;
        ASSERT_LE(std::abs(w.samples[i + 1] - w.samples[i]), largestStep) << "onset frame " << i;
        ASSERT_LE(std::abs(w.samples[end] - w.samples[end - 1]), largestStep) << "tail frame " << i;
        // A ramp, not a jump to full level in a few small steps.
        ASSERT_LT(std::abs(w.samples[i]), peak / 2) << "onset frame " << i;
        ASSERT_LT(std::abs(w.samples[end]), peak / 2) << "tail frame " << i;
    }
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

// Mixed by the game's callback from the moment it is started: the frame of
// its largest magnitude, and that magnitude.
struct Peak {
    size_t frame = 0;
    int value = 0;
};

Peak peakOf(const std::vector<short>& stereo) {
    Peak p;
    for (size_t i = 0; i < stereo.size(); i++)
        if (std::abs(static_cast<int>(stereo[i])) > p.value)
            p = {i / 2, std::abs(static_cast<int>(stereo[i]))};
    return p;
}

// The busiest piece (the loudest over its first minute, as the game plays
// it) against every effect, and its loudest moment with the click, double
// and coin effects started together on it.
//
// libmikmod at the game's settings plays one effect voice at most at a
// quarter of full scale (-12 dBFS: sample volume 64, mixer volume 96 of 128,
// the centred pan halving each side), so an effect is loud enough when its
// sample fills its range. Against music of -22 dBFS or more that leaves
// about 9 dB: each effect stands that far above the music's RMS over the
// 400 ms around it wherever it typically lands, and 6 dB even in the
// loudest 400 ms of the minute.
TEST(SoundEffectsOverMusic, StandClearOfTheBusiestPieceWithoutClipping) {
    ASSERT_TRUE(startMixer());
    std::vector<std::unique_ptr<SoundSample>> samples;
    for (const EffectCase& e : Effects) {
        samples.push_back(std::make_unique<SoundSample>());
        ASSERT_TRUE(samples.back()->load(memberPath(e.name).c_str())) << e.name;
    }

    // Each effect alone. The mixer only runs while a module plays, so a
    // silent one keeps it going.
    std::vector<Peak> effectPeaks;
    {
        MusicModule silent;
        ASSERT_TRUE(silent.load(memberPath("sound/1.zik").c_str()));
        silent.start();
        silent.setVolume(0);
        for (size_t k = 0; k < samples.size(); k++) {
            samples[k]->play();
            effectPeaks.push_back(peakOf(mix(static_cast<size_t>(MixRate * Effects[k].maxSeconds))));
        }
    }

    // Each piece's first minute: its loudness, and its loudest moment
    // (its largest sample).
    auto piecePath = [](int n) { return memberPath("sound/" + std::to_string(n) + ".zik"); };
    int busiest = 1, peakiest = 1;
    std::vector<Blocks> blocks(7);
    std::vector<Peak> moments(7);
    for (int n = 1; n <= 6; n++) {
        MusicModule music;
        ASSERT_TRUE(music.load(piecePath(n).c_str()));
        music.start();
        std::vector<short> minute = mix(BlockFrames * 600);
        blocks[n].add(minute);
        moments[n] = peakOf(minute);
        if (blocks[n].rmsDb(0, 600) > blocks[busiest].rmsDb(0, 600))
            busiest = n;
        if (moments[n].value > moments[peakiest].value)
            peakiest = n;
    }

    // The music around every moment of the minute an effect could start.
    std::vector<double> around;
    for (size_t b = 0; b + 4 <= 600; b++)
        around.push_back(blocks[busiest].rmsDb(b, 4));
    std::sort(around.begin(), around.end());
    const double typical = around[around.size() / 2], loudest = around.back();
    std::printf("busiest piece %d: %.1f dBFS rms, 400 ms around an effect %.1f typically, %.1f at most\n",
                busiest, blocks[busiest].rmsDb(0, 600), typical, loudest);
    for (size_t k = 0; k < samples.size(); k++) {
        double peak = dbfs(effectPeaks[k].value / 32768.0);
        EXPECT_GE(peak, -12.5) << Effects[k].name << " is quieter than the mixer allows";
        EXPECT_GE(peak - typical, 9.0) << Effects[k].name;
        EXPECT_GE(peak - loudest, 6.0) << Effects[k].name;
        std::printf("%-18s peak %.1f dBFS: %.1f dB over the music typically, %.1f dB at its loudest\n",
                    Effects[k].name, peak, peak - typical, peak - loudest);
    }

    // The loudest moment of the busiest piece, and of the piece with the
    // largest sample of all when that is another: start the three effects
    // together so that each one's own peak lands on it in turn.
    const size_t together[3] = {0, 1, 6};  // bip, 2x, points
    for (int n : std::set<int>{busiest, peakiest})
        for (size_t aligned : together) {
            ASSERT_GE(moments[n].frame, effectPeaks[aligned].frame);
            MusicModule music;
            ASSERT_TRUE(music.load(piecePath(n).c_str()));
            music.start();
            mix(moments[n].frame - effectPeaks[aligned].frame);
            for (size_t k : together)
                samples[k]->play();
            double peak = dbfs(peakOf(mix(MixRate)).value / 32768.0);
            EXPECT_LE(peak, -0.5) << "piece " << n << ", aligned on " << Effects[aligned].name;
            std::printf("piece %d's loudest moment with bip, 2x and points, on %s's peak: %.1f dBFS\n",
                        n, Effects[aligned].name, peak);
        }
}

}  // namespace
