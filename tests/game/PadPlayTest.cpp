// A game played and its name spelled with a gamepad alone, through scripted
// joystick events.
#include <string>

#include "game/GameHarness.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "core/HighScores.h"

namespace game_test {
namespace {

const int kPass = 25;

SDL_Event button(int which, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.button = which;
    return event;
}

SDL_Event stickX(int value)
{
    SDL_Event event = {};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.axis = input::kPadStickX;
    event.jaxis.value = static_cast<Sint16>(value);
    return event;
}

SDL_Event hat(Uint8 value)
{
    SDL_Event event = {};
    event.type = SDL_JOYHATMOTION;
    event.jhat.value = value;
    return event;
}

class PadPlay : public GameHarness {
protected:
    void tap(const SDL_Event& push, const SDL_Event& back)
    {
        input::scriptPadEvent(push);
        frame(kPass);
        input::scriptPadEvent(back);
        frame(kPass);
    }
    void tap(int which) { tap(button(which, true), button(which, false)); }
};

// The D-pad steps the pointer and South removes the group; South, still held
// when name entry begins, takes no letter. Then up and down choose, right and
// South take, left and East drop, keys still type, and Start confirms.
TEST_F(PadPlay, PlaysThenSpellsTheNameArcadeStyle)
{
    using namespace input;
    resetHighScores();
    start(1);
    openBoard(kPass);
    game->lives = 0;
    game->score = 5000;
    layOutBottom({"11.2..........."});
    pointAt(2, 14);
    tap(kPadLeft);
    int x, y;
    input::pointer(x, y);
    EXPECT_EQ(x / kCellSize, 1);
    EXPECT_EQ(y / kCellSize, 14);

    input::scriptPadEvent(button(kPadSouth, true));
    for (int i = 0; i < 100 && !game->enteringName; i++)
        frame(kPass);
    ASSERT_TRUE(game->enteringName);
    EXPECT_EQ(game->score, 5002) << "South removed the pair";
    input::scriptPadEvent(button(kPadSouth, false));
    frame(kPass);
    EXPECT_STREQ(game->playerName, "");
    EXPECT_EQ(game->padLetterChar(), ' ') << "the cursor, as before";

    struct Step {
        const char* what;
        SDL_Event push, back;
        const char* name;
        char letter;
    };
    const Step steps[] = {
        {"up", button(kPadUp, true), button(kPadUp, false), "", 'A'},
        {"up", hat(SDL_HAT_UP), hat(SDL_HAT_CENTERED), "", 'B'},
        {"South", button(kPadSouth, true), button(kPadSouth, false), "B", 'B'},
        {"right", stickX(30000), stickX(0), "BB", 'B'},
        {"down", button(kPadDown, true), button(kPadDown, false), "BB", 'A'},
        {"down", button(kPadDown, true), button(kPadDown, false), "BB", ' '},
        {"down", button(kPadDown, true), button(kPadDown, false), "BB", '9'},
        {"right", button(kPadRight, true), button(kPadRight, false), "BB9", '9'},
        {"East", button(kPadEast, true), button(kPadEast, false), "BB", '9'},
        {"left", stickX(-30000), stickX(0), "B", '9'},
        {"up", button(kPadUp, true), button(kPadUp, false), "B", ' '},
        {"South", button(kPadSouth, true), button(kPadSouth, false), "B ", ' '},
    };
    for (const Step& step : steps) {
        tap(step.push, step.back);
        EXPECT_STREQ(game->playerName, step.name) << step.what;
        EXPECT_EQ(game->padLetterChar(), step.letter) << step.what;
    }
    typeKey(SDLK_x, 'x');
    frame(kPass);
    EXPECT_STREQ(game->playerName, "B x");
    EXPECT_FALSE(game->quitRequested) << "East dropped letters, it did not leave";

    tap(kPadStart);
    EXPECT_TRUE(game->quitRequested);
    EXPECT_STREQ(highScores[0].name, "B x");
    game.reset();

    // The next screen's pad plays again.
    input::scriptPadEvent(button(kPadSouth, true));
    input::readKeys();
    EXPECT_TRUE(input::keyDown(SDLK_SPACE));
}

}  // namespace
}  // namespace game_test
