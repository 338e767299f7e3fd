// web/surfaces.cpp -- SDL_DisplayFormat, a working SDL_SetColorKey and true channel shifts for
// Emscripten's canvas-backed surfaces.
#include "web/surfaces.h"

#include "platform/pixels.h"

namespace {

constexpr int CHANNEL_BITS = 8;
constexpr int PIXEL_BITS = 32;

int trailingZeroBits(Uint32 mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while ((mask & 1u) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

Uint8 lossOf(Uint32 mask) {
  int bits = 0;
  for (int i = 0; i < PIXEL_BITS; ++i) bits += int(mask >> i & 1u);
  return Uint8(bits >= CHANNEL_BITS ? 0 : CHANNEL_BITS - bits);
}

// Calls `change` on every pixel value of `surface` and stores what it returns. The lock copies
// the canvas into memory and the unlock puts it back.
template <typename Change>
void changeEveryPixel(SDL_Surface* surface, Change change) {
  const SurfacePixelLock lock(surface);
  if (!lock.ok) return;
  const PixelGrid grid(surface);
  for (int y = 0; y < surface->h; ++y) {
    for (int x = 0; x < surface->w; ++x) {
      grid.write(x, y, change(grid.read(x, y)));
    }
  }
}

}  // namespace

void fixChannelShifts(SDL_PixelFormat* format) {
  if (format == nullptr || format->palette != nullptr) return;
  format->Rshift = Uint8(trailingZeroBits(format->Rmask));
  format->Gshift = Uint8(trailingZeroBits(format->Gmask));
  format->Bshift = Uint8(trailingZeroBits(format->Bmask));
  format->Ashift = Uint8(trailingZeroBits(format->Amask));
  format->Rloss = lossOf(format->Rmask);
  format->Gloss = lossOf(format->Gmask);
  format->Bloss = lossOf(format->Bmask);
  format->Aloss = lossOf(format->Amask);
}

extern "C" SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
  SDL_Surface* converted = SDL_DisplayFormatAlpha(surface);
  if (converted == nullptr) return nullptr;
  fixChannelShifts(converted->format);
  const Uint32 opaque = converted->format->Amask;
  changeEveryPixel(converted, [opaque](Uint32 pixel) { return pixel | opaque; });
  return converted;
}

extern "C" int SDL_SetColorKey(SDL_Surface* surface, int flag, Uint32 key) {
  if (surface == nullptr) return -1;
  if ((flag & SDL_SRCCOLORKEY) == 0) return 0;
  const SDL_PixelFormat* format = surface->format;
  const Uint32 colour = format->Rmask | format->Gmask | format->Bmask;
  const Uint32 alpha = format->Amask;
  changeEveryPixel(surface, [colour, alpha, key](Uint32 pixel) {
    return (pixel & colour) == (key & colour) ? pixel & ~alpha : pixel;
  });
  return 0;
}
