#include "shell/FrameClock.h"

FrameClock::FrameClock()
    : delta(0), elapsed(0), fps(0), started(false), lastTick(0), framesInWindow(0),
      window(kFpsWindow)
{
}

void FrameClock::tick(Uint32 now)
{
    // Unsigned subtraction stays right when the 32-bit tick count wraps.
    Uint32 passed = started ? now - lastTick : 1;
    started = true;
    lastTick = now;
    // A stall (window drag, mode switch, loading) moves animations by at
    // most a tenth of a second.
    delta = passed > kMaxFrameDelta ? kMaxFrameDelta : static_cast<int>(passed);

    elapsed += delta;
    framesInWindow += 1;
    if (window.advance(delta) > 0) {
        fps = (fps + framesInWindow) / 2;
        // The figure covers the passes of one window; a window starts afresh.
        window.reset();
        framesInWindow = 0;
    }
}
