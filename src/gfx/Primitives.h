// Pixel-level drawing on 640 x 480 surfaces of 8, 15, 16, 24 or 32 bits.
#pragma once

#include <SDL.h>

constexpr int kWipeMaskSize = 320 * 240;

// Half-blended filled triangle (solid on odd rows only at 8 bits).
void drawTriangle(SDL_Surface* target, int x1, int y1, int x2, int y2, int x3, int y3,
                  Uint32 colour);
// Five-pointed star of ten triangles; size is the outer radius, angle degrees.
void drawStar(SDL_Surface* target, int cx, int cy, int size, int angle, Uint32 colour);
// Blacks out each 2 x 2 block whose mask entry is >= level; below 0 all black,
// from 256 on nothing.
void drawWipe(SDL_Surface* target, int level, const unsigned char* mask);
