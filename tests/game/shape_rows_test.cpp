// tests/game/shape_rows_test.cpp -- the shape reader on surfaces whose rows hold fewer bytes than
// a byte a pixel: SDL's 1- and 4-bit surfaces, which a damaged bitmap can decode to.
#include "game/media.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(ShapeReading, PixelsBeyondTheirRowAreSolidAndNeverRead) {
  // Classic SDL 1.2 packs 14 pixels of 1 bit into a row of 4 bytes and of 4 bits into 8 bytes;
  // sdl12-compat may pad rows further. Pixels whose byte lies within the row are read.
  struct Row {
    const char* name;
    int bitsPerPixel;
  };
  const Row rows[] = {
      {"1 bit a pixel: rows shorter than a byte a pixel", 1},
      {"4 bits a pixel: rows shorter than a byte a pixel", 4},
      {"8 bits a pixel: every pixel is read", 8},
  };
  for (const Row& row : rows) {
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE,
                                              row.bitsPerPixel, 0, 0, 0, 0);
    ASSERT_NE(image, nullptr) << row.name;
    const int readableColumns = image->pitch / image->format->BytesPerPixel;
    if (row.bitsPerPixel == 8) {
      ASSERT_GE(readableColumns, ENEMY_SHAPE_SIZE) << row.name;
    }
    uint8_t* pixels = static_cast<uint8_t*>(image->pixels);
    for (int i = 0; i < image->pitch * image->h; ++i) pixels[i] = uint8_t(i % 3);

    uint8_t shape[ENEMY_SHAPE_SIZE * ENEMY_SHAPE_SIZE];
    std::memset(shape, 7, sizeof shape);
    ASSERT_EQ(readShapeFromImage(image, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE, shape),
              ShapeRead::Read)
        << row.name;
    for (int x = 0; x < ENEMY_SHAPE_SIZE; ++x) {
      for (int y = 0; y < ENEMY_SHAPE_SIZE; ++y) {
        const uint8_t expected = x >= readableColumns || pixels[y * image->pitch + x] == 0;
        ASSERT_EQ(shape[x * ENEMY_SHAPE_SIZE + y], expected)
            << row.name << ": pixel (" << x << ", " << y << ")";
      }
    }
    SDL_FreeSurface(image);
  }
}
