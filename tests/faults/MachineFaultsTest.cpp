// The real game on a machine that lacks something: a working directory it
// may not write, a temporary folder, a sound device, a display.
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "faults/FaultsFixture.h"

namespace faults {
namespace {

class MachineFaults : public FaultsFixture {
protected:
    // The score file as a short table of five records: any save rewrites it
    // to 360 bytes, so an unchanged file shows that nothing was written.
    void writeShortScores()
    {
        testing_support::writeFile(scratch->path() + "/scores.qbx",
                                   earlierScoreTable().substr(0, 200));
    }

    std::string scores()
    {
        std::vector<unsigned char> bytes = testing_support::readFile(scratch->path() + "/scores.qbx");
        return std::string(bytes.begin(), bytes.end());
    }

    // Files in the scratch folder besides the two we put there.
    std::vector<std::string> newFiles()
    {
        std::vector<std::string> names;
        for (const char* name : {"memory.log", "memleaks.log", "ODataFile.tmp"})
            if (testing_support::fileExists(scratch->path() + "/" + name))
                names.push_back(name);
        return names;
    }
};

// The control for the tests below: in a folder it may write, the same run
// saves the table, as 360 bytes.
TEST_F(MachineFaults, WritableFolderGetsTheTableSaved)
{
    packIntact();
    writeShortScores();
    GameResult result = runGame(quitAfterMenu());
    expectCleanQuit(result);
    std::string saved = scores();
    ASSERT_EQ(360u, saved.size());
    EXPECT_EQ(earlierScoreTable().substr(0, 200), saved.substr(0, 200));
    EXPECT_EQ(std::string(160, '\0'), saved.substr(200));
    expectNoLeaksReported();
}

// Run as nobody in a folder of root's: the game plays, the table cannot be
// saved and stays as it was, and nothing is reported.
TEST_F(MachineFaults, UnwritableWorkingDirectory)
{
    packIntact();
    writeShortScores();
    if (geteuid() != 0)
        GTEST_SKIP() << "becoming nobody needs root";
    ASSERT_EQ(0, chmod(scratch->path().c_str(), 0755));
    GameRun game = quitAfterMenu();
    game.asNobody = true;
    game.environment["TMPDIR"] = "";
    ASSERT_EQ(0, probeWrite(game, scratch->path() + "/probe")) << "the folder must deny writes";
    ASSERT_EQ(0, probeWrite(game, scratch->path() + "/scores.qbx"));

    GameResult result = runGame(game);
    expectCleanQuit(result);
    EXPECT_EQ(earlierScoreTable().substr(0, 200), scores());
    EXPECT_TRUE(newFiles().empty());
}

// TMPDIR naming a file: the private temporary folder goes under /tmp.
TEST_F(MachineFaults, TmpdirThatIsAFile)
{
    packIntact();
    writeShortScores();
    testing_support::writeFile(scratch->path() + "/not-a-folder", "x");
    GameRun game = quitAfterMenu();
    game.environment["TMPDIR"] = scratch->path() + "/not-a-folder";
    GameResult result = runGame(game);
    expectCleanQuit(result);
    EXPECT_EQ(360u, scores().size());
    EXPECT_FALSE(testing_support::fileExists(scratch->path() + "/ODataFile.tmp"));
    expectNoLeaksReported();
}

// No temporary folder and a working directory it may not write either: the
// first extraction fails by name, and the table is kept.
TEST_F(MachineFaults, NowhereToExtractTo)
{
    packIntact();
    writeShortScores();
    if (geteuid() != 0)
        GTEST_SKIP() << "becoming nobody needs root";
    ASSERT_EQ(0, chmod(scratch->path().c_str(), 0755));
    GameRun game = quitAfterMenu();
    game.asNobody = true;
    game.readOnlyTmp = true;
    game.environment["TMPDIR"] = "";
    int probe = probeWrite(game, "/tmp/probe");
    if (probe < 0)
        GTEST_SKIP() << "no private mount namespace here";
    ASSERT_EQ(0, probe);
    ASSERT_EQ(0, probeWrite(game, scratch->path() + "/probe"));

    GameResult result = runGame(game);
    // The first logo's wipe mask is the first member extracted.
    std::smatch found;
    ASSERT_TRUE(std::regex_search(result.err, found,
                                  std::regex("Cannot Create 'wipe[0-9]\\.raw' \\(from PAK\\)$")))
        << result.err;
    expectReportedError(result, found.str());
    EXPECT_EQ(earlierScoreTable().substr(0, 200), scores());
}

// No sound device: one line says so, the menu says it has no music, and
// the game runs silent to a clean end.
TEST_F(MachineFaults, NoAudioDevice)
{
    packIntact();
    writeShortScores();
    GameRun game = quitAfterMenu();
    game.environment["SDL_AUDIODRIVER"] = "nonexistent";
    GameResult result = runGame(game);
    expectCleanQuit(result);

    std::regex audioLine("Audio Init Error \\[[^\\]\\n]+\\]\\n");
    auto lines = std::sregex_iterator(result.err.begin(), result.err.end(), audioLine);
    EXPECT_EQ(1, std::distance(lines, std::sregex_iterator())) << result.err;
    EXPECT_TRUE(std::regex_search(result.err,
                                  std::regex("Cannot Load Module 'zip:data\\.pak,sound/[1-6]\\.zik'")))
        << result.err;
    EXPECT_EQ(360u, scores().size());
    expectNoLeaksReported();
}

// The X11 driver asked for without an X server: SDL cannot start, which the
// game says on one line before it ends with status 1, touching nothing.
TEST_F(MachineFaults, NoDisplayForTheX11Driver)
{
    packIntact();
    writeShortScores();
    GameRun game;
    game.folder = scratch->path();
    game.environment["SDL_VIDEODRIVER"] = "x11";
    game.limitMs = 15000;
    GameResult result = runGame(game);
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(1, result.status);
    EXPECT_EQ("Tessal Version 1.0.0 build 521\n", result.out);
    EXPECT_TRUE(std::regex_search(result.err, std::regex("^Init Error: [^\\n]+\\n$"))) << result.err;
    EXPECT_EQ(earlierScoreTable().substr(0, 200), scores());
}

// Nothing asked for and no display: the library would fall back to drawing
// into memory, a game nobody can see or leave. It must end as above.
void expectNoDisplayEnds(GameRun& game, const std::string& scoresBefore)
{
    game.environment["SDL_VIDEODRIVER"] = "";
    game.limitMs = 15000;
    GameResult result = runGame(game);
    ASSERT_FALSE(result.killed) << "the game ran on without a display; stderr:\n" << result.err;
    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(1, result.status);
    EXPECT_EQ("Tessal Version 1.0.0 build 521\n", result.out);
    EXPECT_TRUE(std::regex_search(result.err, std::regex("(^|\\n)Init Error: [^\\n]+\\n$")))
        << result.err;
    std::vector<unsigned char> kept = testing_support::readFile(game.folder + "/scores.qbx");
    EXPECT_EQ(scoresBefore, std::string(kept.begin(), kept.end()));
}

TEST_F(MachineFaults, NoDisplayAtAll)
{
    packIntact();
    writeShortScores();
    GameRun game;
    game.folder = scratch->path();
    expectNoDisplayEnds(game, scores());
}

// DISPLAY names a server that is not there: the same.
TEST_F(MachineFaults, DisplayWithoutAServer)
{
    packIntact();
    writeShortScores();
    GameRun game;
    game.folder = scratch->path();
    game.environment["DISPLAY"] = ":4242";
    expectNoDisplayEnds(game, scores());
}

}  // namespace
}  // namespace faults
