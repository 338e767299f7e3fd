// overlay/buttons.h -- the overlay's two menu buttons, "Resume game" and "Exit", sliding with
// the fade. The overlay driver calls updateOverlayButtons in every frame the overlay is visible.
#pragma once

// Draws both buttons at their heights for overlayFade; "Resume game" clears overlayOpen and
// "Exit" sets quitRequested when clicked.
void updateOverlayButtons();
