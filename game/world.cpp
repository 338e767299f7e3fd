// game/world.cpp -- the rock map and the frame mask, and the one primitive that paints the mask.
#include "game/world.h"

#include <algorithm>
#include <cstring>

uint8_t WorldMap[MAP_SIZE * MAP_SIZE];
uint8_t ScreenMask[SCREEN_WIDTH * SCREEN_HEIGHT];

void fillMaskRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  // The far edges come from the unclipped corner, summed in 64 bits so that they cannot wrap.
  const int32_t x0 = std::max(x, 0);
  const int32_t x1 = int32_t(std::min<int64_t>(int64_t(x) + width, SCREEN_WIDTH));
  const int32_t y0 = std::max(y, 0);
  const int32_t y1 = int32_t(std::min<int64_t>(int64_t(y) + height, SCREEN_HEIGHT));
  if (y0 >= y1) return;
  for (int32_t column = x0; column < x1; ++column)
    std::memset(ScreenMask + column * SCREEN_HEIGHT + y0, MASK_WHITE, size_t(y1 - y0));
}
