#include "platform/Input.h"

#include <cstring>

#include "platform/Gamepad.h"

namespace input {

namespace {

// Who holds a key down: the keyboard, a pad, or both.
const Uint8 kByKeyboard = 1;
const Uint8 kByPad = 2;

struct Key {
    bool down;         // by the events read so far
    Uint8 holders;     // kByKeyboard, kByPad
    bool silent;       // was down when forgetKeys ran, and not released since
    int presses;       // in this pass
    Uint16 character;  // of the last press
    // Repeat timing for keySteps.
    bool held;
    int heldMs;  // time held, less kRepeatInterval for every repeat made
};
Key keys[kKeyCount];

// SDL's queue holds 128 events; one pass never releases more keys than that.
const int kMostReleases = 128;
KeyRelease releases[kMostReleases];
int releaseCount = 0;

// Key and joystick events from the test seams, waiting for the next read.
SDL_Event scripted[kMostReleases];
int scriptedCount = 0;
// What the next look for pads finds, when a test says; else -1.
int scriptedPadCount = -1;
// When pads were last looked for, and whether they ever were.
Uint32 lastPadScan = 0;
bool padsScanned = false;

// Where the keys put the pointer, and where the mouse was then.
struct Steering {
    bool on;
    int x, y;
    int mouseX, mouseY;
};
Steering steering;

bool validKey(SDLKey key)
{
    return key > SDLK_UNKNOWN && key < kKeyCount;
}

void mousePosition(int& x, int& y)
{
    SDL_GetMouseState(&x, &y);
    if (x < 0) x = 0;
    if (x > 639) x = 639;
    if (y < 0) y = 0;
    if (y > 479) y = 479;
}

void take(const SDL_Event& event, Uint8 holder)
{
    SDLKey sym = event.key.keysym.sym;
    // The keys past SDL's own are made by pads only.
    if (!validKey(sym) || (holder == kByKeyboard && sym >= SDLK_LAST))
        return;
    Key& key = keys[sym];
    if (event.type == SDL_KEYDOWN) {
        // Every press counts, also one whose release was never seen.
        key.holders |= holder;
        key.down = true;
        key.silent = false;
        key.presses++;
        key.character = event.key.keysym.unicode;
    } else if (event.type == SDL_KEYUP) {
        key.holders &= ~holder;
        if (key.holders)
            return;
        bool counted = key.down && !key.silent;
        if (counted && releaseCount < kMostReleases) {
            Uint16 character = event.key.keysym.unicode;
            releases[releaseCount++] = {sym, character ? character : key.character};
        }
        key.down = false;
        key.silent = false;
    }
}

// A key the pads pressed or let go.
void padKey(SDLKey sym, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.sym = sym;
    take(event, kByPad);
}

PadKeys pads(padKey);

void takeEvent(const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
        take(event, kByKeyboard);
    else
        pads.take(event);
}

void takeQueuedKeys()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYEVENTMASK | SDL_JOYEVENTMASK) > 0)
            takeEvent(event);
    }
    for (int i = 0; i < scriptedCount; i++)
        takeEvent(scripted[i]);
    scriptedCount = 0;
}

void lookForPads()
{
    if (scriptedPadCount >= 0) {
        pads.padsFound(scriptedPadCount);
        scriptedPadCount = -1;
        return;
    }
    if (!SDL_WasInit(SDL_INIT_JOYSTICK))
        return;
    Uint32 now = SDL_GetTicks();
    if (padsScanned && now - lastPadScan < (Uint32)kPadScanInterval)
        return;
    pads.padsFound(scanPads(pads));
    padsScanned = true;
    lastPadScan = now;
}

void clearPass()
{
    for (Key& key : keys)
        key.presses = 0;
    releaseCount = 0;
}

void script(const SDL_Event& event)
{
    if (scriptedCount < kMostReleases)
        scripted[scriptedCount++] = event;
}

void scriptKey(Uint8 type, SDLKey key, Uint16 character)
{
    if (!validKey(key))
        return;
    SDL_Event event = {};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = character;
    script(event);
}

}  // namespace

void readKeys()
{
    clearPass();
    takeQueuedKeys();
    lookForPads();
}

void spellName(bool on)
{
    pads.spellName(on);
}

void forgetKeys()
{
    takeQueuedKeys();
    clearPass();
    for (int sym = 0; sym < kKeyCount; sym++) {
        if (sym == SDLK_F12 || sym == SDLK_TAB)
            continue;
        keys[sym].silent = keys[sym].down;
        keys[sym].held = false;
    }
}

bool keyDown(SDLKey key)
{
    if (!validKey(key))
        return false;
    const Key& state = keys[key];
    return (state.down && !state.silent) || state.presses > 0;
}

int keyPresses(SDLKey key)
{
    return validKey(key) ? keys[key].presses : 0;
}

bool keyPressed(SDLKey key)
{
    return keyPresses(key) > 0;
}

int keySteps(SDLKey key, int passMs)
{
    if (!validKey(key))
        return 0;
    Key& state = keys[key];
    int count = state.presses;
    if (!state.down || state.silent) {
        state.held = false;
        return count;
    }
    if (count > 0 || !state.held) {
        state.held = true;
        state.heldMs = 0;
        return count;
    }
    state.heldMs += passMs > 0 ? passMs : 0;
    while (state.heldMs >= kRepeatDelay) {
        count++;
        state.heldMs -= kRepeatInterval;
    }
    return count;
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

int keyReleases(const KeyRelease*& list)
{
    list = releases;
    return releaseCount;
}

int keyReleaseCount(SDLKey key)
{
    int count = 0;
    for (int i = 0; i < releaseCount; i++)
        count += releases[i].key == key;
    return count;
}

bool pollEvent(SDL_Event& event)
{
    SDL_PumpEvents();
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT,
                          SDL_ALLEVENTS & ~(SDL_KEYEVENTMASK | SDL_JOYEVENTMASK)) > 0;
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

void pressKey(SDLKey key, Uint16 character)
{
    scriptKey(SDL_KEYDOWN, key, character);
}

void releaseKey(SDLKey key, Uint16 character)
{
    scriptKey(SDL_KEYUP, key, character);
}

void releaseAllKeys()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYEVENTMASK | SDL_JOYEVENTMASK) > 0) {
        }
    }
    pads.releaseAll();
    pads.padsFound(0);
    pads.spellName(false);
    memset(keys, 0, sizeof keys);
    releaseCount = 0;
    scriptedCount = 0;
    scriptedPadCount = -1;
    steering.on = false;
}

void scriptPadEvent(const SDL_Event& event)
{
    script(event);
}

void scriptPadCount(int count)
{
    scriptedPadCount = count;
}

}  // namespace input
