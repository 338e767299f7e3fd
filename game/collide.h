// game/collide.h -- the collision and digging rules, run by the game step after all motion and
// before drawing, in this order.
//
// updateGame (game/update.cpp) runs them through runCollisions. Each step works on the globals
// of game/state.h and on WorldMap, removes list entries with removeListEntry and keeps no state
// of its own between calls.
//
// The scans over the lists never start over after a removal: they go on at the next position of
// their innermost loop, now applied to whatever record moved into the slot, and skip null slots.
#pragma once

// Shots strictly within 28 world units of an enemy (a square test, then the distance) destroy
// it and score 10. Enemies in slot order outside, shots in slot order inside; after a hit the
// shot scan goes on at the next shot slot against the enemy now in the enemy's slot.
void collideShotsWithEnemies();

// Enemies that pass the square test around the ship (57 on x, 39 on y, strict) are tested shape
// cell against shape cell; each contact destroys the enemy, costs 15 health and adds 2.5 to the
// impact effect. After a contact the cell test goes on at the next enemy cell for the enemy that
// moved into the slot, without a square test for it.
void collideEnemiesWithShip();

// The ship opens every rock cell under the 3 x 3 whole-unit points of each of its solid cells;
// each opened cell stops the ship, costs 0.25 health and lifts the impact effect to at least
// 0.8. Cells outside the map are skipped (the ship never gets near the map's edge in play).
void digShipIntoMap();

// A shot whose 10 x 10 whole-unit probes (5 below to 4 above its truncated position) meet rock
// in columns and rows 1..999 opens every cell of columns and rows 0..998 whose corner is less
// than 50 world units from it, and is removed. The probe scan then goes on at the next probe
// column for the shot that moved into the slot.
void collideShotsWithMap();

// All four, in the order above.
void runCollisions();

