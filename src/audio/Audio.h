// The SDL audio device, fed by libmikmod's software mixer.
#pragma once

#include <SDL.h>

extern bool audioReady;    // the SDL device is open
extern bool mixerReady;    // libmikmod is initialised
extern bool audioRunning;  // the device is unpaused
extern SDL_AudioSpec audioObtained;  // what the open device really plays

bool audioInit(int rate, int bits, int bufferFrames, int effectVoices, bool interpolate);
void audioResume();
void audioPause();
void audioShutdown();
void mixAudio(void* userData, Uint8* buffer, int length);

// Holds SDL's audio lock while libmikmod's state is touched from the main
// thread, so the mixing callback never sees it half-changed.
class AudioLock {
public:
    AudioLock();
    ~AudioLock();
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
private:
    bool held;
};
