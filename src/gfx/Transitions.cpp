#include "gfx/Transitions.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "archive/Archive.h"
#include "gfx/Picture.h"
#include "gfx/Primitives.h"
#include "gfx/SDL++.h"
#include "core/AppState.h"
#include "core/StepCarry.h"
#include "platform/Input.h"
#include "platform/QuitSignal.h"

Uint32 (*wipeClock)() = SDL_GetTicks;

// Levels run at 0.1 per millisecond, the part of a level carried from frame
// to frame, so frames shorter than 10 ms still move it on.
class WipeTimer {
public:
    WipeTimer() : started(false), previous(0), levels(0), steps(10) {}

    // Levels since the phase began, at most 1000; the first frame counts as 1 ms.
    int tick()
    {
        Uint32 now = wipeClock();
        levels += steps.advance(started ? static_cast<Uint32>(now - previous) : 1);
        started = true;
        previous = now;
        return levels > 1000 ? 1000 : static_cast<int>(levels);
    }

private:
    bool started;
    Uint32 previous;
    int64_t levels;
    StepCarry steps;
};

static int showFrame(SDL_Surface* picture, SDL_Surface* work, int level,
                     const unsigned char* mask)
{
    SDL_BlitSurface(picture, nullptr, work, nullptr);
    drawWipe(work, level, mask);
    SDL_BlitSurface(work, nullptr, screen, nullptr);
    return SDL_Flip(screen);
}

// Tells whether the player or the desktop asked us to end: a window close,
// F12 or a quit signal. Keys are read where every screen reads them; other
// keys pressed now stay silent in the menu until let go. Every other event
// is taken too: clicks and wheel turns were never meant for the menu, and
// left queued they would fill SDL's queue until a close or F12 found no room.
static bool quitAsked()
{
    input::readKeys();
    bool closed = false;
    SDL_Event event;
    while (input::pollEvent(event)) {
        if (event.type == SDL_QUIT)
            closed = true;
    }
    return closed || input::keyDown(SDLK_F12) || platform::quitSignalled();
}

bool showWithWipe(const char* picturePath)
{
    if (!screen)
        return true;
    const SDL_PixelFormat* format = screen->format;

    // Owning holders free both surfaces however we leave.
    Surface work;
    work.surface = SDL_CreateRGBSurface(0, 640, 480, format->BitsPerPixel, format->Rmask,
                                        format->Gmask, format->Bmask, format->Amask);
    if (!work.surface)
        return true;

    PakArchive pak;
    pak.open("data.pak");

    // A picture that is missing or is not a readable BMP is simply not shown.
    SDL_RWops* stream = openArchivePath(picturePath);
    if (!stream)
        return true;
    SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
    if (!loaded)
        return true;
    Surface picture;
    picture.surface = SDL_ConvertSurface(loaded, screen->format, 0);
    SDL_FreeSurface(loaded);
    if (!picture.surface)
        return true;

    // A short mask leaves its last entries at 0: those blocks open first.
    unsigned char mask[kWipeMaskSize] = {};
    char member[32];
    snprintf(member, sizeof member, "wipe%i.raw", rand() % 10);
    loadPakMask(pak, member, mask);

    // Out of black: about a second black, 2.56 s opening, then the picture
    // stands until level 400.
    WipeTimer opening;
    int level = -100;
    do {
        if (quitAsked())
            return false;
        level = -100 + opening.tick();
        if (showFrame(picture.surface, work.surface, level, mask) != 0)
            fprintf(stderr, "Flip Error: %s\n", SDL_GetError());
    } while (level < 400);

    // And back: the mirror image, ending a little below zero.
    WipeTimer closing;
    do {
        level = 400 - closing.tick();
        if (quitAsked())
            return false;
        showFrame(picture.surface, work.surface, level, mask);
    } while (level > -10);

    pak.close();
    return true;
}
