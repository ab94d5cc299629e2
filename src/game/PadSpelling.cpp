// Name entry with a pad alone, arcade style: the letter at the end of the name
// is chosen with up and down, then taken or the last one dropped.
#include "game/Game.h"
#include "platform/Input.h"
#include "core/AppState.h"

namespace {

// What up goes through, in the glyphs the font has; the blank comes first, so
// that up from it starts at A and down at 9.
const char kPadLetters[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
const int kPadLetterCount = sizeof kPadLetters - 1;

}  // namespace

char Game::padLetterChar() const
{
    return kPadLetters[padLetter];
}

void Game::spellWithPad()
{
    // Read in every pass, so that the letter keys repeat on time.
    int up = input::keySteps(input::kLetterUp, frameDelta) -
             input::keySteps(input::kLetterDown, frameDelta);
    int takes = input::keySteps(input::kTakeLetter, frameDelta);
    int drops = input::keySteps(input::kDropLetter, frameDelta);
    if (!enteringName || inputLocked || messageTimer > 0)
        return;
    padLetter = ((padLetter + up) % kPadLetterCount + kPadLetterCount) % kPadLetterCount;
    for (; drops > 0; drops--)
        typeCharacter(8);
    for (; takes > 0; takes--)
        typeCharacter(kPadLetters[padLetter]);
}
