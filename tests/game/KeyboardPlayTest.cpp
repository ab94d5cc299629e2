// Whole boards played from the keyboard alone: the arrows step the pointer
// from cell to cell (held, they repeat on frame time), Space and Return click,
// and the mouse takes the pointer back the moment it moves.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/BoardLayout.h"
#include "game/GameHarness.h"
#include "platform/Input.h"
#include "core/HighScores.h"

namespace game_test {
namespace {

const int kPass = 25;  // ms; a third of the repeat interval, so no step is skipped

class KeyboardPlay : public GameHarness {
protected:
    void pointerCell(int& column, int& row)
    {
        int x, y;
        input::pointer(x, y);
        column = x / kCellSize;
        row = y / kCellSize;
    }

    // Holds key until the pointer stands on the wanted cell along one axis,
    // and checks the passes it took: one step on the press, the next after
    // the repeat delay, then one per repeat interval.
    void holdUntil(SDLKey key, bool columns, int target)
    {
        int column, row;
        pointerCell(column, row);
        int distance = std::abs(target - (columns ? column : row));
        if (distance == 0)
            return;
        input::pressKey(key);
        int passes = 0;
        for (; passes < 200; passes++) {
            frame(kPass);
            pointerCell(column, row);
            if ((columns ? column : row) == target)
                break;
        }
        input::releaseKey(key);
        frame(kPass);
        int expected = distance == 1 ? 1
                                     : 1 + input::kRepeatDelay / kPass +
                                           (distance - 2) * input::kRepeatInterval / kPass;
        EXPECT_EQ(passes + 1, expected) << distance << " cells";
        int x, y;
        input::pointer(x, y);
        EXPECT_EQ(x % kCellSize, kCellSize / 2) << "the pointer stops on cell centres";
        EXPECT_EQ(y % kCellSize, kCellSize / 2);
    }

    void moveTo(int column, int row)
    {
        int c, r;
        pointerCell(c, r);
        holdUntil(column > c ? SDLK_RIGHT : SDLK_LEFT, true, column);
        holdUntil(row > r ? SDLK_DOWN : SDLK_UP, false, row);
    }

    void tap(SDLKey key)
    {
        input::pressKey(key);
        frame(kPass);
        input::releaseKey(key);
        frame(kPass);
    }

    // The largest group's cell and its size in tiles; false when none is left.
    bool largestGroup(int& column, int& row, int& size)
    {
        int points = game_test::largestGroup(game->board, column, row);
        size = 0;
        while (size * size < points)
            size++;
        return points > 0;
    }

    int tileCount()
    {
        int count = 0;
        for (auto& column : game->board)
            for (int32_t cell : column)
                count += cell != kEmpty;
        return count;
    }

    // Holds key for a few passes over the group in place: exactly that group
    // goes, once, for at least its points.
    void clickWith(SDLKey key, int size)
    {
        int before = tileCount();
        int score = game->score;
        input::pressKey(key);
        frame(kPass);
        EXPECT_EQ(tileCount(), before - size);
        EXPECT_GE(game->score - score, size * size / 2);
        score = game->score;
        for (int i = 0; i < 4; i++)
            frame(kPass);
        input::releaseKey(key);
        EXPECT_EQ(game->score, score) << "a held key clicks once";
    }
};

TEST_F(KeyboardPlay, PlaysAWholeBoardWithTheKeysAlone)
{
    // The first press starts from the cell under the mouse, here the cell
    // beside the largest group.
    start(3);
    int column = 0, row = 0, size = 0;
    ASSERT_TRUE(largestGroup(column, row, size));
    int side = column > 0 ? -1 : 1;
    pointAtPixel((column + side) * 32 + 5, row * 32 + 30);
    tap(side < 0 ? SDLK_RIGHT : SDLK_LEFT);
    int x, y;
    input::pointer(x, y);
    EXPECT_EQ(x, column * 32 + 16);
    EXPECT_EQ(y, row * 32 + 16);
    EXPECT_TRUE(input::pointerSteered());

    // Space during the opening fade removes nothing, even over a group.
    int tilesAtStart = tileCount();
    ASSERT_TRUE(game->inputLocked);
    tap(SDLK_SPACE);
    EXPECT_EQ(tileCount(), tilesAtStart);

    // The edges hold the pointer on the board.
    moveTo(14, 0);
    tap(SDLK_RIGHT);
    tap(SDLK_UP);
    input::pointer(x, y);
    EXPECT_EQ(x, 14 * 32 + 16);
    EXPECT_EQ(y, 16);

    openBoard(kPass);

    int clicks = 0;
    for (int passes = 0; passes < 20000 && !game->levelOver; passes++) {
        if (!settled(game->board) || game->linesToAdd != 0) {
            frame(kPass);
            continue;
        }
        if (!largestGroup(column, row, size)) {
            frame(kPass);
            continue;
        }
        if (clicks == 3) {
            // The mouse moves onto the group and has the pointer at once;
            // Return clicks where it points.
            pointAtPixel(column * 32 + 3, row * 32 + 29);
            input::pointer(x, y);
            EXPECT_FALSE(input::pointerSteered());
            EXPECT_EQ(x, column * 32 + 3);
            EXPECT_EQ(y, row * 32 + 29);
            clickWith(SDLK_RETURN, size);
            // The next arrow starts from the mouse's cell.
            frame(kPass);
            tap(SDLK_LEFT);
            input::pointer(x, y);
            EXPECT_EQ(x, (column > 0 ? column - 1 : 0) * 32 + 16);
            EXPECT_EQ(y, row * 32 + 16);
        } else {
            moveTo(column, row);
            clickWith(clicks % 2 ? SDLK_RETURN : SDLK_SPACE, size);
        }
        clicks++;
    }
    ASSERT_TRUE(game->levelOver) << "the board ended";
    printf("keyboard: %d clicks, %d tiles left, score %d\n", clicks, tileCount(), game->score);
    EXPECT_GT(clicks, 10);
    EXPECT_EQ(game->boardCleared, tileCount() == 0);
}

// Space or Return removes the last group and is still down when name entry
// begins: its release types nothing. From then on every key belongs to the
// name, also over a group.
TEST_F(KeyboardPlay, KeysBelongToTheNameWhileItIsTyped)
{
    struct Stroke {
        SDLKey key;
        Uint16 character;
    };
    const Stroke strokes[] = {{SDLK_RIGHT, 0}, {SDLK_a, 'a'}, {SDLK_SPACE, ' '},
                              {SDLK_DOWN, 0},  {SDLK_b, 'b'}, {SDLK_RETURN, 13}};
    for (const Stroke& last : {strokes[5], strokes[2]}) {
        SCOPED_TRACE(last.key);
        resetHighScores();
        start(1);
        openBoard(kPass);
        game->lives = 0;
        game->score = 5000;
        layOutBottom({"11.2..........."});
        pointAt(0, 14);
        input::pressKey(last.key, last.character);
        for (int i = 0; i < 100 && !game->enteringName; i++)
            frame(kPass);
        ASSERT_TRUE(game->enteringName);
        input::releaseKey(last.key);
        frame(kPass);
        EXPECT_FALSE(game->quitRequested);
        EXPECT_STREQ(game->playerName, "");

        layOutBottom({"11............."});
        int x0, y0;
        input::pointer(x0, y0);
        for (const Stroke& stroke : strokes) {
            input::pressKey(stroke.key, stroke.character);
            frame(kPass);
            input::releaseKey(stroke.key);
            frame(kPass);
        }
        int x, y;
        input::pointer(x, y);
        EXPECT_EQ(x, x0) << "the arrows leave the pointer alone";
        EXPECT_EQ(y, y0);
        EXPECT_EQ(game->board[0][14], 1) << "Space and Return click nothing";
        EXPECT_EQ(game->board[1][14], 1);
        EXPECT_TRUE(game->quitRequested);
        EXPECT_STREQ(highScores[0].name, "a b");
        EXPECT_EQ(highScores[0].score, 5002);
        game.reset();
    }
}

}  // namespace
}  // namespace game_test
