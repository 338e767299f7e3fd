// tests/game/world_test.cpp -- fillMaskRect: clipping at every edge, empty rectangles, and
// agreement with the plain per-pixel rule on many random rectangles.
#include "game/world.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

namespace {

struct Rect {
  int32_t x, y, width, height;
};

// The plain rule: a pixel is white when it lies in the rectangle, sums taken without wrapping.
bool insideRect(const Rect& r, int64_t px, int64_t py) {
  return px >= r.x && px < int64_t(r.x) + r.width && py >= r.y && py < int64_t(r.y) + r.height;
}

int countWhite() {
  int white = 0;
  for (uint8_t value : ScreenMask) white += value == MASK_WHITE;
  return white;
}

// The first pixel whose value differs from the union of `rects`, or "" when none does.
std::string firstWrongPixel(const std::vector<Rect>& rects) {
  for (int32_t x = 0; x < MASK_WIDTH; ++x) {
    for (int32_t y = 0; y < MASK_HEIGHT; ++y) {
      bool white = false;
      for (const Rect& r : rects) white = white || insideRect(r, x, y);
      if (ScreenMask[x * MASK_HEIGHT + y] != (white ? MASK_WHITE : 0)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

}  // namespace

TEST(FillMaskRect, ClipsToTheScreen) {
  struct Row {
    const char* name;
    Rect rect;
    int whitePixels;
  };
  const Row rows[] = {
      {"over the top-left corner leaves 3 x 3", {-3, -3, 6, 6}, 9},
      {"over the bottom-right corner leaves 2 x 2", {638, 478, 6, 6}, 4},
      {"just right of the screen draws nothing", {640, 100, 4, 4}, 0},
      {"zero width draws nothing", {100, 100, 0, 4}, 0},
      {"zero height draws nothing", {100, 100, 4, 0}, 0},
      {"negative width draws nothing", {100, 100, -4, 4}, 0},
      {"wholly left of the screen", {-10, 5, 10, 5}, 0},
      {"wholly below the screen", {5, 480, 5, 5}, 0},
      {"one pixel", {639, 0, 1, 1}, 1},
      {"the whole screen and more", {-1, -1, 642, 482}, MASK_WIDTH * MASK_HEIGHT},
      {"a width that would wrap a 32-bit sum", {600, 0, INT32_MAX, 2}, 80},
      {"a corner far off to the left", {INT32_MIN, 0, INT32_MAX, 1}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::memset(ScreenMask, 0, sizeof ScreenMask);
    fillMaskRect(row.rect.x, row.rect.y, row.rect.width, row.rect.height);
    EXPECT_EQ(countWhite(), row.whitePixels);
    EXPECT_EQ(firstWrongPixel({row.rect}), "");
  }
}

TEST(FillMaskRect, OverlappingRectanglesGiveTheUnion) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int32_t> corner(-60, 700);
  std::uniform_int_distribution<int32_t> size(-5, 90);
  for (int round = 0; round < 40; ++round) {
    std::memset(ScreenMask, 0, sizeof ScreenMask);
    std::vector<Rect> rects;
    for (int k = 0; k < 6; ++k) {
      rects.push_back({corner(rng), corner(rng) * 2 / 3, size(rng), size(rng)});
      fillMaskRect(rects.back().x, rects.back().y, rects.back().width, rects.back().height);
    }
    ASSERT_EQ(firstWrongPixel(rects), "") << "round " << round;
  }
}
