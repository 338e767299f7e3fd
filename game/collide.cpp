// game/collide.cpp -- collisions and digging: shots against enemies, enemies against the ship,
// the ship against the map, shots against the map.
#include "game/collide.h"

#include "game/media.h"
#include "game/state.h"
#include "game/world.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double SHOT_HIT_RANGE = 28.0;
constexpr int32_t SHOT_HIT_SCORE = 10;

// Shape geometry in world units: ship cell (p, q) stands at (shipX - 36 + 3p, shipY - 18 + 3q),
// enemy cell (r, s) at (x - 21 + 3r, y - 21 + 3s).
constexpr int32_t SHIP_OFFSET_X = SHIP_SHAPE_WIDTH * SHAPE_SCALE / 2;    // 36
constexpr int32_t SHIP_OFFSET_Y = SHIP_SHAPE_HEIGHT * SHAPE_SCALE / 2;   // 18
constexpr int32_t ENEMY_OFFSET = ENEMY_SHAPE_SIZE * SHAPE_SCALE / 2;     // 21
constexpr double SHIP_REACH_X = SHIP_OFFSET_X + ENEMY_OFFSET;  // 57: the half-widths added
constexpr double SHIP_REACH_Y = SHIP_OFFSET_Y + ENEMY_OFFSET;  // 39
constexpr double CELL_CONTACT = SHAPE_SCALE;  // shape points touch when nearer on both axes
constexpr double CONTACT_DAMAGE = 15.0;
constexpr double CONTACT_IMPACT = 2.5;

constexpr double DIG_DAMAGE = 0.25;
constexpr double DIG_IMPACT_FLOOR = 0.75;  // boring lifts the effect to at least 0.8
constexpr double DIG_IMPACT_STEP = 0.05;

constexpr int32_t PROBES = 10;       // probe points per axis around a shot
constexpr int32_t PROBE_BACK = 5;    // the first lies 5 below the shot's truncated position
constexpr int32_t FIRST_PROBED = 1;  // probes in column or row 0 are ignored
constexpr double CRATER_RADIUS = 50.0;
constexpr int32_t CRATER_LAST = MAP_SIZE - 2;  // a crater never opens column or row 999
// Cells each way from the shot's own cell that a crater can reach: 50 / 4 rounded up, plus one.
constexpr int32_t CRATER_WINDOW = 14;

// Whole-unit offset from the map's low edge: trunc(world) - trunc(origin) + 2000. Each term is
// truncated on its own before the integer sum.
int32_t mapOffset(double world, double origin) {
  return int32_t(world) - int32_t(origin) + MAP_HALF_EXTENT;
}

bool touches(double shipPoint, double enemyPoint) {
  return enemyPoint - CELL_CONTACT < shipPoint && shipPoint < enemyPoint + CELL_CONTACT;
}

// Two cells touch when their columns touch on x and their rows on y; each depends on one pair of
// indices, so both are tabled once per enemy rather than tested for every pair of cells.
struct Contacts {
  bool alongX[SHIP_SHAPE_WIDTH][ENEMY_SHAPE_SIZE];   // ship column p, enemy column r
  bool alongY[SHIP_SHAPE_HEIGHT][ENEMY_SHAPE_SIZE];  // ship row q, enemy row s
  bool anyAlongX[SHIP_SHAPE_WIDTH];                  // ship column p touches some enemy column
};

void readContacts(const Enemy& enemy, Contacts& contacts) {
  for (int32_t p = 0; p < SHIP_SHAPE_WIDTH; ++p) {
    contacts.anyAlongX[p] = false;
    for (int32_t r = 0; r < ENEMY_SHAPE_SIZE; ++r) {
      contacts.alongX[p][r] = touches(shipX + SHAPE_SCALE * p - SHIP_OFFSET_X,
                                      enemy.x + SHAPE_SCALE * r - ENEMY_OFFSET);
      contacts.anyAlongX[p] = contacts.anyAlongX[p] || contacts.alongX[p][r];
    }
  }
  for (int32_t q = 0; q < SHIP_SHAPE_HEIGHT; ++q) {
    for (int32_t s = 0; s < ENEMY_SHAPE_SIZE; ++s)
      contacts.alongY[q][s] = touches(shipY + SHAPE_SCALE * q - SHIP_OFFSET_Y,
                                      enemy.y + SHAPE_SCALE * s - ENEMY_OFFSET);
  }
}

// The cell test for the enemy in `slot`, which has passed its square test.
void testShipCells(int32_t slot) {
  Contacts contacts;
  readContacts(*enemies[slot], contacts);
  for (int32_t p = 0; p < SHIP_SHAPE_WIDTH; ++p) {
    for (int32_t q = 0; q < SHIP_SHAPE_HEIGHT && contacts.anyAlongX[p]; ++q) {
      if (shipShape[p * SHIP_SHAPE_HEIGHT + q] == 0) continue;
      for (int32_t r = 0; r < ENEMY_SHAPE_SIZE; ++r) {
        if (!contacts.alongX[p][r]) continue;
        for (int32_t s = 0; s < ENEMY_SHAPE_SIZE && contacts.alongX[p][r]; ++s) {
          if (enemyShape[r * ENEMY_SHAPE_SIZE + s] == 0 || !contacts.alongY[q][s]) continue;
          removeListEntry(enemies, enemyCount, slot);
          impactEffect += CONTACT_IMPACT;
          health -= CONTACT_DAMAGE;
          if (enemies[slot] == nullptr) return;
          readContacts(*enemies[slot], contacts);
        }
      }
    }
  }
}

// The first probe column from `fromProbe` on whose probes meet rock, or PROBES for none. The
// probes' rows are one run of map rows, the same for every probe column.
int32_t firstStrikingProbe(const Shot& shot, int32_t fromProbe) {
  const int32_t baseX = mapOffset(shot.x, mapOriginX) - PROBE_BACK;
  const int32_t baseY = mapOffset(shot.y, mapOriginY) - PROBE_BACK;
  const int32_t firstRow = std::max(baseY / MAP_CELL_SIZE, FIRST_PROBED);
  const int32_t lastRow = std::min((baseY + PROBES - 1) / MAP_CELL_SIZE, MAP_SIZE - 1);
  for (int32_t px = fromProbe; px < PROBES; ++px) {
    const int32_t column = (baseX + px) / MAP_CELL_SIZE;
    if (column < FIRST_PROBED || column >= MAP_SIZE) continue;
    for (int32_t row = firstRow; row <= lastRow; ++row)
      if (WorldMap[column * MAP_SIZE + row] != CELL_OPEN) return px;
  }
  return PROBES;
}

// The crater around (x, y): only the window of cells around the shot's own cell can be in reach.
void openCrater(double x, double y) {
  const int32_t originX = int32_t(mapOriginX);
  const int32_t originY = int32_t(mapOriginY);
  const int32_t centreColumn = mapOffset(x, originX) / MAP_CELL_SIZE;
  const int32_t centreRow = mapOffset(y, originY) / MAP_CELL_SIZE;
  const int32_t lastColumn = std::min(centreColumn + CRATER_WINDOW, CRATER_LAST);
  const int32_t lastRow = std::min(centreRow + CRATER_WINDOW, CRATER_LAST);
  for (int32_t column = std::max(centreColumn - CRATER_WINDOW, 0); column <= lastColumn;
       ++column) {
    const double dX = double(originX + MAP_CELL_SIZE * column - MAP_HALF_EXTENT) - x;
    for (int32_t row = std::max(centreRow - CRATER_WINDOW, 0); row <= lastRow; ++row) {
      const double dY = double(originY + MAP_CELL_SIZE * row - MAP_HALF_EXTENT) - y;
      if (std::sqrt(dX * dX + dY * dY) < CRATER_RADIUS)
        WorldMap[column * MAP_SIZE + row] = CELL_OPEN;
    }
  }
}

}  // namespace

void collideShotsWithEnemies() {
  for (int32_t i = 0; i < enemyCount; ++i) {
    for (int32_t j = 0; j < shotCount; ++j) {
      // A null slot (the last enemy went) has nothing left to test.
      const Enemy* enemy = enemies[i];
      if (enemy == nullptr) break;
      const Shot& shot = *shots[j];
      if (!insideSquare(enemy->x, enemy->y, shot.x, shot.y, SHOT_HIT_RANGE)) continue;
      const double dX = enemy->x - shot.x;
      const double dY = enemy->y - shot.y;
      if (std::sqrt(dX * dX + dY * dY) < SHOT_HIT_RANGE) {
        removeListEntry(enemies, enemyCount, i);
        removeListEntry(shots, shotCount, j);
        score += SHOT_HIT_SCORE;
      }
    }
  }
}

void collideEnemiesWithShip() {
  for (int32_t i = 0; i < enemyCount; ++i) {
    const Enemy& enemy = *enemies[i];
    if (enemy.x - SHIP_REACH_X < shipX && shipX < enemy.x + SHIP_REACH_X &&
        enemy.y - SHIP_REACH_Y < shipY && shipY < enemy.y + SHIP_REACH_Y) {
      testShipCells(i);
    }
  }
}

void digShipIntoMap() {
  const int32_t baseX = mapOffset(shipX, mapOriginX) - SHIP_OFFSET_X;
  const int32_t baseY = mapOffset(shipY, mapOriginY) - SHIP_OFFSET_Y;
  for (int32_t p = 0; p < SHIP_SHAPE_WIDTH; ++p) {
    for (int32_t q = 0; q < SHIP_SHAPE_HEIGHT; ++q) {
      if (shipShape[p * SHIP_SHAPE_HEIGHT + q] == 0) continue;
      for (int32_t a = 0; a < SHAPE_SCALE; ++a) {
        const int32_t column = (baseX + SHAPE_SCALE * p + a) / MAP_CELL_SIZE;
        for (int32_t b = 0; b < SHAPE_SCALE; ++b) {
          const int32_t row = (baseY + SHAPE_SCALE * q + b) / MAP_CELL_SIZE;
          if (column < 0 || column >= MAP_SIZE || row < 0 || row >= MAP_SIZE) continue;
          uint8_t& cell = WorldMap[column * MAP_SIZE + row];
          if (cell == CELL_OPEN) continue;
          cell = CELL_OPEN;
          impactEffect = std::max(impactEffect, DIG_IMPACT_FLOOR) + DIG_IMPACT_STEP;
          shipVelX = 0.0;
          shipVelY = 0.0;
          health -= DIG_DAMAGE;
        }
      }
    }
  }
}

void collideShotsWithMap() {
  for (int32_t i = 0; i < shotCount; ++i) {
    for (int32_t px = 0; px < PROBES && shots[i] != nullptr; ++px) {
      px = firstStrikingProbe(*shots[i], px);
      if (px >= PROBES) break;
      openCrater(shots[i]->x, shots[i]->y);
      removeListEntry(shots, shotCount, i);
    }
  }
}

void runCollisions() {
  collideShotsWithEnemies();
  collideEnemiesWithShip();
  digShipIntoMap();
  collideShotsWithMap();
}
