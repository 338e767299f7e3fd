// game/render.cpp -- drawing the game frame: white rectangles into the one-channel mask, the
// mask copied to Screen through an eight-colour palette with the impact split, then the HUD.
#include "game/render.h"

#include "app/screen.h"
#include "game/media.h"
#include "game/state.h"
#include "game/world.h"
#include "overlay/text.h"
#include "overlay/images.h"
#include "platform/pixels.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// On x86-64 the copy to Screen is built a second time for AVX2, whose wider stores write the
// screen in about half the time, and picked at run time where the processor has it.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define HAVE_AVX2_COPY 1
#else
#define HAVE_AVX2_COPY 0
#endif

bool copyMayUseAvx2 = true;

namespace {

// The camera's world point is drawn at the screen's centre.
constexpr int CAMERA_SCREEN_X = SCREEN_WIDTH / 2;
constexpr int CAMERA_SCREEN_Y = SCREEN_HEIGHT / 2;

// The rock in view: map columns from trunc(X - 320) / 4 to trunc(X + 325) / 4, exclusive,
// rows from trunc(Y - 240) / 4 to trunc(Y + 245) / 4, with X and Y the camera's place in the map.
constexpr double VIEW_LEFT_REACH = 320.0;
constexpr double VIEW_RIGHT_REACH = 325.0;
constexpr double VIEW_TOP_REACH = 240.0;
constexpr double VIEW_BOTTOM_REACH = 245.0;
constexpr int MAP_TO_SCREEN_X = MAP_HALF_EXTENT - CAMERA_SCREEN_X;  // 1680
constexpr int MAP_TO_SCREEN_Y = MAP_HALF_EXTENT - CAMERA_SCREEN_Y;  // 1760

constexpr uint32_t WHITE_BLOCK = 0xFFFFFFFFu;  // one rock cell's four mask bytes in a column
static_assert(MAP_CELL_SIZE == sizeof(uint32_t) && MASK_WHITE == 0xFF);

constexpr int SHOT_SIZE = 6;  // pixels, centred on the shot
// Where the trail squares stand: these fractions of the last frame's step behind the shot.
constexpr double TRAIL_STEPS[] = {0.2, 0.4, 0.6, 0.8};

constexpr int SHIP_LEFT = CAMERA_SCREEN_X - SHIP_SHAPE_WIDTH * SHAPE_SCALE / 2;   // 284
constexpr int SHIP_TOP = CAMERA_SCREEN_Y - SHIP_SHAPE_HEIGHT * SHAPE_SCALE / 2;   // 222
constexpr int ENEMY_LEFT = CAMERA_SCREEN_X - ENEMY_SHAPE_SIZE * SHAPE_SCALE / 2;  // 299
constexpr int ENEMY_TOP = CAMERA_SCREEN_Y - ENEMY_SHAPE_SIZE * SHAPE_SCALE / 2;   // 219

// The split's offsets are trunc(k E) for these k. Offsets reach the screen's edge well before
// MAX_SPLIT_OFFSET; clamping there changes no pixel and keeps the conversion defined.
constexpr double RED_SIDEWAYS = 4.0, RED_DOWN = 2.0;
constexpr double GREEN_SIDEWAYS = 1.0, GREEN_DOWN = 4.0;
constexpr double BLUE_SIDEWAYS = 3.0, BLUE_UP = 5.0;
constexpr int MAX_SPLIT_OFFSET = SCREEN_WIDTH;

// Each channel is 0 or 255, so a pixel is one of eight colours, numbered by these bits. A mask
// byte holds 0 or 255, so masking it with a channel's bit gives that bit or 0.
constexpr int RED_BIT = 1, GREEN_BIT = 2, BLUE_BIT = 4;
constexpr int PALETTE_SIZE = 8;
constexpr Uint8 CHANNEL_ON = 255;

constexpr SDL_Rect BACKING1_PLACE = {2, 27, 0, 0};
constexpr SDL_Rect BACKING2_PLACE = {288, 430, 0, 0};
constexpr int SCORE_LINES_X = 20;
constexpr int HIGH_SCORE_LINE_Y = 30;
constexpr int SCORE_LINE_Y = 50;
constexpr int HEALTH_LINE_RIGHT = 620;
constexpr int HEALTH_LINE_Y = 432;
constexpr size_t HUD_LINE_CAPACITY = 32;  // the longest line, "HighScore = -2147483648", is 23

int32_t trunc32(double value) { return static_cast<int32_t>(value); }

int smaller(int a, int b) { return a < b ? a : b; }
int larger(int a, int b) { return a > b ? a : b; }

int splitOffset(double strength, double factor) {
  const double offset = factor * strength;
  if (!(offset < MAX_SPLIT_OFFSET)) return MAX_SPLIT_OFFSET;
  if (offset < 0.0) return 0;
  return trunc32(offset);
}

// The mask byte of a map cell: white for rock, black for open space.
uint8_t cellShade(uint8_t cell) { return cell != 0 ? MASK_WHITE : 0; }

// Sets `length` rows of a mask column from row `first` to `value`, clipped to the screen.
void fillColumnSpan(uint8_t* column, int first, int length, uint8_t value) {
  for (int y = larger(first, 0); y < smaller(first + length, MASK_HEIGHT); ++y) column[y] = value;
}

// Clears the mask outside the rectangle x0..x1-1, y0..y1-1 (which the rock pass writes whole).
void clearMaskAround(int x0, int x1, int y0, int y1) {
  if (x0 >= x1 || y0 >= y1) {
    std::memset(ScreenMask, 0, sizeof ScreenMask);
    return;
  }
  std::memset(ScreenMask, 0, size_t(x0) * MASK_HEIGHT);
  std::memset(ScreenMask + x1 * MASK_HEIGHT, 0, size_t(MASK_WIDTH - x1) * MASK_HEIGHT);
  for (int x = x0; x < x1; ++x) {
    std::memset(ScreenMask + x * MASK_HEIGHT, 0, size_t(y0));
    std::memset(ScreenMask + x * MASK_HEIGHT + y1, 0, size_t(MASK_HEIGHT - y1));
  }
}

// Rock cells of one map column to whole blocks of a mask column: four white bytes for rock, four
// black for open space. Runs of EXPAND_RUN cells at a time, which the compiler turns into
// vector code.
constexpr int EXPAND_RUN = 16;
void expandCellsToBlocks(uint8_t* __restrict blocks, const uint8_t* __restrict cells, int count) {
  int row = 0;
  for (; row + EXPAND_RUN <= count; row += EXPAND_RUN) {
    for (int i = 0; i < EXPAND_RUN; ++i) {
      const uint32_t block = cells[row + i] != 0 ? WHITE_BLOCK : 0;
      std::memcpy(blocks + MAP_CELL_SIZE * (row + i), &block, sizeof block);
    }
  }
  for (; row < count; ++row) {
    const uint32_t block = cells[row] != 0 ? WHITE_BLOCK : 0;
    std::memcpy(blocks + MAP_CELL_SIZE * row, &block, sizeof block);
  }
}

// Clears the mask and draws the rock cells in view, each a 4 x 4 white block at 4c - 1680 +
// trunc(mapOriginX) - trunc(cameraX), 4r - 1760 + trunc(mapOriginY) - trunc(cameraY): exactly
// the pixels of a clear and one fillMaskRect per rock cell. The cells in view are written a
// whole mask column at a time, open ones black, so only what they do not cover is cleared
// apart (in play they cover the whole screen).
void clearMaskAndDrawRock() {
  const double mapX = cameraX - mapOriginX + MAP_HALF_EXTENT;
  const double mapY = cameraY - mapOriginY + MAP_HALF_EXTENT;
  // Kept inside the map even if the camera strays from it; in play the view is well inside.
  const int firstColumn = larger(trunc32(mapX - VIEW_LEFT_REACH) / MAP_CELL_SIZE, 0);
  const int endColumn = smaller(trunc32(mapX + VIEW_RIGHT_REACH) / MAP_CELL_SIZE, MAP_COLUMNS);
  const int firstRow = larger(trunc32(mapY - VIEW_TOP_REACH) / MAP_CELL_SIZE, 0);
  const int endRow = smaller(trunc32(mapY + VIEW_BOTTOM_REACH) / MAP_CELL_SIZE, MAP_ROWS);
  const int left = trunc32(mapOriginX) - trunc32(cameraX) - MAP_TO_SCREEN_X;
  const int top = trunc32(mapOriginY) - trunc32(cameraY) - MAP_TO_SCREEN_Y;
  clearMaskAround(larger(MAP_CELL_SIZE * firstColumn + left, 0),
                  smaller(MAP_CELL_SIZE * endColumn + left, MASK_WIDTH),
                  larger(MAP_CELL_SIZE * firstRow + top, 0),
                  smaller(MAP_CELL_SIZE * endRow + top, MASK_HEIGHT));
  // Rows whose block lies wholly on the screen are expanded in one go; the few at the top and
  // bottom edge are clipped byte by byte.
  const int firstWholeRow =
      smaller(larger(firstRow, (MAP_CELL_SIZE - 1 - top) / MAP_CELL_SIZE), endRow);
  const int endWholeRow =
      larger(smaller(endRow, (MASK_HEIGHT - top) / MAP_CELL_SIZE), firstWholeRow);
  for (int column = firstColumn; column < endColumn; ++column) {
    const uint8_t* cells = WorldMap + column * MAP_ROWS;
    const int x = MAP_CELL_SIZE * column + left;
    const int firstX = larger(x, 0);
    const int endX = smaller(x + MAP_CELL_SIZE, MASK_WIDTH);
    if (firstX >= endX) continue;
    // The screen columns of one map column are alike: the first is drawn, the others copied.
    uint8_t* target = ScreenMask + firstX * MASK_HEIGHT;
    for (int row = firstRow; row < firstWholeRow; ++row) {
      fillColumnSpan(target, MAP_CELL_SIZE * row + top, MAP_CELL_SIZE, cellShade(cells[row]));
    }
    expandCellsToBlocks(target + MAP_CELL_SIZE * firstWholeRow + top, cells + firstWholeRow,
                        endWholeRow - firstWholeRow);
    for (int row = endWholeRow; row < endRow; ++row) {
      fillColumnSpan(target, MAP_CELL_SIZE * row + top, MAP_CELL_SIZE, cellShade(cells[row]));
    }
    const int firstDrawn = larger(MAP_CELL_SIZE * firstRow + top, 0);
    const int endDrawn = smaller(MAP_CELL_SIZE * endRow + top, MASK_HEIGHT);
    for (int screenX = firstX + 1; screenX < endX && firstDrawn < endDrawn; ++screenX) {
      std::memcpy(ScreenMask + screenX * MASK_HEIGHT + firstDrawn, target + firstDrawn,
                  size_t(endDrawn - firstDrawn));
    }
  }
}

// A square of Size pixels at (x, y): the same pixels as fillMaskRect, with the common case of a
// square wholly on the screen written by fixed-size column stores.
template <int Size>
void fillSquare(int x, int y) {
  if (x < 0 || y < 0 || x > MASK_WIDTH - Size || y > MASK_HEIGHT - Size) {
    fillMaskRect(x, y, Size, Size);
    return;
  }
  uint8_t* column = ScreenMask + x * MASK_HEIGHT + y;
  for (int i = 0; i < Size; ++i) std::memset(column + i * MASK_HEIGHT, MASK_WHITE, Size);
}

void drawShots(int32_t cameraLeft, int32_t cameraTop) {
  const int left = CAMERA_SCREEN_X - SHOT_SIZE / 2 - cameraLeft;
  const int top = CAMERA_SCREEN_Y - SHOT_SIZE / 2 - cameraTop;
  for (int32_t i = 0; i < shotCount; ++i) {
    const Shot& shot = *shots[i];
    fillSquare<SHOT_SIZE>(trunc32(shot.x) + left, trunc32(shot.y) + top);
    for (double step : TRAIL_STEPS) {
      fillSquare<SHOT_SIZE>(trunc32(shot.x - step * shot.velX) + left,
                            trunc32(shot.y - step * shot.velY) + top);
    }
  }
}

// A column-major shape of Width x Height cells as mask columns: for each shape column the
// SHAPE_SCALE * Height bytes of one screen column under it, white where a cell is solid, and
// whether it has any. Drawing ORs each pattern into the SHAPE_SCALE screen columns under its
// shape column: exactly the pixels of one fillMaskRect per solid cell, as the mask holds only
// black (0) and white (255).
template <int Width, int Height>
struct ShapeColumns {
  static constexpr int BYTES = SHAPE_SCALE * Height;
  uint8_t pattern[Width][BYTES];
  bool solid[Width];
};

template <int Width, int Height>
void readShapeColumns(const uint8_t* shape, ShapeColumns<Width, Height>& columns) {
  for (int i = 0; i < Width; ++i) {
    columns.solid[i] = false;
    for (int j = 0; j < Height; ++j) {
      const uint8_t shade = shape[i * Height + j] != 0 ? MASK_WHITE : 0;
      std::memset(columns.pattern[i] + SHAPE_SCALE * j, shade, SHAPE_SCALE);
      columns.solid[i] = columns.solid[i] || shade != 0;
    }
  }
}

// ORs `Bytes` (16 or more) pattern bytes into a mask column, 16 at a time; the last 16 overlap
// the ones before where Bytes is not a multiple of 16, which ORing twice does not change. All
// loads come before all stores, so that no load waits on an overlapping store.
using Bytes16 = uint8_t __attribute__((vector_size(16)));

template <int Bytes>
void orColumn(uint8_t* at, const uint8_t* pattern) {
  constexpr int step = int(sizeof(Bytes16));
  constexpr int chunks = (Bytes + step - 1) / step;
  static_assert(Bytes >= step);
  Bytes16 merged[chunks];
  for (int k = 0; k < chunks; ++k) {
    const int b = k * step < Bytes - step ? k * step : Bytes - step;
    Bytes16 source;
    std::memcpy(&merged[k], at + b, sizeof merged[k]);
    std::memcpy(&source, pattern + b, sizeof source);
    merged[k] |= source;
  }
  for (int k = 0; k < chunks; ++k) {
    const int b = k * step < Bytes - step ? k * step : Bytes - step;
    std::memcpy(at + b, &merged[k], sizeof merged[k]);
  }
}

template <int Width, int Height>
void drawShape(const ShapeColumns<Width, Height>& columns, int left, int top) {
  constexpr int BYTES = ShapeColumns<Width, Height>::BYTES;
  // The pattern rows that land on the screen; all of them for a shape wholly on it.
  const int first = larger(-top, 0);
  const int end = smaller(MASK_HEIGHT - top, BYTES);
  if (first >= end || left >= MASK_WIDTH || left <= -SHAPE_SCALE * Width) return;
  const bool whole = first == 0 && end == BYTES;
  for (int i = 0; i < Width; ++i) {
    if (!columns.solid[i]) continue;
    const uint8_t* pattern = columns.pattern[i];
    for (int k = 0; k < SHAPE_SCALE; ++k) {
      const int x = left + SHAPE_SCALE * i + k;
      if (x < 0 || x >= MASK_WIDTH) continue;
      uint8_t* column = ScreenMask + x * MASK_HEIGHT;
      if (whole) {
        orColumn<BYTES>(column + top, pattern);
      } else {
        for (int b = first; b < end; ++b) column[top + b] |= pattern[b];
      }
    }
  }
}

// How far each channel of the split is read from the pixel it lands on, in pixels: red from the
// left and below, green from the left and below, blue from the right and above.
struct Split {
  int redLeft, redDown, greenLeft, greenDown, blueRight, blueUp;
};

// Row-major copy of ScreenMask that the copy to Screen reads, so that Screen's rows are written
// from contiguous bytes. Row y starts at maskRow(y). Around each row lie ROW_PAD spare bytes on
// either side, which the split fills with copies of the row's first and last byte: a displaced
// read then lands on the clamped edge pixel with no test in the loop. The copy without a split
// needs only 16 rows at a time and keeps them, unpadded, at the start.
constexpr int ROW_PAD = MAX_SPLIT_OFFSET;
constexpr int ROW_STRIDE = ROW_PAD + MASK_WIDTH + ROW_PAD;
uint8_t maskRows[MASK_HEIGHT * ROW_STRIDE];

uint8_t* maskRow(int y) { return maskRows + ROW_PAD + y * ROW_STRIDE; }

constexpr int TRANSPOSE_BLOCK = 16;  // the mask is turned in 16 x 16 blocks
static_assert(MASK_WIDTH % TRANSPOSE_BLOCK == 0 && MASK_HEIGHT % TRANSPOSE_BLOCK == 0);

#if defined(__SSE2__)
// One 16 x 16 block: 16 mask columns of 16 bytes in, 16 rows of 16 bytes out. Unrolled whole
// so that the block stays in registers.
void transposeBlock(const uint8_t* columns, uint8_t* rows, int rowStride) {
  __m128i a[TRANSPOSE_BLOCK], b[TRANSPOSE_BLOCK];
#pragma GCC unroll 16
  for (int i = 0; i < TRANSPOSE_BLOCK; ++i) {
    a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns + i * MASK_HEIGHT));
  }
  // Each stage interleaves neighbours at twice the width of the last: bytes, pairs, quads,
  // eights. The first half of each stage's output holds the lower rows, the second the upper.
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) {
    b[i] = _mm_unpacklo_epi8(a[2 * i], a[2 * i + 1]);
    b[i + 8] = _mm_unpackhi_epi8(a[2 * i], a[2 * i + 1]);
  }
#pragma GCC unroll 2
  for (int half = 0; half < 2; ++half) {
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
      const __m128i* in = b + 8 * half + 2 * i;
      a[8 * half + i] = _mm_unpacklo_epi16(in[0], in[1]);
      a[8 * half + i + 4] = _mm_unpackhi_epi16(in[0], in[1]);
    }
  }
#pragma GCC unroll 4
  for (int quarter = 0; quarter < 4; ++quarter) {
#pragma GCC unroll 2
    for (int i = 0; i < 2; ++i) {
      const __m128i* in = a + 4 * quarter + 2 * i;
      b[4 * quarter + i] = _mm_unpacklo_epi32(in[0], in[1]);
      b[4 * quarter + i + 2] = _mm_unpackhi_epi32(in[0], in[1]);
    }
  }
  // b[4 q + 2 p] and b[4 q + 2 p + 1] now hold rows 4 q + 2 p and 4 q + 2 p + 1, the first for
  // columns 0..7 and the second for columns 8..15.
#pragma GCC unroll 4
  for (int quarter = 0; quarter < 4; ++quarter) {
#pragma GCC unroll 2
    for (int pair = 0; pair < 2; ++pair) {
      const __m128i left = b[4 * quarter + 2 * pair];
      const __m128i right = b[4 * quarter + 2 * pair + 1];
      uint8_t* row = rows + (4 * quarter + 2 * pair) * rowStride;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row), _mm_unpacklo_epi64(left, right));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + rowStride),
                       _mm_unpackhi_epi64(left, right));
    }
  }
}
#else
void transposeBlock(const uint8_t* columns, uint8_t* rows, int rowStride) {
  for (int i = 0; i < TRANSPOSE_BLOCK; ++i) {
    for (int j = 0; j < TRANSPOSE_BLOCK; ++j) {
      rows[j * rowStride + i] = columns[i * MASK_HEIGHT + j];
    }
  }
}
#endif

// Mask rows top..top+15 into `rows`, one row every `rowStride` bytes.
void transposeBand(int top, uint8_t* rows, int rowStride) {
  for (int left = 0; left < MASK_WIDTH; left += TRANSPOSE_BLOCK) {
    transposeBlock(ScreenMask + left * MASK_HEIGHT + top, rows + left, rowStride);
  }
}

void transposeMask() {
  for (int top = 0; top < MASK_HEIGHT; top += TRANSPOSE_BLOCK) {
    transposeBand(top, maskRow(top), ROW_STRIDE);
  }
}

// Extends every row by `left` copies of its first byte and `right` copies of its last.
void padMaskRows(int left, int right) {
  for (int y = 0; y < MASK_HEIGHT; ++y) {
    uint8_t* row = maskRow(y);
    std::memset(row - left, row[0], size_t(left));
    std::memset(row + MASK_WIDTH, row[MASK_WIDTH - 1], size_t(right));
  }
}

// The eight colours of a frame. In a true-colour format each channel owns its own bits of the
// pixel value, so a colour is black with the bits of its lit channels flipped; `separable` says
// whether that holds (a palette screen keeps to the table).
struct Colours {
  uint32_t table[PALETTE_SIZE];
  uint32_t black, redFlip, greenFlip, blueFlip, whiteFlip;
  bool separable;
};

Colours mapColours(const SDL_PixelFormat* format) {
  Colours colours;
  for (int colour = 0; colour < PALETTE_SIZE; ++colour) {
    colours.table[colour] = SDL_MapRGB(format, (colour & RED_BIT) ? CHANNEL_ON : 0,
                                       (colour & GREEN_BIT) ? CHANNEL_ON : 0,
                                       (colour & BLUE_BIT) ? CHANNEL_ON : 0);
  }
  colours.black = colours.table[0];
  colours.redFlip = colours.table[RED_BIT] ^ colours.black;
  colours.greenFlip = colours.table[GREEN_BIT] ^ colours.black;
  colours.blueFlip = colours.table[BLUE_BIT] ^ colours.black;
  colours.whiteFlip = colours.table[PALETTE_SIZE - 1] ^ colours.black;
  colours.separable = true;
  for (int colour = 0; colour < PALETTE_SIZE; ++colour) {
    const uint32_t built = colours.black ^ ((colour & RED_BIT) ? colours.redFlip : 0) ^
                           ((colour & GREEN_BIT) ? colours.greenFlip : 0) ^
                           ((colour & BLUE_BIT) ? colours.blueFlip : 0);
    if (built != colours.table[colour]) colours.separable = false;
  }
  return colours;
}

// 0 for a black mask byte, all bits set for a white one (255).
inline uint32_t spread(uint8_t maskByte) { return uint32_t(int32_t(int8_t(maskByte))); }

template <bool Separable>
inline uint32_t pixelValue(const Colours& colours, uint8_t red, uint8_t green, uint8_t blue) {
  if constexpr (Separable) {
    return colours.black ^ (colours.redFlip & spread(red)) ^ (colours.greenFlip & spread(green)) ^
           (colours.blueFlip & spread(blue));
  } else {
    return colours.table[(red & RED_BIT) | (green & GREEN_BIT) | (blue & BLUE_BIT)];
  }
}

// Pixels are written in runs of `Run`, a length the compiler turns into vector code: 16 for
// 16-byte vectors, 32 for AVX2's 32-byte ones.
constexpr int BASELINE_RUN = 16;
constexpr int AVX2_RUN = 32;
static_assert(MASK_WIDTH % BASELINE_RUN == 0 && MASK_WIDTH % AVX2_RUN == 0);

// One row without a split: black or white from one mask byte a pixel.
template <int BytesPerPixel, int Run>
void writePlainRow(uint8_t* __restrict out, const uint8_t* __restrict mask,
                   const Colours& colours) {
  const uint32_t black = colours.black;
  const uint32_t flip = colours.whiteFlip;
  for (int x = 0; x < MASK_WIDTH; x += Run) {
    for (int i = 0; i < Run; ++i) {
      writePixelAt(out + BytesPerPixel * (x + i), BytesPerPixel,
                   black ^ (flip & spread(mask[x + i])));
    }
  }
}

// One row with the split: pixel x takes red[x], green[x] and blue[x], sources already displaced
// (and clamped by the rows' padding).
template <int BytesPerPixel, int Run, bool Separable>
void writeSplitRow(uint8_t* __restrict out, const uint8_t* __restrict red,
                   const uint8_t* __restrict green, const uint8_t* __restrict blue,
                   const Colours& colours) {
  for (int x = 0; x < MASK_WIDTH; x += Run) {
    for (int i = 0; i < Run; ++i) {
      writePixelAt(out + BytesPerPixel * (x + i), BytesPerPixel,
                   pixelValue<Separable>(colours, red[x + i], green[x + i], blue[x + i]));
    }
  }
}

// Without a split each band of 16 rows is turned and written while it is still in the cache.
template <int BytesPerPixel, int Run>
void copyPlain(uint8_t* pixels, int pitch, const Colours& colours) {
  for (int top = 0; top < MASK_HEIGHT; top += TRANSPOSE_BLOCK) {
    transposeBand(top, maskRows, MASK_WIDTH);
    for (int k = 0; k < TRANSPOSE_BLOCK; ++k) {
      writePlainRow<BytesPerPixel, Run>(pixels + pitch * (top + k), maskRows + k * MASK_WIDTH,
                                        colours);
    }
  }
}

// With a split the rows read lie anywhere, so the whole mask is turned first.
template <int BytesPerPixel, int Run>
void copySplit(uint8_t* pixels, int pitch, const Colours& colours, const Split& split) {
  constexpr int lastRow = MASK_HEIGHT - 1;
  transposeMask();
  padMaskRows(larger(split.redLeft, split.greenLeft), split.blueRight);
  for (int y = 0; y < MASK_HEIGHT; ++y) {
    uint8_t* out = pixels + pitch * y;
    const uint8_t* red = maskRow(smaller(y + split.redDown, lastRow)) - split.redLeft;
    const uint8_t* green = maskRow(smaller(y + split.greenDown, lastRow)) - split.greenLeft;
    const uint8_t* blue = maskRow(larger(y - split.blueUp, 0)) + split.blueRight;
    if (colours.separable) {
      writeSplitRow<BytesPerPixel, Run, true>(out, red, green, blue, colours);
    } else {
      writeSplitRow<BytesPerPixel, Run, false>(out, red, green, blue, colours);
    }
  }
}

template <int BytesPerPixel, int Run>
void copyAtDepth(uint8_t* pixels, int pitch, const Colours& colours, const Split& split) {
  const bool plain = split.redLeft == 0 && split.redDown == 0 && split.greenLeft == 0 &&
                     split.greenDown == 0 && split.blueRight == 0 && split.blueUp == 0;
  if (plain) {
    copyPlain<BytesPerPixel, Run>(pixels, pitch, colours);
  } else {
    copySplit<BytesPerPixel, Run>(pixels, pitch, colours, split);
  }
}

// Every pixel size but 1 to 4 bytes is left alone.
template <int Run>
void copyPixels(SDL_Surface* screen, const Colours& colours, const Split& split) {
  uint8_t* pixels = static_cast<uint8_t*>(screen->pixels);
  const int pitch = screen->pitch;
  switch (screen->format->BytesPerPixel) {
    case 1: copyAtDepth<1, Run>(pixels, pitch, colours, split); break;
    case 2: copyAtDepth<2, Run>(pixels, pitch, colours, split); break;
    case 3: copyAtDepth<3, Run>(pixels, pitch, colours, split); break;
    case 4: copyAtDepth<4, Run>(pixels, pitch, colours, split); break;
    default: break;
  }
}

#if HAVE_AVX2_COPY
// The same copy built for AVX2, everything it calls compiled into it.
__attribute__((target("avx2"), flatten)) void copyPixelsAvx2(SDL_Surface* screen,
                                                              const Colours& colours,
                                                              const Split& split) {
  copyPixels<AVX2_RUN>(screen, colours, split);
}
#endif

void drawHudLine(int x, int y, const char* label, int32_t value, TextAlign align) {
  char line[HUD_LINE_CAPACITY];
  std::snprintf(line, sizeof line, "%s%d", label, int(value));
  drawText(x, y, line, align);
}

}  // namespace

void drawGameMask() {
  clearMaskAndDrawRock();
  const int32_t cameraLeft = trunc32(cameraX);
  const int32_t cameraTop = trunc32(cameraY);
  drawShots(cameraLeft, cameraTop);
  ShapeColumns<SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT> ship;
  readShapeColumns(shipShape, ship);
  drawShape(ship, trunc32(shipX) - cameraLeft + SHIP_LEFT, trunc32(shipY) - cameraTop + SHIP_TOP);
  ShapeColumns<ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE> enemy;
  readShapeColumns(enemyShape, enemy);
  for (int32_t i = 0; i < enemyCount; ++i) {
    drawShape(enemy, trunc32(enemies[i]->x) - cameraLeft + ENEMY_LEFT,
              trunc32(enemies[i]->y) - cameraTop + ENEMY_TOP);
  }
}

void copyMaskToScreen() {
  if (Screen == nullptr) return;
  const SurfacePixelLock lock(Screen);
  if (!lock.ok) return;
  // Mapped once a frame: the palette of an 8-bit screen could change between frames.
  const Colours colours = mapColours(Screen->format);
  const double strength = impactEffect;
  const Split split = {splitOffset(strength, RED_SIDEWAYS),   splitOffset(strength, RED_DOWN),
                       splitOffset(strength, GREEN_SIDEWAYS), splitOffset(strength, GREEN_DOWN),
                       splitOffset(strength, BLUE_SIDEWAYS),  splitOffset(strength, BLUE_UP)};
#if HAVE_AVX2_COPY
  if (copyMayUseAvx2 && __builtin_cpu_supports("avx2")) {
    copyPixelsAvx2(Screen, colours, split);
    return;
  }
#endif
  copyPixels<BASELINE_RUN>(Screen, colours, split);
}

void drawHud() {
  if (Screen == nullptr) return;
  drawImage(textBacking1, nullptr, BACKING1_PLACE.x, BACKING1_PLACE.y);
  drawHudLine(SCORE_LINES_X, HIGH_SCORE_LINE_Y, "HighScore = ", highScore, TextAlign::Left);
  drawHudLine(SCORE_LINES_X, SCORE_LINE_Y, "Score     = ", score, TextAlign::Left);
  drawImage(textBacking2, nullptr, BACKING2_PLACE.x, BACKING2_PLACE.y);
  drawHudLine(HEALTH_LINE_RIGHT, HEALTH_LINE_Y, "Health = ", trunc32(health), TextAlign::Right);
}

void drawGame() {
  drawGameMask();
  copyMaskToScreen();
  drawHud();
}
