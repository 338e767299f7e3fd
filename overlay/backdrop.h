// overlay/backdrop.h -- the pause backdrop: a snapshot of the game picture, blurred and
// lightened once when the overlay opens, and blended in by the fade every overlay frame.
//
// The overlay driver calls capturePauseBackdrop only in the frame that leaves Away, and
// drawPauseBackdrop in every frame, before it steps the fade.
#pragma once

#include <cstdint>

constexpr int BACKDROP_BYTES = 640 * 480 * 3;

// Colour pictures of 640 by 480, red, green and blue bytes column after column: pixel (x, y) at
// (x * 480 + y) * 3. After a capture: the processed picture, and the unprocessed snapshot.
extern uint8_t backdropPixels[BACKDROP_BYTES];
extern uint8_t snapshotPixels[BACKDROP_BYTES];

// Copies Screen, blurs (six passes) and lightens it into backdropPixels and backdropSurface, and
// keeps the unprocessed snapshot in snapshotPixels. Without both work surfaces it does nothing.
void capturePauseBackdrop();

// Nothing at fade 0.0; the processed picture blitted at exactly 100.0; otherwise the blend of
// snapshot and processed picture weighted by the whole part of the fade.
void drawPauseBackdrop();
