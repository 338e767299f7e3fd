// tests/game/media_test.cpp -- reading the ship and enemy shapes from images of every depth, and
// the one line printed when a bitmap cannot be used. (Every replay holds the cells' order.)
#include "game/media.h"

#include "platform/pixels.h"
#include "support/test_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

constexpr int WIDTH = SHIP_SHAPE_WIDTH, HEIGHT = SHIP_SHAPE_HEIGHT;

SDL_Surface* makeImage(int width, int height, int bitsPerPixel) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bitsPerPixel, 0, 0, 0, 0);
}

TEST(ShapeReading, OnlyARawValueOfZeroIsSolidAtEveryDepth) {
  struct Row {
    const char* name;
    int bitsPerPixel;
    uint32_t empty;  // a raw value next to 0
  };
  const Row rows[] = {
      {"8 bits: palette entry 0 is solid, whatever its colour", 8, 1},
      {"16 bits", 16, 0x8000},
      {"24 bits: (0, 0, 0) solid, (0, 0, 1) empty", 24, 0x000001},
      {"24 bits: the high byte counts too", 24, 0x010000},
      {"32 bits: all four bytes must be 0", 32, 0x01000000},
  };
  for (const Row& row : rows) {
    SDL_Surface* image = makeImage(WIDTH, HEIGHT, row.bitsPerPixel);
    ASSERT_NE(image, nullptr) << row.name;
    const PixelGrid grid(image);  // solid on a checkerboard
    for (int x = 0; x < WIDTH; ++x)
      for (int y = 0; y < HEIGHT; ++y) grid.write(x, y, (x + y) % 2 == 0 ? 0 : row.empty);
    uint8_t shape[WIDTH * HEIGHT];
    ASSERT_EQ(readShapeFromImage(image, WIDTH, HEIGHT, shape), ShapeRead::Read) << row.name;
    for (int x = 0; x < WIDTH; ++x)
      for (int y = 0; y < HEIGHT; ++y)
        ASSERT_EQ(shape[x * HEIGHT + y], (x + y) % 2 == 0) << row.name << ": " << x << "," << y;
    SDL_FreeSurface(image);
  }
}

TEST(ShapeReading, ImagesTooSmallOrPackedTighterThanAByteAPixel) {
  struct Row {
    const char* name;
    int width, height, bitsPerPixel;
    ShapeRead result;
  };
  // SDL packs 1- and 4-bit pixels tighter than a byte a pixel: those beyond the row's bytes
  // count as solid and are never read.
  const Row rows[] = {
      {"one column short", WIDTH - 1, HEIGHT, 24, ShapeRead::TooSmall},
      {"one row short", WIDTH, HEIGHT - 1, 24, ShapeRead::TooSmall},
      {"1 bit a pixel", WIDTH, HEIGHT, 1, ShapeRead::Read},
      {"4 bits a pixel", WIDTH, HEIGHT, 4, ShapeRead::Read},
  };
  for (const Row& row : rows) {
    SDL_Surface* image = makeImage(row.width, row.height, row.bitsPerPixel);
    ASSERT_NE(image, nullptr) << row.name;
    uint8_t* pixels = static_cast<uint8_t*>(image->pixels);
    for (int i = 0; i < image->pitch * image->h; ++i) pixels[i] = uint8_t(i % 3);
    uint8_t shape[WIDTH * HEIGHT];
    std::memset(shape, 7, sizeof shape);
    ASSERT_EQ(readShapeFromImage(image, WIDTH, HEIGHT, shape), row.result) << row.name;
    const int readableColumns = image->pitch / image->format->BytesPerPixel;
    for (int x = 0; x < WIDTH; ++x) {
      for (int y = 0; y < HEIGHT; ++y) {
        const uint8_t expected = row.result == ShapeRead::TooSmall ? 7
                                 : x >= readableColumns || pixels[y * image->pitch + x] == 0;
        ASSERT_EQ(shape[x * HEIGHT + y], expected) << row.name << ": " << x << "," << y;
      }
    }
    SDL_FreeSurface(image);
  }
}

TEST(GameMedia, AMissingBitmapStopsTheGameWithOneLineNamingIt) {
  openTestScreen(32);
  const ScopedWorkingDir scratch;
  std::filesystem::create_directories("Media/Game");
  SDL_Surface* ship = makeImage(WIDTH, HEIGHT, 24);
  ASSERT_EQ(SDL_SaveBMP(ship, "Media/Game/ship.bmp"), 0);
  SDL_FreeSurface(ship);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(loadGameMedia());
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("Media/Game/enemy1.bmp"), std::string::npos) << printed;
  EXPECT_NE(printed.find(scratch.dir), std::string::npos)
      << "names the working directory: " << printed;
  EXPECT_EQ(printed.find('\n'), printed.size() - 1) << "one line: " << printed;
  closeTestScreen();
}

}  // namespace
