// Preloaded into the real game by the start-up benchmark: lets the first
// SDL_Flip put the first logo frame on screen, writes the monotonic time of
// that moment to the file named by TESSAL_FLIP_STAMP, and ends the process.
// The game itself carries no hook for this.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

struct SDL_Surface;

extern "C" int SDL_Flip(SDL_Surface* surface)
{
    using FlipFunction = int (*)(SDL_Surface*);
    FlipFunction realFlip = reinterpret_cast<FlipFunction>(dlsym(RTLD_NEXT, "SDL_Flip"));
    int result = realFlip ? realFlip(surface) : -1;

    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* path = getenv("TESSAL_FLIP_STAMP");
    if (path) {
        char line[64];
        int length = snprintf(line, sizeof line, "%lld %ld\n", static_cast<long long>(now.tv_sec),
                              now.tv_nsec);
        int file = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (file >= 0) {
            bool written = write(file, line, length) == length;
            close(file);
            if (written)
                _exit(result == 0 ? 0 : 3);
        }
    }
    _exit(4);
}
