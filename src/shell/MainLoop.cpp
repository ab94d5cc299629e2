#include "shell/MainLoop.h"

#include <SDL.h>

#include "game/Game.h"
#include "gfx/Text.h"
#include "menu/TitleMenu.h"
#include "platform/Input.h"
#include "platform/QuitSignal.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "shell/FrameClock.h"
#include "shell/MenuControl.h"
#include "shell/VideoMode.h"

namespace {

TitleMenu* currentMenu = nullptr;
Game* currentGame = nullptr;
FrameClock frameClock;
// The invisible pointer installed after a mode switch, made once.
SDL_Cursor* blankCursor = nullptr;

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

void runMenu()
{
    if (!currentMenu)
        currentMenu = createTitleMenu();
    appState = runTitleMenuPass(*currentMenu);
    if (appState != 0) {
        delete currentMenu;
        currentMenu = nullptr;
    }
}

void runGame()
{
    if (!currentGame) {
        // Keys held from the menu belong to it, not to the new game.
        input::forgetKeys();
        currentGame = new Game();
    }
    appState = currentGame->runFrame();
    if (appState != 1) {
        delete currentGame;
        currentGame = nullptr;
    }
}

}  // namespace

TitleMenu* liveTitleMenu()
{
    return currentMenu;
}

Game* liveGame()
{
    return currentGame;
}

void startTitleMenu()
{
    currentMenu = createTitleMenu();
}

void endMainLoop()
{
    delete currentMenu;
    currentMenu = nullptr;
    delete currentGame;
    currentGame = nullptr;
    if (blankCursor) {
        SDL_FreeCursor(blankCursor);
        blankCursor = nullptr;
    }
}

void runLoopPass()
{
    SDL_ShowCursor(0);
    input::readKeys();
    followScreenMode();

    // F12 or a quit signal: the loop ends after this pass. A signal is a
    // logout, not the player's choice: a name being typed is kept.
    if (platform::quitSignalled() && currentGame)
        currentGame->keepTypedName();
    if (input::keyDown(SDLK_F12) || platform::quitSignalled())
        appState = 2;

    // Once per press, at its release: the new window takes the keyboard's
    // focus, and the desktop reports a key still held then as pressed again.
    for (int i = input::keyReleaseCount(SDLK_F9); i > 0; i--)
        switchVideoMode();

    frameClock.tick(SDL_GetTicks());
    frameDelta = frameClock.delta;
    elapsedTime = frameClock.elapsed;
    fps = frameClock.fps;

    if (appState == 0)
        runMenu();
    else if (appState == 1)
        runGame();

    if (input::keyDown(SDLK_TAB)) {
        FormattedString text("FPS=%i", fps);
        drawDebugText(screen, 0, 0, text.text, 0xFFFFFFFF);
    }
    SDL_Flip(screen);
}
