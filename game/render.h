// game/render.h -- drawing one game frame on Screen: the mask pass (rock, shots with trails,
// ship, enemies), the copy to Screen with the impact colour split, and the head-up display.
//
// Called only at the end of each game step (updateGame). Writes Screen's pixels directly.
#pragma once

void drawGame();
