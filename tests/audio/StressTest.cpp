#include <gtest/gtest.h>
#include <mikmod.h>

#include "AudioHarness.h"
#include "SoundFiles.h"
#include "audio/Audio.h"
#include "audio/MusicModule.h"
#include "audio/SoundSample.h"
#include "support/TestSupport.h"

using namespace audio_test;
using testing_support::ScratchDir;
using testing_support::writeFile;

namespace {

// The main thread keeps changing libmikmod's state (every load reallocates
// the mixer's voice tables) while the device mixes small buffers without
// pause: the disk driver, writing nowhere, flat out. The wrappers check that
// each call holds the audio lock; a sanitizer build watches the memory.
TEST(AudioStress, LoadStartStopFreeWhileTheDeviceRuns)
{
    ScratchDir scratch;
    Bytes tone = writeXm(toneSong());
    writeFile("tone.xm", tone);
    writeZip("sounds.zip", {{"sound/tone.xm", tone}, {"sound/bip.wav", effectWav()}});
    useDiskDriver("/dev/null");
    AudioSession session(44100, 16, 256, 4, true);
    ASSERT_TRUE(session.opened);
    audioResume();

    int mixedBefore = __atomic_load_n(&mikmodCalls.mixedBuffers, __ATOMIC_RELAXED);
    int unlockedBefore = mikmodCalls.unlocked;
    int rounds = 0;
    Uint32 end = SDL_GetTicks() + 3000;
    while (SDL_GetTicks() < end) {
        MusicModule music;
        SoundSample effect;
        ASSERT_TRUE(music.load(rounds % 2 ? "tone.xm" : "zip:sounds.zip,sound/tone.xm"));
        ASSERT_TRUE(effect.load("zip:sounds.zip,sound/bip.wav"));
        music.start();
        for (int i = 0; i < 8; i++) {
            effect.play();
            music.setVolume(i * 9);
            SDL_Delay(1);
        }
        if (rounds % 3 == 0)
            music.stop();
        effect.unload();
        music.unload();
        rounds++;
    }
    audioPause();
    int mixed = __atomic_load_n(&mikmodCalls.mixedBuffers, __ATOMIC_RELAXED) - mixedBefore;

    EXPECT_GT(rounds, 10);
    EXPECT_EQ(mikmodCalls.unlocked, unlockedBefore);
    // The callback really mixed music while the main thread worked.
    EXPECT_GT(mixed, 10);
}

}  // namespace
