// game/update.cpp -- the game step: the ship's steering and firing, the camera, the map scroll,
// shots and enemies in motion, then the collisions and the drawing of the frame.
#include "game/update.h"

#include "app/input.h"
#include "game/collide.h"
#include "game/render.h"
#include "game/state.h"
#include "game/world.h"

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr double IMPACT_DECAY = 0.9;  // the impact effect keeps 90% a frame

constexpr double SHIP_DAMPING = 0.75;
constexpr double SHIP_THRUST = 2.5;  // top speed under steady thrust: 2.5 / (1 - 0.75) = 10
// The game's own degrees-to-radians factor; a closer value of pi/180 would change every path.
constexpr double DEGREES_TO_RADIANS = 0.0174532925;
constexpr int NO_THRUST = -1;

constexpr int32_t FIRE_COOLDOWN = 4;  // a held button fires every 4th frame
constexpr double SHOT_SPEED = 30.0;
constexpr double SHOT_INHERITANCE = 0.25;  // share of the ship's velocity a shot takes along
constexpr double SHOT_LEAD = 0.1;          // a new shot starts a tenth of its velocity ahead
constexpr double SCREEN_CENTRE_X = 320.0;  // where the camera's world point is drawn
constexpr double SCREEN_CENTRE_Y = 240.0;

constexpr double CAMERA_KEEP = 9.0;  // the camera moves a tenth of the way to the ship a frame
constexpr double CAMERA_SHARES = 10.0;

constexpr int32_t SPAWN_INTERVAL = 10;  // frames between spawns: one enemy every 11th frame
constexpr int32_t SPAWN_ANGLES = 360;   // rand() % 360, used as radians as it stands
constexpr double SPAWN_DISTANCE = 520.0;

constexpr double ENEMY_DRAG = 0.96;  // top speed: 0.28 / (1 - 0.96) = 7
constexpr double ENEMY_PULL = 0.28;

constexpr double SEPARATION_RANGE = 50.0;
constexpr double SEPARATION_SHARE = 0.25;  // each of the two moves a quarter of the overlap

constexpr uint8_t ROCK = 1;
constexpr int32_t MAP_CELLS = MAP_COLUMNS * MAP_ROWS;

// Thrust directions in degrees by (down - up + 1) * 3 + (right - left + 1).
constexpr int THRUST_DEGREES[9] = {225, 270, 315, 180, NO_THRUST, 0, 135, 90, 45};

bool eitherDown(int key, int otherKey) {
  return isDown(inputState.keys[key]) || isDown(inputState.keys[otherKey]);
}

// Degrees of this frame's thrust, or NO_THRUST. Both keys of an opposing pair cancel everything,
// whatever else is down.
int thrustDegrees() {
  const bool up = eitherDown(SDLK_w, SDLK_UP);
  const bool down = eitherDown(SDLK_s, SDLK_DOWN);
  const bool left = eitherDown(SDLK_a, SDLK_LEFT);
  const bool right = eitherDown(SDLK_d, SDLK_RIGHT);
  if ((up && down) || (left && right)) return NO_THRUST;
  return THRUST_DEGREES[(int(down) - int(up) + 1) * 3 + (int(right) - int(left) + 1)];
}

// Scratch copies of the enemy positions for the separation pass, in slot order; rebuilt by
// every call, so nothing in them outlives one step.
double separationX[MAX_ENEMIES];
double separationY[MAX_ENEMIES];

// The map moved by `cells` columns (towards lower indices when `towardsLow`), rock coming in.
// Moving n columns at once is the same as n single moves.
void shiftColumns(int32_t cells, bool towardsLow) {
  if (cells >= MAP_COLUMNS) {
    std::memset(WorldMap, ROCK, MAP_CELLS);
    return;
  }
  const size_t moved = size_t(MAP_COLUMNS - cells) * MAP_ROWS;
  const size_t fresh = size_t(cells) * MAP_ROWS;
  if (towardsLow) {
    std::memmove(WorldMap, WorldMap + fresh, moved);
    std::memset(WorldMap + moved, ROCK, fresh);
  } else {
    std::memmove(WorldMap + fresh, WorldMap, moved);
    std::memset(WorldMap, ROCK, fresh);
  }
}

// The same for rows: every column moves on its own, as rows are not contiguous.
void shiftRows(int32_t cells, bool towardsLow) {
  if (cells >= MAP_ROWS) {
    std::memset(WorldMap, ROCK, MAP_CELLS);
    return;
  }
  const size_t moved = size_t(MAP_ROWS - cells);
  for (int32_t column = 0; column < MAP_COLUMNS; ++column) {
    uint8_t* columnCells = WorldMap + column * MAP_ROWS;
    if (towardsLow) {
      std::memmove(columnCells, columnCells + cells, moved);
      std::memset(columnCells + moved, ROCK, size_t(cells));
    } else {
      std::memmove(columnCells + cells, columnCells, moved);
      std::memset(columnCells, ROCK, size_t(cells));
    }
  }
}

// Steps `origin` one cell at a time while the camera stands strictly more than one cell past it,
// towards + when `forwards`, else towards -; returns the number of steps.
int32_t cellsPassed(double camera, double& origin, bool forwards) {
  int32_t cells = 0;
  if (forwards) {
    for (; camera > origin + MAP_CELL_SIZE; ++cells) origin += MAP_CELL_SIZE;
  } else {
    for (; camera < origin - MAP_CELL_SIZE; ++cells) origin -= MAP_CELL_SIZE;
  }
  return cells;
}

void moveCamera() {
  cameraX = (cameraX * CAMERA_KEEP + shipX) / CAMERA_SHARES;
  cameraY = (cameraY * CAMERA_KEEP + shipY) / CAMERA_SHARES;
}

void moveShots() {
  for (int32_t i = 0; i < shotCount; ++i) {
    shots[i]->x += shots[i]->velX;
    shots[i]->y += shots[i]->velY;
  }
}

}  // namespace

Shot::Shot(double aimAngle) {
  velX = std::cos(aimAngle) * SHOT_SPEED + shipVelX * SHOT_INHERITANCE;
  velY = std::sin(aimAngle) * SHOT_SPEED + shipVelY * SHOT_INHERITANCE;
  x = shipX + velX * SHOT_LEAD;
  y = shipY + velY * SHOT_LEAD;
}

void updateShip() {
  shipVelX *= SHIP_DAMPING;
  shipVelY *= SHIP_DAMPING;
  const int degrees = thrustDegrees();
  if (degrees != NO_THRUST) {
    const double angle = degrees * DEGREES_TO_RADIANS;
    shipVelX += std::cos(angle) * SHIP_THRUST;
    shipVelY += std::sin(angle) * SHIP_THRUST;
  }
  shipX += shipVelX;
  shipY += shipVelY;

  // The fire test sees the cooldown after this frame's decrement.
  if (fireCooldown > 0) --fireCooldown;
  if (shotCount < MAX_SHOTS && isDown(inputState.mouseButtons[SDL_BUTTON_LEFT]) &&
      fireCooldown == 0) {
    // From the ship's place on screen, moved already, under the previous step's camera.
    const double aim = std::atan2(inputState.mouseY - (shipY - cameraY + SCREEN_CENTRE_Y),
                                  inputState.mouseX - (shipX - cameraX + SCREEN_CENTRE_X));
    appendListEntry(shots, shotCount, new (std::nothrow) Shot(aim));
    fireCooldown = FIRE_COOLDOWN;
  }
}

void scrollMapWithCamera() {
  // Counting the single-cell steps first and moving the cells once gives the same map.
  if (const int32_t cells = cellsPassed(cameraX, mapOriginX, true)) shiftColumns(cells, true);
  if (const int32_t cells = cellsPassed(cameraX, mapOriginX, false)) shiftColumns(cells, false);
  if (const int32_t cells = cellsPassed(cameraY, mapOriginY, true)) shiftRows(cells, true);
  if (const int32_t cells = cellsPassed(cameraY, mapOriginY, false)) shiftRows(cells, false);
}

void spawnEnemy() {
  if (spawnTimer > 0) {
    --spawnTimer;
    return;
  }
  if (enemyCount >= MAX_ENEMIES) return;
  const int angle = std::rand() % SPAWN_ANGLES;
  Enemy* enemy = new (std::nothrow) Enemy;
  if (enemy != nullptr) {
    enemy->velX = std::cos(angle);
    enemy->velY = std::sin(angle);
    enemy->x = shipX + std::cos(angle) * SPAWN_DISTANCE;
    enemy->y = shipY + std::sin(angle) * SPAWN_DISTANCE;
  }
  appendListEntry(enemies, enemyCount, enemy);
  spawnTimer = SPAWN_INTERVAL;
}

void steerEnemies() {
  for (int32_t i = 0; i < enemyCount; ++i) {
    Enemy& enemy = *enemies[i];
    const double towardsShip = std::atan2(shipY - enemy.y, shipX - enemy.x);
    enemy.velX = enemy.velX * ENEMY_DRAG + std::cos(towardsShip) * ENEMY_PULL;
    enemy.velY = enemy.velY * ENEMY_DRAG + std::sin(towardsShip) * ENEMY_PULL;
    enemy.x += enemy.velX;
    enemy.y += enemy.velY;
  }
}

void separateEnemies() {
  const int32_t count = enemyCount;
  for (int32_t i = 0; i < count; ++i) {
    separationX[i] = enemies[i]->x;
    separationY[i] = enemies[i]->y;
  }
  for (int32_t i = 0; i < count; ++i) {
    // B is held in registers while its row of pairs runs; its array entry is stale meanwhile,
    // which only matters for j == i, a pair that does not exist.
    double bX = separationX[i];
    double bY = separationY[i];
    for (int32_t j = 0;; ++j) {
      j = findFirstInSquare(separationX, separationY, j, count, bX, bY, SEPARATION_RANGE);
      if (j >= count) break;
      if (j == i) continue;
      const double dX = bX - separationX[j];
      const double dY = bY - separationY[j];
      const double distance = std::sqrt(dX * dX + dY * dY);
      if (!(distance < SEPARATION_RANGE)) continue;
      // Coincident enemies part along x: atan2(0, 0) is 0.
      const double direction = std::atan2(dY, dX);
      const double push = (SEPARATION_RANGE - distance) * SEPARATION_SHARE;
      const double pushX = std::cos(direction) * push;
      const double pushY = std::sin(direction) * push;
      bX += pushX;
      bY += pushY;
      separationX[j] -= pushX;
      separationY[j] -= pushY;
    }
    separationX[i] = bX;
    separationY[i] = bY;
  }
  for (int32_t i = 0; i < count; ++i) {
    enemies[i]->x = separationX[i];
    enemies[i]->y = separationY[i];
  }
}

void updateGame() {
  impactEffect *= IMPACT_DECAY;
  updateShip();
  moveCamera();
  scrollMapWithCamera();
  moveShots();
  spawnEnemy();
  steerEnemies();
  separateEnemies();
  runCollisions();
  drawGame();
}
