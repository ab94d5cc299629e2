#include "gfx/Text.h"

#include "gfx/SDL++.h"

int32_t glyphMap[127];

void initGlyphMap()
{
    for (int code = 0; code < 127; code++)
        glyphMap[code] = -1;
    for (int letter = 0; letter < 26; letter++) {
        glyphMap['a' + letter] = letter;
        glyphMap['A' + letter] = letter;
    }
    for (int digit = 0; digit < 10; digit++)
        glyphMap['0' + digit] = 26 + digit;
    glyphMap[int('.')] = 36;
    glyphMap[int('!')] = 37;
    glyphMap[int('*')] = 38;
    glyphMap[int('-')] = 39;
}

bool hasGlyph(int code)
{
    return code >= 0 && code < 127 && glyphMap[code] != -1;
}

// One blit per glyph; SDL clips at the target's edges and honours the strip's
// colour key. The rectangles are rebuilt each time because SDL clips them.
static void blitCell(SDL_Surface* strip, int sourceX, int width, int height,
                     SDL_Surface* target, int x, int y)
{
    SDL_Rect source = {static_cast<Sint16>(sourceX), 0, static_cast<Uint16>(width),
                       static_cast<Uint16>(height)};
    SDL_Rect destination = {static_cast<Sint16>(x), static_cast<Sint16>(y),
                            static_cast<Uint16>(width), static_cast<Uint16>(height)};
    SDL_UpperBlit(strip, &source, target, &destination);
}

void drawText(SDL_Surface* target, int x, int y, const char* text, SDL_Surface* font)
{
    // Cells are 16 wide but the pen moves 12, so later glyphs overlap earlier ones.
    for (int pen = x; *text && pen < target->w; text++, pen += 12) {
        int code = static_cast<unsigned char>(*text);
        if (hasGlyph(code))
            blitCell(font, 16 * glyphMap[code], 16, 16, target, pen, y);
    }
}

// Digit strips: '/' leaves an empty cell; anything below '0' asks for a cell
// left of the strip, which the blit clips away to nothing.
static void drawDigits(SDL_Surface* target, int x, int y, const char* text,
                       SDL_Surface* digits, int width, int height)
{
    for (int pen = x; *text && pen < target->w; text++, pen += width) {
        int code = static_cast<unsigned char>(*text);
        if (code != '/')
            blitCell(digits, width * (code - '0'), width, height, target, pen, y);
    }
}

void drawBigDigits(SDL_Surface* target, int x, int y, const char* text, SDL_Surface* digits)
{
    drawDigits(target, x, y, text, digits, 20, 28);
}

void drawSmallDigits(SDL_Surface* target, int x, int y, const char* text, SDL_Surface* digits)
{
    drawDigits(target, x, y, text, digits, 8, 7);
}

static void putPixel(Uint8* pixel, int bytesPerPixel, Uint32 colour)
{
    switch (bytesPerPixel) {
    case 1:
        *pixel = static_cast<Uint8>(colour);
        break;
    case 2:
        *reinterpret_cast<Uint16*>(pixel) = static_cast<Uint16>(colour);
        break;
    case 3:
        pixel[0] = static_cast<Uint8>(colour);
        pixel[1] = static_cast<Uint8>(colour >> 8);
        pixel[2] = static_cast<Uint8>(colour >> 16);
        break;
    case 4:
        *reinterpret_cast<Uint32*>(pixel) = colour;
        break;
    }
}

void drawDebugText(SDL_Surface* target, int x, int y, const char* text, Uint32 colour)
{
    int bytesPerPixel = target->format->BytesPerPixel;
    if (bytesPerPixel < 1 || bytesPerPixel > 4)
        return;

    Surface holder(target);
    if (!holder.lock() && surfaceMustLock(target))
        return;  // the lock failed: the pixels are not ours to write

    for (int pen = x; *text && pen + 8 <= target->w; text++, pen += 8) {
        int code = static_cast<unsigned char>(*text);
        if (code < 32 || code > 127)
            code = 127;
        const unsigned char* glyph = debugFont + (code - 32) * 8;
        for (int r = 0; r < 8; r++) {
            if (y + r < 0 || y + r >= target->h)
                continue;
            Uint8* line = holder.row(y + r);
            // Bit 0 is never drawn: the glyphs are seven pixels wide.
            for (int bit = 7; bit >= 1; bit--) {
                int column = pen + 7 - bit;
                if (column >= 0 && (glyph[r] >> bit & 1))
                    putPixel(line + column * bytesPerPixel, bytesPerPixel, colour);
            }
        }
    }
    holder.unlock();
}
