// tests/overlay/driver_test.cpp -- the overlay driver: the fade's 39 steps each way, Escape and
// the buttons meeting in one frame, the order of drawing within a frame, and the local time.
#include "overlay/driver.h"

#include "app/frame.h"
#include "app/input.h"
#include "app/screen.h"
#include "game/reset.h"
#include "overlay/backdrop.h"
#include "overlay/buttons.h"
#include "overlay/clock.h"
#include "overlay_media.h"
#include "platform/clock.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace overlay_media;

constexpr int OPENING_FRAMES = 39;
constexpr uint32_t GAME_PICTURE = 0x405060;
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
    clearCalendarTimeForTests();
    OverlayMediaTest::TearDown();
  }
};

// One frame of the overlay alone, with Escape in the given state.
void overlayFrame(KeyState escape) {
  inputState.keys[SDLK_ESCAPE] = escape;
  updateOverlay();
}

void fillScreenRandom(uint32_t seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < SCREEN_HEIGHT; ++y)
    for (int x = 0; x < SCREEN_WIDTH; ++x) writePixel(Screen, x, y, random() & 0xFFFFFF);
}

std::vector<uint32_t> surfaceValues(SDL_Surface* surface) {
  std::vector<uint32_t> values;
  for (int y = 0; y < SCREEN_HEIGHT; ++y)
    for (int x = 0; x < SCREEN_WIDTH; ++x) values.push_back(readPixel(surface, x, y));
  return values;
}

TEST_F(OverlayDriver, FadeTakes39FramesEachWayAndReachesBothEndsExactly) {
  std::vector<double> opening;
  overlayFrame(KeyState::Pressed);
  opening.push_back(overlayFade);
  for (int frame = 1; frame < OPENING_FRAMES + 2; ++frame) {
    overlayFrame(KeyState::Held);
    opening.push_back(overlayFade);
  }
  const double firstOpening[] = {7.167, 13.856, 20.099, 25.925};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(opening[i], firstOpening[i], 0.0005) << "frame " << i + 1;
  EXPECT_NEAR(opening[37], 99.687, 0.0005);
  EXPECT_LT(opening[37], 100.0);
  EXPECT_EQ(opening[38], 100.0) << "the 39th step arrives exactly";
  EXPECT_EQ(opening[40], 100.0) << "and stays";

  std::vector<double> closing;
  overlayFrame(KeyState::Pressed);
  closing.push_back(overlayFade);
  for (int frame = 1; frame < OPENING_FRAMES + 2; ++frame) {
    overlayFrame(KeyState::Up);
    closing.push_back(overlayFade);
  }
  const double firstClosing[] = {92.833, 86.144, 79.901};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(closing[i], firstClosing[i], 0.0005) << "frame " << i + 1;
  EXPECT_NEAR(closing[37], 0.313, 0.0005);
  EXPECT_EQ(closing[38], 0.0) << "the 39th step arrives exactly";
  EXPECT_EQ(closing[40], 0.0) << "and stays";

  for (size_t i = 1; i + 2 < opening.size(); ++i) EXPECT_GT(opening[i], opening[i - 1]);
  for (size_t i = 1; i + 2 < closing.size(); ++i) EXPECT_LT(closing[i], closing[i - 1]);
}

TEST_F(OverlayDriver, EscapeWhileClosingReopensWithTheEarlierBackdrop) {
  fillScreenRandom(11);
  overlayFrame(KeyState::Pressed);
  const std::vector<uint8_t> backdrop(backdropPixels, backdropPixels + BACKDROP_BYTES);
  const std::vector<uint8_t> snapshot(snapshotPixels, snapshotPixels + BACKDROP_BYTES);
  const std::vector<uint32_t> processed = surfaceValues(overlayMedia.backdropSurface);
  for (int frame = 1; frame < OPENING_FRAMES; ++frame) overlayFrame(KeyState::Held);
  ASSERT_EQ(overlayFade, 100.0);

  overlayFrame(KeyState::Pressed);
  for (int frame = 0; frame < 5; ++frame) overlayFrame(KeyState::Up);
  const double closingFade = overlayFade;
  paintScreen(GAME_PICTURE);  // a capture now would take this
  overlayFrame(KeyState::Pressed);

  EXPECT_EQ(overlayOpen, 1);
  EXPECT_EQ(overlayFade, stepOverlayFade(closingFade, 1));
  EXPECT_TRUE(std::equal(backdrop.begin(), backdrop.end(), backdropPixels));
  EXPECT_TRUE(std::equal(snapshot.begin(), snapshot.end(), snapshotPixels));
  EXPECT_EQ(surfaceValues(overlayMedia.backdropSurface), processed);
  while (overlayFade != 100.0) overlayFrame(KeyState::Up);
  overlayFrame(KeyState::Up);
  EXPECT_EQ(readPixel(Screen, FREE_X, FREE_Y), processed[FREE_Y * SCREEN_WIDTH + FREE_X]);
}

TEST_F(OverlayDriver, DrawingOrderWithinAFrame) {
  paintScreen(GAME_PICTURE);
  inputState.mouseX = 600, inputState.mouseY = 200;
  overlayFrame(KeyState::Up);
  {
    SCOPED_TRACE("a game frame: cursor and border over the game picture, nothing else");
    EXPECT_EQ(screenRgb(FREE_X, FREE_Y), GAME_PICTURE);
    EXPECT_EQ(screenRgb(600, 200), cursorColour(48, 48));
    EXPECT_EQ(screenRgb(5, BORDER_MARK_Y), BORDER_MARK_COLOUR);
    EXPECT_EQ(screenRgb(5, 477), GAME_PICTURE) << "no band";
    EXPECT_EQ(overlayLocalTime, nullptr) << "the time is only taken while visible";
  }

  fillScreenRandom(21);
  const std::vector<uint32_t> gamePicture = surfaceValues(Screen);
  overlayFrame(KeyState::Pressed);
  {
    SCOPED_TRACE("the opening frame: no backdrop, bands at the fade after the step");
    EXPECT_EQ(readPixel(Screen, FREE_X, FREE_Y), gamePicture[FREE_Y * SCREEN_WIDTH + FREE_X]);
    EXPECT_EQ(screenRgb(5, 474) & 0xFFFFFF, gamePicture[474 * SCREEN_WIDTH + 5]);
    EXPECT_EQ(screenRgb(5, 475), bandColour(0)) << "bottom band at 419 + 56";
    EXPECT_EQ(screenRgb(5, 0), bandColour(126)) << "top band at -70 - 56";
  }

  for (int frame = 1; frame < OPENING_FRAMES - 1; ++frame) overlayFrame(KeyState::Held);
  ASSERT_TRUE(overlayFade > 99.0 && overlayFade < 100.0);
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
  {
    SCOPED_TRACE("shown: the processed picture, cursor over the band, border over the cursor");
    EXPECT_EQ(readPixel(Screen, FREE_X, FREE_Y),
              readPixel(overlayMedia.backdropSurface, FREE_X, FREE_Y));
    EXPECT_EQ(screenRgb(300, 430), cursorColour(28, 38));
    EXPECT_EQ(screenRgb(400, 430), bandColour(11));
    EXPECT_EQ(screenRgb(300, BORDER_MARK_Y), BORDER_MARK_COLOUR);
  }

  overlayFrame(KeyState::Pressed);
  while (stepOverlayFade(overlayFade, 0) > 0.0) overlayFrame(KeyState::Up);
  overlayFrame(KeyState::Up);
  {
    SCOPED_TRACE("the frame that reaches 0: the snapshot as captured, no buttons, no bands");
    ASSERT_EQ(overlayFade, 0.0);
    for (const int y : {FREE_Y, 130, 477}) {
      EXPECT_EQ(screenRgb(5, y), gamePicture[y * SCREEN_WIDTH + 5]) << "row " << y;
      EXPECT_EQ(screenRgb(FREE_X, y), gamePicture[y * SCREEN_WIDTH + FREE_X]) << "row " << y;
    }
    EXPECT_EQ(screenRgb(160, 115), gamePicture[115 * SCREEN_WIDTH + 160]) << "no button";
  }
}

TEST_F(OverlayDriver, LocalTimeComesFromThePlatformClock) {
  const int64_t newYear2023 = 1672531200;  // Sunday 1 January 2023, 00:00:00 UTC
  setCalendarTimeForTests(newYear2023);
  overlayFrame(KeyState::Pressed);
  ASSERT_NE(overlayLocalTime, nullptr);
  char line[CLOCK_LINE_SIZE];
  formatDateLine(*overlayLocalTime, line, sizeof line);
  EXPECT_EQ(std::string(line), "Sunday January 1st 2023");
  formatTimeLine(*overlayLocalTime, line, sizeof line);
  EXPECT_EQ(std::string(line), "12:00:00 AM");

  setCalendarTimeForTests(newYear2023 + 12 * 3600 + 5 * 60 + 9);
  overlayFrame(KeyState::Held);
  formatTimeLine(*overlayLocalTime, line, sizeof line);
  EXPECT_EQ(std::string(line), "12:05:09 PM") << "refreshed in every visible frame";

  // A time that cannot be converted leaves the date and time out; the bands are still drawn.
  setCalendarTimeForTests(INT64_MAX);
  paintScreen(GAME_PICTURE);
  overlayFrame(KeyState::Held);
  EXPECT_EQ(overlayLocalTime, nullptr);
  EXPECT_EQ(screenRgb(5, 419 + clockSlideOffset(overlayFade)), bandColour(0));
}

// ---- Real frames: input through SDL's queue, the game step and the music gate of the loop ----

class OverlayFrames : public OverlayDriver {
 protected:
  void SetUp() override {
    OverlayDriver::SetUp();
    workingDir = std::make_unique<ScopedWorkingDir>(makeTempDir());
    resetGame();
  }
  void TearDown() override {
    workingDir.reset();
    OverlayDriver::TearDown();
  }
  std::unique_ptr<ScopedWorkingDir> workingDir;
};

void frameWith(bool escapeDown, bool escapeUp, int clickX = -1, int clickY = -1) {
  if (escapeDown) pushKey(SDLK_ESCAPE, true);
  if (clickX >= 0) {
    SDL_WarpMouse(Uint16(clickX), Uint16(clickY));
    pushMouseButton(SDL_BUTTON_LEFT, true);
  }
  runFrame();
  if (escapeUp) pushKey(SDLK_ESCAPE, false);
  if (clickX >= 0) pushMouseButton(SDL_BUTTON_LEFT, false);
}

void tapEscape() { frameWith(true, true); }
void idleFrames(int count) {
  for (int i = 0; i < count; ++i) frameWith(false, false);
}

TEST_F(OverlayFrames, EscapeAndResumeClickInTheSameFrame) {
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
    if (row.closingFramesFirst >= 0) {
      tapEscape();
      idleFrames(row.closingFramesFirst);
    }
    const double before = overlayFade;
    const double after = stepOverlayFade(before, overlayOpen ? 0 : 1);
    const int resumeY = overlayButtonY(after, RESUME_BUTTON_Y_AWAY, RESUME_BUTTON_Y_SHOWN);
    frameWith(true, true, 320, resumeY);
    EXPECT_EQ(overlayOpen, 0);
    EXPECT_EQ(overlayFade, after) << "the buttons act after this frame's step";
    idleFrames(1);
    EXPECT_EQ(overlayFade, stepOverlayFade(after, 0)) << "and the fade goes down from there";
  }
}

}  // namespace
