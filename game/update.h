// game/update.h -- the game step: steering, firing, camera, map scroll, shots, enemies,
// collisions, then the drawing of the frame.
//
// The frame loop calls updateGame once in every game frame (overlayFade exactly 0.0). Draws
// random numbers from rand(); everything is counted in game frames, never in elapsed time.
#pragma once

// One whole game step, ending with drawGame.
void updateGame();

// The ship's part of the step: damping, thrust from the direction keys, motion, cooldown and
// firing towards the pointer.
void updateShip();

// Slides WorldMap one cell at a time until the camera is within MAP_CELL_SIZE of the map origin
// on both axes (strict comparisons); cells that come in are rock.
void scrollMapWithCamera();
