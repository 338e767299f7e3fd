// tools/mediagen/sprites.cpp -- the ship and the enemy as cell art, and the desktop icon
// built from the ship.
#include "art.h"

#include <array>
#include <string_view>

namespace art {

namespace {

constexpr char SOLID_CELL = '#';

// The ship is mirror-symmetric about its long axis: its upper six rows, the lower six mirror.
constexpr std::array<std::string_view, 6> SHIP_UPPER_HALF = {
    "###.....................",
    ".####...................",
    "..#####.................",
    "#..######.#####.........",
    "##.#################....",
    "#####.#######...########",
};

constexpr std::array<std::string_view, 7> ENEMY_UPPER_HALF = {
    "......##......",
    ".#....##....#.",
    "..#.######.#..",
    "...###..###...",
    "..##......##..",
    "..##..##..##..",
    "####.####.####",
};

template <size_t HalfRows>
Sprite mirroredSprite(const std::array<std::string_view, HalfRows>& upperHalf) {
  const int width = int(upperHalf[0].size());
  const int height = int(2 * HalfRows);
  Sprite sprite{width, height, std::vector<uint8_t>(size_t(width * height), 0)};
  for (int y = 0; y < height; ++y) {
    const std::string_view row = upperHalf[size_t(y < int(HalfRows) ? y : height - 1 - y)];
    for (int x = 0; x < width; ++x) {
      sprite.solid[size_t(y * width + x)] = row[size_t(x)] == SOLID_CELL ? 1 : 0;
    }
  }
  return sprite;
}

}  // namespace

Sprite shipSprite() { return mirroredSprite(SHIP_UPPER_HALF); }

Sprite enemySprite() { return mirroredSprite(ENEMY_UPPER_HALF); }

Canvas drawIcon() {
  constexpr int ICON_SIZE = 64;
  constexpr float TILE_INSET = 1.0f;
  constexpr float TILE_RADIUS = 12.0f;
  constexpr float RIM_INSET = 2.0f;  // the white rim, pixels inside the tile's edge
  constexpr float RIM_WIDTH = 1.0f;
  constexpr int SMOOTH = 8;
  constexpr int SHIP_SCALE = 2;  // icon pixels a ship cell
  Canvas icon = makeCanvas(ICON_SIZE, ICON_SIZE);
  const float far = ICON_SIZE - TILE_INSET;
  const Shape tile = roundedBox(TILE_INSET, TILE_INSET, far, far, TILE_RADIUS);
  paintShape(icon, tile, Tone::Black, 1.0f, SMOOTH);
  paintShape(icon, innerLine(tile, RIM_INSET, RIM_WIDTH), Tone::White, 1.0f, SMOOTH);
  const Sprite ship = shipSprite();
  const int left = (ICON_SIZE - ship.width * SHIP_SCALE) / 2;
  const int top = (ICON_SIZE - ship.height * SHIP_SCALE) / 2;
  for (int y = 0; y < ship.height * SHIP_SCALE; ++y) {
    for (int x = 0; x < ship.width * SHIP_SCALE; ++x) {
      if (ship.solid[size_t(y / SHIP_SCALE * ship.width + x / SHIP_SCALE)] != 0) {
        paintPixel(icon, left + x, top + y, Tone::White, 1.0f);
      }
    }
  }
  return icon;
}

}  // namespace art
