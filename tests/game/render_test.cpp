// tests/game/render_test.cpp -- the colour split of the impact effect: where each channel is read
// from, clamped at the screen's edges, at every pixel depth; and the health shown truncated.
#include "game/render.h"

#include "game/game_fixture.h"
#include "overlay/images.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

// The box (x0, y0, x1, y1, inclusive) around the pixels where one channel is lit; NONE if none is.
using Box = std::array<int, 4>;
constexpr Box NONE = {SCREEN_WIDTH, SCREEN_HEIGHT, -1, -1};

Box litBox(int shift) {
  Box box = NONE;
  for (int y = 0; y < SCREEN_HEIGHT; ++y)
    for (int x = 0; x < SCREEN_WIDTH; ++x)
      if ((screenRgb(x, y) >> shift & 0xFF) >= 0x80)
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  return box;
}

TEST(ColourSplit, EachChannelIsReadFromItsOwnPlaceAndClampedAtTheEdges) {
  struct Row {
    const char* name;
    double impact;
    int squareX, squareY;  // the screen corner of one white 6 x 6 square (a shot at rest)
    Box red, green, blue;
  };
  const Row rows[] = {
      {"below 0.2 the picture is black and white", 0.19, 317, 237,
       {317, 237, 322, 242}, {317, 237, 322, 242}, {317, 237, 322, 242}},
      {"0.25: red from 1 left, green from 1 lower, blue from 1 higher", 0.25, 317, 237,
       {318, 237, 323, 242}, {317, 236, 322, 241}, {317, 238, 322, 243}},
      {"2.5: red 10 left 5 lower, green 2 left 10 lower, blue 7 right 12 higher", 2.5, 317, 237,
       {327, 232, 332, 237}, {319, 227, 324, 232}, {310, 249, 315, 254}},
      {"2.5 at the bottom-left corner: the edge column and row repeat", 2.5, 0, 479,
       {0, 474, 15, 479}, {0, 469, 7, 479}, NONE},
      {"2.5 at the top-right corner: the edge column and row repeat", 2.5, 634, 0,
       NONE, NONE, {627, 0, 639, 17}},
      {"200: reads far beyond the screen land on its edge", 200.0, 0, 474,
       {0, 74, 639, 479}, {0, 0, 205, 479}, NONE},
  };
  // The dummy driver's screen at each depth, then 32-bit surfaces of other layouts as Screen.
  struct Layout {
    const char* name;
    int depth;
    Uint32 red, green, blue, alpha;  // all 0: the dummy driver's own
  };
  const Layout layouts[] = {
      {"8 bits", 8, 0, 0, 0, 0},   {"16 bits", 16, 0, 0, 0, 0},
      {"24 bits", 24, 0, 0, 0, 0}, {"32 bits", 32, 0, 0, 0, 0},
      {"red, green, blue, alpha bytes", 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
      {"channels across byte boundaries", 32, 0x0FF00000, 0xFF000, 0xFF0, 0},
  };
  for (const Layout& layout : layouts) {
    openTestScreen(layout.depth);
    SDL_Surface* const dummyScreen = Screen;
    if (layout.red != 0) {
      Screen = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_WIDTH, SCREEN_HEIGHT, 32, layout.red,
                                    layout.green, layout.blue, layout.alpha);
      ASSERT_NE(Screen, nullptr) << SDL_GetError();
    }
    for (const Row& row : rows) {
      const std::string name = std::string(layout.name) + ", " + row.name;
      startEmptyGame();
      setShapes(false);
      shipShape[0] = enemyShape[0] = 0;
      addShot(row.squareX - 317, row.squareY - 237);
      impactEffect = row.impact;
      drawGame();
      EXPECT_EQ(litBox(16), row.red) << name;
      EXPECT_EQ(litBox(8), row.green) << name;
      EXPECT_EQ(litBox(0), row.blue) << name;
    }
    if (Screen != dummyScreen) SDL_FreeSurface(Screen);
    closeTestScreen();
  }
}

// The whole picture of a frame drawn with `health`, the rest of the game alike.
std::vector<uint32_t> frameWithHealth(double health) {
  startEmptyGame();
  ::health = health;
  drawGame();
  return screenValues();
}

// The replay shows fractions of positive health; these rows are the negative ones.
TEST(Hud, HealthIsShownTruncatedTowardZero) {
  struct Row {
    const char* name;
    double health, shownAs;
  };
  const Row rows[] = {
      {"minus a half shows 0", -0.5, 0.0},
      {"a negative fraction is dropped toward zero", -4.7, -4.0},
  };
  openTestScreen(32);
  {
    ScopedWorkingDir cwd(sourceDir());
    loadOverlayMedia();
    loadGameMedia();
  }
  EXPECT_NE(frameWithHealth(-4.0), frameWithHealth(-5.0)) << "the health line shows at all";
  for (const Row& row : rows)
    EXPECT_EQ(frameWithHealth(row.health), frameWithHealth(row.shownAs)) << row.name;
  closeTestScreen();
}

}  // namespace
