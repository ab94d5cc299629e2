#include "audio/SoundSample.h"

#include "archive/Archive.h"
#include "audio/Audio.h"
#include "audio/StreamReader.h"
#include "core/Error.h"

SoundSample::SoundSample() : sample(nullptr) {}

SoundSample::~SoundSample()
{
    unload();
}

bool SoundSample::load(const char* path)
{
    if (!audioReady || !mixerReady)
        return false;
    unload();

    // In memory: libmikmod reads a byte at a time and asks for the position
    // often, thousands of system calls per load on a file.
    SDL_RWops* stream = openInMemory(path);
    if (!stream)
        throw Error("Couldn't Load Sample: %s\n", path);

    StreamReader reader;
    initStreamReader(reader, stream);
    SAMPLE* loaded;
    {
        AudioLock lock;
        loaded = Sample_LoadGeneric(&reader.reader);
        if (loaded)
            loaded->panning = 128;  // centre
    }
    SDL_RWclose(stream);
    if (!loaded)
        throw Error("Couldn't Load Sample: %s\n", path);
    sample = loaded;
    return true;
}

void SoundSample::play()
{
    if (!audioReady || !mixerReady || !sample)
        return;
    AudioLock lock;
    // Not critical: when every effect voice is busy, the oldest gives way.
    Sample_Play(sample, 0, 0);
}

void SoundSample::unload()
{
    if (!sample)
        return;
    if (audioReady && mixerReady) {
        AudioLock lock;
        Sample_Free(sample);
    } else {
        // The mixer's exit has already released the sample data; only the
        // record itself is left.
        MikMod_free(sample);
    }
    sample = nullptr;
}
