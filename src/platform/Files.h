// Opening the files the game reads where something else may stand at their
// name: a FIFO or a device would block the game or never end, a folder reads
// nothing.
#pragma once

#include <cstdio>

namespace platform {

// Opens path with the given open(2) flags without waiting on it and keeps it
// only when it is a regular file; the descriptor is then blocking again.
// Returns -1 otherwise, as for a missing file.
int openRegularFd(const char* path, int flags);

// The same for reading with stdio ("rb"); null when missing or not a
// regular file.
FILE* openRegularFile(const char* path);

}  // namespace platform
