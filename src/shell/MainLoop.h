// One pass of the main loop and the screen objects it runs. The entry point
// calls runLoopPass until appState is 2; tests call it pass by pass.
#pragma once

class TitleMenu;
class Game;

// Global keys, frame time, the screen object of appState, TAB, flip.
void runLoopPass();

// The live screen objects; at most one is not null.
TitleMenu* liveTitleMenu();
Game* liveGame();

// Makes the first menu (end of start-up).
void startTitleMenu();

// Deletes whichever screen object exists and frees the blank pointer.
void endMainLoop();
