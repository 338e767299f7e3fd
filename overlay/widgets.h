// overlay/widgets.h -- the immediate-mode widgets: the pointer and the menu button. Each call
// draws the widget for this frame and answers from inputState; nothing is kept between frames.
#pragma once

#include <cstdint>

// The pointer image centred on (mouseX, mouseY). The overlay driver calls it in every frame,
// after the buttons and clock and before the border.
void drawCursor();

// The framed bar of a menu button around an inner bar of 300 by 15 pixels whose top-left corner
// is (x, y), in screen pixels; row 0 is the normal look, 1 the highlighted one.
void drawButtonFrame(int x, int y, uint8_t row);

// A menu button centred horizontally with its centre line at y: hover test (x 157..482, y - 20..
// y + 20), frame, centred label. Returns true when the left button was Pressed over it this frame.
bool menuButton(int y, const char* label);
