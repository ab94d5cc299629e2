// Any bytes as the archive behind "zip:" paths, and as a path of their own:
// opening, reading and closing member streams must never crash or leak.
#include <SDL.h>

#include <cstring>
#include <string>

#include "FuzzArchive.h"
#include "archive/Archive.h"

namespace {

void drain(SDL_RWops* stream)
{
    if (!stream)
        return;
    char buffer[4096];
    while (SDL_RWread(stream, buffer, 1, sizeof buffer) > 0) {
    }
    SDL_RWclose(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enterFuzzScratch("path");
    writeArchive("fuzz.pak", data, size);

    // The input's first line, as a path of its own.
    size_t line = 0;
    while (line < size && line < 300 && data[line] != '\n' && data[line] != 0)
        ++line;
    std::string path(reinterpret_cast<const char*>(data), line);
    drain(openArchivePath(path.c_str()));
    drain(openArchivePath(("zip:" + path).c_str()));

    drain(openArchivePath("zip:fuzz.pak,icon.bmp"));
    drain(openArchivePath("ZIP:fuzz.pak,"));
    forEachMember("fuzz.pak", [](const char* name) {
        drain(openArchivePath((std::string("zip:fuzz.pak,") + name).c_str()));
    });
    return 0;
}
