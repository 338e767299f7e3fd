// tests/fuzz/shape_fuzz.cpp -- libFuzzer target: any bytes decoded as the game loads its bitmaps
// (the guard of overlay/images.h, then SDL_image); the ship and enemy shapes read from the result
// must match a plain reading of its raw pixel bytes, or, for a smaller image, be refused untouched.
#include "game/media.h"
#include "overlay/images.h"
#include "platform/pixels.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t UNTOUCHED = 7;  // a cell value the reader never writes
constexpr int BITS_PER_BYTE = 8;

[[noreturn]] void fault(const char* what, int width, int height) {
  std::fprintf(stderr, "shape fuzz: %s (shape %d by %d)\n", what, width, height);
  std::abort();
}

// The raw value of pixel (x, y), its bytes assembled lowest first, one at a time; 0 for a pixel
// of another size or one whose bytes would lie beyond its row.
uint32_t plainRawValue(const SDL_Surface* image, int x, int y) {
  const int size = image->format->BytesPerPixel;
  if (size < 1 || size > 4 || x * size + size > image->pitch) return 0;
  const uint8_t* at = static_cast<const uint8_t*>(image->pixels) + y * image->pitch + x * size;
  uint32_t value = 0;
  for (int i = 0; i < size; ++i) value |= uint32_t(at[i]) << (BITS_PER_BYTE * i);
  return value;
}

void checkShape(SDL_Surface* image, int width, int height) {
  uint8_t shape[SHIP_SHAPE_WIDTH * SHIP_SHAPE_HEIGHT];
  std::memset(shape, UNTOUCHED, sizeof shape);
  const ShapeRead result = readShapeFromImage(image, width, height, shape);
  const bool fits = image->w >= width && image->h >= height;
  if (!fits) {
    if (result != ShapeRead::TooSmall) fault("a small image was not refused", width, height);
    for (uint8_t cell : shape)
      if (cell != UNTOUCHED) fault("a refused image changed the shape", width, height);
    return;
  }
  if (result != ShapeRead::Read) fault("a large enough image was not read", width, height);
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y)
      if (shape[x * height + y] != (plainRawValue(image, x, y) == 0))
        fault("a cell differs from its pixel", width, height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SDL_RWops* bytes = SDL_RWFromConstMem(data, int(size));
  if (bytes == nullptr) return 0;
  if (!safeToDecode(bytes)) {
    SDL_RWclose(bytes);
    return 0;
  }
  // IMG_Load of "ship.bmp" passes the name's ending as the type, as this does.
  SDL_Surface* image = IMG_LoadTyped_RW(bytes, 1, const_cast<char*>("bmp"));
  if (image == nullptr) return 0;
  checkShape(image, SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT);
  checkShape(image, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE);
  SDL_FreeSurface(image);
  return 0;
}
