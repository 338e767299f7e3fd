// tests/game/update_test.cpp -- the game step's edges: thrust keys, map scroll, full lists.
#include "game/update.h"

#include "app/input.h"
#include "game/game_fixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace {

// The replay steers with w, a, s and d; these rows add the arrows and three keys at once.
TEST(ShipThrust, ArrowsSteerAndOpposingKeysCancel) {
  struct Row {
    const char* name;
    std::initializer_list<int> keys;
    double velX, velY;
  };
  const double diagonal = 2.5 * std::sqrt(0.5);
  const Row rows[] = {
      {"down arrow: down the screen", {SDLK_DOWN}, 0.0, 2.5},
      {"up and left arrows: up and left", {SDLK_UP, SDLK_LEFT}, -diagonal, -diagonal},
      {"s and right arrow: down and right", {SDLK_s, SDLK_RIGHT}, diagonal, diagonal},
      {"w, a and d: no thrust, not up", {SDLK_w, SDLK_a, SDLK_d}, 0.0, 0.0},
      {"left and right arrows with s: no thrust", {SDLK_LEFT, SDLK_RIGHT, SDLK_s}, 0.0, 0.0},
  };
  for (const Row& row : rows) {
    startEmptyGame();
    inputState = InputState{};
    for (int key : row.keys) inputState.keys[key] = KeyState::Held;
    updateShip();
    EXPECT_NEAR(shipVelX, row.velX, 1e-6) << row.name;
    EXPECT_NEAR(shipVelY, row.velY, 1e-6) << row.name;
    EXPECT_EQ(shipX, shipVelX) << row.name;
  }
}

TEST(MapScroll, OneCellForEveryFourUnitsStrictlyBeyondTheOrigin) {
  struct Row {
    const char* name;
    double cameraX, cameraY;  // where the ship and the camera stand
    double originX, originY;  // the map origin after one step
  };
  const Row rows[] = {
      {"4.0 to the right: no scroll", 4.0, 0.0, 0.0, 0.0},
      {"4.000001 to the right: one cell", 4.000001, 0.0, 4.0, 0.0},
      {"9 to the right: two cells", 9.0, 0.0, 8.0, 0.0},
      {"4.0 to the left: no scroll", -4.0, 0.0, 0.0, 0.0},
      {"4.000001 to the left: one cell", -4.000001, 0.0, -4.0, 0.0},
      {"4.000001 down: one cell", 0.0, 4.000001, 0.0, 4.0},
      {"9 up: two cells", 0.0, -9.0, 0.0, -8.0},
  };
  for (const Row& row : rows) {
    startEmptyGame();
    inputState = InputState{};
    shipX = cameraX = row.cameraX;
    shipY = cameraY = row.cameraY;
    mapCell(600, 600) = CELL_ROCK;
    updateGame();
    EXPECT_EQ(mapOriginX, row.originX) << row.name;
    EXPECT_EQ(mapOriginY, row.originY) << row.name;
    // The cells move against the origin; what comes in over the edge is rock.
    const int columnShift = int(row.originX) / MAP_CELL_SIZE;
    const int rowShift = int(row.originY) / MAP_CELL_SIZE;
    EXPECT_EQ(mapCell(600 - columnShift, 600 - rowShift), CELL_ROCK) << row.name;
    const bool moved = columnShift != 0 || rowShift != 0;
    EXPECT_EQ(mapCell(600, 600), moved ? CELL_OPEN : CELL_ROCK) << row.name;
    const int edgeColumn = columnShift > 0 ? MAP_SIZE - 1 : 0;
    const int edgeRow = rowShift > 0 ? MAP_SIZE - 1 : 0;
    EXPECT_EQ(mapCell(edgeColumn, 300), columnShift != 0 ? CELL_ROCK : CELL_OPEN) << row.name;
    EXPECT_EQ(mapCell(300, edgeRow), rowShift != 0 ? CELL_ROCK : CELL_OPEN) << row.name;
  }
}

TEST(FullLists, NoShotAt500AndNoEnemyAt250) {
  struct Row {
    const char* name;
    int shotsBefore, enemiesBefore;
    int shotsAfter, enemiesAfter;
    int spawnTimerAfter;
  };
  const Row rows[] = {
      {"499 shots: one more is fired", 499, 0, 500, 1, 10},
      {"500 shots: none is fired", 500, 0, 500, 1, 10},
      {"249 enemies: one more spawns", 0, 249, 1, 250, 10},
      {"250 enemies: none spawns and the timer stays 0", 0, 250, 1, 250, 0},
  };
  for (const Row& row : rows) {
    startEmptyGame();
    // Far beyond the map, where nothing meets them.
    for (int i = 0; i < row.shotsBefore; ++i) addShot(1e6, 1e6, 0.0, 0.0);
    for (int i = 0; i < row.enemiesBefore; ++i) addEnemy(-1e6 - 100.0 * i, -1e6);
    inputState = InputState{};
    inputState.mouseButtons[SDL_BUTTON_LEFT] = KeyState::Pressed;
    updateGame();
    EXPECT_EQ(shotCount, row.shotsAfter) << row.name;
    EXPECT_EQ(enemyCount, row.enemiesAfter) << row.name;
    EXPECT_EQ(spawnTimer, row.spawnTimerAfter) << row.name;
  }
}

}  // namespace
