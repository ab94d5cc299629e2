#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "archive/Archive.h"
#include "gfx/GfxTestSupport.h"
#include "gfx/Picture.h"
#include "gfx/Primitives.h"
#include "core/AppState.h"
#include "support/TestSupport.h"

using gfxtest::errorText;
using gfxtest::pixelAt;
using testing_support::ScratchDir;

namespace {

// 8 x 4, black on the left half, red on the right.
std::vector<unsigned char> halfBlackPicture()
{
    SDL_Surface* picture = SDL_CreateRGBSurface(0, 8, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Rect right = {4, 0, 4, 4};
    SDL_FillRect(picture, &right, 0xFF0000);
    std::vector<unsigned char> bytes = gfxtest::bmpBytes(picture);
    SDL_FreeSurface(picture);
    return bytes;
}

// The same as an 8-bit picture: palette entry 0 black, entry 1 red.
std::vector<unsigned char> halfBlackPalettedPicture()
{
    SDL_Surface* picture = SDL_CreateRGBSurface(0, 8, 4, 8, 0, 0, 0, 0);
    SDL_Color colours[2] = {{0, 0, 0, 0}, {255, 0, 0, 0}};
    SDL_SetColors(picture, colours, 0, 2);
    SDL_Rect right = {4, 0, 4, 4};
    SDL_FillRect(picture, nullptr, 0);
    SDL_FillRect(picture, &right, 1);
    std::vector<unsigned char> bytes = gfxtest::bmpBytes(picture);
    SDL_FreeSurface(picture);
    return bytes;
}

struct PictureTest : testing::TestWithParam<int> {
    void SetUp() override
    {
        testing_support::openDummyScreen(GetParam());
        std::vector<unsigned char> mask(kWipeMaskSize);
        for (size_t i = 0; i < mask.size(); i++)
            mask[i] = static_cast<unsigned char>(i * 31 % 251);
        gfxtest::writeZip("data.pak", {{"half.bmp", halfBlackPicture()},
                                       {"pal.bmp", halfBlackPalettedPicture()},
                                       {"notes.bmp", {'h', 'e', 'l', 'l', 'o'}},
                                       {"wipe1.raw", mask},
                                       {"wipe2.raw", std::vector<unsigned char>(100, 9)},
                                       {"wipe3.raw", std::vector<unsigned char>(76801, 4)},
                                       {"wipe4.raw", {}}});
        expectedMask = mask;
        pak.open("data.pak");
    }
    void TearDown() override
    {
        pak.close();
        testing_support::closeDummyScreen();
    }

    // Blits the picture onto white and reads back what shows at (x, 0).
    void colourAt(SDL_Surface* picture, int x, Uint8& r, Uint8& g, Uint8& b)
    {
        const SDL_PixelFormat* f = screen->format;
        SDL_Surface* target =
            SDL_CreateRGBSurface(0, 8, 4, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, 0);
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 255, 255, 255));
        SDL_BlitSurface(picture, nullptr, target, nullptr);
        SDL_GetRGB(pixelAt(target, x, 0), target->format, &r, &g, &b);
        SDL_FreeSurface(target);
    }

    bool blackIsTransparent(SDL_Surface* picture)
    {
        Uint8 r, g, b;
        colourAt(picture, 6, r, g, b);
        EXPECT_EQ(r, 255);
        EXPECT_EQ(g, 0);
        colourAt(picture, 1, r, g, b);
        EXPECT_EQ(r, g);
        return r == 255;
    }

    ScratchDir scratch;
    PakArchive pak;
    std::vector<unsigned char> expectedMask;
};

}  // namespace

TEST_P(PictureTest, ConvertsToTheScreenFormat)
{
    for (Conversion conversion : {Conversion::ScreenFormat, Conversion::DisplayFormat}) {
        SDL_Surface* picture = loadPakPicture(pak, "half.bmp", ColourKey::None, conversion);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->format->BitsPerPixel, screen->format->BitsPerPixel);
        EXPECT_EQ(picture->format->Rmask, screen->format->Rmask);
        EXPECT_EQ(picture->format->Gmask, screen->format->Gmask);
        EXPECT_EQ(picture->w, 8);
        EXPECT_EQ(picture->h, 4);
        EXPECT_FALSE(blackIsTransparent(picture));
        SDL_FreeSurface(picture);
    }
}

TEST_P(PictureTest, ColourKeyZeroTravelsThroughEitherConversion)
{
    for (Conversion conversion : {Conversion::ScreenFormat, Conversion::DisplayFormat})
        for (const char* member : {"half.bmp", "pal.bmp"})
            for (ColourKey key : {ColourKey::Before, ColourKey::BeforeAndAfter}) {
                SCOPED_TRACE(member);
                SDL_Surface* picture = loadPakPicture(pak, member, key, conversion);
                EXPECT_TRUE(picture->flags & SDL_SRCCOLORKEY);
                EXPECT_EQ(picture->format->colorkey, 0u);
                EXPECT_TRUE(blackIsTransparent(picture));
                SDL_FreeSurface(picture);
            }
}

TEST_P(PictureTest, UnreadablePicturesNameTheMember)
{
    EXPECT_EQ(errorText([&] {
                  loadPakPicture(pak, "notes.bmp", ColourKey::None, Conversion::ScreenFormat);
              }),
              "Cannot Load Bitmap: 'notes.bmp'");
    EXPECT_EQ(errorText([&] {
                  loadPakPicture(pak, "wipe1.raw", ColourKey::Before, Conversion::DisplayFormat);
              }),
              "Cannot Load Bitmap: 'wipe1.raw'");
    EXPECT_EQ(errorText([&] {
                  loadPakPicture(pak, "absent.bmp", ColourKey::None, Conversion::ScreenFormat);
              }),
              "Cannot Load 'absent.bmp' from PAK");
}

TEST_P(PictureTest, MasksFillWhatTheMemberHolds)
{
    std::vector<unsigned char> mask(kWipeMaskSize, 0xEE);
    loadPakMask(pak, "wipe1.raw", mask.data());
    EXPECT_EQ(mask, expectedMask);

    // A short mask replaces its own bytes; the rest stays as it was.
    loadPakMask(pak, "wipe2.raw", mask.data());
    std::vector<unsigned char> mixed = expectedMask;
    std::fill(mixed.begin(), mixed.begin() + 100, 9);
    EXPECT_EQ(mask, mixed);
    loadPakMask(pak, "wipe4.raw", mask.data());
    EXPECT_EQ(mask, mixed);

    // A long one counts up to the mask's size.
    loadPakMask(pak, "wipe3.raw", mask.data());
    EXPECT_EQ(mask, std::vector<unsigned char>(kWipeMaskSize, 4));

    EXPECT_EQ(errorText([&] { loadPakMask(pak, "wipe9.raw", mask.data()); }),
              "Cannot Load 'wipe9.raw' from PAK");
}

INSTANTIATE_TEST_SUITE_P(ScreenDepths, PictureTest, testing::Values(32, 24, 16));
