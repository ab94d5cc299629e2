#include "platform/Input.h"

#include <cstring>

namespace input {

namespace {
bool scripted[SDLK_LAST];
}

bool keyDown(SDLKey key)
{
    if (key <= SDLK_UNKNOWN || key >= SDLK_LAST)
        return false;
    int count = 0;
    Uint8* state = SDL_GetKeyState(&count);
    bool real = state && key < count && state[key];
    return real || scripted[key];
}

void pointer(int& x, int& y)
{
    SDL_GetMouseState(&x, &y);
    if (x < 0) x = 0;
    if (x > 639) x = 639;
    if (y < 0) y = 0;
    if (y > 479) y = 479;
}

void pressKey(SDLKey key)
{
    if (key > SDLK_UNKNOWN && key < SDLK_LAST)
        scripted[key] = true;
}

void releaseKey(SDLKey key)
{
    if (key > SDLK_UNKNOWN && key < SDLK_LAST)
        scripted[key] = false;
}

void releaseAllKeys()
{
    memset(scripted, 0, sizeof scripted);
}

}  // namespace input
