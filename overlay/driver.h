// overlay/driver.h -- the pause overlay's state and its one per-frame entry point.
//
// The frame loop calls updateOverlay once in every frame, after the game step and the music,
// before SDL_Flip. Only this driver writes overlayFade; overlayOpen is also cleared by the
// "Resume game" button.
#pragma once

#include <cstdint>
#include <ctime>

// 0.0 fully away (the game runs) to 100.0 fully shown; reaches both ends exactly.
extern double overlayFade;
// 1 while the overlay is wanted up (opening or shown), 0 while wanted away.
extern uint8_t overlayOpen;
// The local time of this frame, refreshed in every visible frame; null before the first one, or
// when the time could not be converted (the date and time lines are then left out).
extern const std::tm* overlayLocalTime;

// Escape toggle (capturing the backdrop when leaving Away), backdrop, fade step, then while
// visible the buttons and clock bands; in every frame the cursor and the border, last.
void updateOverlay();
