// tests/overlay/driver_test.cpp -- the overlay driver: the fade's steps, reopening while closing,
// frames the replay's pictures miss, the local time, and Escape and a click in one frame.
#include "overlay/driver.h"

#include "app/frame.h"
#include "game/reset.h"
#include "overlay/backdrop.h"
#include "overlay/buttons.h"
#include "overlay/clock.h"
#include "overlay_media.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace overlay_media;

constexpr int FREE_X = 600;  // a spot that no button, band, cursor or border covers
constexpr int FREE_Y = 300;

class OverlayDriver : public OverlayMediaTest {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    OverlayMediaTest::SetUp();
  }
  void TearDown() override {
    unpinCalendarTime();
    OverlayMediaTest::TearDown();
  }
};

// One frame of the overlay alone, with Escape in the given state.
void overlayFrame(KeyState escape) {
  inputState.keys[SDLK_ESCAPE] = escape;
  updateOverlay();
}

TEST_F(OverlayDriver, FadeStepsEachWayAndArrivesExactly) {
  std::vector<double> fades[2];  // after each frame from an Escape press: opening, closing
  for (int way = 0; way < 2; ++way) {
    overlayFrame(KeyState::Pressed);
    fades[way].push_back(overlayFade);
    for (int frame = 2; frame <= 41; ++frame) {
      overlayFrame(way == 0 ? KeyState::Held : KeyState::Up);
      fades[way].push_back(overlayFade);
    }
  }
  struct Row {
    const char* name;
    int way, frame;
    double fade;
  };
  const Row rows[] = {
      {"opening 1st", 0, 1, 7.167},  {"opening 2nd", 0, 2, 13.856},
      {"opening 38th short of 100", 0, 38, 99.687}, {"opening 39th arrives", 0, 39, 100.0},
      {"opening stays", 0, 41, 100.0}, {"closing 1st", 1, 1, 92.833},
      {"closing 38th short of 0", 1, 38, 0.313}, {"closing 39th arrives", 1, 39, 0.0},
      {"closing stays", 1, 41, 0.0},
  };
  for (const Row& row : rows) {
    const double fade = fades[row.way][size_t(row.frame - 1)];
    if (row.fade == 0.0 || row.fade == 100.0) EXPECT_EQ(fade, row.fade) << row.name;
    else EXPECT_NEAR(fade, row.fade, 0.0005) << row.name;
  }
}

TEST_F(OverlayDriver, EscapeWhileClosingReopensWithTheEarlierBackdrop) {
  fillScreenWithNoise(11);
  overlayFrame(KeyState::Pressed);
  const std::vector<uint8_t> backdrop(backdropPixels, backdropPixels + BACKDROP_BYTES);
  while (overlayFade != 100.0) overlayFrame(KeyState::Held);
  overlayFrame(KeyState::Pressed);
  for (int frame = 0; frame < 5; ++frame) overlayFrame(KeyState::Up);
  const double closingFade = overlayFade;
  paintScreen(0x405060);  // a capture now would take this
  overlayFrame(KeyState::Pressed);

  EXPECT_EQ(overlayOpen, 1);
  EXPECT_EQ(overlayFade, stepOverlayFade(closingFade, 1));
  EXPECT_TRUE(std::equal(backdrop.begin(), backdrop.end(), backdropPixels)) << "not taken again";
}

// The frames between those the replay's pictures show (an opening one and the one reaching 0).
TEST_F(OverlayDriver, FramesAtAndAfterTheFullFade) {
  fillScreenWithNoise(21);
  overlayFrame(KeyState::Pressed);
  while (stepOverlayFade(overlayFade, 1) < 100.0) overlayFrame(KeyState::Held);
  overlayFrame(KeyState::Held);
  {
    SCOPED_TRACE("the frame that reaches 100: the backdrop still blended with weight 99");
    const int i = (FREE_X * SCREEN_HEIGHT + FREE_Y) * 3;
    uint32_t expected = 0;
    for (int c = 0; c < 3; ++c)
      expected = expected << 8 | (backdropPixels[i + c] * 99 + snapshotPixels[i + c]) / 100;
    EXPECT_EQ(screenRgb(FREE_X, FREE_Y), expected);
  }
  inputState.mouseX = 320, inputState.mouseY = 440;
  overlayFrame(KeyState::Held);
  SCOPED_TRACE("shown: the processed picture, cursor over the band, border over the cursor");
  EXPECT_EQ(PixelGrid(Screen).read(FREE_X, FREE_Y),
            PixelGrid(overlayMedia.backdropSurface).read(FREE_X, FREE_Y));
  EXPECT_EQ(screenRgb(300, 430), cursorColour(28, 38));
  EXPECT_EQ(screenRgb(400, 430), bandColour(11));
  EXPECT_EQ(screenRgb(300, BORDER_MARK_Y), BORDER_MARK_COLOUR);
}

TEST_F(OverlayDriver, LocalTimeIsTakenInEveryVisibleFrameOrLeftOut) {
  const int64_t newYear2023 = 1672531200;  // Sunday 1 January 2023, 00:00:00 UTC
  pinCalendarTime(newYear2023);
  overlayFrame(KeyState::Pressed);
  pinCalendarTime(newYear2023 + 12 * 3600 + 5 * 60 + 9);
  overlayFrame(KeyState::Held);
  ASSERT_NE(overlayLocalTime, nullptr);
  char line[CLOCK_LINE_SIZE];
  formatTimeLine(*overlayLocalTime, line, sizeof line);
  EXPECT_EQ(std::string(line), "12:05:09 PM") << "taken again in the next visible frame";

  // A time that cannot be converted leaves the date and time out; the bands are still drawn.
  pinCalendarTime(INT64_MAX);
  paintScreen(0);
  overlayFrame(KeyState::Held);
  EXPECT_EQ(overlayLocalTime, nullptr);
  EXPECT_EQ(screenRgb(5, 419 + clockSlideOffset(overlayFade)), bandColour(0));
}

// Real frames: input through SDL's queue, the game step and the overlay in the frame loop.
TEST_F(OverlayDriver, EscapeAndResumeClickInTheSameFrame) {
  const ScopedWorkingDir scratch;
  resetGame();
  const auto frameWith = [](bool escape, int clickY) {
    if (escape) pushKey(SDLK_ESCAPE, true);
    if (clickY >= 0) SDL_WarpMouse(320, Uint16(clickY)), pushMouseButton(SDL_BUTTON_LEFT, true);
    runFrame();
    if (escape) pushKey(SDLK_ESCAPE, false);
    if (clickY >= 0) pushMouseButton(SDL_BUTTON_LEFT, false);
  };
  struct Row {
    const char* name;
    int closingFramesFirst;  // -1: from Shown
  };
  const Row rows[] = {{"while shown: Escape closes, the click closes again", -1},
                      {"while closing: Escape reopens a step, the click closes again", 4}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    overlayFade = 100.0;
    overlayOpen = 1;
    for (int frame = -1; frame < row.closingFramesFirst; ++frame) frameWith(frame == -1, -1);
    const double after = stepOverlayFade(overlayFade, overlayOpen ? 0 : 1);
    frameWith(true, overlayButtonY(after, RESUME_BUTTON_Y_AWAY, RESUME_BUTTON_Y_SHOWN));
    EXPECT_EQ(overlayOpen, 0);
    EXPECT_EQ(overlayFade, after) << "the buttons act after this frame's step";
    frameWith(false, -1);
    EXPECT_EQ(overlayFade, stepOverlayFade(after, 0)) << "and the fade goes down from there";
  }
}

}  // namespace
