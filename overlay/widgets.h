// overlay/widgets.h -- the immediate-mode widgets: the pointer and the menu button. Each call
// draws the widget for this frame and answers from inputState; nothing is kept between frames.
#pragma once

#include <cstdint>

// The 96 by 96 pointer cell of Cursor.png with its top-left corner at (mouseX - 48,
// mouseY - 48), blended by its alpha and clipped by SDL. The overlay driver calls it in every
// frame, after the buttons and clock and before the border.
void drawCursor();

// The framed bar of a menu button around an inner bar of 300 by 15 pixels whose top-left corner
// is (x, y), in screen pixels; the frame covers (x - 21, y - 21) to (x + 320, y + 35). Row 0 of
// Button.png is the normal look, 1 the highlighted one; larger values draw row 1. Only
// menuButton calls it.
void drawButtonFrame(int x, int y, uint8_t row);

// A menu button centred horizontally with its centre line at y (screen pixels): hover test
// (pointer x 157..482, y - 20..y + 20), frame at (170, y - 7) highlighted while hovering, label
// centred on x 320 with its top at y - 10. Returns true when the left button went down (Pressed)
// over it this frame. Missing images leave it undrawn but it still answers.
bool menuButton(int y, const char* label);
