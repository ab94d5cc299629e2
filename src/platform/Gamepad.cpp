#include "platform/Gamepad.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace input {

namespace {

// Up, right, down, left: the order of the hat's and the stick's controls.
const SDLKey kArrows[4] = {SDLK_UP, SDLK_RIGHT, SDLK_DOWN, SDLK_LEFT};
const SDLKey kSpelling[4] = {kLetterUp, kTakeLetter, kLetterDown, kDropLetter};

// The direction (0 up, 1 right, 2 down, 3 left) a control stands for, or -1.
int directionOf(int control)
{
    switch (control) {
    case kPadUp:
        return 0;
    case kPadRight:
        return 1;
    case kPadDown:
        return 2;
    case kPadLeft:
        return 3;
    default:
        break;
    }
    if (control >= PadKeys::kHatUp && control < PadKeys::kControls)
        return (control - PadKeys::kHatUp) % 4;
    return -1;
}

}  // namespace

PadKeys::PadKeys(Sink sink) : sink(sink), heldAs{}, holders{} {}

SDLKey PadKeys::keyFor(int control, bool spelling)
{
    int direction = directionOf(control);
    if (direction >= 0)
        return spelling ? kSpelling[direction] : kArrows[direction];
    switch (control) {
    case kPadSouth:
        return spelling ? kTakeLetter : SDLK_SPACE;
    case kPadEast:
        return spelling ? kDropLetter : SDLK_ESCAPE;
    case kPadStart:
        return SDLK_RETURN;
    case kPadBack:
        return SDLK_TAB;
    default:
        return SDLK_UNKNOWN;
    }
}

bool PadKeys::held(int pad, int control) const
{
    return heldAs[pad][control] != SDLK_UNKNOWN;
}

void PadKeys::set(int pad, int control, bool down)
{
    SDLKey& was = heldAs[pad][control];
    if (down) {
        SDLKey key = keyFor(control, spelling);
        if (was != SDLK_UNKNOWN || key == SDLK_UNKNOWN)
            return;
        was = key;
        if (holders[key]++ == 0)
            sink(key, true);
    } else if (was != SDLK_UNKNOWN) {
        SDLKey key = was;
        was = SDLK_UNKNOWN;
        if (--holders[key] == 0)
            sink(key, false);
    }
}

void PadKeys::setStick(int pad, int control, int value)
{
    set(pad, control, value > (held(pad, control) ? kStickRest : kStickPush));
}

void PadKeys::take(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (event.jbutton.which < kMostPads && event.jbutton.button < kButtons)
            set(event.jbutton.which, event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
        break;
    case SDL_JOYHATMOTION:
        if (event.jhat.which < kMostPads && event.jhat.hat == 0) {
            const Uint8 bits[4] = {SDL_HAT_UP, SDL_HAT_RIGHT, SDL_HAT_DOWN, SDL_HAT_LEFT};
            for (int i = 0; i < 4; i++)
                set(event.jhat.which, kHatUp + i, (event.jhat.value & bits[i]) != 0);
        }
        break;
    case SDL_JOYAXISMOTION: {
        int pad = event.jaxis.which;
        int value = event.jaxis.value;
        if (pad >= kMostPads)
            break;
        if (event.jaxis.axis == kPadStickX) {
            setStick(pad, kStickUp + 1, value);
            setStick(pad, kStickUp + 3, -value);
        } else if (event.jaxis.axis == kPadStickY) {
            setStick(pad, kStickUp + 2, value);
            setStick(pad, kStickUp, -value);
        }
        break;
    }
    default:
        break;
    }
}

void PadKeys::spellName(bool on)
{
    spelling = on;
}

void PadKeys::padsFound(int count)
{
    if (count != pads)
        releaseAll();
    pads = count;
}

void PadKeys::releaseAll()
{
    for (int pad = 0; pad < kMostPads; pad++)
        for (int control = 0; control < kControls; control++)
            set(pad, control, false);
}

void requestControllerLayout()
{
    setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 0);
}

namespace {

SDL_Joystick* opened[kMostPads];
int openedCount = 0;
bool listed = false;

// Whether the pad still shows control held, read from its state.
bool stillHeld(SDL_Joystick* pad, int control)
{
    if (control < PadKeys::kButtons)
        return SDL_JoystickGetButton(pad, control) != 0;
    if (control < PadKeys::kStickUp) {
        const Uint8 bits[4] = {SDL_HAT_UP, SDL_HAT_RIGHT, SDL_HAT_DOWN, SDL_HAT_LEFT};
        return SDL_JoystickNumHats(pad) > 0 &&
               (SDL_JoystickGetHat(pad, 0) & bits[control - PadKeys::kHatUp]) != 0;
    }
    int direction = control - PadKeys::kStickUp;
    int value = SDL_JoystickGetAxis(pad, direction % 2 == 1 ? kPadStickX : kPadStickY);
    return (direction == 1 || direction == 2 ? value : -value) > kStickRest;
}

#ifndef __EMSCRIPTEN__
// Starting SDL's joysticks again takes time, and makes some pads greet us
// anew (lights, a rumble), so it is done only when /dev/input, where Linux
// adds and removes their device nodes, changed, and for a few looks after
// that, since the desktop may name a new pad to SDL a little later. Where
// that folder cannot be read, every look starts them again.
bool padsMayHaveChanged()
{
    static bool seen = false;
    static timespec last = {};
    static int looksLeft = 0;
    struct stat folder;
    if (stat("/dev/input", &folder) != 0)
        return true;
    if (!seen || folder.st_mtim.tv_sec != last.tv_sec || folder.st_mtim.tv_nsec != last.tv_nsec)
        looksLeft = 3;
    seen = true;
    last = folder.st_mtim;
    if (looksLeft == 0)
        return false;
    looksLeft--;
    return true;
}
#endif

}  // namespace

void closePads()
{
    for (int i = 0; i < openedCount; i++)
        if (opened[i] && SDL_JoystickOpened(i))
            SDL_JoystickClose(opened[i]);
    openedCount = 0;
}

int scanPads(PadKeys& keys)
{
#ifdef __EMSCRIPTEN__
    // The browser's back end counts the page's pads as they come and go.
    const bool restart = false;
    if (listed && SDL_NumJoysticks() == keys.padCount())
        return keys.padCount();
#else
    const bool restart = listed;
    if (!padsMayHaveChanged() && listed)
        return keys.padCount();
#endif
    closePads();
    if (restart) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0)
            return 0;
    }
    listed = true;
    SDL_JoystickEventState(SDL_ENABLE);
    int count = SDL_NumJoysticks();
    if (count > kMostPads)
        count = kMostPads;
    for (int i = 0; i < count; i++)
        opened[i] = SDL_JoystickOpen(i);
    openedCount = count;
    SDL_JoystickUpdate();

    if (count == keys.padCount()) {
        // Releases that came while the pads were closed have no event.
        for (int i = 0; i < count; i++)
            for (int control = 0; control < PadKeys::kControls && opened[i]; control++)
                if (keys.held(i, control) && !stillHeld(opened[i], control))
                    keys.set(i, control, false);
    } else {
        // On standard error, beside SDL's own notes: standard output is the
        // version and the frame rate only.
        for (int i = 0; i < count; i++)
            fprintf(stderr, "Gamepad %d: %s\n", i + 1, SDL_JoystickName(i) ? SDL_JoystickName(i) : "?");
    }
    return count;
}

}  // namespace input
