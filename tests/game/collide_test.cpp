// tests/game/collide_test.cpp -- the edge numbers of collisions and digging, which replays miss.
#include "game/collide.h"

#include "game/game_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ShotsAgainstEnemies, HitWhenStrictlyNearerThan28) {
  struct Row {
    const char* name;
    double dx, dy;
    bool hit;
  };
  const Row rows[] = {
      {"28 apart on x misses", 28.0, 0.0, false},
      {"27.99 apart on x hits", 27.99, 0.0, true},
      {"28 apart on y misses", 0.0, -28.0, false},
      {"27.99 apart on y hits", 0.0, -27.99, true},
      {"inside the square but 28.28 away misses", 20.0, 20.0, false},
      {"19.79 on both axes, 27.99 away, hits", -19.79, 19.79, true},
  };
  for (const Row& row : rows) {
    startEmptyGame();
    addEnemy(100.0 + row.dx, 50.0 + row.dy);
    addShot(100.0, 50.0);
    collideShotsWithEnemies();
    EXPECT_EQ(enemyCount, row.hit ? 0 : 1) << row.name;
    EXPECT_EQ(shotCount, row.hit ? 0 : 1) << row.name;
    EXPECT_EQ(score, row.hit ? 10 : 0) << row.name;
  }
}

TEST(ShotsAgainstEnemies, AHitGoesOnAtTheNextShotForTheEnemyThatMovedIn) {
  startEmptyGame();
  addEnemy(10.0, 0.0);
  addEnemy(-10.0, 0.0);  // also within reach of the first shot, but that one is gone
  addShot(0.0, 0.0);
  addShot(-10.0, 5.0);   // moves into the first shot's slot, behind the scan
  addShot(-10.0, -5.0);  // the next slot the scan tests
  collideShotsWithEnemies();
  EXPECT_EQ(enemyCount, 0);
  ASSERT_EQ(shotCount, 1);
  EXPECT_EQ(shots[0]->y, 5.0);
  EXPECT_EQ(score, 20);
}

TEST(EnemiesAgainstShip, ContactNeedsTheSquareAndTwoCellsNearerThan3) {
  struct Row {
    const char* name;
    bool wholeShapes;
    double dx, dy;  // the enemy from the ship
    bool contact;
  };
  // With whole shapes the outermost cells meet at 57 on x and 39 on y; with one cell each,
  // cell (0, 0) of the ship stands at (-36, -18) and that of the enemy at (dx - 21, dy - 21).
  const Row rows[] = {
      {"whole shapes 56.99 apart on x touch", true, 56.99, 0.0, true},
      {"whole shapes 57 apart on x do not", true, 57.0, 0.0, false},
      {"whole shapes 38.99 apart on y touch", true, 0.0, -38.99, true},
      {"whole shapes 39 apart on y do not", true, 0.0, -39.0, false},
      {"single cells 2.99 apart on x touch", false, -15.0 + 2.99, 3.0, true},
      {"single cells 3 apart on x do not", false, -15.0 + 3.0, 3.0, false},
      {"single cells 2.99 apart on y touch", false, -15.0, 3.0 - 2.99, true},
      {"single cells 3 apart on y do not", false, -15.0, 3.0 - 3.0, false},
  };
  for (const Row& row : rows) {
    startEmptyGame();
    setShapes(row.wholeShapes);
    addEnemy(row.dx, row.dy);
    collideEnemiesWithShip();
    EXPECT_EQ(enemyCount, row.contact ? 0 : 1) << row.name;
    EXPECT_EQ(health, row.contact ? 235.0 : 250.0) << row.name;
    EXPECT_EQ(impactEffect, row.contact ? 2.5 : 0.0) << row.name;
  }
}

TEST(EnemiesAgainstShip, TheEnemyThatMovesIntoTheSlotIsTestedAtTheNextCell) {
  startEmptyGame();
  setShapes(true);
  addEnemy(0.0, 0.0);
  addEnemy(10.0, 0.0);
  addEnemy(200.0, 0.0);  // never near
  collideEnemiesWithShip();
  EXPECT_EQ(enemyCount, 1);
  EXPECT_EQ(health, 220.0);
  EXPECT_EQ(impactEffect, 5.0);
}

TEST(Digging, EachRockCellUnderTheShipCostsAQuarterOnce) {
  startEmptyGame();
  setShapes(false);
  // Ship cell (0, 0) covers world x -36..-34 and y -18..-16: map column 491, rows 495 and 496.
  std::memset(WorldMap, CELL_ROCK, sizeof WorldMap);
  shipVelX = 3.0;
  shipVelY = -2.0;
  digShipIntoMap();
  EXPECT_EQ(health, 249.5);
  EXPECT_DOUBLE_EQ(impactEffect, 0.85) << "0.8 after the first cell, 0.05 more after the second";
  EXPECT_EQ(shipVelX, 0.0);
  EXPECT_EQ(shipVelY, 0.0);
  EXPECT_EQ(mapCell(491, 495), CELL_OPEN);
  EXPECT_EQ(mapCell(491, 496), CELL_OPEN);
  EXPECT_EQ(mapCell(491, 494), CELL_ROCK);
  EXPECT_EQ(mapCell(492, 495), CELL_ROCK);
  digShipIntoMap();
  EXPECT_EQ(health, 249.5) << "open cells cost nothing";
}

TEST(ShotsAgainstMap, ProbesReachFiveBackAndFourOnAndSkipColumnAndRowZero) {
  struct Row {
    const char* name;
    double shot;  // the shot's place along the axis across the rock line; 0 along it
    int rockLine;
    bool strikes;
  };
  // A shot at x probes map columns (trunc(x) + 2000 - 5) / 4 to (trunc(x) + 2000 + 4) / 4, and
  // rows likewise; line 500 covers world units 0 to 3.
  const Row rows[] = {
      {"rock ending 5 units behind strikes", 8.0, 500, true},
      {"rock ending 6 units behind does not", 9.0, 500, false},
      {"rock starting 4 units ahead strikes", -4.0, 500, true},
      {"rock starting 5 units ahead does not", -5.0, 500, false},
      {"line 1 is probed", -1995.0, 1, true},
      {"line 0 is not", -1997.0, 0, false},
  };
  for (bool acrossColumns : {true, false}) {
    for (const Row& row : rows) {
      const std::string name = std::string(acrossColumns ? "column: " : "row: ") + row.name;
      startEmptyGame();
      for (int k = 0; k < MAP_SIZE; ++k)
        (acrossColumns ? mapCell(row.rockLine, k) : mapCell(k, row.rockLine)) = CELL_ROCK;
      addShot(acrossColumns ? row.shot : 0.0, acrossColumns ? 0.0 : row.shot);
      collideShotsWithMap();
      EXPECT_EQ(shotCount, row.strikes ? 0 : 1) << name;
      const uint8_t cell = acrossColumns ? mapCell(row.rockLine, 500) : mapCell(500, row.rockLine);
      EXPECT_EQ(cell, row.strikes ? CELL_OPEN : CELL_ROCK) << name;
    }
  }
}

TEST(ShotsAgainstMap, ACraterOpensCornersNearerThan50ButNeverColumnOrRow999) {
  struct Row {
    const char* name;
    double shotX, shotY;
    int column, row;
    uint8_t cell;
  };
  // The corner of cell (c, r) is the world point (4c - 2000, 4r - 2000).
  const Row rows[] = {
      {"corner (30, 40) away, exactly 50, stays rock", 2.0, 0.0, 508, 510, CELL_ROCK},
      {"corner (26, 40) away opens", 2.0, 0.0, 507, 510, CELL_OPEN},
      {"corner (48, 0) away opens", 0.0, 0.0, 512, 500, CELL_OPEN},
      {"corner (52, 0) away stays rock", 0.0, 0.0, 513, 500, CELL_ROCK},
      {"column 999 stays rock though 1 away", 1995.0, 0.0, 999, 500, CELL_ROCK},
      {"row 999 stays rock though 1 away", 0.0, 1995.0, 500, 999, CELL_ROCK},
      {"column 998 next to it opens", 1995.0, 0.0, 998, 500, CELL_OPEN},
      {"column 0 opens", -1999.0, 0.0, 0, 500, CELL_OPEN},
  };
  for (const Row& row : rows) {
    startEmptyGame();
    std::memset(WorldMap, CELL_ROCK, sizeof WorldMap);
    addShot(row.shotX, row.shotY);
    collideShotsWithMap();
    EXPECT_EQ(shotCount, 0) << row.name;
    EXPECT_EQ(mapCell(row.column, row.row), row.cell) << row.name;
  }
}

}  // namespace
