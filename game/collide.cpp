// game/collide.cpp -- collisions and digging: shots against enemies, enemies against the ship,
// the ship against the map, shots against the map.
//
// Every scan here gives exactly the result of its plain form (every pair, every cell, every
// probe, in order); the shortcuts only skip work whose outcome is already known.
#include "game/collide.h"

#include "game/media.h"
#include "game/state.h"
#include "game/world.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr double SHOT_HIT_RANGE = 28.0;
constexpr int32_t SHOT_HIT_SCORE = 10;

// Shape geometry in world units: ship cell (p, q) stands at (shipX - 36 + 3p, shipY - 18 + 3q),
// enemy cell (r, s) at (x - 21 + 3r, y - 21 + 3s).
constexpr int32_t SHIP_OFFSET_X = 36;
constexpr int32_t SHIP_OFFSET_Y = 18;
constexpr int32_t ENEMY_OFFSET = 21;
constexpr double SHIP_REACH_X = 57.0;  // 36 + 21: half-widths of the two shapes added
constexpr double SHIP_REACH_Y = 39.0;  // 18 + 21
constexpr double CELL_CONTACT = 3.0;   // two shape points touch when nearer than this on both axes
constexpr double CONTACT_DAMAGE = 15.0;
constexpr double CONTACT_IMPACT = 2.5;

constexpr double DIG_DAMAGE = 0.25;
constexpr double DIG_IMPACT_FLOOR = 0.75;  // boring lifts the effect to at least 0.8
constexpr double DIG_IMPACT_STEP = 0.05;

constexpr int32_t PROBES = 10;      // probe points per axis around a shot
constexpr int32_t PROBE_BACK = 5;   // the first lies 5 below the shot's truncated position
constexpr int32_t FIRST_PROBED = 1;  // probes in column or row 0 are ignored
constexpr double CRATER_RADIUS = 50.0;
constexpr int32_t CRATER_LAST = MAP_COLUMNS - 2;  // a crater never opens column or row 999

constexpr uint8_t OPEN = 0;

// Whole-unit offset from the map's low edge: trunc(world) - trunc(origin) + 2000. Each term is
// truncated on its own before the integer sum.
int32_t mapOffset(double world, double origin) {
  return int32_t(world) - int32_t(origin) + MAP_HALF_EXTENT;
}

// Scratch copies of the shot positions for the shots/enemies scan, kept in step with `shots` as
// hits remove entries; rebuilt by every call.
double scanShotX[MAX_SHOTS];
double scanShotY[MAX_SHOTS];

void forgetScanShot(int32_t slot, int32_t countBefore) {
  const size_t later = size_t(countBefore - slot - 1);
  std::memmove(scanShotX + slot, scanShotX + slot + 1, later * sizeof(double));
  std::memmove(scanShotY + slot, scanShotY + slot + 1, later * sizeof(double));
}

// ---- enemies against the ship ----------------------------------------------------------------
//
// A contact of ship cell (p, q) with enemy cell (r, s) needs both cells solid, x contact (which
// depends on p and r alone) and y contact (q and s alone). The two contact tables are computed
// with exactly the comparisons of the cell test, so a cell pair touches here exactly when it
// does in the plain scan; the scan then visits only pairs that touch.

struct ShapeBits {
  uint16_t shipColumn[SHIP_SHAPE_WIDTH];   // bit q: ship cell (p, q) is solid
  uint16_t enemyColumn[ENEMY_SHAPE_SIZE];  // bit s: enemy cell (r, s) is solid
};

struct ContactBits {
  uint16_t alongX[SHIP_SHAPE_WIDTH];   // bit r: ship column p and enemy column r touch on x
  uint16_t alongY[SHIP_SHAPE_HEIGHT];  // bit s: ship row q and enemy row s touch on y
};

void readShapeBits(ShapeBits& bits) {
  for (int32_t p = 0; p < SHIP_SHAPE_WIDTH; ++p) {
    bits.shipColumn[p] = 0;
    for (int32_t q = 0; q < SHIP_SHAPE_HEIGHT; ++q) {
      if (shipShape[p * SHIP_SHAPE_HEIGHT + q] != 0) bits.shipColumn[p] |= uint16_t(1u << q);
    }
  }
  for (int32_t r = 0; r < ENEMY_SHAPE_SIZE; ++r) {
    bits.enemyColumn[r] = 0;
    for (int32_t s = 0; s < ENEMY_SHAPE_SIZE; ++s) {
      if (enemyShape[r * ENEMY_SHAPE_SIZE + s] != 0) bits.enemyColumn[r] |= uint16_t(1u << s);
    }
  }
}

// Bit k set when the enemy point at `enemyPos` + 3k - 21 touches the ship point `shipPoint`.
// Only the few k near the exact meeting place can touch (points 3 apart, contact closer than
// 3); the window of four around it leaves a whole cell of slack for rounding, and each k in it
// gets the exact comparison. The window is clamped to the shape, so a far enemy gets none.
uint16_t touchingCells(double shipPoint, double enemyPos) {
  const double meeting = std::floor((shipPoint - enemyPos + ENEMY_OFFSET) / SHAPE_SCALE);
  const int32_t first = int32_t(std::clamp(meeting - 1.0, 0.0, double(ENEMY_SHAPE_SIZE)));
  const int32_t last = int32_t(std::clamp(meeting + 2.0, -1.0, double(ENEMY_SHAPE_SIZE - 1)));
  uint16_t bits = 0;
  for (int32_t k = first; k <= last; ++k) {
    const double enemyPoint = enemyPos + SHAPE_SCALE * k - ENEMY_OFFSET;
    if (enemyPoint - CELL_CONTACT < shipPoint && shipPoint < enemyPoint + CELL_CONTACT) {
      bits |= uint16_t(1u << k);
    }
  }
  return bits;
}

void readContactBits(const Enemy& enemy, ContactBits& bits) {
  for (int32_t p = 0; p < SHIP_SHAPE_WIDTH; ++p) {
    bits.alongX[p] = touchingCells(shipX + SHAPE_SCALE * p - SHIP_OFFSET_X, enemy.x);
  }
  for (int32_t q = 0; q < SHIP_SHAPE_HEIGHT; ++q) {
    bits.alongY[q] = touchingCells(shipY + SHAPE_SCALE * q - SHIP_OFFSET_Y, enemy.y);
  }
}

// The lowest set bit of `bits` at `from` or above, or NO_BIT.
constexpr int32_t NO_BIT = 32;

int32_t nextBit(uint32_t bits, int32_t from) {
  const uint32_t rest = bits >> from << from;
  return rest == 0 ? NO_BIT : std::countr_zero(rest);
}

// The cell test for the enemy in `slot`, which has passed its square test. Each contact destroys
// the enemy in the slot; the test goes on at the next enemy cell for the one that moves in.
void testShipCells(int32_t slot, const ShapeBits& shape) {
  ContactBits contact;
  readContactBits(*enemies[slot], contact);
  // The tables change only at a contact, so a ship column or row that touches nothing now is
  // passed over whole, and so is the rest of an enemy column that stops touching.
  for (int32_t p = 0; p < SHIP_SHAPE_WIDTH; ++p) {
    if (contact.alongX[p] == 0) continue;
    const uint32_t rows = shape.shipColumn[p];
    for (int32_t q = nextBit(rows, 0); q < SHIP_SHAPE_HEIGHT; q = nextBit(rows, q + 1)) {
      if (contact.alongY[q] == 0) continue;
      for (int32_t r = nextBit(contact.alongX[p], 0); r < ENEMY_SHAPE_SIZE;
           r = nextBit(contact.alongX[p], r + 1)) {
        for (int32_t s = nextBit(shape.enemyColumn[r] & contact.alongY[q], 0);
             s < ENEMY_SHAPE_SIZE; s = nextBit(shape.enemyColumn[r] & contact.alongY[q], s + 1)) {
          removeListEntry(enemies, enemyCount, slot);
          impactEffect += CONTACT_IMPACT;
          health -= CONTACT_DAMAGE;
          if (enemies[slot] == nullptr) return;
          readContactBits(*enemies[slot], contact);
          if ((contact.alongX[p] >> r & 1u) == 0) break;
        }
      }
    }
  }
}

// ---- shots against the map -------------------------------------------------------------------

// The first probe column from `fromProbe` on (0..PROBES-1) with a rock cell under one of its
// probes, or PROBES. Probe columns that fall into the same map column share their outcome.
int32_t firstStrikingProbe(const Shot& shot, int32_t fromProbe) {
  const int32_t baseX = mapOffset(shot.x, mapOriginX) - PROBE_BACK;
  const int32_t baseY = mapOffset(shot.y, mapOriginY) - PROBE_BACK;
  // Integer division is monotone, so the probed rows form one run, clipped to 1..999.
  const int32_t firstRow = std::max(baseY / MAP_CELL_SIZE, FIRST_PROBED);
  const int32_t lastRow = std::min((baseY + PROBES - 1) / MAP_CELL_SIZE, MAP_ROWS - 1);
  if (firstRow > lastRow) return PROBES;
  int32_t previousColumn = -1;
  for (int32_t probe = fromProbe; probe < PROBES; ++probe) {
    const int32_t column = (baseX + probe) / MAP_CELL_SIZE;
    if (column == previousColumn) continue;
    previousColumn = column;
    if (column < FIRST_PROBED || column >= MAP_COLUMNS) continue;
    const uint8_t* cells = WorldMap + column * MAP_ROWS;
    for (int32_t row = firstRow; row <= lastRow; ++row) {
      if (cells[row] != OPEN) return probe;
    }
  }
  return PROBES;
}

// The first map column or row in 0..998 whose start can lie nearer than 50 to `centre`: one cell
// of margin on each side of the exact bound, which costs only a few failed tests.
int32_t craterFirst(double centre, int32_t origin) {
  const double edge =
      std::floor((centre - CRATER_RADIUS - origin + MAP_HALF_EXTENT) / MAP_CELL_SIZE);
  return int32_t(std::clamp(edge - 1.0, 0.0, double(CRATER_LAST + 1)));
}

int32_t craterLast(double centre, int32_t origin) {
  const double edge =
      std::ceil((centre + CRATER_RADIUS - origin + MAP_HALF_EXTENT) / MAP_CELL_SIZE);
  return int32_t(std::clamp(edge + 1.0, -1.0, double(CRATER_LAST)));
}

// Opens every cell of columns and rows 0..998 whose corner lies less than 50 from (x, y), with
// the distance in the plain double arithmetic. Along a column the squared distance falls and
// then rises (every rounding step is monotone), so the opened rows are one run: found from both
// ends, then cleared at once.
void openCrater(double x, double y) {
  const int32_t originX = int32_t(mapOriginX);
  const int32_t originY = int32_t(mapOriginY);
  const int32_t firstColumn = craterFirst(x, originX);
  const int32_t lastColumn = craterLast(x, originX);
  const int32_t firstRow = craterFirst(y, originY);
  const int32_t lastRow = craterLast(y, originY);
  if (firstColumn > lastColumn || firstRow > lastRow) return;
  double squaredY[MAP_ROWS];
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    const double dY = double(originY + MAP_CELL_SIZE * row - MAP_HALF_EXTENT) - y;
    squaredY[row] = dY * dY;
  }
  for (int32_t column = firstColumn; column <= lastColumn; ++column) {
    const double dX = double(originX + MAP_CELL_SIZE * column - MAP_HALF_EXTENT) - x;
    const double squaredX = dX * dX;
    const auto inside = [&](int32_t row) {
      return std::sqrt(squaredX + squaredY[row]) < CRATER_RADIUS;
    };
    int32_t top = firstRow;
    while (top <= lastRow && !inside(top)) ++top;
    if (top > lastRow) continue;
    int32_t bottom = lastRow;
    while (!inside(bottom)) --bottom;
    std::memset(WorldMap + column * MAP_ROWS + top, OPEN, size_t(bottom - top + 1));
  }
}

}  // namespace

int32_t findFirstInSquare(const double* xs, const double* ys, int32_t from, int32_t count,
                          double probeX, double probeY, double halfSize) {
  // Blocks of points are tested two at a time with vector compares (the same subtractions,
  // additions and strict comparisons per lane, without branches); the lowest passing lane of
  // the first block with any is the answer.
  using Pair = double __attribute__((vector_size(2 * sizeof(double))));
  using PairMask = int64_t __attribute__((vector_size(2 * sizeof(int64_t))));
  constexpr int32_t BLOCK = 8;
  int32_t k = from;
  for (; k + BLOCK <= count; k += BLOCK) {
    uint32_t passed = 0;
    for (int32_t lane = 0; lane < BLOCK; lane += 2) {
      Pair x;
      Pair y;
      std::memcpy(&x, xs + k + lane, sizeof x);
      std::memcpy(&y, ys + k + lane, sizeof y);
      const PairMask inside = (x - halfSize < probeX) & (probeX < x + halfSize) &
                              (y - halfSize < probeY) & (probeY < y + halfSize);
      passed |= (uint32_t(inside[0]) & 1u) << lane | (uint32_t(inside[1]) & 1u) << (lane + 1);
    }
    if (passed != 0) return k + std::countr_zero(passed);
  }
  for (; k < count; ++k) {
    if (xs[k] - halfSize < probeX && probeX < xs[k] + halfSize && ys[k] - halfSize < probeY &&
        probeY < ys[k] + halfSize) {
      return k;
    }
  }
  return count;
}

void collideShotsWithEnemies() {
  for (int32_t j = 0; j < shotCount; ++j) {
    scanShotX[j] = shots[j]->x;
    scanShotY[j] = shots[j]->y;
  }
  for (int32_t i = 0; i < enemyCount; ++i) {
    for (int32_t j = 0;; ++j) {
      // A null slot (the last enemy went) has nothing left to test.
      const Enemy* enemy = enemies[i];
      if (enemy == nullptr) break;
      j = findFirstInSquare(scanShotX, scanShotY, j, shotCount, enemy->x, enemy->y,
                            SHOT_HIT_RANGE);
      if (j >= shotCount) break;
      const double dX = enemy->x - scanShotX[j];
      const double dY = enemy->y - scanShotY[j];
      if (std::sqrt(dX * dX + dY * dY) < SHOT_HIT_RANGE) {
        removeListEntry(enemies, enemyCount, i);
        forgetScanShot(j, shotCount);
        removeListEntry(shots, shotCount, j);
        score += SHOT_HIT_SCORE;
      }
    }
  }
}

void collideEnemiesWithShip() {
  ShapeBits shape;
  readShapeBits(shape);
  for (int32_t i = 0; i < enemyCount; ++i) {
    const Enemy& enemy = *enemies[i];
    if (enemy.x - SHIP_REACH_X < shipX && shipX < enemy.x + SHIP_REACH_X &&
        enemy.y - SHIP_REACH_Y < shipY && shipY < enemy.y + SHIP_REACH_Y) {
      testShipCells(i, shape);
    }
  }
}

void digShipIntoMap() {
  const int32_t baseX = mapOffset(shipX, mapOriginX) - SHIP_OFFSET_X;
  const int32_t baseY = mapOffset(shipY, mapOriginY) - SHIP_OFFSET_Y;
  for (int32_t p = 0; p < SHIP_SHAPE_WIDTH; ++p) {
    for (int32_t q = 0; q < SHIP_SHAPE_HEIGHT; ++q) {
      if (shipShape[p * SHIP_SHAPE_HEIGHT + q] == 0) continue;
      const int32_t x0 = baseX + SHAPE_SCALE * p;
      const int32_t y0 = baseY + SHAPE_SCALE * q;
      for (int32_t a = 0; a < SHAPE_SCALE; ++a) {
        const int32_t column = (x0 + a) / MAP_CELL_SIZE;
        if (column < 0 || column >= MAP_COLUMNS) continue;
        for (int32_t b = 0; b < SHAPE_SCALE; ++b) {
          const int32_t row = (y0 + b) / MAP_CELL_SIZE;
          if (row < 0 || row >= MAP_ROWS) continue;
          uint8_t& cell = WorldMap[column * MAP_ROWS + row];
          if (cell == OPEN) continue;
          cell = OPEN;
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
    // After a strike the probes go on at the next probe column for the shot that moved in.
    for (int32_t probe = 0; probe < PROBES && shots[i] != nullptr; ++probe) {
      probe = firstStrikingProbe(*shots[i], probe);
      if (probe >= PROBES) break;
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
