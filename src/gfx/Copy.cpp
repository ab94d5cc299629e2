#include "gfx/Copy.h"

#include <cstring>

namespace {

// Sixteen bytes of pixels: SSE2 registers on x86-64, WebAssembly vectors in a
// browser, plain words elsewhere.
typedef Uint32 Pixels32 __attribute__((vector_size(16)));
typedef Uint16 Pixels16 __attribute__((vector_size(16)));

// Only memory of one format without an alpha channel is copied here; SDL
// keeps every conversion and blend, and every surface that must be locked
// (RLE, video memory). The `locked` count is SDL 1.2's: a blit between
// locked surfaces fails there, and SDL should be the one to say so.
bool copiesHere(const SDL_Surface* picture, const SDL_Surface* target)
{
    if (!picture || !target || picture == target)
        return false;
    if (SDL_MUSTLOCK(picture) || SDL_MUSTLOCK(target) || picture->locked || target->locked)
        return false;
    if (!picture->pixels || !target->pixels || (picture->flags & SDL_SRCALPHA))
        return false;
    const SDL_PixelFormat* a = picture->format;
    const SDL_PixelFormat* b = target->format;
    if (a->BytesPerPixel != 2 && a->BytesPerPixel != 4)
        return false;
    return a->BitsPerPixel == b->BitsPerPixel && a->BytesPerPixel == b->BytesPerPixel &&
           a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask &&
           a->Amask == 0 && b->Amask == 0;
}

void copyRows(const Uint8* from, int fromPitch, Uint8* to, int toPitch, size_t rowBytes,
              int rows)
{
    for (int r = 0; r < rows; r++, from += fromPitch, to += toPitch)
        memcpy(to, from, rowBytes);
}

// As SDL's keyed 32-bit copy: a pixel equal to the key in all 32 bits leaves
// the target alone, any other is stored with its colour bits only.
void copyKeyedRows32(const Uint8* from, int fromPitch, Uint8* to, int toPitch, int width,
                     int rows, Uint32 key, Uint32 colourBits)
{
    const Pixels32 keys = {key, key, key, key};
    const Pixels32 bits = {colourBits, colourBits, colourBits, colourBits};
    int whole = width & ~3;
    for (int r = 0; r < rows; r++, from += fromPitch, to += toPitch) {
        int k = 0;
        for (; k < whole; k += 4) {
            Pixels32 picture, screen;
            memcpy(&picture, from + 4 * k, 16);
            memcpy(&screen, to + 4 * k, 16);
            Pixels32 keyed = (Pixels32)(picture == keys);  // all ones where keyed
            screen = (screen & keyed) | (picture & bits & ~keyed);
            memcpy(to + 4 * k, &screen, 16);
        }
        for (; k < width; k++) {
            Uint32 pixel;
            memcpy(&pixel, from + 4 * k, 4);
            if (pixel != key) {
                pixel &= colourBits;
                memcpy(to + 4 * k, &pixel, 4);
            }
        }
    }
}

// As SDL's keyed 16-bit copy between one format: pixels other than the key
// are stored as they are.
void copyKeyedRows16(const Uint8* from, int fromPitch, Uint8* to, int toPitch, int width,
                     int rows, Uint16 key)
{
    const Pixels16 keys = {key, key, key, key, key, key, key, key};
    int whole = width & ~7;
    for (int r = 0; r < rows; r++, from += fromPitch, to += toPitch) {
        int k = 0;
        for (; k < whole; k += 8) {
            Pixels16 picture, screen;
            memcpy(&picture, from + 2 * k, 16);
            memcpy(&screen, to + 2 * k, 16);
            Pixels16 keyed = (Pixels16)(picture == keys);
            screen = (screen & keyed) | (picture & ~keyed);
            memcpy(to + 2 * k, &screen, 16);
        }
        for (; k < width; k++) {
            Uint16 pixel;
            memcpy(&pixel, from + 2 * k, 2);
            if (pixel != key)
                memcpy(to + 2 * k, &pixel, 2);
        }
    }
}

}  // namespace

int copyRect(SDL_Surface* picture, int sx, int sy, int w, int h, SDL_Surface* target, int x,
             int y)
{
    // The rectangles the callers always gave SDL: 16-bit fields.
    SDL_Rect source = {static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(w),
                       static_cast<Uint16>(h)};
    SDL_Rect place = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    if (!copiesHere(picture, target))
        return SDL_UpperBlit(picture, &source, target, &place);

    // Clipped as SDL_UpperBlit clips: to the picture, then to the target's
    // clip rectangle.
    int fromX = source.x, fromY = source.y, width = source.w, height = source.h;
    int toX = place.x, toY = place.y;
    if (fromX < 0) {
        width += fromX;
        toX -= fromX;
        fromX = 0;
    }
    if (width > picture->w - fromX)
        width = picture->w - fromX;
    if (fromY < 0) {
        height += fromY;
        toY -= fromY;
        fromY = 0;
    }
    if (height > picture->h - fromY)
        height = picture->h - fromY;

    const SDL_Rect& clip = target->clip_rect;
    int over = clip.x - toX;
    if (over > 0) {
        width -= over;
        toX += over;
        fromX += over;
    }
    over = toX + width - clip.x - clip.w;
    if (over > 0)
        width -= over;
    over = clip.y - toY;
    if (over > 0) {
        height -= over;
        toY += over;
        fromY += over;
    }
    over = toY + height - clip.y - clip.h;
    if (over > 0)
        height -= over;
    if (width <= 0 || height <= 0)
        return 0;

    const SDL_PixelFormat* format = picture->format;
    int bytes = format->BytesPerPixel;
    const Uint8* from = static_cast<const Uint8*>(picture->pixels) + fromY * picture->pitch +
                        fromX * bytes;
    Uint8* to = static_cast<Uint8*>(target->pixels) + toY * target->pitch + toX * bytes;
    Uint32 key = format->colorkey;
    bool keyed = (picture->flags & SDL_SRCCOLORKEY) != 0;
    if (keyed && bytes == 4)
        copyKeyedRows32(from, picture->pitch, to, target->pitch, width, height, key,
                        format->Rmask | format->Gmask | format->Bmask);
    else if (keyed && key <= 0xFFFF)
        copyKeyedRows16(from, picture->pitch, to, target->pitch, width, height,
                        static_cast<Uint16>(key));
    else  // opaque, or a 16-bit key no pixel can equal
        copyRows(from, picture->pitch, to, target->pitch, static_cast<size_t>(width) * bytes,
                 height);
    return 0;
}
