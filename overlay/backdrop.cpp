// overlay/backdrop.cpp -- the blurred, lightened pause backdrop: captured once when the overlay
// leaves Away, then blended with the unprocessed snapshot by the fade in every visible frame.
//
// The buffers are column-major (one step in y is 3 bytes, one step in x is 1,440) while surfaces
// are row-major, so the conversions between them go along strips of 16 rows: the rows being read
// or written stay in the cache while the loop walks down the columns of the buffers.
#include "overlay/backdrop.h"

#include "app/screen.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "platform/pixels.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

uint8_t backdropPixels[BACKDROP_BYTES];
uint8_t snapshotPixels[BACKDROP_BYTES];

namespace {

constexpr int CHANNELS = 3;  // red, green, blue bytes, in that order
constexpr int COLUMN_BYTES = SCREEN_HEIGHT * CHANNELS;
constexpr int STRIP_ROWS = 16;
constexpr int STRIP_BYTES = STRIP_ROWS * CHANNELS;
constexpr int BYTE_VALUES = 256;
constexpr int FADE_PARTS = 100;  // the blend's weights are whole parts of the fade

constexpr int bufferIndex(int x, int y) { return (x * SCREEN_HEIGHT + y) * CHANNELS; }

// The six blur passes: destination pixel = (sum of the four neighbours at `distance` in the
// source + `bias`) / 4, channel by channel, over the region `distance` in from every edge. The
// passes go back and forth between backdropPixels and a scratch buffer, starting from the former.
struct BlurPass {
  int distance;
  int bias;
};
constexpr BlurPass BLUR_PASSES[] = {{3, 0}, {3, 1}, {1, 0}, {1, 0}, {1, 0}, {1, 0}};
// The blur works on whole chunks of a column, a size the compiler can turn into vector code.
constexpr int BLUR_CHUNK = 32;

// Lightening: every channel raised by 50, then held between 100 and 255.
constexpr int LIGHTEN_RAISE = 50;
constexpr int LIGHTEN_FLOOR = 100;
constexpr int CHANNEL_MAX = 255;

bool pictureSized(const SDL_Surface* surface) {
  return surface != nullptr && surface->w >= SCREEN_WIDTH && surface->h >= SCREEN_HEIGHT;
}

// Surface rows into a column-major picture by SDL_GetRGB, asked again only when a pixel differs
// from the one above it: the game's pictures are mostly flat.
void decodePicture(SDL_Surface* surface, uint8_t* picture) {
  const PixelGrid grid(surface);
  for (int top = 0; top < SCREEN_HEIGHT; top += STRIP_ROWS) {
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      uint32_t last = ~grid.read(x, top);  // differs from the first pixel
      Uint8 rgb[CHANNELS] = {};
      for (int y = top; y < top + STRIP_ROWS; ++y) {
        const uint32_t pixel = grid.read(x, y);
        if (pixel != last) {
          last = pixel;
          SDL_GetRGB(pixel, surface->format, &rgb[0], &rgb[1], &rgb[2]);
        }
        std::memcpy(picture + bufferIndex(x, y), rgb, CHANNELS);
      }
    }
  }
}

// backdropPixels into `surface` by SDL_MapRGB. In true colour its value is the OR of the values
// of the three channels on their own, looked up; a palette maps every pixel.
void encodeBackdrop(SDL_Surface* surface) {
  SDL_PixelFormat* format = surface->format;
  const bool palette = format->palette != nullptr;
  uint32_t table[CHANNELS][BYTE_VALUES];
  for (int v = 0; v < BYTE_VALUES; ++v) {
    table[0][v] = SDL_MapRGB(format, Uint8(v), 0, 0);
    table[1][v] = SDL_MapRGB(format, 0, Uint8(v), 0);
    table[2][v] = SDL_MapRGB(format, 0, 0, Uint8(v));
  }
  const PixelGrid grid(surface);
  for (int top = 0; top < SCREEN_HEIGHT; top += STRIP_ROWS) {
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      for (int y = top; y < top + STRIP_ROWS; ++y) {
        const uint8_t* rgb = backdropPixels + bufferIndex(x, y);
        grid.write(x, y, palette ? SDL_MapRGB(format, rgb[0], rgb[1], rgb[2])
                                 : table[0][rgb[0]] | table[1][rgb[1]] | table[2][rgb[2]]);
      }
    }
  }
}

void blurPass(const uint8_t* source, uint8_t* destination, const BlurPass& pass) {
  const int across = pass.distance * COLUMN_BYTES;
  const int along = pass.distance * CHANNELS;
  const int first = pass.distance * CHANNELS;
  const int end = COLUMN_BYTES - pass.distance * CHANNELS;
  for (int x = pass.distance; x < SCREEN_WIDTH - pass.distance; ++x) {
    const uint8_t* from = source + bufferIndex(x, 0);
    uint8_t* to = destination + bufferIndex(x, 0);
    // The last chunk is moved back to end at the column's end; it writes some bytes twice, with
    // the same values, as a pass never reads what it writes.
    for (int start = first; start < end; start += BLUR_CHUNK) {
      const int at = std::min(start, end - BLUR_CHUNK);
      uint8_t chunk[BLUR_CHUNK];
      for (int i = 0; i < BLUR_CHUNK; ++i) {
        const int j = at + i;
        const uint16_t sum = uint16_t(from[j - across] + from[j + across] + from[j - along] +
                                      from[j + along] + pass.bias);
        chunk[i] = uint8_t(sum / 4);
      }
      std::memcpy(to + at, chunk, BLUR_CHUNK);
    }
  }
}

// The blur's other half, so that snapshotPixels keeps the snapshot meanwhile.
uint8_t blurScratch[BACKDROP_BYTES];

// backdropPixels, which holds the picture, blurred by the six passes and lightened.
void blurAndLighten() {
  std::memcpy(blurScratch, backdropPixels, BACKDROP_BYTES);
  bool fromBackdrop = true;
  for (const BlurPass& pass : BLUR_PASSES) {
    if (fromBackdrop) {
      blurPass(backdropPixels, blurScratch, pass);
    } else {
      blurPass(blurScratch, backdropPixels, pass);
    }
    fromBackdrop = !fromBackdrop;
  }
  for (uint8_t& c : backdropPixels)
    c = uint8_t(std::min(CHANNEL_MAX, std::max(LIGHTEN_FLOOR, c + LIGHTEN_RAISE)));
}

// The mixture of the two buffers by `weight` parts of 100 into Screen, packed inline by the
// format's losses and shifts (a palette display maps each mixed colour).
void blendIntoScreen(int weight) {
  const SDL_PixelFormat* f = Screen->format;
  const bool palette = f->palette != nullptr;
  const int loss[CHANNELS] = {f->Rloss, f->Gloss, f->Bloss};
  const int shift[CHANNELS] = {f->Rshift, f->Gshift, f->Bshift};
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
        for (int c = 0; c < CHANNELS; ++c) pixel |= uint32_t(rgb[c] >> loss[c]) << shift[c];
        grid.write(x, top + row, palette ? SDL_MapRGB(f, rgb[0], rgb[1], rgb[2]) : pixel);
      }
    }
  }
}

// Red, green and blue each a whole byte of a 4-byte pixel: the pixels' bytes are the colours'.
bool wholeByteChannels(const SDL_PixelFormat* f) {
  const uint32_t masks[CHANNELS] = {f->Rmask, f->Gmask, f->Bmask};
  const int shifts[CHANNELS] = {f->Rshift, f->Gshift, f->Bshift};
  bool whole = f->BytesPerPixel == sizeof(uint32_t) && f->palette == nullptr;
  for (int c = 0; c < CHANNELS; ++c)
    whole = whole && shifts[c] % 8 == 0 && masks[c] == uint32_t(CHANNEL_MAX) << shifts[c];
  return whole;
}

// The blend where Screen and both work surfaces hold whole-byte colours in the same places: the
// surfaces then hold the two pictures row by row, so their bytes are mixed in memory order,
// and the bits of no colour cleared.
void mixSurfacesIntoScreen(int weight, const SDL_Surface* snapshot, const SDL_Surface* backdrop) {
  const SDL_PixelFormat* f = Screen->format;
  const uint32_t colourBits = f->Rmask | f->Gmask | f->Bmask;
  constexpr int ROW_BYTES = SCREEN_WIDTH * sizeof(uint32_t);
  for (int y = 0; y < SCREEN_HEIGHT; ++y) {
    const uint8_t* b = static_cast<const uint8_t*>(backdrop->pixels) + backdrop->pitch * y;
    const uint8_t* s = static_cast<const uint8_t*>(snapshot->pixels) + snapshot->pitch * y;
    uint32_t row[SCREEN_WIDTH];
    uint8_t* bytes = reinterpret_cast<uint8_t*>(row);
    for (int i = 0; i < ROW_BYTES; ++i) {
      const uint16_t sum = uint16_t(b[i] * weight + s[i] * (FADE_PARTS - weight));
      bytes[i] = uint8_t(sum / FADE_PARTS);
    }
    uint32_t* screenRow =
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(Screen->pixels) + Screen->pitch * y);
    for (int x = 0; x < SCREEN_WIDTH; ++x) screenRow[x] = row[x] & colourBits;
  }
}

}  // namespace

void capturePauseBackdrop() {
  SDL_Surface* snapshot = overlayMedia.snapshotSurface;
  SDL_Surface* backdrop = overlayMedia.backdropSurface;
  // Without both work surfaces the overlay opens without a backdrop: nothing is touched.
  if (!pictureSized(Screen) || !pictureSized(snapshot) || !pictureSized(backdrop)) return;

  SDL_Rect origin{0, 0, 0, 0};
  SDL_UpperBlit(Screen, nullptr, snapshot, &origin);
  {
    SurfacePixelLock lock(Screen);
    if (!lock.ok) return;
    decodePicture(Screen, backdropPixels);
  }
  // In Screen's own format the blit copied Screen's pixels: the snapshot decodes to the picture
  // just decoded. Otherwise it is read back from its surface at the end.
  const bool copied = sameTrueColourFormat(snapshot->format, Screen->format) &&
                      (Screen->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == 0;
  if (copied) std::memcpy(snapshotPixels, backdropPixels, BACKDROP_BYTES);
  blurAndLighten();
  {
    SurfacePixelLock lock(backdrop);
    if (lock.ok) encodeBackdrop(backdrop);
  }
  SurfacePixelLock lock(snapshot);
  if (!copied && lock.ok) decodePicture(snapshot, snapshotPixels);
}

void drawPauseBackdrop() {
  if (overlayFade == FADE_AWAY || !pictureSized(Screen) ||
      !pictureSized(overlayMedia.snapshotSurface) || !pictureSized(overlayMedia.backdropSurface))
    return;
  if (overlayFade == FADE_FULL) {
    SDL_Rect origin{0, 0, 0, 0};
    SDL_UpperBlit(overlayMedia.backdropSurface, nullptr, Screen, &origin);
    return;
  }
  // The mixture is chosen by the whole part of the fade only: below 1.0 the snapshot as it was.
  const int weight = int(overlayFade);
  SDL_Surface* snapshot = overlayMedia.snapshotSurface;
  SDL_Surface* backdrop = overlayMedia.backdropSurface;
  SurfacePixelLock lock(Screen);
  if (!lock.ok) return;
  const SDL_PixelFormat* f = Screen->format;
  if (wholeByteChannels(f) && sameTrueColourFormat(f, snapshot->format) &&
      sameTrueColourFormat(f, backdrop->format)) {
    SurfacePixelLock snapshotLock(snapshot);
    SurfacePixelLock backdropLock(backdrop);
    if (snapshotLock.ok && backdropLock.ok) mixSurfacesIntoScreen(weight, snapshot, backdrop);
    return;
  }
  blendIntoScreen(weight);
}
