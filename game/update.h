// game/update.h -- the game step: steering, firing, camera, map scroll, shots, enemies,
// collisions, then the drawing of the frame.
//
// The frame loop calls updateGame once in every game frame (overlayFade exactly 0.0). Draws
// random numbers from rand(); everything is counted in game frames, never in elapsed time, so
// one seed and one input script always give the same game. The other functions here are steps
// of updateGame, declared for the tests; the game itself calls only updateGame.
#pragma once

// One whole game step, in this order: impact decay, updateShip, camera, scrollMapWithCamera,
// shots move, enemy spawning, enemy steering, separateEnemies, runCollisions (game/collide.h),
// and last drawGame (game/render.h). Reads inputState (app/input.h).
void updateGame();

// The ship's part of the step: damping by 0.75, thrust of 2.5 from the direction keys (none
// when no key or both keys of an opposing pair are down), motion, the cooldown's decrement, and
// firing towards the pointer when the left button is down, the cooldown is 0 and a shot slot is
// free. A shot that cannot be allocated is not added, but the cooldown is still set.
void updateShip();

// Slides WorldMap one cell (MAP_CELL_SIZE world units) at a time while the camera stands
// strictly more than one cell from the map origin, x first (towards + then towards -), then y.
// Cells that come in are rock; cells pushed over the edge are forgotten.
void scrollMapWithCamera();

// Enemy spawning: while spawnTimer is above 0 it counts down and nothing spawns; otherwise, if
// fewer than MAX_ENEMIES are alive, one enemy appears 520 world units from the ship at the angle
// rand() % 360 (the whole number taken as radians), moving outwards at 1 unit a frame, and the
// timer is set to 10. The timer is set even when the record cannot be allocated.
void spawnEnemy();

// Every enemy, in slot order, turns towards the ship (drag 0.96, pull 0.28 along the direction
// to the ship) and moves by its new velocity. Enemies fly through rock.
void steerEnemies();

// Pushes overlapping enemies apart: for every ordered pair (B in slot i, A in slot j != i, i
// outer, both from 0), each seeing the positions that earlier pairs changed, when B is strictly
// inside A's square of half-size 50 and nearer than 50, both move by a quarter of the overlap
// along the line between them (along x when they coincide). Velocities are untouched.
void separateEnemies();
