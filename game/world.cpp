// game/world.cpp -- the rock map and the frame mask, and the one primitive that paints the mask.
#include "game/world.h"

#include <cstring>

uint8_t WorldMap[MAP_COLUMNS * MAP_ROWS];
uint8_t ScreenMask[MASK_WIDTH * MASK_HEIGHT];

int32_t largerOf(int32_t a, int32_t b) { return a > b ? a : b; }

// The smaller of start + length and limit; the sum is taken in 64 bits so that it cannot wrap.
static int32_t clippedEnd(int32_t start, int32_t length, int32_t limit) {
  const int64_t end = int64_t(start) + length;
  return end < limit ? int32_t(end) : limit;
}

void fillMaskRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  // The far edges come from the unclipped corner.
  const int32_t x0 = largerOf(x, 0);
  const int32_t x1 = clippedEnd(x, width, MASK_WIDTH);
  const int32_t y0 = largerOf(y, 0);
  const int32_t y1 = clippedEnd(y, height, MASK_HEIGHT);
  if (y0 >= y1) return;
  // A mask column is contiguous, so each clipped column is one run of bytes.
  for (int32_t column = x0; column < x1; ++column) {
    std::memset(ScreenMask + column * MASK_HEIGHT + y0, MASK_WHITE, size_t(y1 - y0));
  }
}
