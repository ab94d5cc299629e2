// The running game: board, rules, screen and assets of one player's game.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "audio/MusicModule.h"
#include "core/StepCarry.h"
#include "audio/SoundSample.h"
#include "game/Board.h"
#include "gfx/Primitives.h"

// Frames during which the end-of-board test is held off after a click. Lives
// for the whole process; a new Game does not reset it.
extern int settleFrames;

// Play counters are kept per sample, in the order of the sample fields.
enum GameSound {
    kBipSound,
    kDoubleSound,
    kAddLineSound,
    kGameOverSound,
    kLostSound,
    kPerfectSound,
    kPointsSound,
    kTimeSound,
    kLifeSound,
    kGameSoundCount
};

// Kinds of bonus remembered in lastBonus.
enum {
    kBonusDouble = 1,
    kBonusThousand = 3,
    kBonusFiveHundred = 4,
    kBonusAddLines = 5
};

class Game {
public:
    // Constructs the music and the samples empty, sets the start values and
    // runs startBoard (deal, load, music on). Throws Error when an asset is bad.
    Game();
    // freeAssets; then the samples in reverse order and the music.
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // One frame: rules, events, drawing. Returns 1 to stay, 0 for the menu.
    int runFrame();
    // A quit signal (a logout) while the name is typed: the record goes into
    // the table under the name typed so far, or "Player" when there is
    // none, for the shutdown to save. Anything else keeps no record.
    void keepTypedName();

    // reload false: theme from the level, 30 pictures, wipe mask, music and
    // samples. reload true: the 30 pictures only (new screen format).
    void loadAssets(bool reload);
    // Stops the music and frees the pictures.
    void freeAssets();

    void startBoard();
    void dealBoard();
    void selectUnderPointer();
    // Returns true when any tile moved.
    bool settleStep();
    bool hasMove(int& tileCount);

    void click();
    // The points click() would add for the marked group, the coin's included.
    int clickPoints() const;
    // Draws coinPoints: 1000 or 500, equal chance.
    void drawCoinPoints();
    // The last bonus tile met, in row order, among the marked cells: the one
    // whose effect a click takes. kEmpty when there is none.
    int markedBonus() const;
    int markedCount() const;
    // What a group of count tiles with that bonus adds to the score now:
    // count * count / 2, twice with the double tile, each half only while the
    // score is below its cap.
    int groupScore(int count, int bonus) const;
    // A key release during name entry; character already resolved.
    void typeCharacter(int character);
    void confirmName();
    // A pad spells the name arcade style: chooses padLetter, takes it, drops
    // the last letter. Reads the pad's keys in every pass.
    void spellWithPad();
    // The letter padLetter stands for; a blank is ' '.
    char padLetterChar() const;
    void draw();

    // Starts sample `which`.
    void playSound(int which);
    SoundSample& sample(int which);

    // Pictures, loaded, freed and reloaded through the table in Assets.cpp.
    SDL_Surface* pointerPic = nullptr;
    SDL_Surface* backPic = nullptr;
    SDL_Surface* panelPic = nullptr;
    SDL_Surface* tilePics[3]{};
    SDL_Surface* bonusPics[3]{};
    SDL_Surface* selTilePics[3]{};
    SDL_Surface* selBonusPics[3]{};
    SDL_Surface* bigDigitsPic = nullptr;
    SDL_Surface* smallDigitsPic = nullptr;
    SDL_Surface* fontPic = nullptr;
    SDL_Surface* gameOverPic = nullptr;
    SDL_Surface* hiscorePic = nullptr;
    SDL_Surface* perfectPic = nullptr;
    SDL_Surface* points5000Pic = nullptr;
    SDL_Surface* bonusLifePic = nullptr;
    SDL_Surface* wonLevelPic = nullptr;
    SDL_Surface* lostLevelPic = nullptr;
    SDL_Surface* wonGamePic = nullptr;
    SDL_Surface* bonus2xPic = nullptr;
    SDL_Surface* bonusAddLinePic = nullptr;
    SDL_Surface* bonus500Pic = nullptr;
    SDL_Surface* bonus1000Pic = nullptr;

    MusicModule music;

    SoundSample bipSound;
    SoundSample doubleSound;
    SoundSample addLineSound;
    SoundSample gameOverSound;
    SoundSample lostSound;
    SoundSample perfectSound;
    SoundSample pointsSound;
    SoundSample timeSound;
    SoundSample lifeSound;

    unsigned char wipeMask[kWipeMaskSize];
    int32_t board[kBoardSize][kBoardSize];      // [column][row]
    int32_t animPhase[kBoardSize][kBoardSize];  // stays with the position
    uint8_t selected[kBoardSize][kBoardSize];
    int32_t fadeLevel;
    int32_t fadeDir;
    int32_t theme;
    bool levelOver;
    bool enteringName;
    bool boardCleared;
    bool bonusLifeAwarded;
    bool levelWon;
    bool levelLost;
    bool gameOver;
    bool quitRequested;
    bool inputLocked;
    int32_t linesToAdd;
    int32_t addLineTimer;
    int32_t messageTimer;
    char playerName[32];
    int32_t padLetter = 0;  // the letter a pad is choosing; 0 is the blank
    int32_t previewPoints;
    int32_t idleTimer;
    int32_t score;
    int32_t shownScore;
    int32_t levelScore;
    int32_t level;
    int32_t lives;
    double doubleTimer;
    double addLineBannerTimer;
    double pointsTimer;
    int32_t messageX;
    int32_t lastBonus;
    // What the next coin pays, 500 or 1000: drawn ahead, so that the number
    // beside the pointer can show it before the click.
    int32_t coinPoints;

    // Fade progress below one level, in milliseconds times fadeDir (one level
    // is 5 ms), so that short frames still move the fade.
    StepCarry fadeSteps;  // one level per 5 ms
    // How often each sample was started; the tests read it.

    // Sets fadeLevel and fadeDir and drops any partial step.
    void startFade(int level, int direction);
};
