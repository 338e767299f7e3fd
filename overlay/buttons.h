// overlay/buttons.h -- the overlay's two menu buttons, "Resume game" and "Exit", sliding with
// the fade. The overlay driver calls updateOverlayButtons in every frame the overlay is visible,
// after the backdrop and before the clock bands and the cursor.
#pragma once

// Centre lines at overlayFade 0 (below the screen) and 100 (in place), screen pixels.
constexpr int RESUME_BUTTON_Y_AWAY = 595;
constexpr int RESUME_BUTTON_Y_SHOWN = 115;
constexpr int EXIT_BUTTON_Y_AWAY = 645;
constexpr int EXIT_BUTTON_Y_SHOWN = 165;

// The centre line of a button at `fade` (0.0..100.0): (100 - fade) / 100 * yAway +
// fade / 100 * yShown in double precision, cut toward zero (560.6 gives 560).
int overlayButtonY(double fade, int yAway, int yShown);

// Draws both buttons at their heights for overlayFade; "Resume game" clears overlayOpen and
// "Exit" sets quitRequested when clicked. Neither does more in this frame.
void updateOverlayButtons();
