#include <gtest/gtest.h>
#include <mikmod.h>

#include <string>
#include <vector>

#include "AudioHarness.h"
#include "SoundFiles.h"
#include "archive/Archive.h"
#include "audio/Audio.h"
#include "audio/MusicModule.h"
#include "core/Error.h"
#include "support/TestSupport.h"

using namespace audio_test;
using testing_support::ScratchDir;
using testing_support::fileExists;
using testing_support::writeFile;

namespace {

// A scratch folder holding the tone module loose, as "junk.xm" garbage, and
// inside "sounds.zip" as "sound/tone.xm"; audio open on the dummy driver.
class MusicModuleTest : public LockedAudioTest {
protected:
    void SetUp() override
    {
        Bytes tone = writeXm(toneSong());
        writeFile("tone.xm", tone);
        writeFile("junk.xm", std::string("this is no module at all, only words\n"));
        writeZip("sounds.zip", {{"sound/tone.xm", tone}, {"sound/junk.xm", Bytes(300, 7)}});
        openDummyAudio();
    }

    std::string loadError(const char* path) { return loadErrorOf(path, &MusicModule::module); }

    ScratchDir scratch;
};

TEST_F(MusicModuleTest, LoadsFromPlainZipAndTemporaryMemberPaths)
{
    PakArchive pak;
    ASSERT_TRUE(pak.open("sounds.zip"));
    char extracted[1024];
    ASSERT_TRUE(pak.extractToTemp(extracted, "sound/tone.xm"));

    const std::string paths[] = {"tone.xm", "zip:sounds.zip,sound/tone.xm",
                                 "ZIP:sounds.zip,sound/tone.xm", extracted};
    for (const std::string& path : paths) {
        MusicModule music;
        ASSERT_TRUE(music.load(path.c_str())) << path;
        ASSERT_NE(music.module, nullptr) << path;
        EXPECT_EQ(music.module->numchn, 1) << path;
        EXPECT_EQ(music.module->numsmp, 1) << path;
        EXPECT_EQ(music.module->wrap, 1) << path;
        EXPECT_FALSE(music.playing);
    }
}

TEST_F(MusicModuleTest, ErrorsNameThePathAndLibmikmodsReason)
{
    EXPECT_EQ(loadError("zip:sounds.zip,sound/none.xm"),
              "Cannot Load Module: 'zip:sounds.zip,sound/none.xm' (Could not open requested file)");
    EXPECT_EQ(loadError("missing.xm"),
              "Cannot Load Module: 'missing.xm' (Could not open requested file)");
    EXPECT_EQ(loadError("junk.xm"), "Cannot Load Module: 'junk.xm' (Module format not recognized)");
    EXPECT_EQ(loadError("zip:sounds.zip,sound/junk.xm"),
              "Cannot Load Module: 'zip:sounds.zip,sound/junk.xm' (Module format not recognized)");
}

TEST_F(MusicModuleTest, LoadingAgainReplacesTheHeldModule)
{
    MusicModule music;
    ASSERT_TRUE(music.load("tone.xm"));
    music.start();
    ASSERT_TRUE(music.load("zip:sounds.zip,sound/tone.xm"));
    EXPECT_NE(music.module, nullptr);
    EXPECT_FALSE(music.playing);
    EXPECT_FALSE(Player_Active());
}

TEST_F(MusicModuleTest, StartsOnceStopsOnlyWhatItStarted)
{
    MusicModule music;
    int starts = mikmodCalls.playerStart;
    int stops = mikmodCalls.playerStop;
    music.start();  // nothing loaded yet
    EXPECT_FALSE(music.playing);
    music.stop();   // never started
    EXPECT_EQ(mikmodCalls.playerStop, stops);

    ASSERT_TRUE(music.load("tone.xm"));
    music.stop();
    EXPECT_EQ(mikmodCalls.playerStop, stops);
    music.start();
    music.start();
    EXPECT_EQ(mikmodCalls.playerStart, starts + 1);
    EXPECT_TRUE(music.playing);
    EXPECT_TRUE(Player_Active());
    EXPECT_EQ(music.module->volume, 60);

    music.stop();
    music.stop();
    EXPECT_EQ(mikmodCalls.playerStop, stops + 1);
    EXPECT_FALSE(music.playing);
    EXPECT_FALSE(Player_Active());

    // A stopped module plays again from a later start.
    music.start();
    EXPECT_EQ(mikmodCalls.playerStart, starts + 2);
    EXPECT_TRUE(Player_Active());
}

TEST_F(MusicModuleTest, VolumeIsClampedToTheGamesRange)
{
    MusicModule music;
    ASSERT_TRUE(music.load("tone.xm"));
    music.start();
    const int cases[][2] = {{-5, 0}, {100, 63}, {40, 40}, {0, 0}, {63, 63}, {64, 63},
                            {-50, 0}, {257, 63}};
    for (const auto& c : cases) {
        music.setVolume(c[0]);
        EXPECT_EQ(music.module->volume, c[1]) << "setVolume(" << c[0] << ")";
    }
}

TEST_F(MusicModuleTest, PlaysOnPastItsLastPattern)
{
    // Four rows at one tick each last 80 ms; mix two seconds.
    XmSong song = silentSong();
    song.speed = 1;
    writeFile("short.xm", writeXm(song));
    MusicModule music;
    ASSERT_TRUE(music.load("short.xm"));
    music.start();
    std::vector<Uint8> buffer(4096 * 4);
    int rate = audioObtained.freq;
    for (int mixed = 0; mixed < 2 * rate; mixed += 4096) {
        mixAudio(nullptr, buffer.data(), static_cast<int>(buffer.size()));
        ASSERT_TRUE(Player_Active()) << "stopped after " << mixed << " frames";
    }
    EXPECT_LT(music.module->sngpos, music.module->numpos);
}

TEST_F(MusicModuleTest, UnloadStopsAndFrees)
{
    MusicModule music;
    ASSERT_TRUE(music.load("tone.xm"));
    music.start();
    int stops = mikmodCalls.playerStop;
    music.unload();
    EXPECT_EQ(mikmodCalls.playerStop, stops + 1);
    EXPECT_EQ(music.module, nullptr);
    EXPECT_FALSE(music.playing);
    EXPECT_FALSE(Player_Active());
    music.unload();
    EXPECT_EQ(mikmodCalls.playerStop, stops + 1);
}

TEST_F(MusicModuleTest, LoadsEveryPieceOfTheGame)
{
    std::string pak = testing_support::dataPakPath();
    if (!fileExists(pak))
        GTEST_SKIP() << "no data.pak at " << pak;
    for (int i = 1; i <= 6; i++) {
        std::string path = "zip:" + pak + ",sound/" + std::to_string(i) + ".zik";
        MusicModule music;
        EXPECT_TRUE(music.load(path.c_str())) << path;
        ASSERT_NE(music.module, nullptr) << path;
        EXPECT_LE(music.module->numchn, 16) << path;

        // Two seconds of it, mixed here while the device is paused, are not
        // silent.
        music.start();
        std::vector<Uint8> buffer(2 * audioObtained.freq * 4);
        mixAudio(nullptr, buffer.data(), static_cast<int>(buffer.size()));
        size_t loud = 0;
        for (Uint8 byte : buffer)
            loud += byte != 0;
        EXPECT_GT(loud, buffer.size() / 4) << path;
    }
}

}  // namespace
