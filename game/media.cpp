// game/media.cpp -- the ship and enemy shapes read from their bitmaps, and the HUD backings.
#include "game/media.h"

#include "overlay/images.h"
#include "platform/pixels.h"

#include <cstdio>
#include <unistd.h>

uint8_t shipShape[SHIP_SHAPE_WIDTH * SHIP_SHAPE_HEIGHT];
uint8_t enemyShape[ENEMY_SHAPE_SIZE * ENEMY_SHAPE_SIZE];
SDL_Surface* textBacking1;
SDL_Surface* textBacking2;

namespace {

constexpr const char* SHIP_FILE = "Media/Game/ship.bmp";
constexpr const char* ENEMY_FILE = "Media/Game/enemy1.bmp";
constexpr const char* BACKING1_FILE = "Media/Game/textbacking1.png";
constexpr const char* BACKING2_FILE = "Media/Game/textbacking2.png";
constexpr size_t PATH_BUFFER_SIZE = 4096;

// The one line a player sees when the game cannot start for want of a bitmap; most often the
// game was started from another folder than the one holding Media/.
void reportShapeFile(const char* path, const char* problem) {
  char folder[PATH_BUFFER_SIZE];
  if (getcwd(folder, sizeof folder) == nullptr) std::snprintf(folder, sizeof folder, "?");
  std::fprintf(stderr, "zaraz: %s %s (working directory %s)\n", path, problem, folder);
}

bool readShape(const char* path, int width, int height, uint8_t* shape) {
  SDL_Surface* image = loadImage(path);
  if (image == nullptr) {
    reportShapeFile(path, "cannot be read");
    return false;
  }
  const ShapeRead result = readShapeFromImage(image, width, height, shape);
  if (result == ShapeRead::TooSmall) {
    char problem[PATH_BUFFER_SIZE];
    std::snprintf(problem, sizeof problem, "is %d by %d pixels, smaller than %d by %d",
                  image->w, image->h, width, height);
    reportShapeFile(path, problem);
  } else if (result == ShapeRead::Unlockable) {
    reportShapeFile(path, "cannot be locked for reading");
  }
  SDL_FreeSurface(image);
  return result == ShapeRead::Read;
}

}  // namespace

ShapeRead readShapeFromImage(SDL_Surface* image, int width, int height, uint8_t* shape) {
  if (image->w < width || image->h < height) return ShapeRead::TooSmall;
  const SurfacePixelLock lock(image);
  if (!lock.ok) return ShapeRead::Unlockable;
  // A damaged bitmap can decode to 1 or 4 bits a pixel, packed tighter than a byte a pixel.
  const PixelGrid grid(image);
  for (int x = 0; x < width; ++x) {
    const bool inRow = (x + 1) * grid.bytesPerPixel <= grid.pitch;
    for (int y = 0; y < height; ++y) shape[x * height + y] = !inRow || grid.read(x, y) == 0 ? 1 : 0;
  }
  return ShapeRead::Read;
}

bool loadGameMedia() {
  if (!readShape(SHIP_FILE, SHIP_SHAPE_WIDTH, SHIP_SHAPE_HEIGHT, shipShape)) return false;
  if (!readShape(ENEMY_FILE, ENEMY_SHAPE_SIZE, ENEMY_SHAPE_SIZE, enemyShape)) return false;
  textBacking1 = loadAlphaImage(BACKING1_FILE);
  textBacking2 = loadAlphaImage(BACKING2_FILE);
  return true;
}
