// game/collide.h -- the collision and digging rules, run by the game step after all motion and
// before drawing, in this order.
#pragma once

// Shots within 28 world units of an enemy destroy it and score 10.
void collideShotsWithEnemies();
// Enemies whose shape cells touch the ship's are destroyed; each costs 15 health and flares the
// impact effect by 2.5.
void collideEnemiesWithShip();
// The ship opens every rock cell under its solid cells, stopping and losing 0.25 health a cell.
void digShipIntoMap();
// A shot whose probes meet rock blows a crater of radius 50 into the map and is removed.
void collideShotsWithMap();

// All four, in the order above.
void runCollisions();
