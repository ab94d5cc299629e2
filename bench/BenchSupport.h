// What every benchmark shares: the screen, a scratch folder holding data.pak,
// and the baseline every figure is divided by.
#pragma once

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>

namespace bench {

// The 640 x 480 x 32 screen, opened with the game's own full-screen flags
// (under the dummy driver that gives a software surface).
SDL_Surface* openScreen();

// A 640 x 480 software surface in the screen's format, filled with a
// gradient so that no copy can be skipped as all zeros.
SDL_Surface* makeScreenCopy();

// Makes a fresh folder under /tmp the working directory, with data.pak copied
// in, as the game expects. Removed by leaveScratchFolder.
std::string enterScratchFolder(const std::string& dataPak);
void leaveScratchFolder();

// Seconds of one full-screen SDL_BlitSurface copy in this run. The baseline
// benchmark stores its figure; any benchmark run without it measures it once.
double baselineSeconds();
void storeBaselineSeconds(double seconds);

// The time Google Benchmark reports by default: CPU time of this thread, which
// a busy machine inflates far less than the wall clock.
double threadSeconds();
// The wall clock, for what the player waits on.
double wallSeconds();

// Adds the user counter "ratio": seconds per iteration divided by the
// baseline. `seconds` is the time the loop took by the benchmark's own clock
// (thread CPU time, or the summed manual times).
void reportRatio(benchmark::State& state, double seconds);

// Frame values as the main loop leaves them in a steady 60 Hz run.
void setFrameClock(int deltaMs);
void advanceFrameClock();

}  // namespace bench
