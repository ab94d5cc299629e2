// The archive file as minizip reads it: through one buffer that a seek keeps
// when the new place lies inside it. minizip seeks before almost every field
// it reads, and stdio drops its buffer on each seek, so a directory walk cost
// a seek and a read system call per field.
#pragma once

#include <ioapi.h>

// Functions for unzOpen2_64 over a regular file (anything else at the path
// is taken as missing).
void fillPakFileFunctions(zlib_filefunc64_def* functions);
