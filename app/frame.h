// app/frame.h -- the one frame loop: input, game step, overlay, present, drain, wait.
//
// main() calls runFrameLoop after start-up. Tests call runFrame to run one real frame without
// its wait, and check the pacing arithmetic through frameBudgetMs and frameWaitMs.
#pragma once

#include <cstdint>

// Set by a quit event or the "Exit" button; never cleared. The loop ends after that frame.
extern uint8_t quitRequested;

constexpr int OVERLAY_FRAME_BUDGET_MS = 16;

// Everything one frame does but the wait: tick, pump, input, the game step while the overlay
// is fully away (with the health test and the music pause/resume), the overlay driver, the
// flip and the drain of SDL's queue. Returns the SDL_GetTicks reading taken at the frame's start.
uint32_t runFrame();

// The frame's budget in milliseconds, chosen by the fade after the overlay driver has run:
// 1000 / framesPerSecond (integer division) when the fade is exactly 0.0, else 16.
int frameBudgetMs(double fadeAfterOverlay);

// How long to sleep for a frame that started at `frameStart` when the clock reads `now`, with
// `budget` ms in all. Ticks wrap at 2^32 and are compared as a signed difference; a frame that
// has used up its budget (or whose clock went backwards past it) waits 0, never a huge length.
uint32_t frameWaitMs(uint32_t frameStart, uint32_t now, int budget);

// Sleeps out the rest of the frame with SDL_Delay; never busy-waits.
void paceFrame(uint32_t frameStart);

// Runs frames until quitRequested is set.
void runFrameLoop();
