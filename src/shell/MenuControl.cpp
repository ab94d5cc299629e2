#include "shell/MenuControl.h"

#include "menu/TitleMenu.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "core/HighScores.h"

namespace {

// Clicks still queued and keys still down when a menu is made were meant for
// what came before it: the logos, which read no input, the game, or the time
// the menu took to load. A key held from then acts once it is pressed again.
// A window close request stays for the menu to act on.
void dropQueuedInput()
{
    input::forgetKeys();
    SDL_PumpEvents();
    SDL_Event events[32];
    while (SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_MOUSEEVENTMASK) > 0) {
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

// A button release, or Return or Space.
void click(TitleMenu& menu)
{
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

void handleEvent(TitleMenu& menu, const SDL_Event& event)
{
    if (event.type == SDL_QUIT) {
        menu.nextState = 2;
        menu.page = kPageClosing;
    } else if (event.type == SDL_MOUSEBUTTONUP) {
        click(menu);
    }
}

// Up and Down move the highlight over the items, wrapping, and take the
// pointer to the middle of the item's band; Return and Space click.
void readMenuKeys(TitleMenu& menu)
{
    int steps = input::verticalSteps(frameDelta);
    int clicks = input::keyPresses(SDLK_SPACE) + input::keyPresses(SDLK_RETURN) +
                 input::keyPresses(SDLK_KP_ENTER);
    bool itemsShown = menu.page == kPageMain || menu.page == kPageOpening;
    if (steps != 0 && itemsShown) {
        // From no item, Down comes to the first and Up to the last.
        int item = menu.hoverItem;
        if (item == 0)
            item = steps > 0 ? 0 : kMenuItemCount + 1;
        item = ((item - 1 + steps) % kMenuItemCount + kMenuItemCount) % kMenuItemCount + 1;
        int x, y;
        input::pointer(x, y);
        input::steerPointer(x, (kItemTop[item - 1] + kItemTop[item]) / 2);
        menu.hoverItem = item;
    }
    for (; clicks > 0; clicks--)
        click(menu);
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

    if (input::keyDown(SDLK_ESCAPE))
        menu.page = kPageMain;
    if (menu.page == kPageScores && input::keyDown(SDLK_F1))
        resetHighScores();

    SDL_Event event;
    while (input::pollEvent(event))
        handleEvent(menu, event);
    readMenuKeys(menu);
    return 0;
}
