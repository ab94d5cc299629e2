// The rules of play through runFrame: clicks, bonuses, timers, board ends.
#include <cstring>
#include <vector>

#include "game/GameHarness.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/HighScores.h"

namespace game_test {
namespace {

class GameRules : public GameHarness {
protected:
    // Starts a game and plays its opening fade.
    void play(unsigned seed = 1)
    {
        start(seed);
        openBoard();
    }

    // Frames until the board has ended; false when it did not.
    bool untilBoardEnds(int limit = 100)
    {
        for (int i = 0; i < limit && !game->levelOver; i++)
            frame();
        return game->levelOver;
    }
};

TEST_F(GameRules, GroupPointsAndPreview)
{
    play();
    struct Case {
        const char* row;
        int column;
        int preview;
        int points;
    } cases[] = {
        {"33.11..........", 0, 4, 2},
        {"333.11.........", 1, 9, 4},
        {"33333333333.11.", 4, 121, 60},
        {"3333333333..11.", 9, 100, 50},
    };
    for (const Case& c : cases) {
        game->score = game->levelScore = 0;
        settleFrames = 0;
        layOutBottom({c.row});
        int bips = plays(kBipSound);
        clickCell(c.column, 14);
        EXPECT_EQ(c.preview, game->previewPoints) << c.row;
        EXPECT_EQ(c.points, game->score) << c.row;
        EXPECT_EQ(c.points, game->levelScore) << c.row;
        EXPECT_EQ(bips + 1, plays(kBipSound)) << c.row;
        EXPECT_EQ(15, settleFrames);
        // Four seconds from the click; the click's own frame already counts.
        EXPECT_EQ(4000 - 16, game->idleTimer);
    }

    // The whole board as one group.
    game->score = game->levelScore = 0;
    layOut({"111111111111111", "111111111111111", "111111111111111", "111111111111111",
            "111111111111111", "111111111111111", "111111111111111", "111111111111111",
            "111111111111111", "111111111111111", "111111111111111", "111111111111111",
            "111111111111111", "111111111111111", "111111111111111"});
    clickCell(7, 7);
    EXPECT_EQ(225 * 225, game->previewPoints);
    EXPECT_EQ(25312, game->score);
}

TEST_F(GameRules, NothingSelectedRemovesNothing)
{
    play();
    layOutBottom({"1.2.3.11......."});
    int bips = plays(kBipSound);
    game->idleTimer = 7000;
    clickCell(0, 14);  // a lone tile
    clickCell(10, 14);  // an empty cell
    pointAtPixel(500, 460);  // the panel
    pushClick();
    frame();
    EXPECT_EQ(0, game->score);
    EXPECT_EQ(bips, plays(kBipSound));
    EXPECT_EQ(1, game->board[0][14]);
    // Even a press that removes nothing holds the end-of-board test off.
    EXPECT_EQ(15, settleFrames);
    EXPECT_LT(game->idleTimer, 7000);
}

TEST_F(GameRules, AnyButtonAndWheelClick)
{
    play();
    layOutBottom({"11.22.33.......", "11.22.33......."});
    pointAt(6, 14);
    pushClick(SDL_BUTTON_RIGHT);
    frame();
    EXPECT_EQ(8, game->score);
    pointAt(3, 14);
    pushClick(SDL_BUTTON_WHEELDOWN);
    frame();
    EXPECT_EQ(16, game->score);
}

TEST_F(GameRules, TwoPressesInOneFrameScoreOnce)
{
    play();
    layOutBottom({"11111.22.......", "333333333333333"});
    pointAt(2, 13);
    pushClick();
    pushClick();
    frame();
    EXPECT_EQ(12, game->score);
    EXPECT_EQ(1, plays(kBipSound));
    EXPECT_EQ(kEmpty, game->board[0][13]);
    EXPECT_EQ(3, game->board[0][14]);
}

TEST_F(GameRules, ClickWhileColumnsMoveTakesTheGroupUnderThePointer)
{
    play();
    // Column 0 is empty, so both columns move left in the next frame.
    layOutBottom({".13............", ".12............", ".12............"});
    pointAt(1, 14);
    pushClick();
    frame();
    // The twos that moved under the pointer go, not whatever now stands
    // where the ones were marked before the move.
    EXPECT_EQ(2, game->score);
    EXPECT_EQ(1, game->board[0][12]);
    EXPECT_EQ(1, game->board[0][14]);
    EXPECT_EQ(3, game->board[1][12]);
    EXPECT_EQ(kEmpty, game->board[1][14]);
}

// Two groups of ten and a points bonus standing on a full bottom row, so that
// removing one moves no column.
const std::initializer_list<const char*> kCapBoard = {
    "...............", "...............", "...............", "...............",
    ".............13", ".............13", ".............13", ".............13",
    ".............13", ".............13", ".............13", ".............13",
    "............313", "............P13", "121212121212121"};

TEST_F(GameRules, ScoreCapAndPointsBonusPassingIt)
{
    play();
    layOut(kCapBoard);
    game->score = 999998;
    game->levelScore = 0;
    clickCell(14, 10);
    EXPECT_EQ(999998 + 50, game->score);
    EXPECT_EQ(50, game->levelScore);
    clickCell(13, 10);
    EXPECT_EQ(999998 + 50, game->score);
    EXPECT_EQ(50, game->levelScore);
    EXPECT_EQ(2, plays(kBipSound));

    clickCell(12, 13);
    int bonus = game->score - (999998 + 50);
    EXPECT_TRUE(bonus == 500 || bonus == 1000) << bonus;
    EXPECT_EQ(50 + bonus, game->levelScore);
    EXPECT_EQ(bonus == 1000 ? kBonusThousand : kBonusFiveHundred, game->lastBonus);
    EXPECT_EQ(1, plays(kPointsSound));
    EXPECT_EQ(2, plays(kBipSound));
    EXPECT_EQ(255.0, game->pointsTimer);
}

TEST_F(GameRules, PointsBonusIsEvenOrOddDraw)
{
    // Over several seeds both amounts turn up, each matching its banner.
    bool seen500 = false, seen1000 = false;
    for (unsigned seed = 1; seed <= 12 && !(seen500 && seen1000); seed++) {
        play(seed);
        layOutBottom({"P3.11.........."});
        clickCell(0, 14);
        int bonus = game->score - 2;
        if (bonus == 500) {
            seen500 = true;
            EXPECT_EQ(kBonusFiveHundred, game->lastBonus);
        } else {
            EXPECT_EQ(1000, bonus);
            seen1000 = true;
            EXPECT_EQ(kBonusThousand, game->lastBonus);
        }
        game.reset();
    }
    EXPECT_TRUE(seen500 && seen1000);
}

TEST_F(GameRules, DoubleBonusPaysTwiceWithItsOwnSound)
{
    play();
    layOutBottom({"..............1", "..............D", "..............1", "232323232323232"});
    game->addLineBannerTimer = 100.0;
    clickCell(14, 12);
    EXPECT_EQ(8, game->score);
    EXPECT_EQ(8, game->levelScore);
    EXPECT_EQ(kBonusDouble, game->lastBonus);
    EXPECT_EQ(1, plays(kDoubleSound));
    EXPECT_EQ(0, plays(kBipSound));
    EXPECT_EQ(255.0, game->doubleTimer);
    EXPECT_EQ(0.0, game->addLineBannerTimer);
    // The banner runs down by 0.1 per ms.
    frame(100);
    EXPECT_DOUBLE_EQ(245.0, game->doubleTimer);
}

TEST_F(GameRules, LastBonusInRowOrderWins)
{
    play();
    // Tiles of one kind only join by colour; lay the marks out directly.
    struct Case {
        int32_t first, second;
        int winner;
    } cases[] = {{kDoubleTile, kPointsTile, kPointsTile},
                 {kPointsTile, kDoubleTile, kDoubleTile},
                 {kPointsTile, kAddLinesTile, kAddLinesTile}};
    for (const Case& c : cases) {
        layOutBottom({"...............", "..............."});
        memset(game->selected, 0, sizeof game->selected);
        // Row 13 comes before row 14 whatever the columns.
        game->board[9][13] = c.first;
        game->board[2][14] = c.second;
        game->board[3][14] = 1;
        game->selected[9][13] = game->selected[2][14] = game->selected[3][14] = 1;
        game->score = game->levelScore = 0;
        game->doubleTimer = game->addLineBannerTimer = game->pointsTimer = 0.0;
        game->linesToAdd = 0;
        resetPlays();
        game->click();
        EXPECT_EQ(c.winner == kDoubleTile ? 255.0 : 0.0, game->doubleTimer);
        EXPECT_EQ(c.winner == kPointsTile ? 255.0 : 0.0, game->pointsTimer);
        EXPECT_EQ(c.winner == kAddLinesTile ? 255.0 : 0.0, game->addLineBannerTimer);
        if (c.winner == kDoubleTile) {
            EXPECT_EQ(8, game->score);
            EXPECT_EQ(1, plays(kDoubleSound));
            EXPECT_EQ(0, plays(kPointsSound));
        } else if (c.winner == kPointsTile) {
            EXPECT_TRUE(game->score == 504 || game->score == 1004) << game->score;
            EXPECT_EQ(0, plays(kDoubleSound));
            EXPECT_EQ(1, plays(kPointsSound));
        } else {
            EXPECT_EQ(4, game->score);
            EXPECT_EQ(8, game->linesToAdd);
            EXPECT_EQ(0, plays(kPointsSound));
        }
    }
}

TEST_F(GameRules, AddLinesDropsEightRowsSkippingFullTops)
{
    play();
    // Column 5 is full to the top; the bonus group sits bottom right.
    layOut({".....1.........", ".....2.........", ".....1.........", ".....2.........",
            ".....1.........", ".....2.........", ".....1.........", ".....2.........",
            ".....1.........", ".....2.........", ".....1.........", ".....2.........",
            ".....1.........", ".....2........2", "31313131313131A"});
    clickCell(14, 14);
    EXPECT_EQ(8, game->linesToAdd);
    EXPECT_EQ(kBonusAddLines, game->lastBonus);
    EXPECT_EQ(255.0, game->addLineBannerTimer);
    EXPECT_EQ(0, plays(kAddLineSound));
    EXPECT_EQ(0, plays(kBipSound));

    // The row timer was left at 0, so the first row comes in the next frame.
    int times[8];
    int rows = 0;
    int clock = 0;
    while (rows < 8 && clock < 5000) {
        frame(25);
        clock += 25;
        if (plays(kAddLineSound) > rows) {
            ASSERT_EQ(rows + 1, plays(kAddLineSound));
            times[rows++] = clock;
            // The new tiles stand in the top row for one frame.
            for (int c = 0; c < kBoardSize; c++) {
                if (c == 5)
                    EXPECT_EQ(1, game->board[c][0]) << "the full column keeps its top";
                else
                    EXPECT_TRUE(game->board[c][0] >= 1 && game->board[c][0] <= 3) << c;
            }
        }
    }
    ASSERT_EQ(8, rows);
    EXPECT_EQ(25, times[0]);
    for (int i = 1; i < 8; i++)
        EXPECT_EQ(225, times[i] - times[i - 1]) << "200 ms, then the first frame below 0";
    EXPECT_EQ(0, game->linesToAdd);
    frame(1000);
    EXPECT_EQ(8, plays(kAddLineSound));
}

TEST_F(GameRules, AddedRowsRunIntoTheNextBoard)
{
    play();
    layOutBottom({"121212121212121"});
    ASSERT_TRUE(untilBoardEnds());
    ASSERT_TRUE(game->levelLost);
    game->linesToAdd = 3;
    game->addLineTimer = 7000;  // outlasts the message and the closing fade
    ASSERT_GT(runUntilLeft(), 0);
    EXPECT_EQ(3, game->linesToAdd) << "a new board keeps the rows to come";
    EXPECT_EQ(2, game->lives);
    int rowsBefore = plays(kAddLineSound);
    for (int i = 0; i < 200 && game->linesToAdd > 0; i++)
        frame(25);
    EXPECT_EQ(0, game->linesToAdd);
    EXPECT_EQ(rowsBefore + 3, plays(kAddLineSound));
}

TEST_F(GameRules, IdlePenaltyAfterTenSecondsThenEverySecond)
{
    start();
    // The opening fade counts towards the ten seconds.
    std::vector<int> penalties;
    int clock = 0;
    game->score = game->levelScore = 250;
    while (clock < 14000) {
        int before = game->idleTimer;
        frame(10);
        clock += 10;
        if (before < 0 && game->idleTimer == 999)
            penalties.push_back(clock);
    }
    ASSERT_GE(penalties.size(), 4u);
    // 10000 ms to run out, one frame below 0, the penalty in the next.
    EXPECT_EQ(10020, penalties[0]);
    EXPECT_EQ(1010, penalties[1] - penalties[0]);
    EXPECT_EQ(1010, penalties[2] - penalties[1]);
    // 250, 150, 50, then the floor: score and levelScore both 0.
    EXPECT_EQ(0, game->score);
    EXPECT_EQ(0, game->levelScore);
    // The time sound only while there was something to take.
    EXPECT_EQ(3, plays(kTimeSound));
}

TEST_F(GameRules, IdlePenaltyStepsAndFloor)
{
    play();
    game->score = 150;
    game->levelScore = 40;
    game->idleTimer = 5;
    frame(10);
    EXPECT_EQ(-5, game->idleTimer);
    EXPECT_EQ(150, game->score);
    frame(10);
    EXPECT_EQ(50, game->score);
    EXPECT_EQ(-60, game->levelScore);
    EXPECT_EQ(999, game->idleTimer);
    EXPECT_EQ(1, plays(kTimeSound));

    game->idleTimer = -1;
    frame(10);
    EXPECT_EQ(0, game->score);
    EXPECT_EQ(0, game->levelScore) << "levelScore follows the score to 0";
    EXPECT_EQ(2, plays(kTimeSound));

    // At 0 the penalty still comes, silently, and the floor holds.
    game->idleTimer = -1;
    frame(10);
    EXPECT_EQ(0, game->score);
    EXPECT_EQ(2, plays(kTimeSound));

    // A click gives four seconds.
    layOutBottom({"11.22.........."});
    clickCell(0, 14);
    EXPECT_EQ(4000 - 16, game->idleTimer);

    // A timer at -1234 or below is left alone.
    game->idleTimer = -1234;
    int score = game->score;
    frame(10);
    EXPECT_EQ(-1234, game->idleTimer);
    EXPECT_EQ(score, game->score);
}

TEST_F(GameRules, ClearedBoardWithExtraLife)
{
    play();
    layOutBottom({"11............."});
    game->score = 50000;
    game->levelScore = 11998;
    clickCell(0, 14);
    EXPECT_EQ(12000, game->levelScore);
    // Fifteen frames without the test, then the board ends.
    for (int i = 0; i < 15; i++) {
        frame();
        ASSERT_FALSE(game->levelOver) << i;
    }
    frame();
    ASSERT_TRUE(game->levelOver);
    EXPECT_TRUE(game->boardCleared);
    EXPECT_TRUE(game->levelWon);
    EXPECT_TRUE(game->bonusLifeAwarded);
    EXPECT_EQ(4, game->lives);
    EXPECT_EQ(60002, game->score);
    EXPECT_EQ(12000, game->levelScore) << "the 10000 are not board points";
    EXPECT_EQ(1, plays(kPerfectSound));
    EXPECT_EQ(0, plays(kLifeSound));
    EXPECT_EQ(5000, game->messageTimer);

    EXPECT_GT(runUntilLeft(), 0);
    EXPECT_EQ(2, game->level);
    EXPECT_EQ(3, game->theme);
    EXPECT_EQ(4, game->lives);
    EXPECT_EQ(0, game->levelScore);
    EXPECT_FALSE(game->levelOver);
    EXPECT_EQ(-80, game->fadeLevel);
}

TEST_F(GameRules, LivesCapAtNinetyNine)
{
    play();
    layOutBottom({"11............."});
    game->lives = 99;
    game->levelScore = 20000;
    clickCell(0, 14);
    ASSERT_TRUE(untilBoardEnds());
    EXPECT_TRUE(game->bonusLifeAwarded);
    EXPECT_EQ(99, game->lives);
}

TEST_F(GameRules, LostBoardCostsALife)
{
    play();
    layOutBottom({"11.2..........."});
    clickCell(0, 14);
    ASSERT_TRUE(untilBoardEnds());
    EXPECT_TRUE(game->levelLost);
    EXPECT_FALSE(game->boardCleared);
    EXPECT_FALSE(game->bonusLifeAwarded);
    EXPECT_EQ(1, plays(kLostSound));
    EXPECT_EQ(3, game->lives);
    EXPECT_GT(runUntilLeft(), 0);
    EXPECT_EQ(2, game->lives);
    EXPECT_EQ(1, game->level);
    EXPECT_EQ(2, game->theme);
}

TEST_F(GameRules, LastLifeSavedByBoardScore)
{
    play();
    game->lives = 0;
    game->levelScore = 10000;
    layOutBottom({"1.2............"});
    frame();
    ASSERT_TRUE(game->levelOver);
    EXPECT_TRUE(game->bonusLifeAwarded);
    EXPECT_TRUE(game->levelLost);
    EXPECT_FALSE(game->gameOver);
    EXPECT_FALSE(game->enteringName);
    EXPECT_EQ(1, plays(kLostSound));
    EXPECT_EQ(0, plays(kGameOverSound));
    EXPECT_GT(runUntilLeft(), 0);
    EXPECT_EQ(0, game->lives);
}

TEST_F(GameRules, GameOverWithoutPlaceInTable)
{
    play();
    game->lives = 0;
    game->score = 1;  // equal to the lowest record: not enough
    layOutBottom({"1.2............"});
    frame();
    ASSERT_TRUE(game->levelOver);
    EXPECT_TRUE(game->gameOver);
    EXPECT_FALSE(game->enteringName);
    EXPECT_EQ(1, plays(kGameOverSound));
    int spent = runUntilLeft();
    // The message stays five seconds, then the closing fade.
    EXPECT_GT(spent, 5000 + 1700);
    EXPECT_LT(spent, 5000 + 1900);
    EXPECT_EQ(1, highScores[8].score);
}

TEST_F(GameRules, ShownScoreEases)
{
    play();
    game->score = 1000;
    game->shownScore = 0;
    int expected[] = {125, 234, 329};
    for (int value : expected) {
        frame();
        EXPECT_EQ(value, game->shownScore);
    }
    int previous = game->shownScore;
    for (int i = 0; i < 200 && game->shownScore != 1000; i++) {
        frame();
        EXPECT_GT(game->shownScore, previous);
        // Within eight points it moves one at a time.
        if (previous >= 1000 - 8) {
            EXPECT_EQ(previous + 1, game->shownScore);
        }
        previous = game->shownScore;
    }
    EXPECT_EQ(1000, game->shownScore);

    game->score = 100;
    frame();
    EXPECT_EQ(1000 - 900 / 8, game->shownScore);
    for (int i = 0; i < 200; i++)
        frame();
    EXPECT_EQ(100, game->shownScore);
}

}  // namespace
}  // namespace game_test
