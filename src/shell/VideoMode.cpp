#include "shell/VideoMode.h"

#include <cstdio>
#include <cstdlib>

#include "core/AppState.h"
#include "core/Error.h"

namespace {

// A browser grants full screen only to a key or a click of the player's:
// there the game starts in the page, and F9 asks for full screen.
#ifdef __EMSCRIPTEN__
const bool kStartInFullScreen = false;
#else
const bool kStartInFullScreen = true;
#endif

}  // namespace

int windowScaleFor(int desktopWidth, int desktopHeight)
{
    // 640n <= 0.85 w and 480n <= 0.85 h, in whole numbers.
    const long across = 85L * desktopWidth / (640L * 100);
    const long down = 85L * desktopHeight / (480L * 100);
    const long n = across < down ? across : down;
    return n < 1 ? 1 : static_cast<int>(n);
}

void requestWindowSize(int desktopWidth, int desktopHeight)
{
    char text[32];
    double scale = windowScaleFor(desktopWidth, desktopHeight);
    const char* chosen = getenv("SDL12COMPAT_WINDOW_SCALING");
    if (chosen && *chosen) {
        scale = strtod(chosen, nullptr);
    } else {
        snprintf(text, sizeof text, "%d", static_cast<int>(scale));
        setenv("SDL12COMPAT_WINDOW_SCALING", text, 1);
    }
    // The library centres the window by its unscaled size, which leaves a
    // scaled one hanging off the bottom right of the desktop.
    if (getenv("SDL_VIDEO_WINDOW_POS") || getenv("SDL_VIDEO_CENTERED") || !(scale > 0))
        return;
    const double x = (desktopWidth - 640 * scale) / 2;
    const double y = (desktopHeight - 480 * scale) / 2;
    snprintf(text, sizeof text, "%d,%d", x > 0 ? static_cast<int>(x) : 0,
             y > 0 ? static_cast<int>(y) : 0);
    setenv("SDL_VIDEO_WINDOW_POS", text, 1);
}

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
    // Before the first mode, SDL reports the desktop's own size.
    const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
    if (desktop)
        requestWindowSize(desktop->current_w, desktop->current_h);
    screen = setScreenMode(kStartInFullScreen);
    if (!screen)
        throw Error("Cannot Init Screen");
    fullScreen = kStartInFullScreen;
    if (screen->flags & SDL_HWSURFACE)
        fputs("Screen in VRAM\n", stderr);
    if (screen->flags & SDL_DOUBLEBUF)
        fputs("Screen can Flip\n", stderr);
}

void followScreenMode()
{
    // A browser leaves full screen on its own Escape, without the game's
    // asking; the screen's flag says so.
    if (screen)
        fullScreen = (screen->flags & SDL_FULLSCREEN) != 0;
}

void toggleScreenMode()
{
    followScreenMode();
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
