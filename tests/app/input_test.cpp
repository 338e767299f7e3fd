// tests/app/input_test.cpp -- the per-frame input state from real SDL events (dummy driver):
// what one frame's events leave, and frames that bring more events than SDL's queue holds.
// Pushed events leave SDL's own key state all up unless a test sets it, as after a lost release.
#include "app/input.h"
#include "app/screen.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

namespace {

class InputTest : public ::testing::Test {
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

TEST_F(InputTest, EventsOfOneFrameApplyDownsBeforeUpsAndIgnoreWhatIsOutOfRange) {
  struct Event {
    bool key;  // a key symbol, else a mouse button
    int code;
    bool down;
  };
  struct Row {
    const char* name;
    Event first, second;
    bool key;
    int code;
    KeyState expected;
  };
  const Row rows[] = {
      {"press and release in one frame ends up", {true, SDLK_a, true}, {true, SDLK_a, false},
       true, SDLK_a, KeyState::Up},
      {"release then press in one frame ends up", {true, SDLK_a, false}, {true, SDLK_a, true},
       true, SDLK_a, KeyState::Up},
      {"a wheel notch leaves its button up", {false, SDL_BUTTON_WHEELUP, true},
       {false, SDL_BUTTON_WHEELUP, false}, false, SDL_BUTTON_WHEELUP, KeyState::Up},
      {"symbol 500 is beyond the table", {true, 500, true}, {true, 600, true}, true,
       KEY_COUNT - 1, KeyState::Up},
      {"button 10 is beyond the table", {false, 10, true}, {false, 200, true},
       false, MOUSE_BUTTON_COUNT - 1, KeyState::Up},
  };
  for (const Row& row : rows) {
    inputState = InputState{};
    for (const Event& event : {row.first, row.second}) {
      if (event.key) pushKey(event.code, event.down);
      else pushMouseButton(event.code, event.down);
    }
    SDL_PumpEvents();
    updateInput();
    const KeyState* table = row.key ? inputState.keys : inputState.mouseButtons;
    EXPECT_EQ(table[row.code], row.expected) << row.name;
    SDL_Event left;
    EXPECT_EQ(SDL_PeepEvents(&left, 1, SDL_PEEKEVENT, SDL_KEYEVENTMASK | SDL_MOUSEEVENTMASK), 0)
        << row.name << ": every key and button event must be taken, or the queue fills up";
  }
}

// The replay's clicks and Escape presses are too short to tell a Pressed that lingers.
TEST_F(InputTest, PressedLastsOneFrameThenHeldUntilReleased) {
  pushKey(SDLK_ESCAPE, true);
  pushMouseButton(SDL_BUTTON_LEFT, true);
  const KeyState expected[] = {KeyState::Pressed, KeyState::Held, KeyState::Held, KeyState::Up};
  for (int frame = 0; frame < 4; ++frame) {
    if (frame == 3) {
      pushKey(SDLK_ESCAPE, false);
      pushMouseButton(SDL_BUTTON_LEFT, false);
    }
    inputFrame();
    EXPECT_EQ(inputState.keys[SDLK_ESCAPE], expected[frame]) << "frame " << frame;
    EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_LEFT], expected[frame]) << "frame " << frame;
  }
}

TEST_F(InputTest, AFullQueueLiftsHeldEntriesWhoseReleaseWasLost) {
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
    pushKey(SDLK_d, true);
    pushMouseButton(SDL_BUTTON_LEFT, true);  // SDL's own button state has it up
    inputFrame();
    inputFrame();
    ASSERT_EQ(inputState.keys[SDLK_d], KeyState::Held);
    SDL_GetKeyState(nullptr)[SDLK_d] = row.stillDownInSdl ? 1 : 0;
    if (row.fullQueue) {
      pushKey(SDLK_a, true);  // a press within the flood whose release is lost
      SDL_Event motion{};
      motion.type = SDL_MOUSEMOTION;
      int pushed = 0;
      while (SDL_PushEvent(&motion) == 0) ++pushed;
      EXPECT_GE(pushed, SDL_QUEUE_LIMIT - 2) << row.name;
    }
    inputFrame();
    EXPECT_EQ(inputEventsLost, row.fullQueue) << row.name;
    if (row.fullQueue) {
      EXPECT_EQ(inputState.keys[SDLK_a], KeyState::Pressed) << row.name << ": seen in its frame";
    }
    inputFrame();
    EXPECT_EQ(inputState.keys[SDLK_d], row.expected) << row.name;
    EXPECT_EQ(inputState.mouseButtons[SDL_BUTTON_LEFT],
              row.fullQueue ? KeyState::Up : KeyState::Held) << row.name << ": the left button";
    if (row.fullQueue) {
      EXPECT_EQ(inputState.keys[SDLK_a], KeyState::Up) << row.name << ": lifted once aged";
    }
    SDL_GetKeyState(nullptr)[SDLK_d] = 0;
  }
}

}  // namespace
