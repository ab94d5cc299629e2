// Prints the sizes of the two screen objects, so that the session script can
// tell from "memory.log" alone whether the menu or the game is on screen.
#include <cstdio>

#include "game/Game.h"
#include "menu/TitleMenu.h"

int main()
{
    printf("TitleMenu %zu\nGame %zu\n", sizeof(TitleMenu), sizeof(Game));
    return 0;
}
