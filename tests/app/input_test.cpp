// tests/app/input_test.cpp -- the per-frame input state from real SDL events (dummy driver).
#include "app/input.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { openTestScreen(32); }
  void TearDown() override { closeTestScreen(); }
};

// Runs updateInput as the frame loop does, after a pump.
void inputFrame() {
  SDL_PumpEvents();
  updateInput();
}

TEST_F(InputTest, KeyEventsWithinOneFrameApplyDownsBeforeUps) {
  struct Row {
    const char* name;
    bool firstDown;   // the first event of the frame is a key-down
    bool secondDown;  // the second event of the frame
    KeyState expected;
  };
  const Row rows[] = {
      {"press and release in one frame ends up", true, false, KeyState::Up},
      {"release then press in one frame ends up", false, true, KeyState::Up},
      {"a single press is Pressed", true, true, KeyState::Pressed},
  };
  for (const Row& row : rows) {
    inputState = InputState{};
    pushKey(SDLK_a, row.firstDown);
    pushKey(SDLK_a, row.secondDown);
    inputFrame();
    EXPECT_EQ(inputState.keys[SDLK_a], row.expected) << row.name;
  }
}

TEST_F(InputTest, PressedLastsOneFrameThenHeldUntilReleased) {
  pushKey(SDLK_ESCAPE, true);
  pushMouseButton(SDL_BUTTON_LEFT, true);
  inputFrame();
  EXPECT_EQ(inputState.keys[SDLK_ESCAPE], KeyState::Pressed);
  EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_LEFT], KeyState::Pressed);
  for (int frame = 0; frame < 3; ++frame) {
    inputFrame();
    EXPECT_EQ(inputState.keys[SDLK_ESCAPE], KeyState::Held) << "frame " << frame;
    EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_LEFT], KeyState::Held) << "frame " << frame;
  }
  pushKey(SDLK_ESCAPE, false);
  pushMouseButton(SDL_BUTTON_LEFT, false);
  inputFrame();
  EXPECT_EQ(inputState.keys[SDLK_ESCAPE], KeyState::Up);
  EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_LEFT], KeyState::Up);
}

TEST_F(InputTest, WheelNotchLeavesItsButtonUp) {
  pushMouseButton(SDL_BUTTON_WHEELUP, true);
  pushMouseButton(SDL_BUTTON_WHEELUP, false);
  pushMouseButton(SDL_BUTTON_WHEELDOWN, true);
  pushMouseButton(SDL_BUTTON_WHEELDOWN, false);
  inputFrame();
  EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_WHEELUP], KeyState::Up);
  EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_WHEELDOWN], KeyState::Up);
}

TEST_F(InputTest, OutOfRangeSymbolsAndButtonsAreTakenAndIgnored) {
  pushKey(600, true);  // no real keyboard sends this, but a pushed event arrives unchanged
  pushKey(KEY_COUNT, true);
  pushMouseButton(MOUSE_BUTTON_COUNT, true);
  pushMouseButton(200, true);
  inputFrame();
  const InputState untouched{};
  EXPECT_EQ(0, std::memcmp(inputState.keys, untouched.keys, sizeof untouched.keys));
  EXPECT_EQ(0, std::memcmp(inputState.mouseButtons, untouched.mouseButtons,
                           sizeof untouched.mouseButtons));
  SDL_Event event;
  EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS), 0)
      << "key and button events must all be taken, or the queue fills up";
}

TEST_F(InputTest, QuitAndMotionEventsStayForTheFrameLoop) {
  pushKey(SDLK_w, true);
  pushQuit();
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  ASSERT_EQ(SDL_PushEvent(&motion), 0);
  inputFrame();
  EXPECT_EQ(inputState.keys[SDLK_w], KeyState::Pressed);
  SDL_Event event;
  EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_QUITMASK), 1);
  EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_MOUSEMOTIONMASK), 1);
}

TEST_F(InputTest, PointerIsSampledEveryFrame) {
  const struct {
    int x, y;
  } places[] = {{100, 200}, {0, 0}, {639, 479}, {320, 240}};
  for (const auto& place : places) {
    SDL_WarpMouse(Uint16(place.x), Uint16(place.y));
    inputFrame();
    EXPECT_EQ(inputState.mouseX, place.x);
    EXPECT_EQ(inputState.mouseY, place.y);
  }
}

}  // namespace
