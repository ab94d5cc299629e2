#include "shell/Application.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <SDL.h>

#include "audio/Audio.h"
#include "game/Game.h"
#include "gfx/SDL++.h"
#include "gfx/Text.h"
#include "gfx/Transitions.h"
#include "menu/TitleMenu.h"
#include "platform/Input.h"
#include "shell/AppState.h"
#include "shell/Error.h"
#include "shell/FrameClock.h"
#include "shell/HighScores.h"
#include "shell/MenuControl.h"
#include "shell/VideoMode.h"

namespace {

const char* const kVersionText = "1.0.0 build 521";
const char* const kCaption = "  -=-  Tessal  -=-";
const char* const kIconPath = "zip:data.pak,icon.bmp";
const char* const kLogoPaths[] = {"zip:data.pak,logo.bmp", "zip:data.pak,logo1.bmp",
                                  "zip:data.pak,logo2.bmp"};

// The screen objects of the loop; at most one exists at a time.
TitleMenu* currentMenu = nullptr;
Game* currentGame = nullptr;
FrameClock frameClock;
bool f9WasDown = false;
// The invisible pointer installed after a mode switch, made once.
SDL_Cursor* blankCursor = nullptr;

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

void installBlankCursor()
{
    SDL_ShowCursor(1);
    if (!blankCursor) {
        static Uint8 blank[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        blankCursor = SDL_CreateCursor(blank, blank, 8, 8, 0, 0);
    }
    if (blankCursor)
        SDL_SetCursor(blankCursor);
}

// F9: the other video mode, and screen objects that follow it.
void switchVideoMode()
{
    toggleScreenMode();
    if (appState == 0 && currentMenu) {
        // The menu's backBuffer follows the new screen; it starts afresh.
        delete currentMenu;
        currentMenu = nullptr;
        currentMenu = createTitleMenu();
    }
    if (appState == 1 && currentGame)
        currentGame->loadAssets(true);
    installBlankCursor();
}

void runGamePass()
{
    if (!currentGame)
        currentGame = new Game();
    appState = currentGame->runFrame();
    if (appState != 1) {
        delete currentGame;
        currentGame = nullptr;
    }
}

void runMenuPass()
{
    if (!currentMenu)
        currentMenu = createTitleMenu();
    appState = runTitleMenuPass(*currentMenu);
    if (appState != 0) {
        delete currentMenu;
        currentMenu = nullptr;
    }
}

void runPass()
{
    SDL_ShowCursor(0);
    SDL_PumpEvents();

    if (input::keyDown(SDLK_F12))
        appState = 2;

    // Once per press: held down, the key would flip the mode every pass.
    bool f9Down = input::keyDown(SDLK_F9);
    if (f9Down && !f9WasDown)
        switchVideoMode();
    f9WasDown = f9Down;

    frameClock.tick(SDL_GetTicks());
    frameDelta = frameClock.delta;
    elapsedTime = frameClock.elapsed;
    fps = frameClock.fps;

    if (appState == 0)
        runMenuPass();
    else if (appState == 1)
        runGamePass();

    if (input::keyDown(SDLK_TAB)) {
        FormattedString text("FPS=%i", fps);
        drawDebugText(screen, 0, 0, text.text, 0xFFFFFFFF);
    }
    SDL_Flip(screen);
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

    for (const char* logo : kLogoPaths)
        showWithWipe(logo);

    // Without a device the game simply runs silent.
    audioInit(44100, 16, 4096, 4, false);
    audioResume();

    currentMenu = createTitleMenu();
}

}  // namespace

int runApplication(int, char**)
{
    if (!checkSdlVersion())
        return 1;

    printf("Tessal Version %s\n", kVersionText);
    fflush(stdout);

    // Audio starts apart, inside audioInit: a machine without sound still plays.
    if (SDL_Init(SDL_INIT_EVERYTHING & ~SDL_INIT_AUDIO) < 0) {
        fprintf(stderr, "Init Error: %s\n", SDL_GetError());
        return 1;
    }

    bool scoresLoaded = false;
    {
        Surface icon;
        try {
            startUp(icon, scoresLoaded);
            while (appState != 2)
                runPass();
        } catch (const Error& error) {
            error.report();
        }
        // Also after an Error, so nothing outlives SDL.
        delete currentMenu;
        currentMenu = nullptr;
        delete currentGame;
        currentGame = nullptr;
    }

    // An Error before the table existed must not overwrite the file.
    if (scoresLoaded)
        saveHighScores();
    audioShutdown();
    if (blankCursor) {
        SDL_FreeCursor(blankCursor);
        blankCursor = nullptr;
    }
    printf("Average FPS=%i\n", fps);
    fflush(stdout);
    SDL_Quit();
    return 0;
}
