// game/world.h -- the rock map that slides with the camera, and the one-channel frame mask.
//
// WorldMap: 1000 x 1000 cells of MAP_CELL_SIZE world units, 0 open and 1 rock, column after
// column (index column * MAP_ROWS + row). Cell (500, 500) begins at (mapOriginX, mapOriginY); the
// cell of world point (x, y) is column (trunc(x) - trunc(mapOriginX) + 2000) / 4, row likewise
// (truncation toward zero). Written by the reset's carve, the map scroll and the collisions.
//
// ScreenMask: one byte per screen pixel, 0 black or 255 white, column after column (index
// x * SCREEN_HEIGHT + y). drawGame clears it, fills it through fillMaskRect and copies it out.
#pragma once

#include <cstdint>

constexpr int MAP_COLUMNS = 1000;
constexpr int MAP_ROWS = 1000;
constexpr int MAP_CELL_SIZE = 4;        // world units a cell, on each axis
constexpr int MAP_HALF_EXTENT = 2000;   // world units from the map origin to each edge
constexpr int MASK_WIDTH = 640;
constexpr int MASK_HEIGHT = 480;
constexpr uint8_t MASK_WHITE = 255;

extern uint8_t WorldMap[MAP_COLUMNS * MAP_ROWS];
extern uint8_t ScreenMask[MASK_WIDTH * MASK_HEIGHT];

// The larger of two integers.
int32_t largerOf(int32_t a, int32_t b);

// Whitens every ScreenMask pixel of the rectangle with top-left (x, y), in screen pixels,
// clipped to the screen. Empty or wholly outside rectangles change nothing.
void fillMaskRect(int32_t x, int32_t y, int32_t width, int32_t height);
