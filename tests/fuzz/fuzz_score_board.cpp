// The title menu's score board drawing any 360 bytes as the table: names
// without their terminator, any scores and marks. Drawing must stay inside
// each record and leave the table as it was. The menu is made once, over a
// small data.pak of plain pictures written here, on the dummy video driver.
#include <SDL.h>
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "menu/TitleMenu.h"
#include "gfx/Text.h"
#include "core/AppState.h"
#include "core/HighScores.h"

namespace {

// A picture of w x h in one colour, with a lighter band so the font strip
// has ink in every glyph cell, as a BMP.
std::vector<char> bitmap(int w, int h, Uint32 colour)
{
    SDL_Surface* picture = SDL_CreateRGBSurface(0, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!picture)
        abort();
    SDL_FillRect(picture, nullptr, colour);
    SDL_Rect band = {0, static_cast<Sint16>(h / 3), static_cast<Uint16>(w),
                     static_cast<Uint16>(h / 3 + 1)};
    SDL_FillRect(picture, &band, 0xFFFFFF);
    if (SDL_SaveBMP(picture, "picture.bmp") != 0)
        abort();
    SDL_FreeSurface(picture);
    std::vector<char> bytes;
    FILE* file = fopen("picture.bmp", "rb");
    if (!file)
        abort();
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    unlink("picture.bmp");
    return bytes;
}

void addMember(zipFile zip, const std::string& name, const std::vector<char>& bytes)
{
    zip_fileinfo info;
    memset(&info, 0, sizeof info);
    if (zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0) !=
            ZIP_OK ||
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK ||
        zipCloseFileInZip(zip) != ZIP_OK)
        abort();
}

// Everything the menu loads, except music: without a sound device it is
// never read.
void writeMenuPak()
{
    zipFile zip = zipOpen("data.pak", APPEND_STATUS_CREATE);
    if (!zip)
        abort();
    const char* const pictures[] = {"mouse.bmp",  "title.bmp",  "play.bmp",     "scores.bmp",
                                    "about.bmp",  "exit.bmp",   "splay.bmp",    "sscores.bmp",
                                    "sabout.bmp", "sexit.bmp",  "copyright.bmp", "bottom.bmp",
                                    "credits.bmp"};
    Uint32 colour = 0x203040;
    for (const char* name : pictures) {
        addMember(zip, name, bitmap(name[0] == 'm' ? 32 : 640, 229, colour));
        colour += 0x101010;
    }
    addMember(zip, "font.bmp", bitmap(640, 16, 0x808000));
    for (int i = 0; i < 10; i++) {
        std::vector<char> mask(320 * 240);
        for (size_t j = 0; j < mask.size(); j++)
            mask[j] = static_cast<char>((j * 7 + static_cast<size_t>(i)) & 255);
        addMember(zip, "wipe" + std::to_string(i) + ".raw", mask);
    }
    zipClose(zip, nullptr);
}

TitleMenu* startMenu()
{
    enterFuzzScratch("board");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        abort();
    screen = SDL_SetVideoMode(640, 480, 32, SDL_SWSURFACE);
    if (!screen)
        abort();
    writeMenuPak();
    initGlyphMap();
    fullScreen = true;
    frameDelta = 16;
    TitleMenu* menu = new TitleMenu(screen, false);
    menu->page = kPageScores;
    // Stars of no size, standing below the screen: drawn after the table,
    // they cannot touch it, and blending them took most of each input's time.
    for (Star& star : menu->stars) {
        star.size = 0;
        star.speed = 0;
        star.y = 500;
    }
    return menu;
}

}  // namespace

// Undefined behaviour counts as a crash here, not as a line in the log.
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TitleMenu* menu = startMenu();

    // The table as a file of any length would leave it: the bytes present
    // from the start, zeros after them.
    memset(highScores, 0, sizeof highScores);
    memcpy(highScores, data, size < sizeof highScores ? size : sizeof highScores);
    // Bytes past the table choose the moment, which sways the rows.
    int32_t moment = 0;
    if (size >= sizeof highScores + 4)
        memcpy(&moment, data + sizeof highScores, 4);
    elapsedTime = moment;

    HighScoreRecord before[kHighScoreCount];
    memcpy(before, highScores, sizeof before);
    menu->page = kPageScores;
    menu->drawFrame();
    if (menu->page != kPageScores || memcmp(before, highScores, sizeof before) != 0)
        abort();
    return 0;
}
