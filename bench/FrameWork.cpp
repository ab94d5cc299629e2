// Preloaded into the real game by bench/frame-work.sh: the game's own work
// per frame, timed as the browser's SDL driver times it, from the return of
// one SDL_Flip to the call of the next (the flip itself is the platform's
// share), kept as the same running average. After every flip it writes
// "<flips> <milliseconds>" to the file named by TESSAL_FRAME_WORK.
// The game itself carries no hook for this.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

struct SDL_Surface;

namespace {

double nowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

long flips = 0;
double resumedAt = 0;
double averageMs = 0;
int reportFile = -1;
bool reportOpened = false;

}  // namespace

extern "C" int SDL_Flip(SDL_Surface* surface)
{
    double called = nowMs();
    if (flips > 0) {
        double work = called - resumedAt;
        averageMs = flips > 1 ? averageMs * 0.95 + work * 0.05 : work;
    }
    flips++;
    if (!reportOpened) {
        reportOpened = true;
        const char* path = getenv("TESSAL_FRAME_WORK");
        if (path)
            reportFile = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    if (reportFile >= 0) {
        // One fixed-width line, rewritten in place: a reader never sees half.
        char line[40];
        int length = snprintf(line, sizeof line, "%12ld %12.4f\n", flips, averageMs);
        if (pwrite(reportFile, line, length, 0) != length) {
            close(reportFile);
            reportFile = -1;  // a full disk ends the report, not the game
        }
    }

    using FlipFunction = int (*)(SDL_Surface*);
    static FlipFunction realFlip = reinterpret_cast<FlipFunction>(dlsym(RTLD_NEXT, "SDL_Flip"));
    int result = realFlip ? realFlip(surface) : -1;
    resumedAt = nowMs();
    return result;
}
