#include "AudioHarness.h"

#include <dlfcn.h>
#include <mikmod.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/Audio.h"
#include "support/TestSupport.h"

namespace audio_test {

MikModCalls mikmodCalls = {0, 0, 0, 0, 0, 0, 0};

long mixedBytesSoFar()
{
    return __atomic_load_n(&mikmodCalls.mixedBytes, __ATOMIC_RELAXED);
}

void useDriver(const char* name)
{
    setenv("SDL_AUDIODRIVER", name, 1);
}

void useDiskDriver(const std::string& file)
{
    useDriver("disk");
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
}

AudioSession::AudioSession(int rate, int bits, int bufferFrames, int effectVoices,
                           bool interpolate)
{
    opened = audioInit(rate, bits, bufferFrames, effectVoices, interpolate);
}

AudioSession::~AudioSession()
{
    audioShutdown();
}

static long fileSize(const std::string& file)
{
    struct stat info;
    return stat(file.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
}

void runUntil(const std::string& file, size_t bytes)
{
    audioResume();
    // The disk driver runs flat out; the deadline only guards against a
    // device that never writes at all.
    Uint32 deadline = SDL_GetTicks() + 30000;
    while (fileSize(file) < static_cast<long>(bytes) && SDL_GetTicks() < deadline)
        SDL_Delay(1);
    EXPECT_GE(fileSize(file), static_cast<long>(bytes)) << "the device wrote too little";
}

std::vector<short> readSamples(const std::string& file)
{
    std::vector<unsigned char> raw = testing_support::readFile(file);
    std::vector<short> samples(raw.size() / 2);
    for (size_t i = 0; i < samples.size(); i++)
        samples[i] = static_cast<short>(raw[2 * i] | (raw[2 * i + 1] << 8));
    return samples;
}

size_t firstSound(const std::vector<short>& stereo)
{
    size_t frame = 0;
    while (2 * frame + 1 < stereo.size() && stereo[2 * frame] == 0 && stereo[2 * frame + 1] == 0)
        frame++;
    return frame;
}

double toneFrequency(const std::vector<short>& stereo, int rate, double seconds)
{
    size_t frames = stereo.size() / 2;
    size_t first = firstSound(stereo);
    // Skip the note's attack.
    first += static_cast<size_t>(rate / 20);
    size_t last = first + static_cast<size_t>(seconds * rate);
    if (last > frames)
        return 0.0;

    // Hysteresis of a quarter of the peak keeps the ripple that resampling
    // leaves near zero from counting as extra crossings.
    int peak = 0;
    for (size_t i = first; i < last; i++)
        peak = std::max(peak, std::abs(static_cast<int>(stereo[2 * i])));
    int threshold = peak / 4;
    bool below = false;
    int rising = 0;
    size_t firstRise = 0;
    size_t lastRise = 0;
    for (size_t i = first; i < last; i++) {
        int value = stereo[2 * i];
        if (value < -threshold) {
            below = true;
        } else if (below && value > threshold) {
            below = false;
            if (rising == 0)
                firstRise = i;
            lastRise = i;
            rising++;
        }
    }
    if (rising < 2)
        return 0.0;
    // Whole cycles between the first and the last rise.
    return (rising - 1) * static_cast<double>(rate) / static_cast<double>(lastRise - firstRise);
}

double rms(const std::vector<short>& samples, size_t first, size_t last)
{
    if (last > samples.size())
        last = samples.size();
    if (last <= first)
        return 0.0;
    double sum = 0.0;
    for (size_t i = first; i < last; i++)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(last - first));
}

}  // namespace audio_test

// Counting wrappers: this program's definitions take the place of the
// library's for every call the game's code makes, and hand each call on.
template <typename Function>
static Function library(const char* name)
{
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol)
        abort();
    return reinterpret_cast<Function>(symbol);
}

// Depth of SDL's audio lock as the main thread took it.
static int audioLockDepth = 0;

static void checkLocked()
{
    if (audioReady && audioLockDepth == 0)
        audio_test::mikmodCalls.unlocked++;
}

extern "C" {

void SDL_LockAudio(void)
{
    static void (*real)(void) = library<void (*)(void)>("SDL_LockAudio");
    real();
    audioLockDepth++;
}

void SDL_PauseAudio(int pause)
{
    static void (*real)(int) = library<void (*)(int)>("SDL_PauseAudio");
    if (!pause)
        audio_test::mikmodCalls.unpause++;
    real(pause);
}

void SDL_UnlockAudio(void)
{
    static void (*real)(void) = library<void (*)(void)>("SDL_UnlockAudio");
    audioLockDepth--;
    real();
}

MODULE* Player_LoadGeneric(MREADER* reader, int maxChannels, BOOL curious)
{
    static MODULE* (*real)(MREADER*, int, BOOL) =
        library<MODULE* (*)(MREADER*, int, BOOL)>("Player_LoadGeneric");
    checkLocked();
    return real(reader, maxChannels, curious);
}

void Player_Free(MODULE* module)
{
    static void (*real)(MODULE*) = library<void (*)(MODULE*)>("Player_Free");
    checkLocked();
    real(module);
}

void Player_SetVolume(SWORD volume)
{
    static void (*real)(SWORD) = library<void (*)(SWORD)>("Player_SetVolume");
    checkLocked();
    real(volume);
}

SAMPLE* Sample_LoadGeneric(MREADER* reader)
{
    static SAMPLE* (*real)(MREADER*) = library<SAMPLE* (*)(MREADER*)>("Sample_LoadGeneric");
    checkLocked();
    return real(reader);
}

SBYTE Sample_Play(SAMPLE* sample, ULONG start, UBYTE flags)
{
    static SBYTE (*real)(SAMPLE*, ULONG, UBYTE) =
        library<SBYTE (*)(SAMPLE*, ULONG, UBYTE)>("Sample_Play");
    checkLocked();
    return real(sample, start, flags);
}

void Sample_Free(SAMPLE* sample)
{
    static void (*real)(SAMPLE*) = library<void (*)(SAMPLE*)>("Sample_Free");
    checkLocked();
    real(sample);
}

void Player_Start(MODULE* module)
{
    static void (*real)(MODULE*) = library<void (*)(MODULE*)>("Player_Start");
    audio_test::mikmodCalls.playerStart++;
    checkLocked();
    real(module);
}

void Player_Stop(void)
{
    static void (*real)(void) = library<void (*)(void)>("Player_Stop");
    audio_test::mikmodCalls.playerStop++;
    checkLocked();
    real();
}

void MikMod_Exit(void)
{
    static void (*real)(void) = library<void (*)(void)>("MikMod_Exit");
    audio_test::mikmodCalls.mikmodExit++;
    real();
}

ULONG VC_WriteBytes(SBYTE* buffer, ULONG length)
{
    static ULONG (*real)(SBYTE*, ULONG) = library<ULONG (*)(SBYTE*, ULONG)>("VC_WriteBytes");
    // Runs on the audio thread; the counter is only read once the device
    // is closed again.
    ULONG mixed = real(buffer, length);
    __atomic_add_fetch(&audio_test::mikmodCalls.mixedBuffers, 1, __ATOMIC_RELAXED);
    __atomic_add_fetch(&audio_test::mikmodCalls.mixedBytes, static_cast<long>(mixed),
                       __ATOMIC_RELAXED);
    return mixed;
}

}
