// The one place where keys and the pointer are read, so tests can script them.
#pragma once

#include <SDL.h>

namespace input {

// SDL's key state for key (after the caller pumped events), or'ed with any
// key a test has pressed through pressKey.
bool keyDown(SDLKey key);

// Pointer position from SDL_GetMouseState, clamped to 0-639 and 0-479: the
// compatibility library can report positions just outside a scaled screen.
void pointer(int& x, int& y);

// Test seams: SDL_PushEvent never changes SDL_GetKeyState.
void pressKey(SDLKey key);
void releaseKey(SDLKey key);
void releaseAllKeys();

}  // namespace input
