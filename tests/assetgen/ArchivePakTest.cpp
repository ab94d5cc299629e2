// data.pak as an archive: readable by an independent unzip, deflated,
// complete, and the same bytes on every run of the generator.
#include "PictureArchiveTest.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <sys/wait.h>

using namespace pak_test;
using testing_support::dataPakPath;

namespace {

const std::string kGenerator = TESSAL_BINARY_DIR "/tools/assetgen/assetgen";

int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ArchivePak, InfoZipUnzipAcceptsIt)
{
    ASSERT_TRUE(testing_support::fileExists(dataPakPath()));
    EXPECT_EQ(run("unzip -tqq '" + dataPakPath() + "' > /dev/null"), 0);
}

TEST(ArchivePak, HoldsEveryMemberTheGameLoadsDeflatedAndOnce)
{
    const std::vector<MemberInfo> members = listMembers(dataPakPath());
    std::set<std::string> names;
    for (const MemberInfo& m : members) {
        EXPECT_TRUE(names.insert(m.name).second) << "duplicate " << m.name;
        EXPECT_EQ(m.method, 8u) << m.name << " is not deflated";
        EXPECT_GT(m.size, 0u) << m.name;
    }
    std::vector<std::string> expected = {
        "icon.bmp", "logo.bmp", "logo1.bmp", "logo2.bmp", "mouse.bmp", "font.bmp", "numbers.bmp",
        "smallnums.bmp", "title.bmp", "play.bmp", "splay.bmp", "scores.bmp", "sscores.bmp", "about.bmp",
        "sabout.bmp", "exit.bmp", "sexit.bmp", "copyright.bmp", "bottom.bmp", "credits.bmp", "right.bmp",
        "gameover.bmp", "hiscore.bmp", "loselevel.bmp", "wonlevel.bmp", "wongame.bmp", "perfect.bmp",
        "bonuslife.bmp", "bonus2x.bmp", "bonusAddLine.bmp", "bonus1000.bmp", "bonus500.bmp", "5000.bmp",
        "sound/bip.wav", "sound/2x.wav", "sound/addline.wav", "sound/gameover.wav", "sound/lost.wav",
        "sound/perfect.wav", "sound/points.wav", "sound/time.wav", "sound/life.wav"};
    for (int i = 0; i < 10; i++)
        expected.push_back("wipe" + std::to_string(i) + ".raw");
    for (int i = 1; i <= 6; i++)
        expected.push_back("sound/" + std::to_string(i) + ".zik");
    for (int t = 1; t <= 4; t++)
        for (const char* n : {"back", "r", "g", "b", "sr", "sg", "sb"})
            expected.push_back("theme" + std::to_string(t) + "/" + n + ".bmp");
    for (const char* n : {"r", "g", "b", "sr", "sg", "sb"})
        expected.push_back(std::string("bonus/") + n + ".bmp");
    for (const std::string& name : expected)
        EXPECT_EQ(names.count(name), 1u) << "missing " << name;
}

TEST(ArchivePak, TwoGeneratorRunsWriteIdenticalBytes)
{
    testing_support::ScratchDir scratch;
    ASSERT_EQ(run("'" + kGenerator + "' --out first.pak"), 0);
    ASSERT_EQ(run("'" + kGenerator + "' --out second.pak"), 0);
    const std::vector<unsigned char> first = testing_support::readFile("first.pak");
    const std::vector<unsigned char> second = testing_support::readFile("second.pak");
    ASSERT_GT(first.size(), 100000u);
    EXPECT_TRUE(first == second) << "the archive differs between runs";
    EXPECT_FALSE(testing_support::fileExists("first.pak.part"));
}

TEST(ArchivePak, GeneratorReportsBadArgumentsAndUnwritableOutput)
{
    testing_support::ScratchDir scratch;
    EXPECT_EQ(run("'" + kGenerator + "' 2> usage.txt"), 2);
    EXPECT_EQ(run("'" + kGenerator + "' --out 2> usage.txt"), 2);
    EXPECT_EQ(run("'" + kGenerator + "' --bogus x.pak 2> usage.txt"), 2);
    EXPECT_FALSE(testing_support::fileExists("x.pak"));

    // A failure is reported as one, and leaves no archive behind.
    EXPECT_EQ(run("'" + kGenerator + "' --out missing-folder/data.pak 2> error.txt"), 1);
    const std::vector<unsigned char> error = testing_support::readFile("error.txt");
    EXPECT_EQ(std::string(error.begin(), error.end()).rfind("assetgen: ", 0), 0u);
    EXPECT_FALSE(testing_support::fileExists("missing-folder/data.pak"));
}

TEST(ArchivePak, DesktopIconsComeInEveryThemeSizeAndAsSvg)
{
    testing_support::ScratchDir scratch;
    ASSERT_EQ(run("'" + kGenerator + "' --icons hicolor"), 0);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (unsigned size : {16u, 24u, 32u, 48u, 64u, 128u, 256u, 512u}) {
        const std::string edge = std::to_string(size);
        const std::vector<unsigned char> png =
            testing_support::readFile("hicolor/" + edge + "x" + edge + "/apps/tessal.png");
        ASSERT_GT(png.size(), 33u) << size;
        EXPECT_TRUE(std::equal(signature, signature + 8, png.begin())) << size;
        auto be32 = [&](size_t at) {
            return unsigned(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        };
        EXPECT_EQ(be32(16), size);  // IHDR width
        EXPECT_EQ(be32(20), size);  // IHDR height
    }
    const std::vector<unsigned char> svg = testing_support::readFile("hicolor/scalable/apps/tessal.svg");
    const std::string text(svg.begin(), svg.end());
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("viewBox=\"0 0 128 128\""), std::string::npos);
    EXPECT_NE(text.find("</svg>"), std::string::npos);
}

}  // namespace
