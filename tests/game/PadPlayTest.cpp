// The last group removed and the name spelled with a gamepad alone.
#include "game/GameHarness.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "core/HighScores.h"

namespace game_test {
namespace {

SDL_Event button(int which, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.button = which;
    return event;
}

class PadPlay : public GameHarness {};

// South, still held when name entry begins, takes no letter. Then up and
// down choose, right and South take, left and East drop, keys still type,
// and Start keeps the name.
TEST_F(PadPlay, SpellsTheNameArcadeStyle)
{
    using namespace input;
    resetHighScores();
    start(1);
    openBoard(25);
    game->lives = 0;
    game->score = 5000;
    layOutBottom({"11.2..........."});
    pointAt(1, 14);
    scriptPadEvent(button(kPadSouth, true));
    for (int i = 0; i < 100 && !game->enteringName; i++)
        frame(25);
    ASSERT_TRUE(game->enteringName);
    EXPECT_EQ(game->score, 5002) << "South removed the pair";
    scriptPadEvent(button(kPadSouth, false));
    frame(25);
    EXPECT_STREQ(game->playerName, "");

    const struct {
        int button;
        const char* name;
        char letter;  // ' ' is the cursor alone
    } taps[] = {
        {kPadUp, "", 'A'},       {kPadUp, "", 'B'},     {kPadSouth, "B", 'B'},
        {kPadRight, "BB", 'B'},  {kPadDown, "BB", 'A'}, {kPadDown, "BB", ' '},
        {kPadDown, "BB", '9'},   {kPadRight, "BB9", '9'}, {kPadEast, "BB", '9'},
        {kPadLeft, "B", '9'},    {kPadUp, "B", ' '},    {kPadSouth, "B ", ' '},
    };
    for (const auto& tap : taps) {
        scriptPadEvent(button(tap.button, true));
        frame(25);
        scriptPadEvent(button(tap.button, false));
        frame(25);
        EXPECT_STREQ(game->playerName, tap.name) << tap.button;
        EXPECT_EQ(game->padLetterChar(), tap.letter) << tap.button;
    }
    typeKey(SDLK_x, 'x');
    frame(25);
    scriptPadEvent(button(kPadStart, true));
    frame(25);
    scriptPadEvent(button(kPadStart, false));
    frame(25);
    EXPECT_TRUE(game->quitRequested);
    EXPECT_STREQ(highScores[0].name, "B x");
    game.reset();

    scriptPadEvent(button(kPadSouth, true));
    readKeys();
    EXPECT_TRUE(keyDown(SDLK_SPACE)) << "on the next screen the pad plays again";
}

}  // namespace
}  // namespace game_test
