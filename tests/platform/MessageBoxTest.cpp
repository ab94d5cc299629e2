// The desktop notice: which dialog program runs, with which exact arguments,
// and that none is tried without a display.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "support/TestSupport.h"

using testing_support::CapturedStream;
using testing_support::ScratchDir;
using testing_support::fileExists;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

// Saves an environment variable and puts it back afterwards.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name(name)
    {
        const char* value = getenv(name);
        had = value != nullptr;
        if (had)
            old = value;
    }
    ~SavedVariable()
    {
        if (had)
            setenv(name, old.c_str(), 1);
        else
            unsetenv(name);
    }
private:
    const char* name;
    bool had;
    std::string old;
};

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mkdir("bin", 0755);
        setenv("PATH", (scratch.path() + "/bin").c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }

    // A stand-in dialog program: records its arguments (NUL-separated) after
    // a short pause, so that a caller that did not wait would miss the file,
    // and chatters on both of its output streams.
    void fakeProgram(const char* name)
    {
        std::string path = scratch.path() + "/bin/" + name;
        writeFile(path, "#!/bin/sh\n"
                        "/bin/sleep 0.2\n"
                        "for a in \"$0\" \"$@\"; do printf '%s\\0' \"$a\"; done > \"" +
                            scratch.path() + "/args.tmp\"\n"
                        "/bin/mv \"" + scratch.path() + "/args.tmp\" \"" + scratch.path() + "/args\"\n"
                        "echo chatter; echo warning >&2\n");
        chmod(path.c_str(), 0755);
    }

    std::vector<std::string> recordedArguments()
    {
        std::vector<std::string> arguments;
        if (!fileExists("args"))
            return arguments;
        std::vector<unsigned char> bytes = readFile("args");
        std::string current;
        for (unsigned char byte : bytes) {
            if (byte == 0) {
                arguments.push_back(current);
                current.clear();
            } else {
                current += static_cast<char>(byte);
            }
        }
        return arguments;
    }

    // The folder goes last, after PATH is back for its removal.
    ScratchDir scratch;
    SavedVariable path{"PATH"};
    SavedVariable display{"DISPLAY"};
    SavedVariable wayland{"WAYLAND_DISPLAY"};
};

const char kMessage[] = "Cannot Load 'a b' $(touch pwned) `id` \"q\" ; & |";

TEST_F(MessageBoxTest, NothingWithoutADisplay)
{
    fakeProgram("zenity");
    fakeProgram("kdialog");
    fakeProgram("xmessage");
    setenv("DISPLAY", "", 1);
    EXPECT_EQ(platform::showMessageBox("Error", kMessage), 0);
    EXPECT_FALSE(fileExists("args"));
}

TEST_F(MessageBoxTest, ZenityGetsTheTextUntouchedAndIsWaitedFor)
{
    fakeProgram("zenity");
    fakeProgram("kdialog");
    setenv("DISPLAY", ":99", 1);
    CapturedStream out(1);
    CapturedStream err(2);
    EXPECT_EQ(platform::showMessageBox("Error", kMessage), 1);
    // The dialog's own chatter stays out of our streams.
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(err.text(), "");
    std::vector<std::string> expected = {scratch.path() + "/bin/zenity", "--error", "--no-markup",
                                         "--title=Error", std::string("--text=") + kMessage};
    EXPECT_EQ(recordedArguments(), expected);
    EXPECT_FALSE(fileExists("pwned"));
}

TEST_F(MessageBoxTest, KdialogWhenThereIsNoZenity)
{
    fakeProgram("kdialog");
    fakeProgram("xmessage");
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_EQ(platform::showMessageBox("Caption", kMessage), 1);
    std::vector<std::string> expected = {scratch.path() + "/bin/kdialog", "--title", "Caption",
                                         "--error", kMessage};
    EXPECT_EQ(recordedArguments(), expected);
}

TEST_F(MessageBoxTest, XmessageOnlyUnderX)
{
    fakeProgram("xmessage");
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_EQ(platform::showMessageBox("Error", "text"), 0);
    EXPECT_FALSE(fileExists("args"));

    setenv("DISPLAY", ":99", 1);
    EXPECT_EQ(platform::showMessageBox("Error", "-display elsewhere"), 1);
    std::vector<std::string> expected = {scratch.path() + "/bin/xmessage", "-center", "-title",
                                         "Error", "-buttons", "OK", " -display elsewhere"};
    EXPECT_EQ(recordedArguments(), expected);
}

TEST_F(MessageBoxTest, NoDialogProgramAtAll)
{
    setenv("DISPLAY", ":99", 1);
    // A folder or a file without execute permission is no program.
    mkdir("bin/zenity", 0755);
    writeFile("bin/kdialog", std::string("#!/bin/sh\n"));
    chmod("bin/kdialog", 0644);
    EXPECT_EQ(platform::showMessageBox("Error", "text"), 0);
    unsetenv("PATH");
    EXPECT_EQ(platform::showMessageBox("Error", "text"), 0);
}

TEST_F(MessageBoxTest, ReturnsWhenChildrenAreReapedElsewhere)
{
    fakeProgram("zenity");
    setenv("DISPLAY", ":99", 1);
    void (*old)(int) = signal(SIGCHLD, SIG_IGN);
    int shown = platform::showMessageBox("Error", "text");
    signal(SIGCHLD, old);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(recordedArguments().size(), 5u);
}

}  // namespace
