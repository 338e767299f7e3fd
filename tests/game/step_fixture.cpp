// tests/game/step_fixture.cpp -- game states for the tests of the game step.
#include "game/step_fixture.h"

#include "app/input.h"
#include "game/media.h"
#include "game/world.h"

#include <cstring>
#include <sstream>

namespace {

constexpr int32_t START_CAVE_RADIUS_SQUARED = 75 * 75;  // in cells, around cell (500, 500)

template <typename Record>
void emptyList(Record** slots, int32_t& count) {
  while (count > 0) removeListEntry(slots, count, 0);
}

bool sameBits(const void* a, const void* b, size_t size) { return std::memcmp(a, b, size) == 0; }

// The first record of two lists that differs in any bit, or a differing length; "" if none.
template <typename Record>
std::string firstRecordDifference(const char* kind, const std::vector<Record>& expected,
                                  const std::vector<Record>& actual) {
  std::ostringstream out;
  out.precision(17);
  if (expected.size() != actual.size()) {
    out << kind << " count " << expected.size() << " != " << actual.size();
    return out.str();
  }
  for (size_t i = 0; i < expected.size(); ++i) {
    if (!sameBits(&expected[i], &actual[i], sizeof(Record))) {
      out << kind << " " << i << " (" << expected[i].x << ", " << expected[i].y << ", "
          << expected[i].velX << ", " << expected[i].velY << ") != (" << actual[i].x << ", "
          << actual[i].y << ", " << actual[i].velX << ", " << actual[i].velY << ")";
      return out.str();
    }
  }
  return "";
}

}  // namespace

void clearLists() {
  emptyList(shots, shotCount);
  emptyList(enemies, enemyCount);
}

void setStartState() {
  clearLists();
  shipX = shipY = shipVelX = shipVelY = 0.0;
  cameraX = cameraY = mapOriginX = mapOriginY = 0.0;
  fireCooldown = spawnTimer = score = 0;
  health = 250.0;
  impactEffect = 0.0;
  for (int32_t c = 0; c < MAP_COLUMNS; ++c) {
    for (int32_t r = 0; r < MAP_ROWS; ++r) {
      const int32_t distanceSquared = (c - 500) * (c - 500) + (r - 500) * (r - 500);
      mapCell(c, r) = distanceSquared > START_CAVE_RADIUS_SQUARED ? 1 : 0;
    }
  }
}

Shot* addShot(double x, double y, double velX, double velY) {
  Shot* shot = new Shot();
  shot->x = x;
  shot->y = y;
  shot->velX = velX;
  shot->velY = velY;
  appendListEntry(shots, shotCount, shot);
  return shot;
}

Enemy* addEnemy(double x, double y, double velX, double velY) {
  Enemy* enemy = new Enemy{x, y, velX, velY};
  appendListEntry(enemies, enemyCount, enemy);
  return enemy;
}

void fillShapes(uint8_t shipValue, uint8_t enemyValue) {
  std::memset(shipShape, shipValue, sizeof shipShape);
  std::memset(enemyShape, enemyValue, sizeof enemyShape);
}

void releaseAllInput() { inputState = InputState{}; }

uint8_t& mapCell(int32_t column, int32_t row) { return WorldMap[column * MAP_ROWS + row]; }

void takeSnapshot(GameSnapshot& s) {
  const double ship[4] = {shipX, shipY, shipVelX, shipVelY};
  const double view[4] = {cameraX, cameraY, mapOriginX, mapOriginY};
  const int32_t counters[4] = {fireCooldown, score, highScore, spawnTimer};
  std::memcpy(s.ship, ship, sizeof ship);
  std::memcpy(s.view, view, sizeof view);
  std::memcpy(s.counters, counters, sizeof counters);
  s.health = health;
  s.impactEffect = impactEffect;
  s.shots.clear();
  for (int32_t i = 0; i < shotCount; ++i) s.shots.push_back(*shots[i]);
  s.enemies.clear();
  for (int32_t i = 0; i < enemyCount; ++i) s.enemies.push_back(*enemies[i]);
  s.slotsAboveCountNull = true;
  for (int32_t i = shotCount; i < MAX_SHOTS; ++i) s.slotsAboveCountNull &= shots[i] == nullptr;
  for (int32_t i = enemyCount; i < MAX_ENEMIES; ++i) {
    s.slotsAboveCountNull &= enemies[i] == nullptr;
  }
  s.map.assign(WorldMap, WorldMap + sizeof WorldMap);
}

GameSnapshot takeSnapshot() {
  GameSnapshot s;
  takeSnapshot(s);
  return s;
}

void restoreSnapshot(const GameSnapshot& s) {
  clearLists();
  shipX = s.ship[0];
  shipY = s.ship[1];
  shipVelX = s.ship[2];
  shipVelY = s.ship[3];
  cameraX = s.view[0];
  cameraY = s.view[1];
  mapOriginX = s.view[2];
  mapOriginY = s.view[3];
  health = s.health;
  impactEffect = s.impactEffect;
  fireCooldown = s.counters[0];
  score = s.counters[1];
  highScore = s.counters[2];
  spawnTimer = s.counters[3];
  for (const Shot& shot : s.shots) addShot(shot.x, shot.y, shot.velX, shot.velY);
  for (const Enemy& enemy : s.enemies) addEnemy(enemy.x, enemy.y, enemy.velX, enemy.velY);
  std::memcpy(WorldMap, s.map.data(), sizeof WorldMap);
}

std::string firstDifference(const GameSnapshot& expected, const GameSnapshot& actual) {
  std::ostringstream out;
  out.precision(17);
  const char* shipNames[] = {"shipX", "shipY", "shipVelX", "shipVelY"};
  const char* viewNames[] = {"cameraX", "cameraY", "mapOriginX", "mapOriginY"};
  const char* counterNames[] = {"fireCooldown", "score", "highScore", "spawnTimer"};
  for (int k = 0; k < 4; ++k) {
    if (!sameBits(&expected.ship[k], &actual.ship[k], sizeof(double))) {
      out << shipNames[k] << " " << expected.ship[k] << " != " << actual.ship[k];
      return out.str();
    }
    if (!sameBits(&expected.view[k], &actual.view[k], sizeof(double))) {
      out << viewNames[k] << " " << expected.view[k] << " != " << actual.view[k];
      return out.str();
    }
    if (expected.counters[k] != actual.counters[k]) {
      out << counterNames[k] << " " << expected.counters[k] << " != " << actual.counters[k];
      return out.str();
    }
  }
  if (!sameBits(&expected.health, &actual.health, sizeof(double))) {
    out << "health " << expected.health << " != " << actual.health;
    return out.str();
  }
  if (!sameBits(&expected.impactEffect, &actual.impactEffect, sizeof(double))) {
    out << "impactEffect " << expected.impactEffect << " != " << actual.impactEffect;
    return out.str();
  }
  std::string listDifference = firstRecordDifference("shot", expected.shots, actual.shots);
  if (listDifference.empty()) {
    listDifference = firstRecordDifference("enemy", expected.enemies, actual.enemies);
  }
  if (!listDifference.empty()) return listDifference;
  if (expected.slotsAboveCountNull != actual.slotsAboveCountNull) return "a slot above a count";
  if (expected.map == actual.map) return "";
  for (size_t k = 0; k < expected.map.size(); ++k) {
    if (expected.map[k] != actual.map[k]) {
      out << "map cell (" << k / MAP_ROWS << ", " << k % MAP_ROWS << ") "
          << int(expected.map[k]) << " != " << int(actual.map[k]);
      return out.str();
    }
  }
  return "";
}
