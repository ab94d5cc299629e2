#include "gfx/SDL++.h"

#include "archive/Archive.h"

// Misuse messages name this module and a fixed line, so a report from a
// player's machine points at the same place whatever the build.
static const char kModulePath[] = "src/gfx/SDL++.cpp";
static const int kLockLine = 96;
static const int kUnlockLine = 120;

static Error misuse(const char* format, const FormattedString& name, int line)
{
    FormattedString message(format, name.text ? name.text : "");
    return Error("%s [file=%s line=%d]", message.text ? message.text : "", kModulePath, line);
}

bool surfaceMustLock(const SDL_Surface* surface)
{
    return surface->offset != 0 ||
           (surface->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0;
}

Surface::Surface() : spare(false), locked(false), borrowed(false), surface(nullptr) {}

Surface::Surface(SDL_Surface* borrowedSurface)
    : spare(false), locked(false), borrowed(true), surface(borrowedSurface)
{
}

Surface::~Surface()
{
    if (!borrowed)
        release();
}

bool Surface::loadBitmap(const char* path)
{
    if (surface)
        release();
    name.assign(path);

    // The loader closes the stream whether or not it can decode it.
    SDL_RWops* stream = openArchivePath(path);
    surface = stream ? SDL_LoadBMP_RW(stream, 1) : nullptr;
    if (!surface)
        throw Error("Cannot Load Bitmap: '%s'", path);
    return true;
}

void Surface::release()
{
    if (!surface)
        return;
    // SDL drops any lock of its own when freeing, so ours goes with it:
    // a later lock on a new picture must not be taken for a double lock.
    SDL_FreeSurface(surface);
    surface = nullptr;
    locked = false;
    name.assign("NONE");
    spare = false;
}

bool Surface::lock()
{
    if (locked)
        throw misuse("Surface Already Locked [%s]", name, kLockLine);
    locked = false;
    if (!surface || !surfaceMustLock(surface))
        return false;
    if (SDL_LockSurface(surface) != 0)
        return false;
    locked = true;
    return true;
}

void Surface::unlock()
{
    if (!surface || !surfaceMustLock(surface))
        return;
    if (!locked)
        throw misuse("Surface Not Locked [%s]", name, kUnlockLine);
    SDL_UnlockSurface(surface);
    locked = false;
}

Uint8* Surface::row(int y)
{
    if (!surface)
        return nullptr;
    return static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
}
