// tests/overlay/widgets_test.cpp -- the pointer and the menu button: where their pieces land,
// the hover area's strict edges, and that only a press over the button clicks it.
#include "overlay/widgets.h"

#include "app/input.h"
#include "app/screen.h"
#include "overlay/images.h"
#include "overlay_media.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace overlay_media;

constexpr uint32_t BACKGROUND = 0x102030;

class Widgets : public OverlayMediaTest {
 protected:
  void SetUp() override {
    OverlayMediaTest::SetUp();
    paintScreen(BACKGROUND);
  }
};

void pointAt(int x, int y, KeyState left) {
  inputState.mouseX = x;
  inputState.mouseY = y;
  inputState.mouseButtons[SDL_BUTTON_LEFT] = left;
}

TEST_F(Widgets, CursorCellCornerSitsAtThePointerLess48) {
  struct Row {
    const char* name;
    int mouseX, mouseY;
  };
  const Row rows[] = {
      {"mid screen", 100, 200},
      {"top-left corner: only the lower right quarter shows", 0, 0},
      {"bottom-right limit of the pointer", 640, 480},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    paintScreen(BACKGROUND);
    pointAt(row.mouseX, row.mouseY, KeyState::Up);
    drawCursor();
    const int left = row.mouseX - 48;
    const int top = row.mouseY - 48;
    for (int y = 0; y < SCREEN_HEIGHT; y += 1) {
      for (int x = 0; x < SCREEN_WIDTH; x += 1) {
        const bool inCell = x >= left && x < left + 96 && y >= top && y < top + 96;
        const uint32_t expected = inCell ? cursorColour(x - left, y - top) : BACKGROUND;
        ASSERT_EQ(screenRgb(x, y), expected) << "at (" << x << ", " << y << ")";
      }
    }
  }
}

// Where each pixel of a frame around the inner bar at (x, y) comes from: the tile of the sheet
// and the pixel inside it, by the layout of the nine pieces.
struct FramePiece {
  const char* name;
  int column;                 // of Button.png
  int left, top, w, h;        // on the screen, relative to the bar's corner
  bool repeatsAcross;         // a run of 21-pixel tiles (and the 6-pixel piece) across the bar
};
const FramePiece FRAME_PIECES[] = {
    {"top-left corner", 0, -21, -21, 21, 21, false},
    {"bottom-left corner", 1, -21, 15, 21, 21, false},
    {"top-right corner", 2, 300, -21, 21, 21, false},
    {"bottom-right corner", 3, 300, 15, 21, 21, false},
    {"bottom edge", 4, 0, 15, 300, 21, true},
    {"right edge", 5, 300, 0, 21, 15, false},
    {"top edge", 6, 0, -21, 300, 21, true},
    {"left edge", 7, -21, 0, 21, 15, false},
    {"fill", 8, 0, 0, 300, 15, true},
};

void expectFrame(int barX, int barY, int row) {
  int checked = 0;
  for (const FramePiece& piece : FRAME_PIECES) {
    for (int dy = 0; dy < piece.h; ++dy) {
      for (int dx = 0; dx < piece.w; ++dx) {
        const int x = barX + piece.left + dx;
        const int y = barY + piece.top + dy;
        const int tileX = piece.repeatsAcross ? dx % 21 : dx;
        ASSERT_EQ(screenRgb(x, y), tileColour(9 * row + piece.column, tileX, dy))
            << piece.name << " at (" << x << ", " << y << ")";
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 342 * 57) << "the pieces cover the whole frame once";
  for (int x = barX - 22; x <= barX + 321; ++x) {
    EXPECT_EQ(screenRgb(x, barY - 22), BACKGROUND) << "above the frame, x " << x;
    EXPECT_EQ(screenRgb(x, barY + 36), BACKGROUND) << "below the frame, x " << x;
  }
  for (int y = barY - 22; y <= barY + 36; ++y) {
    EXPECT_EQ(screenRgb(barX - 22, y), BACKGROUND) << "left of the frame, y " << y;
    EXPECT_EQ(screenRgb(barX + 321, y), BACKGROUND) << "right of the frame, y " << y;
  }
}

TEST_F(Widgets, ButtonFramePiecesLandOnTheirPlaces) {
  for (const int row : {0, 1}) {
    SCOPED_TRACE(row == 0 ? "normal look" : "highlighted look");
    paintScreen(BACKGROUND);
    drawButtonFrame(170, 108, uint8_t(row));
    expectFrame(170, 108, row);
  }
}

TEST_F(Widgets, MenuButtonHoverAreaHasStrictEdges) {
  struct Row {
    const char* name;
    int x, y;
    bool hovering;
  };
  // A button at y 115: hover for x 157..482 and y 95..135.
  const Row rows[] = {
      {"centre", 320, 115, true},
      {"left edge inside", 157, 115, true},
      {"right edge inside", 482, 115, true},
      {"top edge inside", 320, 95, true},
      {"bottom edge inside", 320, 135, true},
      {"top-left corner inside", 157, 95, true},
      {"bottom-right corner inside", 482, 135, true},
      {"left edge outside", 156, 115, false},
      {"right edge outside", 483, 115, false},
      {"above", 320, 94, false},
      {"below", 320, 136, false},
      {"on the frame but outside the hover area", 152, 90, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    paintScreen(BACKGROUND);
    pointAt(row.x, row.y, KeyState::Pressed);
    EXPECT_EQ(menuButton(115, "Resume game"), row.hovering);
    // The frame is at (170, 108) either way; its look says whether the pointer hovers.
    expectFrame(170, 108, row.hovering ? 1 : 0);
  }
}

TEST_F(Widgets, OnlyAPressOverTheButtonClicks) {
  struct Row {
    const char* name;
    KeyState left;
    bool clicked;
  };
  const Row rows[] = {
      {"pressed this frame", KeyState::Pressed, true},
      {"held down from an earlier frame", KeyState::Held, false},
      {"not down", KeyState::Up, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    paintScreen(BACKGROUND);
    pointAt(320, 165, row.left);
    EXPECT_EQ(menuButton(165, "Exit"), row.clicked);
    expectFrame(170, 158, 1);  // the highlight does not depend on the button
  }
}

TEST_F(Widgets, WithoutImagesNothingIsDrawnButButtonsStillAnswer) {
  freeTestMedia();
  pointAt(320, 115, KeyState::Pressed);
  EXPECT_TRUE(menuButton(115, "Resume game"));
  drawCursor();
  for (int y = 0; y < SCREEN_HEIGHT; y += 3)
    for (int x = 0; x < SCREEN_WIDTH; x += 3) ASSERT_EQ(screenRgb(x, y), BACKGROUND);
}

}  // namespace
