// overlay/driver.cpp -- the pause overlay's state machine and its per-frame drawing order.
#include "overlay/driver.h"

#include "app/input.h"
#include "overlay/backdrop.h"
#include "overlay/buttons.h"
#include "overlay/clock.h"
#include "overlay/images.h"
#include "overlay/widgets.h"
#include "platform/clock.h"

#include <SDL.h>

#include <algorithm>

double overlayFade;
uint8_t overlayOpen;
const std::tm* overlayLocalTime;

namespace {
constexpr double FADE_STEP_PARTS = 15.0;  // each step covers a fifteenth of the remaining way
constexpr double FADE_NUDGE = 0.5;        // plus half a unit, so the fade arrives exactly
}  // namespace

double stepOverlayFade(double fade, uint8_t open) {
  const double kept = fade * (FADE_STEP_PARTS - 1);
  if (open) return std::min(FADE_FULL, (kept + FADE_FULL) / FADE_STEP_PARTS + FADE_NUDGE);
  return std::max(FADE_AWAY, (kept + FADE_AWAY) / FADE_STEP_PARTS - FADE_NUDGE);
}

void updateOverlay() {
  // Escape toggles. Leaving Away captures this frame's game picture; reopening while closing
  // keeps the earlier backdrop, since the game has not run in between.
  if (inputState.keys[SDLK_ESCAPE] == KeyState::Pressed) {
    overlayOpen = overlayOpen ? 0 : 1;
    if (overlayOpen && overlayFade == FADE_AWAY) capturePauseBackdrop();
  }

  drawPauseBackdrop();
  overlayFade = stepOverlayFade(overlayFade, overlayOpen);

  if (overlayFade != FADE_AWAY) {
    overlayLocalTime = localTimeOf(currentCalendarTime());
    updateOverlayButtons();
    drawClock();
  }

  drawCursor();
  drawKeyedImage(overlayMedia.borderSurface, overlayMedia.borderRuns, 0, 0);
}
