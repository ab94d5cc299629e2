// PakArchive: batch extraction into the temporary member file, and its
// failures, each with its exact message.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "ZipBuilder.h"
#include "archive/Archive.h"
#include "platform/RunPlace.h"
#include "platform/TempDir.h"
#include "core/Error.h"
#include "support/TestSupport.h"

using testing_support::ScratchDir;
using testing_support::fileExists;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

std::string contents(const std::string& path)
{
    std::vector<unsigned char> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs body, which must throw an Error, and gives its text.
template <typename Body>
std::string errorText(Body body)
{
    try {
        body();
    } catch (const Error& error) {
        return error.text;
    }
    return "(nothing thrown)";
}

class PakArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Each test gets its own temporary folder inside the scratch folder.
        platform::removeTempFolder();
        const char* old = getenv("TMPDIR");
        savedTmpdir = old ? old : "";
        hadTmpdir = old != nullptr;
        mkdir("tmp", 0755);
        setenv("TMPDIR", (scratch.path() + "/tmp").c_str(), 1);
        ziptest::writeZip("data.pak", {
            {"wipe1.raw", ziptest::patterned(76800), true},
            {"sound/bip.wav", "RIFF bip", false},
            {"empty.bin", "", true},
        });
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
    std::string savedTmpdir;
    bool hadTmpdir = false;
};

TEST_F(PakArchiveTest, ExtractsMembersIntoAPrivateFolder)
{
    PakArchive pak;
    EXPECT_EQ(pak.handle, nullptr);
    EXPECT_TRUE(pak.open("data.pak"));
    EXPECT_NE(pak.handle, nullptr);

    char path[1024];
    EXPECT_TRUE(pak.extractToTemp(path, "wipe1.raw"));
    std::string prefix = scratch.path() + "/tmp/tessal-";
    EXPECT_EQ(std::string(path).compare(0, prefix.size(), prefix), 0) << path;
    EXPECT_EQ(std::string(path).substr(strlen(path) - 14), "/ODataFile.tmp");
    EXPECT_EQ(contents(path), ziptest::patterned(76800));

    std::string folder(path, strlen(path) - strlen("ODataFile.tmp"));
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // The next extraction replaces the file: only the second member is left.
    char second[1024];
    EXPECT_TRUE(pak.extractToTemp(second, "Sound/BIP.WAV"));
    EXPECT_STREQ(second, path);
    EXPECT_EQ(contents(second), "RIFF bip");
    EXPECT_TRUE(pak.extractToTemp(second, "empty.bin"));
    EXPECT_EQ(contents(second), "");

    pak.close();
    EXPECT_EQ(pak.handle, nullptr);
    pak.close();  // harmless twice
}

TEST_F(PakArchiveTest, TemporaryFolderGoesAway)
{
    char path[1024];
    {
        PakArchive pak;
        pak.open("data.pak");
        pak.extractToTemp(path, "sound/bip.wav");
    }
    ASSERT_TRUE(fileExists(path));
    platform::removeTempFolder();
    EXPECT_FALSE(fileExists(path));
    std::string folder(path, strlen(path) - strlen("ODataFile.tmp"));
    EXPECT_FALSE(fileExists(folder));
}

TEST_F(PakArchiveTest, MissingOrBrokenArchive)
{
    PakArchive pak;
    EXPECT_EQ(errorText([&] { pak.open("missing.pak"); }), "Cannot Load PAK: 'missing.pak'");
    EXPECT_EQ(pak.handle, nullptr);
    writeFile("text.pak", std::string("not an archive"));
    EXPECT_EQ(errorText([&] { pak.open("text.pak"); }), "Cannot Load PAK: 'text.pak'");

    // A failed open leaves the object closed, even after a good one.
    pak.open("data.pak");
    EXPECT_EQ(errorText([&] { pak.open("my,missing.pak"); }), "Cannot Load PAK: 'my,missing.pak'");
    EXPECT_EQ(pak.handle, nullptr);
}

TEST_F(PakArchiveTest, ReopeningSwitchesArchives)
{
    ziptest::writeZip("other.pak", {{"sound/bip.wav", "other bip", true}});
    PakArchive pak;
    char path[1024];
    pak.open("data.pak");
    pak.open("other.pak");
    pak.extractToTemp(path, "sound/bip.wav");
    EXPECT_EQ(contents(path), "other bip");
}

TEST_F(PakArchiveTest, NeverOpenedLeavesDestinationAlone)
{
    PakArchive pak;
    char path[1024] = "untouched";
    EXPECT_TRUE(pak.extractToTemp(path, "sound/bip.wav"));
    EXPECT_STREQ(path, "untouched");
}

TEST_F(PakArchiveTest, MissingMember)
{
    PakArchive pak;
    pak.open("data.pak");
    char path[1024];
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, "theme9/back.bmp"); }),
              "Cannot Load 'theme9/back.bmp' from PAK");
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, "sound\\bip.wav"); }),
              "Cannot Load 'sound\\bip.wav' from PAK");
    std::string longName(256, 'n');
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, longName.c_str()); }),
              "Cannot Load '" + longName + "' from PAK");
    // The archive stays usable after a failure.
    EXPECT_TRUE(pak.extractToTemp(path, "sound/bip.wav"));
    EXPECT_EQ(contents(path), "RIFF bip");
}

TEST_F(PakArchiveTest, LooseFilesAreIgnored)
{
    mkdir("sound", 0755);
    writeFile("sound/bip.wav", std::string("loose"));
    PakArchive pak;
    pak.open("data.pak");
    char path[1024];
    pak.extractToTemp(path, "sound/bip.wav");
    EXPECT_EQ(contents(path), "RIFF bip");
}

TEST_F(PakArchiveTest, MemberThatCannotBeStarted)
{
    std::vector<unsigned char> zip = readFile("data.pak");
    ziptest::put32(zip, ziptest::findMember(zip, "sound/bip.wav").local, 0);
    // An unknown compression method in both headers.
    ziptest::Offsets at = ziptest::findMember(zip, "wipe1.raw");
    ziptest::put16(zip, at.local + 8, 99);
    ziptest::put16(zip, at.central + 10, 99);
    writeFile("data.pak", zip);
    PakArchive pak;
    pak.open("data.pak");
    char path[1024];
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, "sound/bip.wav"); }),
              "Cannot Open 'sound/bip.wav' in PAK");
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, "wipe1.raw"); }),
              "Cannot Open 'wipe1.raw' in PAK");
    EXPECT_TRUE(pak.extractToTemp(path, "empty.bin"));
}

TEST_F(PakArchiveTest, DamagedDataAndWrongChecksum)
{
    ziptest::writeZip("bad.pak", {{"bad.raw", ziptest::patterned(9000), true},
                                  {"crc.raw", ziptest::patterned(9000), true}});
    std::vector<unsigned char> zip = readFile("bad.pak");
    zip.at(ziptest::findMember(zip, "bad.raw").data) = 0xFF;
    ziptest::Offsets crc = ziptest::findMember(zip, "crc.raw");
    ziptest::put32(zip, crc.local + 14, 0xDEADBEEF);
    ziptest::put32(zip, crc.central + 16, 0xDEADBEEF);
    writeFile("bad.pak", zip);

    PakArchive pak;
    pak.open("bad.pak");
    char path[1024];
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, "bad.raw"); }),
              "Cannot Write 'bad.raw' (from PAK)");
    EXPECT_TRUE(pak.extractToTemp(path, "crc.raw"));
    EXPECT_EQ(contents(path), ziptest::patterned(9000));
}

TEST_F(PakArchiveTest, TemporaryFileThatCannotBeCreated)
{
    char folder[1000];
    ASSERT_TRUE(platform::tempFolder(folder, sizeof folder));
    std::string blocker = std::string(folder) + "ODataFile.tmp";
    ASSERT_EQ(mkdir(blocker.c_str(), 0700), 0);
    PakArchive pak;
    pak.open("data.pak");
    char path[1024];
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, "wipe1.raw"); }),
              "Cannot Create 'wipe1.raw' (from PAK)");
    rmdir(blocker.c_str());
    EXPECT_TRUE(pak.extractToTemp(path, "wipe1.raw"));
}

TEST_F(PakArchiveTest, FailedWriteIsReported)
{
    // A file size limit stands in for a full disk, even for root.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 10000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    PakArchive pak;
    pak.open("data.pak");
    char path[1024];
    std::string text = errorText([&] { pak.extractToTemp(path, "wipe1.raw"); });
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(text, "Cannot Write 'wipe1.raw' (from PAK)");
}

// A folder path too long for the member file's 1000 characters is passed
// over for /tmp, not for a fixed name in the working directory that a second
// game would overwrite.
TEST_F(PakArchiveTest, TooLongATmpdirGivesWayToTmp)
{
    std::string deep = scratch.path();
    for (int i = 0; i < 5; i++) {
        deep += "/" + std::string(200, 'd');
        ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    }
    setenv("TMPDIR", deep.c_str(), 1);
    PakArchive pak;
    pak.open("data.pak");
    char path[1024];
    pak.extractToTemp(path, "sound/bip.wav");
    std::string prefix =
        "/tmp/tessal-" + std::string(platform::runPlace()) + "-" + std::to_string(getpid()) + "-";
    EXPECT_EQ(std::string(path).compare(0, prefix.size(), prefix), 0) << path;
    EXPECT_EQ(contents(path), "RIFF bip");
    EXPECT_FALSE(fileExists("ODataFile.tmp"));
}

// Members are read whole, so one above 64 MiB is refused by both ways of
// reading one, before anything is allocated or written; 64 MiB itself is
// taken. (They deflate to a few hundred kilobytes.)
TEST_F(PakArchiveTest, MembersAbove64MiBAreRefused)
{
    const size_t limit = 64u * 1024 * 1024;
    ziptest::writeZip("big.pak", {{"edge.raw", ziptest::patterned(limit), true},
                                  {"big.raw", ziptest::patterned(limit + 1), true}});
    PakArchive pak;
    pak.open("big.pak");
    char path[1024];
    EXPECT_EQ(errorText([&] { pak.extractToTemp(path, "big.raw"); }),
              "Cannot Open 'big.raw' in PAK");
    EXPECT_EQ(openArchivePath("zip:big.pak,big.raw"), nullptr);

    SDL_RWops* edge = openArchivePath("zip:big.pak,edge.raw");
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(SDL_RWseek(edge, 0, RW_SEEK_END), static_cast<int>(limit));
    SDL_RWclose(edge);
}

}  // namespace
