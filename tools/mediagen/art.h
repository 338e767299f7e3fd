// tools/mediagen/art.h -- the artwork of every image the game reads, drawn in code.
//
// images.cpp calls each of these once and writes the result; the layouts (sizes, cells, where
// the picture shows through) are the ones the game's loaders and drawers expect, and the
// comments give the screen positions each piece is designed for.
#pragma once

#include "canvas.h"

namespace art {

// A two-tone sprite: `solid` row-major, width * height, 1 solid and 0 empty.
struct Sprite {
  int width;
  int height;
  std::vector<uint8_t> solid;
};

// The player's fighter, 24 by 12 cells (drawn 3 pixels a cell), nose to the right.
Sprite shipSprite();
// The homing mine, 14 by 14 cells.
Sprite enemySprite();

// Font.png: 95 cells of 15 by 21 in one row, character 32 + i in cell i, for an 11-pixel
// advance. False, with a message, when the font file cannot be read.
bool drawFontSheet(Canvas& sheet);

// textbacking1.png, drawn at (2, 27) behind the best-score and score lines (text from x 20 at
// y 30 and 50, up to 23 characters).
Canvas drawScoreBacking();
// textbacking2.png, drawn at (288, 430) behind the health line that ends at x 620, y 432.
Canvas drawHealthBacking();
// Button.png: two rows (normal, highlighted) of nine 21 by 21 tiles: four corners, bottom,
// right, top and left edges, fill.
Canvas drawButtonSheet();
// Border.png: 640 by 480, keyed; the slim frame drawn over every frame.
Canvas drawScreenFrame();
// TopBottomBorder.png: 640 wide, keyed; drawn at y -70 (its rows from 70 down show as the top
// band) and at y 419 (its rows 0 to 60 show as the bottom band), each up to 60 pixels further
// out while it slides in.
Canvas drawBandSheet();
// Cursor.png: 384 by 96, the aiming reticle in the cell at x 288, centred on pixel (48, 48).
Canvas drawCursorSheet();
// The 64 by 64 desktop icon.
Canvas drawIcon();

}  // namespace art
