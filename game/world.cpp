// game/world.cpp -- the rock map and the frame mask.
#include "game/world.h"

uint8_t WorldMap[MAP_COLUMNS * MAP_ROWS];
uint8_t ScreenMask[MASK_WIDTH * MASK_HEIGHT];

int32_t largerOf(int32_t a, int32_t b) { return a > b ? a : b; }

void fillMaskRect(int32_t, int32_t, int32_t, int32_t) {}
