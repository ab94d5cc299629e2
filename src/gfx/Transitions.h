// The blocking logo transition of start-up.
#pragma once

#include <SDL.h>

// Opens the picture out of black through a random wipe mask, holds it, and
// closes it again; about nine seconds, not skippable. A window close, F12 or
// a quit signal (platform::quitSignalled) ends it at once: it then returns
// false, and the caller ends the program.
bool showWithWipe(const char* picturePath);

// The clock the transition reads once per frame: SDL_GetTicks unless a test
// puts its own in (it may also look at the screen, which then holds the
// previous frame).
extern Uint32 (*wipeClock)();
