#include "platform/QuitSignal.h"

#include <signal.h>

#include <initializer_list>

namespace platform {

namespace {

volatile sig_atomic_t signalled = 0;

void raiseFlag(int)
{
    signalled = 1;
}

}  // namespace

void catchQuitSignals()
{
    struct sigaction action = {};
    action.sa_handler = raiseFlag;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
}

bool quitSignalled()
{
    return signalled != 0;
}

void clearQuitSignal()
{
    signalled = 0;
}

}  // namespace platform
