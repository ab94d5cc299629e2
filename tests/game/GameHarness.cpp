#include "game/GameHarness.h"

#include <sys/stat.h>

#include <cstdlib>
#include <map>

#include "audio/Audio.h"
#include "game/BoardLayout.h"
#include "gfx/Text.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/HighScores.h"

namespace {

std::map<const SoundSample*, int> playCounts;

}  // namespace

// test_game is linked with --wrap for SoundSample::play, so every effect any
// code starts passes through here before it reaches the mixer.
extern "C" void __real__ZN11SoundSample4playEv(SoundSample* sample);
extern "C" void __wrap__ZN11SoundSample4playEv(SoundSample* sample)
{
    playCounts[sample]++;
    __real__ZN11SoundSample4playEv(sample);
}

namespace game_test {

int GameHarness::plays(int which) const
{
    auto found = playCounts.find(&game->sample(which));
    return found == playCounts.end() ? 0 : found->second;
}

void GameHarness::resetPlays()
{
    playCounts.clear();
}

void GameHarness::SetUp()
{
    resetPlays();
    scratch = testing_support::startHeadlessSession(true);
    SDL_EnableUNICODE(1);
    settleFrames = 0;
    if (withAudio) {
        // Never a real device, whatever the test runner passed on.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        audioInit(44100, 16, 4096, 4, false);
    }
    dropPendingEvents();
}

void GameHarness::TearDown()
{
    game.reset();
    input::releaseAllKeys();
    audioShutdown();
    testing_support::closeDummyScreen();
    scratch.reset();
}

Game& GameHarness::start(unsigned seed)
{
    srand(seed);
    game.reset(new Game);
    return *game;
}

int GameHarness::frame(int delta)
{
    frameDelta = delta;
    elapsedTime += delta;
    input::readKeys();
    return game->runFrame();
}

int GameHarness::openBoard(int delta)
{
    int frames = 0;
    while (game->inputLocked && frames < 100000) {
        frame(delta);
        frames++;
    }
    return frames;
}

int GameHarness::runUntilLeft(int delta, int limitMs)
{
    for (int spent = delta; spent <= limitMs; spent += delta) {
        bool closing = game->fadeDir < 0;
        if (frame(delta) == 0)
            return spent;
        // The next board opens from -80 in the frame that ends the fade.
        if (closing && game->fadeDir > 0)
            return spent;
    }
    return -1;
}

void GameHarness::layOut(std::initializer_list<const char*> rows)
{
    layOutInto(game->board, rows);
}

void GameHarness::layOutBottom(std::initializer_list<const char*> rows)
{
    layOutBottomInto(game->board, rows);
}

void GameHarness::pointAtPixel(int x, int y)
{
    SDL_WarpMouse((Uint16)x, (Uint16)y);
    SDL_PumpEvents();
}

void GameHarness::pointAt(int column, int row)
{
    pointAtPixel(column * 32 + 16, row * 32 + 16);
}

void GameHarness::pushClick(int button)
{
    SDL_Event event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = (Uint8)button;
    event.button.state = SDL_PRESSED;
    int x, y;
    SDL_GetMouseState(&x, &y);
    event.button.x = (Uint16)x;
    event.button.y = (Uint16)y;
    SDL_PushEvent(&event);
}

void GameHarness::clickCell(int column, int row)
{
    pointAt(column, row);
    pushClick();
    frame();
}

void GameHarness::pushKeyPress(SDLKey sym, Uint16 unicode)
{
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = sym;
    event.key.keysym.unicode = unicode;
    SDL_PushEvent(&event);
}

void GameHarness::pushKeyRelease(SDLKey sym, Uint16 unicode)
{
    SDL_Event event = {};
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    event.key.keysym.sym = sym;
    event.key.keysym.unicode = unicode;
    SDL_PushEvent(&event);
}

void GameHarness::typeKey(SDLKey sym, Uint16 unicode)
{
    pushKeyPress(sym, unicode);
    pushKeyRelease(sym, 0);
}

void GameHarness::pushQuit()
{
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void GameHarness::dropPendingEvents()
{
    SDL_Event event;
    SDL_PumpEvents();
    while (SDL_PollEvent(&event)) {
    }
}

std::string GameHarness::screenshot(const std::string& name)
{
    std::string folder = std::string(TESSAL_BINARY_DIR) + "/screenshots";
    mkdir(folder.c_str(), 0755);
    std::string bmp = folder + "/" + name + ".bmp";
    std::string png = folder + "/" + name + ".png";
    if (SDL_SaveBMP(screen, bmp.c_str()) != 0)
        return "";
    std::string command = "convert '" + bmp + "' '" + png + "' && rm -f '" + bmp + "'";
    if (system(command.c_str()) != 0)
        return "";
    return png;
}

}  // namespace game_test
