// tests/app/frame_test.cpp -- the frame loop: the game step and the health test only at fade
// exactly 0.0, the music's pause and resume, the quit drain, and the pacing arithmetic.
#include "app/frame.h"
#include "app/startup.h"
#include "game/reset.h"
#include "game/state.h"
#include "overlay/driver.h"
#include "support/test_screen.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    openTestScreen(32);
    std::srand(1);
    framesPerSecond = 30;
    resetGame();
  }
  void TearDown() override { closeTestScreen(); }
  const ScopedWorkingDir scratch;
};

TEST_F(FrameTest, GameStepAndHealthTestOnlyAtFadeExactlyZero) {
  // The first game step spawns an enemy (the spawn timer starts at 0): that is the step's mark.
  overlayFade = 1e-9;  // closing, the last sliver of the overlay
  health = 0.0;
  runFrame();
  EXPECT_EQ(enemyCount, 0) << "an overlay frame ran the game step";
  EXPECT_EQ(health, 0.0) << "an overlay frame reset the game";
  EXPECT_EQ(overlayFade, 0.0) << "the closing fade should have come to rest";
  runFrame();
  EXPECT_EQ(health, 250.0) << "a game step that ends at 0 health must reset the game";
  health = 0.01;
  runFrame();
  EXPECT_GT(health, 0.0);
  EXPECT_LT(health, 250.0);
}

TEST_F(FrameTest, EscapeInAGameFramePausesTheMusicAndTheNextGameFrameResumesIt) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
  if (Mix_OpenAudio(0, 0, 0, 0) != 0) GTEST_SKIP() << "no audio device: " << Mix_GetError();
  Mix_Music* music = Mix_LoadMUS((sourceDir() + "/Media/Game/SlowDown.ogg").c_str());
  ASSERT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
  pushKey(SDLK_ESCAPE, true);
  runFrame();  // a game frame: the step runs, then the music pauses, then the overlay opens
  EXPECT_EQ(Mix_PausedMusic(), 1);
  while (overlayFade != 0.0 || overlayOpen) {
    if (overlayFade == 100.0) pushKey(SDLK_ESCAPE, true);  // close it again
    runFrame();
    if (overlayFade != 0.0) {
      EXPECT_EQ(Mix_PausedMusic(), 1) << "overlay frames leave the music";
    }
  }
  runFrame();
  EXPECT_EQ(Mix_PausedMusic(), 0) << "the first game frame after the overlay resumes the music";
  Mix_FreeMusic(music);
  Mix_CloseAudio();
}

TEST_F(FrameTest, QuitAmongQueuedEventsEndsTheLoopAfterThatFrameWhateverTheOverlayShows) {
  for (double fade : {0.0, 50.0}) {
    quitRequested = 0;
    overlayFade = fade;
    overlayOpen = fade > 0.0;
    pushKey(SDLK_d, true);
    for (Uint8 type : {SDL_MOUSEMOTION, SDL_QUIT, SDL_ACTIVEEVENT}) pushEvent(type);
    runFrame();
    EXPECT_EQ(quitRequested, 1) << "fade " << fade;
    SDL_Event event;
    EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS), 0)
        << "the drain must leave the queue empty";
  }
  // runFrameLoop tests the flag before every frame, the first included.
  runFrameLoop();
}

TEST(FramePacing, BudgetAndWaitArithmetic) {
  framesPerSecond = 30;
  EXPECT_EQ(frameBudgetMs(0.0), 33) << "1000 / 30 in whole milliseconds";
  EXPECT_EQ(frameBudgetMs(1e-12), 16) << "any fade at all makes an overlay frame";
  EXPECT_EQ(frameBudgetMs(100.0), 16);

  const struct {
    const char* name;
    uint32_t start, now;
    int budget;
    uint32_t wait;
  } rows[] = {
      {"a quick frame waits out its budget", 1000, 1010, 33, 23},
      {"a frame that took no time waits the whole budget", 1000, 1000, 33, 33},
      {"a frame at its budget does not wait", 1000, 1033, 33, 0},
      {"a late frame does not wait and makes nothing up", 1000, 1500, 33, 0},
      {"the tick counter wrapping during the frame", 0xFFFFFFF0u, 5, 33, 12},
      {"a clock reading behind the start never waits for ever", 1000, 990, 16, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(frameWaitMs(row.start, row.now, row.budget), row.wait) << row.name;
  }
}

}  // namespace
