// overlay/driver.h -- the pause overlay's state and its one per-frame entry point.
//
// The frame loop calls updateOverlay once in every frame, after the game step and the music,
// before SDL_Flip. Only this driver writes overlayFade; overlayOpen is also cleared by the
// "Resume game" button.
#pragma once

#include <cstdint>
#include <ctime>

// The ends of overlayFade: the overlay fully away, and fully shown.
constexpr double FADE_AWAY = 0.0;
constexpr double FADE_FULL = 100.0;

// 0.0 fully away (the game runs) to 100.0 fully shown; reaches both ends exactly and never
// leaves them. Readers compare it for equality with 0.0 and 100.0.
extern double overlayFade;
// 1 while the overlay is wanted up (opening or shown), 0 while wanted away.
extern uint8_t overlayOpen;
// The local time of this frame, refreshed in every visible frame; null before the first one, or
// when the time could not be converted (the date and time lines are then left out). Points into
// a record that the platform layer overwrites on every conversion.
extern const std::tm* overlayLocalTime;

// One step of the fade towards 100.0 (open) or 0.0 (closed): a fifteenth of the remaining way
// plus half a unit, clamped at the goal, in double precision. 39 steps from one end to the other.
double stepOverlayFade(double fade, uint8_t open);

// In this order: Escape toggle (capturing the backdrop when leaving Away), backdrop at the
// fade before the step, fade step, then while visible the local time, the buttons and the clock
// bands at the fade after it; in every frame the cursor and, last, the border.
void updateOverlay();
