// Gamepads through the input module: scripted joystick events in the layout
// the compatibility library gives game controllers.
#include <gtest/gtest.h>

#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "support/TestSupport.h"

namespace {

using namespace input;

class GamepadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::openDummyScreen();
        releaseAllKeys();
    }
    void TearDown() override
    {
        releaseAllKeys();
        testing_support::closeDummyScreen();
    }
};

const Uint8 kButton = SDL_JOYBUTTONDOWN, kHat = SDL_JOYHATMOTION, kAxis = SDL_JOYAXISMOTION;

// A button (value 1 down, 0 up), a hat or an axis of pad `which`: the three
// events share their first fields.
SDL_Event pad(Uint8 type, int control, int value, int which = 0)
{
    SDL_Event e = {};
    e.jaxis = {type, Uint8(which), Uint8(control), Sint16(value)};
    if (type == kHat)
        e.jhat.value = Uint8(value);
    else if (type == kButton)
        e.type = value ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    return e;
}

int padKeysDown()
{
    int count = 0;
    for (SDLKey key : {SDLK_SPACE, SDLK_ESCAPE, SDLK_RETURN, SDLK_TAB, SDLK_UP, SDLK_DOWN, SDLK_LEFT,
                       SDLK_RIGHT, kLetterUp, kLetterDown, kTakeLetter, kDropLetter})
        count += keyDown(key);
    return count;
}

// Each control pushed twice (as a re-opened pad reports it) and let go:
// one press and one release of its key, while playing and while spelling.
TEST_F(GamepadTest, EachControlIsOneKey)
{
    struct Case {
        Uint8 type;
        int control, value, which;
        SDLKey playing, spelling;  // SDLK_UNKNOWN: none
    };
    const SDLKey none = SDLK_UNKNOWN;
    const Case cases[] = {
        {kButton, kPadSouth, 1, 0, SDLK_SPACE, kTakeLetter},
        {kButton, kPadEast, 1, 0, SDLK_ESCAPE, kDropLetter},
        {kButton, kPadStart, 1, 3, SDLK_RETURN, SDLK_RETURN},
        {kButton, kPadBack, 1, 0, SDLK_TAB, SDLK_TAB},
        {kButton, kPadUp, 1, 0, SDLK_UP, kLetterUp},
        {kButton, kPadDown, 1, 0, SDLK_DOWN, kLetterDown},
        {kButton, kPadLeft, 1, 0, SDLK_LEFT, kDropLetter},
        {kButton, kPadRight, 1, 7, SDLK_RIGHT, kTakeLetter},
        {kHat, 0, SDL_HAT_UP, 0, SDLK_UP, kLetterUp},
        {kHat, 0, SDL_HAT_RIGHT, 0, SDLK_RIGHT, kTakeLetter},
        {kHat, 0, SDL_HAT_DOWN, 0, SDLK_DOWN, kLetterDown},
        {kHat, 0, SDL_HAT_LEFT, 0, SDLK_LEFT, kDropLetter},
        {kAxis, kPadStickX, 32767, 0, SDLK_RIGHT, kTakeLetter},
        {kAxis, kPadStickX, -32768, 0, SDLK_LEFT, kDropLetter},
        {kAxis, kPadStickY, 32767, 0, SDLK_DOWN, kLetterDown},
        {kAxis, kPadStickY, -32768, 0, SDLK_UP, kLetterUp},
        {kButton, kPadWest, 1, 0, none, none},  {kButton, kPadNorth, 1, 0, none, none},
        {kButton, kPadGuide, 1, 0, none, none}, {kAxis, 2, 32767, 0, none, none},
        {kHat, 1, SDL_HAT_UP, 0, none, none},   {kButton, kPadSouth, 1, kMostPads, none, none},
    };
    for (bool spelling : {false, true}) {
        spellName(spelling);
        for (const Case& c : cases) {
            SDLKey key = spelling ? c.spelling : c.playing;
            int made = key == none ? 0 : 1;
            SCOPED_TRACE(testing::Message() << int(c.type) << " " << c.control << " " << spelling);
            scriptPadEvent(pad(c.type, c.control, c.value, c.which));
            readKeys();
            EXPECT_EQ(padKeysDown(), made);
            EXPECT_EQ(keyPresses(key), made);
            scriptPadEvent(pad(c.type, c.control, c.value, c.which));
            readKeys();
            EXPECT_EQ(keyPresses(key), 0);
            scriptPadEvent(pad(c.type, c.control, 0, c.which));
            readKeys();
            EXPECT_EQ(padKeysDown(), 0);
            EXPECT_EQ(keyReleaseCount(key), made);
        }
    }
}

// A resting stick moves nothing; one held near the edge does not chatter.
TEST_F(GamepadTest, StickHasADeadZone)
{
    const struct {
        int x;
        bool right, left;
        int presses;
    } steps[] = {{3000, 0, 0, 0},     {16384, 0, 0, 0}, {16385, 1, 0, 1}, {12289, 1, 0, 0},
                 {12288, 0, 0, 0},    {20000, 1, 0, 1}, {-20000, 0, 1, 0}, {-12289, 0, 1, 0},
                 {0, 0, 0, 0}};
    for (const auto& s : steps) {
        scriptPadEvent(pad(kAxis, kPadStickX, s.x));
        readKeys();
        EXPECT_EQ(keyDown(SDLK_RIGHT), s.right) << s.x;
        EXPECT_EQ(keyDown(SDLK_LEFT), s.left) << s.x;
        EXPECT_EQ(keyPresses(SDLK_RIGHT), s.presses) << s.x;
    }
}

// A key held by the keyboard and pads is down until all let go; a button
// held into a new screen waits for its release, and lets go of the key it
// pressed even when the mapping changed; SDL's queue brings events too, which
// the screens never see.
TEST_F(GamepadTest, HeldKeysWaitForEveryRelease)
{
    pressKey(SDLK_RIGHT);
    scriptPadEvent(pad(kAxis, kPadStickX, 30000, 1));
    scriptPadEvent(pad(kButton, kPadSouth, 1));
    readKeys();
    releaseKey(SDLK_RIGHT);
    forgetKeys();
    spellName(true);
    readKeys();
    EXPECT_FALSE(keyDown(SDLK_RIGHT)) << "silent, but held by the stick";
    scriptPadEvent(pad(kAxis, kPadStickX, 0, 1));
    SDL_Event pushed = pad(kButton, kPadSouth, 0);
    ASSERT_EQ(SDL_PushEvent(&pushed), 0);
    SDL_Event event;
    EXPECT_FALSE(pollEvent(event));
    readKeys();
    const KeyRelease* releases = nullptr;
    EXPECT_EQ(keyReleases(releases), 0) << "held into the screen, their releases type nothing";
    EXPECT_EQ(padKeysDown(), 0);
    scriptPadEvent(pad(kButton, kPadSouth, 1));
    readKeys();
    EXPECT_EQ(keyPresses(kTakeLetter), 1);
}

// What a pad that went held is let go, as released keys are; when the number
// of pads changes they may be renumbered, so every pad lets go.
TEST_F(GamepadTest, PadsPulledOutOrPluggedInLetGo)
{
    const struct {
        int before, after;
        bool released;
    } cases[] = {{2, 1, true}, {1, 0, true}, {1, 2, true}, {2, 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " pads, then " << c.after);
        releaseAllKeys();
        scriptPadCount(c.before);
        readKeys();
        scriptPadEvent(pad(kButton, kPadSouth, 1, c.before - 1));
        readKeys();
        scriptPadCount(c.after);
        readKeys();
        EXPECT_EQ(keyReleaseCount(SDLK_SPACE), c.released ? 1 : 0);
        scriptPadEvent(pad(kButton, kPadSouth, 0, c.before - 1));
        readKeys();
        EXPECT_EQ(keyReleaseCount(SDLK_SPACE), c.released ? 0 : 1) << "a late release";
    }
}

}  // namespace
