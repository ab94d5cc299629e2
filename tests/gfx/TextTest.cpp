#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "gfx/GfxTestSupport.h"
#include "gfx/Text.h"

using gfxtest::allDepths;
using gfxtest::Depth;
using gfxtest::pixelAt;

namespace {

const Depth& depth32() { return allDepths().back(); }

// A strip whose cell i is filled with the value 1000 + i, so every copied
// pixel tells which cell it came from.
SDL_Surface* numberedStrip(int cells, int cellWidth, int cellHeight)
{
    SDL_Surface* strip = gfxtest::createSurface(depth32(), cells * cellWidth, cellHeight);
    for (int i = 0; i < cells; i++) {
        SDL_Rect cell = {static_cast<Sint16>(i * cellWidth), 0, static_cast<Uint16>(cellWidth),
                         static_cast<Uint16>(cellHeight)};
        SDL_FillRect(strip, &cell, 1000 + i);
    }
    return strip;
}

struct TextTest : testing::Test {
    TextTest() { initGlyphMap(); target = gfxtest::createSurface(depth32()); }
    ~TextTest() override { gfxtest::freeSurface(target); }
    SDL_Surface* target;
};

int cellAt(SDL_Surface* target, int x, int y)
{
    Uint32 value = pixelAt(target, x, y);
    return value == 0 ? -1 : static_cast<int>(value) - 1000;
}

}  // namespace

TEST(GlyphMap, MapsLettersDigitsAndFourMarks)
{
    initGlyphMap();
    for (int i = 0; i < 26; i++) {
        EXPECT_EQ(glyphMap['a' + i], i);
        EXPECT_EQ(glyphMap['A' + i], i);
    }
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(glyphMap['0' + i], 26 + i);
    EXPECT_EQ(glyphMap['.'], 36);
    EXPECT_EQ(glyphMap['!'], 37);
    EXPECT_EQ(glyphMap['*'], 38);
    EXPECT_EQ(glyphMap['-'], 39);

    int mapped = 0;
    for (int code = 0; code < 127; code++)
        if (glyphMap[code] != -1)
            mapped++;
    EXPECT_EQ(mapped, 26 + 26 + 10 + 4);
}

TEST(GlyphMap, HasGlyphAcceptsOnlyMappedCodes)
{
    initGlyphMap();
    EXPECT_TRUE(hasGlyph('-'));
    EXPECT_TRUE(hasGlyph('*'));
    EXPECT_TRUE(hasGlyph('!'));
    EXPECT_TRUE(hasGlyph('.'));
    EXPECT_TRUE(hasGlyph('q'));
    EXPECT_TRUE(hasGlyph('Q'));
    EXPECT_TRUE(hasGlyph('7'));
    EXPECT_FALSE(hasGlyph(' '));
    EXPECT_FALSE(hasGlyph('?'));
    EXPECT_FALSE(hasGlyph(','));
    EXPECT_FALSE(hasGlyph(0));
    EXPECT_FALSE(hasGlyph(-1));
    EXPECT_FALSE(hasGlyph(-200));
    for (int code = 127; code < 1024; code++)
        EXPECT_FALSE(hasGlyph(code)) << code;
}

TEST_F(TextTest, FontCellsOverlapByFourAndBlanksLeaveGaps)
{
    SDL_Surface* font = numberedStrip(40, 16, 16);
    drawText(target, 10, 20, "Ab", font);
    EXPECT_EQ(cellAt(target, 10, 20), 0);
    EXPECT_EQ(cellAt(target, 21, 35), 0);
    EXPECT_EQ(cellAt(target, 22, 20), 1);  // 'b' starts 12 on and covers a's last 4
    EXPECT_EQ(cellAt(target, 37, 35), 1);
    EXPECT_EQ(cellAt(target, 38, 20), -1);
    EXPECT_EQ(cellAt(target, 10, 36), -1);
    EXPECT_EQ(cellAt(target, 9, 20), -1);

    gfxtest::fill(target, 0);
    drawText(target, 0, 0, "a b?9.!*-,Z", font);
    EXPECT_EQ(cellAt(target, 0, 0), 0);
    EXPECT_EQ(cellAt(target, 16, 0), -1);   // the blank's 12 pixels stay empty
    EXPECT_EQ(cellAt(target, 23, 0), -1);
    EXPECT_EQ(cellAt(target, 24, 0), 1);    // 'b' at 24
    EXPECT_EQ(cellAt(target, 40, 0), -1);   // '?' draws nothing
    EXPECT_EQ(cellAt(target, 48, 0), 35);   // '9'
    EXPECT_EQ(cellAt(target, 60, 0), 36);   // '.'
    EXPECT_EQ(cellAt(target, 72, 0), 37);   // '!'
    EXPECT_EQ(cellAt(target, 84, 0), 38);   // '*'
    EXPECT_EQ(cellAt(target, 96, 0), 39);   // '-'
    EXPECT_EQ(cellAt(target, 112, 0), -1);  // ',' draws nothing
    EXPECT_EQ(cellAt(target, 120, 0), 25);  // 'Z'

    gfxtest::fill(target, 0);
    drawText(target, 0, 0, "", font);
    drawText(target, 0, 0, "\x80\xff\x7f", font);
    EXPECT_EQ(gfxtest::countNot(target, 0), 0);
    gfxtest::freeSurface(font);
}

TEST_F(TextTest, FontStripKeepsItsColourKeyAndClipsAtTheEdges)
{
    SDL_Surface* font = numberedStrip(40, 16, 16);
    // Black in the strip is transparent.
    SDL_Rect hole = {16 * 2 + 4, 4, 8, 8};
    SDL_FillRect(font, &hole, 0);
    SDL_SetColorKey(font, SDL_SRCCOLORKEY, 0);
    gfxtest::fill(target, 7);
    drawText(target, 100, 100, "c", font);
    EXPECT_EQ(pixelAt(target, 104, 104), 7u);
    EXPECT_EQ(cellAt(target, 103, 104), 2);

    drawText(target, 630, 470, "cc", font);
    EXPECT_EQ(cellAt(target, 631, 471), 2);
    EXPECT_EQ(pixelAt(target, 639, 479), 7u);  // from the hole: the background shows
    gfxtest::freeSurface(font);
}

TEST_F(TextTest, BigDigitsStepTwentyAndSlashLeavesACell)
{
    SDL_Surface* digits = numberedStrip(12, 20, 28);
    drawBigDigits(target, 0, 0, "12/34", digits);
    EXPECT_EQ(cellAt(target, 0, 0), 1);
    EXPECT_EQ(cellAt(target, 19, 27), 1);
    EXPECT_EQ(cellAt(target, 20, 0), 2);
    EXPECT_EQ(cellAt(target, 40, 0), -1);
    EXPECT_EQ(cellAt(target, 59, 27), -1);
    EXPECT_EQ(cellAt(target, 60, 0), 3);
    EXPECT_EQ(cellAt(target, 80, 0), 4);
    EXPECT_EQ(cellAt(target, 99, 27), 4);
    EXPECT_EQ(cellAt(target, 100, 0), -1);
    EXPECT_EQ(cellAt(target, 0, 28), -1);

    // Below '0' the cell lies left of the strip and is clipped away; above
    // '9' the cells after it are used.
    gfxtest::fill(target, 0);
    drawBigDigits(target, 0, 100, " -5:", digits);
    EXPECT_EQ(cellAt(target, 0, 100), -1);
    EXPECT_EQ(cellAt(target, 20, 100), -1);
    EXPECT_EQ(cellAt(target, 39, 127), -1);
    EXPECT_EQ(cellAt(target, 40, 100), 5);
    EXPECT_EQ(cellAt(target, 60, 100), 10);
    EXPECT_EQ(gfxtest::countNot(target, 0), 2 * 20 * 28);
    gfxtest::freeSurface(digits);
}

TEST_F(TextTest, SmallDigitsKeepRightAlignedColumns)
{
    SDL_Surface* digits = numberedStrip(10, 8, 7);
    char text[16];
    snprintf(text, sizeof text, "%5i", 42);
    drawSmallDigits(target, 300, 50, text, digits);
    EXPECT_EQ(cellAt(target, 300, 50), -1);
    EXPECT_EQ(cellAt(target, 323, 56), -1);
    EXPECT_EQ(cellAt(target, 324, 50), 4);
    EXPECT_EQ(cellAt(target, 331, 56), 4);
    EXPECT_EQ(cellAt(target, 332, 50), 2);
    EXPECT_EQ(cellAt(target, 339, 56), 2);
    EXPECT_EQ(cellAt(target, 332, 57), -1);
    EXPECT_EQ(gfxtest::countNot(target, 0), 2 * 8 * 7);
    gfxtest::freeSurface(digits);
}

// What the built-in writer must leave: the glyph's seven left columns in the
// colour, everything else as it was.
static void expectGlyph(SDL_Surface* target, int x, int y, int code, Uint32 colour,
                        Uint32 background)
{
    const unsigned char* glyph = debugFont + (code - 32) * 8;
    for (int r = 0; r < 8; r++)
        for (int c = 0; c < 8; c++) {
            bool set = c < 7 && (glyph[r] & (0x80 >> c));
            ASSERT_EQ(pixelAt(target, x + c, y + r), set ? colour : background)
                << "code " << code << " row " << r << " column " << c;
        }
}

TEST(DebugText, WritesTheColourBytesOfEachDepth)
{
    for (const Depth& depth : allDepths()) {
        SCOPED_TRACE(depth.name);
        SDL_Surface* target = gfxtest::createSurface(depth);
        gfxtest::fill(target, 0);
        drawDebugText(target, 3, 5, "FPS=57", 0x11223344);
        Uint32 expected;
        switch (target->format->BytesPerPixel) {
        case 1: expected = 0x44; break;
        case 2: expected = 0x3344; break;
        case 3: expected = 0x223344; break;
        default: expected = 0x11223344; break;
        }
        const char* text = "FPS=57";
        for (int i = 0; text[i]; i++)
            expectGlyph(target, 3 + 8 * i, 5, text[i], expected, 0);
        int drawn = 0;
        for (int i = 0; text[i]; i++)
            for (int r = 0; r < 8; r++)
                drawn += __builtin_popcount(debugFont[(text[i] - 32) * 8 + r] & 0xFE);
        EXPECT_EQ(gfxtest::countNot(target, 0), drawn);

        if (target->format->BytesPerPixel == 3) {
            // Low byte first in memory.
            const Uint8* p = static_cast<const Uint8*>(target->pixels);
            gfxtest::fill(target, 0);
            drawDebugText(target, 0, 0, "\x7f", 0xFFFFFFFF);
            int x = 3;  // the house's roof ridge
            EXPECT_EQ(p[x * 3], 0xFF);
            EXPECT_EQ(p[x * 3 + 1], 0xFF);
            EXPECT_EQ(p[x * 3 + 2], 0xFF);
            EXPECT_EQ(p[x * 3 + 3], 0x00);
        }
        if (target->format->BytesPerPixel == 2) {
            gfxtest::fill(target, 0);
            drawDebugText(target, 0, 0, "\x7f", 0xFFFFFFFF);
            EXPECT_EQ(pixelAt(target, 3, 0), 0xFFFFu);
        }
        gfxtest::freeSurface(target);
    }
}

TEST(DebugText, CodesOutsideTheFontDrawTheHouse)
{
    SDL_Surface* target = gfxtest::createSurface(depth32());
    gfxtest::fill(target, 0x0A0B0C);
    drawDebugText(target, 0, 10, "\x01\x1f\x80\xc8\xff~", 0xFFFFFF);
    for (int i = 0; i < 5; i++)
        expectGlyph(target, 8 * i, 10, 127, 0xFFFFFF, 0x0A0B0C);
    expectGlyph(target, 40, 10, '~', 0xFFFFFF, 0x0A0B0C);

    // The house: a one-pixel peak on top, a full-width eave, a solid floor.
    const unsigned char* house = debugFont + 95 * 8;
    EXPECT_EQ(__builtin_popcount(house[0]), 1);
    EXPECT_EQ(house[3] & 0xFE, 0xFE);
    EXPECT_GE(__builtin_popcount(house[7]), 5);
    gfxtest::freeSurface(target);
}

TEST(DebugText, EveryPrintableCodeHasItsOwnGlyph)
{
    // Distinct images for every printable character but the blank, and the
    // eighth column left empty since it is never drawn.
    for (int a = 33; a < 128; a++) {
        bool empty = true;
        for (int r = 0; r < 8; r++) {
            EXPECT_EQ(debugFont[(a - 32) * 8 + r] & 1, 0) << a;
            empty = empty && debugFont[(a - 32) * 8 + r] == 0;
        }
        EXPECT_FALSE(empty) << a;
        for (int b = a + 1; b < 128; b++)
            EXPECT_NE(memcmp(debugFont + (a - 32) * 8, debugFont + (b - 32) * 8, 8), 0)
                << a << " and " << b;
    }
    for (int r = 0; r < 8; r++)
        EXPECT_EQ(debugFont[r], 0);
}

TEST(DebugText, StopsBeforeACharacterThatWouldNotFit)
{
    SDL_Surface* target = gfxtest::createSurface(depth32());
    gfxtest::fill(target, 0);
    drawDebugText(target, 624, 0, "HHH", 0xFFFFFF);
    expectGlyph(target, 624, 0, 'H', 0xFFFFFF, 0);
    expectGlyph(target, 632, 0, 'H', 0xFFFFFF, 0);
    // Nothing spilled into the start of the next rows.
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 8; x++)
            EXPECT_EQ(pixelAt(target, x, y), 0u);

    gfxtest::fill(target, 0);
    drawDebugText(target, 0, 0, "", 0xFFFFFF);
    drawDebugText(target, 10, 476, "HH", 0xFFFFFF);  // rows past the bottom are left out
    EXPECT_EQ(pixelAt(target, 10, 476), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(target, 10, 479), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(target, 10, 475), 0u);
    gfxtest::freeSurface(target);
}

TEST(DebugText, DrawsOnASurfaceThatMustBeLocked)
{
    SDL_Surface* target = gfxtest::createSurface(depth32());
    gfxtest::fill(target, 0);
    target->flags |= SDL_HWSURFACE;
    drawDebugText(target, 0, 0, "A", 0xFFFFFF);
    EXPECT_EQ(target->locked, 0u);
    target->flags &= ~SDL_HWSURFACE;
    expectGlyph(target, 0, 0, 'A', 0xFFFFFF, 0);
    gfxtest::freeSurface(target);
}
