#include "core/AppState.h"

SDL_Surface* screen = nullptr;
bool fullScreen = true;
int appState = 0;
int frameDelta = 0;
int elapsedTime = 0;
int fps = 0;
