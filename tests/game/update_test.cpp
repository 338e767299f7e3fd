// tests/game/update_test.cpp -- the game step: the ship's thrust, damping and firing, enemy
// spawning, steering and separation, the map scroll, and whole steps against the plain rules.
#include "game/update.h"

#include "app/input.h"
#include "game/literal_step.h"
#include "game/media.h"
#include "game/state.h"
#include "game/step_fixture.h"
#include "game/world.h"
#include "support/test_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double GAME_DEGREE = 0.0174532925;  // the game's own degrees-to-radians factor

class UpdateTest : public testing::Test {
 protected:
  void SetUp() override {
    std::srand(12345);
    releaseAllInput();
    setStartState();
  }
  void TearDown() override { clearLists(); }
};

// updateGame ends by drawing, so these steps get a real screen to draw on.
class GameStepTest : public UpdateTest {
 protected:
  void SetUp() override {
    ASSERT_NE(openTestScreen(32), nullptr);
    UpdateTest::SetUp();
  }
  void TearDown() override {
    UpdateTest::TearDown();
    closeTestScreen();
  }
};

void holdKeys(const std::vector<int>& keys, KeyState state = KeyState::Held) {
  for (int key : keys) inputState.keys[key] = state;
}

void setButton(char mark) {
  inputState.mouseButtons[SDL_BUTTON_LEFT] = mark == 'P'   ? KeyState::Pressed
                                             : mark == 'H' ? KeyState::Held
                                                           : KeyState::Up;
}

}  // namespace

TEST_F(UpdateTest, ThrustFollowsTheKeysAndOpposingPairsCancel) {
  struct Row {
    const char* name;
    std::vector<int> keys;
    int degrees;  // -1: no thrust
  };
  const Row rows[] = {
      {"nothing down", {}, -1},
      {"d", {SDLK_d}, 0},
      {"right arrow", {SDLK_RIGHT}, 0},
      {"s and d", {SDLK_s, SDLK_d}, 45},
      {"s", {SDLK_s}, 90},
      {"down arrow", {SDLK_DOWN}, 90},
      {"s and a", {SDLK_s, SDLK_a}, 135},
      {"a", {SDLK_a}, 180},
      {"left arrow", {SDLK_LEFT}, 180},
      {"w and a", {SDLK_w, SDLK_a}, 225},
      {"w", {SDLK_w}, 270},
      {"up arrow", {SDLK_UP}, 270},
      {"w and d", {SDLK_w, SDLK_d}, 315},
      {"up arrow and d", {SDLK_UP, SDLK_d}, 315},
      {"w and its arrow together", {SDLK_w, SDLK_UP}, 270},
      {"w and s", {SDLK_w, SDLK_s}, -1},
      {"up arrow and s", {SDLK_UP, SDLK_s}, -1},
      {"a and d", {SDLK_a, SDLK_d}, -1},
      {"a and right arrow", {SDLK_a, SDLK_RIGHT}, -1},
      {"w, a and d", {SDLK_w, SDLK_a, SDLK_d}, -1},
      {"w, s and d", {SDLK_w, SDLK_s, SDLK_d}, -1},
      {"all four", {SDLK_w, SDLK_a, SDLK_s, SDLK_d}, -1},
  };
  for (const KeyState state : {KeyState::Held, KeyState::Pressed}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (state == KeyState::Held ? ", held" : ", pressed"));
      releaseAllInput();
      holdKeys(row.keys, state);
      shipX = 10.0;
      shipY = 20.0;
      shipVelX = 4.0;
      shipVelY = -2.0;
      updateShip();
      // Damping first, then the thrust along degrees times the game's factor (so "down" has a
      // tiny x part: 0.0174532925 is not exactly pi/180).
      double velX = 3.0;
      double velY = -1.5;
      if (row.degrees >= 0) {
        velX += std::cos(row.degrees * GAME_DEGREE) * 2.5;
        velY += std::sin(row.degrees * GAME_DEGREE) * 2.5;
      }
      EXPECT_EQ(shipVelX, velX);
      EXPECT_EQ(shipVelY, velY);
      EXPECT_EQ(shipX, 10.0 + velX);
      EXPECT_EQ(shipY, 20.0 + velY);
    }
  }
}

TEST_F(UpdateTest, DampingHoldsTheSpeedBelowTen) {
  // Held right: the speed climbs towards 2.5 / (1 - 0.75) = 10 and never reaches it.
  holdKeys({SDLK_d});
  double previous = 0.0;
  for (int frame = 0; frame < 120; ++frame) {
    updateShip();
    ASSERT_GT(shipVelX, previous) << "frame " << frame;
    ASSERT_LT(shipVelX, 10.0) << "frame " << frame;
    ASSERT_EQ(shipVelY, 0.0);
    previous = shipVelX;
  }
  EXPECT_GT(shipVelX, 10.0 - 1e-9);
  // Held down and right: the same limit along the diagonal.
  releaseAllInput();
  holdKeys({SDLK_s, SDLK_d});
  shipVelX = shipVelY = 0.0;
  for (int frame = 0; frame < 120; ++frame) updateShip();
  EXPECT_NEAR(std::hypot(shipVelX, shipVelY), 10.0, 1e-7);
  // Released: the ship coasts, keeping three quarters of its velocity a frame.
  releaseAllInput();
  for (int frame = 0; frame < 5; ++frame) {
    const double velX = shipVelX * 0.75;
    const double x = shipX + velX;
    updateShip();
    EXPECT_EQ(shipVelX, velX);
    EXPECT_EQ(shipX, x);
  }
}

TEST_F(UpdateTest, FiringCadenceAndCooldown) {
  struct Row {
    const char* name;
    int32_t cooldown;     // at the start
    const char* button;   // per frame: P pressed, H held, . up
    const char* shots;    // shotCount after each frame
    const char* cooldowns;
  };
  const Row rows[] = {
      {"pressed and held fires at once and then every 4th frame", 0, "PHHHHHHHHHHHH",
       "1111222233334", "4321432143214"},
      {"a cooldown of 1 still allows a shot in this frame", 1, "H", "1", "4"},
      {"a cooldown of 2 waits one frame", 2, "HH", "01", "14"},
      {"released, the cooldown still runs down", 0, "P....H", "111112", "432104"},
      {"never pressed, never fires", 0, "....", "0000", "0000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clearLists();
    fireCooldown = row.cooldown;
    std::string shotsSeen;
    std::string cooldownsSeen;
    for (const char* mark = row.button; *mark != '\0'; ++mark) {
      setButton(*mark);
      updateShip();
      shotsSeen += std::to_string(shotCount);
      cooldownsSeen += std::to_string(fireCooldown);
    }
    EXPECT_EQ(shotsSeen, row.shots);
    EXPECT_EQ(cooldownsSeen, row.cooldowns);
  }
}

TEST_F(UpdateTest, ShotLeavesTheMovedShipTowardsThePointer) {
  shipX = 100.5;
  shipY = -20.25;
  shipVelX = 3.0;
  shipVelY = 1.0;
  cameraX = 90.0;
  cameraY = -10.0;
  inputState.mouseX = 400;
  inputState.mouseY = 100;
  holdKeys({SDLK_d});
  setButton('P');
  updateShip();
  ASSERT_EQ(shotCount, 1);
  // The ship has moved and thrust already; the camera is the one of the step before.
  const double velX = 3.0 * 0.75 + 2.5;
  const double velY = 1.0 * 0.75;
  const double x = 100.5 + velX;
  const double y = -20.25 + velY;
  const double aim = std::atan2(100 - (y - -10.0 + 240), 400 - (x - 90.0 + 320));
  const Shot& shot = *shots[0];
  EXPECT_EQ(shot.velX, std::cos(aim) * 30 + velX * 0.25);
  EXPECT_EQ(shot.velY, std::sin(aim) * 30 + velY * 0.25);
  EXPECT_EQ(shot.x, x + shot.velX * 0.1);
  EXPECT_EQ(shot.y, y + shot.velY * 0.1);
  EXPECT_EQ(cameraX, 90.0);
}

TEST_F(UpdateTest, NoShotWhileFiveHundredAreInFlight) {
  for (int k = 0; k < MAX_SHOTS; ++k) addShot(5000.0 + k, 0.0);
  setButton('H');
  updateShip();
  EXPECT_EQ(shotCount, MAX_SHOTS);
  EXPECT_EQ(fireCooldown, 0) << "a shot that was not fired sets no cooldown";
  removeListEntry(shots, shotCount, 0);
  updateShip();
  ASSERT_EQ(shotCount, MAX_SHOTS);
  EXPECT_LT(std::hypot(shots[MAX_SHOTS - 1]->x, shots[MAX_SHOTS - 1]->y), 10.0)
      << "the new shot is appended last, at the ship";
  EXPECT_EQ(fireCooldown, 4);
}

TEST_F(UpdateTest, EnemiesSpawnEveryEleventhFrameAt520Units) {
  shipX = 37.5;
  shipY = -12.25;
  std::srand(99);
  std::vector<int> angles;
  for (int k = 0; k < 4; ++k) angles.push_back(std::rand() % 360);
  std::srand(99);
  std::string counts;
  for (int frame = 0; frame < 34; ++frame) {
    spawnEnemy();
    counts += char('0' + enemyCount);
    ASSERT_GE(spawnTimer, 0);
    ASSERT_LE(spawnTimer, 10);
  }
  EXPECT_EQ(counts, "1111111111122222222222333333333334");
  ASSERT_EQ(enemyCount, 4);
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE("enemy " + std::to_string(k));
    // The whole number from rand() is taken as radians, not degrees.
    const double a = angles[k];
    EXPECT_EQ(enemies[k]->velX, std::cos(a));
    EXPECT_EQ(enemies[k]->velY, std::sin(a));
    EXPECT_EQ(enemies[k]->x, 37.5 + std::cos(a) * 520);
    EXPECT_EQ(enemies[k]->y, -12.25 + std::sin(a) * 520);
    EXPECT_NEAR(std::hypot(enemies[k]->x - shipX, enemies[k]->y - shipY), 520.0, 1e-9);
  }
}

TEST_F(UpdateTest, NoEnemySpawnsWhileTwoHundredFiftyAreAlive) {
  for (int k = 0; k < MAX_ENEMIES - 1; ++k) addEnemy(1000.0 + k, 0.0);
  spawnEnemy();
  EXPECT_EQ(enemyCount, MAX_ENEMIES) << "the 250th spawns";
  EXPECT_EQ(spawnTimer, 10);
  std::srand(4321);
  for (int frame = 0; frame < 30; ++frame) spawnEnemy();
  EXPECT_EQ(enemyCount, MAX_ENEMIES);
  EXPECT_EQ(spawnTimer, 0) << "the timer runs down and stays at 0";
  const int nextRandom = std::rand();
  std::srand(4321);
  EXPECT_EQ(nextRandom, std::rand()) << "a full list draws no random number";
  removeListEntry(enemies, enemyCount, 0);
  spawnEnemy();
  EXPECT_EQ(enemyCount, MAX_ENEMIES) << "the first frame with a free slot spawns";
}

TEST_F(UpdateTest, NewEnemyDriftsOutThenTurnsBackToTheShip) {
  addEnemy(520.0, 0.0, 1.0, 0.0);
  shipX = 0.0;
  shipY = 0.0;
  steerEnemies();
  // The steering works from the first step: pulled back by 0.28 along the direction to the ship.
  EXPECT_EQ(enemies[0]->velX, 1.0 * 0.96 + std::cos(std::atan2(0.0, -520.0)) * 0.28);
  EXPECT_EQ(enemies[0]->velY, 0.0 * 0.96 + std::sin(std::atan2(0.0, -520.0)) * 0.28);
  EXPECT_EQ(enemies[0]->x, 520.0 + enemies[0]->velX);
  double farthest = enemies[0]->x;
  int turnFrame = -1;
  for (int frame = 1; frame < 400 && turnFrame < 0; ++frame) {
    const double before = enemies[0]->x;
    steerEnemies();
    if (enemies[0]->x < before) turnFrame = frame;
    farthest = std::max(farthest, enemies[0]->x);
  }
  EXPECT_GT(turnFrame, 1);
  EXPECT_GT(farthest, 521.0);
  // Homing from afar, the speed approaches 0.28 / (1 - 0.96) = 7.
  clearLists();
  addEnemy(100000.0, 0.0);
  for (int frame = 0; frame < 400; ++frame) steerEnemies();
  EXPECT_NEAR(enemies[0]->velX, -7.0, 1e-6);
}

TEST_F(UpdateTest, SeparationTreatsEveryOrderedPairInTurn) {
  const double sinPi = std::sin(std::atan2(0.0, -1.0));  // atan2(0, negative) is pi
  struct Row {
    const char* name;
    std::vector<Enemy> before;
    std::vector<Enemy> after;
    double tolerance;  // 0: bit for bit
  };
  const std::vector<Row> rows = {
      {"coincident: parted along x, the second pair sees the first's push",
       {{0, 0, 1, 2}, {0, 0, 3, 4}},
       {{18.75, -sinPi * 6.25, 1, 2}, {-18.75, sinPi * 6.25, 3, 4}},
       0},
      {"exactly 50 apart on x: outside the strict square", {{0, 0, 0, 0}, {50, 0, 0, 0}},
       {{0, 0, 0, 0}, {50, 0, 0, 0}}, 0},
      {"(30, 40) apart: inside the square, but not nearer than 50",
       {{0, 0, 0, 0}, {30, 40, 0, 0}}, {{0, 0, 0, 0}, {30, 40, 0, 0}}, 0},
      {"49 apart: a quarter of the overlap, then an eighth of the rest",
       {{0, 0, 0, 0}, {49, 0, 0, 0}}, {{-0.375, 0, 0, 0}, {49.375, 0, 0, 0}}, 1e-12},
      {"three in a row: the middle one is pushed by each side in turn",
       {{0, 0, 0, 0}, {40, 0, 0, 0}, {80, 0, 0, 0}},
       {{-3.75, 0, 0, 0}, {38.59375, 0, 0, 0}, {85.15625, 0, 0, 0}}, 1e-9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clearLists();
    for (const Enemy& e : row.before) addEnemy(e.x, e.y, e.velX, e.velY);
    separateEnemies();
    ASSERT_EQ(enemyCount, int32_t(row.after.size()));
    for (size_t k = 0; k < row.after.size(); ++k) {
      SCOPED_TRACE("enemy " + std::to_string(k));
      if (row.tolerance == 0) {
        EXPECT_EQ(enemies[k]->x, row.after[k].x);
        EXPECT_EQ(enemies[k]->y, row.after[k].y);
      } else {
        EXPECT_NEAR(enemies[k]->x, row.after[k].x, row.tolerance);
        EXPECT_NEAR(enemies[k]->y, row.after[k].y, row.tolerance);
      }
      EXPECT_EQ(enemies[k]->velX, row.after[k].velX) << "velocities are untouched";
      EXPECT_EQ(enemies[k]->velY, row.after[k].velY);
    }
  }
}

TEST_F(UpdateTest, SeparationMatchesThePlainPairScan) {
  GameSnapshot start, fast, plain;
  std::mt19937 rng(777);
  for (int round = 0; round < 150; ++round) {
    clearLists();
    const int count = std::uniform_int_distribution<int>(2, MAX_ENEMIES)(rng);
    const double spread = std::uniform_real_distribution<double>(5.0, 400.0)(rng);
    // Snapped rounds put enemies on a grid, so that exact distances of 50 and coincident
    // enemies occur.
    const double snap = round % 3 == 0 ? 25.0 : round % 3 == 1 ? 0.5 : 0.0;
    std::normal_distribution<double> offset(0.0, spread);
    for (int k = 0; k < count; ++k) {
      double x = offset(rng);
      double y = offset(rng);
      if (snap > 0) {
        x = std::round(x / snap) * snap;
        y = std::round(y / snap) * snap;
      }
      addEnemy(x, y, k, -k);
    }
    takeSnapshot(start);
    separateEnemies();
    takeSnapshot(fast);
    restoreSnapshot(start);
    literalSeparation();
    takeSnapshot(plain);
    ASSERT_EQ(firstDifference(plain, fast), "") << "round " << round;
  }
}

TEST_F(UpdateTest, MapScrollsOneCellPerFourUnitsStrictly) {
  struct Row {
    const char* name;
    double originX, originY;
    double cameraX, cameraY;
    int columns, rows;  // cells the map moves; positive: the camera went right or down
  };
  const Row rows[] = {
      {"4.0 to the right does not scroll", 0, 0, 4.0, 0, 0, 0},
      {"4.000001 to the right scrolls once", 0, 0, 4.000001, 0, 1, 0},
      {"9 to the right scrolls twice", 0, 0, 9.0, 0, 2, 0},
      {"4.0 to the left does not scroll", 0, 0, -4.0, 0, 0, 0},
      {"4.000001 to the left scrolls once", 0, 0, -4.000001, 0, -1, 0},
      {"9 to the left scrolls twice", 0, 0, -9.0, 0, -2, 0},
      {"4.000001 down scrolls once", 0, 0, 0, 4.000001, 0, 1},
      {"9 up scrolls twice", 0, 0, 0, -9.0, 0, -2},
      {"right and up at once", 0, 0, 13.0, -5.0, 3, -1},
      {"from an origin away from 0", 100, -200, 104.5, -212.0, 1, -2},
  };
  std::mt19937 rng(31);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (uint8_t& cell : WorldMap) cell = uint8_t(rng() & 1);
    const std::vector<uint8_t> before(WorldMap, WorldMap + sizeof WorldMap);
    mapOriginX = row.originX;
    mapOriginY = row.originY;
    cameraX = row.cameraX;
    cameraY = row.cameraY;
    scrollMapWithCamera();
    EXPECT_EQ(mapOriginX, row.originX + 4 * row.columns);
    EXPECT_EQ(mapOriginY, row.originY + 4 * row.rows);
    EXPECT_LE(std::abs(cameraX - mapOriginX), 4.0);
    EXPECT_LE(std::abs(cameraY - mapOriginY), 4.0);
    // Cell (c, r) now holds what (c + columns, r + rows) held; what comes in is rock.
    int wrong = 0;
    for (int c = 0; c < MAP_COLUMNS; ++c) {
      for (int r = 0; r < MAP_ROWS; ++r) {
        const int fromC = c + row.columns;
        const int fromR = r + row.rows;
        const bool inside = fromC >= 0 && fromC < MAP_COLUMNS && fromR >= 0 && fromR < MAP_ROWS;
        wrong += mapCell(c, r) != (inside ? before[fromC * MAP_ROWS + fromR] : 1);
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(UpdateTest, MapScrollMatchesTheCellByCellScroll) {
  GameSnapshot start, fast, plain;
  std::mt19937 rng(55);
  for (int round = 0; round < 24; ++round) {
    for (uint8_t& cell : WorldMap) cell = uint8_t(rng() % 7 == 0);
    mapOriginX = 4.0 * std::uniform_int_distribution<int>(-500, 500)(rng);
    mapOriginY = 4.0 * std::uniform_int_distribution<int>(-500, 500)(rng);
    std::uniform_real_distribution<double> travel(-45.0, 45.0);
    cameraX = mapOriginX + travel(rng);
    cameraY = mapOriginY + travel(rng);
    takeSnapshot(start);
    scrollMapWithCamera();
    takeSnapshot(fast);
    restoreSnapshot(start);
    literalScroll();
    takeSnapshot(plain);
    ASSERT_EQ(firstDifference(plain, fast), "") << "round " << round;
  }
  // A jump past the whole map leaves nothing but rock.
  mapOriginX = mapOriginY = 0.0;
  cameraX = 4100.0;
  cameraY = -4100.0;
  scrollMapWithCamera();
  EXPECT_EQ(mapOriginX, 4096.0);
  EXPECT_EQ(mapOriginY, -4096.0);
  int open = 0;
  for (uint8_t cell : WorldMap) open += cell == 0;
  EXPECT_EQ(open, 0);
}

TEST_F(UpdateTest, CaveLeftFarBehindIsRockAgain) {
  struct Row {
    const char* name;
    double away;
    bool caveOpen;
  };
  const Row rows[] = {
      {"1000 units away and back: the cave is still open", 1000.0, true},
      {"2100 units away and back: its cells slid out of the map", 2100.0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    setStartState();
    for (cameraX = 0.0; cameraX < row.away; cameraX += 8.0) scrollMapWithCamera();
    for (; cameraX > 0.0; cameraX -= 8.0) scrollMapWithCamera();
    // The cells of the world points (0, 0) and (-200, 0), wherever the origin stopped.
    const int32_t centre = (0 - int32_t(mapOriginX) + 2000) / 4;
    EXPECT_EQ(mapCell(centre, 500) == 0, row.caveOpen);
    EXPECT_EQ(mapCell(centre - 50, 500) == 0, row.caveOpen);
  }
}

TEST_F(GameStepTest, OneStepRunsItsPartsInOrder) {
  // From the start: the button fires, the first enemy spawns, everything moves once.
  fillShapes(0, 0);
  impactEffect = 1.0;
  inputState.mouseX = 500;
  inputState.mouseY = 240;
  setButton('P');
  holdKeys({SDLK_d});
  std::srand(3);
  const int angle = std::rand() % 360;
  std::srand(3);
  updateGame();
  EXPECT_EQ(impactEffect, 0.9);
  EXPECT_EQ(shipX, 2.5);
  EXPECT_EQ(cameraX, 0.25) << "the camera follows the moved ship";
  ASSERT_EQ(shotCount, 1);
  // The shot left from the moved ship and has already flown once.
  const double aim = std::atan2(240 - (0.0 - 0.0 + 240), 500 - (2.5 - 0.0 + 320));
  const double shotVelX = std::cos(aim) * 30 + 2.5 * 0.25;
  EXPECT_EQ(shots[0]->x, (2.5 + shotVelX * 0.1) + shotVelX);
  ASSERT_EQ(enemyCount, 1);
  // The new enemy was steered in its first step.
  const double spawnX = 2.5 + std::cos(double(angle)) * 520;
  const double spawnY = std::sin(double(angle)) * 520;
  const double towardsShip = std::atan2(0.0 - spawnY, 2.5 - spawnX);
  EXPECT_EQ(enemies[0]->velX, std::cos(double(angle)) * 0.96 + std::cos(towardsShip) * 0.28);
  EXPECT_EQ(enemies[0]->x, spawnX + enemies[0]->velX);
  EXPECT_EQ(spawnTimer, 10);
}

TEST_F(GameStepTest, WholeStepsMatchThePlainRules) {
  GameSnapshot start, fast, plain;
  // A played game with random input: the ship steers, bores, fires; enemies gather around it.
  std::mt19937 rng(2024);
  for (uint8_t& cell : shipShape) cell = uint8_t(rng() % 4 != 0);
  for (uint8_t& cell : enemyShape) cell = uint8_t(rng() % 3 != 0);
  const int keys[] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d};
  for (int frame = 0; frame < 400; ++frame) {
    if (frame % 6 == 0) {
      for (int key : keys) inputState.keys[key] = rng() % 3 == 0 ? KeyState::Held : KeyState::Up;
      inputState.mouseX = int32_t(rng() % 641);
      inputState.mouseY = int32_t(rng() % 481);
      setButton(rng() % 4 != 0 ? 'H' : '.');
    }
    takeSnapshot(start);
    std::srand(unsigned(frame));
    updateGame();
    takeSnapshot(fast);
    restoreSnapshot(start);
    std::srand(unsigned(frame));
    literalGameStep();
    takeSnapshot(plain);
    ASSERT_EQ(firstDifference(plain, fast), "") << "frame " << frame;
    ASSERT_LE(std::abs(cameraX - mapOriginX), 4.0);
    ASSERT_LE(std::abs(cameraY - mapOriginY), 4.0);
    ASSERT_TRUE(fast.slotsAboveCountNull);
  }
  EXPECT_GT(score, 0) << "the replay should have shot enemies down";
  EXPECT_LT(health, 250.0) << "the replay should have bored through rock";
}
