// A bot that always takes the largest group plays whole games headless,
// board after board, until each game is over, and signs the score table.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "game/BoardLayout.h"
#include "game/GameHarness.h"
#include "core/AppState.h"
#include "core/HighScores.h"

namespace game_test {
namespace {

struct BotRecord {
    int boards = 0;
    int won = 0;
    int lost = 0;
    int extraLives = 0;
    int namesEntered = 0;
    int gameOvers = 0;
    int clicks = 0;
    std::set<int> themes;
    int highestLevel = 1;
};

class GameBot : public GameHarness {
protected:
    void typeName(const char* name)
    {
        for (const char* p = name; *p; p++)
            typeKey((SDLKey)(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p), (Uint16)*p);
        typeKey(SDLK_RETURN, 13);
    }

    // Plays one game to its end; returns the final score.
    int playGame(unsigned seed, const char* name, BotRecord& record)
    {
        start(seed);
        record.themes.insert(game->theme);
        bool wasOver = false;
        bool typed = false;
        for (int frames = 0; frames < 400000; frames++) {
            if (game->enteringName && !game->inputLocked && !typed) {
                typeName(name);
                typed = true;
            } else if (!game->inputLocked && !game->levelOver && settled(game->board)) {
                int c, r;
                if (largestGroup(game->board, c, r) > 0) {
                    pointAt(c, r);
                    pushClick();
                    record.clicks++;
                }
            }
            int finalScore = game->score;
            if (frame(100) == 0) {
                if (typed)
                    record.namesEntered++;
                else
                    record.gameOvers++;
                return finalScore;
            }
            if (game->levelOver && !wasOver) {
                record.boards++;
                if (game->levelWon)
                    record.won++;
                else if (game->levelLost)
                    record.lost++;
                if (game->bonusLifeAwarded)
                    record.extraLives++;
            }
            wasOver = game->levelOver;
            record.themes.insert(game->theme);
            if (game->level > record.highestLevel)
                record.highestLevel = game->level;
            EXPECT_GE(game->score, 0);
            EXPECT_GE(game->lives, 0);
        }
        ADD_FAILURE() << "game " << seed << " did not end";
        return -1;
    }
};

TEST_F(GameBot, PlaysWholeGamesAndSignsTheTable)
{
    BotRecord record;
    int played = 0;
    // Games until a board has been cleared (a new level and theme).
    for (unsigned seed = 1; seed <= 8 && record.won == 0; seed++) {
        char name[16];
        snprintf(name, sizeof name, "Bot%u", seed);
        int entered = record.namesEntered;
        int finalScore = playGame(seed, name, record);
        ASSERT_GE(finalScore, 0);
        played++;
        game.reset();
        printf("game %u: score %d, boards %d, cleared %d\n", seed, finalScore, record.boards,
               record.won);

        ASSERT_EQ(entered + 1, record.namesEntered) << "any bot score beats the default table";
        // The record is in the table and, at once, in the file.
        int found = -1;
        for (int i = 0; i < kHighScoreCount; i++)
            if (strcmp(highScores[i].name, name) == 0)
                found = i;
        ASSERT_GE(found, 0) << name;
        EXPECT_EQ(finalScore, highScores[found].score);
        EXPECT_EQ(0, highScores[found].cleared);
        std::vector<unsigned char> file = testing_support::readFile("scores.qbx");
        ASSERT_EQ(360u, file.size());
        EXPECT_EQ(0, memcmp(file.data(), highScores, 360));
    }

    // One more game against a table it cannot enter.
    std::vector<unsigned char> before = testing_support::readFile("scores.qbx");
    for (int i = 0; i < kHighScoreCount; i++)
        insertHighScore(i, "Champion", 999999, 0);
    playGame(100, "Nobody", record);
    played++;
    game.reset();
    EXPECT_EQ(1, record.gameOvers);
    EXPECT_EQ(before, testing_support::readFile("scores.qbx")) << "nothing entered, nothing saved";

    printf("bot: %d games, %d boards (%d cleared, %d lost, %d extra lives), %d clicks, "
           "highest level %d, %d themes, %d names, %d without a place\n",
           played, record.boards, record.won, record.lost, record.extraLives, record.clicks,
           record.highestLevel, (int)record.themes.size(), record.namesEntered,
           record.gameOvers);

    EXPECT_GT(record.won, 0) << "a cleared board moves to the next level";
    EXPECT_GT(record.highestLevel, 1);
    EXPECT_GE(record.themes.size(), 2u);
    EXPECT_GT(record.lost, 0);
    EXPECT_EQ(record.namesEntered + record.gameOvers, played);
    // Every board ends won or lost; a game ends on its last lost board.
    EXPECT_EQ(record.boards, record.won + record.lost + played);
}

}  // namespace
}  // namespace game_test
