// app/frame.cpp -- one frame of the program, and the loop that paces them.
#include "app/frame.h"

#include "app/input.h"
#include "app/screen.h"
#include "app/startup.h"
#include "game/reset.h"
#include "game/state.h"
#include "game/update.h"
#include "overlay/driver.h"

#include <SDL.h>
#include <SDL_mixer.h>

uint8_t quitRequested;

uint32_t runFrame() {
  const uint32_t frameStart = SDL_GetTicks();

  // Input: key and button events are taken here; quit and motion stay for the drain below.
  SDL_PumpEvents();
  updateInput();

  // The game runs only while the overlay is fully away; the exact comparison is the rule.
  if (overlayFade == 0.0) {
    updateGame();
    // The frame in which health runs out still shows the old game's last picture.
    if (!(health > 0.0)) resetGame();
    // The Escape press that opens the overlay pauses the music after this frame's step; the
    // first game frame after the overlay has gone resumes it.
    if (inputState.keys[SDLK_ESCAPE] == KeyState::Pressed)
      Mix_PauseMusic();
    else if (Mix_PausedMusic())
      Mix_ResumeMusic();
  }

  updateOverlay();

  SDL_Flip(Screen);

  // Drain: every event left in the queue is taken now, so the queue never fills up.
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0)
    if (event.type == SDL_QUIT) quitRequested = 1;
  return frameStart;
}

int frameBudgetMs(double fadeAfterOverlay) {
  return fadeAfterOverlay == 0.0 ? 1000 / framesPerSecond : OVERLAY_FRAME_BUDGET_MS;
}

uint32_t frameWaitMs(uint32_t frameStart, uint32_t now, int budget) {
  const int32_t elapsed = int32_t(now - frameStart);
  if (elapsed < 0 || elapsed >= budget) return 0;
  return uint32_t(budget - elapsed);
}

void paceFrame(uint32_t frameStart) {
  const int budget = frameBudgetMs(overlayFade);
  const uint32_t wait = frameWaitMs(frameStart, SDL_GetTicks(), budget);
  if (wait > 0) SDL_Delay(wait);
}

void runFrameLoop() {
  while (!quitRequested) paceFrame(runFrame());
}
