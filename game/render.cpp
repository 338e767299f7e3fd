// game/render.cpp -- drawing the game frame.
#include "game/render.h"

void drawGame() {}
