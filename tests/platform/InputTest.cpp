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
