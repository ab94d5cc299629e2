// The board's pictures, mask, music and samples from the real data.pak.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "game/GameHarness.h"
#include "gfx/Picture.h"
#include "core/AppState.h"
#include "core/Error.h"

namespace game_test {
namespace {

using testing_support::readFile;
using testing_support::writeFile;

class GameAssets : public GameHarness {
protected:
    std::vector<SDL_Surface**> pictures()
    {
        Game& g = *game;
        return {&g.pointerPic,      &g.backPic,         &g.panelPic,        &g.tilePics[0],
                &g.tilePics[1],     &g.tilePics[2],     &g.selTilePics[0],  &g.selTilePics[1],
                &g.selTilePics[2],  &g.bonusPics[0],    &g.bonusPics[1],    &g.bonusPics[2],
                &g.selBonusPics[0], &g.selBonusPics[1], &g.selBonusPics[2], &g.bigDigitsPic,
                &g.smallDigitsPic,  &g.fontPic,         &g.gameOverPic,     &g.hiscorePic,
                &g.perfectPic,      &g.lostLevelPic,    &g.wonLevelPic,     &g.wonGamePic,
                &g.bonus1000Pic,    &g.bonus500Pic,     &g.bonus2xPic,      &g.bonusAddLinePic,
                &g.bonusLifePic,    &g.points5000Pic};
    }

    // A member of data.pak decoded as loadAssets does.
    SDL_Surface* reference(const char* member)
    {
        PakArchive pak;
        pak.open("data.pak");
        SDL_Surface* picture = loadPakPicture(pak, member, ColourKey::None,
                                              Conversion::DisplayFormat);
        pak.close();
        return picture;
    }

    static bool samePixels(SDL_Surface* a, SDL_Surface* b)
    {
        if (!a || !b || a->w != b->w || a->h != b->h ||
            a->format->BytesPerPixel != b->format->BytesPerPixel)
            return false;
        SDL_LockSurface(a);
        SDL_LockSurface(b);
        bool same = true;
        size_t rowBytes = (size_t)a->w * a->format->BytesPerPixel;
        for (int y = 0; y < a->h && same; y++)
            same = memcmp((Uint8*)a->pixels + y * a->pitch, (Uint8*)b->pixels + y * b->pitch,
                          rowBytes) == 0;
        SDL_UnlockSurface(b);
        SDL_UnlockSurface(a);
        return same;
    }

    bool themeShown(int theme)
    {
        const char* names[] = {"back", "r", "sb"};
        SDL_Surface* fields[] = {game->backPic, game->tilePics[0], game->selTilePics[2]};
        bool all = true;
        for (int i = 0; i < 3; i++) {
            char member[32];
            snprintf(member, sizeof member, "theme%i/%s.bmp", theme, names[i]);
            SDL_Surface* expected = reference(member);
            all = all && samePixels(expected, fields[i]);
            SDL_FreeSurface(expected);
        }
        return all;
    }

    void nextBoardAtLevel(int level)
    {
        game->level = level;
        game->freeAssets();
        game->startBoard();
    }

    // data.pak with every occurrence of one member name replaced by another of
    // the same length, in the local headers and the directory alike.
    void renameMembers(std::initializer_list<std::pair<std::string, std::string>> renames)
    {
        std::vector<unsigned char> bytes = readFile("data.pak");
        for (const auto& rename : renames) {
            ASSERT_EQ(rename.first.size(), rename.second.size());
            int found = 0;
            for (size_t at = 0; at + rename.first.size() <= bytes.size(); at++) {
                if (memcmp(&bytes[at], rename.first.data(), rename.first.size()) == 0) {
                    memcpy(&bytes[at], rename.second.data(), rename.second.size());
                    found++;
                }
            }
            ASSERT_GE(found, 2) << rename.first;
        }
        writeFile("data.pak", bytes);
    }

    std::string errorOfNewGame()
    {
        try {
            srand(1);
            game.reset(new Game);
        } catch (const Error& error) {
            return error.text;
        }
        return "";
    }
};

TEST_F(GameAssets, ThemeFollowsTheLevel)
{
    start(1);
    EXPECT_EQ(2, game->theme);
    EXPECT_TRUE(themeShown(2));
    EXPECT_FALSE(themeShown(1)) << "the themes must differ for this test to mean anything";

    nextBoardAtLevel(4);
    EXPECT_EQ(1, game->theme);
    EXPECT_TRUE(themeShown(1));

    nextBoardAtLevel(7);
    EXPECT_EQ(4, game->theme);
    EXPECT_TRUE(themeShown(4));

    nextBoardAtLevel(8);
    EXPECT_EQ(1, game->theme);
    EXPECT_TRUE(themeShown(1));
}

TEST_F(GameAssets, ColourKeysAsLoaded)
{
    start(1);
    std::vector<SDL_Surface**> all = pictures();
    ASSERT_EQ(30u, all.size());
    for (size_t i = 0; i < all.size(); i++) {
        SDL_Surface* picture = *all[i];
        ASSERT_NE(nullptr, picture) << i;
        EXPECT_EQ(screen->format->BitsPerPixel, picture->format->BitsPerPixel) << i;
        bool opaque = picture == game->backPic || picture == game->panelPic;
        EXPECT_EQ(opaque ? 0u : (Uint32)SDL_SRCCOLORKEY, picture->flags & SDL_SRCCOLORKEY) << i;
        if (!opaque) {
            EXPECT_EQ(0u, picture->format->colorkey) << i;
        }
    }
    EXPECT_GE(game->backPic->w, 480);
    EXPECT_GE(game->backPic->h, 480);
    EXPECT_GE(game->tilePics[0]->w, 32 * 20);
    EXPECT_GE(game->panelPic->w, 160);
}

TEST_F(GameAssets, ReloadReplacesOnlyThePictures)
{
    start(1);
    openBoard();
    int theme = game->theme;
    std::vector<unsigned char> mask(game->wipeMask, game->wipeMask + kWipeMaskSize);
    std::vector<int32_t> board(&game->board[0][0], &game->board[0][0] + 225);
    MODULE* module = game->music.module;
    SAMPLE* bip = game->bipSound.sample;
    bool playing = game->music.playing;

    // Hold on to the old pictures so their release can be seen.
    std::vector<SDL_Surface**> all = pictures();
    std::vector<SDL_Surface*> old;
    for (SDL_Surface** slot : all) {
        old.push_back(*slot);
        (*slot)->refcount++;
    }

    // A window of another depth, as F9 makes.
    testing_support::openDummyScreen(16);
    srand(99);
    game->loadAssets(true);
    int drawn = rand();
    srand(99);
    EXPECT_EQ(rand(), drawn) << "a reload draws no random numbers";

    for (size_t i = 0; i < all.size(); i++) {
        EXPECT_EQ(1, old[i]->refcount) << "picture " << i << " released once";
        EXPECT_NE(old[i], *all[i]) << i;
        EXPECT_EQ(16, (*all[i])->format->BitsPerPixel) << i;
        SDL_FreeSurface(old[i]);
    }
    EXPECT_EQ(theme, game->theme);
    EXPECT_EQ(0, memcmp(mask.data(), game->wipeMask, kWipeMaskSize));
    EXPECT_EQ(0, memcmp(board.data(), &game->board[0][0], 225 * sizeof(int32_t)));
    EXPECT_EQ(module, game->music.module);
    EXPECT_EQ(playing, game->music.playing);
    EXPECT_EQ(bip, game->bipSound.sample);
    EXPECT_EQ(1, frame()) << "the game plays on";
}

TEST_F(GameAssets, NewBoardDrawsMaskAndMusicAfterTheDeal)
{
    start(1);
    // Same seed, same board, same mask and music.
    std::vector<unsigned char> mask(game->wipeMask, game->wipeMask + kWipeMaskSize);
    std::vector<int32_t> board(&game->board[0][0], &game->board[0][0] + 225);
    game.reset();
    start(1);
    EXPECT_EQ(0, memcmp(mask.data(), game->wipeMask, kWipeMaskSize));
    EXPECT_EQ(0, memcmp(board.data(), &game->board[0][0], 225 * sizeof(int32_t)));

    // The mask is one of the ten members: its bytes match wipeN.raw for
    // N = the 451st draw of the seed mod 10 (450 for the deal, then the
    // bonus positions; count them by dealing once more).
    srand(1);
    int32_t cells[kBoardSize][kBoardSize], phase[kBoardSize][kBoardSize];
    tiles::deal(cells, phase);
    int wipe = rand() % 10;
    char member[16];
    snprintf(member, sizeof member, "wipe%i.raw", wipe);
    PakArchive pak;
    pak.open("data.pak");
    std::vector<unsigned char> expected(kWipeMaskSize);
    loadPakMask(pak, member, expected.data());
    pak.close();
    EXPECT_EQ(0, memcmp(expected.data(), game->wipeMask, kWipeMaskSize)) << member;
}

TEST_F(GameAssets, FreeAssetsLeavesNoPicture)
{
    start(1);
    game->freeAssets();
    for (SDL_Surface** slot : pictures())
        EXPECT_EQ(nullptr, *slot);
    EXPECT_FALSE(game->music.playing);
    game->freeAssets();  // twice is harmless
}

TEST_F(GameAssets, MissingPictureNamesIt)
{
    renameMembers({{"perfect.bmp", "perfecX.bmp"}});
    EXPECT_EQ("Cannot Load 'perfect.bmp' from PAK", errorOfNewGame());
    EXPECT_EQ(nullptr, game.get());
}

TEST_F(GameAssets, MissingThemePictureNamesIt)
{
    renameMembers({{"theme2/sb.bmp", "theme2/sX.bmp"}});
    EXPECT_EQ("Cannot Load 'theme2/sb.bmp' from PAK", errorOfNewGame());
}

TEST_F(GameAssets, UnreadablePictureNamesIt)
{
    // A sound takes the picture's name: present, but no BMP.
    renameMembers({{"gameover.bmp", "gameovex.bmp"}, {"sound/2x.wav", "gameover.bmp"}});
    EXPECT_EQ("Cannot Load Bitmap: 'gameover.bmp'", errorOfNewGame());
}

TEST_F(GameAssets, MissingArchive)
{
    remove("data.pak");
    EXPECT_EQ("Cannot Load PAK: 'data.pak'", errorOfNewGame());
}

TEST_F(GameAssets, OneFullBoardLoad)
{
    start(1);
    // Average over a few boards: deal, 30 pictures, mask, module, 9 samples.
    const int boards = 5;
    auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < boards; i++) {
        game->freeAssets();
        game->startBoard();
    }
    auto end = std::chrono::steady_clock::now();
    double ms = std::chrono::duration<double, std::milli>(end - begin).count() / boards;
    printf("one full board load: %.1f ms (audio %s)\n", ms,
           game->music.module ? "on" : "off");
    RecordProperty("board_load_ms", (int)(ms + 0.5));
    EXPECT_NE(nullptr, game->backPic);
}

class SilentGameAssets : public GameAssets {
protected:
    SilentGameAssets() { withAudio = false; }
};

TEST_F(SilentGameAssets, NoDeviceMeansNoMusicAndALine)
{
    testing_support::CapturedStream out(1);
    start(1);
    std::string text = out.text();
    EXPECT_EQ("Cannot Load Module\n", text);
    EXPECT_EQ(nullptr, game->music.module);
    EXPECT_FALSE(game->music.playing);
    EXPECT_EQ(nullptr, game->bipSound.sample);
    // The board plays silently.
    openBoard();
    layOutBottom({"11.22.........."});
    clickCell(0, 14);
    EXPECT_EQ(2, game->score);
    EXPECT_EQ(1, plays(kBipSound));
}

}  // namespace
}  // namespace game_test
