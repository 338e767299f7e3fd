// tests/overlay/test_font.h -- a glyph sheet for tests, in which every cell says which it is:
// an opaque stripe of its own colour down its first column and another down its last, and
// nothing elsewhere. A glyph drawn at (x, y) thus shows its cell's mark at x and its edge at
// x + 14, on rows y to y + 20, and leaves every other pixel as it was.
#pragma once

#include "app/screen.h"
#include "overlay/images.h"
#include "platform/pixels.h"

#include <SDL.h>

#include <cstdint>

constexpr uint8_t FONT_MARK_GREEN = 100, FONT_MARK_BLUE = 7;
constexpr uint8_t FONT_EDGE_GREEN = 150, FONT_EDGE_BLUE = 9;
constexpr int NO_GLYPH = -1;

// Red is the cell number plus one, so that no mark is black.
inline uint32_t fontMarkRgb(int cell) {
  return uint32_t(cell + 1) << 16 | uint32_t(FONT_MARK_GREEN) << 8 | FONT_MARK_BLUE;
}
inline uint32_t fontEdgeRgb(int cell) {
  return uint32_t(cell + 1) << 16 | uint32_t(FONT_EDGE_GREEN) << 8 | FONT_EDGE_BLUE;
}

// Makes the sheet, sets it as overlayMedia's font and fills glyphRects as the loader does.
// Needs an open 32-bit test screen. Returns the sheet, which the caller frees.
inline SDL_Surface* installTestFont() {
  SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SRCALPHA, GLYPH_COUNT * GLYPH_CELL_WIDTH,
                                            GLYPH_CELL_HEIGHT, 32, 0x00FF0000, 0x0000FF00,
                                            0x000000FF, 0xFF000000);
  const uint32_t opaque = 0xFF000000;
  for (int cell = 0; cell < GLYPH_COUNT; ++cell) {
    for (int y = 0; y < GLYPH_CELL_HEIGHT; ++y) {
      for (int x = 0; x < GLYPH_CELL_WIDTH; ++x) {
        uint32_t value = 0;
        if (x == 0) value = opaque | fontMarkRgb(cell);
        if (x == GLYPH_CELL_WIDTH - 1) value = opaque | fontEdgeRgb(cell);
        writePixel(sheet, GLYPH_CELL_WIDTH * cell + x, y, value);
      }
    }
  }
  overlayMedia.fontSurface = sheet;
  for (int cell = 0; cell < GLYPH_COUNT; ++cell) {
    overlayMedia.glyphRects[cell] = {Sint16(GLYPH_CELL_WIDTH * cell), 0, GLYPH_CELL_WIDTH,
                                     GLYPH_CELL_HEIGHT};
  }
  return sheet;
}

// The cell whose mark has the colour `rgb` (0xRRGGBB), or NO_GLYPH.
inline int glyphMarkAt(uint32_t rgb) {
  if ((rgb & 0xFFFF) != (uint32_t(FONT_MARK_GREEN) << 8 | FONT_MARK_BLUE)) return NO_GLYPH;
  return int(rgb >> 16) - 1;
}
