// overlay/backdrop.cpp -- the blurred, lightened pause backdrop: captured once when the overlay
// leaves Away, then blended with the unprocessed snapshot by the fade in every visible frame.
//
// The capture sweeps once across the picture in blocks of columns: a block is decoded from
// Screen, goes through the blur a column at a time, and is encoded into the processed surface
// once the last pass is done with it, so that its data stays in the cache.
#include "overlay/backdrop.h"

#include "app/screen.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "platform/pixels.h"

#include <SDL.h>

#include <algorithm>
#include <bit>
#include <cstring>

uint8_t backdropPixels[BACKDROP_BYTES];
uint8_t snapshotPixels[BACKDROP_BYTES];

namespace {

constexpr int CHANNELS = 3;  // red, green, blue bytes, in that order
constexpr int COLUMN_BYTES = SCREEN_HEIGHT * CHANNELS;
constexpr int CHANNEL_BITS = 8;
constexpr int WHOLE_PIXEL_BYTES = 4;  // the pixels whose channels are read byte by byte
constexpr int BLOCK_COLUMNS = 64;     // four 64-byte lines of such pixels in every row
constexpr int STRIP_ROWS = 16;
constexpr int STRIP_BYTES = STRIP_ROWS * CHANNELS;
constexpr int FADE_PARTS = 100;  // the blend's weights are whole parts of the fade

constexpr int bufferIndex(int x, int y) { return (x * SCREEN_HEIGHT + y) * CHANNELS; }

// The six blur passes: destination pixel = (sum of the four neighbours at `distance` in the
// source + `bias`) / 4, channel by channel, over the region `distance` in from every edge. They
// go back and forth between two halves, both of which start as the picture.
struct BlurPass {
  int distance, bias;
  // Steps it trails the columns' entry: the pass before's lag plus the larger of their distances,
  // as it reads that far into that pass's results and overwrites that pass's source that far on.
  int lag;
};
constexpr BlurPass BLUR_PASSES[] = {{3, 0, 3},  {3, 1, 6},  {1, 0, 9},
                                    {1, 0, 10}, {1, 0, 11}, {1, 0, 12}};
constexpr int LAST_LAG = 12;
constexpr int BLUR_RING = 16;   // more than the 13 steps from a column's entry to its last pass
constexpr int BLUR_CHUNK = 64;  // a size the compiler turns into vector code

// Lightening: every channel raised by 50, then held between 100 and 255.
constexpr int LIGHTEN_RAISE = 50;
constexpr int LIGHTEN_FLOOR = 100;
constexpr int CHANNEL_MAX = 255;

bool pictureSized(const SDL_Surface* surface) {
  return surface != nullptr && surface->w >= SCREEN_WIDTH && surface->h >= SCREEN_HEIGHT;
}

// Where a true-colour format keeps each channel, from its masks: n bits at bit `shift` have lost
// 8 - n. With whole bytes (4-byte pixels), SDL_GetRGB and SDL_MapRGB take each channel's byte as
// it stands, at `place` among the pixel's bytes in memory.
struct ChannelLayout {
  int shift[CHANNELS], loss[CHANNELS], place[CHANNELS];
  uint32_t alpha;
  bool wholeBytes;
};

int bytePlace(uint32_t mask) {
  uint8_t bytes[WHOLE_PIXEL_BYTES];
  std::memcpy(bytes, &mask, sizeof bytes);
  return int(std::find(bytes, bytes + WHOLE_PIXEL_BYTES, CHANNEL_MAX) - bytes);
}

ChannelLayout layoutOf(const SDL_PixelFormat* f) {
  const uint32_t masks[CHANNELS] = {f->Rmask, f->Gmask, f->Bmask};
  ChannelLayout layout{{}, {}, {}, f->Amask,
                       f->palette == nullptr && f->BytesPerPixel == WHOLE_PIXEL_BYTES};
  for (int c = 0; c < CHANNELS; ++c) {
    layout.shift[c] = masks[c] == 0 ? 0 : std::countr_zero(masks[c]);
    layout.loss[c] = CHANNEL_BITS - std::popcount(masks[c]);
    layout.place[c] = bytePlace(masks[c]);
    const bool byte = layout.loss[c] == 0 && layout.shift[c] % CHANNEL_BITS == 0;
    layout.wholeBytes = layout.wholeBytes && byte;
  }
  return layout;
}

// Columns `left` to `left` + BLOCK_COLUMNS - 1 of a surface into a column-major picture, row by
// row. Whole bytes are taken out of each pixel; other formats are read by SDL_GetRGB, asked
// again only when a pixel differs from its left neighbour.
void decodeColumns(SDL_Surface* surface, int left, uint8_t* picture) {
  const PixelGrid grid(surface);
  const ChannelLayout layout = layoutOf(surface->format);
  const int red = layout.place[0], green = layout.place[1], blue = layout.place[2];
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    uint8_t* to = picture + bufferIndex(left, y);
    if (layout.wholeBytes) {
      const uint8_t* from = grid.at(left, y);
      for (int i = 0; i < BLOCK_COLUMNS; ++i, from += WHOLE_PIXEL_BYTES, to += COLUMN_BYTES) {
        to[0] = from[red];
        to[1] = from[green];
        to[2] = from[blue];
      }
      continue;
    }
    uint32_t last = ~grid.read(left, y);  // differs from the first pixel
    Uint8 rgb[CHANNELS] = {};
    for (int x = left; x < left + BLOCK_COLUMNS; ++x, to += COLUMN_BYTES) {
      const uint32_t pixel = grid.read(x, y);
      if (pixel != last) {
        last = pixel;
        SDL_GetRGB(pixel, surface->format, &rgb[0], &rgb[1], &rgb[2]);
      }
      std::memcpy(to, rgb, CHANNELS);
    }
  }
}

// The same columns of backdropPixels into `surface`: whole bytes put into place with the alpha
// bits, other formats by SDL_MapRGB.
void encodeColumns(SDL_Surface* surface, int left) {
  const PixelGrid grid(surface);
  const ChannelLayout layout = layoutOf(surface->format);
  const int red = layout.shift[0], green = layout.shift[1], blue = layout.shift[2];
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    const uint8_t* rgb = backdropPixels + bufferIndex(left, y);
    if (layout.wholeBytes) {
      uint8_t* to = grid.at(left, y);
      for (int i = 0; i < BLOCK_COLUMNS; ++i, rgb += COLUMN_BYTES, to += WHOLE_PIXEL_BYTES) {
        writePixelAt(to, WHOLE_PIXEL_BYTES,
                     layout.alpha | uint32_t(rgb[0]) << red | uint32_t(rgb[1]) << green |
                         uint32_t(rgb[2]) << blue);
      }
      continue;
    }
    for (int x = left; x < left + BLOCK_COLUMNS; ++x, rgb += COLUMN_BYTES)
      grid.write(x, y, SDL_MapRGB(surface->format, rgb[0], rgb[1], rgb[2]));
  }
}

// The blur's two halves, a few columns of each: the passes run together, each trailing the one
// before, so that the columns in work stay in the cache. Their 16-bit channels need no widening
// for the sums. Column x lives in entry x % BLUR_RING from its entry until its last pass.
using BlurRing = uint16_t[BLUR_RING][COLUMN_BYTES];
BlurRing blurRingA, blurRingB;

uint16_t* ringColumn(int half, int x) {
  uint16_t(*ring)[COLUMN_BYTES] = half == 0 ? blurRingA : blurRingB;
  return ring[x % BLUR_RING];
}

// One pass over column x, from the source columns x - d, x and x + d. The rings are template
// arguments, so that the compiler writes vector code. Chunks of a fixed size; the last ends at
// the column's end, rewriting a few values.
template <const BlurRing& FROM, BlurRing& TO>
void blurColumn(int x, const BlurPass& pass) {
  const int along = pass.distance * CHANNELS;
  const int left = (x - pass.distance) % BLUR_RING, right = (x + pass.distance) % BLUR_RING;
  const int middle = x % BLUR_RING;
  for (int start = along; start < COLUMN_BYTES - along; start += BLUR_CHUNK) {
    const int at = std::min(start, COLUMN_BYTES - along - BLUR_CHUNK);
    for (int j = at; j < at + BLUR_CHUNK; ++j) {
      const uint16_t sum = uint16_t(FROM[left][j] + FROM[right][j] + FROM[middle][j - along] +
                                    FROM[middle][j + along] + pass.bias);
      TO[middle][j] = uint16_t(sum / 4);
    }
  }
}

// Screen's picture into snapshotPixels, and blurred by the six passes and lightened into
// backdropPixels and `backdrop` (when not null).
void blurAndLighten(SDL_Surface* backdrop) {
  for (int step = 0; step < SCREEN_WIDTH + LAST_LAG; ++step) {
    if (step < SCREEN_WIDTH) {
      if (step % BLOCK_COLUMNS == 0) decodeColumns(Screen, step, snapshotPixels);
      const uint8_t* picture = snapshotPixels + bufferIndex(step, 0);
      std::copy(picture, picture + COLUMN_BYTES, ringColumn(0, step));
      // Half 1 needs the picture only where the first pass will not write this column.
      const int reach = BLUR_PASSES[0].distance;
      const bool inside = step >= reach && step < SCREEN_WIDTH - reach;
      const int edge = inside ? reach * CHANNELS : COLUMN_BYTES / 2;
      uint16_t* other = ringColumn(1, step);
      std::copy(picture, picture + edge, other);
      std::copy(picture + COLUMN_BYTES - edge, picture + COLUMN_BYTES, other + COLUMN_BYTES - edge);
    }
    int half = 0;
    for (const BlurPass& pass : BLUR_PASSES) {
      const int x = step - pass.lag;
      if (x >= pass.distance && x < SCREEN_WIDTH - pass.distance)
        half == 0 ? blurColumn<blurRingA, blurRingB>(x, pass)
                  : blurColumn<blurRingB, blurRingA>(x, pass);
      half = 1 - half;
    }
    const int done = step - LAST_LAG;
    if (done < 0) continue;
    const uint16_t* blurred = ringColumn(half, done);
    uint8_t* to = backdropPixels + bufferIndex(done, 0);
    for (int j = 0; j < COLUMN_BYTES; ++j) {
      // Held in 16 bits, the width of the blur's channels: a vector of them is clamped at once.
      const int16_t raised = int16_t(blurred[j] + LIGHTEN_RAISE);
      to[j] = uint8_t(std::clamp<int16_t>(raised, LIGHTEN_FLOOR, CHANNEL_MAX));
    }
    if (backdrop != nullptr && done % BLOCK_COLUMNS == BLOCK_COLUMNS - 1)
      encodeColumns(backdrop, done + 1 - BLOCK_COLUMNS);
  }
}

// The mixture of the two buffers by `weight` parts of 100 into Screen, packed inline by the
// format's losses and shifts (a palette display maps each mixed colour).
void blendIntoScreen(int weight) {
  const SDL_PixelFormat* f = Screen->format;
  const bool palette = f->palette != nullptr;
  const ChannelLayout layout = layoutOf(f);
  const PixelGrid grid(Screen);
  for (int top = 0; top < SCREEN_HEIGHT; top += STRIP_ROWS) {
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      const uint8_t* backdrop = backdropPixels + bufferIndex(x, top);
      const uint8_t* snapshot = snapshotPixels + bufferIndex(x, top);
      uint8_t mixed[STRIP_BYTES];
      for (int i = 0; i < STRIP_BYTES; ++i) {
        const int sum = backdrop[i] * weight + snapshot[i] * (FADE_PARTS - weight);
        mixed[i] = uint8_t(sum / FADE_PARTS);
      }
      for (int row = 0; row < STRIP_ROWS; ++row) {
        const uint8_t* rgb = mixed + CHANNELS * row;
        uint32_t pixel = 0;
        for (int c = 0; c < CHANNELS; ++c)
          pixel |= uint32_t(rgb[c] >> layout.loss[c]) << layout.shift[c];
        grid.write(x, top + row, palette ? SDL_MapRGB(f, rgb[0], rgb[1], rgb[2]) : pixel);
      }
    }
  }
}

constexpr int ROW_BYTES = SCREEN_WIDTH * WHOLE_PIXEL_BYTES;

// One row of the blend; `colourBytes` clears the bytes of no colour.
void mixRow(uint8_t* __restrict out, const uint8_t* __restrict backdrop,
            const uint8_t* __restrict snapshot, const uint8_t* __restrict colourBytes, int weight) {
  for (int i = 0; i < ROW_BYTES; ++i) {
    const uint16_t sum = uint16_t(backdrop[i] * weight + snapshot[i] * (FADE_PARTS - weight));
    out[i] = uint8_t(sum / FADE_PARTS) & colourBytes[i];
  }
}

// The blend where Screen and both work surfaces hold whole-byte colours in the same places:
// their bytes are mixed row by row, in memory order.
void mixSurfacesIntoScreen(int weight, const SDL_Surface* snapshot, const SDL_Surface* backdrop) {
  const SDL_PixelFormat* f = Screen->format;
  uint8_t colourBytes[ROW_BYTES];
  for (int x = 0; x < SCREEN_WIDTH; ++x)
    writePixelAt(colourBytes + WHOLE_PIXEL_BYTES * x, WHOLE_PIXEL_BYTES,
                 f->Rmask | f->Gmask | f->Bmask);
  const PixelGrid out(Screen), b(backdrop), s(snapshot);
  for (int y = 0; y < SCREEN_HEIGHT; ++y)
    mixRow(out.at(0, y), b.at(0, y), s.at(0, y), colourBytes, weight);
}

}  // namespace

void capturePauseBackdrop() {
  SDL_Surface* snapshot = overlayMedia.snapshotSurface;
  SDL_Surface* backdrop = overlayMedia.backdropSurface;
  if (!pictureSized(Screen) || !pictureSized(snapshot) || !pictureSized(backdrop)) return;

  SDL_Rect origin{0, 0, 0, 0};
  SDL_UpperBlit(Screen, nullptr, snapshot, &origin);
  {
    SurfacePixelLock screenLock(Screen);
    if (!screenLock.ok) return;
    SurfacePixelLock backdropLock(backdrop);
    blurAndLighten(backdropLock.ok ? backdrop : nullptr);
  }
  // In Screen's own format the blit copied Screen's pixels: the snapshot is the picture that
  // snapshotPixels holds. Otherwise it is read back from its surface.
  const bool copied = sameTrueColourFormat(snapshot->format, Screen->format) &&
                      (Screen->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == 0;
  SurfacePixelLock lock(snapshot);
  if (copied || !lock.ok) return;
  for (int left = 0; left < SCREEN_WIDTH; left += BLOCK_COLUMNS)
    decodeColumns(snapshot, left, snapshotPixels);
}

void drawPauseBackdrop() {
  SDL_Surface* snapshot = overlayMedia.snapshotSurface;
  SDL_Surface* backdrop = overlayMedia.backdropSurface;
  if (overlayFade == FADE_AWAY || !pictureSized(Screen) || !pictureSized(snapshot) ||
      !pictureSized(backdrop))
    return;
  if (overlayFade == FADE_FULL) {
    SDL_Rect origin{0, 0, 0, 0};
    SDL_UpperBlit(backdrop, nullptr, Screen, &origin);
    return;
  }
  const int weight = int(overlayFade);
  SurfacePixelLock lock(Screen);
  if (!lock.ok) return;
  const SDL_PixelFormat* f = Screen->format;
  if (layoutOf(f).wholeBytes && sameTrueColourFormat(f, snapshot->format) &&
      sameTrueColourFormat(f, backdrop->format)) {
    SurfacePixelLock snapshotLock(snapshot);
    SurfacePixelLock backdropLock(backdrop);
    if (snapshotLock.ok && backdropLock.ok) mixSurfacesIntoScreen(weight, snapshot, backdrop);
    return;
  }
  blendIntoScreen(weight);
}
