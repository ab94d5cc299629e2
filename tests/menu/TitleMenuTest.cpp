// What the title menu draws and how it animates: pictures and their bands,
// the score board, stars, fades, and its loading and ownership rules.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "MenuFixture.h"
#include "Repack.h"
#include "core/Error.h"

namespace {

Uint32 pixelAt(SDL_Surface* surface, int x, int y)
{
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value;
    memcpy(&value, row + x * 4, 4);
    return value;
}

// Pixels of a w x h area at (ax, ay) of a that differ from b at (bx, by).
int differingPixels(SDL_Surface* a, int ax, int ay, SDL_Surface* b, int bx, int by, int w, int h)
{
    int count = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (pixelAt(a, ax + x, ay + y) != pixelAt(b, bx + x, by + y))
                count++;
    return count;
}

void hideStars(TitleMenu& menu)
{
    for (Star& star : menu.stars)
        star.y = 2000;  // far below, and they do not move in 0 ms frames
}

TEST_F(MenuTest, StartsClosedWithEverythingLoaded)
{
    EXPECT_EQ(menu->page, kPageOpening);
    EXPECT_EQ(menu->fadeLevel, 0);
    EXPECT_EQ(menu->nextState, 0);
    EXPECT_EQ(menu->hoverItem, 0);
    EXPECT_EQ(menu->backBuffer, screen);  // a software screen is drawn on directly
    EXPECT_FALSE(menu->ownsBackBuffer);

    SDL_Surface* pictures[] = {menu->pointerPicture, menu->titlePicture, menu->footerPicture,
                               menu->scoreBoardPicture, menu->fontPicture, menu->creditsPicture};
    for (SDL_Surface* picture : pictures) {
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->format->BitsPerPixel, screen->format->BitsPerPixel);
        EXPECT_EQ(picture->format->Rmask, screen->format->Rmask);
    }
    for (int i = 0; i < kMenuItemCount; i++) {
        ASSERT_NE(menu->itemPictures[i], nullptr);
        ASSERT_NE(menu->litItemPictures[i], nullptr);
    }
    EXPECT_TRUE(menu->pointerPicture->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(menu->pointerPicture->format->colorkey, 0u);
    EXPECT_TRUE(menu->fontPicture->flags & SDL_SRCCOLORKEY);
    EXPECT_FALSE(menu->titlePicture->flags & SDL_SRCCOLORKEY);

    for (const Star& star : menu->stars) {
        EXPECT_GE(star.x, 0);
        EXPECT_LT(star.x, 640);
        EXPECT_GE(star.y, 500);  // all below the screen
        EXPECT_LT(star.y, 1000);
        EXPECT_GE(star.size, 10);
        EXPECT_LT(star.size, 40);
        EXPECT_FLOAT_EQ(star.speed, star.size * 0.25f);
        float spin = star.spin < 0 ? -star.spin : star.spin;
        EXPECT_GE(spin, 10);
        EXPECT_LT(spin, 30);
    }
}

TEST_F(MenuTest, StarsRiseAndComeBackFromBelow)
{
    Star& star = menu->stars[0];
    star.y = 300;
    float size = star.size;
    float speed = star.speed;
    pass(50);
    EXPECT_FLOAT_EQ(star.y, 300 - 50 * speed * 0.02f);

    // Exactly at -size it still hangs on.
    star.y = -size + 50 * speed * 0.02f;
    pass(50);
    EXPECT_FLOAT_EQ(star.y, -size);

    star.y = -size + 0.01f;
    pass(100);
    EXPECT_FLOAT_EQ(star.y, 500);
    EXPECT_GE(star.x, 0);
    EXPECT_LT(star.x, 640);
    EXPECT_FLOAT_EQ(star.size, size);
    EXPECT_FLOAT_EQ(star.speed, speed);

    elapsedTime = 1000;
    frameDelta = 0;
    menu->drawFrame();
    EXPECT_FLOAT_EQ(star.angle, star.spin * 1000 * 0.01f);
}

TEST_F(MenuTest, StarsAreDrawnInYellowOverThePage)
{
    finishOpening();
    pointAt(10);
    hideStars(*menu);
    elapsedTime = 0;  // angle 0: the first inner triangle points right
    Star& star = menu->stars[0];
    star.x = 100;
    star.y = 360;
    star.size = 30;
    pass();
    // Inside the inner triangle (100, 360), (115, 360), (104, 374) alone.
    Uint32 withStar = pixelAt(screen, 106, 364);
    star.y = 2000;
    pass();
    Uint32 without = pixelAt(screen, 106, 364);
    // Half of yellow added to half of what lay below.
    Uint8 r, g, b, r0, g0, b0;
    SDL_GetRGB(withStar, screen->format, &r, &g, &b);
    SDL_GetRGB(without, screen->format, &r0, &g0, &b0);
    EXPECT_EQ(r, (r0 >> 1) + 127);
    EXPECT_EQ(g, (g0 >> 1) + 127);
    EXPECT_EQ(b, b0 >> 1);
}

TEST_F(MenuTest, FadesKeepTheirFractionalSteps)
{
    pointAt(10);
    for (int i = 0; i < 4; i++)
        pass(1);
    EXPECT_EQ(menu->fadeLevel, 0);
    pass(1);
    EXPECT_EQ(menu->fadeLevel, 1);

    // 17 ms frames: 3.4 levels each, carried over rather than lost.
    menu->fadeLevel = 0;
    menu->fadeSteps.reset();
    pass(17);
    EXPECT_EQ(menu->fadeLevel, 3);
    pass(17);
    EXPECT_EQ(menu->fadeLevel, 6);
    pass(17);
    EXPECT_EQ(menu->fadeLevel, 10);

    // 1 ms frames open the menu in 1285 ms: level 257 is the first above 256.
    menu->fadeLevel = 0;
    menu->fadeSteps.reset();
    for (int i = 0; i < 1284; i++)
        pass(1);
    EXPECT_EQ(menu->page, kPageOpening);
    EXPECT_EQ(menu->fadeLevel, 256);
    pass(1);
    EXPECT_EQ(menu->page, kPageMain);

    // The closing fade goes down the same way.
    menu->page = kPageClosing;
    menu->fadeLevel = 0;
    for (int i = 0; i < 249; i++)
        pass(1);
    EXPECT_EQ(menu->page, kPageClosing);
    EXPECT_EQ(menu->fadeLevel, -49);
    pass(3);
    pass(2);
    EXPECT_EQ(menu->fadeLevel, -50);
    EXPECT_EQ(menu->page, kPageClosed);
}

TEST_F(MenuTest, ClosedFadeLeavesOnlyThePointerOnBlack)
{
    finishOpening();
    pointAt(400);
    click();
    pass();
    while (menu->page == kPageClosing)
        pass(100);
    ASSERT_EQ(menu->page, kPageClosed);
    int lit = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            bool underPointer = x >= 320 && x < 352 && y >= 400 && y < 432;
            if (!underPointer && pixelAt(screen, x, y) != 0)
                lit++;
        }
    EXPECT_EQ(lit, 0);
}

TEST_F(MenuTest, OpeningFadeCoversWhatTheMaskHoldsAboveTheLevel)
{
    pointAt(10);
    for (int i = 0; i < kWipeMaskSize; i++)
        menu->wipeMask[i] = static_cast<unsigned char>(i % 2 ? 200 : 50);
    pass(500);  // level 100
    ASSERT_EQ(menu->fadeLevel, 100);
    // Block (0, 130) has entry 50 and shows; block (1, 130) has 200 and is black.
    EXPECT_EQ(differingPixels(screen, 0, 260, menu->itemPictures[0], 0, 9, 2, 2), 0);
    EXPECT_EQ(pixelAt(screen, 2, 260), 0u);
    EXPECT_EQ(pixelAt(screen, 3, 261), 0u);
}

TEST_F(MenuTest, PointerLightsUpTheItemUnderIt)
{
    finishOpening();
    hideStars(*menu);
    const int bands[][2] = {{251, 43}, {294, 42}, {336, 42}, {378, 42}};
    for (int item = 1; item <= kMenuItemCount; item++) {
        pointAt(bands[item - 1][0] + 5);
        pass();
        pass();  // the hover read after a frame shows in the next one
        ASSERT_EQ(menu->hoverItem, item);
        for (int i = 0; i < kMenuItemCount; i++) {
            SDL_Surface* expected =
                i + 1 == item ? menu->litItemPictures[i] : menu->itemPictures[i];
            // Left half only: the pointer is drawn at x 320.
            EXPECT_EQ(differingPixels(screen, 0, bands[i][0], expected, 0, 0, 320, bands[i][1]), 0)
                << "item " << i + 1 << " while pointing at " << item;
        }
    }
    pointAt(420);
    pass();
    pass();
    EXPECT_EQ(menu->hoverItem, 0);
    EXPECT_EQ(differingPixels(screen, 0, 251, menu->itemPictures[0], 0, 0, 640, 43), 0);
    EXPECT_EQ(differingPixels(screen, 0, 0, menu->titlePicture, 0, 0, 640, 251), 0);
    EXPECT_EQ(differingPixels(screen, 0, 420, menu->footerPicture, 0, 0, 640, 40), 0);
}

TEST_F(MenuTest, AboutPageShowsTheCredits)
{
    finishOpening();
    hideStars(*menu);
    pointAt(10);
    menu->page = kPageAbout;
    pass();
    EXPECT_EQ(differingPixels(screen, 0, 251, menu->creditsPicture, 0, 0, 640, 220), 0);
    EXPECT_GT(differingPixels(screen, 0, 251, menu->itemPictures[0], 0, 0, 640, 43), 0);
}

class ScoreBoardTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        pointAt(10);
        hideStars(*menu);
        menu->page = kPageScores;
        frameDelta = 0;
    }

    void drawAt(int time)
    {
        elapsedTime = time;
        menu->drawFrame();
    }

    // Leftmost column in x0..x1 of rows y..y+15 that is not the background.
    int firstInk(int x0, int x1, int y)
    {
        for (int x = x0; x < x1; x++)
            if (differingPixels(screen, x, y, menu->scoreBoardPicture, x, y - 251, 1, 16) > 0)
                return x;
        return -1;
    }
};

TEST_F(ScoreBoardTest, BackgroundHeadersAndResetHint)
{
    drawAt(0);
    EXPECT_EQ(differingPixels(screen, 0, 251, menu->scoreBoardPicture, 0, 0, 640, 19), 0);
    EXPECT_GT(differingPixels(screen, 46, 270, menu->scoreBoardPicture, 46, 19, 48, 16), 0);
    EXPECT_GT(differingPixels(screen, 534, 270, menu->scoreBoardPicture, 534, 19, 60, 16), 0);
    EXPECT_GT(differingPixels(screen, 0, 465, menu->scoreBoardPicture, 0, 214, 96, 15), 0);
    // Between the last row and the hint there is only the background.
    EXPECT_EQ(differingPixels(screen, 0, 446, menu->scoreBoardPicture, 0, 195, 640, 19), 0);
}

TEST_F(ScoreBoardTest, ClearedRecordsCarryAMark)
{
    highScores[0].cleared = 0;
    drawAt(0);  // row 0 does not sway at time 0
    EXPECT_EQ(differingPixels(screen, 112, 302, menu->scoreBoardPicture, 112, 51, 16, 16), 0);
    highScores[0].cleared = 1;
    drawAt(0);
    EXPECT_GT(differingPixels(screen, 112, 302, menu->scoreBoardPicture, 112, 51, 16, 16), 0);
}

TEST_F(ScoreBoardTest, RowsSwayByAtMostTheirRankPlusOne)
{
    drawAt(0);  // sin 0: row 0 at rest
    int rest = firstInk(40, 100, 302);
    ASSERT_GE(rest, 64);
    for (int row : {0, 4, 8}) {
        int y = 302 + 16 * row;
        int smallest = 1000, largest = -1000;
        for (int time = 0; time < 4000; time += 20) {
            drawAt(time);
            int ink = firstInk(40, 110, y);
            ASSERT_GE(ink, 0);
            smallest = std::min(smallest, ink);
            largest = std::max(largest, ink);
        }
        int amplitude = row + 2;
        // Truncated towards zero, the extremes are rarely met exactly.
        EXPECT_LE(largest - smallest, 2 * amplitude) << "row " << row;
        EXPECT_GE(largest - smallest, 2 * amplitude - 2) << "row " << row;
        if (row == 0) {
            EXPECT_LE(largest, rest + 2);
            EXPECT_GE(smallest, rest - 2);
        }
    }
}

TEST_F(ScoreBoardTest, NameOfThirtyTwoBytesIsNotReadPastItsField)
{
    memset(highScores[0].name, 'W', sizeof highScores[0].name);
    // Read on past the name, these bytes would draw four more letters.
    memcpy(&highScores[0].score, "WWWW", 4);
    highScores[0].cleared = 0;
    drawAt(0);
    // The 32nd letter ends at x 515; the score starts at 528.
    EXPECT_GT(differingPixels(screen, 500, 302, menu->scoreBoardPicture, 500, 51, 16, 16), 0);
    EXPECT_EQ(differingPixels(screen, 516, 302, menu->scoreBoardPicture, 516, 51, 12, 16), 0);
}

TEST_F(MenuTest, OwnBackBufferIsCopiedToTheScreenAndFreedWithTheMenu)
{
    delete menu;
    menu = nullptr;
    const SDL_PixelFormat* format = screen->format;
    SDL_Surface* buffer = SDL_CreateRGBSurface(0, 640, 480, 32, format->Rmask, format->Gmask,
                                               format->Bmask, format->Amask);
    ASSERT_NE(buffer, nullptr);
    SDL_FillRect(screen, nullptr, 0x123456);
    menu = new TitleMenu(buffer, true);
    menu->page = kPageMain;
    pointAt(10);
    frameDelta = 0;
    menu->drawFrame();
    EXPECT_EQ(differingPixels(screen, 0, 0, buffer, 0, 0, 640, 480), 0);
    EXPECT_EQ(differingPixels(screen, 0, 251, menu->itemPictures[0], 0, 0, 640, 43), 0);
    // Leak checks in the sanitizer build see whether the buffer goes with it.
}

class BrokenPakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::openDummyScreen(32);
        initGlyphMap();
    }
    void TearDown() override { testing_support::closeDummyScreen(); }

    std::string loadError()
    {
        try {
            TitleMenu menu(screen, false);
        } catch (const Error& error) {
            return error.text;
        }
        return "";
    }

    testing_support::ScratchDir scratch;
};

TEST_F(BrokenPakTest, UnreadablePictureIsNamed)
{
    repack::copyPak(testing_support::dataPakPath(), "data.pak", "sabout.bmp",
                    "BM this is no picture", false);
    EXPECT_EQ(loadError(), "Cannot Load Bitmap: 'sabout.bmp'");
}

TEST_F(BrokenPakTest, MissingMembersAreNamed)
{
    repack::copyPak(testing_support::dataPakPath(), "data.pak", "credits.bmp", "", true);
    EXPECT_EQ(loadError(), "Cannot Load 'credits.bmp' from PAK");
}

TEST_F(BrokenPakTest, ShortMaskFillsOnlyItsOwnBytes)
{
    // Every mask short, whichever one rand picks.
    std::string source = testing_support::dataPakPath();
    for (int i = 0; i < 10; i++) {
        std::string name = "wipe" + std::to_string(i) + ".raw";
        std::string target = i % 2 ? "data.pak" : "other.pak";
        repack::copyPak(source, target, name, "short", false);
        source = scratch.path() + "/" + target;
    }
    TitleMenu menu(screen, false);
    std::vector<unsigned char> expected(kWipeMaskSize, 0);
    memcpy(expected.data(), "short", 5);
    EXPECT_EQ(std::vector<unsigned char>(menu.wipeMask, menu.wipeMask + kWipeMaskSize), expected);
}

TEST_F(BrokenPakTest, NoArchiveAtAll)
{
    EXPECT_EQ(loadError(), "Cannot Load PAK: 'data.pak'");
}

}  // namespace
