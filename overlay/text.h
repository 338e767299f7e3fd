// overlay/text.h -- one line of text in the fixed-pitch bitmap font, the one way text reaches
// the screen (HUD, button labels, clock bands).
//
// Callable at any point of a frame once loadOverlayMedia has run; draws onto Screen.
#pragma once

#include <cstdint>

constexpr int GLYPH_ADVANCE = 11;  // pixels from one character's left edge to the next

enum class TextAlign : int32_t { Left = 1, Centre = 2, Right = 3 };

// Cell of Font.png for byte `c`: c - 32 for printable ASCII (32..126), else 0 (the blank).
int glyphIndex(unsigned char c);

// Draws `text` (zero-ended, one byte a character) with its top edge at y. Left starts at x,
// Centre at x - (11 n) / 2 (truncated), Right at x - 11 n, for n bytes. Each glyph blends over
// what is below; SDL clips at the screen's edges. A null font draws nothing.
void drawText(int x, int y, const char* text, TextAlign align);
