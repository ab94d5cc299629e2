#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/Archive.h"
#include "game/Game.h"
#include "gfx/Picture.h"
#include "core/Error.h"

namespace {

// One picture of the board, in the order of loading, and the field it goes
// into: a single one, or one element of a field of three.
struct PictureEntry {
    const char* member;  // "%i" takes the theme number
    ColourKey key;
    SDL_Surface* Game::*single;
    SDL_Surface* (Game::*triple)[3];
    int index;
};

const PictureEntry kPictures[] = {
    {"mouse.bmp", ColourKey::BeforeAndAfter, &Game::pointerPic, nullptr, 0},
    {"theme%i/back.bmp", ColourKey::None, &Game::backPic, nullptr, 0},
    {"right.bmp", ColourKey::None, &Game::panelPic, nullptr, 0},
    {"theme%i/r.bmp", ColourKey::BeforeAndAfter, nullptr, &Game::tilePics, 0},
    {"theme%i/g.bmp", ColourKey::BeforeAndAfter, nullptr, &Game::tilePics, 1},
    {"theme%i/b.bmp", ColourKey::BeforeAndAfter, nullptr, &Game::tilePics, 2},
    {"theme%i/sr.bmp", ColourKey::Before, nullptr, &Game::selTilePics, 0},
    {"theme%i/sg.bmp", ColourKey::Before, nullptr, &Game::selTilePics, 1},
    {"theme%i/sb.bmp", ColourKey::Before, nullptr, &Game::selTilePics, 2},
    {"bonus/r.bmp", ColourKey::Before, nullptr, &Game::bonusPics, 0},
    {"bonus/g.bmp", ColourKey::Before, nullptr, &Game::bonusPics, 1},
    {"bonus/b.bmp", ColourKey::Before, nullptr, &Game::bonusPics, 2},
    {"bonus/sr.bmp", ColourKey::Before, nullptr, &Game::selBonusPics, 0},
    {"bonus/sg.bmp", ColourKey::Before, nullptr, &Game::selBonusPics, 1},
    {"bonus/sb.bmp", ColourKey::Before, nullptr, &Game::selBonusPics, 2},
    {"numbers.bmp", ColourKey::Before, &Game::bigDigitsPic, nullptr, 0},
    {"smallnums.bmp", ColourKey::BeforeAndAfter, &Game::smallDigitsPic, nullptr, 0},
    {"font.bmp", ColourKey::Before, &Game::fontPic, nullptr, 0},
    {"gameover.bmp", ColourKey::Before, &Game::gameOverPic, nullptr, 0},
    {"hiscore.bmp", ColourKey::Before, &Game::hiscorePic, nullptr, 0},
    {"perfect.bmp", ColourKey::Before, &Game::perfectPic, nullptr, 0},
    {"loselevel.bmp", ColourKey::Before, &Game::lostLevelPic, nullptr, 0},
    {"wonlevel.bmp", ColourKey::Before, &Game::wonLevelPic, nullptr, 0},
    {"wongame.bmp", ColourKey::Before, &Game::wonGamePic, nullptr, 0},
    {"bonus1000.bmp", ColourKey::Before, &Game::bonus1000Pic, nullptr, 0},
    {"bonus500.bmp", ColourKey::Before, &Game::bonus500Pic, nullptr, 0},
    {"bonus2x.bmp", ColourKey::Before, &Game::bonus2xPic, nullptr, 0},
    {"bonusAddLine.bmp", ColourKey::Before, &Game::bonusAddLinePic, nullptr, 0},
    {"bonuslife.bmp", ColourKey::Before, &Game::bonusLifePic, nullptr, 0},
    {"5000.bmp", ColourKey::Before, &Game::points5000Pic, nullptr, 0},
};

SDL_Surface*& pictureField(Game& game, const PictureEntry& entry)
{
    if (entry.single)
        return game.*entry.single;
    return (game.*entry.triple)[entry.index];
}

const char* const kSampleMembers[kGameSoundCount] = {
    "sound/bip.wav",  "sound/2x.wav",      "sound/addline.wav",
    "sound/gameover.wav", "sound/lost.wav", "sound/perfect.wav",
    "sound/points.wav", "sound/time.wav",  "sound/life.wav",
};

void freePictures(Game& game)
{
    for (const PictureEntry& entry : kPictures) {
        SDL_Surface*& field = pictureField(game, entry);
        if (field)
            SDL_FreeSurface(field);
        field = nullptr;
    }
}

// The sound loaders name the file they read, here the temporary member file,
// whose name tells the player nothing: name the member instead.
[[noreturn]] void rethrowNamingMember(const Error& error, const char* path, const char* member)
{
    std::string text = error.text;
    size_t at = text.find(path);
    if (at != std::string::npos)
        text.replace(at, strlen(path), member);
    throw Error("%s", text.c_str());
}

}  // namespace

void Game::loadAssets(bool reload)
{
    if (!reload)
        theme = level % 4 + 1;
    else
        freePictures(*this);

    PakArchive pak;
    pak.open("data.pak");

    char member[64];
    for (const PictureEntry& entry : kPictures) {
        snprintf(member, sizeof member, entry.member, theme);
        pictureField(*this, entry) =
            loadPakPicture(pak, member, entry.key, Conversion::DisplayFormat);
    }

    if (!reload) {
        snprintf(member, sizeof member, "wipe%i.raw", rand() % 10);
        loadPakMask(pak, member, wipeMask);

        char path[1024];
        snprintf(member, sizeof member, "sound/%i.zik", rand() % 6 + 1);
        pak.extractToTemp(path, member);
        music.unload();
        bool loaded = false;
        try {
            loaded = music.load(path);
        } catch (const Error& error) {
            rethrowNamingMember(error, path, member);
        }
        if (!loaded) {
            printf("Cannot Load Module\n");
            fflush(stdout);
        }
        music.start();

        for (int i = 0; i < kGameSoundCount; i++) {
            pak.extractToTemp(path, kSampleMembers[i]);
            SoundSample& effect = sample(i);
            effect.unload();
            try {
                effect.load(path);
            } catch (const Error& error) {
                rethrowNamingMember(error, path, kSampleMembers[i]);
            }
        }
    }
    pak.close();
}

void Game::freeAssets()
{
    music.stop();
    freePictures(*this);
}
