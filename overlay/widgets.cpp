// overlay/widgets.cpp -- the pointer and the menu button.
#include "overlay/widgets.h"

void drawCursor() {}
void drawButtonFrame(int, int, uint8_t) {}
bool menuButton(int, const char*) { return false; }
