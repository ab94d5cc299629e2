// Where draw puts things: counters, tiles, messages and banners, checked pixel
// by pixel against the pictures; and screenshots for review.
#include <cstring>
#include <string>

#include "game/BoardLayout.h"
#include "game/GameHarness.h"
#include "platform/Input.h"
#include "core/AppState.h"

namespace game_test {
namespace {

Uint32 pixelAt(SDL_Surface* surface, int x, int y)
{
    const Uint8* row = (const Uint8*)surface->pixels + y * surface->pitch;
    return ((const Uint32*)row)[x];
}

class GameScreen : public GameHarness {
protected:
    void SetUp() override
    {
        GameHarness::SetUp();
        start(1);
        openBoard();
        // Keep the pointer over the top left corner, away from what is checked.
        pointAtPixel(8, 8);
    }

    // One drawing with the clock at `clock` and no time passing.
    void drawAt(int clock)
    {
        elapsedTime = clock;
        frameDelta = 0;
        game->draw();
    }

    // True when every non-key pixel of the w x h cell at (sx, 0) of strip is
    // on the screen at (x, y), and the cell has such pixels at all.
    static bool shows(SDL_Surface* strip, int sx, int w, int h, int x, int y)
    {
        SDL_LockSurface(strip);
        SDL_LockSurface(screen);
        int solid = 0;
        bool same = true;
        for (int j = 0; j < h && same; j++) {
            for (int i = 0; i < w; i++) {
                Uint32 p = pixelAt(strip, sx + i, j);
                if ((strip->flags & SDL_SRCCOLORKEY) && p == strip->format->colorkey)
                    continue;
                solid++;
                if (pixelAt(screen, x + i, y + j) != p) {
                    same = false;
                    break;
                }
            }
        }
        SDL_UnlockSurface(screen);
        SDL_UnlockSurface(strip);
        return same && solid > 0;
    }

    bool bigDigit(int digit, int x, int y)
    {
        return shows(game->bigDigitsPic, 20 * digit, 20, 28, x, y);
    }
    bool smallDigit(int digit, int x, int y)
    {
        return shows(game->smallDigitsPic, 8 * digit, 8, 7, x, y);
    }
    // The panel as drawn, without anything over it.
    bool bareInPanel(int x, int y, int w, int h)
    {
        SDL_Rect source = {(Sint16)(x - 480), (Sint16)y, (Uint16)w, (Uint16)h};
        SDL_Surface* copy = SDL_CreateRGBSurface(0, w, h, 32, screen->format->Rmask,
                                                 screen->format->Gmask, screen->format->Bmask, 0);
        SDL_BlitSurface(game->panelPic, &source, copy, nullptr);
        bool bare = shows(copy, 0, w, h, x, y);
        SDL_FreeSurface(copy);
        return bare;
    }
};

TEST_F(GameScreen, Counters)
{
    game->score = game->shownScore = 1234567;
    game->lives = 3;
    game->level = 1;
    game->levelScore = 42;
    game->idleTimer = 1500;
    drawAt(0);
    // Seven digits run from x 500 to the screen's right edge.
    EXPECT_TRUE(bigDigit(1, 500, 277));
    EXPECT_TRUE(bigDigit(4, 560, 277));
    EXPECT_TRUE(bigDigit(7, 620, 277));
    EXPECT_TRUE(bigDigit(0, 544, 122));
    EXPECT_TRUE(bigDigit(3, 564, 122));
    EXPECT_TRUE(bigDigit(0, 544, 195));
    EXPECT_TRUE(bigDigit(1, 564, 195));
    // "%5i": blanks keep the digits in their columns.
    EXPECT_TRUE(smallDigit(4, 610, 264));
    EXPECT_TRUE(smallDigit(2, 618, 264));
    EXPECT_TRUE(bigDigit(1, 550, 337));

    game->score = game->shownScore = 2500;
    drawAt(0);
    EXPECT_TRUE(bigDigit(0, 500, 277));
    EXPECT_TRUE(bigDigit(0, 500 + 20, 277));
    EXPECT_TRUE(bigDigit(2, 500 + 40, 277));
    EXPECT_TRUE(bigDigit(5, 500 + 60, 277));
}

// Idle penalties take the board score below zero; the strip has no minus
// sign, so it shows 0 while the value itself stays for the extra-life rule.
TEST_F(GameScreen, BoardScoreBelowZeroShowsAsZero)
{
    game->score = game->shownScore = 5000;
    game->levelScore = 0;
    game->idleTimer = -1;
    frame(16);
    ASSERT_EQ(-100, game->levelScore);
    ASSERT_EQ(4900, game->score);
    EXPECT_TRUE(bareInPanel(586, 264, 32, 7));
    EXPECT_TRUE(smallDigit(0, 618, 264));
}

TEST_F(GameScreen, IdleSecondsBlinkAtZero)
{
    game->idleTimer = 1500;
    drawAt(0);
    EXPECT_TRUE(bigDigit(1, 550, 337));
    game->idleTimer = 999;
    drawAt(0);
    EXPECT_TRUE(bigDigit(0, 550, 337));
    game->idleTimer = 512;
    drawAt(0);
    EXPECT_TRUE(bigDigit(0, 550, 337));
    game->idleTimer = 511;
    drawAt(0);
    EXPECT_FALSE(bigDigit(0, 550, 337));
    EXPECT_TRUE(bareInPanel(550, 337, 20, 28));
    game->idleTimer = 0;
    drawAt(0);
    EXPECT_TRUE(bareInPanel(550, 337, 20, 28));
}

TEST_F(GameScreen, TileFramesFollowTheClockAndTheSelection)
{
    layOutBottom({"1.2............", "3.1.......11..."});
    game->animPhase[0][14] = 3;
    game->animPhase[10][14] = 19;
    game->selectUnderPointer();  // the pointer is away: nothing selected
    drawAt(1000);  // 1000 / 200 = 5
    EXPECT_TRUE(shows(game->tilePics[2], 32 * 8, 32, 32, 0, 14 * 32));
    EXPECT_FALSE(shows(game->tilePics[2], 32 * 7, 32, 32, 0, 14 * 32));
    EXPECT_TRUE(shows(game->tilePics[0], 32 * 4, 32, 32, 10 * 32, 14 * 32)) << "19 + 5 wraps to 4";
    EXPECT_TRUE(shows(game->tilePics[1], 32 * ((game->animPhase[2][13] + 5) % 20), 32, 32,
                      2 * 32, 13 * 32));

    // The group under the pointer comes from the selected strips.
    pointAt(11, 14);
    game->selectUnderPointer();
    ASSERT_EQ(4, game->previewPoints);
    pointAtPixel(8, 8);
    drawAt(1000);
    EXPECT_TRUE(shows(game->selTilePics[0], 32 * 4, 32, 32, 10 * 32, 14 * 32));
    EXPECT_FALSE(shows(game->tilePics[0], 32 * 4, 32, 32, 10 * 32, 14 * 32));

    // Theme 3 runs faster: 1000 / 150 = 6.
    game->theme = 3;
    drawAt(1000);
    EXPECT_TRUE(shows(game->tilePics[2], 32 * 9, 32, 32, 0, 14 * 32));
}

TEST_F(GameScreen, BonusTilesAndBanners)
{
    layOutBottom({"D.A.P..........", "121212121212121"});
    game->animPhase[0][13] = game->animPhase[2][13] = game->animPhase[4][13] = 0;
    drawAt(0);
    EXPECT_TRUE(shows(game->bonusPics[0], 0, 32, 32, 0, 13 * 32));
    EXPECT_TRUE(shows(game->bonusPics[1], 0, 32, 32, 2 * 32, 13 * 32));
    EXPECT_TRUE(shows(game->bonusPics[2], 0, 32, 32, 4 * 32, 13 * 32));

    // Banners blink on bit 8 of the clock while their timers run.
    game->doubleTimer = 100.0;
    drawAt(256);
    EXPECT_TRUE(shows(game->bonus2xPic, 0, 256, 64, 112, 210));
    drawAt(512);
    EXPECT_FALSE(shows(game->bonus2xPic, 0, 256, 64, 112, 210));
    game->doubleTimer = 0.0;
    drawAt(256);
    EXPECT_FALSE(shows(game->bonus2xPic, 0, 256, 64, 112, 210));

    game->pointsTimer = 50.0;
    game->lastBonus = kBonusFiveHundred;
    drawAt(256);
    EXPECT_TRUE(shows(game->bonus500Pic, 0, 256, 64, 112, 210));
    game->lastBonus = kBonusThousand;
    drawAt(256);
    EXPECT_TRUE(shows(game->bonus1000Pic, 0, 256, 64, 112, 210));
    game->pointsTimer = 0.0;
    game->addLineBannerTimer = 1.0;
    drawAt(256);
    EXPECT_TRUE(shows(game->bonusAddLinePic, 0, 256, 64, 112, 210));
}

TEST_F(GameScreen, MessageSlidesInAndRests)
{
    layOutBottom({"1.2............"});
    frame(16);
    ASSERT_TRUE(game->levelLost);
    EXPECT_EQ(-400 + 16, game->messageX);
    for (int i = 0; i < 4; i++)
        frame(100);
    EXPECT_EQ(16, game->messageX);
    frame(100);
    EXPECT_EQ(50, game->messageX);
    drawAt(0);
    EXPECT_TRUE(shows(game->lostLevelPic, 0, 380, 128, 50, 150));
}

TEST_F(GameScreen, WonMessageBannersBlink)
{
    layOutBottom({"11............."});
    game->levelScore = 11000;
    clickCell(0, 14);
    while (!game->levelOver)
        frame();
    ASSERT_TRUE(game->levelWon);
    ASSERT_TRUE(game->bonusLifeAwarded);
    while (game->messageX < 50)
        frame();
    drawAt(512);
    EXPECT_TRUE(shows(game->wonLevelPic, 0, 380, 128, 50, 150));
    EXPECT_TRUE(shows(game->perfectPic, 0, 256, 64, 112, 280));
    EXPECT_TRUE(shows(game->bonusLifePic, 0, 256, 64, 112, 80));
    EXPECT_FALSE(screenshot("game-won").empty());
    drawAt(1024);
    EXPECT_FALSE(shows(game->perfectPic, 0, 256, 64, 112, 280));
    EXPECT_FALSE(shows(game->bonusLifePic, 0, 256, 64, 112, 80));
}

TEST_F(GameScreen, NameAndCursorOnceTheMessageRests)
{
    game->lives = 0;
    game->score = 4321;
    layOutBottom({"1.2............"});
    frame(16);
    ASSERT_TRUE(game->enteringName);
    typeKey(SDLK_a, 'a');
    typeKey(SDLK_b, 'b');
    frame(16);
    ASSERT_STREQ("ab", game->playerName);
    // On its way in the name is not drawn.
    drawAt(128);
    EXPECT_FALSE(shows(game->fontPic, 0, 12, 16, 71, 251));
    while (game->messageX < 50)
        frame();
    // 'a' is glyph 0, 'b' 12 pixels on (cells overlap by 4), then the cursor
    // '-' (glyph 39) while bit 7 of the clock is set.
    drawAt(128);
    EXPECT_TRUE(shows(game->fontPic, 16 * 0, 12, 16, 71, 251));
    EXPECT_TRUE(shows(game->fontPic, 16 * 1, 12, 16, 71 + 12, 251));
    EXPECT_TRUE(shows(game->fontPic, 16 * 39, 16, 16, 71 + 24, 251));
    drawAt(256);
    EXPECT_TRUE(shows(game->fontPic, 16 * 1, 12, 16, 71 + 12, 251));
    EXPECT_FALSE(shows(game->fontPic, 16 * 39, 16, 16, 71 + 24, 251));

    strcpy(game->playerName, "Tessal");
    drawAt(128 + 512);
    EXPECT_FALSE(screenshot("game-name-entry").empty());

    // A pad choosing C (glyph 2): letter and cursor take turns after "ab".
    strcpy(game->playerName, "ab");
    game->padLetter = 3;
    drawAt(128);
    EXPECT_TRUE(shows(game->fontPic, 16 * 2, 16, 16, 71 + 24, 251));
    drawAt(256);
    EXPECT_TRUE(shows(game->fontPic, 16 * 39, 16, 16, 71 + 24, 251));
}

// The number beside the pointer is what a click on the group adds to the
// score: half the square of its size, twice that with the double tile, and
// nothing once the score has reached its cap; with the coin, its 500 or 1000
// too, also at the cap.
TEST_F(GameScreen, PointsBesidePointerAreWhatTheClickAdds)
{
    struct Case {
        const char* bottomRow;
        int score;
        int shown;  // -1: no number
        int coin;   // what the next coin pays
    };
    const Case cases[] = {
        {"111111111111111", 0, 220, 500},        // 21 tiles with the six above
        {"1D1113232323232", 0, 24, 500},         // 5 with the double tile
        {"111111111123232", 999998, 50, 500},    // the cap is tested before adding
        {"1111D1111123232", 999990, 50, 500},    // the second half would pass it
        {"111111111123232", 999999, -1, 500},    // at the cap a click adds nothing
        {"3P3332121212121", 0, 512, 500},        // 5 with the coin
        {"3P3332121212121", 100, 1012, 1000},
        {"3P3332121212121", 999999, 1000, 1000},  // the coin pays at the cap
    };
    // The pointer is drawn over the number's lower rows; leave it out.
    SDL_Surface* pointer = game->pointerPic;
    game->pointerPic = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bottomRow);
        bool full = c.shown == 220;
        layOutBottom({"222222222222222", full ? "111111222222222" : "222222222222222", c.bottomRow});
        game->score = game->shownScore = c.score;
        game->coinPoints = c.coin;
        pointAt(0, 14);
        frame(16);
        EXPECT_GT(game->previewPoints, 0);

        // Beside the pointer at (16, 464): each digit in its place, none after.
        std::string text = c.shown < 0 ? "" : std::to_string(c.shown);
        int x = 16 + 10, y = 464 - 4;
        for (size_t i = 0; i < text.size(); i++)
            EXPECT_TRUE(smallDigit(text[i] - '0', x + 8 * (int)i, y)) << text << " at " << i;
        for (int digit = 0; digit < 10; digit++)
            EXPECT_FALSE(smallDigit(digit, x + 8 * (int)text.size(), y)) << digit << " after " << text;

        pushClick();
        frame(16);
        EXPECT_EQ(game->score - c.score, c.shown < 0 ? 0 : c.shown);
    }
    game->pointerPic = pointer;
}

TEST_F(GameScreen, ScreenshotsOfPlay)
{
    // A board in play with a group marked and its points by the pointer.
    int best = 0, bestC = 0, bestR = 0;
    uint8_t marks[kBoardSize][kBoardSize];
    for (int c = 0; c < kBoardSize; c++)
        for (int r = 0; r < kBoardSize; r++) {
            int points = tiles::selectAt(game->board, marks, c * 32 + 16, r * 32 + 16);
            if (points > best) {
                best = points;
                bestC = c;
                bestR = r;
            }
        }
    game->score = game->shownScore = 12345;
    game->levelScore = 2345;
    pointAt(bestC, bestR);
    frame(16);
    ASSERT_EQ(best, game->previewPoints);
    EXPECT_FALSE(screenshot("game-board").empty());

    // The double bonus banner over the board.
    layOutBottom({"..............1", "..............D", "..............1",
                  "232323232323232"});
    clickCell(14, 12);
    ASSERT_EQ(255.0, game->doubleTimer);
    pointAtPixel(300, 120);
    game->selectUnderPointer();
    drawAt(256);
    EXPECT_TRUE(shows(game->bonus2xPic, 0, 256, 64, 112, 210));
    EXPECT_FALSE(screenshot("game-bonus").empty());
}

}  // namespace
}  // namespace game_test
