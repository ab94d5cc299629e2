#include "gfx/Primitives.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Everything clips to the 640 x 480 screen; smaller surfaces clip to their own
// size so that no call ever writes outside the pixels it was given.
static const int kScreenWidth = 640;
static const int kScreenHeight = 480;

static int clipWidth(const SDL_Surface* target)
{
    return target->w < kScreenWidth ? target->w : kScreenWidth;
}

static int clipHeight(const SDL_Surface* target)
{
    return target->h < kScreenHeight ? target->h : kScreenHeight;
}

// --- Span writers: fill pixels [left, right) of one row. ---

struct SolidWriter8 {
    Uint8 colour;
    void operator()(Uint8* row, int y, int left, int right) const
    {
        // Only odd rows: the 8-bit screen shows the triangle as a screen door.
        if (y & 1)
            memset(row + left, colour, right - left);
    }
};

// Halving each channel with a mask that clears the bit falling into the next
// channel lets two halves be added without overflow.
struct BlendWriter16 {
    Uint16 halfColour;
    Uint16 mask;
    void operator()(Uint8* row, int, int left, int right) const
    {
        // Locals: a store through the pixel pointer could otherwise alias the
        // members and force a reload per pixel.
        const Uint16 half = halfColour, keep = mask;
        Uint16* pixel = reinterpret_cast<Uint16*>(row) + left;
        Uint16* end = reinterpret_cast<Uint16*>(row) + right;
        for (; pixel < end; pixel++)
            *pixel = static_cast<Uint16>(((*pixel >> 1) & keep) + half);
    }
};

struct BlendWriter24 {
    Uint8 half[3];  // memory order: byte k is bits 8k to 8k+7 of the colour
    void operator()(Uint8* row, int, int left, int right) const
    {
        const Uint8 h0 = half[0], h1 = half[1], h2 = half[2];
        Uint8* pixel = row + left * 3;
        Uint8* end = row + right * 3;
        for (; pixel < end; pixel += 3) {
            pixel[0] = static_cast<Uint8>((pixel[0] >> 1) + h0);
            pixel[1] = static_cast<Uint8>((pixel[1] >> 1) + h1);
            pixel[2] = static_cast<Uint8>((pixel[2] >> 1) + h2);
        }
    }
};

struct BlendWriter32 {
    Uint32 halfColour;
    void operator()(Uint8* row, int, int left, int right) const
    {
        const Uint32 half = halfColour;
        Uint32* pixel = reinterpret_cast<Uint32*>(row) + left;
        Uint32* end = reinterpret_cast<Uint32*>(row) + right;
        for (; pixel < end; pixel++)
            *pixel = ((*pixel >> 1) & 0x7F7F7F7F) + half;
    }
};

// --- Rasterisation, shared by all writers. ---

// Edge positions are 16.16 fixed point. They are kept in 64 bits: with
// coordinates beyond +-32767 the 32-bit products would wrap and send spans
// anywhere; for ordinary coordinates the results are the same.
static int64_t edgeSlope(int64_t x0, int64_t y0, int64_t x1, int64_t y1)
{
    if (y0 == y1)
        return 0;
    return (x1 - x0) * 65536 / (y1 - y0);  // truncates towards zero
}

// Rows [yStart, yEnd) of one half; p and q are the edge positions at yStart
// and advance by their slopes. Returns q advanced to yEnd for the next half.
template <class Writer>
static int64_t drawHalf(SDL_Surface* target, const Writer& write, int64_t yStart, int64_t yEnd,
                        int64_t p, int64_t pSlope, int64_t q, int64_t qSlope)
{
    int64_t qEnd = q + qSlope * (yEnd - yStart);
    int64_t first = yStart < 0 ? 0 : yStart;
    int64_t last = yEnd < clipHeight(target) ? yEnd : clipHeight(target);
    if (first >= last)
        return qEnd;

    // Skip the rows above the surface in one step; the sum of equal steps is
    // their product, so the edges land where row-by-row stepping puts them.
    p += pSlope * (first - yStart);
    q += qSlope * (first - yStart);
    int width = clipWidth(target);
    Uint8* row = static_cast<Uint8*>(target->pixels) + first * target->pitch;
    for (int64_t y = first; y < last; y++, row += target->pitch, p += pSlope, q += qSlope) {
        int64_t a = p >> 16;  // arithmetic shift: negative positions round down
        int64_t b = q >> 16;
        int64_t left = a < b ? a : b;
        int64_t right = a < b ? b : a;
        if (right <= 0 || left >= width)
            continue;
        if (left < 0)
            left = 0;
        if (right > width)
            right = width;
        if (left < right)
            write(row, static_cast<int>(y), static_cast<int>(left), static_cast<int>(right));
    }
    return qEnd;
}

template <class Writer>
static void rasterise(SDL_Surface* target, const Writer& write, int x1, int y1, int x2, int y2,
                      int x3, int y3)
{
    int64_t xt = x1, yt = y1, xm = x2, ym = y2, xb = x3, yb = y3;
    // Three compare-and-swaps; ties stay in their order.
    if (yb < ym) { int64_t t = xm; xm = xb; xb = t; t = ym; ym = yb; yb = t; }
    if (ym < yt) { int64_t t = xt; xt = xm; xm = t; t = yt; yt = ym; ym = t; }
    if (yb < ym) { int64_t t = xm; xm = xb; xb = t; t = ym; ym = yb; yb = t; }

    if (SDL_LockSurface(target) != 0)
        return;  // no pixels to write into
    if (target->pixels) {
        int64_t shortSlope = edgeSlope(xt, yt, xm, ym);
        int64_t longSlope = edgeSlope(xt, yt, xb, yb);
        int64_t thirdSlope = edgeSlope(xm, ym, xb, yb);
        int64_t longEdge = drawHalf(target, write, yt, ym, xt * 65536, shortSlope, xt * 65536,
                                    longSlope);
        drawHalf(target, write, ym, yb, xm * 65536, thirdSlope, longEdge, longSlope);
    }
    SDL_UnlockSurface(target);
}

void drawTriangle(SDL_Surface* target, int x1, int y1, int x2, int y2, int x3, int y3,
                  Uint32 colour)
{
    const SDL_PixelFormat* format = target->format;
    switch (format->BitsPerPixel) {
    case 8:
        rasterise(target, SolidWriter8{static_cast<Uint8>(colour)}, x1, y1, x2, y2, x3, y3);
        return;
    case 15:
        rasterise(target, BlendWriter16{static_cast<Uint16>((colour >> 1) & 0x3DEF), 0x3DEF},
                  x1, y1, x2, y2, x3, y3);
        return;
    case 16:
        if (format->Rshift == 10)  // 5-5-5 pixels in 16-bit words
            rasterise(target, BlendWriter16{static_cast<Uint16>((colour >> 1) & 0x3DEF), 0x3DEF},
                      x1, y1, x2, y2, x3, y3);
        else
            rasterise(target, BlendWriter16{static_cast<Uint16>((colour >> 1) & 0x7BEF), 0x7BEF},
                      x1, y1, x2, y2, x3, y3);
        return;
    case 24:
        rasterise(target,
                  BlendWriter24{{static_cast<Uint8>((colour & 0xFF) >> 1),
                                 static_cast<Uint8>((colour >> 8 & 0xFF) >> 1),
                                 static_cast<Uint8>((colour >> 16 & 0xFF) >> 1)}},
                  x1, y1, x2, y2, x3, y3);
        return;
    case 32:
        rasterise(target, BlendWriter32{(colour >> 1) & 0x7F7F7F7F}, x1, y1, x2, y2, x3, y3);
        return;
    default:
        printf("DrawTriangle Error: Invalid BPP\n");
        printf("bpp=%i\n", format->BitsPerPixel);
        return;
    }
}

void drawStar(SDL_Surface* target, int cx, int cy, int size, int angle, Uint32 colour)
{
    // One unit of u is a fifth of a turn; y grows downwards, so a growing
    // angle turns the star clockwise.
    const double fifth = 1.25663708;
    for (int k = 0; k < 5; k++) {
        double u = k + angle / 72.0;
        double a1 = u * fifth;
        double a2 = (u + 1) * fifth;
        int p1x = static_cast<int>(cx + size * cos(a1) * 0.5);
        int p1y = static_cast<int>(cy + size * sin(a1) * 0.5);
        int p2x = static_cast<int>(cx + size * cos(a2) * 0.5);
        int p2y = static_cast<int>(cy + size * sin(a2) * 0.5);
        drawTriangle(target, cx, cy, p1x, p1y, p2x, p2y, colour);

        double a3 = (u + 0.5) * fifth;
        int tipX = static_cast<int>(cx + size * cos(a3));
        int tipY = static_cast<int>(cy + size * sin(a3));
        drawTriangle(target, tipX, tipY, p1x, p1y, p2x, p2y, colour);
    }
}

// Sixteen mask entries at a time.
typedef unsigned char MaskBytes __attribute__((vector_size(16)));

// Blacks out the blocks at or above the threshold. Both rows of a block are
// one pitch apart, so surfaces with padded rows are wiped correctly too.
// A wipe's mask is mostly smooth, so sixteen neighbouring blocks are nearly
// always all black or all shown: such a group is cleared with two wide
// stores or skipped without touching the pixels; only mixed groups go
// block by block.
template <int bytesPerPixel>
static void wipeBlocks(SDL_Surface* target, unsigned threshold, const unsigned char* mask)
{
    const int blockBytes = 2 * bytesPerPixel;
    const int groupBytes = 16 * blockBytes;
    const unsigned char level = static_cast<unsigned char>(threshold);
    const MaskBytes levels = {level, level, level, level, level, level, level, level,
                              level, level, level, level, level, level, level, level};
    int blockColumns = clipWidth(target) / 2;
    int blockRows = clipHeight(target) / 2;
    int pitch = target->pitch;
    for (int i = 0; i < blockRows; i++) {
        const unsigned char* entry = mask + i * 320;
        Uint8* top = static_cast<Uint8*>(target->pixels) + 2 * i * pitch;
        Uint8* bottom = top + pitch;
        int j = 0;
        for (; j + 16 <= blockColumns; j += 16) {
            MaskBytes entries;
            memcpy(&entries, entry + j, 16);
            MaskBytes black = (MaskBytes)(entries >= levels);  // 0xFF where black
            uint64_t halves[2];
            memcpy(halves, &black, 16);
            if ((halves[0] | halves[1]) == 0)
                continue;
            if ((halves[0] & halves[1]) == ~static_cast<uint64_t>(0)) {
                memset(top + j * blockBytes, 0, groupBytes);
                memset(bottom + j * blockBytes, 0, groupBytes);
                continue;
            }
            for (int k = j; k < j + 16; k++) {
                if (entry[k] >= threshold) {
                    memset(top + k * blockBytes, 0, blockBytes);
                    memset(bottom + k * blockBytes, 0, blockBytes);
                }
            }
        }
        for (; j < blockColumns; j++) {
            if (entry[j] >= threshold) {
                memset(top + j * blockBytes, 0, blockBytes);
                memset(bottom + j * blockBytes, 0, blockBytes);
            }
        }
    }
}

void drawWipe(SDL_Surface* target, int level, const unsigned char* mask)
{
    if (level < 0) {
        SDL_FillRect(target, nullptr, 0);
        return;
    }
    if (level > 255)
        return;

    int bytesPerPixel = target->format->BytesPerPixel;
    if (bytesPerPixel < 1 || bytesPerPixel > 4) {
        printf("DrawWipe Error: Invalid BPP\n");
        return;
    }
    if (SDL_LockSurface(target) != 0)
        return;
    if (target->pixels) {
        unsigned threshold = static_cast<unsigned>(level) & 0xFF;
        switch (bytesPerPixel) {
        case 1: wipeBlocks<1>(target, threshold, mask); break;
        case 2: wipeBlocks<2>(target, threshold, mask); break;
        case 3: wipeBlocks<3>(target, threshold, mask); break;
        case 4: wipeBlocks<4>(target, threshold, mask); break;
        }
    }
    SDL_UnlockSurface(target);
}
