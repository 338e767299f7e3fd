// tests/overlay/buttons_test.cpp -- the two overlay buttons: their heights along the fade and
// what their clicks do.
#include "overlay/buttons.h"

#include "overlay_media.h"

#include <gtest/gtest.h>

namespace {

using namespace overlay_media;

using OverlayButtons = OverlayMediaTest;

TEST_F(OverlayButtons, CentreLinesFollowTheFadeAndAreCutTowardZero) {
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

TEST_F(OverlayButtons, ClicksActOnTheButtonUnderThePointer) {
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
    inputState.mouseX = row.x;
    inputState.mouseY = row.y;
    inputState.mouseButtons[SDL_BUTTON_LEFT] = KeyState::Pressed;
    updateOverlayButtons();
    EXPECT_EQ(overlayOpen, row.openAfter);
    EXPECT_EQ(quitRequested, row.quitAfter);
    EXPECT_EQ(overlayFade, row.fade) << "a click leaves the fade for the next frame";
  }
}

}  // namespace
