// game/update.cpp -- the game step.
#include "game/update.h"

void updateGame() {}
void updateShip() {}
void scrollMapWithCamera() {}

#include "game/state.h"

Shot::Shot(double) : x(0), y(0), velX(0), velY(0) {}
