#include "shell/VideoMode.h"

#include <cstdio>
#include <cstdlib>

#include "shell/AppState.h"
#include "shell/Error.h"

void requestVsync()
{
    // sdl12-compat reads this when the video mode is set, in both modes.
    setenv("SDL12COMPAT_SYNC_TO_VBLANK", "1", 0);
}

SDL_Surface* setScreenMode(bool full)
{
    if (full)
        return SDL_SetVideoMode(640, 480, 32, kFullScreenFlags);
    // A window takes the desktop's depth.
    return SDL_SetVideoMode(640, 480, 0, kWindowFlags);
}

void openScreen()
{
    screen = setScreenMode(true);
    if (!screen)
        throw Error("Cannot Init Screen");
    fullScreen = true;
    if (screen->flags & SDL_HWSURFACE)
        fputs("Screen in VRAM\n", stderr);
    if (screen->flags & SDL_DOUBLEBUF)
        fputs("Screen can Flip\n", stderr);
}

void toggleScreenMode()
{
    bool wanted = !fullScreen;
    SDL_Surface* surface = setScreenMode(wanted);
    if (!surface) {
        wanted = fullScreen;
        surface = setScreenMode(wanted);
    }
    screen = surface;
    if (!surface)
        throw Error("Cannot Init Screen");
    fullScreen = wanted;
    // sdl12-compat keeps the full screen's input grab in the window, which
    // would trap the pointer there and, with our own pointer drawn in place
    // of the system one, turn the mouse into relative motion.
    if (!fullScreen)
        SDL_WM_GrabInput(SDL_GRAB_OFF);
}
