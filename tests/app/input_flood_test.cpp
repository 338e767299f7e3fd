// tests/app/input_flood_test.cpp -- input when more events arrive in one frame than SDL's queue
// holds: everything queued is taken in that frame, and a release that SDL dropped does not leave
// its key or button held.
//
// Pushed events do not touch SDL's own key and button state, which therefore reports every key
// up unless a test sets it: exactly the state after a release whose event was dropped.
#include "app/input.h"
#include "app/screen.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

namespace {

class InputFlood : public ::testing::Test {
 protected:
  void SetUp() override {
    openTestScreen(32);
    inputState = InputState{};
    inputEventsLost = false;
  }
  void TearDown() override { closeTestScreen(); }
};

// The input part of a frame, with the frame loop's drain of what updateInput leaves.
void inputFrame() {
  SDL_PumpEvents();
  updateInput();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
  }
}

// Fills SDL's queue with pointer motion, as a fast mouse does during a long frame; returns how
// many events it took.
int fillQueue() {
  int pushed = 0;
  for (;;) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = Uint16(pushed % SCREEN_WIDTH);
    if (SDL_PushEvent(&motion) != 0) return pushed;
    ++pushed;
  }
}

bool pushRefused(int type, int code) {
  SDL_Event event{};
  event.type = Uint8(type);
  if (type == SDL_KEYDOWN || type == SDL_KEYUP) event.key.keysym.sym = SDLKey(code);
  else event.button.button = Uint8(code);
  return SDL_PushEvent(&event) != 0;
}

// Holds d and the left button down from an earlier frame.
void holdDAndLeftButton() {
  pushKey(SDLK_d, true);
  pushMouseButton(SDL_BUTTON_LEFT, true);
  inputFrame();
  inputFrame();
  ASSERT_EQ(inputState.keys[SDLK_d], KeyState::Held);
  ASSERT_EQ(inputState.mouseButtons[SDL_BUTTON_LEFT], KeyState::Held);
}

}  // namespace

TEST_F(InputFlood, AFullQueueIsTakenInOneFrameAndItsLostReleasesLiftTheirEntries) {
  holdDAndLeftButton();
  pushKey(SDLK_a, true);  // a press within the flood whose release is lost
  // Classic SDL 1.2 holds 127 events, sdl12-compat 128.
  EXPECT_GE(fillQueue(), SDL_QUEUE_LIMIT - 1);
  EXPECT_TRUE(pushRefused(SDL_KEYUP, SDLK_d));
  EXPECT_TRUE(pushRefused(SDL_KEYUP, SDLK_a));
  EXPECT_TRUE(pushRefused(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));

  inputFrame();
  EXPECT_TRUE(inputEventsLost);
  EXPECT_EQ(inputState.keys[SDLK_d], KeyState::Up) << "d's release was dropped; SDL knows it";
  EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_LEFT], KeyState::Up);
  EXPECT_EQ(inputState.keys[SDLK_a], KeyState::Pressed) << "the press is seen in its frame";

  inputFrame();
  EXPECT_FALSE(inputEventsLost);
  EXPECT_EQ(inputState.keys[SDLK_a], KeyState::Up) << "and lifted once it has aged";
}

TEST_F(InputFlood, OnlyAFullQueueOrTheFrameAfterItConsultsSdlsState) {
  struct Row {
    const char* name;
    bool fullQueue;
    bool stillDownInSdl;  // SDL's own key state still has d down
    KeyState expected;
  };
  const Row rows[] = {
      {"a frame of few events follows the events only", false, false, KeyState::Held},
      {"a full queue lifts a key SDL reports up", true, false, KeyState::Up},
      {"a full queue keeps a key SDL still has down", true, true, KeyState::Held},
  };
  for (const Row& row : rows) {
    inputState = InputState{};
    inputEventsLost = false;
    holdDAndLeftButton();
    SDL_GetKeyState(nullptr)[SDLK_d] = row.stillDownInSdl ? 1 : 0;
    if (row.fullQueue) fillQueue();
    inputFrame();
    inputFrame();
    EXPECT_EQ(inputState.keys[SDLK_d], row.expected) << row.name;
    SDL_GetKeyState(nullptr)[SDLK_d] = 0;
  }
}
