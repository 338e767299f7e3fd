// tests/game/world_test.cpp -- fillMaskRect, the one primitive that paints the frame mask.
#include "game/world.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FillMaskRect, ClipsToTheScreen) {
  struct Row {
    const char* name;
    int x, y, width, height;
    int firstX, firstY, endX, endY;  // the pixels that turn white; none when first == end
  };
  const Row rows[] = {
      {"over the top-left corner: a 3 x 3 block", -3, -3, 6, 6, 0, 0, 3, 3},
      {"over the bottom-right corner: a 2 x 2 block", 638, 478, 6, 6, 638, 478, 640, 480},
      {"inside", 100, 200, 3, 4, 100, 200, 103, 204},
      {"right of the screen: nothing", 640, 100, 4, 4, 0, 0, 0, 0},
      {"no width: nothing", 100, 100, 0, 4, 0, 0, 0, 0},
      {"no height: nothing", 100, 100, 4, 0, 0, 0, 0, 0},
      {"far edges beyond the integer range: clipped", 600, 470, INT32_MAX, INT32_MAX,
       600, 470, 640, 480},
  };
  for (const Row& row : rows) {
    std::memset(ScreenMask, 0, sizeof ScreenMask);
    fillMaskRect(row.x, row.y, row.width, row.height);
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        const bool inside = x >= row.firstX && x < row.endX && y >= row.firstY && y < row.endY;
        ASSERT_EQ(ScreenMask[x * SCREEN_HEIGHT + y], inside ? MASK_WHITE : 0)
            << row.name << ": pixel (" << x << ", " << y << ")";
      }
    }
  }
}
