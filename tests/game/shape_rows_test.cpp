// tests/game/shape_rows_test.cpp -- the shape reader on surfaces whose rows hold fewer bytes than
// a byte a pixel: SDL's 1- and 4-bit surfaces, which a damaged bitmap can decode to.
#include "game/media.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(ShapeReading, PixelsBeyondTheirRowAreSolidAndNeverRead) {
  struct Row {
    const char* name;
    int bitsPerPixel;
    int readableColumns;  // pixels whose byte lies within the row
  };
  const Row rows[] = {
      {"1 bit a pixel: 14 pixels in a 4-byte row", 1, 4},
      {"4 bits a pixel: 14 pixels in an 8-byte row", 4, 8},
      {"8 bits a pixel: every pixel is read", 8, ENEMY_SHAPE_SIZE},
  };
  for (const Row& row : rows) {
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE,
                                              row.bitsPerPixel, 0, 0, 0, 0);
    ASSERT_NE(image, nullptr) << row.name;
    uint8_t* pixels = static_cast<uint8_t*>(image->pixels);
    for (int i = 0; i < image->pitch * image->h; ++i) pixels[i] = uint8_t(i % 3);

    uint8_t shape[ENEMY_SHAPE_SIZE * ENEMY_SHAPE_SIZE];
    std::memset(shape, 7, sizeof shape);
    ASSERT_EQ(readShapeFromImage(image, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE, shape),
              ShapeRead::Read)
        << row.name;
    for (int x = 0; x < ENEMY_SHAPE_SIZE; ++x) {
      for (int y = 0; y < ENEMY_SHAPE_SIZE; ++y) {
        const uint8_t expected = x >= row.readableColumns || pixels[y * image->pitch + x] == 0;
        ASSERT_EQ(shape[x * ENEMY_SHAPE_SIZE + y], expected)
            << row.name << ": pixel (" << x << ", " << y << ")";
      }
    }
    SDL_FreeSurface(image);
  }
}
