// Drives a whole Game headless: dummy video and audio, the real data.pak in a
// scratch folder, a warped pointer, pushed events and scripted frame times.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "game/Game.h"
#include "support/TestSupport.h"

namespace game_test {

class GameHarness : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the Game as the main loop does (deal, load, music).
    Game& start(unsigned seed = 1);

    // One pass of the main loop: the clock moves by delta, then runFrame.
    int frame(int delta = 16);
    // Frames until the opening fade is over; returns how many it took.
    int openBoard(int delta = 16);
    // Frames until runFrame returns 0 or a new board opens; returns the
    // milliseconds it took, or -1 when neither happened within the limit.
    int runUntilLeft(int delta = 16, int limitMs = 60000);

    void layOut(std::initializer_list<const char*> rows);
    void layOutBottom(std::initializer_list<const char*> rows);
    void pointAt(int column, int row);
    void pointAtPixel(int x, int y);
    void pushClick(int button = SDL_BUTTON_LEFT);
    // Pointer on the cell, one press, one frame.
    void clickCell(int column, int row);
    void pushKeyPress(SDLKey sym, Uint16 unicode);
    void pushKeyRelease(SDLKey sym, Uint16 unicode);
    // A press carrying the character and a release without one, as SDL 1.2
    // delivers them.
    void typeKey(SDLKey sym, Uint16 unicode);
    void pushQuit();
    void dropPendingEvents();

    // Effects started since set-up or the last resetPlays(), counted where
    // SoundSample::play is entered.
    int plays(int which) const;
    void resetPlays();
    // Saves the screen as <build>/screenshots/<name>.png; returns its path.
    std::string screenshot(const std::string& name);

    std::unique_ptr<testing_support::ScratchDir> scratch;
    std::unique_ptr<Game> game;
    bool withAudio = true;
};

}  // namespace game_test
