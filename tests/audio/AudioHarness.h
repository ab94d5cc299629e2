// Drives the real SDL device for the audio tests: the disk driver writes what
// the device received to a file, read back as 16-bit samples.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Error.h"

namespace audio_test {

// Chooses SDL's audio driver for the next audioInit.
void useDriver(const char* name);
// The disk driver, writing raw samples to `file` as fast as it can.
void useDiskDriver(const std::string& file);

// Closes audio at the end of a test, however the test ends.
class AudioSession {
public:
    AudioSession(int rate = 44100, int bits = 16, int bufferFrames = 4096,
                 int effectVoices = 4, bool interpolate = false);
    ~AudioSession();
    AudioSession(const AudioSession&) = delete;
    AudioSession& operator=(const AudioSession&) = delete;
    bool opened;
};

// Resumes the device until `file` holds at least `bytes` (or, should the
// device never write, half a minute has passed).
void runUntil(const std::string& file, size_t bytes);
// The file as 16-bit samples, once audio is closed and the file complete.
std::vector<short> readSamples(const std::string& file);

// First frame of interleaved stereo that is not silent.
size_t firstSound(const std::vector<short>& stereo);

// Frequency of the left channel of interleaved stereo, from its rising
// crossings over `seconds` after the first sound.
double toneFrequency(const std::vector<short>& stereo, int rate, double seconds);

// Root mean square of samples [first, last).
double rms(const std::vector<short>& samples, size_t first, size_t last);

// How often libmikmod's and SDL's audio entry points were called, counted by
// wrappers in this test program that pass every call on to the library.
struct MikModCalls {
    int playerStart;
    int playerStop;
    int mikmodExit;
    int unpause;       // SDL_PauseAudio(0)
    int mixedBuffers;  // VC_WriteBytes while a module played
    long mixedBytes;   // and the bytes it mixed
    // Calls that changed the player or the samples while the device was open
    // but SDL's audio lock was not held.
    int unlocked;
};
long mixedBytesSoFar();
extern MikModCalls mikmodCalls;

// Audio open on the dummy driver for one test (the test's SetUp calls
// openDummyAudio once its files are written); when the test ends, every call
// into libmikmod must have run under the audio lock.
class LockedAudioTest : public ::testing::Test {
protected:
    void openDummyAudio()
    {
        useDriver("dummy");
        session = new AudioSession;
        ASSERT_TRUE(session->opened);
        unlockedBefore = mikmodCalls.unlocked;
    }
    void TearDown() override
    {
        EXPECT_EQ(mikmodCalls.unlocked, unlockedBefore);
        delete session;
    }

    AudioSession* session = nullptr;
    int unlockedBefore = 0;
};

// The Error text of loading path into a fresh Sound (a MusicModule or a
// SoundSample), which must then hold nothing.
template <typename Sound, typename Held>
std::string loadErrorOf(const char* path, Held* Sound::*held)
{
    Sound sound;
    try {
        sound.load(path);
    } catch (const Error& error) {
        EXPECT_EQ(sound.*held, nullptr);
        return error.text;
    }
    return "no Error thrown";
}

}  // namespace audio_test
