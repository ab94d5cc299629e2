// Opening the 640 x 480 screen and switching between full screen and a
// window. Both store the new surface in `screen` and keep `fullScreen` true
// to what is on display.
#pragma once

#include <SDL.h>

constexpr Uint32 kFullScreenFlags = SDL_HWSURFACE | SDL_ANYFORMAT | SDL_DOUBLEBUF | SDL_FULLSCREEN;
constexpr Uint32 kWindowFlags = SDL_ANYFORMAT;

// Asks the compatibility library to wait for the display's refresh on every
// flip, unless the user has said otherwise. Read by SDL_SetVideoMode.
void requestVsync();

// The largest whole n for which a 640n x 480n window fits within 85 % of a
// desktop of the given size in both directions; at least 1.
int windowScaleFor(int desktopWidth, int desktopHeight);

// Asks the compatibility library to draw the window n times as large on a
// desktop of the given size (SDL12COMPAT_WINDOW_SCALING, unless the user has
// set it) and to open it in the middle of the desktop (SDL_VIDEO_WINDOW_POS,
// unless the user has placed the window). Both are read by SDL_SetVideoMode;
// full screen is not affected.
void requestWindowSize(int desktopWidth, int desktopHeight);

// The start-up mode: full screen (in a browser, the page), 32 bits, with
// the window size requested for the desktop SDL reports. Throws Error "Cannot Init Screen".
void openScreen();

// Brings `fullScreen` in step with the screen's SDL_FULLSCREEN flag, which the
// platform may clear on its own.
void followScreenMode();

// Switches to the other mode; when that cannot be set, goes back to the one
// in use. Throws Error "Cannot Init Screen" when neither can be set.
void toggleScreenMode();

// SDL_SetVideoMode for full screen (true) or a window (false).
SDL_Surface* setScreenMode(bool full);
