#include "faults/FaultsFixture.h"

#include <cstring>
#include <regex>

namespace faults {

std::string earlierScoreTable()
{
    std::string table;
    for (int i = 0; i < 9; i++) {
        char record[40];
        memset(record, 0, sizeof record);
        snprintf(record, 32, "Earlier Player Number %d!", i + 1);
        int32_t score = 700001 - 65537 * i;
        int32_t cleared = i % 3 == 0;
        memcpy(record + 32, &score, 4);
        memcpy(record + 36, &cleared, 4);
        table.append(record, sizeof record);
    }
    return table;
}

void FaultsFixture::SetUp()
{
    scratch.reset(new testing_support::ScratchDir);
}

void FaultsFixture::TearDown()
{
    scratch.reset();
}

void FaultsFixture::packWith(const std::map<std::string, MemberChange>& changes)
{
    writeDamagedPak(testing_support::dataPakPath(), scratch->path() + "/data.pak", changes);
}

void FaultsFixture::packIntact()
{
    scratch->addDataPak();
}

std::string FaultsFixture::original(const std::string& member)
{
    return readMember(testing_support::dataPakPath(), member);
}

GameRun FaultsFixture::quitAfterMenu()
{
    GameRun game;
    game.folder = scratch->path();
    // Logos (2.7 s at the warped pace), the menu, then a quit request.
    game.quitAfterMs = 5000;
    game.limitMs = 30000;
    return game;
}

void FaultsFixture::writeScores()
{
    testing_support::writeFile(scratch->path() + "/scores.qbx", earlierScoreTable());
}

void FaultsFixture::expectScoresKept()
{
    std::vector<unsigned char> bytes = testing_support::readFile(scratch->path() + "/scores.qbx");
    EXPECT_EQ(earlierScoreTable(), std::string(bytes.begin(), bytes.end()));
}

void FaultsFixture::expectNoLeaksReported()
{
    std::string path = scratch->path() + "/memleaks.log";
    ASSERT_TRUE(testing_support::fileExists(path)) << "no leak report was written";
    std::vector<unsigned char> bytes = testing_support::readFile(path);
    std::string report(bytes.begin(), bytes.end());
    EXPECT_NE(std::string::npos, report.find("\r\n\r\n\r\nNo memory leaks\r\n")) << report;
}

void expectCleanQuit(const GameResult& result)
{
    ASSERT_FALSE(result.killed) << "the game did not end; stderr:\n" << result.err;
    ASSERT_TRUE(result.exited) << "signal " << result.signal << "; stderr:\n" << result.err;
    EXPECT_EQ(0, result.status) << result.err;
    // None of the Errors that end a run.
    std::regex reported("Cannot Load (PAK|Bitmap|Mask|Module): |Cannot (Load|Open|Create|Write) '|"
                        "Couldn't Load Sample|Cannot Init Screen|Surface (Already|Not) Locked");
    EXPECT_FALSE(std::regex_search(result.err, reported)) << result.err;
    EXPECT_NE(std::string::npos, result.out.find("Average FPS=")) << result.out;
}

void expectReportedError(const GameResult& result, const std::string& message)
{
    ASSERT_FALSE(result.killed) << "the game did not end; stderr:\n" << result.err;
    ASSERT_TRUE(result.exited) << "signal " << result.signal << "; stderr:\n" << result.err;
    EXPECT_EQ(0, result.status) << result.err;
    ASSERT_GE(result.err.size(), message.size()) << result.err;
    EXPECT_EQ(message, result.err.substr(result.err.size() - message.size())) << result.err;
    // Reported once, and the shutdown still ran.
    EXPECT_EQ(result.err.find(message), result.err.size() - message.size()) << result.err;
    EXPECT_NE(std::string::npos, result.out.find("Average FPS=")) << result.out;
}

}  // namespace faults
