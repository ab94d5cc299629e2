// copyRect stands in for SDL_UpperBlit in every frame, so it must leave
// exactly SDL's pixels and result, wherever the rectangles fall.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "gfx/Copy.h"
#include "gfx/GfxTestSupport.h"

using gfxtest::allDepths;
using gfxtest::Depth;

namespace {

// The two formats copied without SDL: the 32-bit screen and 16-bit 5-6-5.
const Depth& depthNamed(const std::string& name)
{
    for (const Depth& depth : allDepths())
        if (name == depth.name)
            return depth;
    throw std::runtime_error("no depth " + name);
}

const char* const kFastDepths[] = {"32", "16/565"};

class Surface {
public:
    Surface(const Depth& depth, int w, int h) : s(gfxtest::createSurface(depth, w, h)) {}
    ~Surface() { gfxtest::freeSurface(s); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    SDL_Surface* s;
};

// Random bytes, then runs of the key and of pixels one bit off the key (in
// the unused top byte at 32 bits, in the lowest bit at 16).
void fillRandom(SDL_Surface* surface, std::mt19937& rng, Uint32 key)
{
    for (int y = 0; y < surface->h; y++) {
        Uint8* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        for (int i = 0; i < surface->w * surface->format->BytesPerPixel; i++)
            row[i] = static_cast<Uint8>(rng());
    }
    Uint32 nearKey = surface->format->BytesPerPixel == 4 ? key ^ 0x01000000 : key ^ 1;
    for (int y = 0; y < surface->h; y++) {
        int x = 0;
        while (x < surface->w) {
            int run = static_cast<int>(rng() % 9);
            Uint32 kind = rng() % 4;
            for (int i = 0; i < run && x < surface->w; i++, x++) {
                if (kind == 0 || kind == 1)
                    gfxtest::setPixel(surface, x, y, key);
                else if (kind == 2)
                    gfxtest::setPixel(surface, x, y, nearKey);
            }
        }
    }
}

void copyPixels(SDL_Surface* from, SDL_Surface* to)
{
    for (int y = 0; y < from->h; y++)
        memcpy(static_cast<Uint8*>(to->pixels) + y * to->pitch,
               static_cast<Uint8*>(from->pixels) + y * from->pitch,
               from->w * from->format->BytesPerPixel);
}

// The first pixel that differs, as "x,y", or "" when all agree.
std::string firstDifference(const SDL_Surface* a, const SDL_Surface* b)
{
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            if (gfxtest::pixelAt(a, x, y) != gfxtest::pixelAt(b, x, y)) {
                std::ostringstream where;
                where << x << "," << y << ": " << std::hex << gfxtest::pixelAt(a, x, y)
                      << " against SDL's " << gfxtest::pixelAt(b, x, y);
                return where.str();
            }
    return "";
}

// One copy done both ways onto two equal targets.
void expectSameAsSdl(SDL_Surface* picture, int sx, int sy, int w, int h, SDL_Surface* ours,
                     SDL_Surface* sdls, int x, int y)
{
    SDL_Rect source = {static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(w),
                       static_cast<Uint16>(h)};
    SDL_Rect place = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    int expected = SDL_UpperBlit(picture, &source, sdls, &place);
    int got = copyRect(picture, sx, sy, w, h, ours, x, y);
    std::string difference = firstDifference(ours, sdls);
    EXPECT_EQ(expected, got);
    EXPECT_EQ("", difference) << "source " << sx << "," << sy << " " << w << "x" << h
                              << " to " << x << "," << y;
}

}  // namespace

TEST(CopyRect, MatchesSdlOverRandomRectangles)
{
    std::mt19937 rng(1234);
    for (const char* name : kFastDepths) {
        for (bool keyed : {false, true}) {
            SCOPED_TRACE(std::string(name) + (keyed ? " keyed" : " opaque"));
            const Depth& depth = depthNamed(name);
            // Widths that leave a few pixels after the last whole vector.
            Surface picture(depth, 97, 61);
            Surface ours(depth, 203, 149);
            Surface sdls(depth, 203, 149);
            Uint32 key = SDL_MapRGB(picture.s->format, 255, 0, 255);
            fillRandom(picture.s, rng, key);
            if (keyed)
                SDL_SetColorKey(picture.s, SDL_SRCCOLORKEY, key);
            fillRandom(ours.s, rng, key);
            copyPixels(ours.s, sdls.s);

            for (int i = 0; i < 600 && !HasFailure(); i++) {
                // Every fourth copy inside a clip rectangle of its own.
                if (i % 4 == 3) {
                    SDL_Rect clip = {static_cast<Sint16>(rng() % 120), static_cast<Sint16>(rng() % 90),
                                     static_cast<Uint16>(rng() % 120), static_cast<Uint16>(rng() % 90)};
                    SDL_SetClipRect(ours.s, &clip);
                    SDL_SetClipRect(sdls.s, &clip);
                } else {
                    SDL_SetClipRect(ours.s, nullptr);
                    SDL_SetClipRect(sdls.s, nullptr);
                }
                int sx = static_cast<int>(rng() % 140) - 20;
                int sy = static_cast<int>(rng() % 90) - 15;
                int w = static_cast<int>(rng() % 130);
                int h = static_cast<int>(rng() % 80);
                int x = static_cast<int>(rng() % 300) - 60;
                int y = static_cast<int>(rng() % 230) - 50;
                expectSameAsSdl(picture.s, sx, sy, w, h, ours.s, sdls.s, x, y);
            }
        }
    }
}

// A picture hanging over each edge and corner of a screen whose rows are
// padded: the copy stays inside the rows and the clip, as SDL's does.
TEST(CopyRect, ClipsAtEveryEdgeAndNeverWritesOutside)
{
    std::mt19937 rng(99);
    struct Place {
        int sx, sy, w, h, x, y;
    };
    const Place places[] = {
        {0, 0, 45, 33, -10, 100},    // left edge
        {0, 0, 45, 33, 620, 100},    // right edge
        {0, 0, 45, 33, 300, -20},    // top edge
        {0, 0, 45, 33, 300, 470},    // bottom edge
        {0, 0, 45, 33, -44, -32},    // one pixel of the top left corner
        {0, 0, 45, 33, 639, 479},    // one pixel of the bottom right corner
        {0, 0, 45, 33, -45, 10},     // just off the left
        {0, 0, 45, 33, 640, 10},     // just off the right
        {0, 0, 45, 33, 10, -33},     // just off the top
        {0, 0, 45, 33, 10, 480},     // just off the bottom
        {-5, -7, 45, 33, 100, 100},  // source starting before the picture
        {30, 20, 45, 33, 100, 100},  // source running past the picture
        {10, 10, 0, 20, 100, 100},   // no width
        {10, 10, 20, 0, 100, 100},   // no height
        {45, 0, 10, 10, 100, 100},   // source right of the picture
    };
    for (const char* name : kFastDepths) {
        for (bool keyed : {false, true}) {
            SCOPED_TRACE(std::string(name) + (keyed ? " keyed" : " opaque"));
            const Depth& depth = depthNamed(name);
            Surface picture(depth, 45, 33);
            Uint32 key = SDL_MapRGB(picture.s->format, 0, 255, 0);
            fillRandom(picture.s, rng, key);
            if (keyed)
                SDL_SetColorKey(picture.s, SDL_SRCCOLORKEY, key);
            gfxtest::GuardedSurface ours(depth);
            Surface sdls(depth, 640, 480);
            fillRandom(sdls.s, rng, key);
            copyPixels(sdls.s, ours.surface);
            for (const Place& p : places)
                expectSameAsSdl(picture.s, p.sx, p.sy, p.w, p.h, ours.surface, sdls.s, p.x, p.y);
            EXPECT_TRUE(ours.guardsIntact());
        }
    }
}

// What the colour key hides: at 32 bits the whole pixel must equal the key
// and what is drawn loses its unused top byte; at 16 bits a key that does not
// fit in 16 bits hides nothing.
TEST(CopyRect, ColourKeyComparesWholePixels)
{
    Surface picture(depthNamed("32"), 8, 1);
    Surface ours(depthNamed("32"), 8, 1);
    Surface sdls(depthNamed("32"), 8, 1);
    const Uint32 key = 0x00FF00FF;
    const Uint32 row[8] = {key, key | 0x01000000, 0x12345678, key, 0x00000000,
                           0xFF00FF00, key, 0xAA000001};
    memcpy(picture.s->pixels, row, sizeof row);
    SDL_SetColorKey(picture.s, SDL_SRCCOLORKEY, key);
    for (int x = 0; x < 8; x++)
        gfxtest::setPixel(ours.s, x, 0, 0x00303030);
    copyPixels(ours.s, sdls.s);
    expectSameAsSdl(picture.s, 0, 0, 8, 1, ours.s, sdls.s, 0, 0);
    EXPECT_EQ(0x00303030u, gfxtest::pixelAt(ours.s, 0, 0));
    EXPECT_EQ(0x00FF00FFu, gfxtest::pixelAt(ours.s, 1, 0));
    EXPECT_EQ(0x00345678u, gfxtest::pixelAt(ours.s, 2, 0));
    EXPECT_EQ(0x00303030u, gfxtest::pixelAt(ours.s, 3, 0));
    EXPECT_EQ(0x00000000u, gfxtest::pixelAt(ours.s, 4, 0));

    Surface picture16(depthNamed("16/565"), 16, 2);
    Surface ours16(depthNamed("16/565"), 16, 2);
    Surface sdls16(depthNamed("16/565"), 16, 2);
    std::mt19937 rng(5);
    fillRandom(picture16.s, rng, 0xF81F);
    SDL_SetColorKey(picture16.s, SDL_SRCCOLORKEY, 0x1F81F);
    expectSameAsSdl(picture16.s, 0, 0, 16, 2, ours16.s, sdls16.s, 0, 0);
    EXPECT_EQ("", firstDifference(ours16.s, picture16.s));
}

// Copies between formats, with surface alpha, or at depths not copied here
// are SDL's own: same pixels, same result.
TEST(CopyRect, LeavesOtherCopiesToSdl)
{
    std::mt19937 rng(77);
    struct Pair {
        const char* picture;
        const char* target;
        bool alpha;
    };
    const Pair pairs[] = {
        {"16/565", "32", false}, {"32", "16/565", false}, {"24", "24", false},
        {"32", "32", true},      {"16/565", "16/565", true}, {"8", "8", false},
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(std::string(pair.picture) + " onto " + pair.target +
                     (pair.alpha ? " with alpha" : ""));
        Surface picture(depthNamed(pair.picture), 50, 40);
        Surface ours(depthNamed(pair.target), 120, 90);
        Surface sdls(depthNamed(pair.target), 120, 90);
        fillRandom(picture.s, rng, 0);
        SDL_SetColorKey(picture.s, SDL_SRCCOLORKEY, 0);
        if (pair.alpha)
            SDL_SetAlpha(picture.s, SDL_SRCALPHA, 150);
        fillRandom(ours.s, rng, 0);
        copyPixels(ours.s, sdls.s);
        expectSameAsSdl(picture.s, 3, 2, 40, 30, ours.s, sdls.s, 90, 70);
        expectSameAsSdl(picture.s, 0, 0, 50, 40, ours.s, sdls.s, -5, -5);
    }
    // No picture at all: SDL's error result.
    Surface target(depthNamed("32"), 10, 10);
    EXPECT_EQ(-1, copyRect(nullptr, 0, 0, 5, 5, target.s, 0, 0));
}
