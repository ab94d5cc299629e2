// The one place where keys and the pointer are read, so tests can script them.
#pragma once

#include <SDL.h>

namespace input {

// SDL's key state for key (after the caller pumped events), or'ed with any
// key a test has pressed through pressKey.
bool keyDown(SDLKey key);

// How many steps key makes in this pass: 1 in the pass in which it goes
// down; held, one more once it has been down kRepeatDelay ms and then one
// every kRepeatInterval ms, timed by passMs (the pass's frameDelta, so that
// scripted passes repeat it exactly). Reads the key state, so a key pressed
// and released between two passes is not seen. Call it once per pass for
// each key read this way.
int keySteps(SDLKey key, int passMs);
// True in the pass in which key goes down; no repeat. The same once-per-pass
// rule applies; a key is read either this way or with keySteps.
bool keyPressed(SDLKey key);

// Steps right less steps left, and steps down less steps up, by keySteps:
// from the arrow keys and the keypad's 6 4 and 2 8, which carry arrows and
// report the same keys whether NumLock is on or not.
int horizontalSteps(int passMs);
int verticalSteps(int passMs);

constexpr int kRepeatDelay = 300;
constexpr int kRepeatInterval = 75;

// Pointer position, clamped to 0-639 and 0-479 (the compatibility library can
// report positions just outside a scaled screen): where the keys put it with
// steerPointer, else the mouse's.
void pointer(int& x, int& y);

// The keys take the pointer: pointer() reports (x, y) from now on, until the
// mouse moves, which takes over again at once.
void steerPointer(int x, int y);
// True while the keys hold the pointer (the mouse has not moved since).
bool pointerSteered();

// Test seams: SDL_PushEvent never changes SDL_GetKeyState. releaseAllKeys
// also forgets held keys and gives the pointer back to the mouse.
void pressKey(SDLKey key);
void releaseKey(SDLKey key);
void releaseAllKeys();

}  // namespace input
