// game/render.h -- drawing one game frame on Screen: the rock, the shots, the ship and the
// enemies as white rectangles in ScreenMask, the mask copied to Screen with the impact colour
// split, and the head-up display over it.
//
// Called only at the end of each game step (updateGame). Reads the game state (game/state.h),
// WorldMap, the shapes and backings (game/media.h) and the font (overlay/text.h); writes
// ScreenMask and Screen. Allocates nothing.
#pragma once

// The whole frame, in this order:
// 1. ScreenMask is cleared and drawn as white rectangles, clipped to the screen: the rock cells
//    in view (4 x 4 each), every shot as a 6 x 6 square with four more along its last frame's
//    path, the ship's solid shape cells and then every enemy's (3 x 3 each).
// 2. The mask is copied to Screen's pixels, 0 as black and 255 as white, with the colour split of
//    impactEffect = E: red is read trunc(4E) pixels left and trunc(2E) lower, green trunc(E) left
//    and trunc(4E) lower, blue trunc(3E) right and trunc(5E) higher, each clamped to the
//    screen's edge column or row; below E = 0.2 the picture is plain black and white. Colours are
//    mapped into Screen's format (1 to 4 bytes a pixel; other sizes are left alone), locking
//    Screen if it needs it.
// 3. The head-up display: textBacking1 at (2, 27), "HighScore = " and highScore at (20, 30) and
//    "Score     = " and score at (20, 50), left-aligned; textBacking2 at (288, 430) and
//    "Health = " with health truncated toward zero, ending at x 620, y 432. Missing backings or
//    font draw nothing.
// Without a Screen only the mask is drawn.
void drawGame();
