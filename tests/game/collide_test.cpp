// tests/game/collide_test.cpp -- the four collision steps: hits, contacts, digging and craters,
// the scans' order after removals, and every step against its plain form on random states.
#include "game/collide.h"

#include "game/literal_step.h"
#include "game/media.h"
#include "game/state.h"
#include "game/step_fixture.h"
#include "game/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

class CollideTest : public testing::Test {
 protected:
  void SetUp() override {
    std::srand(12345);
    setStartState();
    fillShapes(1, 1);
  }
  void TearDown() override { clearLists(); }
};

struct Point {
  double x, y;
};

std::vector<double> enemyXs() {
  std::vector<double> xs;
  for (int32_t i = 0; i < enemyCount; ++i) xs.push_back(enemies[i]->x);
  return xs;
}

std::vector<double> shotXs() {
  std::vector<double> xs;
  for (int32_t i = 0; i < shotCount; ++i) xs.push_back(shots[i]->x);
  return xs;
}

// Runs `fast` and `plain` from the same state and reports the first difference ("" if none).
std::string compareSteps(const std::function<void()>& fast, const std::function<void()>& plain) {
  static GameSnapshot start, fastEnd, plainEnd;
  takeSnapshot(start);
  fast();
  takeSnapshot(fastEnd);
  restoreSnapshot(start);
  plain();
  takeSnapshot(plainEnd);
  return firstDifference(plainEnd, fastEnd);
}

// A coordinate near `centre`: on a whole-unit grid, on a half-unit grid or anywhere, so that
// the strict comparisons meet their exact edges as well as ordinary values.
double nearby(std::mt19937& rng, double centre, double reach, int style) {
  const double offset = std::uniform_real_distribution<double>(-reach, reach)(rng);
  if (style == 0) return centre + std::round(offset);
  if (style == 1) return centre + std::round(offset * 2) / 2;
  return centre + offset;
}

void randomShapes(std::mt19937& rng) {
  const unsigned shipDensity = rng() % 4;
  const unsigned enemyDensity = rng() % 4;
  for (uint8_t& cell : shipShape) cell = uint8_t(rng() % 4 >= shipDensity);
  for (uint8_t& cell : enemyShape) cell = uint8_t(rng() % 4 >= enemyDensity);
}

// One solid cell in each shape: ship cell (p, q) only and enemy cell (7, 7), which stands at
// the enemy's own position.
void singleCellShapes(std::vector<std::pair<int, int>> shipCells) {
  fillShapes(0, 0);
  for (auto [p, q] : shipCells) shipShape[p * SHIP_SHAPE_HEIGHT + q] = 1;
  enemyShape[7 * ENEMY_SHAPE_SIZE + 7] = 1;
}

void fillMap(uint8_t value) { std::memset(WorldMap, value, sizeof WorldMap); }

}  // namespace

TEST_F(CollideTest, ShotsHitEnemiesNearerThan28InSlotOrder) {
  struct Row {
    const char* name;
    std::vector<Point> enemies, shots;
    std::vector<double> enemiesLeft, shotsLeft;  // x of what remains, in slot order
    int32_t score;
  };
  const std::vector<Row> rows = {
      {"28 apart does not hit", {{100, 100}}, {{128, 100}}, {100}, {128}, 0},
      {"27.99 apart hits", {{100, 100}}, {{127.99, 100}}, {}, {}, 10},
      {"(20, 20) apart: in the square but 28.3 away", {{0, 0}}, {{20, 20}}, {0}, {20}, 0},
      {"(19.7, 19.7) apart: 27.9 away", {{0, 0}}, {{19.7, 19.7}}, {}, {}, 10},
      {"two enemies over one shot: only the first in slot order", {{0, 0}, {1, 0}},
       {{0.5, 0}}, {1}, {}, 10},
      {"the shot that moves into the hit slot is passed over", {{0, 0}, {0.25, 0}},
       {{0, 0}, {0.5, 0}, {0.75, 0}}, {}, {0.5}, 20},
      {"the enemy that moves into the slot meets only later shots", {{0, 0}, {500, 0}},
       {{0, 0}, {500, 0}}, {500}, {500}, 10},
      {"a miss leaves the scan going on", {{0, 0}}, {{300, 0}, {10, 10}}, {}, {300}, 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clearLists();
    score = 0;
    for (Point e : row.enemies) addEnemy(e.x, e.y);
    for (Point s : row.shots) addShot(s.x, s.y);
    collideShotsWithEnemies();
    EXPECT_EQ(enemyXs(), row.enemiesLeft);
    EXPECT_EQ(shotXs(), row.shotsLeft);
    EXPECT_EQ(score, row.score);
    EXPECT_TRUE(takeSnapshot().slotsAboveCountNull);
  }
}

TEST_F(CollideTest, ShotsAgainstEnemiesMatchThePlainScan) {
  std::mt19937 rng(91);
  for (int round = 0; round < 150; ++round) {
    clearLists();
    const int style = round % 3;
    const double reach = std::uniform_real_distribution<double>(20.0, 600.0)(rng);
    const int enemyTotal = int(rng() % (MAX_ENEMIES + 1));
    const int shotTotal = int(rng() % (MAX_SHOTS + 1));
    for (int k = 0; k < enemyTotal; ++k) {
      addEnemy(nearby(rng, 0, reach, style), nearby(rng, 0, reach, style));
    }
    for (int k = 0; k < shotTotal; ++k) {
      addShot(nearby(rng, 0, reach, style), nearby(rng, 0, reach, style));
    }
    ASSERT_EQ(compareSteps(collideShotsWithEnemies, literalShotsWithEnemies), "")
        << "round " << round;
  }
}

TEST_F(CollideTest, EnemiesTouchingTheShipCostFifteenEach) {
  struct Row {
    const char* name;
    std::vector<std::pair<int, int>> shipCells;  // empty: both shapes wholly solid
    std::vector<Point> enemies;
    int enemiesLeft;
    double health;
  };
  const std::vector<Row> rows = {
      {"56.9 to the right touches", {}, {{56.9, 0}}, 0, 235},
      {"57 to the right is outside the square", {}, {{57, 0}}, 1, 250},
      {"56.9 to the left touches", {}, {{-56.9, 0}}, 0, 235},
      {"38.9 below touches", {}, {{0, 38.9}}, 0, 235},
      {"39 below is outside the square", {}, {{0, 39}}, 1, 250},
      {"39 above is outside the square", {}, {{0, -39}}, 1, 250},
      {"17 contacts from 250 leave -5", {},
       std::vector<Point>(17, Point{0.5, -0.5}), 0, -5},
      {"the enemy moving into the slot meets only the rest of the cell pairs", {{12, 6}},
       {{0, 0}, {0, 0}}, 1, 235},
      {"...and is destroyed when a later ship cell touches it", {{12, 6}, {13, 6}},
       {{0, 0}, {3, 0}}, 0, 220},
      {"...but not by an earlier one", {{11, 6}, {12, 6}}, {{0, 0}, {-3, 0}}, 1, 235},
      {"shape cells 3 apart do not touch", {{12, 6}}, {{3, 0}}, 1, 250},
      {"shape cells 2.99 apart touch", {{12, 6}}, {{2.99, -2.99}}, 0, 235},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clearLists();
    if (row.shipCells.empty()) {
      fillShapes(1, 1);
    } else {
      singleCellShapes(row.shipCells);
    }
    health = 250.0;
    impactEffect = 0.0;
    for (Point e : row.enemies) addEnemy(e.x, e.y);
    const int destroyed = int(row.enemies.size()) - row.enemiesLeft;
    collideEnemiesWithShip();
    EXPECT_EQ(enemyCount, row.enemiesLeft);
    EXPECT_EQ(health, row.health);
    EXPECT_EQ(impactEffect, 2.5 * destroyed);
  }
}

TEST_F(CollideTest, EnemiesAgainstShipMatchThePlainCellScan) {
  std::mt19937 rng(17);
  for (int round = 0; round < 400; ++round) {
    clearLists();
    randomShapes(rng);
    const int style = round % 3;
    shipX = nearby(rng, 0, 300, style);
    shipY = nearby(rng, 0, 300, style);
    // A crowd pressing on the ship, with some further out to fail the square test, and twins
    // that touch at exactly the cell pairs of the enemy before them.
    const int total = 1 + int(rng() % 60);
    for (int k = 0; k < total; ++k) {
      if (k > 0 && rng() % 3 == 0) {
        addEnemy(enemies[enemyCount - 1]->x, enemies[enemyCount - 1]->y);
        continue;
      }
      const double reach = rng() % 4 == 0 ? 120.0 : 50.0;
      addEnemy(nearby(rng, shipX, reach, style), nearby(rng, shipY, reach * 0.7, style));
    }
    health = 250.0;
    ASSERT_EQ(compareSteps(collideEnemiesWithShip, literalEnemiesWithShip), "")
        << "round " << round;
  }
}

TEST_F(CollideTest, DiggingOpensRockUnderTheShip) {
  struct Row {
    const char* name;
    double impactBefore;
    std::vector<std::pair<int, int>> rock;  // cells set to rock in an open map
    double health, impact;
    bool stopped;
  };
  const std::vector<Row> rows = {
      {"no rock: nothing changes", 0.3, {}, 250, 0.3, false},
      {"a cell under several ship points costs 0.25 once", 0.0, {{505, 500}}, 249.75, 0.8,
       true},
      {"boring lifts a weak effect to 0.8", 0.5, {{500, 500}}, 249.75, 0.8, true},
      {"a strong effect gains 0.05", 2.0, {{500, 500}}, 249.75, 2.05, true},
      {"two cells: 0.8, then 0.85", 0.0, {{500, 500}, {501, 501}}, 249.5, 0.85, true},
      {"rock beyond the ship's right edge is kept", 0.0, {{509, 500}}, 250, 0.0, false},
      {"rock beside the ship's left edge is opened", 0.0, {{491, 500}}, 249.75, 0.8, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fillMap(0);
    for (auto [c, r] : row.rock) mapCell(c, r) = 1;
    health = 250.0;
    impactEffect = row.impactBefore;
    shipX = 0.5;
    shipY = 0.5;
    shipVelX = 3.0;
    shipVelY = -1.0;
    digShipIntoMap();
    EXPECT_EQ(health, row.health);
    EXPECT_DOUBLE_EQ(impactEffect, row.impact);
    EXPECT_EQ(shipVelX == 0.0 && shipVelY == 0.0, row.stopped);
    EXPECT_EQ(shipX, 0.5) << "the ship keeps its place";
    for (auto [c, r] : row.rock) EXPECT_EQ(mapCell(c, r) == 0, row.stopped) << c << ", " << r;
  }
}

TEST_F(CollideTest, DiggingMatchesThePlainCellScan) {
  std::mt19937 rng(23);
  for (int round = 0; round < 200; ++round) {
    randomShapes(rng);
    const int style = round % 3;
    mapOriginX = 4.0 * std::uniform_int_distribution<int>(-300, 300)(rng);
    mapOriginY = 4.0 * std::uniform_int_distribution<int>(-300, 300)(rng);
    shipX = nearby(rng, mapOriginX, 120, style);
    shipY = nearby(rng, mapOriginY, 120, style);
    impactEffect = std::uniform_real_distribution<double>(0.0, 2.0)(rng);
    const unsigned density = rng() % 5;
    for (int c = 450; c < 550; ++c) {
      for (int r = 450; r < 550; ++r) mapCell(c, r) = uint8_t(rng() % 5 < density);
    }
    ASSERT_EQ(compareSteps(digShipIntoMap, literalDig), "") << "round " << round;
  }
}

TEST_F(CollideTest, ShotsStrikingRockBlowCraters) {
  struct Row {
    const char* name;
    uint8_t map;                             // every cell, before `flipped`
    std::vector<std::pair<int, int>> flipped;  // cells set to the other value
    Point shot;
    bool removed;
    std::vector<std::pair<int, int>> openAfter, rockAfter;
  };
  const std::vector<Row> rows = {
      {"open cells under every probe: it flies on", 0, {}, {0, 0}, false, {}, {}},
      {"rock under the last probe: struck", 0, {{501, 501}}, {0, 0}, true, {{501, 501}}, {}},
      {"rock just past the last probe is missed", 0, {{502, 500}}, {0.9, 0}, false, {},
       {{502, 500}}},
      {"corners nearer than 50 open, the rest stay", 1, {}, {0.5, 0.25}, true,
       {{500, 500}, {512, 500}, {510, 507}, {488, 500}, {500, 488}},
       {{513, 500}, {511, 507}, {487, 500}, {500, 513}}},
      {"column and row 999 are never opened", 1, {}, {1995, 1995}, true,
       {{998, 998}, {997, 998}}, {{999, 999}, {999, 998}, {998, 999}}},
      {"rock in column 0 alone is not probed", 0, {{0, 500}}, {-1998, 0}, false, {},
       {{0, 500}}},
      {"rock in column 1 is probed", 0, {{1, 500}},
       {-1996, 0}, true, {{1, 500}}, {}},
      {"rock in row 0 alone is not probed", 0, {{500, 0}}, {0, -1998}, false, {}, {{500, 0}}},
      {"beyond the map the probes are ignored", 1, {}, {9000, 0}, false, {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clearLists();
    fillMap(row.map);
    for (auto [c, r] : row.flipped) mapCell(c, r) = uint8_t(1 - row.map);
    addShot(row.shot.x, row.shot.y);
    collideShotsWithMap();
    EXPECT_EQ(shotCount, row.removed ? 0 : 1);
    for (auto [c, r] : row.openAfter) EXPECT_EQ(mapCell(c, r), 0) << c << ", " << r;
    for (auto [c, r] : row.rockAfter) EXPECT_EQ(mapCell(c, r), 1) << c << ", " << r;
  }
}

TEST_F(CollideTest, AfterAStrikeTheProbesGoOnAtTheNextColumnForTheShotThatMovedIn) {
  fillMap(0);
  // Shot 0 at (0.5, 0.5) probes x -5..4 and y -5..4; its first rock probe is x 0, y 0
  // (probe column 5, row 5), in cell (500, 500).
  mapCell(500, 500) = 1;
  // Shot 1 at (1003.5, 0.5) probes x 998..1007: cell column 749 for x 998, 999, column 750
  // for x 1000..1003 (probe columns 2 to 5), 751 from x 1004. Its only rock, (750, 501), lies
  // under y 4 (probe row 9). Once shot 0 has struck, shot 1 moves into slot 0 and is probed
  // from probe column 6 on, so it is not struck in this step: not from probe column 0 again,
  // nor by the rest of column 5's rows.
  mapCell(750, 501) = 1;
  addShot(0.5, 0.5);
  addShot(1003.5, 0.5);
  collideShotsWithMap();
  ASSERT_EQ(shotCount, 1);
  EXPECT_EQ(shots[0]->x, 1003.5);
  EXPECT_EQ(mapCell(750, 501), 1);
  collideShotsWithMap();
  EXPECT_EQ(shotCount, 0) << "probed in full in the next step";
  EXPECT_EQ(mapCell(750, 501), 0);
}

TEST_F(CollideTest, ShotsAgainstMapMatchThePlainProbesAndCraters) {
  std::mt19937 rng(5);
  for (int round = 0; round < 60; ++round) {
    clearLists();
    mapOriginX = 4.0 * std::uniform_int_distribution<int>(-200, 200)(rng);
    mapOriginY = 4.0 * std::uniform_int_distribution<int>(-200, 200)(rng);
    // Sparse rock everywhere and a few shots; some rounds near the map's edges.
    const unsigned sparseness = 50 + rng() % 4000;
    for (uint8_t& cell : WorldMap) cell = uint8_t(rng() % sparseness == 0);
    const int total = 1 + int(rng() % 12);
    const double reach = round % 4 == 0 ? 2010.0 : 400.0;
    const int style = round % 3;
    for (int k = 0; k < total; ++k) {
      addShot(nearby(rng, mapOriginX, reach, style), nearby(rng, mapOriginY, reach, style));
    }
    ASSERT_EQ(compareSteps(collideShotsWithMap, literalShotsWithMap), "") << "round " << round;
  }
}

TEST_F(CollideTest, StepsRunInTheirOrder) {
  // A shot over an enemy that touches the ship, with rock under the shot's probes (cell
  // (505, 507), below the ship's reach): the hit comes first, so the ship is unhurt, and the
  // shot is gone before the map is probed, so the rock is not cratered.
  fillMap(0);
  mapCell(505, 507) = 1;
  addEnemy(20, 30);
  addShot(20, 30);
  runCollisions();
  EXPECT_EQ(enemyCount, 0);
  EXPECT_EQ(shotCount, 0);
  EXPECT_EQ(score, 10);
  EXPECT_EQ(health, 250.0);
  EXPECT_EQ(mapCell(505, 507), 1);
  // Without the shot, the same enemy costs 15 health and the rock stays.
  addEnemy(20, 30);
  runCollisions();
  EXPECT_EQ(health, 235.0);
  EXPECT_EQ(mapCell(505, 507), 1);
}

TEST(FindFirstInSquare, MatchesTheStrictTestAtEveryIndex) {
  std::mt19937 rng(8);
  std::vector<double> xs(37);
  std::vector<double> ys(37);
  for (int round = 0; round < 2000; ++round) {
    for (size_t k = 0; k < xs.size(); ++k) {
      xs[k] = double(rng() % 9) * 7 - 28;
      ys[k] = double(rng() % 9) * 7 - 28;
    }
    const double probeX = double(rng() % 5) * 7 - 14;
    const double probeY = double(rng() % 5) * 7 - 14;
    const int32_t from = int32_t(rng() % 38);
    int32_t expected = int32_t(xs.size());
    for (int32_t k = from; k < int32_t(xs.size()); ++k) {
      if (xs[k] - 28 < probeX && probeX < xs[k] + 28 && ys[k] - 28 < probeY &&
          probeY < ys[k] + 28) {
        expected = k;
        break;
      }
    }
    ASSERT_EQ(findFirstInSquare(xs.data(), ys.data(), from, int32_t(xs.size()), probeX, probeY, 28),
              expected)
        << "round " << round;
  }
}
