// The title menu's frame on the main page and in its opening fade.
#include <cstdlib>
#include <cstring>
#include <memory>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "menu/TitleMenu.h"
#include "core/AppState.h"
#include "core/Error.h"

namespace {

const int kFrameMs = 16;

// The menu drawing straight onto the screen (a software screen needs no
// back buffer of its own), its stars spread over the screen rather than
// waiting below it as they do at the start.
std::unique_ptr<TitleMenu> startMenu(benchmark::State& state)
{
    srand(11);
    std::unique_ptr<TitleMenu> menu;
    try {
        menu.reset(new TitleMenu(screen, false));
    } catch (const Error& error) {
        state.SkipWithError(error.text);
        return nullptr;
    }
    for (int i = 0; i < kStarCount; i++)
        menu->stars[i].y = static_cast<float>(20 + (i * 173) % 440);
    SDL_WarpMouse(320, 270);
    SDL_PumpEvents();
    menu->hoverItem = menuItemAtRow(270);
    return menu;
}

// drawFrame on `page`; the stars and the fade are put back after each frame
// so that every frame draws the same amount.
void menuFrame(benchmark::State& state, int page, int fadeLevel)
{
    std::unique_ptr<TitleMenu> menu = startMenu(state);
    if (!menu)
        return;
    Star stars[kStarCount];
    memcpy(stars, menu->stars, sizeof stars);
    bench::setFrameClock(kFrameMs);
    double start = bench::threadSeconds();
    for (auto _ : state) {
        menu->page = page;
        menu->fadeLevel = fadeLevel;
        menu->fadeSteps.reset();
        menu->drawFrame();
        memcpy(menu->stars, stars, sizeof stars);
        bench::advanceFrameClock();
    }
    double spent = bench::threadSeconds() - start;
    if (menu->page != page)
        state.SkipWithError("the menu left its page");
    bench::reportRatio(state, spent);
}
BENCHMARK_CAPTURE(menuFrame, main, kPageMain, 256)->Name("menu/frame");
BENCHMARK_CAPTURE(menuFrame, fade_128, kPageOpening, 128)->Name("menu/frame_fade_128");

}  // namespace
