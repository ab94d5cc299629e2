// The real game over a damaged data.pak, from start-up to the title menu:
// each damage ends the run with an Error naming what was wrong, reported on
// standard error, exit status 0, and the score table from the earlier run
// left byte for byte as it was.
#include <regex>

#include "faults/FaultsFixture.h"

namespace faults {
namespace {

class StartupDamage : public FaultsFixture {
protected:
    GameResult run()
    {
        writeScores();
        GameRun game;
        game.folder = scratch->path();
        // Menu damage shows once the logos are over; a run that gets past it
        // is asked to quit, which the expectations then catch.
        game.quitAfterMs = 20000;
        return runGame(game);
    }

    static std::map<std::string, MemberChange> allOf(const char* format, int first, int last,
                                                     const std::string& bytes)
    {
        std::map<std::string, MemberChange> changes;
        for (int i = first; i <= last; i++) {
            char name[64];
            snprintf(name, sizeof name, format, i);
            changes[name].bytes = bytes;
        }
        return changes;
    }
};

TEST_F(StartupDamage, MissingArchive)
{
    GameResult result = run();
    expectReportedError(result, "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");
    expectScoresKept();
    expectNoLeaksReported();
}

TEST_F(StartupDamage, TruncatedIcon)
{
    packWith({{"icon.bmp", {truncatedHalf(original("icon.bmp"))}}});
    GameResult result = run();
    expectReportedError(result, "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");
    expectScoresKept();
    expectNoLeaksReported();
}

TEST_F(StartupDamage, ArchiveThatIsNotAZip)
{
    testing_support::writeFile(scratch->path() + "/data.pak", garbage(100000, 7));
    GameResult result = run();
    expectReportedError(result, "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");
    expectScoresKept();
    expectNoLeaksReported();
}

// A mask shorter than the screen's blocks still wipes: the logos and the
// menu come up, and the quit request then closes the game.
TEST_F(StartupDamage, ShortWipeMasksStillOpenTheLogosAndTheMenu)
{
    std::string mask = original("wipe0.raw");
    packWith(allOf("wipe%i.raw", 0, 9, mask.substr(0, mask.size() - 1)));
    GameResult result = run();
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(std::string::npos, result.err.find("Cannot")) << result.err;
    EXPECT_NE(std::string::npos, result.out.find("Average FPS=")) << result.out;
    expectScoresKept();
    expectNoLeaksReported();
}

TEST_F(StartupDamage, TruncatedTitlePicture)
{
    packWith({{"title.bmp", {truncatedHalf(original("title.bmp"))}}});
    GameResult result = run();
    expectReportedError(result, "Cannot Load Bitmap: 'title.bmp'");
    expectScoresKept();
    expectNoLeaksReported();
}

TEST_F(StartupDamage, CreditsThatAreNotABitmap)
{
    packWith({{"credits.bmp", {notABitmap()}}});
    GameResult result = run();
    expectReportedError(result, "Cannot Load Bitmap: 'credits.bmp'");
    expectScoresKept();
    expectNoLeaksReported();
}

TEST_F(StartupDamage, MissingMenuItem)
{
    packWith({{"sexit.bmp", {"", true}}});
    GameResult result = run();
    expectReportedError(result, "Cannot Load 'sexit.bmp' from PAK");
    expectScoresKept();
    expectNoLeaksReported();
}

TEST_F(StartupDamage, GarbageMenuMusic)
{
    packWith(allOf("sound/%i.zik", 1, 6, garbage(20000, 3)));
    GameResult result = run();
    std::smatch found;
    ASSERT_TRUE(std::regex_search(
        result.err, found,
        std::regex("Cannot Load Module: 'zip:data\\.pak,sound/[1-6]\\.zik' \\([^)]+\\)$")))
        << result.err;
    expectReportedError(result, found.str());
    expectScoresKept();
    expectNoLeaksReported();
}

// A logo is the one picture the game may do without: it is skipped, and the
// game goes on to its menu, which the quit request then closes.
TEST_F(StartupDamage, LogoThatIsNotABitmapIsSkipped)
{
    packWith({{"logo1.bmp", {notABitmap()}}});
    writeScores();
    GameRun game;
    game.folder = scratch->path();
    game.quitAfterMs = 6000;
    GameResult result = runGame(game);
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(std::string::npos, result.err.find("Cannot")) << result.err;
    EXPECT_NE(std::string::npos, result.out.find("Average FPS=")) << result.out;
    expectScoresKept();
    expectNoLeaksReported();
}

}  // namespace
}  // namespace faults
