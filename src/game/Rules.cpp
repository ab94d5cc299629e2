#include <cstdlib>
#include <cstring>

#include "game/BoardKeys.h"
#include "game/Game.h"
#include "gfx/Text.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/HighScores.h"

namespace {

const int kScoreCap = 999999;
const int kIdleAfterClick = 4000;
const int kIdleAfterPenalty = 999;
const int kIdleGiveUp = -1234;
const int kIdlePenalty = 100;
const int kAddedRows = 8;
const int kRowInterval = 200;
const int kSettleFrames = 15;
const int kClearedBonus = 10000;
const int kExtraLifeScore = 10000;
const int kMostLives = 99;
const int kMessageTime = 5000;
const double kBannerStart = 255.0;
const double kBannerDecayPerMs = 0.1;
const int kLongestName = 27;
// The name a record keeps when the player was sent away before typing one.
const char kPlaceholderName[] = "Player";
const int kClosedFade = -100;
const int kLaterBoardFade = -80;

int groupPoints(int count)
{
    return count * count / 2;
}

}  // namespace

int Game::runFrame()
{
    // The arrow keys move the pointer before the group under it is found;
    // Space and Return click with the mouse's clicks in step 7.
    int keyClicks = readBoardKeys(frameDelta, enteringName);

    // 1-2. Selection and settling run in every state, fades and messages too.
    selectUnderPointer();
    // A click acts on the group shown under the pointer; while tiles are
    // still moving, find it again on the settled cells so that a click never
    // removes tiles of another colour that moved into the old positions.
    if (settleStep())
        selectUnderPointer();

    // 3. Message time.
    if (levelOver && !enteringName) {
        messageTimer -= frameDelta;
        if (!inputLocked && messageTimer < 0) {
            inputLocked = true;
            startFade(255, -1);
        }
    }

    // 4. Rows of new tiles; they keep coming after the board has ended.
    if (linesToAdd != 0) {
        addLineTimer -= frameDelta;
        if (addLineTimer < 0) {
            for (int c = 0; c < kBoardSize; c++) {
                if (board[c][0] == kEmpty)
                    board[c][0] = rand() % 3 + 1;
            }
            linesToAdd--;
            playSound(kAddLineSound);
            addLineTimer = kRowInterval;
        }
    }

    // 5. End of board.
    if (settleFrames > 0) {
        settleFrames--;
    } else {
        int tileCount = 0;
        if (!levelOver && !hasMove(tileCount)) {
            boardCleared = tileCount == 0;
            if (levelScore >= kExtraLifeScore) {
                bonusLifeAwarded = true;
                if (lives < kMostLives)
                    lives++;
            } else {
                bonusLifeAwarded = false;
            }
            messageTimer = kMessageTime;
            doubleTimer = addLineBannerTimer = pointsTimer = 0.0;
            levelOver = true;
            messageX = -400;

            if (boardCleared) {
                playSound(kPerfectSound);
                levelWon = true;
                score += kClearedBonus;
            } else if (lives > 0) {
                levelLost = true;
                playSound(kLostSound);
            } else {
                playSound(kGameOverSound);
                if (highScoreRank(score) >= 0) {
                    enteringName = true;
                    // Only keys that go down from now on type: the Return
                    // or Space that removed the last group is still down.
                    input::forgetKeys();
                    input::spellName(true);
                    messageTimer = 0;
                } else {
                    gameOver = true;
                }
                playerName[0] = '\0';
            }
        }
    }

    // 6. Banner timers run on below zero.
    doubleTimer -= frameDelta * kBannerDecayPerMs;
    addLineBannerTimer -= frameDelta * kBannerDecayPerMs;
    pointsTimer -= frameDelta * kBannerDecayPerMs;

    // 7. Events; keys come from the pass's key releases.
    SDL_Event event;
    while (input::pollEvent(event)) {
        if (inputLocked || messageTimer > 0 || enteringName)
            continue;
        if (event.type == SDL_MOUSEBUTTONDOWN) {
            click();
        } else if (event.type == SDL_QUIT) {
            quitRequested = true;
            inputLocked = true;
            startFade(255, -1);
        }
    }
    const input::KeyRelease* releases = nullptr;
    int releaseCount = input::keyReleases(releases);
    for (int i = 0; i < releaseCount && enteringName && !inputLocked && messageTimer <= 0; i++) {
        SDLKey sym = releases[i].key;
        int character = releases[i].character;
        // Without translation at all, SDL's symbols for the plain keys are
        // their ASCII codes.
        if (character == 0 && sym < 128)
            character = sym;
        typeCharacter(character);
    }
    spellWithPad();
    for (; keyClicks > 0 && !inputLocked && messageTimer <= 0 && !enteringName; keyClicks--)
        click();

    // 8. Idle time.
    if (!levelOver) {
        if (idleTimer >= 0) {
            idleTimer -= frameDelta;
        } else if (idleTimer > kIdleGiveUp) {
            if (score > 0)
                playSound(kTimeSound);
            score -= kIdlePenalty;
            levelScore -= kIdlePenalty;
            idleTimer = kIdleAfterPenalty;
        }
    }

    // 9. The shown score eases towards the score.
    int s = score;
    int d = shownScore;
    if (d < s - 8)
        d += (s - d) / 8;
    else if (d < s)
        d += 1;
    if (d > s + 8)
        d -= (d - s) / 8;
    else if (d > s)
        d -= 1;
    shownScore = d;

    // 10. Floors.
    if (score < 0) {
        score = 0;
        levelScore = 0;
    }
    if (shownScore < 0)
        shownScore = 0;

    // 11. Screen, and one step of the fade.
    draw();

    // 12. Escape.
    if (!inputLocked && input::keyDown(SDLK_ESCAPE)) {
        quitRequested = true;
        startFade(255, -1);
        inputLocked = true;
    }

    // 13. The opening fade is done.
    if (fadeLevel > 255) {
        inputLocked = false;
        startFade(256, 0);
    }

    // 14-16. Leave, go on, or open the next board once the screen is black.
    if (fadeLevel > kClosedFade)
        return 1;
    if (quitRequested || gameOver)
        return 0;
    if (levelWon)
        level++;
    if (levelLost)
        lives--;
    freeAssets();
    startBoard();
    startFade(kLaterBoardFade, 1);
    return 1;
}

void Game::click()
{
    int count = markedCount();
    if (count < 1) {
        settleFrames = kSettleFrames;
        return;
    }
    int bonus = markedBonus();
    if (bonus != kEmpty) {
        // Only the banner of the bonus taken shows, from its start.
        doubleTimer = bonus == kDoubleTile ? kBannerStart : 0.0;
        addLineBannerTimer = bonus == kAddLinesTile ? kBannerStart : 0.0;
        pointsTimer = bonus == kPointsTile ? kBannerStart : 0.0;
    }
    // The group's points and the coin's, as the number beside the pointer showed.
    int points = clickPoints();
    for (int r = 0; r < kBoardSize; r++)
        for (int c = 0; c < kBoardSize; c++)
            if (selected[c][r])
                board[c][r] = kEmpty;

    score += points;
    levelScore += points;
    idleTimer = kIdleAfterClick;
    switch (bonus) {
    case kDoubleTile:
        lastBonus = kBonusDouble;
        playSound(kDoubleSound);
        break;
    case kAddLinesTile:
        // A count still running starts over; the row timer goes on.
        linesToAdd = kAddedRows;
        lastBonus = kBonusAddLines;
        break;
    case kPointsTile:
        // Paid in points above, even at the cap; the next coin's value now.
        lastBonus = coinPoints == 1000 ? kBonusThousand : kBonusFiveHundred;
        drawCoinPoints();
        playSound(kPointsSound);
        break;
    default:
        playSound(kBipSound);
        break;
    }
    settleFrames = kSettleFrames;
}

void Game::typeCharacter(int character)
{
    // Only plain ASCII: the low byte of a wider character would be another one.
    if (character <= 0 || character > 126)
        return;
    int length = (int)strlen(playerName);
    if (character == 8) {
        if (length > 0)
            playerName[length - 1] = '\0';
    } else if (character == 10 || character == 13) {
        confirmName();
    } else if (character == ' ' || hasGlyph(character)) {
        if (length < kLongestName) {
            playerName[length] = (char)character;
            playerName[length + 1] = '\0';
        }
    }
}

void Game::confirmName()
{
    int rank = highScoreRank(score);
    if (rank >= 0) {
        insertHighScore(rank, playerName, score, boardCleared ? 1 : 0);
        // On disk at once: a crash before the program's exit keeps the record.
        saveHighScores();
    }
    startFade(255, -1);
    quitRequested = true;
    inputLocked = true;
    // Neither the message nor the fade moves in the rest of this frame.
    frameDelta = 0;
}

void Game::keepTypedName()
{
    if (!enteringName)
        return;
    enteringName = false;
    int rank = highScoreRank(score);
    if (rank >= 0)
        insertHighScore(rank, playerName[0] ? playerName : kPlaceholderName, score,
                        boardCleared ? 1 : 0);
}

int Game::markedCount() const
{
    int count = 0;
    for (int r = 0; r < kBoardSize; r++)
        for (int c = 0; c < kBoardSize; c++)
            if (selected[c][r] && board[c][r] != kEmpty)
                count++;
    return count;
}

int Game::markedBonus() const
{
    int bonus = kEmpty;
    for (int r = 0; r < kBoardSize; r++) {
        for (int c = 0; c < kBoardSize; c++) {
            int tile = selected[c][r] ? board[c][r] : kEmpty;
            if (tile == kDoubleTile || tile == kAddLinesTile || tile == kPointsTile)
                bonus = tile;
        }
    }
    return bonus;
}

int Game::clickPoints() const
{
    int count = markedCount();
    int bonus = markedBonus();
    int coin = count > 0 && bonus == kPointsTile ? coinPoints : 0;
    return groupScore(count, bonus) + coin;
}

void Game::drawCoinPoints()
{
    coinPoints = rand() % 2 == 0 ? 1000 : 500;
}

int Game::groupScore(int count, int bonus) const
{
    if (count < 1)
        return 0;
    int points = 0;
    int after = score;
    for (int half = 0; half < (bonus == kDoubleTile ? 2 : 1); half++) {
        if (after < kScoreCap) {
            after += groupPoints(count);
            points += groupPoints(count);
        }
    }
    return points;
}
