// game/update.h -- the game step: steering, firing, camera, map scroll, shots, enemies,
// collisions, then the drawing of the frame.
//
// The frame loop calls updateGame once in every game frame (overlayFade exactly 0.0). Draws
// random numbers from rand(); everything is counted in game frames, never in elapsed time, so
// one seed and one input script always give the same game.
#pragma once

// One whole game step, in this order: the impact effect decays by 0.9, updateShip, the camera
// moves a tenth of the way to the ship, the map scrolls one cell for every cell the camera
// stands beyond the map origin (strictly), the shots move, an enemy spawns 520 units from the
// ship when the timer allows (rand() % 360 taken as radians), the enemies steer at the ship and
// push each other apart, runCollisions (game/collide.h), and last drawGame (game/render.h).
// Reads inputState (app/input.h).
void updateGame();

// The ship's part of the step: damping by 0.75, thrust of 2.5 from the direction keys (none
// when no key or both keys of an opposing pair are down), motion, the cooldown's decrement, and
// firing towards the pointer when the left button is down, the cooldown is 0 and a shot slot is
// free. A shot that cannot be allocated is not added, but the cooldown is still set.
void updateShip();
