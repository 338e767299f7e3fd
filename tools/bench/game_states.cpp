// tools/bench/game_states.cpp -- the benchmark's game states: right after a reset, a typical
// moment of play, and the worst crowd the game can hold, each saved whole and put back at will.
#include "tools/bench/game_states.h"

#include "app/input.h"
#include "game/reset.h"
#include "game/state.h"
#include "game/update.h"
#include "game/world.h"

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

constexpr unsigned STATE_SEED = 20240611;
constexpr double TWO_PI = 6.283185307179586;

// A typical moment: the ship cruising diagonally through the start cave at its top speed of 10
// a frame, the camera trailing it as it does in steady flight (nine steps of velocity behind),
// enemies homing in from all sides and shots on their way out, the picture split a little.
constexpr int TYPICAL_ENEMIES = 40;
constexpr int TYPICAL_SHOTS = 30;
constexpr double TYPICAL_SHIP_START = -100.0;  // on both axes, inside the cave
constexpr double CRUISE_SPEED = 10.0;
constexpr double CAMERA_LAG_STEPS = 9.0;
constexpr double TYPICAL_ENEMY_NEAREST = 80.0;  // beyond the ship's contact reach
constexpr double TYPICAL_ENEMY_FARTHEST = 450.0;
constexpr double HOMING_SPEED = 5.0;
constexpr double TYPICAL_SHOT_NEAREST = 20.0;
constexpr double TYPICAL_SHOT_FARTHEST = 200.0;
constexpr double SHOT_SPEED = 30.0;
constexpr double TYPICAL_IMPACT = 0.5;  // 0.45 after the step's decay: a split of 1 or 2 pixels

// The worst moment: every enemy slot and every shot slot full, the enemies crowded round the
// ship as their homing and separation leave them, and the ship boring into the cave's wall.
// The ship first bores for a while on its own, so that each step opens only the next slice of
// rock; then all 250 enemies appear where the game spawns them (520 from the ship) and home in
// with the game's own steering and separation, without collisions, until the crowd has settled
// round the ship; then 500 shots fly in all directions through the open cave, far enough from its
// wall that none strikes rock in the step.
constexpr double BORING_START_X = 200.0;
constexpr int BORING_FRAMES = 40;
constexpr int CROWD_SETTLING_FRAMES = 400;
constexpr double SPAWN_DISTANCE = 520.0;
constexpr int SPAWN_ANGLES = 360;
constexpr double WORST_SHOT_REACH = 250.0;  // from the cave's centre; the wall is at 300
constexpr double FULL_HEALTH = 250.0;

// A crowd that play does not make: the worst state's enemies moved into a disc of radius 60
// round the ship, spread evenly over its area, so that nearly every ordered pair of the 250 is
// nearer than 50 and is pushed apart with its arc tangent, sine and cosine.
constexpr double DISC_RADIUS = 60.0;

constexpr double SEPARATION_RANGE = 50.0;
constexpr double SEPARATION_SHARE = 0.25;
constexpr double SHIP_REACH_X = 57.0;
constexpr double SHIP_REACH_Y = 39.0;

struct SavedState {
  double ship[4], view[4];
  double health, impactEffect;
  int32_t fireCooldown, score, highScore, spawnTimer;
  std::vector<Shot> shots;
  std::vector<Enemy> enemies;
  std::vector<uint8_t> map;
  InputState input;
};

SavedState savedStates[4];

SavedState& saved(GameStateId id) { return savedStates[int(id)]; }

double uniform(double low, double high) {
  return low + (high - low) * (double(std::rand()) / double(RAND_MAX));
}

template <typename Record>
void dropAll(Record** slots, int32_t& count) {
  for (int32_t i = 0; i < count; ++i) {
    delete slots[i];
    slots[i] = nullptr;
  }
  count = 0;
}

void addShot(double x, double y, double velX, double velY) {
  Shot* shot = new Shot();
  *shot = Shot();
  shot->x = x, shot->y = y, shot->velX = velX, shot->velY = velY;
  appendListEntry(shots, shotCount, shot);
}

void addEnemy(double x, double y, double velX, double velY) {
  appendListEntry(enemies, enemyCount, new Enemy{x, y, velX, velY});
}

void save(GameStateId id) {
  SavedState& s = saved(id);
  const double ship[4] = {shipX, shipY, shipVelX, shipVelY};
  const double view[4] = {cameraX, cameraY, mapOriginX, mapOriginY};
  std::memcpy(s.ship, ship, sizeof ship);
  std::memcpy(s.view, view, sizeof view);
  s.health = health;
  s.impactEffect = impactEffect;
  s.fireCooldown = fireCooldown;
  s.score = score;
  s.highScore = highScore;
  s.spawnTimer = spawnTimer;
  s.shots.clear();
  for (int32_t i = 0; i < shotCount; ++i) s.shots.push_back(*shots[i]);
  s.enemies.clear();
  for (int32_t i = 0; i < enemyCount; ++i) s.enemies.push_back(*enemies[i]);
  s.map.assign(WorldMap, WorldMap + sizeof WorldMap);
  s.input = inputState;
}

// Puts the camera where steady flight keeps it behind the ship, and the map under it.
void trailCamera() {
  cameraX = shipX - CAMERA_LAG_STEPS * shipVelX;
  cameraY = shipY - CAMERA_LAG_STEPS * shipVelY;
  scrollMapWithCamera();
}

void buildTypical() {
  resetGame();
  inputState = InputState{};
  inputState.keys[SDLK_s] = KeyState::Held;
  inputState.keys[SDLK_d] = KeyState::Held;
  shipX = shipY = TYPICAL_SHIP_START;
  shipVelX = shipVelY = CRUISE_SPEED * std::sqrt(0.5);
  trailCamera();
  for (int k = 0; k < TYPICAL_ENEMIES; ++k) {
    const double angle = uniform(0.0, TWO_PI);
    const double distance = uniform(TYPICAL_ENEMY_NEAREST, TYPICAL_ENEMY_FARTHEST);
    addEnemy(shipX + std::cos(angle) * distance, shipY + std::sin(angle) * distance,
             -std::cos(angle) * HOMING_SPEED, -std::sin(angle) * HOMING_SPEED);
  }
  for (int k = 0; k < TYPICAL_SHOTS; ++k) {
    const double angle = uniform(0.0, TWO_PI);
    const double distance = uniform(TYPICAL_SHOT_NEAREST, TYPICAL_SHOT_FARTHEST);
    addShot(shipX + std::cos(angle) * distance, shipY + std::sin(angle) * distance,
            std::cos(angle) * SHOT_SPEED, std::sin(angle) * SHOT_SPEED);
  }
  spawnTimer = 5;
  fireCooldown = 2;
  impactEffect = TYPICAL_IMPACT;
  save(GameStateId::Typical);
}

void buildWorst() {
  resetGame();
  inputState = InputState{};
  inputState.keys[SDLK_d] = KeyState::Held;
  shipX = BORING_START_X;
  trailCamera();
  // Alone, so that nothing spawns or hits it while it reaches the wall and bores in.
  for (int frame = 0; frame < BORING_FRAMES; ++frame) {
    spawnTimer = 1;
    updateGame();
  }
  for (int k = 0; k < MAX_ENEMIES; ++k) {
    const int angle = std::rand() % SPAWN_ANGLES;
    addEnemy(shipX + std::cos(angle) * SPAWN_DISTANCE, shipY + std::sin(angle) * SPAWN_DISTANCE,
             std::cos(angle), std::sin(angle));
  }
  for (int frame = 0; frame < CROWD_SETTLING_FRAMES; ++frame) {
    steerEnemies();
    separateEnemies();
  }
  for (int k = 0; k < MAX_SHOTS; ++k) {
    const double place = uniform(0.0, TWO_PI);
    const double reach = WORST_SHOT_REACH * std::sqrt(uniform(0.0, 1.0));
    const double heading = uniform(0.0, TWO_PI);
    addShot(std::cos(place) * reach, std::sin(place) * reach, std::cos(heading) * SHOT_SPEED,
            std::sin(heading) * SHOT_SPEED);
  }
  health = FULL_HEALTH;
  save(GameStateId::Worst);
}

void buildDisc() {
  for (int32_t i = 0; i < enemyCount; ++i) {
    const double place = uniform(0.0, TWO_PI);
    const double reach = DISC_RADIUS * std::sqrt(uniform(0.0, 1.0));
    enemies[i]->x = shipX + std::cos(place) * reach;
    enemies[i]->y = shipY + std::sin(place) * reach;
  }
  save(GameStateId::Disc);
}

}  // namespace

void buildGameStates() {
  std::srand(STATE_SEED);
  buildTypical();
  buildWorst();
  buildDisc();
  resetGame();
  inputState = InputState{};
  save(GameStateId::Start);
}

void restoreGameState(GameStateId id) {
  const SavedState& s = saved(id);
  dropAll(shots, shotCount);
  dropAll(enemies, enemyCount);
  shipX = s.ship[0], shipY = s.ship[1], shipVelX = s.ship[2], shipVelY = s.ship[3];
  cameraX = s.view[0], cameraY = s.view[1], mapOriginX = s.view[2], mapOriginY = s.view[3];
  health = s.health;
  impactEffect = s.impactEffect;
  fireCooldown = s.fireCooldown;
  score = s.score;
  highScore = s.highScore;
  spawnTimer = s.spawnTimer;
  for (const Shot& shot : s.shots) addShot(shot.x, shot.y, shot.velX, shot.velY);
  for (const Enemy& enemy : s.enemies) addEnemy(enemy.x, enemy.y, enemy.velX, enemy.velY);
  std::memcpy(WorldMap, s.map.data(), sizeof WorldMap);
  inputState = s.input;
}

const std::vector<double>& closePairOffsets(GameStateId id) {
  static std::vector<double> offsets[std::size(savedStates)];
  std::vector<double>& pairs = offsets[int(id)];
  if (!pairs.empty()) return pairs;
  std::vector<Enemy> crowd = saved(id).enemies;
  // The separation's rule, every ordered pair with the positions the earlier pushes left.
  for (Enemy& b : crowd) {
    for (Enemy& a : crowd) {
      if (&a == &b || !(a.x - SEPARATION_RANGE < b.x && b.x < a.x + SEPARATION_RANGE &&
                        a.y - SEPARATION_RANGE < b.y && b.y < a.y + SEPARATION_RANGE)) {
        continue;
      }
      const double dX = b.x - a.x;
      const double dY = b.y - a.y;
      const double distance = std::sqrt(dX * dX + dY * dY);
      if (!(distance < SEPARATION_RANGE)) continue;
      pairs.push_back(dX);
      pairs.push_back(dY);
      const double direction = std::atan2(dY, dX);
      const double push = (SEPARATION_RANGE - distance) * SEPARATION_SHARE;
      b.x += std::cos(direction) * push;
      b.y += std::sin(direction) * push;
      a.x -= std::cos(direction) * push;
      a.y -= std::sin(direction) * push;
    }
  }
  return pairs;
}

GameStateFacts describeGameState(GameStateId id) {
  const SavedState& s = saved(id);
  GameStateFacts facts{int32_t(s.enemies.size()), int32_t(s.shots.size()), 0, 0};
  for (const Enemy& b : s.enemies) {
    for (const Enemy& a : s.enemies) {
      if (&a == &b) continue;
      if (std::hypot(b.x - a.x, b.y - a.y) < SEPARATION_RANGE) ++facts.closePairs;
    }
    if (std::fabs(b.x - s.ship[0]) < SHIP_REACH_X && std::fabs(b.y - s.ship[1]) < SHIP_REACH_Y) {
      ++facts.enemiesNearShip;
    }
  }
  return facts;
}
