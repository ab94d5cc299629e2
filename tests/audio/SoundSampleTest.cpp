#include <gtest/gtest.h>
#include <mikmod.h>

#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "AudioHarness.h"
#include "SoundFiles.h"
#include "archive/Archive.h"
#include "audio/Audio.h"
#include "audio/SoundSample.h"
#include "core/Error.h"
#include "support/TestSupport.h"

using namespace audio_test;
using testing_support::ScratchDir;
using testing_support::fileExists;
using testing_support::writeFile;

namespace {

#if defined(__SANITIZE_ADDRESS__)
struct LeakCheckPause {
    LeakCheckPause() { __lsan_disable(); }
    ~LeakCheckPause() { __lsan_enable(); }
};
#else
struct LeakCheckPause {
    LeakCheckPause() {}
    ~LeakCheckPause() {}
};
#endif

class SoundSampleTest : public LockedAudioTest {
protected:
    void SetUp() override
    {
        Bytes bip = effectWav();
        writeFile("bip.wav", bip);
        writeFile("junk.wav", std::string("RIFF but nothing after it"));
        writeZip("sounds.zip", {{"sound/bip.wav", bip}, {"sound/junk.wav", Bytes(64, 1)}});
        openDummyAudio();
    }

    std::string loadError(const char* path) { return loadErrorOf(path, &SoundSample::sample); }

    ScratchDir scratch;
};

TEST_F(SoundSampleTest, LoadsFromPlainZipAndTemporaryMemberPaths)
{
    PakArchive pak;
    ASSERT_TRUE(pak.open("sounds.zip"));
    char extracted[1024];
    ASSERT_TRUE(pak.extractToTemp(extracted, "sound/bip.wav"));

    const std::string paths[] = {"bip.wav", "zip:sounds.zip,sound/bip.wav", extracted};
    for (const std::string& path : paths) {
        SoundSample effect;
        ASSERT_TRUE(effect.load(path.c_str())) << path;
        ASSERT_NE(effect.sample, nullptr) << path;
        EXPECT_EQ(effect.sample->length, 2205u) << path;
        EXPECT_EQ(effect.sample->panning, 128) << path;
    }
}

TEST_F(SoundSampleTest, ErrorsNameThePath)
{
    EXPECT_EQ(loadError("zip:sounds.zip,sound/none.wav"),
              "Couldn't Load Sample: zip:sounds.zip,sound/none.wav\n");
    EXPECT_EQ(loadError("missing.wav"), "Couldn't Load Sample: missing.wav\n");
    EXPECT_EQ(loadError("junk.wav"), "Couldn't Load Sample: junk.wav\n");
    EXPECT_EQ(loadError("zip:sounds.zip,sound/junk.wav"),
              "Couldn't Load Sample: zip:sounds.zip,sound/junk.wav\n");
}

TEST_F(SoundSampleTest, LoadingAgainReplacesAndUnloadFrees)
{
    SoundSample effect;
    effect.play();  // nothing loaded: nothing happens
    ASSERT_TRUE(effect.load("bip.wav"));
    // A second load frees the first sample (the leak checker sees it).
    ASSERT_TRUE(effect.load("zip:sounds.zip,sound/bip.wav"));
    EXPECT_NE(effect.sample, nullptr);
    effect.play();
    effect.unload();
    EXPECT_EQ(effect.sample, nullptr);
    effect.unload();
}

TEST_F(SoundSampleTest, OutlivingTheMixerIsSafe)
{
    SoundSample effect;
    {
        // libmikmod's exit does not free the data of a sample still loaded;
        // this one is kept past it on purpose.
        LeakCheckPause pause;
        ASSERT_TRUE(effect.load("bip.wav"));
    }
    audioShutdown();
    effect.play();
    effect.unload();
    EXPECT_EQ(effect.sample, nullptr);
}

TEST_F(SoundSampleTest, LoadsEveryEffectOfTheGame)
{
    std::string pak = testing_support::dataPakPath();
    if (!fileExists(pak))
        GTEST_SKIP() << "no data.pak at " << pak;
    const char* names[] = {"bip", "2x", "addline", "gameover", "lost",
                           "perfect", "points", "time", "life"};
    for (const char* name : names) {
        std::string path = "zip:" + pak + ",sound/" + name + ".wav";
        SoundSample effect;
        EXPECT_TRUE(effect.load(path.c_str())) << path;
        ASSERT_NE(effect.sample, nullptr) << path;
        EXPECT_GT(effect.sample->length, 0u) << path;
    }
}

}  // namespace
