// Loading the menu's and the game's pictures and masks from an open archive.
#pragma once

#include <SDL.h>

#include "archive/Archive.h"

enum class ColourKey { None, Before, BeforeAndAfter };
enum class Conversion { ScreenFormat, DisplayFormat };

// Extracts member to the temporary member file, decodes it as a BMP, sets the
// colour key 0 as asked, and converts it (ScreenFormat: SDL_ConvertSurface to
// the video surface's format; DisplayFormat: SDL_DisplayFormat). A member
// that is not a readable picture throws Error "Cannot Load Bitmap: '%s'"
// naming the member; archive failures throw the archive's Errors.
SDL_Surface* loadPakPicture(PakArchive& pak, const char* member, ColourKey key,
                            Conversion conversion);

// Extracts a wipe mask and reads up to its 76800 bytes into mask; a shorter
// member leaves the rest of mask as it was. A member that cannot be read
// throws Error "Cannot Load Mask: '%s'" naming it; mask is then unchanged.
void loadPakMask(PakArchive& pak, const char* member, unsigned char* mask);
