// The main loop's side of the title screen: making the menu for the current
// screen, and turning the pointer, keys and events of one pass into changes
// of the menu's page and nextState.
#pragma once

class TitleMenu;

// A new menu drawing into the screen itself when that is a software surface,
// else into a software surface of the screen's format that the menu owns.
// Clicks and keys queued until then are dropped; a close request is kept.
TitleMenu* createTitleMenu();

// One title-screen pass: drawFrame, the hovered item, Escape, F1, clicks and
// window close. Returns the application state for the next pass: 0 to stay,
// or the menu's nextState once its closing fade is over (the caller then
// deletes the menu).
int runTitleMenuPass(TitleMenu& menu);
