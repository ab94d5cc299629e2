// Preloaded into the real game by the fault tests: SDL_GetTicks runs
// TESSAL_CLOCK_WARP times faster, so the 27 s of start-up logos, which read
// no input and cannot be skipped, pass in a few seconds. Nothing else changes.
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>

extern "C" uint32_t SDL_GetTicks(void)
{
    typedef uint32_t (*Ticks)(void);
    static Ticks real = reinterpret_cast<Ticks>(dlsym(RTLD_NEXT, "SDL_GetTicks"));
    static uint32_t factor = [] {
        const char* text = getenv("TESSAL_CLOCK_WARP");
        long value = text ? strtol(text, nullptr, 10) : 1;
        return static_cast<uint32_t>(value >= 1 && value <= 1000 ? value : 1);
    }();
    return real ? real() * factor : 0;
}
