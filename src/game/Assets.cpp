#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/Archive.h"
#include "game/Game.h"
#include "gfx/Picture.h"
#include "core/Error.h"

namespace {

// One picture of the board, in the order of loading.
struct PictureEntry {
    const char* member;  // "%i" takes the theme number
    ColourKey key;
};

const PictureEntry kPictures[30] = {
    {"mouse.bmp", ColourKey::BeforeAndAfter},
    {"theme%i/back.bmp", ColourKey::None},
    {"right.bmp", ColourKey::None},
    {"theme%i/r.bmp", ColourKey::BeforeAndAfter},
    {"theme%i/g.bmp", ColourKey::BeforeAndAfter},
    {"theme%i/b.bmp", ColourKey::BeforeAndAfter},
    {"theme%i/sr.bmp", ColourKey::Before},
    {"theme%i/sg.bmp", ColourKey::Before},
    {"theme%i/sb.bmp", ColourKey::Before},
    {"bonus/r.bmp", ColourKey::Before},
    {"bonus/g.bmp", ColourKey::Before},
    {"bonus/b.bmp", ColourKey::Before},
    {"bonus/sr.bmp", ColourKey::Before},
    {"bonus/sg.bmp", ColourKey::Before},
    {"bonus/sb.bmp", ColourKey::Before},
    {"numbers.bmp", ColourKey::Before},
    {"smallnums.bmp", ColourKey::BeforeAndAfter},
    {"font.bmp", ColourKey::Before},
    {"gameover.bmp", ColourKey::Before},
    {"hiscore.bmp", ColourKey::Before},
    {"perfect.bmp", ColourKey::Before},
    {"loselevel.bmp", ColourKey::Before},
    {"wonlevel.bmp", ColourKey::Before},
    {"wongame.bmp", ColourKey::Before},
    {"bonus1000.bmp", ColourKey::Before},
    {"bonus500.bmp", ColourKey::Before},
    {"bonus2x.bmp", ColourKey::Before},
    {"bonusAddLine.bmp", ColourKey::Before},
    {"bonuslife.bmp", ColourKey::Before},
    {"5000.bmp", ColourKey::Before},
};

const char* const kSampleMembers[kGameSoundCount] = {
    "sound/bip.wav",  "sound/2x.wav",      "sound/addline.wav",
    "sound/gameover.wav", "sound/lost.wav", "sound/perfect.wav",
    "sound/points.wav", "sound/time.wav",  "sound/life.wav",
};

// The picture fields in the order of kPictures.
void pictureSlots(Game& game, SDL_Surface** slots[30])
{
    SDL_Surface** list[30] = {
        &game.pointerPic,      &game.backPic,         &game.panelPic,
        &game.tilePics[0],     &game.tilePics[1],     &game.tilePics[2],
        &game.selTilePics[0],  &game.selTilePics[1],  &game.selTilePics[2],
        &game.bonusPics[0],    &game.bonusPics[1],    &game.bonusPics[2],
        &game.selBonusPics[0], &game.selBonusPics[1], &game.selBonusPics[2],
        &game.bigDigitsPic,    &game.smallDigitsPic,  &game.fontPic,
        &game.gameOverPic,     &game.hiscorePic,      &game.perfectPic,
        &game.lostLevelPic,    &game.wonLevelPic,     &game.wonGamePic,
        &game.bonus1000Pic,    &game.bonus500Pic,     &game.bonus2xPic,
        &game.bonusAddLinePic, &game.bonusLifePic,    &game.points5000Pic,
    };
    for (int i = 0; i < 30; i++)
        slots[i] = list[i];
}

void freePictures(Game& game)
{
    SDL_Surface** slots[30];
    pictureSlots(game, slots);
    for (int i = 0; i < 30; i++) {
        if (*slots[i])
            SDL_FreeSurface(*slots[i]);
        *slots[i] = nullptr;
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

    SDL_Surface** slots[30];
    pictureSlots(*this, slots);
    char member[64];
    for (int i = 0; i < 30; i++) {
        snprintf(member, sizeof member, kPictures[i].member, theme);
        *slots[i] = loadPakPicture(pak, member, kPictures[i].key, Conversion::DisplayFormat);
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
