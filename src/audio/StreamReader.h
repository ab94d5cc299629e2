#pragma once

#include <SDL.h>
#include <mikmod.h>

// libmikmod's reader record over an SDL stream; lives for one load call.
struct StreamReader {
    MREADER reader;
    SDL_RWops* stream;
};

void initStreamReader(StreamReader& reader, SDL_RWops* stream);
