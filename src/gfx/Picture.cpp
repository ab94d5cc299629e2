#include "gfx/Picture.h"

#include <cstdio>
#include <cstring>

#include "gfx/Primitives.h"
#include "core/AppState.h"
#include "core/Error.h"

static SDL_PixelFormat* screenFormat()
{
    SDL_Surface* video = screen ? screen : SDL_GetVideoSurface();
    return video ? video->format : nullptr;
}

SDL_Surface* loadPakPicture(PakArchive& pak, const char* member, ColourKey key,
                            Conversion conversion)
{
    char path[1024] = "";
    pak.extractToTemp(path, member);

    // The loader closes the stream whether or not it can decode it.
    SDL_RWops* stream = SDL_RWFromFile(path, "rb");
    SDL_Surface* loaded = stream ? SDL_LoadBMP_RW(stream, 1) : nullptr;
    if (!loaded)
        throw Error("Cannot Load Bitmap: '%s'", member);

    // Key 0 on the picture as decoded; asking the conversion to keep it makes
    // it travel to the converted copy, mapped to the new format.
    if (key != ColourKey::None)
        SDL_SetColorKey(loaded, SDL_SRCCOLORKEY, 0);

    SDL_Surface* converted = nullptr;
    if (conversion == Conversion::DisplayFormat) {
        converted = SDL_DisplayFormat(loaded);
    } else {
        SDL_PixelFormat* format = screenFormat();
        if (format)
            converted = SDL_ConvertSurface(loaded, format,
                                           key != ColourKey::None ? SDL_SRCCOLORKEY : 0);
    }
    SDL_FreeSurface(loaded);
    if (!converted)
        throw Error("Cannot Load Bitmap: '%s'", member);

    if (key == ColourKey::BeforeAndAfter)
        SDL_SetColorKey(converted, SDL_SRCCOLORKEY, 0);
    return converted;
}

void loadPakMask(PakArchive& pak, const char* member, unsigned char* mask)
{
    char path[1024] = "";
    pak.extractToTemp(path, member);

    // Up to a whole mask; a shorter member leaves the rest as it was. Read
    // into a buffer of our own first, so a failed read changes nothing.
    unsigned char buffer[kWipeMaskSize];
    FILE* file = fopen(path, "rb");
    if (!file)
        throw Error("Cannot Load Mask: '%s'", member);
    size_t count = fread(buffer, 1, sizeof buffer, file);
    bool failed = ferror(file) != 0;
    fclose(file);
    if (failed)
        throw Error("Cannot Load Mask: '%s'", member);
    memcpy(mask, buffer, count);
}
