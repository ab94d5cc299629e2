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

// The start-up mode: full screen, 32 bits. Throws Error "Cannot Init Screen".
void openScreen();

// Switches to the other mode; when that cannot be set, goes back to the one
// in use. Throws Error "Cannot Init Screen" when neither can be set.
void toggleScreenMode();

// SDL_SetVideoMode for full screen (true) or a window (false).
SDL_Surface* setScreenMode(bool full);
