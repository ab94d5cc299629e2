// Whole steps for the time passed, the part of a step carried to the next
// call, so that frames shorter than one step still move an animation on.
#pragma once

#include <cstdint>

class StepCarry {
public:
    explicit StepCarry(int msPerStep) : msPerStep(msPerStep), carried(0) {}

    // Steps for `milliseconds` more (negative time gives negative steps,
    // both rounded toward zero, the sign of the carry following the time).
    int64_t advance(int64_t milliseconds)
    {
        int64_t total = carried + milliseconds;
        carried = total % msPerStep;
        return total / msPerStep;
    }
    void reset() { carried = 0; }
    int64_t carry() const { return carried; }

private:
    int64_t msPerStep;
    int64_t carried;
};
