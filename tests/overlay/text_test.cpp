// tests/overlay/text_test.cpp -- alignment, odd bytes and clipping of the bitmap-font text.
#include "overlay/text.h"

#include "app/screen.h"
#include "overlay/images.h"
#include "overlay/test_font.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int LINE_Y = 200;
constexpr uint32_t BACKGROUND_RGB = 0x203040;

class TextTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(openTestScreen(32), nullptr);
    font = installTestFont();
    clearScreen();
  }
  void TearDown() override {
    overlayMedia = OverlayMedia{};
    SDL_FreeSurface(font);
    closeTestScreen();
  }

  static void clearScreen() {
    SDL_FillRect(Screen, nullptr,
                 SDL_MapRGB(Screen->format, BACKGROUND_RGB >> 16, (BACKGROUND_RGB >> 8) & 0xFF,
                            BACKGROUND_RGB & 0xFF));
  }

  static std::vector<uint8_t> screenBytes() {
    const auto* pixels = static_cast<const uint8_t*>(Screen->pixels);
    return std::vector<uint8_t>(pixels, pixels + Screen->pitch * Screen->h);
  }

  // Checks that `text`, n bytes from x `start` on row `top`, is exactly what the screen shows
  // on its first row: each on-screen glyph's mark and edge, and the background elsewhere.
  static void expectLine(const std::string& text, int start, int top) {
    const int n = int(text.size());
    std::vector<uint32_t> expected(SCREEN_WIDTH, BACKGROUND_RGB);
    for (int i = 0; i < n; ++i) {
      const int cell = glyphIndex(static_cast<unsigned char>(text[i]));
      const int left = start + GLYPH_ADVANCE * i;
      if (left >= 0 && left < SCREEN_WIDTH) expected[left] = fontMarkRgb(cell);
      const int edge = left + GLYPH_CELL_WIDTH - 1;
      if (edge >= 0 && edge < SCREEN_WIDTH) expected[edge] = fontEdgeRgb(cell);
    }
    const int row = top < 0 ? 0 : top;
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      ASSERT_EQ(screenRgb(x, row), expected[x]) << "pixel " << x << " of \"" << text << "\"";
    }
  }

  SDL_Surface* font = nullptr;
};

TEST_F(TextTest, AlignmentSetsWhereTheFirstGlyphStarts) {
  struct Row {
    const char* name;
    TextAlign align;
    std::string text;
    int x;
    int start;
  };
  const Row rows[] = {
      {"left starts at x", TextAlign::Left, "Score", 20, 20},
      {"centre of 1 starts 5 left", TextAlign::Centre, "A", 320, 315},
      {"centre of 4 starts 22 left", TextAlign::Centre, "Exit", 320, 298},
      {"centre of 11 starts 60 left", TextAlign::Centre, "Resume game", 320, 260},
      {"right of 10 starts 110 left", TextAlign::Right, "Health = 0", 620, 510},
      {"right of 11 starts 121 left", TextAlign::Right, "Health = -4", 620, 499},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clearScreen();
    drawText(row.x, LINE_Y, row.text.c_str(), row.align);
    expectLine(row.text, row.start, LINE_Y);
    // The cell is 21 rows high: the rows just above and below stay untouched.
    EXPECT_EQ(screenRgb(row.start, LINE_Y + GLYPH_CELL_HEIGHT - 1), screenRgb(row.start, LINE_Y));
    EXPECT_EQ(screenRgb(row.start, LINE_Y - 1), BACKGROUND_RGB);
    EXPECT_EQ(screenRgb(row.start, LINE_Y + GLYPH_CELL_HEIGHT), BACKGROUND_RGB);
  }
  // Right with n = 10: the last cell covers x - 11 to x + 3.
  clearScreen();
  drawText(620, LINE_Y, "Health = 0", TextAlign::Right);
  EXPECT_EQ(screenRgb(609, LINE_Y), fontMarkRgb(glyphIndex('0')));
  EXPECT_EQ(screenRgb(623, LINE_Y), fontEdgeRgb(glyphIndex('0')));
}

TEST_F(TextTest, ControlAndHighBytesDrawTheBlankAndStillAdvance) {
  const std::string text = "a\nb\tc\x7f\x80\xff" "d";
  drawText(100, LINE_Y, text.c_str(), TextAlign::Left);
  expectLine(text, 100, LINE_Y);
  EXPECT_EQ(glyphMarkAt(screenRgb(100 + GLYPH_ADVANCE * 1, LINE_Y)), 0) << "line feed";
  EXPECT_EQ(glyphMarkAt(screenRgb(100 + GLYPH_ADVANCE * 8, LINE_Y)), glyphIndex('d'));
}

TEST_F(TextTest, TextPartlyOffTheScreenDrawsItsVisiblePart) {
  struct Row {
    const char* name;
    int x;
    int y;
    TextAlign align;
    int start;
  };
  // 70 characters: 770 pixels of advance, wider than the screen.
  std::string wide;
  for (int i = 0; i < 70; ++i) wide += char('!' + i);
  const Row rows[] = {
      {"centred wider than the screen", 320, LINE_Y, TextAlign::Centre, 320 - 385},
      {"left edge cuts the first glyph", -10, LINE_Y, TextAlign::Left, -10},
      {"above the top edge", 30, -10, TextAlign::Left, 30},
      {"below the bottom edge", 30, 470, TextAlign::Left, 30},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clearScreen();
    drawText(row.x, row.y, wide.c_str(), row.align);
    expectLine(wide, row.start, row.y);
  }
}

TEST_F(TextTest, DrawsNothing) {
  const std::vector<uint8_t> before = screenBytes();
  struct Row {
    const char* name;
    int x, y;
    const char* text;
    TextAlign align;
  };
  // 65636 would wrap to 100 in a 16-bit rectangle.
  const Row rows[] = {
      {"an empty string, left", 320, LINE_Y, "", TextAlign::Left},
      {"an empty string, centred", 320, LINE_Y, "", TextAlign::Centre},
      {"an empty string, right", 320, LINE_Y, "", TextAlign::Right},
      {"far right", 65636, LINE_Y, "Text", TextAlign::Left},
      {"right of the edge", 640, LINE_Y, "Text", TextAlign::Left},
      {"far left", -65436, LINE_Y, "Text", TextAlign::Left},
      {"above", 100, -21, "Text", TextAlign::Left},
      {"below", 100, 480, "Text", TextAlign::Left},
      {"far below", 100, 65636, "Text", TextAlign::Left},
  };
  for (const Row& row : rows) {
    drawText(row.x, row.y, row.text, row.align);
    EXPECT_EQ(screenBytes(), before) << row.name;
  }
  overlayMedia.fontSurface = nullptr;
  drawText(100, LINE_Y, "Resume game", TextAlign::Centre);
  EXPECT_EQ(screenBytes(), before) << "without a font";
}

}  // namespace
