// The whole program in this process under the dummy drivers: start-up with
// its logos, the loop, and shutdown with its outputs and the score file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "platform/Input.h"
#include "core/AppState.h"
#include "shell/Application.h"
#include "core/HighScores.h"
#include "support/TestSupport.h"

namespace {

using testing_support::CapturedStream;
using testing_support::ScratchDir;

std::vector<unsigned char> defaultTable()
{
    resetHighScores();
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(highScores);
    return std::vector<unsigned char>(bytes, bytes + sizeof highScores);
}

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

ProgramRun runProgram()
{
    // The program itself never picks drivers; the desktop's are used.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CapturedStream out(1);
    CapturedStream err(2);
    char name[] = "tessal";
    char* argv[] = {name, nullptr};
    int status = runApplication(1, argv);
    return {status, out.text(), err.text()};
}

TEST(Startup, WithoutTheArchiveTheIconErrorIsReportedAndScoresKept)
{
    ScratchDir scratch;
    std::string table(360, '\0');
    for (size_t i = 0; i < table.size(); i++)
        table[i] = static_cast<char>(i * 7);
    testing_support::writeFile("scores.qbx", table);

    ProgramRun run = runProgram();
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("Cannot Load Bitmap: 'zip:data.pak,icon.bmp'"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out, "Tessal Version 1.0.0 build 521\nAverage FPS=0\n");
    std::vector<unsigned char> kept = testing_support::readFile("scores.qbx");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), table);
}

TEST(Startup, FailedSdlInitEndsWithStatusOneAndTouchesNothing)
{
    ScratchDir scratch;
    scratch.addDataPak();
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    CapturedStream out(1);
    CapturedStream err(2);
    char name[] = "tessal";
    char* argv[] = {name, nullptr};
    int status = runApplication(1, argv);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.text(), "Tessal Version 1.0.0 build 521\n");
    std::string message = err.text();
    EXPECT_EQ(message.rfind("Init Error: ", 0), 0u) << message;
    EXPECT_EQ(message.back(), '\n');
    EXPECT_FALSE(testing_support::fileExists("scores.qbx"));
}

TEST(Startup, LogosThenF12EndsTheProgramAndSavesTheTable)
{
    ScratchDir scratch;
    scratch.addDataPak();
    std::vector<unsigned char> defaults = defaultTable();
    memset(highScores, 0, sizeof highScores);
    input::pressKey(SDLK_F12);

    ProgramRun run = runProgram();
    input::releaseAllKeys();
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(std::regex_match(run.out, std::regex("Tessal Version 1\\.0\\.0 build 521\n"
                                                     "Average FPS=[0-9]+\n")))
        << run.out;
    EXPECT_EQ(run.err.find("Cannot"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Error"), std::string::npos) << run.err;
    EXPECT_EQ(appState, 2);
    ASSERT_TRUE(testing_support::fileExists("scores.qbx"));
    EXPECT_EQ(testing_support::readFile("scores.qbx"), defaults);
}

// Options answer on the terminal and end; the game, which would fail here on
// the missing video driver, never starts, and the table is not written.
TEST(Startup, OptionsAnswerWithoutStartingTheGame)
{
    ScratchDir scratch;
    scratch.addDataPak();
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    const std::string usage = "^Usage: tessal \\[--help \\| --version\\]\n[^]*"
                              "F12 +quit at once\n[^]*scores\\.qbx[^]*XDG_DATA_HOME[^]*\n$";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;  // a pattern
        std::string err;
    } cases[] = {
        {{"--version"}, 0, "Tessal Version 1\\.0\\.0 build 521\n", ""},
        {{"--help"}, 0, usage, ""},
        {{"-h"}, 0, usage, ""},
        {{"--version", "--help"}, 0, usage, ""},
        {{"--fullscreen"}, 2, "", "tessal: unknown option '--fullscreen'\nTry 'tessal --help'.\n"},
        {{"--help", "-x"}, 2, "", "tessal: unknown option '-x'\nTry 'tessal --help'.\n"},
        {{"scores.qbx"}, 2, "", "tessal: unexpected argument 'scores.qbx'\nTry 'tessal --help'.\n"},
        {{"--version", "--"}, 0, "Tessal Version 1\\.0\\.0 build 521\n", ""},
        {{"--", "-x"}, 2, "", "tessal: unexpected argument '-x'\nTry 'tessal --help'.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        std::vector<char*> argv = {const_cast<char*>("tessal")};
        for (const std::string& arg : c.args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        CapturedStream out(1);
        CapturedStream err(2);
        EXPECT_EQ(runApplication(static_cast<int>(argv.size()) - 1, argv.data()), c.status);
        std::string printed = out.text();
        EXPECT_TRUE(std::regex_match(printed, std::regex(c.out))) << printed;
        EXPECT_EQ(err.text(), c.err);
        EXPECT_FALSE(testing_support::fileExists("scores.qbx"));
    }
}

// Asks the program to close its window, as the desktop would, once video is up.
Uint32 requestClose(Uint32 interval, void*)
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Event event = {};
        event.type = SDL_QUIT;
        SDL_PushEvent(&event);
    }
    return interval;
}

// Comes during the first logo: the program ends there, before the loop ran.
TEST(Startup, WindowCloseDuringTheLogosQuitsAndKeepsTheTable)
{
    ScratchDir scratch;
    scratch.addDataPak();
    // A table of the last run, read at start and written back unchanged.
    std::vector<unsigned char> table = defaultTable();
    table[0] = 'Z';
    table[32] = 77;
    testing_support::writeFile("scores.qbx", table);

    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_TIMER), 0);
    SDL_TimerID timer = SDL_AddTimer(200, requestClose, nullptr);
    ASSERT_NE(timer, nullptr);
    ProgramRun run = runProgram();  // SDL_Quit at its end also ends the timer
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Tessal Version 1.0.0 build 521\nAverage FPS=0\n");
    EXPECT_EQ(run.err.find("Error"), std::string::npos) << run.err;
    EXPECT_EQ(testing_support::readFile("scores.qbx"), table);
}

}  // namespace
