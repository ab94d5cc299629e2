// The signals with which a desktop or a terminal asks us to end (SIGTERM,
// SIGINT, SIGHUP): they only raise a flag, which the loops read, so that the
// game ends through its ordinary shutdown and saves its table.
#pragma once

namespace platform {

// Installs the handlers; call once, before SDL starts (SDL then leaves these
// signals to us).
void catchQuitSignals();

// True once one of those signals has arrived.
bool quitSignalled();

// Test seam: forgets a signal that arrived.
void clearQuitSignal();

}  // namespace platform
