// tests/game/media_test.cpp -- the ship and enemy shapes from bitmaps of every depth, the one
// line printed for a missing or small bitmap, and the committed game media.
#include "game/media.h"

#include "platform/pixels.h"
#include "support/test_screen.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* SHIP_PATH = "Media/Game/ship.bmp";
constexpr const char* ENEMY_PATH = "Media/Game/enemy1.bmp";

// A bitmap as the test means it: raw pixel values in the file's own format, row after row.
struct Bitmap {
  int width;
  int height;
  int bitsPerPixel;
  std::vector<uint32_t> raw;
};

Bitmap makeBitmap(int width, int height, int bitsPerPixel,
                  const std::function<uint32_t(int x, int y)>& rawAt) {
  Bitmap bitmap{width, height, bitsPerPixel, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bitmap.raw.push_back(rawAt(x, y));
  }
  return bitmap;
}

void putLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

// 16 and 32 bits a pixel: SDL 1.2's SDL_SaveBMP converts those depths to 24 bits, so they are
// written by hand, with the masks in the header (BI_BITFIELDS) and rows bottom-up.
void writeBitfieldBmp(const std::string& path, const Bitmap& bitmap) {
  constexpr uint32_t BI_BITFIELDS = 3;
  constexpr int FILE_HEADER = 14, INFO_HEADER = 40, MASKS = 12;
  const int bytesPerPixel = bitmap.bitsPerPixel / 8;
  const int rowBytes = (bitmap.width * bytesPerPixel + 3) / 4 * 4;
  const int offset = FILE_HEADER + INFO_HEADER + MASKS;
  std::vector<uint8_t> bytes = {'B', 'M'};
  putLittleEndian(bytes, uint32_t(offset + rowBytes * bitmap.height), 4);
  putLittleEndian(bytes, 0, 4);
  putLittleEndian(bytes, uint32_t(offset), 4);
  putLittleEndian(bytes, INFO_HEADER, 4);
  putLittleEndian(bytes, uint32_t(bitmap.width), 4);
  putLittleEndian(bytes, uint32_t(bitmap.height), 4);
  putLittleEndian(bytes, 1, 2);
  putLittleEndian(bytes, uint32_t(bitmap.bitsPerPixel), 2);
  putLittleEndian(bytes, BI_BITFIELDS, 4);
  putLittleEndian(bytes, uint32_t(rowBytes * bitmap.height), 4);
  for (int i = 0; i < 4; ++i) putLittleEndian(bytes, 0, 4);  // resolution and palette sizes
  const bool wide = bitmap.bitsPerPixel == 32;
  putLittleEndian(bytes, wide ? 0x00FF0000 : 0xF800, 4);
  putLittleEndian(bytes, wide ? 0x0000FF00 : 0x07E0, 4);
  putLittleEndian(bytes, wide ? 0x000000FF : 0x001F, 4);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    for (int x = 0; x < bitmap.width; ++x) {
      putLittleEndian(bytes, bitmap.raw[size_t(y * bitmap.width + x)], bytesPerPixel);
    }
    bytes.resize(bytes.size() + size_t(rowBytes - bitmap.width * bytesPerPixel), 0);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
}

// 8 bits (palette entry 0 white, entry 1 black, so colour says nothing) and 24 bits, through
// SDL_SaveBMP.
void writeSavedBmp(const std::string& path, const Bitmap& bitmap) {
  const bool palette = bitmap.bitsPerPixel == 8;
  SDL_Surface* surface = SDL_CreateRGBSurface(
      SDL_SWSURFACE, bitmap.width, bitmap.height, bitmap.bitsPerPixel,
      palette ? 0 : 0x00FF0000, palette ? 0 : 0x0000FF00, palette ? 0 : 0x000000FF, 0);
  ASSERT_NE(surface, nullptr);
  if (palette) {
    std::vector<SDL_Color> colours(256, SDL_Color{128, 128, 128, 0});
    colours[0] = SDL_Color{255, 255, 255, 0};
    colours[1] = SDL_Color{0, 0, 0, 0};
    SDL_SetColors(surface, colours.data(), 0, 256);
  }
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      writePixel(surface, x, y, bitmap.raw[size_t(y * bitmap.width + x)]);
    }
  }
  ASSERT_EQ(SDL_SaveBMP(surface, path.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(surface);
}

// Writes the bitmap and checks that IMG_Load gives back the same depth and raw values, so a
// case is about the depth it names.
void writeBitmap(const std::string& path, const Bitmap& bitmap) {
  if (bitmap.bitsPerPixel == 16 || bitmap.bitsPerPixel == 32) {
    writeBitfieldBmp(path, bitmap);
  } else {
    writeSavedBmp(path, bitmap);
  }
  SDL_Surface* loaded = IMG_Load(path.c_str());
  ASSERT_NE(loaded, nullptr) << path;
  EXPECT_EQ(loaded->format->BitsPerPixel, bitmap.bitsPerPixel) << path;
  {
    const SurfacePixelLock lock(loaded);
    ASSERT_TRUE(lock.ok);
    for (int y = 0; y < bitmap.height; ++y) {
      for (int x = 0; x < bitmap.width; ++x) {
        ASSERT_EQ(readPixel(loaded, x, y), bitmap.raw[size_t(y * bitmap.width + x)])
            << path << " pixel (" << x << ", " << y << ")";
      }
    }
  }
  SDL_FreeSurface(loaded);
}

// A temp folder with Media/Game/ in it, the working directory while it lives; removed after.
struct MediaFolder {
  MediaFolder() : root(makeTempDir()), cwd(root) {
    std::filesystem::create_directories(root + "/Media/Game");
  }
  ~MediaFolder() { std::filesystem::remove_all(root); }
  std::string root;
  ScopedWorkingDir cwd;
};

// Runs loadGameMedia and returns what it printed on stderr.
std::string loadCapturingStderr(bool& loaded) {
  testing::internal::CaptureStderr();
  loaded = loadGameMedia();
  return testing::internal::GetCapturedStderr();
}

std::string workingDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

}  // namespace

TEST(GameMedia, ShapesFromBitmapsOfEveryDepth) {
  struct Row {
    const char* name;
    int bitsPerPixel;
    std::vector<uint32_t> emptyValues;  // raw values that must not count as solid
  };
  const Row rows[] = {
      {"8-bit: palette entry 0 is solid though white, entry 1 empty though black", 8, {1, 2, 255}},
      {"16-bit: only raw 0 is solid", 16, {1, 0x8000, 0xFFFF}},
      {"24-bit: (0, 0, 0) solid, (0, 0, 1) and (1, 0, 0) empty", 24, {0x000001, 0x010000, 0xFFFFFF}},
      {"32-bit: solid only when all four bytes are 0", 32, {0xFF000000, 0x00000001, 0xFFFFFFFF}},
  };
  openTestScreen(32);
  std::srand(7);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MediaFolder folder;
    std::vector<uint8_t> shipSolid(size_t(SHIP_SHAPE_WIDTH * SHIP_SHAPE_HEIGHT));
    std::vector<uint8_t> enemySolid(size_t(ENEMY_SHAPE_SIZE * ENEMY_SHAPE_SIZE));
    auto randomRaw = [&](std::vector<uint8_t>& solid, int height) {
      return [&solid, height, &row](int x, int y) -> uint32_t {
        const bool isSolid = std::rand() % 2 == 0;
        solid[size_t(x * height + y)] = isSolid ? 1 : 0;
        return isSolid ? 0 : row.emptyValues[size_t(std::rand()) % row.emptyValues.size()];
      };
    };
    writeBitmap(SHIP_PATH, makeBitmap(SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT, row.bitsPerPixel,
                                      randomRaw(shipSolid, SHIP_SHAPE_HEIGHT)));
    writeBitmap(ENEMY_PATH, makeBitmap(ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE, row.bitsPerPixel,
                                       randomRaw(enemySolid, ENEMY_SHAPE_SIZE)));
    ASSERT_TRUE(loadGameMedia());
    EXPECT_EQ(std::vector<uint8_t>(std::begin(shipShape), std::end(shipShape)), shipSolid);
    EXPECT_EQ(std::vector<uint8_t>(std::begin(enemyShape), std::end(enemyShape)), enemySolid);
  }
  closeTestScreen();
}

TEST(GameMedia, ShapeIndexRunsAlongTheImageX) {
  struct Row {
    const char* name;
    int solidX, solidY;
    int shipIndex;
  };
  const Row rows[] = {
      {"pixel (1, 0) is shipShape[12]", 1, 0, 12},
      {"pixel (0, 1) is shipShape[1]", 0, 1, 1},
      {"pixel (23, 11) is the last cell", 23, 11, 287},
  };
  openTestScreen(32);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MediaFolder folder;
    writeBitmap(SHIP_PATH, makeBitmap(SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT, 24, [&](int x, int y) {
                  return x == row.solidX && y == row.solidY ? 0u : 0xFFFFFFu;
                }));
    writeBitmap(ENEMY_PATH, makeBitmap(ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE, 24,
                                       [](int, int) { return 0xFFFFFFu; }));
    ASSERT_TRUE(loadGameMedia());
    for (int i = 0; i < SHIP_SHAPE_WIDTH * SHIP_SHAPE_HEIGHT; ++i) {
      EXPECT_EQ(shipShape[i], i == row.shipIndex ? 1 : 0) << "index " << i;
    }
  }
  closeTestScreen();
}

TEST(GameMedia, LargerBitmapGivesItsTopLeftCorner) {
  openTestScreen(32);
  MediaFolder folder;
  // Checkerboard inside the shape's size, solid everywhere beyond it.
  auto raw = [](int width, int height) {
    return [=](int x, int y) -> uint32_t {
      return x >= width || y >= height || (x + y) % 2 == 0 ? 0 : 0xFFFFFF;
    };
  };
  writeBitmap(SHIP_PATH, makeBitmap(40, 20, 24, raw(SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT)));
  writeBitmap(ENEMY_PATH, makeBitmap(20, 31, 24, raw(ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE)));
  ASSERT_TRUE(loadGameMedia());
  for (int x = 0; x < SHIP_SHAPE_WIDTH; ++x) {
    for (int y = 0; y < SHIP_SHAPE_HEIGHT; ++y) {
      EXPECT_EQ(shipShape[x * SHIP_SHAPE_HEIGHT + y], (x + y) % 2 == 0 ? 1 : 0) << x << "," << y;
    }
  }
  for (int x = 0; x < ENEMY_SHAPE_SIZE; ++x) {
    for (int y = 0; y < ENEMY_SHAPE_SIZE; ++y) {
      EXPECT_EQ(enemyShape[x * ENEMY_SHAPE_SIZE + y], (x + y) % 2 == 0 ? 1 : 0) << x << "," << y;
    }
  }
  closeTestScreen();
}

TEST(GameMedia, MissingUndecodableOrSmallBitmapStopsWithOneLine) {
  struct Row {
    const char* name;
    int shipWidth, shipHeight;  // 0: no file; -1: a file that is not an image
    int enemyWidth, enemyHeight;
    const char* namedFile;
  };
  const Row rows[] = {
      {"ship.bmp missing", 0, 0, 14, 14, SHIP_PATH},
      {"ship.bmp not an image", -1, -1, 14, 14, SHIP_PATH},
      {"ship.bmp one column short", 23, 12, 14, 14, SHIP_PATH},
      {"ship.bmp one row short", 24, 11, 14, 14, SHIP_PATH},
      {"enemy1.bmp missing", 24, 12, 0, 0, ENEMY_PATH},
      {"enemy1.bmp one column short", 24, 12, 13, 14, ENEMY_PATH},
      {"enemy1.bmp one row short", 24, 12, 14, 13, ENEMY_PATH},
  };
  openTestScreen(32);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MediaFolder folder;
    auto write = [](const char* path, int width, int height) {
      if (width > 0) {
        writeBitmap(path, makeBitmap(width, height, 24, [](int, int) { return 0u; }));
      } else if (width < 0) {
        FILE* file = std::fopen(path, "wb");
        std::fputs("not a bitmap at all", file);
        std::fclose(file);
      }
    };
    write(SHIP_PATH, row.shipWidth, row.shipHeight);
    write(ENEMY_PATH, row.enemyWidth, row.enemyHeight);
    bool loaded = true;
    const std::string printed = loadCapturingStderr(loaded);
    EXPECT_FALSE(loaded);
    EXPECT_NE(printed.find(row.namedFile), std::string::npos) << printed;
    EXPECT_NE(printed.find(workingDirectory()), std::string::npos) << printed;
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.find('\n'), printed.size() - 1) << "one line: " << printed;
  }
  closeTestScreen();
}

TEST(GameMedia, MissingBackingsAreNullAndSilent) {
  openTestScreen(32);
  MediaFolder folder;
  writeBitmap(SHIP_PATH, makeBitmap(24, 12, 24, [](int, int) { return 0u; }));
  writeBitmap(ENEMY_PATH, makeBitmap(14, 14, 24, [](int, int) { return 0u; }));
  bool loaded = false;
  EXPECT_EQ(loadCapturingStderr(loaded), "");
  EXPECT_TRUE(loaded);
  EXPECT_EQ(textBacking1, nullptr);
  EXPECT_EQ(textBacking2, nullptr);
  closeTestScreen();
}

namespace {

Uint8 alphaAt(SDL_Surface* surface, int x, int y) {
  Uint8 r, g, b, a;
  SDL_GetRGBA(readPixel(surface, x, y), surface->format, &r, &g, &b, &a);
  return a;
}

}  // namespace

TEST(CommittedGameMedia, BitmapsAndBackingsHaveTheirLayout) {
  openTestScreen(32);
  ScopedWorkingDir cwd(sourceDir());
  ASSERT_TRUE(loadGameMedia());

  struct Sprite {
    const char* path;
    int width, height;
    const uint8_t* shape;
  };
  for (const Sprite& sprite : {Sprite{SHIP_PATH, SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT, shipShape},
                               Sprite{ENEMY_PATH, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE, enemyShape}}) {
    SCOPED_TRACE(sprite.path);
    SDL_Surface* image = IMG_Load(sprite.path);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, sprite.width);
    EXPECT_EQ(image->h, sprite.height);
    SDL_FreeSurface(image);
    int solid = 0;
    for (int i = 0; i < sprite.width * sprite.height; ++i) solid += sprite.shape[i];
    EXPECT_GT(solid, 0);
    EXPECT_LT(solid, sprite.width * sprite.height);
  }

  // Each backing, drawn where the HUD draws it, lies translucent behind every cell of its text.
  struct Backing {
    const char* name;
    SDL_Surface* surface;
    int x, y;                            // where the HUD draws it
    int textLeft, textTop, textRight, textBottom;  // the text's cells, inclusive
  };
  const Backing backings[] = {
      {"textbacking1: two lines of 23 characters from (20, 30)", textBacking1, 2, 27, 20, 30,
       20 + 23 * 11 + 3, 50 + 20},
      {"textbacking2: \"Health = 250\" ending at x 620, y 432", textBacking2, 288, 430,
       620 - 12 * 11, 432, 620 + 3, 432 + 20},
  };
  for (const Backing& backing : backings) {
    SCOPED_TRACE(backing.name);
    ASSERT_NE(backing.surface, nullptr);
    EXPECT_NE(backing.surface->format->Amask, 0u) << "per-pixel alpha";
    EXPECT_LE(backing.x + backing.surface->w, 640);
    EXPECT_LE(backing.y + backing.surface->h, 480);
    const SurfacePixelLock lock(backing.surface);
    ASSERT_TRUE(lock.ok);
    for (int y = backing.textTop; y <= backing.textBottom; ++y) {
      for (int x = backing.textLeft; x <= backing.textRight; ++x) {
        const int alpha = alphaAt(backing.surface, x - backing.x, y - backing.y);
        ASSERT_GE(alpha, 128) << "dark enough behind the text at screen " << x << "," << y;
        ASSERT_LT(alpha, 255) << "translucent at screen " << x << "," << y;
      }
    }
  }
  closeTestScreen();
}
