// Name entry, leaving the game, the fades and the sounds loaded for a board.
#include <unistd.h>

#include <cstring>
#include <string>

#include "game/GameHarness.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/HighScores.h"

namespace game_test {
namespace {

class GameFlow : public GameHarness {
protected:
    void play()
    {
        start(1);
        openBoard();
    }

    // Ends the board with no life left and a score that enters the table.
    void reachNameEntry(int finalScore)
    {
        play();
        game->lives = 0;
        game->score = finalScore;
        layOutBottom({"1.2............"});
        frame();
        ASSERT_TRUE(game->levelOver);
        ASSERT_TRUE(game->enteringName);
    }

    // Frames until runFrame returns 0; the milliseconds it took, or -1.
    int untilMenu(int delta = 16)
    {
        for (int spent = delta; spent < 30000; spent += delta) {
            if (frame(delta) == 0)
                return spent;
            if (!game->quitRequested && !game->gameOver)
                return -1;
        }
        return -1;
    }
};

TEST_F(GameFlow, NameEntryTypesFromPressesAndReleases)
{
    reachNameEntry(5000);
    EXPECT_EQ(0, game->messageTimer);
    EXPECT_STREQ("", game->playerName);
    EXPECT_EQ(1, plays(kGameOverSound));
    EXPECT_FALSE(game->gameOver);

    typeKey(SDLK_BACKSPACE, 8);  // nothing to drop
    frame();
    EXPECT_STREQ("", game->playerName);

    typeKey(SDLK_a, 'a');
    typeKey(SDLK_b, 'B');
    typeKey(SDLK_SLASH, '?');  // no glyph
    typeKey(SDLK_SPACE, ' ');
    pushKeyPress(SDLK_c, 'c');
    pushKeyRelease(SDLK_c, 'C');  // a release's own character comes first
    pushKeyPress(SDLK_x, 0);
    pushKeyRelease(SDLK_x, 0);  // no translation at all: the key's symbol
    pushKeyPress(SDLK_WORLD_1, 0x141);
    pushKeyRelease(SDLK_WORLD_1, 0);  // not ASCII: its low byte is no letter
    pushKeyPress(SDLK_d, 'd');  // pressed, not yet released
    frame();
    EXPECT_STREQ("aB Cx", game->playerName);

    typeKey(SDLK_BACKSPACE, 8);
    frame();
    EXPECT_STREQ("aB C", game->playerName);

    for (int i = 0; i < 30; i++)
        typeKey(SDLK_z, 'z');
    frame();
    EXPECT_EQ(27u, strlen(game->playerName));
    EXPECT_STREQ("aB Czzzzzzzzzzzzzzzzzzzzzzz", game->playerName);
    EXPECT_EQ(-1, access("scores.qbx", F_OK)) << "nothing written before the name is entered";

    // Return twice in one frame, and once more during the closing fade.
    typeKey(SDLK_RETURN, 13);
    typeKey(SDLK_RETURN, 13);
    frame();
    EXPECT_TRUE(game->quitRequested);
    EXPECT_TRUE(game->inputLocked);
    EXPECT_EQ(255, game->fadeLevel) << "the fade does not move in the frame of the entry";
    EXPECT_EQ(0, frameDelta);
    typeKey(SDLK_RETURN, 13);
    frame();

    EXPECT_STREQ("aB Czzzzzzzzzzzzzzzzzzzzzzz", highScores[0].name);
    EXPECT_EQ(5000, highScores[0].score);
    EXPECT_EQ(0, highScores[0].cleared);
    EXPECT_STREQ(".A.A.A.", highScores[1].name);
    EXPECT_EQ(9, highScores[1].score);
    EXPECT_EQ(8, highScores[2].score) << "entered once";

    // On disk at once, not only when the program ends.
    std::vector<unsigned char> file = testing_support::readFile("scores.qbx");
    ASSERT_EQ(360u, file.size());
    EXPECT_EQ(0, memcmp(file.data(), highScores, 360));

    int spent = untilMenu();
    EXPECT_GT(spent, 1700);
    EXPECT_LT(spent, 1850);
}

TEST_F(GameFlow, NameEntryTakesItsPlaceInTheTable)
{
    insertHighScore(0, "best", 900, 0);
    reachNameEntry(8);  // below 9 and 8 of the defaults: index 3
    typeKey(SDLK_n, 'n');
    typeKey(SDLK_RETURN, 13);
    frame();
    EXPECT_STREQ("best", highScores[0].name);
    EXPECT_EQ(8, highScores[2].score);
    EXPECT_STREQ(".A.A.A.", highScores[2].name);
    EXPECT_STREQ("n", highScores[3].name);
    EXPECT_EQ(8, highScores[3].score);
    EXPECT_EQ(3, highScores[8].score) << "the last record dropped";
}

TEST_F(GameFlow, KeysDuringTheMessageAreLost)
{
    play();
    layOutBottom({"1.2............"});
    frame();
    ASSERT_TRUE(game->levelLost);
    pointAt(0, 14);
    pushClick();
    pushQuit();
    typeKey(SDLK_a, 'a');
    frame();
    EXPECT_FALSE(game->quitRequested) << "a window close during the message is dropped";
    EXPECT_EQ(1, game->board[0][14]);
    EXPECT_STREQ("", game->playerName);
}

TEST_F(GameFlow, EscapeIgnoredDuringTheOpeningFade)
{
    start(1);
    input::pressKey(SDLK_ESCAPE);
    int frames = openBoard();
    EXPECT_EQ(80, frames);
    EXPECT_FALSE(game->quitRequested);
    EXPECT_EQ(256, game->fadeLevel);
    // Held on, it counts from the first frame of play.
    frame();
    EXPECT_TRUE(game->quitRequested);
    EXPECT_EQ(255, game->fadeLevel);
    EXPECT_EQ(-1, game->fadeDir);
    input::releaseKey(SDLK_ESCAPE);
    EXPECT_GT(untilMenu(), 0);
}

TEST_F(GameFlow, EscapeDuringTheMessageLeavesAtOnce)
{
    play();
    layOutBottom({"1.2............"});
    frame();
    ASSERT_TRUE(game->levelLost);
    frame(100);
    input::pressKey(SDLK_ESCAPE);
    frame();
    input::releaseKey(SDLK_ESCAPE);
    EXPECT_TRUE(game->quitRequested);
    int spent = untilMenu();
    // Only the closing fade: 355 levels at 5 ms each, in 16 ms frames.
    EXPECT_EQ(111 * 16, spent);
    EXPECT_EQ(3, game->lives) << "leaving costs no life";
}

TEST_F(GameFlow, EscapeDuringNameEntryEntersNothing)
{
    reachNameEntry(5000);
    typeKey(SDLK_a, 'a');
    frame();
    input::pressKey(SDLK_ESCAPE);
    frame();
    input::releaseKey(SDLK_ESCAPE);
    EXPECT_GT(untilMenu(), 0);
    EXPECT_EQ(9, highScores[0].score);
    EXPECT_EQ(-1, access("scores.qbx", F_OK));
}

TEST_F(GameFlow, WindowCloseLeavesAfterTheFade)
{
    start(1);
    pushQuit();
    frame();
    EXPECT_FALSE(game->quitRequested) << "input is locked while the board opens";
    openBoard();
    pushQuit();
    frame();
    EXPECT_TRUE(game->quitRequested);
    EXPECT_TRUE(game->inputLocked);
    EXPECT_EQ(-1, game->fadeDir);
    // Clicks during the closing fade change nothing.
    int score = game->score;
    layOutBottom({"11............."});
    clickCell(0, 14);
    EXPECT_EQ(score, game->score);
    EXPECT_GT(untilMenu(), 0);
}

TEST_F(GameFlow, FadeTimings)
{
    start(1);
    // 0 to 256 at 0.2 levels per ms: 1280 ms.
    EXPECT_EQ(80, openBoard(16));
    EXPECT_EQ(0, game->fadeDir);
    EXPECT_FALSE(game->inputLocked);
    game.reset();

    // Frames of 4 ms would truncate every step to 0; the remainder carries.
    start(1);
    EXPECT_EQ(320, openBoard(4));
    game.reset();
    start(1);
    EXPECT_EQ(427, openBoard(3));
    game.reset();

    start(1);
    frame(5);
    EXPECT_EQ(1, game->fadeLevel);
    frame(100);
    EXPECT_EQ(21, game->fadeLevel);
    frame(2);
    frame(2);
    EXPECT_EQ(21, game->fadeLevel);
    frame(1);
    EXPECT_EQ(22, game->fadeLevel);
    openBoard();

    // A lost board: message, closing fade, then the next board from -80.
    layOutBottom({"1.2............"});
    frame();
    int messageMs = 0;
    while (game->fadeDir != -1) {
        frame(16);
        messageMs += 16;
    }
    EXPECT_EQ(5008, messageMs) << "the message stays until its timer is below 0";
    int closingMs = 16;
    while (game->fadeDir == -1) {
        ASSERT_EQ(1, frame(16));
        closingMs += 16;
    }
    // The fade started in the frame the message ended; 1775 ms in all.
    EXPECT_EQ(111 * 16, closingMs);
    EXPECT_EQ(-80, game->fadeLevel);
    EXPECT_EQ(2, game->lives);
    // 336 levels from -80: 1680 ms.
    EXPECT_EQ(105, openBoard(16));
}

TEST_F(GameFlow, BlackScreenBelowZeroAndMusicVolumeFollowsTheFade)
{
    start(1);
    if (!game->music.module)
        GTEST_SKIP() << "no audio device";
    EXPECT_TRUE(game->music.playing);
    frame(100);
    EXPECT_EQ(20, game->fadeLevel);
    EXPECT_EQ(20, game->music.module->volume);
    frame(100);
    frame(100);
    frame(100);
    EXPECT_EQ(80, game->fadeLevel);
    EXPECT_EQ(63, game->music.module->volume);
    openBoard(100);
    EXPECT_EQ(63, game->music.module->volume);

    // Leave: the volume falls over the last 63 levels, the screen goes black.
    input::pressKey(SDLK_ESCAPE);
    frame(16);
    input::releaseKey(SDLK_ESCAPE);
    while (game->fadeLevel > 40)
        frame(16);
    EXPECT_EQ(game->fadeLevel, game->music.module->volume);
    while (game->fadeLevel >= 0)
        frame(16);
    EXPECT_EQ(0, game->music.module->volume);
    SDL_LockSurface(screen);
    bool black = true;
    for (int y = 0; y < 480 && black; y++) {
        const Uint32* row = (const Uint32*)((const Uint8*)screen->pixels + y * screen->pitch);
        for (int x = 0; x < 640; x++)
            if (row[x] & 0xFFFFFF)
                black = false;
    }
    SDL_UnlockSurface(screen);
    EXPECT_TRUE(black);
}

TEST_F(GameFlow, BoardAssetsAndSoundsLoaded)
{
    start(1);
    if (!game->music.module)
        GTEST_SKIP() << "no audio device";
    for (int i = 0; i < kGameSoundCount; i++)
        EXPECT_NE(nullptr, game->sample(i).sample) << i;
    EXPECT_TRUE(game->music.playing);
    game->freeAssets();
    EXPECT_FALSE(game->music.playing);
    EXPECT_NE(nullptr, game->music.module) << "freeAssets only stops the music";
    EXPECT_NE(nullptr, game->bipSound.sample);
}

}  // namespace
}  // namespace game_test
