// The game's frame, in and out of a fade, and the change of board.
#include <cstdlib>
#include <cstring>
#include <memory>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "game/Game.h"
#include "core/AppState.h"
#include "core/Error.h"

namespace {

const int kFrameMs = 16;

// A dealt board with the pointer resting on a group, as in play.
std::unique_ptr<Game> startGame(benchmark::State& state)
{
    srand(7);
    std::unique_ptr<Game> game;
    try {
        game.reset(new Game());
    } catch (const Error& error) {
        state.SkipWithError(error.text);
        return nullptr;
    }

    // The first cell, row by row, with a neighbour of its colour.
    for (int r = 0; r < kBoardSize; r++) {
        for (int c = 0; c + 1 < kBoardSize; c++) {
            if (tiles::sameColour(game->board[c][r], game->board[c + 1][r])) {
                SDL_WarpMouse(static_cast<Uint16>(c * kCellSize + kCellSize / 2),
                              static_cast<Uint16>(r * kCellSize + kCellSize / 2));
                SDL_PumpEvents();
                game->selectUnderPointer();
                if (game->previewPoints > 0)
                    return game;
                state.SkipWithError("the pointer does not reach the board");
                return nullptr;
            }
        }
    }
    state.SkipWithError("the dealt board has no group in a row");
    return nullptr;
}

// runFrame on the full board. Nothing is clicked, so the board stays as
// dealt; the timers that would change what is drawn are put back each frame
// (a few stores, nothing against a frame).
void gameFrame(benchmark::State& state, int fadeLevel)
{
    std::unique_ptr<Game> game = startGame(state);
    if (!game)
        return;
    bench::setFrameClock(kFrameMs);
    bool fading = fadeLevel < 256;
    int tileCount = 0;
    double start = bench::threadSeconds();
    for (auto _ : state) {
        game->startFade(fadeLevel, fading ? 1 : 0);
        game->inputLocked = fading;
        game->idleTimer = 10000;
        if (game->runFrame() != 1) {
            state.SkipWithError("the game left its board");
            break;
        }
        bench::advanceFrameClock();
    }
    double spent = bench::threadSeconds() - start;
    if (!state.error_occurred()) {
        game->hasMove(tileCount);
        if (tileCount != kBoardSize * kBoardSize || game->previewPoints == 0)
            state.SkipWithError("the board did not stay full with a group marked");
    }
    bench::reportRatio(state, spent);
    state.counters["tiles"] = tileCount;
}
BENCHMARK_CAPTURE(gameFrame, no_fade, 256)->Name("game/frame");
BENCHMARK_CAPTURE(gameFrame, fade_128, 128)->Name("game/frame_fade_128");

// Between two boards: free the pictures and stop the music, then deal and
// load 30 pictures, a mask, a module and nine samples. The player waits for
// this on a black screen, so it is timed by the wall clock.
void boardChange(benchmark::State& state)
{
    std::unique_ptr<Game> game = startGame(state);
    if (!game)
        return;
    double start = bench::wallSeconds();
    try {
        for (auto _ : state) {
            game->freeAssets();
            game->startBoard();
        }
    } catch (const Error& error) {
        state.SkipWithError(error.text);
    }
    bench::reportRatio(state, bench::wallSeconds() - start);
}
BENCHMARK(boardChange)->Name("game/board_change")->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
