// Process-wide values of the main loop. Only the shell writes them (the game
// also zeroes frameDelta right after a name is entered); the menu and the
// game read them every frame.
#pragma once

#include <SDL.h>

extern SDL_Surface* screen;  // the video surface of the last SDL_SetVideoMode
extern bool fullScreen;      // true while full screen; F9 toggles it
extern int appState;         // 0 title menu, 1 game, 2 quit
extern int frameDelta;       // ms of the previous pass, 0 to 100
extern int elapsedTime;      // sum of all frameDelta: the animation clock
extern int fps;              // running frames-per-second figure
