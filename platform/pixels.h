// platform/pixels.h -- the one pixel read and the one pixel write behind every direct access to
// surface memory (the game's mask copy, the shape reader, the pause backdrop, the keyed images).
//
// Pixel (x, y) of a surface lies at pixels + pitch * y + BytesPerPixel * x. Its value is stored
// in 1, 2, 3 or 4 bytes as the format says; 3-byte values keep their first byte lowest
// (b0 + b1 * 256 + b2 * 65536) on every machine. Any other size reads as 0 and writes nothing.
// Runs of pixels between surfaces of the same format (sameTrueColourFormat) may be copied as
// bytes, and the game's mask copy writes a 4-byte pixel whose channels are whole bytes byte by
// byte. Callers keep (x, y) inside the surface: nothing here clips.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <cstring>

// Raw value of the pixel whose first byte is at `at`, for a format of `bytesPerPixel` bytes.
inline uint32_t readPixelAt(const uint8_t* at, int bytesPerPixel) {
  switch (bytesPerPixel) {
    case 1:
      return at[0];
    case 2: {
      uint16_t value;
      std::memcpy(&value, at, sizeof value);
      return value;
    }
    case 3:
      return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16;
    case 4: {
      uint32_t value;
      std::memcpy(&value, at, sizeof value);
      return value;
    }
    default:
      return 0;
  }
}

// Stores `value` at `at`: its low byte, low 16 bits, low three bytes (lowest first) or all of it.
inline void writePixelAt(uint8_t* at, int bytesPerPixel, uint32_t value) {
  switch (bytesPerPixel) {
    case 1:
      at[0] = uint8_t(value);
      break;
    case 2: {
      const uint16_t low = uint16_t(value);
      std::memcpy(at, &low, sizeof low);
      break;
    }
    case 3:
      at[0] = uint8_t(value);
      at[1] = uint8_t(value >> 8);
      at[2] = uint8_t(value >> 16);
      break;
    case 4:
      std::memcpy(at, &value, sizeof value);
      break;
    default:
      break;
  }
}

// Whether two true-colour formats keep every pixel in the same bytes and bits, so that a pixel
// copied from one to the other means the same colour there.
inline bool sameTrueColourFormat(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
  return a->palette == nullptr && b->palette == nullptr && a->BytesPerPixel == b->BytesPerPixel &&
         a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask &&
         a->Amask == b->Amask;
}

// A surface's pixel memory and layout, copied out of the surface so that a loop over many pixels
// keeps them in registers (stores through byte pointers would make the compiler reload them).
// The surface's pixels must be accessible (see SurfacePixelLock).
struct PixelGrid {
  uint8_t* pixels;
  int pitch;
  int bytesPerPixel;

  explicit PixelGrid(const SDL_Surface* surface)
      : pixels(static_cast<uint8_t*>(surface->pixels)),
        pitch(surface->pitch),
        bytesPerPixel(surface->format->BytesPerPixel) {}
  uint8_t* at(int x, int y) const { return pixels + pitch * y + bytesPerPixel * x; }
  uint32_t read(int x, int y) const { return readPixelAt(at(x, y), bytesPerPixel); }
  void write(int x, int y, uint32_t value) const { writePixelAt(at(x, y), bytesPerPixel, value); }
};

// Locks a surface for direct pixel access for as long as it lives, where SDL says the surface
// must be locked (SDL_MUSTLOCK); other surfaces are left alone. `ok` is false when the lock
// failed: the caller must then not touch the pixels.
struct SurfacePixelLock {
  explicit SurfacePixelLock(SDL_Surface* surface);
  ~SurfacePixelLock();
  SurfacePixelLock(const SurfacePixelLock&) = delete;
  SurfacePixelLock& operator=(const SurfacePixelLock&) = delete;

  SDL_Surface* surface;
  bool locked;
  bool ok;
};
