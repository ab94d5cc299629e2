// The main loop's frame arithmetic: how long the last pass took, the
// animation clock, and the running frame-rate figure. The loop feeds it
// SDL_GetTicks(); tests feed it numbers.
#pragma once

#include <SDL.h>

#include "core/StepCarry.h"

constexpr int kMaxFrameDelta = 100;
constexpr int kFpsWindow = 1000;

class FrameClock {
public:
    FrameClock();

    // Accounts for one pass that starts at tick count now (milliseconds).
    void tick(Uint32 now);

    int delta;           // ms of the previous pass: 1 on the first, at most 100
    int elapsed;         // sum of all deltas
    int fps;             // halves the weight of the past at every update
    bool started;        // a pass has been counted
    Uint32 lastTick;
    int framesInWindow;  // passes since the last fps update
    StepCarry window;    // carries the ms since the last fps update
};
