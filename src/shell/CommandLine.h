// What the program says to a terminal: --help, --version and a wrong option.
#pragma once

// The version the start-up line and --version print.
extern const char* const kVersionText;

// Reads the options ("--" ends them). Returns -1 when there are none and the
// game is to start; otherwise it has written what was asked for (or what was
// wrong) and returns the exit status: 0 for --help and --version, 1 when
// that text could not be written, 2 for anything else.
int handleCommandLine(int argc, char** argv);
