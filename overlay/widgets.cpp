// overlay/widgets.cpp -- the pointer and the menu button, immediate mode: each call decides from
// this frame's input and draws, keeping nothing for the next frame.
#include "overlay/widgets.h"

#include "app/input.h"
#include "app/screen.h"
#include "overlay/images.h"
#include "overlay/text.h"

#include <SDL.h>

namespace {

constexpr int CURSOR_HOT_SPOT = CURSOR_CELL_SIZE / 2;  // the cell's centre sits on the pointer

// The frame around a button's inner bar of 300 by 15 pixels: fourteen whole 21-pixel tiles and
// a 6-pixel piece across, one 15-pixel strip of the edge and fill tiles down.
constexpr int TILE = BUTTON_TILE_SIZE;
constexpr int BAR_WIDTH = 300;
constexpr int BAR_HEIGHT = 15;
constexpr int WHOLE_TILES_ACROSS = BAR_WIDTH / TILE;  // 14
constexpr int PIECE_WIDTH = BAR_WIDTH - WHOLE_TILES_ACROSS * TILE;  // 6

// The nine columns of Button.png, left to right; each row of the sheet holds one look.
enum ButtonPiece : int {
  TopLeftCorner, BottomLeftCorner, TopRightCorner, BottomRightCorner,
  BottomEdge, RightEdge, TopEdge, LeftEdge, Fill
};

// Every button has the same place across the screen and the same size.
constexpr int BUTTON_BAR_LEFT = 170;
constexpr int BAR_ABOVE_CENTRE = 7;
constexpr int LABEL_X = SCREEN_WIDTH / 2;
constexpr int LABEL_ABOVE_CENTRE = 10;
// The hover area, 8 pixels inside the frame on every side; all four comparisons are strict.
constexpr int HOVER_LEFT_OUTSIDE = 156;
constexpr int HOVER_RIGHT_OUTSIDE = 483;
constexpr int HOVER_HALF_HEIGHT_OUTSIDE = 21;

constexpr uint8_t NORMAL_LOOK = 0;
constexpr uint8_t HIGHLIGHTED_LOOK = 1;

// Blits the top-left `width` by `height` of one tile of Button.png with its corner at (x, y).
void blitTile(ButtonPiece piece, uint8_t row, int width, int height, int x, int y) {
  SDL_Rect source{Sint16(TILE * piece), Sint16(TILE * row), Uint16(width), Uint16(height)};
  drawImage(overlayMedia.buttonSurface, &source, x, y);
}

void blitWholeTile(ButtonPiece piece, uint8_t row, int x, int y) {
  blitTile(piece, row, TILE, TILE, x, y);
}

// A run of whole tiles across the bar's width, then the 6-pixel piece that completes it.
void blitRunAcross(ButtonPiece piece, uint8_t row, int height, int x, int y) {
  for (int k = 0; k < WHOLE_TILES_ACROSS; ++k) blitTile(piece, row, TILE, height, x + TILE * k, y);
  blitTile(piece, row, PIECE_WIDTH, height, x + TILE * WHOLE_TILES_ACROSS, y);
}

}  // namespace

void drawCursor() {
  SDL_Rect cell{CURSOR_CELL_X, 0, CURSOR_CELL_SIZE, CURSOR_CELL_SIZE};
  drawImage(overlayMedia.cursorSurface, &cell, inputState.mouseX - CURSOR_HOT_SPOT,
            inputState.mouseY - CURSOR_HOT_SPOT);
}

void drawButtonFrame(int x, int y, uint8_t row) {
  if (row > HIGHLIGHTED_LOOK) row = HIGHLIGHTED_LOOK;
  blitWholeTile(TopLeftCorner, row, x - TILE, y - TILE);
  blitWholeTile(BottomLeftCorner, row, x - TILE, y + BAR_HEIGHT);
  blitWholeTile(TopRightCorner, row, x + BAR_WIDTH, y - TILE);
  blitWholeTile(BottomRightCorner, row, x + BAR_WIDTH, y + BAR_HEIGHT);
  blitRunAcross(BottomEdge, row, TILE, x, y + BAR_HEIGHT);
  blitTile(RightEdge, row, TILE, BAR_HEIGHT, x + BAR_WIDTH, y);
  blitRunAcross(TopEdge, row, TILE, x, y - TILE);
  blitTile(LeftEdge, row, TILE, BAR_HEIGHT, x - TILE, y);
  blitRunAcross(Fill, row, BAR_HEIGHT, x, y);
}

bool menuButton(int y, const char* label) {
  const int mouseX = inputState.mouseX;
  const int mouseY = inputState.mouseY;
  const bool hovering = mouseX > HOVER_LEFT_OUTSIDE && mouseX < HOVER_RIGHT_OUTSIDE &&
                        mouseY > y - HOVER_HALF_HEIGHT_OUTSIDE &&
                        mouseY < y + HOVER_HALF_HEIGHT_OUTSIDE;
  const bool clicked =
      hovering && inputState.mouseButtons[SDL_BUTTON_LEFT] == KeyState::Pressed;
  drawButtonFrame(BUTTON_BAR_LEFT, y - BAR_ABOVE_CENTRE, hovering ? HIGHLIGHTED_LOOK : NORMAL_LOOK);
  drawText(LABEL_X, y - LABEL_ABOVE_CENTRE, label, TextAlign::Centre);
  return clicked;
}
