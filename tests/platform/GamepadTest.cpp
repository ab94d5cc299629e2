// Gamepads as the game reads them: scripted joystick events through the input
// module, in the layout the compatibility library gives game controllers.
#include <gtest/gtest.h>

#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "support/TestSupport.h"

namespace {

class GamepadTest : public ::testing::Test {
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

SDL_Event button(int pad, int which, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.which = pad;
    event.jbutton.button = which;
    event.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    return event;
}

SDL_Event hat(int pad, Uint8 value, int which = 0)
{
    SDL_Event event = {};
    event.type = SDL_JOYHATMOTION;
    event.jhat.which = pad;
    event.jhat.hat = which;
    event.jhat.value = value;
    return event;
}

SDL_Event axis(int pad, int which, int value)
{
    SDL_Event event = {};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.which = pad;
    event.jaxis.axis = which;
    event.jaxis.value = static_cast<Sint16>(value);
    return event;
}

// Every key a pad can make, to see that a control made no other.
const SDLKey kPadMade[] = {SDLK_SPACE,       SDLK_ESCAPE,      SDLK_RETURN,      SDLK_TAB,
                           SDLK_UP,          SDLK_DOWN,        SDLK_LEFT,        SDLK_RIGHT,
                           input::kLetterUp, input::kLetterDown, input::kTakeLetter,
                           input::kDropLetter};

int keysDown()
{
    int count = 0;
    for (SDLKey key : kPadMade)
        count += input::keyDown(key);
    return count;
}

// Each control, pushed and let go, while playing and while spelling a name.
TEST_F(GamepadTest, EachControlIsTheKeyItStandsFor)
{
    using namespace input;
    struct Case {
        const char* what;
        SDL_Event push, back;
        SDLKey playing, spelling;  // SDLK_UNKNOWN: no key
    };
    const Case cases[] = {
        {"South", button(0, kPadSouth, true), button(0, kPadSouth, false), SDLK_SPACE, kTakeLetter},
        {"East", button(0, kPadEast, true), button(0, kPadEast, false), SDLK_ESCAPE, kDropLetter},
        {"Start", button(1, kPadStart, true), button(1, kPadStart, false), SDLK_RETURN, SDLK_RETURN},
        {"Back", button(0, kPadBack, true), button(0, kPadBack, false), SDLK_TAB, SDLK_TAB},
        {"D-pad up", button(0, kPadUp, true), button(0, kPadUp, false), SDLK_UP, kLetterUp},
        {"D-pad down", button(0, kPadDown, true), button(0, kPadDown, false), SDLK_DOWN, kLetterDown},
        {"D-pad left", button(0, kPadLeft, true), button(0, kPadLeft, false), SDLK_LEFT, kDropLetter},
        {"D-pad right", button(7, kPadRight, true), button(7, kPadRight, false), SDLK_RIGHT, kTakeLetter},
        {"hat up", hat(0, SDL_HAT_UP), hat(0, SDL_HAT_CENTERED), SDLK_UP, kLetterUp},
        {"hat right", hat(0, SDL_HAT_RIGHT), hat(0, SDL_HAT_CENTERED), SDLK_RIGHT, kTakeLetter},
        {"hat down", hat(0, SDL_HAT_DOWN), hat(0, SDL_HAT_CENTERED), SDLK_DOWN, kLetterDown},
        {"hat left", hat(0, SDL_HAT_LEFT), hat(0, SDL_HAT_CENTERED), SDLK_LEFT, kDropLetter},
        {"stick right", axis(0, 0, 32767), axis(0, 0, 0), SDLK_RIGHT, kTakeLetter},
        {"stick left", axis(0, 0, -32768), axis(0, 0, 0), SDLK_LEFT, kDropLetter},
        {"stick down", axis(0, 1, 32767), axis(0, 1, 0), SDLK_DOWN, kLetterDown},
        {"stick up", axis(0, 1, -32768), axis(0, 1, 0), SDLK_UP, kLetterUp},
        {"West", button(0, kPadWest, true), button(0, kPadWest, false), SDLK_UNKNOWN, SDLK_UNKNOWN},
        {"North", button(0, kPadNorth, true), button(0, kPadNorth, false), SDLK_UNKNOWN, SDLK_UNKNOWN},
        {"Guide", button(0, kPadGuide, true), button(0, kPadGuide, false), SDLK_UNKNOWN, SDLK_UNKNOWN},
        {"right stick", axis(0, 2, 32767), axis(0, 2, 0), SDLK_UNKNOWN, SDLK_UNKNOWN},
        {"trigger", axis(0, 5, 32767), axis(0, 5, 0), SDLK_UNKNOWN, SDLK_UNKNOWN},
        {"second hat", hat(0, SDL_HAT_UP, 1), hat(0, SDL_HAT_CENTERED, 1), SDLK_UNKNOWN,
         SDLK_UNKNOWN},
        {"ninth pad", button(8, kPadSouth, true), button(8, kPadSouth, false), SDLK_UNKNOWN,
         SDLK_UNKNOWN},
    };
    for (bool spelling : {false, true}) {
        input::spellName(spelling);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (spelling ? ", spelling" : ", playing"));
            SDLKey key = spelling ? c.spelling : c.playing;
            scriptPadEvent(c.push);
            readKeys();
            EXPECT_EQ(keysDown(), key == SDLK_UNKNOWN ? 0 : 1);
            EXPECT_EQ(keyPresses(key), key == SDLK_UNKNOWN ? 0 : 1);
            scriptPadEvent(c.push);  // again, as a re-opened pad reports it
            readKeys();
            EXPECT_EQ(keyPresses(key), 0) << "held, it was pressed once";
            scriptPadEvent(c.back);
            readKeys();
            EXPECT_EQ(keysDown(), 0);
            EXPECT_EQ(keyReleaseCount(key), key == SDLK_UNKNOWN ? 0 : 1);
        }
    }
}

// A resting stick never moves anything; one held near the edge does not chatter.
TEST_F(GamepadTest, StickHasADeadZoneAndHoldsItsDirection)
{
    struct Step {
        int x;
        bool right, left;
        int rightPresses;
    };
    const Step steps[] = {
        {3000, false, false, 0},    {-9000, false, false, 0}, {16384, false, false, 0},
        {16385, true, false, 1},    {14000, true, false, 0},  {12289, true, false, 0},
        {12288, false, false, 0},   {20000, true, false, 1},  {-20000, false, true, 0},
        {-13000, false, true, 0},   {0, false, false, 0},     {32767, true, false, 1},
    };
    int i = 0;
    for (const Step& s : steps) {
        input::scriptPadEvent(axis(0, input::kPadStickX, s.x));
        input::readKeys();
        EXPECT_EQ(input::keyDown(SDLK_RIGHT), s.right) << "step " << i;
        EXPECT_EQ(input::keyDown(SDLK_LEFT), s.left) << "step " << i;
        EXPECT_EQ(input::keyPresses(SDLK_RIGHT), s.rightPresses) << "step " << i;
        i++;
    }
}

// D-pad, stick and keyboard on one key: down until the last lets go, and a
// held pad repeats exactly as the held arrow key does.
TEST_F(GamepadTest, KeysHeldTwiceWaitForBothAndRepeatAsKeysDo)
{
    input::scriptPadEvent(button(0, input::kPadRight, true));
    input::scriptPadEvent(axis(1, input::kPadStickX, 30000));
    input::pressKey(SDLK_RIGHT);
    input::readKeys();
    EXPECT_EQ(input::keyPresses(SDLK_RIGHT), 2) << "the keyboard's press counts too";
    input::scriptPadEvent(button(0, input::kPadRight, false));
    input::releaseKey(SDLK_RIGHT);
    input::readKeys();
    EXPECT_TRUE(input::keyDown(SDLK_RIGHT)) << "the second pad's stick still holds it";
    EXPECT_EQ(input::keyReleaseCount(SDLK_RIGHT), 0);
    input::scriptPadEvent(axis(1, input::kPadStickX, 0));
    input::readKeys();
    EXPECT_FALSE(input::keyDown(SDLK_RIGHT));
    EXPECT_EQ(input::keyReleaseCount(SDLK_RIGHT), 1);

    int steps[2] = {0, 0};
    for (int byPad = 0; byPad < 2; byPad++) {
        if (byPad)
            input::scriptPadEvent(hat(0, SDL_HAT_DOWN));
        else
            input::pressKey(SDLK_DOWN);
        for (int pass = 0; pass < 20; pass++) {
            input::readKeys();
            steps[byPad] += input::verticalSteps(40);
        }
        if (byPad)
            input::scriptPadEvent(hat(0, SDL_HAT_CENTERED));
        else
            input::releaseKey(SDLK_DOWN);
        input::readKeys();
    }
    // The press, then repeats at 300, 375, ... 750 ms of the 760 held.
    EXPECT_EQ(steps[0], 8);
    EXPECT_EQ(steps[1], steps[0]);
}

// A button held into a new screen waits for its release; one held while the
// mapping changes lets go of the key it pressed.
TEST_F(GamepadTest, HeldButtonsWaitForTheirRelease)
{
    input::scriptPadEvent(button(0, input::kPadSouth, true));
    input::scriptPadEvent(button(0, input::kPadBack, true));
    input::readKeys();
    input::forgetKeys();
    input::spellName(true);
    input::readKeys();
    EXPECT_FALSE(input::keyDown(SDLK_SPACE));
    EXPECT_TRUE(input::keyDown(SDLK_TAB)) << "the frame rate shows on every screen";
    input::scriptPadEvent(button(0, input::kPadSouth, false));
    input::readKeys();
    const input::KeyRelease* releases = nullptr;
    EXPECT_EQ(input::keyReleases(releases), 0) << "its release types nothing";
    EXPECT_FALSE(input::keyDown(input::kTakeLetter));
    input::scriptPadEvent(button(0, input::kPadSouth, true));
    input::readKeys();
    EXPECT_EQ(input::keyPresses(input::kTakeLetter), 1);
    EXPECT_FALSE(input::keyDown(SDLK_SPACE));
}

// Pads come and go while the game runs: what a pad that went held is let go,
// as released keys are.
TEST_F(GamepadTest, PadsPulledOutOrPluggedInLetGo)
{
    struct Case {
        const char* what;
        int before, after;
        bool released;
    };
    const Case cases[] = {
        {"the second pad pulled out", 2, 1, true},
        {"the only pad pulled out", 1, 0, true},
        {"another plugged in, pads renumbered", 1, 2, true},
        {"the same pads found again", 2, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        input::releaseAllKeys();
        input::scriptPadCount(c.before);
        input::readKeys();
        int pad = c.before - 1;
        input::scriptPadEvent(button(pad, input::kPadRight, true));
        input::scriptPadEvent(button(pad, input::kPadSouth, true));
        input::readKeys();
        ASSERT_TRUE(input::keyDown(SDLK_SPACE));
        input::scriptPadCount(c.after);
        input::readKeys();
        EXPECT_EQ(input::keyDown(SDLK_RIGHT), !c.released);
        EXPECT_EQ(input::keyReleaseCount(SDLK_SPACE), c.released ? 1 : 0);
        // A late release from a pad that went changes nothing more.
        input::scriptPadEvent(button(pad, input::kPadSouth, false));
        input::readKeys();
        EXPECT_EQ(input::keyReleaseCount(SDLK_SPACE), c.released ? 0 : 1);
    }
}

// Joystick events are the input module's: the screens never see them.
TEST_F(GamepadTest, ScreensNeverSeeJoystickEvents)
{
    SDL_Event pushed = button(0, input::kPadEast, true);
    ASSERT_EQ(SDL_PushEvent(&pushed), 0);
    SDL_Event event;
    EXPECT_FALSE(input::pollEvent(event));
    input::readKeys();
    EXPECT_TRUE(input::keyDown(SDLK_ESCAPE)) << "SDL's own queue carries them to the keys";
}

}  // namespace
