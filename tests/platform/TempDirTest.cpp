// The private temporary folder of a run.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/RunPlace.h"
#include "platform/TempDir.h"
#include "support/TestSupport.h"

using testing_support::ScratchDir;
using testing_support::fileExists;
using testing_support::writeFile;

namespace {

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::removeTempFolder();
        const char* old = getenv("TMPDIR");
        hadTmpdir = old != nullptr;
        savedTmpdir = old ? old : "";
        setenv("TMPDIR", scratch.path().c_str(), 1);
    }
    void TearDown() override
    {
        platform::removeTempFolder();
        if (hadTmpdir)
            setenv("TMPDIR", savedTmpdir.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    ScratchDir scratch;
    bool hadTmpdir = false;
    std::string savedTmpdir;
};

TEST_F(TempDirTest, OnePrivateFolderPerRun)
{
    char first[1000];
    ASSERT_TRUE(platform::tempFolder(first, sizeof first));
    std::string path = first;
    // The machine, namespace and process id, so a later run can tell
    // whether the folder is in use.
    std::string prefix = scratch.path() + "/tessal-" + platform::runPlace() + "-"
                         + std::to_string(getpid()) + "-";
    EXPECT_EQ(path.compare(0, prefix.size(), prefix), 0) << path;
    EXPECT_EQ(path.back(), '/');
    EXPECT_EQ(path.size(), prefix.size() + 7);  // six random characters and "/"

    struct stat info;
    ASSERT_EQ(stat(first, &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, geteuid());

    char again[1000];
    ASSERT_TRUE(platform::tempFolder(again, sizeof again));
    EXPECT_STREQ(again, first);
}

TEST_F(TempDirTest, TrailingSlashesOfTmpdirAreDropped)
{
    setenv("TMPDIR", (scratch.path() + "//").c_str(), 1);
    char folder[1000];
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    std::string prefix = scratch.path() + "/tessal-";
    EXPECT_EQ(std::string(folder).compare(0, prefix.size(), prefix), 0) << folder;
}

TEST_F(TempDirTest, RemovalTakesItsFilesAlong)
{
    char folder[1000];
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    writeFile(std::string(folder) + "ODataFile.tmp", std::string("member"));
    platform::removeTempFolder();
    EXPECT_FALSE(fileExists(folder));

    // The next use makes a fresh folder.
    char next[1000];
    ASSERT_TRUE(platform::tempFolder(next, sizeof next));
    EXPECT_TRUE(fileExists(next));
}

TEST_F(TempDirTest, FolderDeletedBehindOurBackIsMadeAgain)
{
    char folder[1000];
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    ASSERT_EQ(rmdir(folder), 0);
    char next[1000];
    ASSERT_TRUE(platform::tempFolder(next, sizeof next));
    EXPECT_TRUE(fileExists(next));
}

TEST_F(TempDirTest, UnusableTmpdirFallsBackToTmp)
{
    writeFile("plain-file", std::string("not a folder"));
    setenv("TMPDIR", (scratch.path() + "/plain-file").c_str(), 1);
    char folder[1000];
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    EXPECT_EQ(std::string(folder).compare(0, 12, "/tmp/tessal-"), 0) << folder;

    platform::removeTempFolder();
    unsetenv("TMPDIR");
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    EXPECT_EQ(std::string(folder).compare(0, 12, "/tmp/tessal-"), 0) << folder;
    platform::removeTempFolder();
    setenv("TMPDIR", "", 1);
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    EXPECT_EQ(std::string(folder).compare(0, 12, "/tmp/tessal-"), 0) << folder;
}

TEST_F(TempDirTest, TooSmallABufferGivesFalseAndEmpty)
{
    char small[8];
    memset(small, 'x', sizeof small);
    EXPECT_FALSE(platform::tempFolder(small, sizeof small));
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(small[7], 'x');  // nothing written past the terminator
}

TEST_F(TempDirTest, RemovedAtExitByTheProcessThatMadeIt)
{
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char folder[1000];
        if (!platform::tempFolder(folder, sizeof folder))
            _exit(2);
        writeFile(std::string(folder) + "ODataFile.tmp", std::string("member"));
        ssize_t sent = write(channel[1], folder, strlen(folder));
        exit(sent > 0 ? 0 : 3);  // exit, not _exit: the exit hooks must run
    }
    close(channel[1]);
    char folder[1000] = {};
    ssize_t got = read(channel[0], folder, sizeof folder - 1);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_GT(got, 0);
    EXPECT_FALSE(fileExists(folder)) << folder;
}

TEST_F(TempDirTest, ForkedChildLeavesTheParentsFolder)
{
    char folder[1000];
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::removeTempFolder();
        exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(fileExists(folder));
}

}  // namespace
