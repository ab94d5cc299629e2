#include "audio/Audio.h"

#include <mikmod.h>

#include "core/Error.h"

bool audioReady = false;
bool mixerReady = false;
bool audioRunning = false;
SDL_AudioSpec audioObtained;

// True while audioInit's own SDL_InitSubSystem is in force, so shutdown quits
// only what it started (the main loop initialises everything but audio).
static bool startedSubsystem = false;

static void quitOwnSubsystem()
{
    if (startedSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        startedSubsystem = false;
    }
}

// The mixer writes native 16-bit signed or 8-bit unsigned samples, mono or
// stereo, at a rate that fits its 16-bit setting. Anything else the device
// hands back would come out as noise.
static bool mixerCanWrite(const SDL_AudioSpec& device)
{
    return (device.format == AUDIO_S16SYS || device.format == AUDIO_U8)
        && (device.channels == 1 || device.channels == 2)
        && device.freq > 0 && device.freq <= 65535;
}

static bool openDevice(int rate, int bits, int bufferFrames)
{
    SDL_AudioSpec wanted;
    SDL_memset(&wanted, 0, sizeof wanted);
    // libmikmod keeps its mixing rate in 16 bits.
    wanted.freq = rate > 65535 ? 65535 : rate;
    wanted.format = bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(bufferFrames);
    wanted.callback = mixAudio;
    wanted.userdata = nullptr;

    SDL_AudioSpec asked = wanted;
    SDL_memset(&audioObtained, 0, sizeof audioObtained);
    if (SDL_OpenAudio(&wanted, &audioObtained) < 0)
        return false;
    if (mixerCanWrite(audioObtained))
        return true;

    // Let SDL convert our format to the device's instead.
    SDL_CloseAudio();
    wanted = asked;
    if (SDL_OpenAudio(&wanted, nullptr) < 0)
        return false;
    audioObtained = wanted;
    return true;
}

static void registerMixerOnce()
{
    // libmikmod keeps its driver and loader lists for the whole process.
    static bool registered = false;
    if (registered)
        return;
    MikMod_RegisterAllLoaders();
    // Only the no-sound driver: everything leaves through mixAudio and the
    // SDL device, and libmikmod never opens a device of its own.
    MikMod_RegisterDriver(&drv_nos);
    registered = true;
}

bool audioInit(int rate, int bits, int bufferFrames, int effectVoices, bool interpolate)
{
    if (audioReady)
        return true;
    audioRunning = false;

    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
            logLine("Audio Init Error [%s]", SDL_GetError());
            return false;
        }
        startedSubsystem = true;
    }
    if (!openDevice(rate, bits, bufferFrames)) {
        logLine("Audio Init Error [%s]", SDL_GetError());
        quitOwnSubsystem();
        return false;
    }

    // Mix in what the device really plays: a device that came up at 48000 Hz
    // fed at 44100 would play every piece too high and too fast.
    md_mode = DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX;
    if (audioObtained.channels > 1)
        md_mode |= DMODE_STEREO;
    if ((audioObtained.format & 0xFF) == 16)
        md_mode |= DMODE_16BITS;
    if (interpolate)
        md_mode |= DMODE_INTERP;
    md_mixfreq = static_cast<UWORD>(audioObtained.freq);
    md_device = 0;
    md_volume = 96;
    md_musicvolume = 128;
    md_sndfxvolume = 128;
    md_pansep = 128;
    md_reverb = 0;

    registerMixerOnce();
    char noParameters[] = "";
    if (MikMod_Init(noParameters) != 0) {
        logLine("Audio Init Error [%s]", MikMod_strerror(MikMod_errno));
        SDL_CloseAudio();
        quitOwnSubsystem();
        return false;
    }
    mixerReady = true;
    MikMod_SetNumVoices(-1, effectVoices);

    audioReady = true;
    return true;
}

void audioResume()
{
    if (audioReady && !audioRunning) {
        SDL_PauseAudio(0);
        audioRunning = true;
    }
}

void audioPause()
{
    if (audioReady && audioRunning) {
        SDL_PauseAudio(1);
        audioRunning = false;
    }
}

void audioShutdown()
{
    audioPause();
    if (audioReady)
        SDL_CloseAudio();
    // The device is closed, so the callback can no longer be inside libmikmod.
    if (mixerReady)
        MikMod_Exit();
    audioReady = false;
    mixerReady = false;
    quitOwnSubsystem();
}

// Runs on SDL's audio thread. Sound effects are heard only while a module
// plays; the menu and the game keep one playing while they run.
void mixAudio(void* userData, Uint8* buffer, int length)
{
    (void)userData;
    SBYTE* out = reinterpret_cast<SBYTE*>(buffer);
    ULONG size = static_cast<ULONG>(length);
    ULONG written = 0;
    if (Player_Active())
        written = VC_WriteBytes(out, size);
    if (written < size)
        VC_SilenceBytes(out + written, size - written);
}

AudioLock::AudioLock() : held(audioReady)
{
    if (held)
        SDL_LockAudio();
}

AudioLock::~AudioLock()
{
    if (held)
        SDL_UnlockAudio();
}
