// tests/reference/literal_render.cpp -- the plain game frame: rectangles into the mask byte by
// byte, and the copy to Screen with a colour mapping call for every pixel.
#include "reference/literal_render.h"

#include "app/screen.h"
#include "game/media.h"
#include "game/render.h"
#include "game/state.h"
#include "game/world.h"
#include "platform/pixels.h"

#include <SDL.h>

#include <cstdint>
#include <initializer_list>

namespace {

int32_t trunc32(double value) { return static_cast<int32_t>(value); }
int larger(int a, int b) { return a > b ? a : b; }
int smaller(int a, int b) { return a < b ? a : b; }

void fill(int32_t x, int32_t y, int32_t width, int32_t height) {
  for (int column = larger(x, 0); column < smaller(x + width, 640); ++column) {
    for (int row = larger(y, 0); row < smaller(y + height, 480); ++row) {
      ScreenMask[column * 480 + row] = 255;
    }
  }
}

void shape(const uint8_t* cells, int width, int height, int left, int top) {
  for (int i = 0; i < width; ++i) {
    for (int j = 0; j < height; ++j) {
      if (cells[i * height + j] != 0) fill(left + 3 * i, top + 3 * j, 3, 3);
    }
  }
}

}  // namespace

void literalDrawGameMask() {
  for (int i = 0; i < 640 * 480; ++i) ScreenMask[i] = 0;
  const double X = cameraX - mapOriginX + 2000.0;
  const double Y = cameraY - mapOriginY + 2000.0;
  const int firstC = larger(trunc32(X - 320.0) / 4, 0);
  const int endC = smaller(trunc32(X + 325.0) / 4, 1000);
  const int firstR = larger(trunc32(Y - 240.0) / 4, 0);
  const int endR = smaller(trunc32(Y + 245.0) / 4, 1000);
  for (int c = firstC; c < endC; ++c) {
    for (int r = firstR; r < endR; ++r) {
      if (WorldMap[c * 1000 + r] == 0) continue;
      fill(4 * c - 1680 + trunc32(mapOriginX) - trunc32(cameraX),
           4 * r - 1760 + trunc32(mapOriginY) - trunc32(cameraY), 4, 4);
    }
  }
  for (int32_t i = 0; i < shotCount; ++i) {
    const Shot& s = *shots[i];
    fill(trunc32(s.x) - trunc32(cameraX) + 317, trunc32(s.y) - trunc32(cameraY) + 237, 6, 6);
    for (double k : {0.2, 0.4, 0.6, 0.8}) {
      fill(trunc32(s.x - k * s.velX) - trunc32(cameraX) + 317,
           trunc32(s.y - k * s.velY) - trunc32(cameraY) + 237, 6, 6);
    }
  }
  shape(shipShape, 24, 12, trunc32(shipX) - trunc32(cameraX) + 284,
        trunc32(shipY) - trunc32(cameraY) + 222);
  for (int32_t i = 0; i < enemyCount; ++i) {
    const Enemy& e = *enemies[i];
    shape(enemyShape, 14, 14, trunc32(e.x) - trunc32(cameraX) + 299,
          trunc32(e.y) - trunc32(cameraY) + 219);
  }
}

void literalCopyMaskToScreen() {
  const double E = impactEffect;
  const int d1 = trunc32(E), d2 = trunc32(E + E), d3 = trunc32(3.0 * E), d4 = trunc32(4.0 * E),
            d5 = trunc32(5.0 * E);
  auto M = [](int x, int y) { return ScreenMask[x * 480 + y]; };
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const Uint8 red = M(larger(x - d4, 0), smaller(y + d2, 479));
      const Uint8 green = M(larger(x - d1, 0), smaller(y + d4, 479));
      const Uint8 blue = M(smaller(x + d3, 639), larger(y - d5, 0));
      writePixel(Screen, x, y, SDL_MapRGB(Screen->format, red, green, blue));
    }
  }
}

void literalDrawGame() {
  literalDrawGameMask();
  literalCopyMaskToScreen();
  drawHud();
}
