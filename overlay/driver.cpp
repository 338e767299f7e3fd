// overlay/driver.cpp -- the pause overlay's state machine and per-frame drawing order.
#include "overlay/driver.h"

double overlayFade;
uint8_t overlayOpen;
const std::tm* overlayLocalTime;

void updateOverlay() {}
