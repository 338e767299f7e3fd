// tools/mediagen/font.cpp -- the glyph sheet: DejaVu Sans Mono Bold rasterised by FreeType,
// white with a black outline so the text reads over white rock and black cave alike.
#include "art.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace art {

namespace {

constexpr const char* FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
constexpr int FONT_PIXEL_SIZE = 15;  // em height; its advance rounds to 9 of the 11 pixels
constexpr int FIRST_CODE = 32;
constexpr int SHEET_CELLS = 95;
constexpr int CELL_WIDTH = 15;
constexpr int CELL_HEIGHT = 21;
constexpr int ADVANCE = 11;     // the text drawer's fixed step
constexpr int BASELINE = 16;    // row of the cell on which the letters stand
constexpr int OUTLINE = 1;      // pixels of black around every white pixel
constexpr float SHADOW_OPACITY = 0.45f;  // the soft second ring below and right of the outline
constexpr int BITS_PER_BYTE = 8;
constexpr int TOP_BIT = 0x80;

// Coverage 0..1 of the glyph's ink over one cell, row-major.
using CellMask = std::vector<float>;

float& maskAt(CellMask& mask, int x, int y) { return mask[size_t(y * CELL_WIDTH + x)]; }
float maskAt(const CellMask& mask, int x, int y) {
  if (x < 0 || y < 0 || x >= CELL_WIDTH || y >= CELL_HEIGHT) return 0;
  return mask[size_t(y * CELL_WIDTH + x)];
}

// Renders one character into a cell mask. The pen starts where the font's own advance box sits
// centred in the 11-pixel step. False, with a message, when the ink would leave no room for the
// outline inside the cell.
bool renderGlyph(FT_Face face, int code, int penX, CellMask& mask) {
  constexpr FT_Int32 LOAD_FLAGS = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT;
  if (FT_Load_Char(face, FT_ULong(code), LOAD_FLAGS) != 0) {
    std::fprintf(stderr, "zaraz-mediagen: the font has no glyph for %d\n", code);
    return false;
  }
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  const int left = penX + slot->bitmap_left;
  const int top = BASELINE - slot->bitmap_top;
  for (int row = 0; row < int(bitmap.rows); ++row) {
    for (int column = 0; column < int(bitmap.width); ++column) {
      const uint8_t byte = bitmap.buffer[row * bitmap.pitch + column / BITS_PER_BYTE];
      if ((byte & (TOP_BIT >> (column % BITS_PER_BYTE))) == 0) continue;
      const int x = left + column;
      const int y = top + row;
      if (x < OUTLINE || y < OUTLINE || x >= CELL_WIDTH - OUTLINE ||
          y >= CELL_HEIGHT - OUTLINE) {
        std::fprintf(stderr, "zaraz-mediagen: glyph %c leaves its cell at (%d, %d)\n", code, x,
                     y);
        return false;
      }
      maskAt(mask, x, y) = 1;
    }
  }
  return true;
}

// Capital M in two-pixel stems comes out of the hinter as an H with a notch; this one is drawn
// by hand on the same stems as H (columns 2 to 8, rows 4 to 15 stand on the baseline).
constexpr int HAND_M_LEFT = 2;
constexpr int HAND_M_TOP = BASELINE - 12;
constexpr std::array<std::string_view, 12> HAND_M = {
    "##...##", "###.###", "#######", "##.#.##", "##.#.##", "##...##",
    "##...##", "##...##", "##...##", "##...##", "##...##", "##...##",
};

void drawHandM(CellMask& mask) {
  std::fill(mask.begin(), mask.end(), 0.0f);
  for (size_t row = 0; row < HAND_M.size(); ++row) {
    for (size_t column = 0; column < HAND_M[row].size(); ++column) {
      if (HAND_M[row][column] == '#') {
        maskAt(mask, HAND_M_LEFT + int(column), HAND_M_TOP + int(row)) = 1;
      }
    }
  }
}

// The largest coverage within `radius` pixels (a square neighbourhood), shifted by (dx, dy).
float dilated(const CellMask& mask, int x, int y, int radius, int dx, int dy) {
  float largest = 0;
  for (int j = -radius; j <= radius; ++j) {
    for (int i = -radius; i <= radius; ++i) {
      largest = std::max(largest, maskAt(mask, x + i - dx, y + j - dy));
    }
  }
  return largest;
}

// Paints one cell of the sheet at cellX: shadow, outline, then the white ink.
void paintGlyph(Canvas& sheet, int cellX, const CellMask& mask) {
  for (int y = 0; y < CELL_HEIGHT; ++y) {
    for (int x = 0; x < CELL_WIDTH; ++x) {
      paintPixel(sheet, cellX + x, y, Tone::Black,
                 SHADOW_OPACITY * dilated(mask, x, y, OUTLINE, OUTLINE, OUTLINE));
      paintPixel(sheet, cellX + x, y, Tone::Black, dilated(mask, x, y, OUTLINE, 0, 0));
      paintPixel(sheet, cellX + x, y, Tone::White, maskAt(mask, x, y));
    }
  }
}

}  // namespace

bool drawFontSheet(Canvas& sheet) {
  sheet = makeCanvas(SHEET_CELLS * CELL_WIDTH, CELL_HEIGHT);
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, FONT_FILE, 0, &face) != 0 ||
      FT_Set_Pixel_Sizes(face, 0, FONT_PIXEL_SIZE) != 0) {
    std::fprintf(stderr, "zaraz-mediagen: cannot open the font %s (package fonts-dejavu-core)\n",
                 FONT_FILE);
    if (library != nullptr) FT_Done_FreeType(library);
    return false;
  }
  constexpr int FIXED_POINT_SHIFT = 6;  // FreeType's 26.6 pixel units
  const int fontAdvance = int(face->size->metrics.max_advance >> FIXED_POINT_SHIFT);
  const int penX = (ADVANCE - fontAdvance) / 2;
  bool drawn = true;
  // Cell 0, the blank, stays empty.
  for (int cell = 1; cell < SHEET_CELLS && drawn; ++cell) {
    CellMask mask(size_t(CELL_WIDTH * CELL_HEIGHT), 0.0f);
    drawn = renderGlyph(face, FIRST_CODE + cell, penX, mask);
    if (FIRST_CODE + cell == 'M') drawHandM(mask);
    if (drawn) paintGlyph(sheet, cell * CELL_WIDTH, mask);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return drawn;
}

}  // namespace art
