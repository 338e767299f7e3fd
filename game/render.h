// game/render.h -- drawing one game frame on Screen: the mask pass (rock, shots with trails,
// ship, enemies), the copy to Screen with the impact colour split, and the head-up display.
//
// Called only at the end of each game step (updateGame). Reads the game state (game/state.h),
// WorldMap, the shapes and backings (game/media.h) and the font (overlay/images.h); writes
// ScreenMask and Screen. Allocates nothing.
#pragma once

// The whole frame: drawGameMask, copyMaskToScreen, drawHud, in this order.
void drawGame();

// Clears ScreenMask and draws into it, as white rectangles: the rock cells in view (4 x 4 each),
// every shot as a 6 x 6 square with four more along its last frame's path, the ship's solid
// shape cells and then every enemy's (3 x 3 each). Everything is clipped to the screen.
void drawGameMask();

// Copies ScreenMask to Screen's pixels, ScreenMask's 0 as black and 255 as white, with the
// colour split of impactEffect = E: red is read trunc(4E) pixels left and trunc(2E) lower, green
// trunc(E) left and trunc(4E) lower, blue trunc(3E) right and trunc(5E) higher, each clamped to
// the screen's edge column or row; below E = 0.2 the picture is plain black and white. Colours
// are mapped into Screen's format (1 to 4 bytes a pixel; other sizes are left alone), locking
// Screen if it needs it.
void copyMaskToScreen();

// Whether copyMaskToScreen may take its AVX2 build on processors that have AVX2 (both give the
// same pixels). True; tests clear it to check the baseline build too.
extern bool copyMayUseAvx2;

// The head-up display over the picture: textBacking1 at (2, 27), "HighScore = " and highScore
// at (20, 30) and "Score     = " and score at (20, 50), left-aligned; textBacking2 at
// (288, 430) and "Health = " with health truncated toward zero, ending at x 620, y 432.
// Missing backings or font draw nothing.
void drawHud();
