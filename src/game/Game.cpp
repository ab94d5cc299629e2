#include "game/Game.h"

#include <cstring>

#include "platform/Input.h"

int settleFrames = 0;

Game::Game()
    : wipeMask{}, board{}, animPhase{}, selected{},
      fadeLevel(0), fadeDir(1), theme(0),
      levelOver(false), enteringName(false), boardCleared(false),
      bonusLifeAwarded(false), levelWon(false), levelLost(false),
      gameOver(false), quitRequested(false), inputLocked(true),
      linesToAdd(0), addLineTimer(0), messageTimer(0), playerName{},
      previewPoints(0), idleTimer(10000), score(0), shownScore(0),
      levelScore(0), level(1), lives(3),
      doubleTimer(0.0), addLineBannerTimer(0.0), pointsTimer(0.0),
      messageX(-400), lastBonus(0), coinPoints(0),
      fadeSteps(5)
{
    try {
        startBoard();
        drawCoinPoints();
    } catch (...) {
        // The destructor does not run for a half-made object.
        freeAssets();
        throw;
    }
}

Game::~Game()
{
    // The pads play again on the next screen.
    input::spellName(false);
    freeAssets();
    // The members then go in reverse order: the samples, then the music.
}

void Game::startBoard()
{
    messageTimer = 0;
    levelScore = 0;
    fadeLevel = 0;
    fadeDir = 1;
    fadeSteps.reset();
    levelOver = false;
    enteringName = false;
    boardCleared = false;
    gameOver = false;
    levelWon = false;
    levelLost = false;
    quitRequested = false;
    messageX = -400;
    inputLocked = true;
    idleTimer = 10000;
    // Callers have freed the pictures (freeAssets) before a new board.
    pointerPic = backPic = panelPic = nullptr;
    for (int i = 0; i < 3; i++)
        tilePics[i] = bonusPics[i] = selTilePics[i] = selBonusPics[i] = nullptr;
    bigDigitsPic = smallDigitsPic = fontPic = nullptr;
    gameOverPic = hiscorePic = perfectPic = points5000Pic = bonusLifePic = nullptr;
    wonLevelPic = lostLevelPic = wonGamePic = nullptr;
    bonus2xPic = bonusAddLinePic = bonus500Pic = bonus1000Pic = nullptr;

    dealBoard();
    loadAssets(false);
}

void Game::dealBoard()
{
    tiles::deal(board, animPhase);
}

void Game::selectUnderPointer()
{
    int x, y;
    input::pointer(x, y);
    previewPoints = tiles::selectAt(board, selected, x, y);
}

bool Game::settleStep()
{
    return tiles::settle(board);
}

bool Game::hasMove(int& tileCount)
{
    return tiles::hasMove(board, tileCount);
}

SoundSample& Game::sample(int which)
{
    switch (which) {
    case kDoubleSound: return doubleSound;
    case kAddLineSound: return addLineSound;
    case kGameOverSound: return gameOverSound;
    case kLostSound: return lostSound;
    case kPerfectSound: return perfectSound;
    case kPointsSound: return pointsSound;
    case kTimeSound: return timeSound;
    case kLifeSound: return lifeSound;
    default: return bipSound;
    }
}

void Game::playSound(int which)
{
    if (which < 0 || which >= kGameSoundCount)
        return;
    sample(which).play();
}

void Game::startFade(int level, int direction)
{
    fadeLevel = level;
    fadeDir = direction;
    fadeSteps.reset();
}
