// game/render.cpp -- drawing the game frame: white rectangles into the one-channel mask, the
// mask copied to Screen in eight colours with the impact split, then the HUD.
#include "game/render.h"

#include "app/screen.h"
#include "game/media.h"
#include "game/state.h"
#include "game/world.h"
#include "overlay/images.h"
#include "overlay/text.h"
#include "platform/pixels.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// The rock in view: map columns from trunc(X - 320) / 4 to trunc(X + 325) / 4, exclusive,
// rows from trunc(Y - 240) / 4 to trunc(Y + 245) / 4, with X and Y the camera's place in the map.
constexpr double VIEW_LEFT_REACH = 320.0;
constexpr double VIEW_RIGHT_REACH = 325.0;
constexpr double VIEW_TOP_REACH = 240.0;
constexpr double VIEW_BOTTOM_REACH = 245.0;
constexpr int MAP_TO_SCREEN_X = MAP_HALF_EXTENT - SCREEN_CENTRE_X;  // 1680
constexpr int MAP_TO_SCREEN_Y = MAP_HALF_EXTENT - SCREEN_CENTRE_Y;  // 1760
// Map rows in view at most: the reaches span 485 world units, so 122 rows, and one to spare.
constexpr int VIEW_ROWS = int(VIEW_TOP_REACH + VIEW_BOTTOM_REACH) / MAP_CELL_SIZE + 2;

constexpr int SHOT_SIZE = 6;  // pixels, centred on the shot
// Where the trail squares stand: these fractions of the last frame's step behind the shot.
constexpr double TRAIL_STEPS[] = {0.2, 0.4, 0.6, 0.8};

constexpr int SHIP_LEFT = SCREEN_CENTRE_X - SHIP_SHAPE_WIDTH * SHAPE_SCALE / 2;   // 284
constexpr int SHIP_TOP = SCREEN_CENTRE_Y - SHIP_SHAPE_HEIGHT * SHAPE_SCALE / 2;   // 222
constexpr int ENEMY_LEFT = SCREEN_CENTRE_X - ENEMY_SHAPE_SIZE * SHAPE_SCALE / 2;  // 299
constexpr int ENEMY_TOP = SCREEN_CENTRE_Y - ENEMY_SHAPE_SIZE * SHAPE_SCALE / 2;   // 219

// The split's offsets are trunc(k E) for these k. Offsets reach the screen's edge well before
// MAX_SPLIT_OFFSET; clamping there changes no pixel and keeps the conversion defined.
constexpr double RED_SIDEWAYS = 4.0, RED_DOWN = 2.0;
constexpr double GREEN_SIDEWAYS = 1.0, GREEN_DOWN = 4.0;
constexpr double BLUE_SIDEWAYS = 3.0, BLUE_UP = 5.0;
constexpr int MAX_SPLIT_OFFSET = SCREEN_WIDTH;

// Each channel is 0 or 255, so a pixel is one of eight colours, numbered by these bits.
constexpr int RED_BIT = 1, GREEN_BIT = 2, BLUE_BIT = 4;
constexpr int COLOUR_COUNT = 8;
constexpr Uint8 CHANNEL_ON = 255;

constexpr int HUD_BACKING1_X = 2, HUD_BACKING1_Y = 27;
constexpr int HUD_BACKING2_X = 288, HUD_BACKING2_Y = 430;
constexpr int SCORE_LINES_X = 20;
constexpr int HIGH_SCORE_LINE_Y = 30;
constexpr int SCORE_LINE_Y = 50;
constexpr int HEALTH_LINE_RIGHT = 620;
constexpr int HEALTH_LINE_Y = 432;
constexpr size_t HUD_LINE_CAPACITY = 32;  // the longest line, "HighScore = -2147483648", is 23

int32_t trunc32(double value) { return static_cast<int32_t>(value); }

// Clears the mask and draws the rock cells in view, each a 4 x 4 white block. A map column
// covers four screen columns alike: its cells in view become one strip of four mask bytes each,
// which is copied into them. Each mask column is written once: strip, and black around it.
void drawRock() {
  const double mapX = cameraX - mapOriginX + MAP_HALF_EXTENT;
  const double mapY = cameraY - mapOriginY + MAP_HALF_EXTENT;
  // Kept inside the map even if the camera strays from it; in play the view is well inside.
  const int firstColumn = std::max(trunc32(mapX - VIEW_LEFT_REACH) / MAP_CELL_SIZE, 0);
  const int endColumn = std::min(trunc32(mapX + VIEW_RIGHT_REACH) / MAP_CELL_SIZE, MAP_SIZE);
  const int firstRow = std::max(trunc32(mapY - VIEW_TOP_REACH) / MAP_CELL_SIZE, 0);
  const int endRow = std::min(trunc32(mapY + VIEW_BOTTOM_REACH) / MAP_CELL_SIZE, MAP_SIZE);
  const int left = trunc32(mapOriginX) - trunc32(cameraX) - MAP_TO_SCREEN_X;
  const int top = trunc32(mapOriginY) - trunc32(cameraY) - MAP_TO_SCREEN_Y;
  // The strip starts at screen row stripTop; only rows 0..479 of it are copied.
  const int stripTop = MAP_CELL_SIZE * firstRow + top;
  const int firstY = std::max(stripTop, 0);
  const int endY = std::max(std::min(MAP_CELL_SIZE * endRow + top, SCREEN_HEIGHT), firstY);
  uint8_t strip[MAP_CELL_SIZE * VIEW_ROWS];
  int x = 0;  // mask columns left of x are written
  for (int column = firstColumn; column < endColumn && firstY < endY; ++column) {
    const int firstX = std::max(MAP_CELL_SIZE * column + left, 0);
    const int endX = std::min(MAP_CELL_SIZE * (column + 1) + left, SCREEN_WIDTH);
    if (firstX >= endX) continue;
    std::memset(ScreenMask + x * SCREEN_HEIGHT, 0, size_t(firstX - x) * SCREEN_HEIGHT);
    const uint8_t* cells = WorldMap + column * MAP_SIZE;
    for (int row = firstRow; row < endRow; ++row) {
      const uint8_t shade = cells[row] != CELL_OPEN ? MASK_WHITE : 0;
      for (int k = 0; k < MAP_CELL_SIZE; ++k) strip[MAP_CELL_SIZE * (row - firstRow) + k] = shade;
    }
    for (x = firstX; x < endX; ++x) {
      uint8_t* maskColumn = ScreenMask + x * SCREEN_HEIGHT;
      std::memset(maskColumn, 0, size_t(firstY));
      std::memcpy(maskColumn + firstY, strip + (firstY - stripTop), size_t(endY - firstY));
      std::memset(maskColumn + endY, 0, size_t(SCREEN_HEIGHT - endY));
    }
  }
  std::memset(ScreenMask + x * SCREEN_HEIGHT, 0, size_t(SCREEN_WIDTH - x) * SCREEN_HEIGHT);
}

void drawShots(int32_t cameraLeft, int32_t cameraTop) {
  const int left = SCREEN_CENTRE_X - SHOT_SIZE / 2 - cameraLeft;
  const int top = SCREEN_CENTRE_Y - SHOT_SIZE / 2 - cameraTop;
  for (int32_t i = 0; i < shotCount; ++i) {
    const Shot& shot = *shots[i];
    fillMaskRect(trunc32(shot.x) + left, trunc32(shot.y) + top, SHOT_SIZE, SHOT_SIZE);
    for (double step : TRAIL_STEPS)
      fillMaskRect(trunc32(shot.x - step * shot.velX) + left,
                   trunc32(shot.y - step * shot.velY) + top, SHOT_SIZE, SHOT_SIZE);
  }
}

// A column-major shape of 3 x 3 pixel cells with its top-left corner at (left, top). A run of
// solid cells down a column is one rectangle.
void drawShape(const uint8_t* shape, int width, int height, int left, int top) {
  for (int i = 0; i < width; ++i) {
    const uint8_t* column = shape + i * height;
    for (int j = 0; j < height; ++j) {
      if (column[j] == 0) continue;
      const int first = j;
      while (j + 1 < height && column[j + 1] != 0) ++j;
      fillMaskRect(left + SHAPE_SCALE * i, top + SHAPE_SCALE * first, SHAPE_SCALE,
                   SHAPE_SCALE * (j + 1 - first));
    }
  }
}

void drawGameMask() {
  drawRock();
  const int32_t cameraLeft = trunc32(cameraX);
  const int32_t cameraTop = trunc32(cameraY);
  drawShots(cameraLeft, cameraTop);
  drawShape(shipShape, SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT,
            trunc32(shipX) - cameraLeft + SHIP_LEFT, trunc32(shipY) - cameraTop + SHIP_TOP);
  for (int32_t i = 0; i < enemyCount; ++i)
    drawShape(enemyShape, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE,
              trunc32(enemies[i]->x) - cameraLeft + ENEMY_LEFT,
              trunc32(enemies[i]->y) - cameraTop + ENEMY_TOP);
}

int splitOffset(double strength, double factor) {
  const double offset = factor * strength;
  if (!(offset < MAX_SPLIT_OFFSET)) return MAX_SPLIT_OFFSET;
  if (offset < 0.0) return 0;
  return trunc32(offset);
}

// The mask turned row-major, so that Screen's rows are written from contiguous bytes. Each row
// has spare bytes on either side as far as this frame's split reaches, copies of its edge bytes,
// so a displaced read lands on the clamped edge pixel without a test; no more, so rows lie close.
uint8_t maskRows[SCREEN_HEIGHT * (MAX_SPLIT_OFFSET + SCREEN_WIDTH + MAX_SPLIT_OFFSET)];
int rowPadLeft, rowStride;

uint8_t* maskRow(int y) { return maskRows + rowPadLeft + y * rowStride; }

// The mask is read in blocks of TURN_BLOCK x TURN_BLOCK pixels, which stay in the cache while
// they are turned.
constexpr int TURN_BLOCK = 8;
static_assert(SCREEN_WIDTH % TURN_BLOCK == 0 && SCREEN_HEIGHT % TURN_BLOCK == 0);

// Whether the block with top-left corner (left, top) is all black or all white: each column's
// eight bytes, read as one word, are all 0 or all 255 alike.
bool blockIsOneShade(int left, int top) {
  static_assert(TURN_BLOCK == sizeof(uint64_t));
  uint64_t first;
  std::memcpy(&first, ScreenMask + left * SCREEN_HEIGHT + top, sizeof first);
  bool same = first == 0 || first == ~uint64_t(0);
  for (int x = left + 1; x < left + TURN_BLOCK; ++x) {
    uint64_t word;
    std::memcpy(&word, ScreenMask + x * SCREEN_HEIGHT + top, sizeof word);
    same &= word == first;
  }
  return same;
}

void turnMaskIntoRows(int padLeft, int padRight) {
  rowPadLeft = padLeft;
  rowStride = padLeft + SCREEN_WIDTH + padRight;
  for (int left = 0; left < SCREEN_WIDTH; left += TURN_BLOCK) {
    for (int top = 0; top < SCREEN_HEIGHT; top += TURN_BLOCK) {
      // Most blocks are of one shade (open cave, solid rock): those are filled, not turned.
      if (blockIsOneShade(left, top)) {
        const uint8_t shade = ScreenMask[left * SCREEN_HEIGHT + top];
        for (int y = top; y < top + TURN_BLOCK; ++y)
          std::memset(maskRow(y) + left, shade, TURN_BLOCK);
        continue;
      }
      for (int y = top; y < top + TURN_BLOCK; ++y) {
        uint8_t* row = maskRow(y);
        for (int x = left; x < left + TURN_BLOCK; ++x) row[x] = ScreenMask[x * SCREEN_HEIGHT + y];
      }
    }
  }
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    uint8_t* row = maskRow(y);
    std::memset(row - padLeft, row[0], size_t(padLeft));
    std::memset(row + SCREEN_WIDTH, row[SCREEN_WIDTH - 1], size_t(padRight));
  }
}

// The eight colours in Screen's format, numbered by their lit channels' bits; mapped once a
// frame, as the palette of an 8-bit screen could change.
struct Colours {
  uint32_t of[COLOUR_COUNT];
};

Colours mapColours(const SDL_PixelFormat* format) {
  Colours colours;
  for (int colour = 0; colour < COLOUR_COUNT; ++colour)
    colours.of[colour] = SDL_MapRGB(format, (colour & RED_BIT) ? CHANNEL_ON : 0,
                                    (colour & GREEN_BIT) ? CHANNEL_ON : 0,
                                    (colour & BLUE_BIT) ? CHANNEL_ON : 0);
  return colours;
}

// Every row of Screen with red read `redLeft` pixels left and `redDown` lower, green and blue
// likewise, each clamped to the screen's edge.
struct Split {
  int redLeft, redDown, greenLeft, greenDown, blueRight, blueUp;
};

constexpr int PIXEL_BYTES = 4;
constexpr int BLACK_BYTE = 0;  // a pixel byte that is black's in every colour

uint8_t byteOf(uint32_t value, int k) {
  uint8_t bytes[PIXEL_BYTES];
  std::memcpy(bytes, &value, sizeof bytes);
  return bytes[k];
}

// On most 4-byte screens red, green and blue are each one whole byte: each byte of a pixel, in
// memory order, is then its channel's mask byte (0 or 255) or black's. channelOfByte[k] is that
// channel's bit, or BLACK_BYTE; false if any of the eight colours would come out otherwise.
bool findChannelBytes(const Colours& colours, int channelOfByte[PIXEL_BYTES]) {
  if (Screen->format->BytesPerPixel != PIXEL_BYTES) return false;
  for (int k = 0; k < PIXEL_BYTES; ++k) {
    const uint8_t black = byteOf(colours.of[0], k);
    channelOfByte[k] = BLACK_BYTE;
    for (int bit : {RED_BIT, GREEN_BIT, BLUE_BIT})
      if (byteOf(colours.of[bit], k) != black) channelOfByte[k] = bit;
    for (int colour = 0; colour < COLOUR_COUNT; ++colour) {
      const int bit = channelOfByte[k];
      const uint8_t wanted = bit == BLACK_BYTE ? black : (colour & bit) ? CHANNEL_ON : 0;
      if (byteOf(colours.of[colour], k) != wanted) return false;
    }
  }
  return true;
}

// One row of a 4-byte screen: byte k of pixel x is byteK[x].
void interleaveRow(uint8_t* __restrict out, const uint8_t* __restrict byte0,
                   const uint8_t* __restrict byte1, const uint8_t* __restrict byte2,
                   const uint8_t* __restrict byte3) {
  for (int x = 0; x < SCREEN_WIDTH; ++x) {
    out[4 * x] = byte0[x];
    out[4 * x + 1] = byte1[x];
    out[4 * x + 2] = byte2[x];
    out[4 * x + 3] = byte3[x];
  }
}

const uint8_t* splitRow(int y, int down, int left) {
  return maskRow(std::clamp(y + down, 0, SCREEN_HEIGHT - 1)) - left;
}

// Every row of Screen from its red, green and blue mask rows: byte by byte where the screen's
// channels are whole bytes (channelOfByte not null), otherwise pixel by pixel in the colours.
template <int BytesPerPixel>
void writeRows(const Colours& colours, const int* channelOfByte, const Split& split) {
  uint8_t blackRows[PIXEL_BYTES][SCREEN_WIDTH];
  for (int k = 0; k < PIXEL_BYTES; ++k)
    std::memset(blackRows[k], byteOf(colours.of[0], k), SCREEN_WIDTH);
  const PixelGrid screen(Screen);
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    uint8_t* out = screen.at(0, y);
    const uint8_t* red = splitRow(y, split.redDown, split.redLeft);
    const uint8_t* green = splitRow(y, split.greenDown, split.greenLeft);
    const uint8_t* blue = splitRow(y, -split.blueUp, -split.blueRight);
    if (channelOfByte != nullptr) {
      const uint8_t* rowOfChannel[BLUE_BIT + 1] = {nullptr, red, green, nullptr, blue};
      const uint8_t* bytes[PIXEL_BYTES];
      for (int k = 0; k < PIXEL_BYTES; ++k) {
        const int bit = channelOfByte[k];
        bytes[k] = bit == BLACK_BYTE ? blackRows[k] : rowOfChannel[bit];
      }
      interleaveRow(out, bytes[0], bytes[1], bytes[2], bytes[3]);
      continue;
    }
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      const int colour = (red[x] & RED_BIT) | (green[x] & GREEN_BIT) | (blue[x] & BLUE_BIT);
      writePixelAt(out + BytesPerPixel * x, BytesPerPixel, colours.of[colour]);
    }
  }
}

void copyMaskToScreen() {
  const SurfacePixelLock lock(Screen);
  if (!lock.ok) return;
  const Colours colours = mapColours(Screen->format);
  const double strength = impactEffect;
  const Split split = {splitOffset(strength, RED_SIDEWAYS),   splitOffset(strength, RED_DOWN),
                       splitOffset(strength, GREEN_SIDEWAYS), splitOffset(strength, GREEN_DOWN),
                       splitOffset(strength, BLUE_SIDEWAYS),  splitOffset(strength, BLUE_UP)};
  turnMaskIntoRows(std::max(split.redLeft, split.greenLeft), split.blueRight);
  int channelOfByte[PIXEL_BYTES];
  const bool byBytes = findChannelBytes(colours, channelOfByte);
  switch (Screen->format->BytesPerPixel) {
    case 1: writeRows<1>(colours, nullptr, split); break;
    case 2: writeRows<2>(colours, nullptr, split); break;
    case 3: writeRows<3>(colours, nullptr, split); break;
    case 4: writeRows<4>(colours, byBytes ? channelOfByte : nullptr, split); break;
    default: break;
  }
}

void drawHudLine(int x, int y, const char* label, int32_t value, TextAlign align) {
  char line[HUD_LINE_CAPACITY];
  std::snprintf(line, sizeof line, "%s%d", label, int(value));
  drawText(x, y, line, align);
}

void drawHud() {
  drawImage(textBacking1, nullptr, HUD_BACKING1_X, HUD_BACKING1_Y);
  drawHudLine(SCORE_LINES_X, HIGH_SCORE_LINE_Y, "HighScore = ", highScore, TextAlign::Left);
  drawHudLine(SCORE_LINES_X, SCORE_LINE_Y, "Score     = ", score, TextAlign::Left);
  drawImage(textBacking2, nullptr, HUD_BACKING2_X, HUD_BACKING2_Y);
  drawHudLine(HEALTH_LINE_RIGHT, HEALTH_LINE_Y, "Health = ", trunc32(health), TextAlign::Right);
}

}  // namespace

void drawGame() {
  drawGameMask();
  if (Screen == nullptr) return;
  copyMaskToScreen();
  drawHud();
}
