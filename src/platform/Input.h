// The one place where keys, gamepads and the pointer are read, so tests can
// script them.
//
// Keys come from SDL's key events, not from its key state: a press and its
// release within one pass (a tap from an on-screen keyboard, a remote desktop
// or a pass spent loading a board) still count once. readKeys takes the
// events at the top of each pass; the screens take their other events with
// pollEvent, which leaves the key events where readKeys finds them.
//
// Gamepads play as keys: the D-pad and the left stick are the arrows, South
// is Space, East Escape, Start Return and Back TAB (see Gamepad.h). A key
// held on the keyboard and on a pad at once is down until both let go.
#pragma once

#include <SDL.h>

namespace input {

// Keys only a pad makes, while a name is spelled with it: the letter being
// chosen goes up or down, is taken, or the last one is dropped.
const SDLKey kLetterUp = SDLKey(SDLK_LAST);
const SDLKey kLetterDown = SDLKey(SDLK_LAST + 1);
const SDLKey kTakeLetter = SDLKey(SDLK_LAST + 2);
const SDLKey kDropLetter = SDLKey(SDLK_LAST + 3);
const int kKeyCount = SDLK_LAST + 4;

// Takes the key and joystick events queued since the last call: they are
// this pass's presses and releases. The main loop calls it once at the top of
// each pass. Every kPadScanInterval ms it also looks for pads plugged in or
// pulled out; a pad that went lets go of what it held.
void readKeys();
constexpr int kPadScanInterval = 1000;

// From now on a pad spells a name instead of playing: up and down choose the
// letter (kLetterUp, kLetterDown), right and South take it (kTakeLetter),
// left and East drop the last one (kDropLetter); Start is still Return.
// Until spellName(false); what a pad holds keeps the key it pressed.
void spellName(bool on);

// Asks the SDL 1.2 compatibility library to present every game controller it
// knows in one layout (SDL12COMPAT_USE_GAME_CONTROLLERS), unless the user set
// that variable. Call it before SDL starts.
void requestControllerLayout();

// A new screen, or name entry, starts here: this pass's presses and releases
// are dropped, and every key down now stays silent (not down, no steps, its
// release types nothing) until it is released. F12 and TAB, which act on
// every screen, are never silenced.
void forgetKeys();

// Down now, or went down in this pass, and not silenced.
bool keyDown(SDLKey key);
// How often key went down in this pass.
int keyPresses(SDLKey key);
bool keyPressed(SDLKey key);

// How many steps key makes in this pass: one for each press in it; held, one
// more once it has been down kRepeatDelay ms and then one every
// kRepeatInterval ms, timed by passMs (the pass's frameDelta, so that scripted
// passes repeat it exactly). Call it once per pass for each key read this way.
int keySteps(SDLKey key, int passMs);

// Steps right less steps left, and steps down less steps up, by keySteps:
// from the arrow keys and the keypad's 6 4 and 2 8, which carry arrows and
// report the same keys whether NumLock is on or not.
int horizontalSteps(int passMs);
int verticalSteps(int passMs);

constexpr int kRepeatDelay = 300;
constexpr int kRepeatInterval = 75;

// A release in this pass of a key whose press counted, with its translated
// character: the release's own, else the press's (SDL 1.2 fills it on
// presses only), 0 when neither has one.
struct KeyRelease {
    SDLKey key;
    Uint16 character;
};
// This pass's releases, oldest first; returns how many there are.
int keyReleases(const KeyRelease*& releases);
// How many of them are of key.
int keyReleaseCount(SDLKey key);

// The next pending event that is neither a key nor a joystick event, as
// SDL_PollEvent does.
bool pollEvent(SDL_Event& event);

// Pointer position, clamped to 0-639 and 0-479 (the compatibility library can
// report positions just outside a scaled screen): where the keys put it with
// steerPointer, else the mouse's.
void pointer(int& x, int& y);

// The keys take the pointer: pointer() reports (x, y) from now on, until the
// mouse moves, which takes over again at once.
void steerPointer(int x, int y);
// True while the keys hold the pointer (the mouse has not moved since).
bool pointerSteered();

// Test seams: a key event as SDL would deliver it, read by the next readKeys
// or forgetKeys; they work before SDL's video starts. releaseAllKeys drops
// every key and joystick event and all key and pad state, and gives the
// pointer back to the mouse.
void pressKey(SDLKey key, Uint16 character = 0);
void releaseKey(SDLKey key, Uint16 character = 0);
void releaseAllKeys();
// A joystick event as SDL would deliver it, read by the next readKeys.
void scriptPadEvent(const SDL_Event& event);
// The next readKeys finds `count` pads, as its look at the desktop's would.
void scriptPadCount(int count);

}  // namespace input
