#include <cstdio>
#include <cstring>

#include "game/Game.h"
#include "gfx/Copy.h"
#include "gfx/Primitives.h"
#include "gfx/Text.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/Error.h"

namespace {

// Copies the top-left w x h of picture to (x, y); returns SDL's result
// (copyRect leaves video memory, which can be lost, to SDL_UpperBlit).
int copyPicture(SDL_Surface* picture, int w, int h, int x, int y)
{
    if (!picture)
        return 0;
    return copyRect(picture, 0, 0, w, h, screen, x, y);
}

}  // namespace

void Game::draw()
{
    // 1. Background; a lost screen means reloading the pictures first.
    if (copyPicture(backPic, kBoardPixels, kBoardPixels, 0, 0) == -2) {
        logLine("RESTORING GAME");  // logLine ends the line
        SDL_Delay(100);
        SDL_WaitEvent(nullptr);
        loadAssets(true);
        return;
    }

    // 2. Panel.
    copyPicture(panelPic, 160, 480, kBoardPixels, 0);

    // 3. Tiles, each position at its own animation phase.
    int period = theme == 3 ? 150 : 200;
    int step = elapsedTime / period;
    for (int r = 0; r < kBoardSize; r++) {
        for (int c = 0; c < kBoardSize; c++) {
            int32_t value = board[c][r];
            if (value == kEmpty)
                continue;
            int kind = (value & 15) - 1;
            if (kind < 0 || kind > 2)
                continue;
            SDL_Surface* strip;
            if (value & 16)
                strip = selected[c][r] ? selBonusPics[kind] : bonusPics[kind];
            else
                strip = selected[c][r] ? selTilePics[kind] : tilePics[kind];
            if (!strip)
                continue;
            int frame = (animPhase[c][r] + step) % kAnimFrames;
            copyRect(strip, kCellSize * frame, 0, kCellSize, kCellSize, screen, kCellSize * c,
                     kCellSize * r);
        }
    }

    // 4. Counters, formatted on the stack.
    char text[40];
    if (idleTimer >= 1000 || (idleTimer & 512)) {
        int seconds = idleTimer / 1000;
        if (seconds < 0)
            seconds = 0;
        snprintf(text, sizeof text, "%i", seconds);
        drawBigDigits(screen, 550, 337, text, bigDigitsPic);
    }
    snprintf(text, sizeof text, "%06i", shownScore);
    drawBigDigits(screen, 500, 277, text, bigDigitsPic);
    snprintf(text, sizeof text, "%02i", lives);
    drawBigDigits(screen, 544, 122, text, bigDigitsPic);
    snprintf(text, sizeof text, "%02i", level);
    drawBigDigits(screen, 544, 195, text, bigDigitsPic);
    // The strip has no minus sign: a board score taken below zero by idle
    // penalties shows as 0 (the value stays for the extra-life rule).
    snprintf(text, sizeof text, "%5i", levelScore < 0 ? 0 : levelScore);
    drawSmallDigits(screen, 586, 264, text, smallDigitsPic);
    // Beside the pointer, what a click on the marked group would score.
    int pointerX, pointerY;
    int points = previewPoints > 0 ? clickPoints() : 0;
    if (points > 0) {
        input::pointer(pointerX, pointerY);
        snprintf(text, sizeof text, "%i", points);
        drawSmallDigits(screen, pointerX + 10, pointerY - 4, text, smallDigitsPic);
    }

    // 5. End-of-board message, sliding in from the left at 1 px per ms.
    if (levelOver) {
        messageX += frameDelta;
        if (messageX > 50)
            messageX = 50;
        SDL_Surface* message = nullptr;
        if (enteringName)
            message = hiscorePic;
        else if (levelWon)
            message = wonLevelPic;
        else if (levelLost)
            message = lostLevelPic;
        else if (gameOver)
            message = gameOverPic;
        copyPicture(message, 380, 128, messageX, 150);

        if (enteringName && messageX == 50) {
            drawText(screen, 71, 251, playerName, fontPic);
            // The cursor; once a pad chose a letter, letter and cursor take turns.
            const char letter[2] = {padLetterChar(), '\0'};
            bool blank = letter[0] == ' ';
            int cursorX = 71 + 12 * (int)strlen(playerName);
            if (elapsedTime & 128)
                drawText(screen, cursorX, 251, blank ? "-" : letter, fontPic);
            else if (!blank)
                drawText(screen, cursorX, 251, "-", fontPic);
        }
        if (levelWon && (elapsedTime & 512)) {
            copyPicture(perfectPic, 256, 64, messageX + 62, 280);
            if (bonusLifeAwarded)
                copyPicture(bonusLifePic, 256, 64, messageX + 62, 80);
        }
    }

    // 6. Pointer, half see-through.
    input::pointer(pointerX, pointerY);
    if (pointerPic) {
        SDL_SetAlpha(pointerPic, SDL_SRCALPHA, 150);
        // The keys may steer it while the mouse is outside the window.
        if (fullScreen || input::pointerSteered() || (SDL_GetAppState() & SDL_APPMOUSEFOCUS))
            copyPicture(pointerPic, 32, 32, pointerX, pointerY);
    }

    // 7. Bonus banners blink while their timers run down.
    if (elapsedTime & 256) {
        if (doubleTimer > 0.0)
            copyPicture(bonus2xPic, 256, 64, 112, 210);
        if (addLineBannerTimer > 0.0)
            copyPicture(bonusAddLinePic, 256, 64, 112, 210);
        if (pointsTimer > 0.0) {
            if (lastBonus == kBonusThousand)
                copyPicture(bonus1000Pic, 256, 64, 112, 210);
            else if (lastBonus == kBonusFiveHundred)
                copyPicture(bonus500Pic, 256, 64, 112, 210);
        }
    }

    // 8. Fade: one level per 5 ms, the part of a level carried to the next
    // frame so that short frames still move it.
    fadeLevel += static_cast<int>(fadeSteps.advance(fadeDir * frameDelta));
    if (fadeLevel < 256) {
        music.setVolume(fadeLevel);
        drawWipe(screen, fadeLevel, wipeMask);
    }
}
