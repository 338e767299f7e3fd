// tests/overlay/widgets_test.cpp -- the menu button (its pieces, the hover area's strict edges,
// clicks only on a press) and the overlay's two buttons: heights along the fade, what clicks do.
#include "overlay/widgets.h"

#include "overlay/buttons.h"
#include "overlay/text.h"
#include "overlay_media.h"

#include <gtest/gtest.h>

namespace {

using namespace overlay_media;

constexpr uint32_t BACKGROUND = 0x102030;

using Widgets = OverlayMediaTest;

void pointAt(int x, int y, KeyState left) {
  inputState.mouseX = x;
  inputState.mouseY = y;
  inputState.mouseButtons[SDL_BUTTON_LEFT] = left;
}

// Each frame piece around the bar: its tile's sheet column, place from the bar's corner, tiling.
struct FramePiece {
  const char* name;
  int column, left, top, w, h;
  bool repeatsAcross;
};
const FramePiece FRAME_PIECES[] = {
    {"top-left corner", 0, -21, -21, 21, 21, false},
    {"bottom-left corner", 1, -21, 15, 21, 21, false},
    {"top-right corner", 2, 300, -21, 21, 21, false},
    {"bottom-right corner", 3, 300, 15, 21, 21, false},
    {"bottom edge", 4, 0, 15, 300, 21, true}, {"right edge", 5, 300, 0, 21, 15, false},
    {"top edge", 6, 0, -21, 300, 21, true},   {"left edge", 7, -21, 0, 21, 15, false},
    {"fill", 8, 0, 0, 300, 15, true},
};

// The frame of the look `row` around the bar at (barX, barY), and the background just outside.
void expectFrame(int barX, int barY, int row) {
  for (const FramePiece& piece : FRAME_PIECES)
    for (int dy = 0; dy < piece.h; ++dy)
      for (int dx = 0; dx < piece.w; ++dx)
        ASSERT_EQ(screenRgb(barX + piece.left + dx, barY + piece.top + dy),
                  tileColour(9 * row + piece.column, piece.repeatsAcross ? dx % 21 : dx, dy))
            << piece.name << " at (" << dx << ", " << dy << ")";
  for (int x = barX - 22; x <= barX + 321; ++x)
    for (const int y : {barY - 22, barY + 36}) ASSERT_EQ(screenRgb(x, y), BACKGROUND);
  for (int y = barY - 22; y <= barY + 36; ++y)
    for (const int x : {barX - 22, barX + 321}) ASSERT_EQ(screenRgb(x, y), BACKGROUND);
}

TEST_F(Widgets, MenuButtonHoversInsideStrictEdgesAndClicksOnAPressOnly) {
  struct Row {
    const char* name;
    int x, y;
    KeyState left;
    bool hovering, clicked;
  };
  // A button at y 115: hover for x 157..482 and y 95..135.
  const Row rows[] = {
      {"centre, pressed this frame", 320, 115, KeyState::Pressed, true, true},
      {"held down from an earlier frame", 320, 115, KeyState::Held, true, false},
      {"not down", 320, 115, KeyState::Up, true, false},
      {"left edge inside", 157, 115, KeyState::Pressed, true, true},
      {"right edge inside", 482, 115, KeyState::Pressed, true, true},
      {"top edge inside", 320, 95, KeyState::Pressed, true, true},
      {"bottom edge inside", 320, 135, KeyState::Pressed, true, true},
      {"left edge outside", 156, 115, KeyState::Pressed, false, false},
      {"right edge outside", 483, 115, KeyState::Pressed, false, false},
      {"above", 320, 94, KeyState::Pressed, false, false},
      {"below", 320, 136, KeyState::Pressed, false, false},
      {"on the frame but outside the hover area", 152, 90, KeyState::Pressed, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    paintScreen(BACKGROUND);
    pointAt(row.x, row.y, row.left);
    EXPECT_EQ(menuButton(115, "Resume game"), row.clicked);
    // The frame is at (170, 108) either way; its look says whether the pointer hovers.
    expectFrame(170, 108, row.hovering ? 1 : 0);
  }
}

// Drawn again at the place the rule gives, over a fresh frame, the label must change nothing.
TEST_F(Widgets, MenuButtonLabelIsCentredTenAboveTheCentreLine) {
  overlayMedia.fontSurface = loadAlphaImage((sourceDir() + "/Media/Orvane/Font.png").c_str());
  menuButton(115, "Exit");
  const std::vector<uint32_t> drawn = screenValues();
  drawButtonFrame(170, 108, 0);
  drawText(320, 105, "Exit", TextAlign::Centre);
  EXPECT_TRUE(screenValues() == drawn);
}

TEST_F(Widgets, WithoutImagesNothingIsDrawnButButtonsStillAnswer) {
  freeTestMedia();
  paintScreen(BACKGROUND);
  pointAt(320, 115, KeyState::Pressed);
  EXPECT_TRUE(menuButton(115, "Resume game"));
  drawCursor();
  for (int y = 0; y < SCREEN_HEIGHT; y += 3)
    for (int x = 0; x < SCREEN_WIDTH; x += 3) ASSERT_EQ(screenRgb(x, y), BACKGROUND);
}

TEST_F(Widgets, OverlayButtonCentreLinesFollowTheFadeAndAreCutTowardZero) {
  const auto afterOpeningSteps = [](int steps) {
    double fade = 0.0;
    for (int i = 0; i < steps; ++i) fade = stepOverlayFade(fade, 1);
    return fade;
  };
  struct Row {
    const char* name;
    double fade;
    int resumeY, exitY;
  };
  const Row rows[] = {
      {"shown", 100.0, 115, 165},
      {"half way", 50.0, 355, 405},
      {"away", 0.0, 595, 645},
      {"first opening frame (560.6 is cut to 560)", afterOpeningSteps(1), 560, 610},
      {"third opening frame", afterOpeningSteps(3), 498, 548},
      {"last opening frame before shown", afterOpeningSteps(38), 116, 166},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(overlayButtonY(row.fade, RESUME_BUTTON_Y_AWAY, RESUME_BUTTON_Y_SHOWN), row.resumeY)
        << row.name;
    EXPECT_EQ(overlayButtonY(row.fade, EXIT_BUTTON_Y_AWAY, EXIT_BUTTON_Y_SHOWN), row.exitY)
        << row.name;
  }
}

TEST_F(Widgets, OverlayButtonClicksActOnTheButtonUnderThePointer) {
  struct Row {
    const char* name;
    double fade;
    uint8_t open;
    int x, y;
    uint8_t openAfter, quitAfter;
  };
  const Row rows[] = {
      {"Resume game while shown closes", 100.0, 1, 320, 115, 0, 0},
      {"Resume game hover area's lowest row", 100.0, 1, 157, 135, 0, 0},
      {"between the buttons nothing", 100.0, 1, 320, 140, 1, 0},
      {"Exit while shown quits", 100.0, 1, 482, 165, 1, 1},
      {"Resume game half way", 50.0, 1, 320, 355, 0, 0},
      {"Exit while closing still quits", 60.0, 0, 320, 357, 0, 1},
      {"Resume game while closing changes nothing", 60.0, 0, 320, 307, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    overlayFade = row.fade;
    overlayOpen = row.open;
    quitRequested = 0;
    pointAt(row.x, row.y, KeyState::Pressed);
    updateOverlayButtons();
    EXPECT_EQ(overlayOpen, row.openAfter);
    EXPECT_EQ(quitRequested, row.quitAfter);
    EXPECT_EQ(overlayFade, row.fade) << "a click leaves the fade for the next frame";
  }
}

}  // namespace
