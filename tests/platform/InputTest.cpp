// Keys and pointer as the game reads them, scripted the way tests drive them.
#include <gtest/gtest.h>

#include "platform/Input.h"
#include "support/TestSupport.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::openDummyScreen();
        input::releaseAllKeys();
    }
    void TearDown() override
    {
        input::releaseAllKeys();
        testing_support::closeDummyScreen();
    }
};

TEST_F(InputTest, ScriptedKeysArePressedUntilReleased)
{
    SDL_PumpEvents();
    EXPECT_FALSE(input::keyDown(SDLK_ESCAPE));
    input::pressKey(SDLK_ESCAPE);
    input::pressKey(SDLK_F12);
    EXPECT_TRUE(input::keyDown(SDLK_ESCAPE));
    EXPECT_TRUE(input::keyDown(SDLK_F12));
    EXPECT_FALSE(input::keyDown(SDLK_F9));
    input::releaseKey(SDLK_ESCAPE);
    EXPECT_FALSE(input::keyDown(SDLK_ESCAPE));
    EXPECT_TRUE(input::keyDown(SDLK_F12));
    input::releaseAllKeys();
    EXPECT_FALSE(input::keyDown(SDLK_F12));
}

TEST_F(InputTest, KeysOutsideTheTableAreNeverDown)
{
    input::pressKey(SDLK_UNKNOWN);
    input::pressKey(SDLK_LAST);
    input::pressKey(static_cast<SDLKey>(-5));
    EXPECT_FALSE(input::keyDown(SDLK_UNKNOWN));
    EXPECT_FALSE(input::keyDown(SDLK_LAST));
    EXPECT_FALSE(input::keyDown(static_cast<SDLKey>(-5)));
    EXPECT_FALSE(input::keyDown(static_cast<SDLKey>(SDLK_LAST + 100)));
    input::releaseKey(static_cast<SDLKey>(SDLK_LAST + 100));  // harmless
}

TEST_F(InputTest, PointerFollowsTheWarpedMouse)
{
    SDL_WarpMouse(123, 456);
    SDL_PumpEvents();
    int x = -1, y = -1;
    input::pointer(x, y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 456);
}

}  // namespace

namespace {

// One pass: the key held or not, the pass's frame time, the steps expected.
struct PassCase {
    bool down;
    int ms;
    int steps;
};

TEST_F(InputTest, HeldKeyStepsOnceThenRepeatsOnFrameTime)
{
    const PassCase passes[] = {
        {true, 16, 1},                  // goes down: one step
        {true, 100, 0}, {true, 100, 0},  // 200 ms held
        {true, 99, 0},                  // 299 ms
        {true, 1, 1},                   // 300 ms: the first repeat
        {true, 74, 0}, {true, 1, 1},    // then one every 75 ms
        {true, 100, 1}, {true, 100, 1},
        {true, 150, 2},                 // a long pass owes every repeat it covered
        {true, 0, 0},                   // a pass that took no time
        {false, 50, 0},                 // released
        {true, 100, 1}, {true, 250, 0},  // pressed again: the delay starts over
        {true, 50, 1},
    };
    int pass = 0;
    for (const PassCase& c : passes) {
        if (c.down)
            input::pressKey(SDLK_RIGHT);
        else
            input::releaseKey(SDLK_RIGHT);
        EXPECT_EQ(input::keySteps(SDLK_RIGHT, c.ms), c.steps) << "pass " << pass;
        pass++;
    }

    // A press counts once, held or not, however long.
    input::pressKey(SDLK_RETURN);
    EXPECT_TRUE(input::keyPressed(SDLK_RETURN));
    for (int i = 0; i < 20; i++)
        EXPECT_FALSE(input::keyPressed(SDLK_RETURN));
    input::releaseKey(SDLK_RETURN);
    EXPECT_FALSE(input::keyPressed(SDLK_RETURN));
    input::pressKey(SDLK_RETURN);
    EXPECT_TRUE(input::keyPressed(SDLK_RETURN));
    EXPECT_EQ(input::keySteps(SDLK_UNKNOWN, 100), 0);
}

TEST_F(InputTest, ArrowsAndTheKeypadArrowsGiveTheSameSteps)
{
    struct Case {
        SDLKey key;
        int right, down;
    };
    const Case cases[] = {
        {SDLK_RIGHT, 1, 0}, {SDLK_KP6, 1, 0}, {SDLK_LEFT, -1, 0}, {SDLK_KP4, -1, 0},
        {SDLK_DOWN, 0, 1},  {SDLK_KP2, 0, 1}, {SDLK_UP, 0, -1},   {SDLK_KP8, 0, -1},
        {SDLK_KP5, 0, 0},   {SDLK_KP7, 0, 0}, {SDLK_8, 0, 0},
    };
    for (const Case& c : cases) {
        input::pressKey(c.key);
        EXPECT_EQ(input::horizontalSteps(16), c.right) << "key " << c.key;
        EXPECT_EQ(input::verticalSteps(16), c.down) << "key " << c.key;
        input::releaseKey(c.key);
        EXPECT_EQ(input::horizontalSteps(16), 0);
        EXPECT_EQ(input::verticalSteps(16), 0);
    }
}

TEST_F(InputTest, SteeredPointerHoldsUntilTheMouseMoves)
{
    SDL_WarpMouse(100, 200);
    SDL_PumpEvents();
    input::steerPointer(48, 700);
    int x = -1, y = -1;
    input::pointer(x, y);
    EXPECT_TRUE(input::pointerSteered());
    EXPECT_EQ(x, 48);
    EXPECT_EQ(y, 479) << "kept on the screen";

    // Pumping without a move keeps the keys' position.
    SDL_PumpEvents();
    input::pointer(x, y);
    EXPECT_EQ(x, 48);

    // The mouse moves by one pixel: it has the pointer again, for good.
    SDL_WarpMouse(101, 200);
    SDL_PumpEvents();
    input::pointer(x, y);
    EXPECT_FALSE(input::pointerSteered());
    EXPECT_EQ(x, 101);
    EXPECT_EQ(y, 200);
    SDL_WarpMouse(100, 200);
    SDL_PumpEvents();
    input::pointer(x, y);
    EXPECT_EQ(x, 100);

    input::steerPointer(300, 300);
    input::releaseAllKeys();
    EXPECT_FALSE(input::pointerSteered());
}

}  // namespace
