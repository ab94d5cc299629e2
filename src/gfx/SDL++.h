// Holder of one SDL surface with a name, lock state and ownership.
#pragma once

#include <SDL.h>

#include "core/Error.h"

class Surface {
public:
    Surface();
    explicit Surface(SDL_Surface* borrowedSurface);  // never freed by us
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Throws Error "Cannot Load Bitmap: '%s'".
    bool loadBitmap(const char* path);
    void release();
    // Misuse throws "Surface Already Locked [%s]" / "Surface Not Locked [%s]"
    // with the source decoration of this module.
    bool lock();
    void unlock();
    Uint8* row(int y);

    FormattedString name;
    bool spare;
    bool locked;
    bool borrowed;
    SDL_Surface* surface;
};

// SDL 1.2's must-lock rule: offset non-zero or HW, ASYNCBLIT or RLE flags.
bool surfaceMustLock(const SDL_Surface* surface);
