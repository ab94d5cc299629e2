#pragma once

#include <mikmod.h>

// One tracker module of libmikmod's single player.
class MusicModule {
public:
    MusicModule();
    virtual ~MusicModule();
    MusicModule(const MusicModule&) = delete;
    MusicModule& operator=(const MusicModule&) = delete;

    // False without a device; throws Error "Cannot Load Module: '%s' (%s)".
    bool load(const char* path);
    void start();
    void stop();
    void setVolume(int volume);  // clamped to 0-63
    void unload();

    MODULE* module;
    bool playing;
};
