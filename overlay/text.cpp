// overlay/text.cpp -- one line of text from the fixed-pitch glyph sheet, one blit a character.
#include "overlay/text.h"

#include "app/screen.h"
#include "overlay/images.h"

#include <SDL.h>

#include <cstring>

namespace {

constexpr unsigned char FIRST_GLYPH_CODE = 32;  // the blank, cell 0
constexpr unsigned char LAST_GLYPH_CODE = 126;  // "~", cell 94
constexpr int BLANK_GLYPH = 0;

// Left edge of the first character for a text of `length` bytes.
int textStartX(int x, int length, TextAlign align) {
  if (align == TextAlign::Centre) return x - (GLYPH_ADVANCE * length) / 2;
  if (align == TextAlign::Right) return x - GLYPH_ADVANCE * length;
  return x;
}

}  // namespace

int glyphIndex(unsigned char c) {
  if (c < FIRST_GLYPH_CODE || c > LAST_GLYPH_CODE) return BLANK_GLYPH;
  return c - FIRST_GLYPH_CODE;
}

void drawText(int x, int y, const char* text, TextAlign align) {
  SDL_Surface* font = overlayMedia.fontSurface;
  if (font == nullptr || Screen == nullptr) return;
  const int length = int(std::strlen(text));
  // A glyph wholly off the screen draws nothing; skipping it also keeps far-away positions out
  // of SDL_Rect's 16-bit coordinates.
  if (y <= -GLYPH_CELL_HEIGHT || y >= Screen->h) return;
  const int startX = textStartX(x, length, align);
  for (int i = 0; i < length; ++i) {
    const int glyphX = startX + GLYPH_ADVANCE * i;
    if (glyphX <= -GLYPH_CELL_WIDTH) continue;
    if (glyphX >= Screen->w) break;
    const int cellX = GLYPH_CELL_WIDTH * glyphIndex(static_cast<unsigned char>(text[i]));
    SDL_Rect cell{Sint16(cellX), 0, GLYPH_CELL_WIDTH, GLYPH_CELL_HEIGHT};
    drawImage(font, &cell, glyphX, y);
  }
}
