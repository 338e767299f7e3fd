// game/collide.cpp -- collisions and digging.
#include "game/collide.h"

void collideShotsWithEnemies() {}
void collideEnemiesWithShip() {}
void digShipIntoMap() {}
void collideShotsWithMap() {}
void runCollisions() {}
