// tests/game/game_fixture.h -- a game set up by hand (lists, shapes, map) for the table tests.
#pragma once

#include "game/media.h"
#include "game/state.h"
#include "game/world.h"

#include <cstring>

// Empties both lists and puts every field of one game at its start value, the map all open.
inline void startEmptyGame() {
  while (shotCount > 0) removeListEntry(shots, shotCount, 0);
  while (enemyCount > 0) removeListEntry(enemies, enemyCount, 0);
  shipX = shipY = shipVelX = shipVelY = 0.0;
  cameraX = cameraY = mapOriginX = mapOriginY = 0.0;
  health = 250.0;
  impactEffect = 0.0;
  score = fireCooldown = spawnTimer = 0;
  std::memset(WorldMap, CELL_OPEN, sizeof WorldMap);
}

inline void addShot(double x, double y, double velX = 0.0, double velY = 0.0) {
  Shot* shot = new Shot();
  shot->x = x, shot->y = y, shot->velX = velX, shot->velY = velY;
  appendListEntry(shots, shotCount, shot);
}

inline void addEnemy(double x, double y, double velX = 0.0, double velY = 0.0) {
  appendListEntry(enemies, enemyCount, new Enemy{x, y, velX, velY});
}

// Only cell (0, 0) of each shape solid, or every cell.
inline void setShapes(bool whole) {
  std::memset(shipShape, whole ? 1 : 0, sizeof shipShape);
  std::memset(enemyShape, whole ? 1 : 0, sizeof enemyShape);
  shipShape[0] = enemyShape[0] = 1;
}

inline uint8_t& mapCell(int column, int row) { return WorldMap[column * MAP_SIZE + row]; }
