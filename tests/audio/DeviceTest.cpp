#include <gtest/gtest.h>
#include <mikmod.h>

#include <string>
#include <vector>

#include "AudioHarness.h"
#include "SoundFiles.h"
#include "audio/Audio.h"
#include "audio/MusicModule.h"
#include "audio/SoundSample.h"
#include "support/TestSupport.h"

using namespace audio_test;
using testing_support::CapturedStream;
using testing_support::ScratchDir;
using testing_support::writeFile;

namespace {

const int kBaseMode = DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX;

TEST(AudioDevice, WithoutADeviceOneLineAndASilentGame)
{
    ScratchDir scratch;
    writeFile("tone.xm", writeXm(toneSong()));
    writeFile("bip.wav", effectWav());
    useDriver("nonexistent");
    int exitsBefore = mikmodCalls.mikmodExit;
    int startsBefore = mikmodCalls.playerStart;
    int unpausesBefore = mikmodCalls.unpause;

    std::string errors;
    {
        CapturedStream captured(2);
        EXPECT_FALSE(audioInit(44100, 16, 4096, 4, false));
        audioResume();
        EXPECT_EQ(mikmodCalls.unpause, unpausesBefore);
        MusicModule music;
        SoundSample effect;
        EXPECT_FALSE(music.load("tone.xm"));
        EXPECT_FALSE(effect.load("bip.wav"));
        music.start();
        music.setVolume(40);
        effect.play();
        EXPECT_EQ(music.module, nullptr);
        EXPECT_FALSE(music.playing);
        EXPECT_EQ(effect.sample, nullptr);
        audioShutdown();
        errors = captured.text();
    }

    EXPECT_FALSE(audioReady);
    EXPECT_FALSE(mixerReady);
    EXPECT_FALSE(audioRunning);
    EXPECT_EQ(mikmodCalls.mikmodExit, exitsBefore);
    EXPECT_EQ(mikmodCalls.playerStart, startsBefore);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    // One line, "Audio Init Error [%s]" with SDL's own text.
    ASSERT_GT(errors.size(), std::string("Audio Init Error []\n").size()) << errors;
    EXPECT_EQ(errors.rfind("Audio Init Error [", 0), 0u) << errors;
    EXPECT_EQ(errors.substr(errors.size() - 2), "]\n") << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << errors;
}

TEST(AudioDevice, MixerFollowsTheFormatTheDeviceOpened)
{
    useDriver("dummy");
    {
        AudioSession session(22050, 8, 1024, 4, false);
        ASSERT_TRUE(session.opened);
        EXPECT_EQ(audioObtained.format, AUDIO_U8);
        EXPECT_EQ(audioObtained.channels, 2);
        EXPECT_EQ(md_mode, kBaseMode | DMODE_STEREO);
        EXPECT_EQ(md_mixfreq, audioObtained.freq);
    }
    {
        AudioSession session(44100, 16, 4096, 4, true);
        ASSERT_TRUE(session.opened);
        EXPECT_EQ(audioObtained.format, AUDIO_S16LSB);
        EXPECT_EQ(md_mode, kBaseMode | DMODE_STEREO | DMODE_16BITS | DMODE_INTERP);
        EXPECT_EQ(md_mixfreq, audioObtained.freq);
        EXPECT_EQ(md_device, 1);  // the only driver registered: no sound of its own
        EXPECT_EQ(md_volume, 96);
        EXPECT_EQ(md_musicvolume, 128);
        EXPECT_EQ(md_sndfxvolume, 128);
        EXPECT_EQ(md_pansep, 128);
        EXPECT_EQ(md_reverb, 0);
    }
}

TEST(AudioDevice, LifecycleRunsEachStepOnce)
{
    useDriver("dummy");
    int exitsBefore = mikmodCalls.mikmodExit;
    ASSERT_TRUE(audioInit(44100, 16, 4096, 4, false));
    EXPECT_TRUE(audioReady);
    EXPECT_TRUE(mixerReady);
    EXPECT_FALSE(audioRunning);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PAUSED);

    int unpausesBefore = mikmodCalls.unpause;
    audioResume();
    audioResume();
    EXPECT_EQ(mikmodCalls.unpause, unpausesBefore + 1);
    EXPECT_TRUE(audioRunning);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
    audioPause();
    EXPECT_FALSE(audioRunning);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PAUSED);
    audioResume();

    audioShutdown();
    EXPECT_FALSE(audioReady);
    EXPECT_FALSE(mixerReady);
    EXPECT_FALSE(audioRunning);
    EXPECT_EQ(mikmodCalls.mikmodExit, exitsBefore + 1);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

    // A second shutdown has nothing left to close.
    audioShutdown();
    EXPECT_EQ(mikmodCalls.mikmodExit, exitsBefore + 1);
}

TEST(AudioDevice, LeavesAnAudioSubsystemItDidNotStart)
{
    useDriver("dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_TRUE(audioInit(44100, 16, 4096, 4, false));
    audioShutdown();
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

TEST(AudioDevice, SilentWithoutAModuleEvenWhileAnEffectPlays)
{
    ScratchDir scratch;
    writeFile("bip.wav", effectWav());
    std::string output = scratch.path() + "/out.raw";
    useDiskDriver(output);
    {
        AudioSession session;
        ASSERT_TRUE(session.opened);
        SoundSample effect;
        ASSERT_TRUE(effect.load("bip.wav"));
        effect.play();
        runUntil(output, 44100 * 4 / 2);
    }
    std::vector<short> samples = readSamples(output);
    ASSERT_FALSE(samples.empty());
    size_t loud = 0;
    for (short s : samples)
        loud += s != 0;
    EXPECT_EQ(loud, 0u);
}

// The music alone, or the music with the effect started at the same moment,
// from the first buffer the device played after it was resumed.
std::vector<short> recordTone(const std::string& folder, bool withEffect)
{
    std::string output = folder + (withEffect ? "/both.raw" : "/music.raw");
    useDiskDriver(output);
    {
        AudioSession session(44100, 16, 4096, 4, false);
        EXPECT_TRUE(session.opened);
        MusicModule music;
        SoundSample effect;
        EXPECT_TRUE(music.load("tone.xm"));
        EXPECT_TRUE(effect.load("bip.wav"));
        music.start();
        if (withEffect)
            effect.play();
        runUntil(output, 44100 * 4 * 3);
    }
    // While paused the device wrote whole buffers of silence.
    std::vector<short> samples = readSamples(output);
    size_t start = firstSound(samples) / 4096 * 4096;
    return std::vector<short>(samples.begin() + static_cast<long>(2 * start), samples.end());
}

TEST(AudioDevice, MusicSoundsAndAnEffectIsHeardOnTop)
{
    ScratchDir scratch;
    writeFile("tone.xm", writeXm(toneSong()));
    writeFile("bip.wav", effectWav());
    std::vector<short> music = recordTone(scratch.path(), false);
    std::vector<short> both = recordTone(scratch.path(), true);
    size_t second = 44100 * 2;
    ASSERT_GE(music.size(), second);
    ASSERT_GE(both.size(), second);

    EXPECT_GT(rms(music, 0, second), 300.0);

    // The 0.1 s effect is the only difference between the two recordings.
    std::vector<short> difference(second);
    for (size_t i = 0; i < second; i++)
        difference[i] = static_cast<short>(both[i] - music[i]);
    size_t effectEnd = 2 * 44100 / 10;
    EXPECT_GT(rms(difference, 0, effectEnd), 300.0);
    EXPECT_EQ(rms(difference, effectEnd + 2 * 4410, second), 0.0);
}

// The mixer must run at the rate SDL takes samples at, whatever rate was
// asked for. The recording is at the rate the device itself runs at, which
// the compatibility layer may set higher still; it is found from how many
// frames the device wrote for the frames that were mixed.
TEST(AudioDevice, ToneKeepsItsPitchAtWhateverRateTheDeviceRuns)
{
    ScratchDir scratch;
    writeFile("tone.xm", writeXm(toneSong()));
    const int rates[] = {22050, 44100, 48000};
    for (int asked : rates) {
        std::string output = scratch.path() + "/tone" + std::to_string(asked) + ".raw";
        useDiskDriver(output);
        int rate;
        long mixedFrames;
        {
            AudioSession session(asked, 16, 512, 4, false);
            ASSERT_TRUE(session.opened);
            rate = audioObtained.freq;
            EXPECT_EQ(md_mixfreq, rate);
            MusicModule music;
            ASSERT_TRUE(music.load("tone.xm"));
            music.start();
            long before = mixedBytesSoFar();
            audioResume();
            Uint32 deadline = SDL_GetTicks() + 30000;
            while (mixedBytesSoFar() - before < 10L * rate * 4 && SDL_GetTicks() < deadline)
                SDL_Delay(1);
            audioPause();
            mixedFrames = (mixedBytesSoFar() - before) / 4;
        }
        // The device goes on writing silence while paused.
        std::vector<short> samples = readSamples(output);
        size_t last = samples.size() / 2;
        while (last > 0 && samples[2 * last - 2] == 0 && samples[2 * last - 1] == 0)
            last--;
        double written = static_cast<double>(last - firstSound(samples));
        double deviceRate = rate * written / static_cast<double>(mixedFrames);
        double frequency = toneFrequency(samples, static_cast<int>(deviceRate + 0.5), 2.0);
        RecordProperty("tone" + std::to_string(asked),
                       std::to_string(frequency) + " Hz, device at " + std::to_string(deviceRate));
        EXPECT_NEAR(frequency, 440.0, 4.4)
            << "asked " << asked << " Hz, mixed at " << rate << " Hz, device at " << deviceRate;
    }
}

}  // namespace
