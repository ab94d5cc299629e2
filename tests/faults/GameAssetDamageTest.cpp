// The game's own assets, damaged: the Game is made in-process as the main
// loop makes it (after a click on Play), with the damaged data.pak in the
// working directory, and the Error it throws must name the member.
#include <algorithm>
#include <memory>
#include <regex>
#include <vector>

#include "audio/Audio.h"
#include "faults/FaultsFixture.h"
#include "game/Game.h"
#include "core/AppState.h"
#include "core/Error.h"

namespace faults {
namespace {

class GameAssetDamage : public FaultsFixture {
protected:
    void SetUp() override
    {
        FaultsFixture::SetUp();
        testing_support::openDummyScreen(32);
        // The dummy device, so the music and the samples really load.
        audioInit(44100, 16, 4096, 4, false);
        ASSERT_TRUE(audioReady);
    }

    void TearDown() override
    {
        audioShutdown();
        testing_support::closeDummyScreen();
        FaultsFixture::TearDown();
    }

    // The text of the Error that making a Game throws, or "" when none.
    std::string errorOfNewGame()
    {
        srand(11);
        try {
            Game game;
        } catch (const Error& error) {
            return error.text;
        }
        return "";
    }
};

TEST_F(GameAssetDamage, IntactArchiveLoads)
{
    packIntact();
    EXPECT_EQ("", errorOfNewGame());
}

TEST_F(GameAssetDamage, MissingArchive)
{
    EXPECT_EQ("Cannot Load PAK: 'data.pak'", errorOfNewGame());
}

TEST_F(GameAssetDamage, TruncatedBackground)
{
    // Level 1 plays theme 2.
    packWith({{"theme2/back.bmp", {truncatedHalf(original("theme2/back.bmp"))}}});
    EXPECT_EQ("Cannot Load Bitmap: 'theme2/back.bmp'", errorOfNewGame());
}

TEST_F(GameAssetDamage, TruncatedToItsHeader)
{
    packWith({{"numbers.bmp", {original("numbers.bmp").substr(0, 54)}}});
    EXPECT_EQ("Cannot Load Bitmap: 'numbers.bmp'", errorOfNewGame());
}

TEST_F(GameAssetDamage, PanelThatIsNotABitmap)
{
    packWith({{"right.bmp", {notABitmap()}}});
    EXPECT_EQ("Cannot Load Bitmap: 'right.bmp'", errorOfNewGame());
}

TEST_F(GameAssetDamage, EmptyPicture)
{
    packWith({{"5000.bmp", {""}}});
    EXPECT_EQ("Cannot Load Bitmap: '5000.bmp'", errorOfNewGame());
}

TEST_F(GameAssetDamage, ScrambledCompressedData)
{
    MemberChange scrambled;
    scrambled.scrambled = true;
    packWith({{"theme2/r.bmp", scrambled}});
    EXPECT_EQ("Cannot Write 'theme2/r.bmp' (from PAK)", errorOfNewGame());
}

TEST_F(GameAssetDamage, MissingPicture)
{
    packWith({{"bonus/sb.bmp", {"", true}}});
    EXPECT_EQ("Cannot Load 'bonus/sb.bmp' from PAK", errorOfNewGame());
}

// A short mask fills its own bytes: the rest is zero in a new game and the
// previous board's in a later one.
TEST_F(GameAssetDamage, ShortWipeMaskFillsOnlyItsOwnBytes)
{
    std::map<std::string, MemberChange> changes;
    for (int i = 0; i < 10; i++)
        changes["wipe" + std::to_string(i) + ".raw"].bytes = std::string(1000, '\x40');
    packWith(changes);
    srand(11);
    Game game;
    std::vector<unsigned char> expected(kWipeMaskSize, 0);
    std::fill(expected.begin(), expected.begin() + 1000, 0x40);
    EXPECT_EQ(std::vector<unsigned char>(game.wipeMask, game.wipeMask + kWipeMaskSize), expected);

    std::fill(game.wipeMask, game.wipeMask + kWipeMaskSize, 0x77);
    game.freeAssets();
    game.startBoard();
    std::fill(expected.begin() + 1000, expected.end(), 0x77);
    EXPECT_EQ(std::vector<unsigned char>(game.wipeMask, game.wipeMask + kWipeMaskSize), expected);
}

TEST_F(GameAssetDamage, GarbageModule)
{
    std::map<std::string, MemberChange> changes;
    for (int i = 1; i <= 6; i++)
        changes["sound/" + std::to_string(i) + ".zik"].bytes = garbage(30000, i);
    packWith(changes);
    std::string text = errorOfNewGame();
    EXPECT_TRUE(std::regex_match(text, std::regex("Cannot Load Module: 'sound/[1-6]\\.zik' \\([^)]+\\)")))
        << text;
}

TEST_F(GameAssetDamage, GarbageSample)
{
    packWith({{"sound/bip.wav", {garbage(5000, 9)}}});
    EXPECT_EQ("Couldn't Load Sample: sound/bip.wav\n", errorOfNewGame());
}

TEST_F(GameAssetDamage, SampleThatIsNotAWave)
{
    packWith({{"sound/gameover.wav", {notABitmap()}}});
    EXPECT_EQ("Couldn't Load Sample: sound/gameover.wav\n", errorOfNewGame());
}

TEST_F(GameAssetDamage, MissingSample)
{
    packWith({{"sound/life.wav", {"", true}}});
    EXPECT_EQ("Cannot Load 'sound/life.wav' from PAK", errorOfNewGame());
}

// Level 2 plays theme 3: the damage shows when the second board opens, in
// the middle of a game whose pictures are then half loaded.
TEST_F(GameAssetDamage, DamageFoundWhenTheNextBoardOpens)
{
    packWith({{"theme3/sg.bmp", {notABitmap()}}});
    srand(5);
    std::unique_ptr<Game> game(new Game);
    game->freeAssets();
    game->level = 2;
    try {
        game->startBoard();
        ADD_FAILURE() << "theme 3 loaded";
    } catch (const Error& error) {
        EXPECT_STREQ("Cannot Load Bitmap: 'theme3/sg.bmp'", error.text);
    }
    EXPECT_EQ(3, game->theme);
    // What was loaded before the failure goes with the game.
    game.reset();
}

// Without a sound device nothing is loaded, so damaged sound does not matter.
TEST_F(GameAssetDamage, GarbageSoundIsNeverReadWithoutADevice)
{
    audioShutdown();
    std::map<std::string, MemberChange> changes;
    for (int i = 1; i <= 6; i++)
        changes["sound/" + std::to_string(i) + ".zik"].bytes = garbage(30000, i);
    changes["sound/bip.wav"].bytes = garbage(5000, 9);
    packWith(changes);
    testing_support::CapturedStream out(1);
    EXPECT_EQ("", errorOfNewGame());
    EXPECT_EQ("Cannot Load Module\n", out.text());
}

}  // namespace
}  // namespace faults
