// game/world.h -- the rock map that slides with the camera, and the one-channel frame mask.
//
// WorldMap: MAP_SIZE x MAP_SIZE cells of MAP_CELL_SIZE world units, CELL_OPEN or CELL_ROCK,
// column after column (index column * MAP_SIZE + row). Cell (500, 500) begins at (mapOriginX,
// mapOriginY); the cell of world point (x, y) is column (trunc(x) - trunc(mapOriginX) + 2000) / 4,
// row likewise (truncation toward zero). Written by the reset's carve, the map scroll and the
// collisions; read by them and by drawGame.
//
// ScreenMask: one byte per screen pixel, 0 black or MASK_WHITE, column after column (index
// x * SCREEN_HEIGHT + y). drawGame clears it, fills it through fillMaskRect and copies it out.
#pragma once

#include "app/screen.h"

#include <cstdint>

constexpr int MAP_SIZE = 1000;          // cells along each axis
constexpr int MAP_CELL_SIZE = 4;        // world units a cell, on each axis
constexpr int MAP_HALF_EXTENT = 2000;   // world units from the map origin to each edge
constexpr uint8_t CELL_OPEN = 0;
constexpr uint8_t CELL_ROCK = 1;        // readers take any non-zero cell as rock
constexpr uint8_t MASK_WHITE = 255;

extern uint8_t WorldMap[MAP_SIZE * MAP_SIZE];
extern uint8_t ScreenMask[SCREEN_WIDTH * SCREEN_HEIGHT];

// Whitens every ScreenMask pixel of the rectangle with top-left (x, y), in screen pixels,
// clipped to the screen. Empty or wholly outside rectangles change nothing.
void fillMaskRect(int32_t x, int32_t y, int32_t width, int32_t height);
