#include "audio/MusicModule.h"

#include "archive/Archive.h"
#include "audio/Audio.h"
#include "audio/StreamReader.h"
#include "core/Error.h"

MusicModule::MusicModule() : module(nullptr), playing(false) {}

MusicModule::~MusicModule()
{
    unload();
}

bool MusicModule::load(const char* path)
{
    if (!audioReady || !mixerReady)
        return false;
    unload();

    // In memory: libmikmod reads a byte at a time and asks for the position
    // often, thousands of system calls per load on a file.
    SDL_RWops* stream = openInMemory(path);
    if (!stream)
        throw Error("Cannot Load Module: '%s' (%s)", path, MikMod_strerror(MMERR_OPENING_FILE));

    StreamReader reader;
    initStreamReader(reader, stream);
    MODULE* loaded;
    int loadError;
    {
        AudioLock lock;
        // At most 16 channels; hidden patterns are not looked for.
        loaded = Player_LoadGeneric(&reader.reader, 16, 0);
        loadError = MikMod_errno;
    }
    SDL_RWclose(stream);
    if (!loaded)
        throw Error("Cannot Load Module: '%s' (%s)", path, MikMod_strerror(loadError));

    // Play on from the restart position at the end: the music never stops
    // by itself.
    loaded->wrap = 1;
    module = loaded;
    return true;
}

void MusicModule::start()
{
    if (!audioReady || !module)
        return;
    if (!playing) {
        AudioLock lock;
        Player_Start(module);
        Player_SetVolume(60);
    }
    playing = true;
}

void MusicModule::stop()
{
    if (playing && mixerReady) {
        AudioLock lock;
        // libmikmod has one player: this stops whatever it plays.
        Player_Stop();
    }
    playing = false;
}

void MusicModule::setVolume(int volume)
{
    if (volume < 0)
        volume = 0;
    if (volume > 63)
        volume = 63;
    if (!mixerReady)
        return;
    AudioLock lock;
    Player_SetVolume(static_cast<SWORD>(volume));
}

void MusicModule::unload()
{
    stop();
    if (!module)
        return;
    // Once libmikmod has exited, its sample memory is gone and Player_Free
    // would touch freed tables; the module is then simply let go.
    if (mixerReady) {
        AudioLock lock;
        Player_Free(module);
    }
    module = nullptr;
}
