// A title menu on the dummy screen, loaded from the generated data.pak in a
// scratch folder, with the pointer, clicks, keys and frame times scripted.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "gfx/Text.h"
#include "menu/TitleMenu.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/HighScores.h"
#include "shell/MenuControl.h"
#include "support/TestSupport.h"

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = testing_support::startHeadlessSession(false);
        appState = 0;
        srand(7);
        menu = createTitleMenu();
        dropEvents();
    }

    void TearDown() override
    {
        delete menu;
        input::releaseAllKeys();
        testing_support::closeDummyScreen();
        scratch.reset();
    }

    // One title-screen pass of the main loop after dt milliseconds.
    int pass(int dt = 0)
    {
        frameDelta = dt;
        elapsedTime += dt;
        input::readKeys();
        return runTitleMenuPass(*menu);
    }

    void pointAt(int y)
    {
        SDL_WarpMouse(320, static_cast<Uint16>(y));
        SDL_PumpEvents();
        dropEvents();
    }

    // A button release that says it happened elsewhere: the row of the pass
    // must decide, not the event's own position.
    void click(Uint8 button = SDL_BUTTON_LEFT)
    {
        SDL_Event event = {};
        event.type = SDL_MOUSEBUTTONUP;
        event.button.type = SDL_MOUSEBUTTONUP;
        event.button.button = button;
        event.button.state = SDL_RELEASED;
        event.button.x = 5;
        event.button.y = 5;
        SDL_PushEvent(&event);
    }

    void closeWindow()
    {
        SDL_Event event = {};
        event.type = SDL_QUIT;
        SDL_PushEvent(&event);
    }

    static int pendingEvents()
    {
        SDL_Event events[16];
        SDL_PumpEvents();
        return SDL_PeepEvents(events, 16, SDL_PEEKEVENT, SDL_ALLEVENTS);
    }

    static void dropEvents()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
    }

    // Runs the opening fade to its end with 100 ms frames.
    void finishOpening()
    {
        for (int i = 0; i < 100 && menu->page == kPageOpening; i++)
            pass(100);
        ASSERT_EQ(menu->page, kPageMain);
    }

    std::unique_ptr<testing_support::ScratchDir> scratch;
    TitleMenu* menu = nullptr;
};
