// Error, FormattedString and the two diagnostic outputs: exact texts, and
// texts too long for their buffers.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <new>
#include <string>

#include "core/Error.h"
#include "support/TestSupport.h"

using testing_support::CapturedStream;

namespace {

// No dialog may pop up while tests run.
class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
};

TEST_F(NoDisplay, ErrorCarriesTheFormattedMessage)
{
    Error error("Cannot Load Bitmap: '%s'", "zip:data.pak,icon.bmp");
    EXPECT_STREQ(error.text, "Cannot Load Bitmap: 'zip:data.pak,icon.bmp'");
    Error plain("Cannot Init Screen");
    EXPECT_STREQ(plain.text, "Cannot Init Screen");
    Error percent("%s %i%%", "Level", 7);
    EXPECT_STREQ(percent.text, "Level 7%");
}

TEST_F(NoDisplay, ReportWritesTheMessageAloneWithoutALineEnd)
{
    Error error("Cannot Load Bitmap: '%s'", "theme1/back.bmp");
    CapturedStream err(2);
    CapturedStream out(1);
    error.report();
    EXPECT_EQ(err.text(), "Cannot Load Bitmap: 'theme1/back.bmp'");
    EXPECT_EQ(out.text(), "");
}

TEST_F(NoDisplay, MessagesThatEndInALineEndKeepIt)
{
    Error error("Couldn't Load Sample: %s\n", "sound/bip.wav");
    CapturedStream err(2);
    error.report();
    EXPECT_EQ(err.text(), "Couldn't Load Sample: sound/bip.wav\n");
}

TEST_F(NoDisplay, CopiesAndThrownErrorsKeepTheText)
{
    Error original("Cannot Load PAK: '%s'", "data.pak");
    Error copy(original);
    EXPECT_STREQ(copy.text, "Cannot Load PAK: 'data.pak'");
    try {
        throw Error("Cannot Open '%s' in PAK", "wipe3.raw");
    } catch (const Error& caught) {
        EXPECT_STREQ(caught.text, "Cannot Open 'wipe3.raw' in PAK");
    }
}

TEST_F(NoDisplay, OverLongErrorIsCutInsideItsBuffer)
{
    // Guard bytes right behind the object show any write past its end.
    struct Guarded {
        alignas(Error) unsigned char storage[sizeof(Error)];
        unsigned char guard[64];
    } block;
    memset(&block, 0x55, sizeof block);
    std::string path(6000, 'p');
    Error* error = new (block.storage) Error("Cannot Load Bitmap: '%s'", path.c_str());
    EXPECT_EQ(strlen(error->text), 4095u);
    EXPECT_EQ(std::string(error->text, 21), "Cannot Load Bitmap: '");
    for (unsigned char byte : block.guard)
        ASSERT_EQ(byte, 0x55);

    Error copy(*error);
    EXPECT_EQ(std::string(copy.text), std::string(error->text));
    error->~Error();
}

TEST(FormattedString, BuildsTextAndLength)
{
    FormattedString fps("FPS=%i", 57);
    EXPECT_EQ(fps.length, 6);
    EXPECT_STREQ(fps.text, "FPS=57");

    FormattedString empty;
    EXPECT_EQ(empty.text, nullptr);
    EXPECT_EQ(empty.length, 0);
}

TEST(FormattedString, AssignReplacesTheText)
{
    FormattedString name;
    name.assign("zip:data.pak,title.bmp");
    EXPECT_STREQ(name.text, "zip:data.pak,title.bmp");
    EXPECT_EQ(name.length, 22);
    name.assign("a");
    EXPECT_STREQ(name.text, "a");
    EXPECT_EQ(name.length, 1);
    std::string longer(3000, 'L');
    name.assign(longer.c_str());
    EXPECT_EQ(std::string(name.text), longer);
    EXPECT_EQ(name.length, 3000);
    name.assign(nullptr);
    EXPECT_STREQ(name.text, "");
    EXPECT_EQ(name.length, 0);
}

TEST(FormattedString, OverLongResultIsCutAt1023)
{
    std::string path(2000, 'x');
    FormattedString text("[%s]", path.c_str());
    EXPECT_EQ(text.length, 1023);
    EXPECT_EQ(strlen(text.text), 1023u);
    EXPECT_EQ(text.text[0], '[');
    EXPECT_EQ(text.text[1022], 'x');
}

TEST(LogLine, WritesOneLinePerCall)
{
    CapturedStream err(2);
    logLine("Audio Init Error [%s]", "no such device");
    logLine("Audio Init Error [%s]", "busy");
    EXPECT_EQ(err.text(), "Audio Init Error [no such device]\nAudio Init Error [busy]\n");
}

TEST(LogLine, OverLongLineIsCutAt4095)
{
    std::string text(5000, 'z');
    CapturedStream err(2);
    logLine("%s", text.c_str());
    EXPECT_EQ(err.text(), std::string(4095, 'z') + "\n");
}

TEST_F(NoDisplay, ErrorBoxWithoutADisplayShowsNothing)
{
    CapturedStream err(2);
    EXPECT_EQ(showErrorBox("Error", "text"), 0);
    EXPECT_EQ(err.text(), "");
}

}  // namespace
