// The title screen between games: title picture, four items that light up
// under the pointer, the score board, the credits, rising stars, music and
// the wipe fades that open and close it. It draws and animates only; the
// main loop turns the pointer and keys into changes of page and nextState.
#pragma once

#include <SDL.h>

#include "audio/MusicModule.h"
#include "core/StepCarry.h"
#include "gfx/Primitives.h"

// The menu's pages.
enum {
    kPageMain = 0,
    kPageAbout = 1,
    kPageScores = 2,
    kPageOpening = 3,
    kPageClosing = 4,
    kPageClosed = 5
};

constexpr int kStarCount = 25;
constexpr int kMenuItemCount = 4;
// Rows of the four items: item i covers kItemTop[i - 1] to kItemTop[i] - 1.
constexpr int kItemTop[kMenuItemCount + 1] = {251, 294, 336, 378, 420};

// The item (1 to 4) whose band holds screen row y, or 0.
int menuItemAtRow(int y);

struct Star {
    float x, y;   // centre, pixels
    float size;   // outer radius, pixels
    float angle;  // degrees
    float speed;
    float spin;
};

class TitleMenu {
public:
    // Loads pictures, a wipe mask and a piece of music from data.pak and
    // starts the music. backBuffer is what the menu draws on; when it is a
    // surface of its own (ownsBuffer), the menu frees it, also when loading
    // fails. Throws the archive's and the loaders' Errors.
    TitleMenu(SDL_Surface* backBuffer, bool ownsBuffer);
    ~TitleMenu();
    TitleMenu(const TitleMenu&) = delete;
    TitleMenu& operator=(const TitleMenu&) = delete;

    // Draws one frame into backBuffer (and onto the screen when they differ),
    // moving the stars and the fades by frameDelta.
    void drawFrame();

    Star stars[kStarCount];
    SDL_Surface* pointerPicture;
    SDL_Surface* titlePicture;
    SDL_Surface* footerPicture;
    SDL_Surface* scoreBoardPicture;
    SDL_Surface* itemPictures[kMenuItemCount];
    SDL_Surface* litItemPictures[kMenuItemCount];
    SDL_Surface* fontPicture;
    SDL_Surface* creditsPicture;
    unsigned char wipeMask[kWipeMaskSize];
    int nextState;   // 0 nothing chosen, 1 play, 2 quit
    MusicModule music;
    int fadeLevel;   // wipe level, also the music volume while fading
    StepCarry fadeSteps;  // milliseconds not yet turned into a whole level
    bool volumeFollowsFade;  // the music's volume was last set from fadeLevel
    int hoverItem;   // 0 none, 1 Play, 2 Scores, 3 About, 4 Exit
    int page;
    SDL_Surface* backBuffer;
    bool ownsBackBuffer;

private:
    void loadAssets();
    void freePictures();
    void drawItems();
    void drawScoreBoard();
    void moveAndDrawStars();
    void advanceFade();
    void drawPointer();
    int fadeStep();
};
