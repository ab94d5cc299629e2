#include "platform/Input.h"

#include <cstring>

namespace input {

namespace {

bool scripted[SDLK_LAST];

// How long each key has been down, for keySteps and keyPressed.
struct HeldKey {
    bool down;
    int heldMs;  // time held, less kRepeatInterval for every repeat made
};
HeldKey held[SDLK_LAST];

// Where the keys put the pointer, and where the mouse was then.
struct Steering {
    bool on;
    int x, y;
    int mouseX, mouseY;
};
Steering steering;

bool validKey(SDLKey key)
{
    return key > SDLK_UNKNOWN && key < SDLK_LAST;
}

void mousePosition(int& x, int& y)
{
    SDL_GetMouseState(&x, &y);
    if (x < 0) x = 0;
    if (x > 639) x = 639;
    if (y < 0) y = 0;
    if (y > 479) y = 479;
}

int steps(SDLKey key, int passMs, bool repeats)
{
    if (!validKey(key))
        return 0;
    HeldKey& state = held[key];
    if (!keyDown(key)) {
        state = HeldKey{false, 0};
        return 0;
    }
    if (!state.down) {
        state = HeldKey{true, 0};
        return 1;
    }
    if (!repeats)
        return 0;
    state.heldMs += passMs > 0 ? passMs : 0;
    int count = 0;
    while (state.heldMs >= kRepeatDelay) {
        count++;
        state.heldMs -= kRepeatInterval;
    }
    return count;
}

}  // namespace

bool keyDown(SDLKey key)
{
    if (!validKey(key))
        return false;
    int count = 0;
    Uint8* state = SDL_GetKeyState(&count);
    bool real = state && key < count && state[key];
    return real || scripted[key];
}

int keySteps(SDLKey key, int passMs)
{
    return steps(key, passMs, true);
}

int horizontalSteps(int passMs)
{
    return keySteps(SDLK_RIGHT, passMs) + keySteps(SDLK_KP6, passMs) -
           keySteps(SDLK_LEFT, passMs) - keySteps(SDLK_KP4, passMs);
}

int verticalSteps(int passMs)
{
    return keySteps(SDLK_DOWN, passMs) + keySteps(SDLK_KP2, passMs) -
           keySteps(SDLK_UP, passMs) - keySteps(SDLK_KP8, passMs);
}

bool keyPressed(SDLKey key)
{
    return steps(key, 0, false) > 0;
}

void pointer(int& x, int& y)
{
    if (pointerSteered()) {
        x = steering.x;
        y = steering.y;
    } else {
        mousePosition(x, y);
    }
}

void steerPointer(int x, int y)
{
    steering.on = true;
    steering.x = x < 0 ? 0 : x > 639 ? 639 : x;
    steering.y = y < 0 ? 0 : y > 479 ? 479 : y;
    mousePosition(steering.mouseX, steering.mouseY);
}

bool pointerSteered()
{
    if (steering.on) {
        int x, y;
        mousePosition(x, y);
        if (x != steering.mouseX || y != steering.mouseY)
            steering.on = false;
    }
    return steering.on;
}

void pressKey(SDLKey key)
{
    if (validKey(key))
        scripted[key] = true;
}

void releaseKey(SDLKey key)
{
    if (validKey(key))
        scripted[key] = false;
}

void releaseAllKeys()
{
    memset(scripted, 0, sizeof scripted);
    memset(held, 0, sizeof held);
    steering.on = false;
}

}  // namespace input
