// Picture copies for the per-frame drawing, with the result of SDL's blit.
#pragma once

#include <SDL.h>

// Copies the w x h rectangle at (sx, sy) of picture to (x, y) of target and
// returns what SDL_UpperBlit would: the same clipping (to the picture, then to
// the target's clip rectangle), colour key and pixels.
//
// Under the compatibility library SDL's copy streams past the cache and its
// colour-keyed copy goes a pixel at a time; here opaque rows are copied with
// memcpy and keyed rows several pixels at a time. Anything else (two formats,
// surface alpha, a surface that must be locked, such as video memory that can
// be lost and make SDL return -2) is left to SDL_UpperBlit.
int copyRect(SDL_Surface* picture, int sx, int sy, int w, int h, SDL_Surface* target, int x,
             int y);
