// tests/overlay/text_test.cpp -- alignment, odd bytes and clipping of the bitmap-font text.
#include "overlay/text.h"

#include "app/screen.h"
#include "overlay/images.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t BACKGROUND = 0x203040;

// The test font: every cell has an opaque stripe down its first column (the mark: red the cell
// plus one, green 100) and its last (the edge: green 150), and nothing elsewhere.
uint32_t markRgb(int cell) { return uint32_t(cell + 1) << 16 | 100u << 8; }
uint32_t edgeRgb(int cell) { return uint32_t(cell + 1) << 16 | 150u << 8; }

class TextTest : public testing::Test {
 protected:
  void SetUp() override {
    openTestScreen(32);
    font = SDL_CreateRGBSurface(SDL_SRCALPHA, GLYPH_COUNT * GLYPH_CELL_WIDTH, GLYPH_CELL_HEIGHT,
                                32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    for (int cell = 0; cell < GLYPH_COUNT; ++cell) {
      const int left = GLYPH_CELL_WIDTH * cell;
      for (int y = 0; y < GLYPH_CELL_HEIGHT; ++y) {
        PixelGrid(font).write(left, y, 0xFF000000 | markRgb(cell));
        PixelGrid(font).write(left + GLYPH_CELL_WIDTH - 1, y, 0xFF000000 | edgeRgb(cell));
      }
    }
    overlayMedia.fontSurface = font;
  }
  void TearDown() override {
    overlayMedia = OverlayMedia{};
    SDL_FreeSurface(font);
    closeTestScreen();
  }
  SDL_Surface* font = nullptr;
};

// The whole screen after drawing `text` with its first glyph's cell at (start, top).
std::vector<uint32_t> expectedScreen(const std::string& text, int start, int top) {
  std::vector<uint32_t> screen(SCREEN_WIDTH * SCREEN_HEIGHT, BACKGROUND);
  for (int y = std::max(top, 0); y < std::min(top + GLYPH_CELL_HEIGHT, SCREEN_HEIGHT); ++y) {
    for (size_t i = 0; i < text.size(); ++i) {
      const int cell = glyphIndex(static_cast<unsigned char>(text[i]));
      const int left = start + GLYPH_ADVANCE * int(i), edge = left + GLYPH_CELL_WIDTH - 1;
      if (left >= 0 && left < SCREEN_WIDTH) screen[y * SCREEN_WIDTH + left] = markRgb(cell);
      if (edge >= 0 && edge < SCREEN_WIDTH) screen[y * SCREEN_WIDTH + edge] = edgeRgb(cell);
    }
  }
  return screen;
}

TEST_F(TextTest, EachGlyphLandsWhereAlignmentPutsItAndOnlyItsVisiblePartIsDrawn) {
  std::string wide;  // 70 characters: 770 pixels of advance, wider than the screen
  for (int i = 0; i < 70; ++i) wide += char('!' + i);
  struct Row {
    const char* name;
    int x, y;
    std::string text;
    TextAlign align;
    int start;  // where the first cell's left column should be
  };
  constexpr int Y = 200;
  const Row rows[] = {
      {"left starts at x", 20, Y, "Score", TextAlign::Left, 20},
      {"centre of 4 starts 22 left", 320, Y, "Exit", TextAlign::Centre, 298},
      {"centre of 11 starts 60 left", 320, Y, "Resume game", TextAlign::Centre, 260},
      {"right of 11 starts 121 left", 620, Y, "Health = -4", TextAlign::Right, 499},
      {"control and high bytes draw the blank and advance", 100, Y,
       "a\nb\tc\x7f\x80\xff" "d", TextAlign::Left, 100},
      {"centred wider than the screen", 320, Y, wide, TextAlign::Centre, 320 - 385},
      {"left edge cuts the first glyph", -10, Y, wide, TextAlign::Left, -10},
      {"above the top edge", 30, -10, wide, TextAlign::Left, 30},
      {"below the bottom edge", 30, 470, wide, TextAlign::Left, 30},
      {"an empty string, centred", 320, Y, "", TextAlign::Centre, 320},
      {"an empty string, right", 320, Y, "", TextAlign::Right, 320},
      // 65636 would wrap to 100 in a 16-bit rectangle; SDL's clipping handles the near misses.
      {"far right", 65636, Y, "Text", TextAlign::Left, 65636},
      {"far left", -65436, Y, "Text", TextAlign::Left, -65436},
      {"far below", 100, 65636, "Text", TextAlign::Left, 100},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SDL_FillRect(Screen, nullptr, SDL_MapRGB(Screen->format, 0x20, 0x30, 0x40));
    drawText(row.x, row.y, row.text.c_str(), row.align);
    const std::vector<uint32_t> expected = expectedScreen(row.text, row.start, row.y);
    for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i)
      ASSERT_EQ(screenRgb(i % SCREEN_WIDTH, i / SCREEN_WIDTH), expected[size_t(i)])
          << "at (" << i % SCREEN_WIDTH << ", " << i / SCREEN_WIDTH << ")";
  }
  drawText(100, Y, "\x1f ~\x7f", TextAlign::Left);
  const uint32_t cells[] = {markRgb(0), markRgb(0), markRgb(94), markRgb(0)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(screenRgb(100 + 11 * i, Y), cells[i]) << "glyph " << i;
  overlayMedia.fontSurface = nullptr;
  drawText(100, 300, "Resume game", TextAlign::Centre);
  EXPECT_EQ(screenRgb(40, 300), BACKGROUND) << "without a font nothing is drawn";
}

}  // namespace
