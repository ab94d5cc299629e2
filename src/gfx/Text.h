// Text from pictures: the 40-glyph font strip, the two digit strips, and the
// built-in 8 x 8 font of the frame-rate overlay.
#pragma once

#include <SDL.h>
#include <cstdint>

extern int32_t glyphMap[127];

// Built-in 8 x 8 font for codes 32 to 127, eight rows per glyph, bit 7 the
// leftmost pixel; glyph 127 (a small house) stands in for every other code.
extern const unsigned char debugFont[96 * 8];

void initGlyphMap();
bool hasGlyph(int code);

void drawText(SDL_Surface* target, int x, int y, const char* text, SDL_Surface* font);
void drawBigDigits(SDL_Surface* target, int x, int y, const char* text, SDL_Surface* digits);
void drawSmallDigits(SDL_Surface* target, int x, int y, const char* text, SDL_Surface* digits);
void drawDebugText(SDL_Surface* target, int x, int y, const char* text, Uint32 colour);
