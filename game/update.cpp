// game/update.cpp -- the game step: the ship's steering and firing, the camera, the map scroll,
// shots and enemies in motion, then the collisions and the drawing of the frame.
#include "game/update.h"

#include "app/input.h"
#include "app/screen.h"
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

constexpr double CAMERA_KEEP = 9.0;  // the camera moves a tenth of the way to the ship a frame
constexpr double CAMERA_SHARES = 10.0;

constexpr int32_t SPAWN_INTERVAL = 10;  // frames between spawns: one enemy every 11th frame
constexpr int32_t SPAWN_ANGLES = 360;   // rand() % 360, used as radians as it stands
constexpr double SPAWN_DISTANCE = 520.0;

constexpr double ENEMY_DRAG = 0.96;  // top speed: 0.28 / (1 - 0.96) = 7
constexpr double ENEMY_PULL = 0.28;

constexpr double SEPARATION_RANGE = 50.0;
constexpr double SEPARATION_SHARE = 0.25;  // each of the two moves a quarter of the overlap

// Thrust directions in degrees by (down - up + 1) * 3 + (right - left + 1).
constexpr int THRUST_DEGREES[9] = {225, 270, 315, 180, NO_THRUST, 0, 135, 90, 45};

bool eitherDown(int key, int otherKey) {
  return isDown(inputState.keys[key]) || isDown(inputState.keys[otherKey]);
}

// Degrees of this frame's thrust, or NO_THRUST.
int thrustDegrees() {
  const bool up = eitherDown(SDLK_w, SDLK_UP);
  const bool down = eitherDown(SDLK_s, SDLK_DOWN);
  const bool left = eitherDown(SDLK_a, SDLK_LEFT);
  const bool right = eitherDown(SDLK_d, SDLK_RIGHT);
  if ((up && down) || (left && right)) return NO_THRUST;
  return THRUST_DEGREES[(int(down) - int(up) + 1) * 3 + (int(right) - int(left) + 1)];
}

// Cell (c, r) takes cell (c + columns, r + rows), and rock comes in over the edges. The map is
// stored column after column, so that is one move of the whole map by columns * 1000 + rows
// bytes; the cells that came from beyond a column's end, or the map's, then become rock.
void shiftMap(int32_t columns, int32_t rows) {
  if (std::abs(columns) >= MAP_SIZE || std::abs(rows) >= MAP_SIZE) {
    std::memset(WorldMap, CELL_ROCK, sizeof WorldMap);
    return;
  }
  const long offset = long(columns) * MAP_SIZE + rows;
  const size_t kept = sizeof WorldMap - size_t(std::labs(offset));
  if (offset > 0) std::memmove(WorldMap, WorldMap + offset, kept);
  if (offset < 0) std::memmove(WorldMap - offset, WorldMap, kept);
  const size_t newColumns = size_t(std::abs(columns)) * MAP_SIZE;
  std::memset(columns > 0 ? WorldMap + sizeof WorldMap - newColumns : WorldMap, CELL_ROCK,
              newColumns);
  for (int32_t column = 0; column < MAP_SIZE && rows != 0; ++column) {
    uint8_t* cells = WorldMap + column * MAP_SIZE;
    std::memset(rows > 0 ? cells + MAP_SIZE - rows : cells, CELL_ROCK, size_t(std::abs(rows)));
  }
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

void scrollMapWithCamera() {
  // The origin steps one cell at a time while the camera stands strictly more than a cell past
  // it; the cells then move all at once, the same as one cell at a time.
  int32_t columns = 0, rows = 0;
  for (; cameraX > mapOriginX + MAP_CELL_SIZE; ++columns) mapOriginX += MAP_CELL_SIZE;
  for (; cameraX < mapOriginX - MAP_CELL_SIZE; --columns) mapOriginX -= MAP_CELL_SIZE;
  for (; cameraY > mapOriginY + MAP_CELL_SIZE; ++rows) mapOriginY += MAP_CELL_SIZE;
  for (; cameraY < mapOriginY - MAP_CELL_SIZE; --rows) mapOriginY -= MAP_CELL_SIZE;
  shiftMap(columns, rows);
}

void spawnEnemy() {
  if (spawnTimer > 0) {
    --spawnTimer;
    return;
  }
  if (enemyCount >= MAX_ENEMIES) return;
  const int angle = std::rand() % SPAWN_ANGLES;
  appendListEntry(enemies, enemyCount,
                  new (std::nothrow) Enemy{shipX + std::cos(angle) * SPAWN_DISTANCE,
                                           shipY + std::sin(angle) * SPAWN_DISTANCE,
                                           std::cos(angle), std::sin(angle)});
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
  for (int32_t i = 0; i < enemyCount; ++i) {
    Enemy& b = *enemies[i];
    for (int32_t j = 0; j < enemyCount; ++j) {
      Enemy& a = *enemies[j];
      if (!insideSquare(b.x, b.y, a.x, a.y, SEPARATION_RANGE) || j == i) continue;
      const double dX = b.x - a.x;
      const double dY = b.y - a.y;
      const double distance = std::sqrt(dX * dX + dY * dY);
      if (!(distance < SEPARATION_RANGE)) continue;
      // Coincident enemies part along x: atan2(0, 0) is 0.
      const double direction = std::atan2(dY, dX);
      const double push = (SEPARATION_RANGE - distance) * SEPARATION_SHARE;
      b.x += std::cos(direction) * push;
      b.y += std::sin(direction) * push;
      a.x -= std::cos(direction) * push;
      a.y -= std::sin(direction) * push;
    }
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
