#include "shell/Application.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <SDL.h>
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "audio/Audio.h"
#include "gfx/SDL++.h"
#include "gfx/Text.h"
#include "gfx/Transitions.h"
#include "platform/Input.h"
#include "platform/QuitSignal.h"
#include "platform/TempDir.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "core/HighScores.h"
#include "core/ScoreStore.h"
#include "shell/CommandLine.h"
#include "shell/MainLoop.h"
#include "shell/VideoMode.h"

namespace {

const char* const kCaption = "  -=-  Tessal  -=-";
const char* const kIconPath = "zip:data.pak,icon.bmp";
const char* const kLogoPaths[] = {"zip:data.pak,logo.bmp", "zip:data.pak,logo1.bmp",
                                  "zip:data.pak,logo2.bmp"};

// The library we run with must be the release we were built against or a
// later patch of it.
bool checkSdlVersion()
{
    SDL_version built;
    SDL_VERSION(&built);
    const SDL_version* linked = SDL_Linked_Version();
    if (linked->major == built.major && linked->minor == built.minor &&
        linked->patch >= built.patch)
        return true;
    FormattedString text("Bad Version of SDL.DLL\nSDL.DLL %i.%i.%i needed, only %i.%i.%i present\n",
                         built.major, built.minor, built.patch, linked->major, linked->minor,
                         linked->patch);
    showErrorBox("Error", text.text);
    // Without a desktop the box shows nothing; say it where it is seen.
    fputs(text.text, stderr);
    return false;
}

// With no display, SDL 2 falls back to drawing into memory: a game nobody
// could see or leave. Such a driver is used only when asked for by name.
bool haveDisplay()
{
    const char* asked = getenv("SDL_VIDEODRIVER");
    if (asked && *asked)
        return true;
    char name[32] = "";
    if (!SDL_VideoDriverName(name, sizeof name))
        return false;
    return strcmp(name, "offscreen") != 0 && strcmp(name, "dummy") != 0;
}

// A launcher may start us with descriptor 0, 1 or 2 closed. The next file
// opened would take its place: our messages would go into it, and under X11
// into the display connection, which then hangs at exit. Each closed one is
// opened on /dev/null before anything else is.
void openMissingStandardStreams()
{
    for (int fd = 0; fd < 3; fd++) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

void startUp(Surface& icon, bool& scoresLoaded)
{
    icon.loadBitmap(kIconPath);
    SDL_WM_SetIcon(icon.surface, nullptr);

    requestVsync();
    openScreen();
    SDL_ShowCursor(0);
    SDL_WM_SetCaption(kCaption, nullptr);
    SDL_EventState(SDL_QUIT, SDL_ENABLE);

    loadHighScores();
    scoresLoaded = true;
    appState = 0;
    SDL_EnableUNICODE(1);
    initGlyphMap();
    srand(static_cast<unsigned>(time(nullptr)));

    // A close, F12 or a signal during the logos ends the program at once,
    // through the same shutdown as F12 in the loop.
    for (const char* logo : kLogoPaths) {
        if (!showWithWipe(logo)) {
            appState = 2;
            return;
        }
    }

    // Without a device the game simply runs silent.
    audioInit(44100, 16, 4096, 4, false);
    audioResume();

    startTitleMenu();
}

}  // namespace

int runApplication(int argc, char** argv)
{
    int answered = handleCommandLine(argc, argv);
    if (answered >= 0)
        return answered;

    openMissingStandardStreams();
    // Before SDL starts, which would otherwise take SIGINT and SIGTERM.
    platform::catchQuitSignals();
    // What games of ours that died left behind; running games keep theirs.
    platform::removeLeftoverTempFolders();
    removeLeftoverScoreFiles();

    if (!checkSdlVersion())
        return 1;

    printf("Tessal Version %s\n", kVersionText);
    fflush(stdout);

    // Every pad the library knows in one layout; read when SDL starts.
    input::requestControllerLayout();
    // Audio starts apart, inside audioInit: a machine without sound still plays.
    if (SDL_Init(SDL_INIT_EVERYTHING & ~SDL_INIT_AUDIO) < 0) {
        fprintf(stderr, "Init Error: %s\n", SDL_GetError());
        return 1;
    }
    if (!haveDisplay()) {
        fprintf(stderr, "Init Error: %s\n", "No display to show the game on");
        SDL_Quit();
        return 1;
    }

    bool scoresLoaded = false;
    {
        Surface icon;
        try {
            startUp(icon, scoresLoaded);
            while (appState != 2)
                runLoopPass();
        } catch (const Error& error) {
            error.report();
        }
        // Also after an Error, so that nothing outlives SDL.
        endMainLoop();
    }

    // An Error before the table existed must not overwrite the file.
    if (scoresLoaded)
        saveHighScores();
    audioShutdown();
    printf("Average FPS=%i\n", fps);
    fflush(stdout);
    SDL_Quit();
    return 0;
}
