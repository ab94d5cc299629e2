// Every unit-test program runs headless: SDL's dummy video and audio drivers
// unless a test (or the person running it) chose others.
#include <stdlib.h>

namespace {

struct DummyDrivers {
    DummyDrivers()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
};

const DummyDrivers dummyDrivers;

}  // namespace
