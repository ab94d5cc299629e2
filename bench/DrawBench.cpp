// The baseline copy, the flip, and the pixel writers of the toolkit.
#include <cstring>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "archive/Archive.h"
#include "gfx/Picture.h"
#include "gfx/Primitives.h"
#include "core/AppState.h"
#include "core/Error.h"

namespace {

// One full-screen copy of a software surface onto the screen: the unit every
// other figure is given in.
void fullScreenCopy(benchmark::State& state)
{
    SDL_Surface* copy = bench::makeScreenCopy();
    double start = bench::threadSeconds();
    for (auto _ : state)
        SDL_BlitSurface(copy, nullptr, screen, nullptr);
    double spent = bench::threadSeconds() - start;
    SDL_FreeSurface(copy);
    if (state.iterations() > 0)
        bench::storeBaselineSeconds(spent / static_cast<double>(state.iterations()));
    bench::reportRatio(state, spent);
}
BENCHMARK(fullScreenCopy)->Name("baseline/full_screen_copy");

// SDL_Flip alone; kept out of every frame figure. Under the dummy driver it
// mostly waits, so its CPU time says little: read its real time.
void flip(benchmark::State& state)
{
    double start = bench::wallSeconds();
    for (auto _ : state)
        SDL_Flip(screen);
    bench::reportRatio(state, bench::wallSeconds() - start);
}
BENCHMARK(flip)->Name("flip")->UseRealTime();

// A real mask from data.pak at the middle level, on a screen-format surface
// as the fades use it.
void wipe(benchmark::State& state)
{
    static unsigned char mask[kWipeMaskSize];
    try {
        PakArchive pak;
        pak.open("data.pak");
        loadPakMask(pak, "wipe3.raw", mask);
        pak.close();
    } catch (const Error& error) {
        state.SkipWithError(error.text);
        return;
    }
    SDL_Surface* work = bench::makeScreenCopy();
    double start = bench::threadSeconds();
    for (auto _ : state)
        drawWipe(work, 128, mask);
    bench::reportRatio(state, bench::threadSeconds() - start);
    SDL_FreeSurface(work);
}
BENCHMARK(wipe)->Name("gfx/wipe_level_128");

// Half the screen under one blended triangle: span writing at its widest.
void halfScreenTriangle(benchmark::State& state)
{
    Uint32 yellow = SDL_MapRGB(screen->format, 255, 255, 0);
    double start = bench::threadSeconds();
    for (auto _ : state)
        drawTriangle(screen, 0, 0, 639, 0, 0, 479, yellow);
    bench::reportRatio(state, bench::threadSeconds() - start);
}
BENCHMARK(halfScreenTriangle)->Name("gfx/triangle_half_screen");

// The largest star the menu draws (outer radius 39), at a turning angle.
void star(benchmark::State& state)
{
    Uint32 yellow = SDL_MapRGB(screen->format, 255, 255, 0);
    int angle = 0;
    double start = bench::threadSeconds();
    for (auto _ : state) {
        drawStar(screen, 320, 240, 39, angle, yellow);
        angle = (angle + 7) % 360;
    }
    bench::reportRatio(state, bench::threadSeconds() - start);
}
BENCHMARK(star)->Name("gfx/star_size_39");

}  // namespace
