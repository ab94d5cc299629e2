#include "menu/TitleMenu.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/Archive.h"
#include "gfx/Copy.h"
#include "gfx/Picture.h"
#include "gfx/Text.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "core/HighScores.h"

namespace {

const char* const kItemNames[kMenuItemCount] = {"play.bmp", "scores.bmp", "about.bmp",
                                                "exit.bmp"};
const char* const kLitItemNames[kMenuItemCount] = {"splay.bmp", "sscores.bmp", "sabout.bmp",
                                                   "sexit.bmp"};

constexpr int kWipeMaskCount = 10;
constexpr int kMusicCount = 6;
constexpr int kPageTop = 251;      // the items, the score board and the credits start here
constexpr int kPageHeight = 229;   // score board and credits
constexpr int kFooterHeight = 60;
constexpr int kOpenLevel = 256;    // above this the opening fade is over
constexpr int kClosedLevel = -50;  // at or below this the closing fade is over
constexpr int kMsPerFadeLevel = 5; // 0.2 levels per millisecond
constexpr int kFullVolume = 63;
constexpr int kPointerAlpha = 150;

// Copies the top left w x h of picture to (x, y) of target; copyRect keeps
// the target in the cache for the stars and the wipe drawn over it.
void blitTopLeft(SDL_Surface* picture, int w, int h, SDL_Surface* target, int x, int y)
{
    copyRect(picture, 0, 0, w, h, target, x, y);
}

SDL_Surface* loadPicture(PakArchive& pak, const char* member)
{
    return loadPakPicture(pak, member, ColourKey::None, Conversion::ScreenFormat);
}

// Black is transparent in the pointer and the font strip.
void keyOutBlack(SDL_Surface* picture)
{
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, 0);
}

}  // namespace

int menuItemAtRow(int y)
{
    for (int item = 1; item <= kMenuItemCount; item++) {
        if (y >= kItemTop[item - 1] && y < kItemTop[item])
            return item;
    }
    return 0;
}

TitleMenu::TitleMenu(SDL_Surface* buffer, bool ownsBuffer)
    : pointerPicture(nullptr), titlePicture(nullptr), footerPicture(nullptr),
      scoreBoardPicture(nullptr), fontPicture(nullptr), creditsPicture(nullptr), nextState(0),
      fadeLevel(0), fadeSteps(kMsPerFadeLevel), volumeFollowsFade(false), hoverItem(0),
      page(kPageOpening), backBuffer(buffer), ownsBackBuffer(ownsBuffer)
{
    memset(stars, 0, sizeof stars);
    memset(wipeMask, 0, sizeof wipeMask);
    for (int i = 0; i < kMenuItemCount; i++) {
        itemPictures[i] = nullptr;
        litItemPictures[i] = nullptr;
    }
    try {
        loadAssets();
    } catch (...) {
        // The destructor will not run for a half-built menu.
        freePictures();
        if (ownsBackBuffer)
            SDL_FreeSurface(backBuffer);
        throw;
    }
}

TitleMenu::~TitleMenu()
{
    freePictures();
    if (ownsBackBuffer)
        SDL_FreeSurface(backBuffer);
}

void TitleMenu::loadAssets()
{
    PakArchive pak;
    pak.open("data.pak");

    pointerPicture = loadPicture(pak, "mouse.bmp");
    fontPicture = loadPicture(pak, "font.bmp");
    titlePicture = loadPicture(pak, "title.bmp");
    for (int i = 0; i < kMenuItemCount; i++)
        itemPictures[i] = loadPicture(pak, kItemNames[i]);
    for (int i = 0; i < kMenuItemCount; i++)
        litItemPictures[i] = loadPicture(pak, kLitItemNames[i]);
    footerPicture = loadPicture(pak, "copyright.bmp");
    scoreBoardPicture = loadPicture(pak, "bottom.bmp");
    creditsPicture = loadPicture(pak, "credits.bmp");
    keyOutBlack(pointerPicture);
    keyOutBlack(fontPicture);

    FormattedString maskName("wipe%i.raw", rand() % kWipeMaskCount);
    loadPakMask(pak, maskName.text, wipeMask);

    FormattedString musicPath("zip:data.pak,sound/%i.zik", rand() % kMusicCount + 1);
    if (!music.load(musicPath.text)) {
        fprintf(stderr, "Cannot Load Module '%s'", musicPath.text);
        fflush(stderr);
    }
    music.start();

    pak.close();

    for (Star& star : stars) {
        star.x = static_cast<float>(rand() % 640);
        star.y = static_cast<float>(rand() % 500 + 500);  // all start below the screen
        star.size = static_cast<float>(rand() % 30 + 10);
        star.speed = star.size * 0.25f;
        star.spin = static_cast<float>(rand() % 20 + 10);
        if (rand() % 100 > 50)
            star.spin = -star.spin;
        star.angle = 0;
    }
}

void TitleMenu::freePictures()
{
    SDL_Surface** single[] = {&pointerPicture, &titlePicture,      &footerPicture,
                              &scoreBoardPicture, &fontPicture,    &creditsPicture};
    for (SDL_Surface** picture : single) {
        if (*picture)
            SDL_FreeSurface(*picture);
        *picture = nullptr;
    }
    for (int i = 0; i < kMenuItemCount; i++) {
        if (itemPictures[i])
            SDL_FreeSurface(itemPictures[i]);
        if (litItemPictures[i])
            SDL_FreeSurface(litItemPictures[i]);
        itemPictures[i] = nullptr;
        litItemPictures[i] = nullptr;
    }
}

void TitleMenu::drawFrame()
{
    if (page == kPageAbout)
        blitTopLeft(creditsPicture, 640, kPageHeight, backBuffer, 0, kPageTop);
    else if (page == kPageScores)
        drawScoreBoard();
    else
        drawItems();
    blitTopLeft(titlePicture, 640, kPageTop, backBuffer, 0, 0);
    moveAndDrawStars();
    advanceFade();
    drawPointer();
    if (backBuffer != screen)
        SDL_BlitSurface(backBuffer, nullptr, screen, nullptr);
}

void TitleMenu::drawItems()
{
    for (int i = 0; i < kMenuItemCount; i++) {
        SDL_Surface* picture = hoverItem == i + 1 ? litItemPictures[i] : itemPictures[i];
        blitTopLeft(picture, 640, kItemTop[i + 1] - kItemTop[i], backBuffer, 0, kItemTop[i]);
    }
    blitTopLeft(footerPicture, 640, kFooterHeight, backBuffer, 0, kItemTop[kMenuItemCount]);
}

void TitleMenu::drawScoreBoard()
{
    blitTopLeft(scoreBoardPicture, 640, kPageHeight, backBuffer, 0, kPageTop);
    drawText(backBuffer, 46, 270, "Rank", fontPicture);
    drawText(backBuffer, 128, 270, "Player", fontPicture);
    drawText(backBuffer, 534, 270, "Score", fontPicture);

    for (int i = 0; i < kHighScoreCount; i++) {
        const HighScoreRecord& record = highScores[i];
        int y = 302 + 16 * i;
        // Each row sways by at most i + 2 pixels.
        int sway = static_cast<int>(sin(0.2 * (i + elapsedTime / 60.0)) * (i + 2));

        FormattedString rank("%i", i + 1);
        drawText(backBuffer, sway + 64, y, rank.text, fontPicture);
        if (record.cleared != 0)
            drawText(backBuffer, sway + 112, y, "-", fontPicture);
        drawText(backBuffer, sway + 128, y, highScoreName(record).text, fontPicture);
        FormattedString score("%06i", static_cast<int>(record.score));
        drawText(backBuffer, sway + 528, y, score.text, fontPicture);
    }
    drawText(backBuffer, 0, 465, "reset f1", fontPicture);
}

void TitleMenu::moveAndDrawStars()
{
    Uint32 yellow = SDL_MapRGB(backBuffer->format, 255, 255, 0);
    for (Star& star : stars) {
        star.y -= frameDelta * star.speed * 0.02f;
        if (star.y < -star.size) {
            // Gone over the top: rise again from below, in a new column.
            star.y = 500;
            star.x = static_cast<float>(rand() % 640);
        }
        star.angle = star.spin * static_cast<float>(elapsedTime) * 0.01f;
        drawStar(backBuffer, static_cast<int>(star.x), static_cast<int>(star.y),
                 static_cast<int>(star.size), static_cast<int>(star.angle), yellow);
    }
}

int TitleMenu::fadeStep()
{
    // Whole levels for the time passed; the remainder waits for the next
    // frame, so short frames still move the fade.
    return static_cast<int>(fadeSteps.advance(frameDelta > 0 ? frameDelta : 0));
}

void TitleMenu::advanceFade()
{
    if (page == kPageOpening) {
        fadeLevel += fadeStep();
        if (fadeLevel > kOpenLevel) {
            page = kPageMain;
            fadeSteps.reset();
            return;
        }
        music.setVolume(fadeLevel);
        volumeFollowsFade = true;
        drawWipe(backBuffer, fadeLevel, wipeMask);
    } else if (page == kPageClosing) {
        fadeLevel -= fadeStep();
        if (fadeLevel <= kClosedLevel) {
            drawWipe(backBuffer, fadeLevel, wipeMask);
            page = kPageClosed;
            fadeSteps.reset();
            return;
        }
        music.setVolume(fadeLevel);
        volumeFollowsFade = true;
        drawWipe(backBuffer, fadeLevel, wipeMask);
    } else {
        fadeSteps.reset();
        // A fade stopped before its end (a click, Escape) leaves the menu
        // fully shown: its music comes back to full volume with it.
        if (volumeFollowsFade && page != kPageClosed) {
            music.setVolume(kFullVolume);
            volumeFollowsFade = false;
        }
    }
}

void TitleMenu::drawPointer()
{
    // The keys may steer it while the mouse is outside the window.
    if (!fullScreen && !input::pointerSteered() && !(SDL_GetAppState() & SDL_APPMOUSEFOCUS))
        return;
    int x, y;
    input::pointer(x, y);
    SDL_SetAlpha(pointerPicture, SDL_SRCALPHA, kPointerAlpha);
    blitTopLeft(pointerPicture, 32, 32, backBuffer, x, y);
}
