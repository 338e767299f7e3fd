// overlay/clock.h -- the overlay's two bands: the date in words and a 12-hour clock sliding down
// from the top, a credit line sliding up from the bottom.
//
// The overlay driver calls drawClock in every frame the overlay is visible, after refreshing
// overlayLocalTime and after the buttons.
#pragma once

void drawClock();
