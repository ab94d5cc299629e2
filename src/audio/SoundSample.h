#pragma once

#include <mikmod.h>

// One sound effect.
class SoundSample {
public:
    SoundSample();
    virtual ~SoundSample();
    SoundSample(const SoundSample&) = delete;
    SoundSample& operator=(const SoundSample&) = delete;

    // False without a device; throws Error "Couldn't Load Sample: %s\n".
    bool load(const char* path);
    void play();
    void unload();

    SAMPLE* sample;
};
