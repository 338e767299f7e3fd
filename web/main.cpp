// web/main.cpp -- the browser's entry: start up as on the desktop, then let the browser call the
// frame on every animation tick and run it when the frame's time has come.
//
// A browser page must not block: SDL_Delay aborts on its main thread. So instead of sleeping
// out a frame, the page asks for a call on every display refresh (requestAnimationFrame) and the
// tick gate below runs the next frame once the last one's budget has passed: 33 ms after a game
// frame, 16 ms after an overlay frame, as the desktop's wait does.
#include "app/frame.h"
#include "app/screen.h"
#include "app/startup.h"
#include "overlay/driver.h"
#include "web/saved.h"
#include "web/surfaces.h"

#include <SDL_mixer.h>
#include <emscripten.h>

#include <cstdint>
#include <cstdlib>

namespace {

// A display refresh comes every 16.7 ms at 60 Hz, a little early or late: a frame whose wait
// would be this short already runs, so that two refreshes make one 33 ms game frame.
constexpr uint32_t TICK_SLACK_MS = 2;

// Measured for the page (zaraz_web_* below): when the first frame ended, and the spacing of
// game frames that directly follow game frames.
struct FramePacing {
  double firstFrameEnd;  // ms since the page began loading; 0 before the first frame
  double lastGameFrameStart;
  bool lastFrameWasGame;
  int gameFrames;
  double gameFrameSpacingSum;  // ms
};

bool frameStarted;
uint32_t lastFrameStart;
FramePacing pacing;

void notePacing(bool gameFrame, double start) {
  if (gameFrame && pacing.lastFrameWasGame) {
    ++pacing.gameFrames;
    pacing.gameFrameSpacingSum += start - pacing.lastGameFrameStart;
  }
  if (gameFrame) pacing.lastGameFrameStart = start;
  pacing.lastFrameWasGame = gameFrame;
  if (pacing.firstFrameEnd == 0.0) pacing.firstFrameEnd = emscripten_get_now();
}

// The game is over ("Exit"): no more frames, no more music, and the page says so.
void endGame() {
  emscripten_cancel_main_loop();
  Mix_HaltMusic();
  EM_ASM({
    if (Module.onGameEnded) Module.onGameEnded();
  });
}

void onAnimationTick() {
  const int budget = frameBudgetMs(overlayFade);
  if (frameStarted && frameWaitMs(lastFrameStart, SDL_GetTicks(), budget) > TICK_SLACK_MS) return;
  const bool gameFrame = overlayFade == 0.0;
  const double start = emscripten_get_now();
  lastFrameStart = runFrame();
  frameStarted = true;
  notePacing(gameFrame, start);
  keepRecordIfStored();
  if (quitRequested) endGame();
}

}  // namespace

// Queries for the page (and its browser test): the load time and the game's pace as played.
extern "C" {
EMSCRIPTEN_KEEPALIVE double zaraz_web_first_frame_ms() { return pacing.firstFrameEnd; }
EMSCRIPTEN_KEEPALIVE int zaraz_web_game_frames() { return pacing.gameFrames; }
EMSCRIPTEN_KEEPALIVE double zaraz_web_mean_game_frame_ms() {
  return pacing.gameFrames > 0 ? pacing.gameFrameSpacingSum / pacing.gameFrames : 0.0;
}
EMSCRIPTEN_KEEPALIVE void zaraz_web_restart_pacing() {
  pacing.gameFrames = 0;
  pacing.gameFrameSpacingSum = 0.0;
  pacing.lastFrameWasGame = false;
}
}

int main() {
  // Start-up wants a display, named by DISPLAY or by a driver: the page's canvas is Emscripten's.
  setenv("SDL_VIDEODRIVER", "emscripten", 0);
  restoreSavedRecord();
  if (!startUp()) {
    // Start-up has said why on stderr, which the page sends to the browser's console.
    EM_ASM({
      if (Module.onGameFailed) Module.onGameFailed();
    });
    return 1;
  }
  fixChannelShifts(Screen->format);
  // 0 frames a second: called on every display refresh; the gate above keeps the game's pace.
  emscripten_set_main_loop(onAnimationTick, 0, 1);
  return 0;
}
