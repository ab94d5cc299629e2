// Gamepads, read as the keys they stand for, so that every screen plays with
// a pad without knowing of it. Input.cpp feeds the joystick events in and
// takes the key presses and releases out.
//
// The layout is the one the SDL 1.2 compatibility library gives every game
// controller it knows when SDL12COMPAT_USE_GAME_CONTROLLERS is set (SDL 2's
// controller numbering); the browser's driver presents the same. The first
// hat, which plain joysticks use for their D-pad, counts as the D-pad too.
#pragma once

#include <SDL.h>

#include "platform/Input.h"

namespace input {

enum PadButton {
    kPadSouth = 0,
    kPadEast = 1,
    kPadWest = 2,
    kPadNorth = 3,
    kPadBack = 4,
    kPadGuide = 5,
    kPadStart = 6,
    kPadLeftStickClick = 7,
    kPadRightStickClick = 8,
    kPadLeftShoulder = 9,
    kPadRightShoulder = 10,
    kPadUp = 11,
    kPadDown = 12,
    kPadLeft = 13,
    kPadRight = 14,
};
// The left stick; 2 and 3 are the right stick, 4 and 5 the triggers.
const int kPadStickX = 0;
const int kPadStickY = 1;

// The stick counts as pushed beyond kStickPush and as back at rest within
// kStickRest: a resting or slightly worn stick never moves anything, and one
// held near the edge does not chatter.
const int kStickPush = 16384;
const int kStickRest = 12288;

const int kMostPads = 8;

// What the pads hold. Each control (button, hat or stick direction) of each
// pad remembers the key it pressed, so that its release lets go of that key
// even when the mapping changed in between; a key held by several controls
// is released when the last one lets go.
class PadKeys {
public:
    // Receives each key press (down) and release the pads make.
    using Sink = void (*)(SDLKey key, bool down);

    explicit PadKeys(Sink sink);

    // A joystick event; other events are ignored.
    void take(const SDL_Event& event);
    // While a name is spelled, the buttons and directions choose letters.
    void spellName(bool on);
    // A scan found `count` pads. When the number changed, pads may have been
    // renumbered: everything held is let go, as released keys would be.
    void padsFound(int count);
    int padCount() const { return pads; }
    // Controls are numbered: the buttons, then the hat's and then the
    // stick's up, right, down and left.
    static const int kButtons = 32;
    static const int kHatUp = kButtons;
    static const int kStickUp = kButtons + 4;
    static const int kControls = kButtons + 8;
    bool held(int pad, int control) const;
    void set(int pad, int control, bool down);
    void releaseAll();

    // The key a control stands for; SDLK_UNKNOWN for none.
    static SDLKey keyFor(int control, bool spelling);

private:
    void setStick(int pad, int control, int value);

    Sink sink;
    bool spelling = false;
    int pads = 0;
    SDLKey heldAs[kMostPads][kControls];
    int holders[kKeyCount];
};

// The pads the desktop has now. SDL 1.2, and its compatibility library, list
// pads only when the joystick subsystem starts, so when pads may have come or
// gone it is started again, and every pad is opened. Returns how many there
// are. What a pad still holds but its new reading no longer shows is let go
// in keys.
int scanPads(PadKeys& keys);
// Closes the pads scanPads opened.
void closePads();

}  // namespace input
