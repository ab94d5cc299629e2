// "zip:" paths and member streams over archives the tests build themselves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "ZipBuilder.h"
#include "archive/Archive.h"
#include "support/TestSupport.h"

using testing_support::ScratchDir;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

// Reads a stream to its end and closes it.
std::string drain(SDL_RWops* stream)
{
    std::string text;
    char chunk[1000];
    int count;
    while ((count = SDL_RWread(stream, chunk, 1, sizeof chunk)) > 0)
        text.append(chunk, static_cast<size_t>(count));
    SDL_RWclose(stream);
    return text;
}

class ArchivePath : public ::testing::Test {
protected:
    void SetUp() override
    {
        ziptest::writeZip("data.pak", {
            {"sound/bip.wav", "RIFF bip", false},
            {"sound/1.zik", ziptest::patterned(20000), true},
            {"empty.bin", "", false},
            {"theme1/back.bmp", "stored picture", false},
        });
    }
    ScratchDir scratch;
};

TEST_F(ArchivePath, ReadsStoredAndDeflatedMembers)
{
    SDL_RWops* stored = openArchivePath("zip:data.pak,sound/bip.wav");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(drain(stored), "RIFF bip");

    SDL_RWops* deflated = openArchivePath("zip:data.pak,sound/1.zik");
    ASSERT_NE(deflated, nullptr);
    EXPECT_EQ(drain(deflated), ziptest::patterned(20000));
}

TEST_F(ArchivePath, PrefixIgnoresLetterCase)
{
    for (const char* path : {"ZIP:data.pak,sound/1.zik", "Zip:data.pak,sound/1.zik",
                             "zIP:data.pak,sound/1.zik"}) {
        SDL_RWops* stream = openArchivePath(path);
        ASSERT_NE(stream, nullptr) << path;
        EXPECT_EQ(drain(stream), ziptest::patterned(20000)) << path;
    }
    // "zip" without its colon is a plain path, and no such file exists.
    EXPECT_EQ(openArchivePath("zip data.pak,sound/1.zik"), nullptr);
    EXPECT_EQ(openArchivePath("zi"), nullptr);
}

TEST_F(ArchivePath, SplitsAtTheLastComma)
{
    ziptest::writeZip("my,archive.pak", {{"title.bmp", "from the comma archive", true}});
    SDL_RWops* stream = openArchivePath("zip:my,archive.pak,title.bmp");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(drain(stream), "from the comma archive");

    EXPECT_EQ(openArchivePath("zip:data.pak"), nullptr);   // no comma at all
    EXPECT_EQ(openArchivePath("zip:data.pak,"), nullptr);  // empty member name
    EXPECT_EQ(openArchivePath("zip:"), nullptr);
    // Neither part is trimmed.
    EXPECT_EQ(openArchivePath("zip:data.pak, sound/bip.wav"), nullptr);
    EXPECT_EQ(openArchivePath("zip: data.pak,sound/bip.wav"), nullptr);
}

TEST_F(ArchivePath, MemberNamesIgnoreLetterCaseButNotSlashes)
{
    SDL_RWops* stream = openArchivePath("zip:data.pak,Sound/BIP.wav");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(drain(stream), "RIFF bip");
    EXPECT_EQ(openArchivePath("zip:data.pak,sound\\bip.wav"), nullptr);
    EXPECT_EQ(openArchivePath("zip:data.pak,sound/bip.wa"), nullptr);
}

TEST_F(ArchivePath, FirstOfTwoNamesThatDifferInCaseIsTaken)
{
    ziptest::writeZip("twins.pak", {{"Twin.txt", "upper", false}, {"twin.txt", "lower", false}});
    EXPECT_EQ(drain(openArchivePath("zip:twins.pak,twin.txt")), "upper");
    EXPECT_EQ(drain(openArchivePath("zip:twins.pak,TWIN.TXT")), "upper");
}

TEST_F(ArchivePath, MissingOrBadArchiveGivesNull)
{
    EXPECT_EQ(openArchivePath("zip:missing.pak,sound/bip.wav"), nullptr);
    writeFile("notzip.pak", std::string("this is not a zip archive at all"));
    EXPECT_EQ(openArchivePath("zip:notzip.pak,sound/bip.wav"), nullptr);
    EXPECT_EQ(openArchivePath("zip:data.pak,sound/missing.wav"), nullptr);
}

TEST_F(ArchivePath, LooseFileTakesTheMembersPlace)
{
    mkdir("sound", 0755);
    writeFile("sound/1.zik", std::string("loose module"));
    // Read even though the archive named does not exist...
    SDL_RWops* missing = openArchivePath("zip:missing.pak,sound/1.zik");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(drain(missing), "loose module");
    // ...and in preference to the member when it does.
    EXPECT_EQ(drain(openArchivePath("zip:data.pak,sound/1.zik")), "loose module");
    // Other members still come from the archive.
    EXPECT_EQ(drain(openArchivePath("zip:data.pak,sound/bip.wav")), "RIFF bip");
}

TEST_F(ArchivePath, LooseFolderDoesNotHideTheMember)
{
    mkdir("empty.bin", 0755);
    SDL_RWops* stream = openArchivePath("zip:data.pak,empty.bin");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(SDL_RWseek(stream, 0, RW_SEEK_END), 0);
    SDL_RWclose(stream);
    mkdir("theme1", 0755);
    mkdir("theme1/back.bmp", 0755);
    EXPECT_EQ(drain(openArchivePath("zip:data.pak,theme1/back.bmp")), "stored picture");
}

TEST_F(ArchivePath, PlainPathsOpenAsTheyAre)
{
    mkdir("theme1", 0755);
    writeFile("theme1/back.bmp", std::string("plain picture"));
    SDL_RWops* stream = openArchivePath("theme1/back.bmp");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(drain(stream), "plain picture");
    EXPECT_EQ(openArchivePath("theme2/back.bmp"), nullptr);
    EXPECT_EQ(openArchivePath(nullptr), nullptr);

    char host[64];
    EXPECT_TRUE(toHostPath(host, "theme1/back.bmp"));
    EXPECT_STREQ(host, "theme1/back.bmp");
}

TEST_F(ArchivePath, OverLongPathsAreRefused)
{
    std::string longName(5000, 'x');
    EXPECT_EQ(openArchivePath(longName.c_str()), nullptr);
    EXPECT_EQ(openArchivePath(("zip:" + longName + ",a").c_str()), nullptr);
    EXPECT_EQ(openArchivePath(("zip:data.pak," + longName).c_str()), nullptr);
    EXPECT_EQ(readMemberToMemory("data.pak", longName.c_str()), nullptr);
    // A member name of 256 characters or more is never found.
    ziptest::writeZip("long.pak", {{std::string(300, 'n'), "long", false}});
    EXPECT_EQ(openArchivePath(("zip:long.pak," + std::string(300, 'n')).c_str()), nullptr);
}

TEST_F(ArchivePath, EmptyMemberIsAStreamAtItsEnd)
{
    SDL_RWops* stream = openArchivePath("zip:data.pak,empty.bin");
    ASSERT_NE(stream, nullptr);
    char byte;
    EXPECT_EQ(SDL_RWread(stream, &byte, 1, 1), 0);
    EXPECT_EQ(SDL_RWtell(stream), 0);
    EXPECT_EQ(SDL_RWseek(stream, 10, RW_SEEK_SET), 0);
    EXPECT_EQ(SDL_RWclose(stream), 0);
}

TEST_F(ArchivePath, MemberStreamBehavesLikeAMemoryStream)
{
    SDL_RWops* stream = readMemberToMemory("data.pak", "sound/bip.wav");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(SDL_RWseek(stream, 0, RW_SEEK_END), 8);
    EXPECT_EQ(SDL_RWseek(stream, -3, RW_SEEK_END), 5);
    char text[8] = {};
    EXPECT_EQ(SDL_RWread(stream, text, 1, 8), 3);
    EXPECT_STREQ(text, "bip");
    EXPECT_EQ(SDL_RWseek(stream, -100, RW_SEEK_CUR), 0);
    EXPECT_EQ(SDL_RWseek(stream, 100, RW_SEEK_CUR), 8);
    EXPECT_EQ(SDL_RWseek(stream, 0, 7), -1);
    // Whole objects only: 8 bytes hold two of 3 bytes.
    SDL_RWseek(stream, 0, RW_SEEK_SET);
    char objects[9] = {};
    EXPECT_EQ(SDL_RWread(stream, objects, 3, 3), 2);
    EXPECT_EQ(SDL_RWtell(stream), 6);
    EXPECT_EQ(SDL_RWread(stream, objects, 0, 3), 0);
    EXPECT_EQ(SDL_RWread(stream, objects, 3, 0), 0);
    // Writes stay inside the buffer.
    SDL_RWseek(stream, 6, RW_SEEK_SET);
    EXPECT_EQ(SDL_RWwrite(stream, "XYZ", 1, 3), 2);
    SDL_RWseek(stream, 0, RW_SEEK_SET);
    EXPECT_EQ(drain(stream), "RIFF bXY");
}

TEST_F(ArchivePath, MemberStreamFeedsSdlsBitmapLoader)
{
    SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 3, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(picture, nullptr);
    SDL_FillRect(picture, nullptr, 0x123456);
    ASSERT_EQ(SDL_SaveBMP(picture, "pic.bmp"), 0);
    SDL_FreeSurface(picture);
    std::vector<unsigned char> bytes = readFile("pic.bmp");
    unlink("pic.bmp");
    ziptest::writeZip("pics.pak", {{"pic.bmp", std::string(bytes.begin(), bytes.end()), true}});

    SDL_Surface* loaded = SDL_LoadBMP_RW(openArchivePath("zip:pics.pak,pic.bmp"), 1);
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    EXPECT_EQ(loaded->w, 5);
    EXPECT_EQ(loaded->h, 3);
    SDL_LockSurface(loaded);
    Uint8 r, g, b;
    SDL_GetRGB(*static_cast<Uint32*>(loaded->pixels) & 0xFFFFFF, loaded->format, &r, &g, &b);
    SDL_UnlockSurface(loaded);
    EXPECT_EQ(r, 0x12);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x56);
    SDL_FreeSurface(loaded);
}

TEST_F(ArchivePath, DamagedCompressedDataGivesNull)
{
    ziptest::writeZip("bad.pak", {{"ok.bin", "fine", false},
                                  {"bad.bin", ziptest::patterned(5000), true}});
    std::vector<unsigned char> zip = readFile("bad.pak");
    // Block type 3 does not exist: inflate must fail on the first byte.
    zip.at(ziptest::findMember(zip, "bad.bin").data) = 0xFF;
    writeFile("bad.pak", zip);
    EXPECT_EQ(openArchivePath("zip:bad.pak,bad.bin"), nullptr);
    EXPECT_EQ(drain(openArchivePath("zip:bad.pak,ok.bin")), "fine");
}

TEST_F(ArchivePath, WrongChecksumAloneStillDelivers)
{
    ziptest::writeZip("crc.pak", {{"stored.bin", "stored bytes", false},
                                  {"deflated.bin", ziptest::patterned(3000), true}});
    std::vector<unsigned char> zip = readFile("crc.pak");
    for (const char* name : {"stored.bin", "deflated.bin"}) {
        ziptest::Offsets at = ziptest::findMember(zip, name);
        uint32_t wrong = ziptest::get32(zip, at.central + 16) ^ 0x01010101;
        ziptest::put32(zip, at.local + 14, wrong);
        ziptest::put32(zip, at.central + 16, wrong);
    }
    writeFile("crc.pak", zip);
    EXPECT_EQ(drain(openArchivePath("zip:crc.pak,stored.bin")), "stored bytes");
    EXPECT_EQ(drain(openArchivePath("zip:crc.pak,deflated.bin")), ziptest::patterned(3000));
}

TEST_F(ArchivePath, ShortMemberGivesNull)
{
    ziptest::writeZip("short.pak", {{"short.bin", "twelve bytes", false}});
    std::vector<unsigned char> zip = readFile("short.pak");
    ziptest::Offsets at = ziptest::findMember(zip, "short.bin");
    // The directory promises more than the stored data holds.
    ziptest::put32(zip, at.local + 22, 20);
    ziptest::put32(zip, at.central + 24, 20);
    writeFile("short.pak", zip);
    EXPECT_EQ(openArchivePath("zip:short.pak,short.bin"), nullptr);
}

TEST_F(ArchivePath, UnstartableMemberGivesNull)
{
    ziptest::writeZip("header.pak", {{"a.bin", "aaaa", false}});
    std::vector<unsigned char> zip = readFile("header.pak");
    ziptest::put32(zip, ziptest::findMember(zip, "a.bin").local, 0x12345678);
    writeFile("header.pak", zip);
    EXPECT_EQ(openArchivePath("zip:header.pak,a.bin"), nullptr);
}

TEST(CloseMemberStream, IgnoresNull)
{
    EXPECT_EQ(closeMemberStream(nullptr), 0);
}

}  // namespace
