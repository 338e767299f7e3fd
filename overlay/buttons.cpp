// overlay/buttons.cpp -- "Resume game" and "Exit", sliding up from below the screen with the fade.
#include "overlay/buttons.h"

#include "app/frame.h"
#include "overlay/driver.h"
#include "overlay/widgets.h"

int overlayButtonY(double fade, int yAway, int yShown) {
  return int((FADE_FULL - fade) / FADE_FULL * yAway + fade / FADE_FULL * yShown);
}

void updateOverlayButtons() {
  const double fade = overlayFade;
  // The click takes effect from the next frame: this frame's fade has already been stepped.
  if (menuButton(overlayButtonY(fade, RESUME_BUTTON_Y_AWAY, RESUME_BUTTON_Y_SHOWN), "Resume game"))
    overlayOpen = 0;
  if (menuButton(overlayButtonY(fade, EXIT_BUTTON_Y_AWAY, EXIT_BUTTON_Y_SHOWN), "Exit"))
    quitRequested = 1;
}
