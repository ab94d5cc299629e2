// Read streams over a member held in memory.
#pragma once

#include <SDL.h>

// A stream over size bytes at buffer (from malloc) with the behaviour of an
// SDL memory stream. On success the stream owns the buffer and closing it
// (closeMemberStream) frees both; on failure null and the caller keeps it.
// Made by hand rather than with SDL_RWFromMem: the compatibility library
// refuses a size of 0 and keeps its own view of the memory, so its stream
// could neither carry an empty member nor give the buffer back at close.
SDL_RWops* makeMemberStream(Uint8* buffer, int size);
