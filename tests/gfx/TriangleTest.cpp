#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

#include "gfx/GfxTestSupport.h"
#include "gfx/Primitives.h"
#include "support/TestSupport.h"

using gfxtest::allDepths;
using gfxtest::Depth;
using gfxtest::GuardedSurface;
using gfxtest::pixelAt;

namespace {

const Depth& depthNamed(const char* name)
{
    for (const Depth& depth : allDepths())
        if (std::string(depth.name) == name)
            return depth;
    throw std::runtime_error(name);
}

Uint32 channel(const SDL_PixelFormat* format, Uint32 pixel, int which)
{
    Uint32 masks[3] = {format->Rmask, format->Gmask, format->Bmask};
    Uint8 shifts[3] = {format->Rshift, format->Gshift, format->Bshift};
    return (pixel & masks[which]) >> shifts[which];
}

Uint32 channelMax(const SDL_PixelFormat* format, int which)
{
    Uint32 masks[3] = {format->Rmask, format->Gmask, format->Bmask};
    Uint8 shifts[3] = {format->Rshift, format->Gshift, format->Bshift};
    return masks[which] >> shifts[which];
}

Uint32 compose(const SDL_PixelFormat* format, Uint32 r, Uint32 g, Uint32 b)
{
    return r << format->Rshift | g << format->Gshift | b << format->Bshift;
}

// Pixels of row y that differ from background, as [first, last] or {-1, -1}.
std::pair<int, int> rowExtent(SDL_Surface* target, int y, Uint32 background)
{
    int first = -1, last = -1;
    for (int x = 0; x < 640; x++)
        if (pixelAt(target, x, y) != background) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

int countRow(SDL_Surface* target, int y, Uint32 background)
{
    int count = 0;
    for (int x = 0; x < 640; x++)
        if (pixelAt(target, x, y) != background)
            count++;
    return count;
}

}  // namespace

TEST(Triangle, HalfBlendsOverBlackAtThirtyTwoBits)
{
    GuardedSurface target(depthNamed("32"));
    Uint32 yellow = SDL_MapRGB(target.surface->format, 255, 255, 0);
    drawTriangle(target.surface, 100, 100, 200, 100, 100, 200, yellow);
    Uint8 r, g, b;
    SDL_GetRGB(pixelAt(target.surface, 110, 110), target.surface->format, &r, &g, &b);
    EXPECT_EQ(r, 127);
    EXPECT_EQ(g, 127);
    EXPECT_EQ(b, 0);
    drawTriangle(target.surface, 100, 100, 200, 100, 100, 200, yellow);
    SDL_GetRGB(pixelAt(target.surface, 110, 110), target.surface->format, &r, &g, &b);
    EXPECT_EQ(r, 190);
    EXPECT_EQ(g, 190);
    EXPECT_EQ(b, 0);
    EXPECT_TRUE(target.guardsIntact());
}

// Each channel becomes half the old value plus half the colour's, with no
// carry into its neighbour, at every blending depth.
TEST(Triangle, BlendsEachChannelByHalfAtEveryDepth)
{
    srand(11);
    for (const Depth& depth : allDepths()) {
        if (depth.bits == 8)
            continue;
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth);
        const SDL_PixelFormat* format = target.surface->format;
        for (int trial = 0; trial < 200; trial++) {
            Uint32 old[3], paint[3];
            for (int c = 0; c < 3; c++) {
                old[c] = rand() % (channelMax(format, c) + 1);
                paint[c] = rand() % (channelMax(format, c) + 1);
            }
            if (trial == 0)
                for (int c = 0; c < 3; c++)
                    old[c] = paint[c] = channelMax(format, c);
            Uint32 before = compose(format, old[0], old[1], old[2]);
            SDL_FillRect(target.surface, nullptr, before);
            drawTriangle(target.surface, 10, 10, 20, 10, 10, 20,
                         compose(format, paint[0], paint[1], paint[2]));
            Uint32 after = pixelAt(target.surface, 11, 11);
            for (int c = 0; c < 3; c++)
                ASSERT_EQ(channel(format, after, c), (old[c] >> 1) + (paint[c] >> 1))
                    << "channel " << c << " trial " << trial;
            ASSERT_EQ(pixelAt(target.surface, 30, 30), before);
        }
        EXPECT_TRUE(target.guardsIntact());
    }
}

TEST(Triangle, SixteenBitsFollowTheRedShift)
{
    // White over white: 5-5-5 gives 0x7FFF - a bit from each channel; read as
    // 5-6-5 the same word would be a different colour.
    GuardedSurface fiveFiveFive(depthNamed("16/555"));
    ASSERT_EQ(fiveFiveFive.surface->format->BitsPerPixel, 16);
    ASSERT_EQ(fiveFiveFive.surface->format->Rshift, 10);
    drawTriangle(fiveFiveFive.surface, 0, 0, 50, 0, 0, 50, 0x7FFF);
    EXPECT_EQ(pixelAt(fiveFiveFive.surface, 1, 1), 0x3DEFu);
    drawTriangle(fiveFiveFive.surface, 0, 0, 50, 0, 0, 50, 0x7FFF);
    EXPECT_EQ(pixelAt(fiveFiveFive.surface, 1, 1), 0x3DEFu + 0x1CE7u);

    GuardedSurface fiveSixFive(depthNamed("16/565"));
    drawTriangle(fiveSixFive.surface, 0, 0, 50, 0, 0, 50, 0xFFFF);
    EXPECT_EQ(pixelAt(fiveSixFive.surface, 1, 1), 0x7BEFu);  // 15, 31, 15
}

TEST(Triangle, EightBitsPaintOddRowsSolid)
{
    GuardedSurface target(depthNamed("8"));
    gfxtest::fill(target.surface, 3);
    drawTriangle(target.surface, 100, 10, 300, 10, 200, 20, 0x1234);
    std::set<int> rows;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            Uint32 value = pixelAt(target.surface, x, y);
            if (value != 3) {
                ASSERT_EQ(value, 0x34u);
                rows.insert(y);
            }
        }
    EXPECT_EQ(rows, (std::set<int>{11, 13, 15, 17, 19}));
    // Spans wider and narrower than a word, at every alignment.
    gfxtest::fill(target.surface, 0);
    for (int x = 0; x < 8; x++)
        drawTriangle(target.surface, 20 * x + x, 1, 20 * x + 2 * x, 1, 20 * x + x, 3, 9);
    EXPECT_EQ(countRow(target.surface, 1, 0), 0 + 1 + 2 + 3 + 4 + 5 + 6 + 7);
    EXPECT_EQ(countRow(target.surface, 2, 0), 0);
    EXPECT_EQ(pixelAt(target.surface, 21 * 7 + 6, 1), 9u);
    EXPECT_EQ(pixelAt(target.surface, 21 * 7 + 7, 1), 0u);
    EXPECT_TRUE(target.guardsIntact());
}

TEST(Triangle, FlatTopRowsShrinkByOne)
{
    GuardedSurface target(depthNamed("32"));
    drawTriangle(target.surface, 0, 0, 100, 0, 0, 100, 0xFFFFFF);
    for (int y = 0; y < 100; y++) {
        auto extent = rowExtent(target.surface, y, 0);
        ASSERT_EQ(extent.first, 0) << y;
        ASSERT_EQ(extent.second, 99 - y) << y;
    }
    EXPECT_EQ(countRow(target.surface, 100, 0), 0);  // the bottom row is never drawn
}

TEST(Triangle, PointedTopGrowsOnePixelPerRow)
{
    GuardedSurface target(depthNamed("32"));
    drawTriangle(target.surface, 0, 100, 50, 0, 100, 100, 0xFFFFFF);
    EXPECT_EQ(countRow(target.surface, 0, 0), 0);  // the top vertex's own row
    for (int y = 1; y < 100; y++) {
        auto extent = rowExtent(target.surface, y, 0);
        ASSERT_EQ(extent.first, 50 - (y + 1) / 2) << y;
        ASSERT_EQ(extent.second - extent.first + 1, y) << y;
    }
    EXPECT_EQ(countRow(target.surface, 100, 0), 0);
}

TEST(Triangle, VertexOrderDoesNotMatter)
{
    const int shapes[][6] = {
        {10, 10, 200, 50, 60, 300},
        {300, 5, 300, 400, 20, 200},
        {0, 0, 639, 0, 320, 479},
        {5, 100, 600, 100, 300, 100},
    };
    for (const auto& s : shapes) {
        int order[3] = {0, 1, 2};
        GuardedSurface reference(depthNamed("32"));
        drawTriangle(reference.surface, s[0], s[1], s[2], s[3], s[4], s[5], 0xFFFFFF);
        do {
            GuardedSurface other(depthNamed("32"));
            int a = order[0] * 2, b = order[1] * 2, c = order[2] * 2;
            drawTriangle(other.surface, s[a], s[a + 1], s[b], s[b + 1], s[c], s[c + 1],
                         0xFFFFFF);
            for (int y = 0; y < 480; y++)
                ASSERT_EQ(memcmp(static_cast<Uint8*>(reference.surface->pixels) +
                                     y * reference.surface->pitch,
                                 static_cast<Uint8*>(other.surface->pixels) +
                                     y * other.surface->pitch,
                                 640 * 4),
                          0)
                    << "row " << y;
        } while (std::next_permutation(order, order + 3));
    }
}

TEST(Triangle, FlatAndOffScreenTrianglesTouchNothing)
{
    const int shapes[][6] = {
        {10, 50, 300, 50, 600, 50},             // all on one row
        {-300, 10, -1, 200, -50, 400},          // left of the screen
        {640, 10, 900, 200, 1200, 400},         // right of it
        {10, -400, 300, -1, 600, -200},         // above
        {10, 480, 300, 700, 600, 481},          // below
        {-5000, -3000, -100, -9000, -700, -1},  // far above and left
    };
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth);
        for (const auto& s : shapes)
            drawTriangle(target.surface, s[0], s[1], s[2], s[3], s[4], s[5], 0xFFFFFFFF);
        EXPECT_EQ(gfxtest::countNot(target.surface, 0), 0);
        EXPECT_TRUE(target.guardsIntact());
    }
}

TEST(Triangle, SpansAreClippedToTheScreen)
{
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth, 64);
        drawTriangle(target.surface, -100, -50, 760, -50, 320, 700, 0xFFFFFFFF);
        EXPECT_TRUE(target.guardsIntact());
        int firstRow = depth.bits == 8 ? 1 : 0;
        EXPECT_EQ(countRow(target.surface, firstRow, 0), 640);
        auto extent = rowExtent(target.surface, 479, 0);
        EXPECT_GT(extent.first, 100);
        EXPECT_LT(extent.second, 540);
        EXPECT_EQ(countRow(target.surface, 479, 0), extent.second - extent.first + 1);
    }
}

// Coordinates whose 16.16 products do not fit in 32 bits.
TEST(Triangle, HugeCoordinatesStillCoverExactlyTheScreen)
{
    for (const Depth& depth : allDepths()) {
        if (depth.bits == 8)
            continue;
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth);
        Uint32 white = SDL_MapRGB(target.surface->format, 255, 255, 255);
        drawTriangle(target.surface, -100000, -100000, 100000, -100000, 320, 2000000, white);
        Uint32 half = pixelAt(target.surface, 320, 240);
        EXPECT_NE(half, 0u);
        EXPECT_EQ(gfxtest::countNot(target.surface, half), 0);
        EXPECT_TRUE(target.guardsIntact());
    }
}

TEST(Triangle, ExtremeCoordinatesNeverWriteOutside)
{
    const int shapes[][6] = {
        {INT_MIN, INT_MIN, INT_MAX, 0, 0, INT_MAX},
        {INT_MAX, INT_MIN, INT_MIN, 240, INT_MAX, INT_MAX},
        {INT_MIN, 100, INT_MAX, 101, 0, 102},
        {300, INT_MIN, 301, INT_MAX, 302, 0},
        {-40000, 10, 40000, 10, 0, 470},
    };
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        for (const auto& s : shapes) {
            GuardedSurface target(depth);
            drawTriangle(target.surface, s[0], s[1], s[2], s[3], s[4], s[5], 0xFFFFFFFF);
            EXPECT_TRUE(target.guardsIntact());
            // Whatever is drawn is one unbroken span per row.
            for (int y = 0; y < 480; y++) {
                auto extent = rowExtent(target.surface, y, 0);
                if (extent.first >= 0) {
                    ASSERT_EQ(countRow(target.surface, y, 0), extent.second - extent.first + 1)
                        << "row " << y;
                }
            }
        }
    }
}

TEST(Triangle, WideTriangleMatchesItsEdges)
{
    // 40000 * 65536 does not fit in 32 bits; the rows must still follow the
    // true edges, which meet at (320, 470).
    GuardedSurface target(depthNamed("32"));
    drawTriangle(target.surface, -40000, 10, 40000, 10, 320, 470, 0xFFFFFF);
    EXPECT_EQ(countRow(target.surface, 10, 0), 640);
    EXPECT_EQ(countRow(target.surface, 460, 0), 640);
    auto extent = rowExtent(target.surface, 469, 0);
    EXPECT_GT(extent.first, 200);
    EXPECT_LT(extent.second, 440);
}

TEST(Triangle, OtherDepthsAreReported)
{
    GuardedSurface target(depthNamed("16/565"));
    target.surface->format->BitsPerPixel = 12;
    testing_support::CapturedStream out(1);
    drawTriangle(target.surface, 0, 0, 100, 0, 0, 100, 0xFFFF);
    EXPECT_EQ(out.text(), "DrawTriangle Error: Invalid BPP\nbpp=12\n");
    target.surface->format->BitsPerPixel = 16;
    EXPECT_EQ(gfxtest::countNot(target.surface, 0), 0);
}
