#include "shell/MenuControl.h"

#include "menu/TitleMenu.h"
#include "platform/Input.h"
#include "shell/AppState.h"
#include "shell/Error.h"
#include "shell/HighScores.h"

namespace {

// Clicks and keys still queued when a menu is made were meant for what came
// before it: the logos, which read no input, or the time the menu took to
// load. A window close request stays for the menu to act on.
void dropQueuedInput()
{
    SDL_PumpEvents();
    SDL_Event events[32];
    while (SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_KEYEVENTMASK | SDL_MOUSEEVENTMASK) > 0) {
    }
}

TitleMenu* newTitleMenu()
{
    if (!(screen->flags & SDL_HWSURFACE))
        return new TitleMenu(screen, false);
    const SDL_PixelFormat* format = screen->format;
    SDL_Surface* buffer = SDL_CreateRGBSurface(0, 640, 480, format->BitsPerPixel, format->Rmask,
                                               format->Gmask, format->Bmask, format->Amask);
    if (!buffer)
        throw Error("Cannot Create Surface [%s]", SDL_GetError());
    return new TitleMenu(buffer, true);
}

}  // namespace

TitleMenu* createTitleMenu()
{
    TitleMenu* menu = newTitleMenu();
    dropQueuedInput();
    return menu;
}

namespace {

void clickItem(TitleMenu& menu)
{
    switch (menu.hoverItem) {
    case 1:
        menu.nextState = 1;
        menu.page = kPageClosing;
        break;
    case 2:
        menu.page = kPageScores;
        break;
    case 3:
        menu.page = kPageAbout;
        break;
    case 4:
        menu.nextState = 2;
        menu.page = kPageClosing;
        break;
    default:
        break;
    }
}

void handleEvent(TitleMenu& menu, const SDL_Event& event)
{
    if (event.type == SDL_QUIT) {
        menu.nextState = 2;
        menu.page = kPageClosing;
    } else if (event.type == SDL_MOUSEBUTTONUP) {
        if (menu.page == kPageMain) {
            // The row read this pass decides, not the event's own position.
            clickItem(menu);
        } else if (menu.nextState != 1 && menu.nextState != 2) {
            // Leaves the about page and the score board, or ends the
            // opening fade at once. Once a choice was made and cancelled
            // with Escape, only Escape leaves those pages.
            menu.page = kPageMain;
        }
    }
}

}  // namespace

int runTitleMenuPass(TitleMenu& menu)
{
    menu.drawFrame();

    int x, y;
    input::pointer(x, y);
    menu.hoverItem = menuItemAtRow(y);

    if (menu.page == kPageClosed)
        return menu.nextState;

    SDL_PumpEvents();
    if (input::keyDown(SDLK_ESCAPE))
        menu.page = kPageMain;
    if (menu.page == kPageScores && input::keyDown(SDLK_F1))
        resetHighScores();

    SDL_Event event;
    while (SDL_PollEvent(&event))
        handleEvent(menu, event);
    return 0;
}
