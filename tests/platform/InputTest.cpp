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

// A key event as the desktop delivers it, through SDL's own queue.
void pushKey(Uint8 type, SDLKey key, Uint16 character = 0)
{
    SDL_Event event = {};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = character;
    SDL_PushEvent(&event);
}

TEST_F(InputTest, EveryPressCountsOnceHoweverShort)
{
    // A tap within one pass: down for that pass, one step, one press.
    pushKey(SDL_KEYDOWN, SDLK_SPACE);
    pushKey(SDL_KEYUP, SDLK_SPACE);
    pushKey(SDL_KEYDOWN, SDLK_RIGHT);
    pushKey(SDL_KEYUP, SDLK_RIGHT);
    input::readKeys();
    EXPECT_TRUE(input::keyDown(SDLK_SPACE));
    EXPECT_TRUE(input::keyPressed(SDLK_SPACE));
    EXPECT_EQ(input::keySteps(SDLK_RIGHT, 16), 1);
    EXPECT_FALSE(input::keyDown(SDLK_ESCAPE));
    input::readKeys();
    EXPECT_FALSE(input::keyDown(SDLK_SPACE));
    EXPECT_EQ(input::keySteps(SDLK_RIGHT, 16), 0);

    // Two taps in one pass are two presses; held, a key is pressed once.
    for (int i = 0; i < 2; i++) {
        pushKey(SDL_KEYDOWN, SDLK_RETURN);
        pushKey(SDL_KEYUP, SDLK_RETURN);
    }
    input::pressKey(SDLK_F9);
    input::readKeys();
    EXPECT_EQ(input::keyPresses(SDLK_RETURN), 2);
    EXPECT_EQ(input::keyPresses(SDLK_F9), 1);
    input::readKeys();
    EXPECT_EQ(input::keyPresses(SDLK_F9), 0);
    EXPECT_TRUE(input::keyDown(SDLK_F9));
    input::releaseKey(SDLK_F9);
    input::readKeys();
    EXPECT_FALSE(input::keyDown(SDLK_F9));

    // The screens' events leave the key events to the next pass.
    pushKey(SDL_KEYDOWN, SDLK_a, 'a');
    pushKey(SDL_KEYUP, SDLK_a);
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    SDL_Event event;
    ASSERT_TRUE(input::pollEvent(event));
    EXPECT_EQ(event.type, SDL_QUIT);
    EXPECT_FALSE(input::pollEvent(event));
    input::readKeys();
    const input::KeyRelease* releases = nullptr;
    ASSERT_EQ(input::keyReleases(releases), 1);
    EXPECT_EQ(releases[0].key, SDLK_a);
    EXPECT_EQ(releases[0].character, 'a') << "the press's character";
}

// Keys down when a screen starts stay silent until they are let go.
TEST_F(InputTest, ForgottenKeysWaitForTheirRelease)
{
    for (SDLKey key : {SDLK_ESCAPE, SDLK_DOWN, SDLK_RETURN, SDLK_F12})
        input::pressKey(key);
    input::readKeys();
    pushKey(SDL_KEYDOWN, SDLK_SPACE);  // queued, not yet read
    input::forgetKeys();
    EXPECT_FALSE(input::keyDown(SDLK_ESCAPE));
    EXPECT_FALSE(input::keyPressed(SDLK_SPACE));
    EXPECT_TRUE(input::keyDown(SDLK_F12)) << "F12 quits from every screen";
    input::readKeys();
    EXPECT_EQ(input::keySteps(SDLK_DOWN, 16), 0);
    EXPECT_EQ(input::keySteps(SDLK_DOWN, 400), 0) << "no repeat either";
    EXPECT_FALSE(input::keyDown(SDLK_ESCAPE));

    // Their releases type nothing; pressed again, they count.
    pushKey(SDL_KEYUP, SDLK_RETURN);
    pushKey(SDL_KEYUP, SDLK_SPACE);
    pushKey(SDL_KEYDOWN, SDLK_b, 'b');
    pushKey(SDL_KEYUP, SDLK_b);
    input::releaseKey(SDLK_DOWN);
    input::pressKey(SDLK_DOWN);
    input::readKeys();
    const input::KeyRelease* releases = nullptr;
    ASSERT_EQ(input::keyReleases(releases), 1);
    EXPECT_EQ(releases[0].key, SDLK_b);
    EXPECT_EQ(input::keySteps(SDLK_DOWN, 16), 1);
}

TEST_F(InputTest, KeysOutsideTheTableAreNeverDown)
{
    input::pressKey(SDLK_UNKNOWN);
    input::pressKey(SDLK_LAST);
    input::pressKey(static_cast<SDLKey>(-5));
    input::readKeys();
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
    bool down = false;
    for (const PassCase& c : passes) {
        if (c.down && !down)
            input::pressKey(SDLK_RIGHT);
        else if (!c.down && down)
            input::releaseKey(SDLK_RIGHT);
        down = c.down;
        input::readKeys();
        EXPECT_EQ(input::keySteps(SDLK_RIGHT, c.ms), c.steps) << "pass " << pass;
        pass++;
    }

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
        input::readKeys();
        EXPECT_EQ(input::horizontalSteps(16), c.right) << "key " << c.key;
        EXPECT_EQ(input::verticalSteps(16), c.down) << "key " << c.key;
        input::releaseKey(c.key);
        input::readKeys();
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
