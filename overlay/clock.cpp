// overlay/clock.cpp -- the date, clock and credit bands.
#include "overlay/clock.h"

void drawClock() {}
