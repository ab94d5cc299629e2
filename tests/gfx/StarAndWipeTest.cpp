#include <gtest/gtest.h>

#include <cmath>

#include "gfx/GfxTestSupport.h"
#include "gfx/Primitives.h"
#include "support/TestSupport.h"

using gfxtest::allDepths;
using gfxtest::Depth;
using gfxtest::GuardedSurface;
using gfxtest::pixelAt;

namespace {

const Depth& depth32() { return allDepths().back(); }

bool coveredAt(SDL_Surface* target, int cx, int cy, double radius, double degrees)
{
    double a = degrees * M_PI / 180;
    return pixelAt(target, static_cast<int>(cx + radius * cos(a)),
                   static_cast<int>(cy + radius * sin(a))) != 0;
}

// Entry (j, i) of the test mask; every value 0 to 255 occurs.
unsigned char maskEntry(int i, int j)
{
    return static_cast<unsigned char>((i * 7 + j * 13) % 256);
}

std::vector<unsigned char> testMask()
{
    std::vector<unsigned char> mask(kWipeMaskSize);
    for (int i = 0; i < 240; i++)
        for (int j = 0; j < 320; j++)
            mask[i * 320 + j] = maskEntry(i, j);
    return mask;
}

Uint32 paintValue(SDL_Surface* target)
{
    return target->format->BytesPerPixel == 1 ? 200
                                              : SDL_MapRGB(target->format, 200, 150, 100);
}

// Every pixel of every block is black when the block's entry is at or above
// the level and untouched otherwise.
void expectBlocks(SDL_Surface* target, int level, Uint32 paint)
{
    for (int i = 0; i < 240; i++)
        for (int j = 0; j < 320; j++) {
            Uint32 expected = maskEntry(i, j) >= level ? 0 : paint;
            for (int dy = 0; dy < 2; dy++)
                for (int dx = 0; dx < 2; dx++)
                    ASSERT_EQ(pixelAt(target, 2 * j + dx, 2 * i + dy), expected)
                        << "block " << j << "," << i << " level " << level;
        }
}

}  // namespace

TEST(Star, SizeZeroDrawsNothing)
{
    GuardedSurface target(depth32());
    drawStar(target.surface, 320, 240, 0, 0, 0xFFFFFF);
    drawStar(target.surface, 320, 240, 0, 45, 0xFFFFFF);
    EXPECT_EQ(gfxtest::countNot(target.surface, 0), 0);
}

TEST(Star, TipsAndInnerPentagonFollowTheAngle)
{
    // At angle 0 the spikes point at 36, 108, 180, 252 and 324 degrees, the
    // inner corners at multiples of 72 with half the radius.
    GuardedSurface target(depth32());
    drawStar(target.surface, 320, 240, 100, 0, 0xFFFFFF);
    for (int k = 0; k < 5; k++) {
        EXPECT_TRUE(coveredAt(target.surface, 320, 240, 85, 36 + 72 * k)) << k;
        EXPECT_FALSE(coveredAt(target.surface, 320, 240, 85, 72 * k)) << k;
        EXPECT_FALSE(coveredAt(target.surface, 320, 240, 110, 36 + 72 * k)) << k;
    }
    for (int degrees = 0; degrees < 360; degrees += 15)
        EXPECT_TRUE(coveredAt(target.surface, 320, 240, 30, degrees)) << degrees;

    // A fifth of a turn later the star looks the same; half of that puts the
    // spikes where the gaps were.
    GuardedSurface turned(depth32());
    drawStar(turned.surface, 320, 240, 100, 36, 0xFFFFFF);
    EXPECT_TRUE(coveredAt(turned.surface, 320, 240, 85, 0));
    EXPECT_FALSE(coveredAt(turned.surface, 320, 240, 85, 180));
}

TEST(Star, GrowingAngleTurnsClockwiseOnScreen)
{
    // The spike on the left (180 degrees) moves up, towards 198 degrees,
    // since y grows downwards.
    GuardedSurface target(depth32());
    drawStar(target.surface, 320, 240, 100, 18, 0xFFFFFF);
    EXPECT_TRUE(coveredAt(target.surface, 320, 240, 85, 198));
    EXPECT_FALSE(coveredAt(target.surface, 320, 240, 85, 162));
}

TEST(Star, ClippedAtTheEdgesAtEveryDepth)
{
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth);
        drawStar(target.surface, 5, 5, 60, 10, 0xFFFFFFFF);
        drawStar(target.surface, 635, 475, 60, 30, 0xFFFFFFFF);
        drawStar(target.surface, -50, 240, 60, 30, 0xFFFFFFFF);
        EXPECT_TRUE(target.guardsIntact());
        EXPECT_NE(gfxtest::countNot(target.surface, 0), 0);
    }
}

TEST(Wipe, LevelsAtTheEndsAtEveryDepth)
{
    std::vector<unsigned char> mask = testMask();
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth);
        Uint32 paint = paintValue(target.surface);

        SDL_FillRect(target.surface, nullptr, paint);
        drawWipe(target.surface, 256, mask.data());
        EXPECT_EQ(gfxtest::countNot(target.surface, paint), 0);
        drawWipe(target.surface, 100000, mask.data());
        EXPECT_EQ(gfxtest::countNot(target.surface, paint), 0);

        drawWipe(target.surface, -1, mask.data());
        EXPECT_EQ(gfxtest::countNot(target.surface, 0), 0);
        SDL_FillRect(target.surface, nullptr, paint);
        drawWipe(target.surface, -100, mask.data());
        EXPECT_EQ(gfxtest::countNot(target.surface, 0), 0);

        SDL_FillRect(target.surface, nullptr, paint);
        drawWipe(target.surface, 0, mask.data());
        EXPECT_EQ(gfxtest::countNot(target.surface, 0), 0);

        SDL_FillRect(target.surface, nullptr, paint);
        drawWipe(target.surface, 255, mask.data());
        expectBlocks(target.surface, 255, paint);
        EXPECT_TRUE(target.guardsIntact());
    }
}

TEST(Wipe, BlocksFollowTheMaskAtEveryDepth)
{
    std::vector<unsigned char> mask = testMask();
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth, 0);
        Uint32 paint = paintValue(target.surface);
        for (int level : {1, 77, 128, 254}) {
            SDL_FillRect(target.surface, nullptr, paint);
            drawWipe(target.surface, level, mask.data());
            expectBlocks(target.surface, level, paint);
        }
        EXPECT_TRUE(target.guardsIntact());
    }
}

TEST(Wipe, WidePitchPutsTheSecondRowOnePitchBelow)
{
    std::vector<unsigned char> mask = testMask();
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        GuardedSurface target(depth, 256);
        ASSERT_GT(target.surface->pitch, 640 * target.surface->format->BytesPerPixel);
        Uint32 paint = paintValue(target.surface);
        SDL_FillRect(target.surface, nullptr, paint);
        drawWipe(target.surface, 128, mask.data());
        expectBlocks(target.surface, 128, paint);
        EXPECT_TRUE(target.guardsIntact());
    }
}

TEST(Wipe, OtherDepthsAreReported)
{
    std::vector<unsigned char> mask = testMask();
    GuardedSurface target(depth32());
    target.surface->format->BytesPerPixel = 5;
    testing_support::CapturedStream out(1);
    drawWipe(target.surface, 10, mask.data());
    EXPECT_EQ(out.text(), "DrawWipe Error: Invalid BPP\n");
    target.surface->format->BytesPerPixel = 4;
    EXPECT_EQ(gfxtest::countNot(target.surface, 0), 0);
    EXPECT_TRUE(target.guardsIntact());
}
