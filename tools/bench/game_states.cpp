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
#include <vector>

namespace {

constexpr unsigned STATE_SEED = 20240611;
constexpr double TWO_PI = 6.283185307179586;
constexpr double SHOT_SPEED = 30.0;

// A typical moment: the ship cruising diagonally through the start cave at about its top speed,
// the camera trailing it, enemies homing in from all sides and shots on their way out, the
// picture split a little.
constexpr double TYPICAL_SHIP_START = -200.0;  // on both axes, inside the cave
constexpr int TYPICAL_CRUISE_FRAMES = 12;
constexpr int TYPICAL_ENEMIES = 40;
constexpr int TYPICAL_SHOTS = 30;
constexpr double TYPICAL_ENEMY_NEAREST = 80.0;  // beyond the ship's contact reach
constexpr double TYPICAL_ENEMY_FARTHEST = 450.0;
constexpr double HOMING_SPEED = 5.0;
constexpr double TYPICAL_SHOT_NEAREST = 20.0;
constexpr double TYPICAL_SHOT_FARTHEST = 200.0;
constexpr double TYPICAL_IMPACT = 0.5;  // 0.45 after the step's decay: a split of 1 or 2 pixels

// The worst moment: every enemy slot and every shot slot full, the enemies crowded round the
// ship as homing and separation leave them when nothing destroys them, and the ship boring into
// the cave's wall. 500 shots fly in all directions through the open cave, far enough from its
// wall that none strikes rock in the step.
constexpr double BORING_START_X = 200.0;
constexpr int BORING_FRAMES = 40;
constexpr int CROWD_SETTLING_FRAMES = 400;
constexpr double SPAWN_DISTANCE = 520.0;
constexpr int SPAWN_ANGLES = 360;
constexpr double WORST_SHOT_REACH = 250.0;  // from the cave's centre; the wall is at 300
constexpr double FULL_HEALTH = 250.0;

// The game's homing and separation, to gather the crowd without the collisions that would
// thin it.
constexpr double ENEMY_DRAG = 0.96;
constexpr double ENEMY_PULL = 0.28;
constexpr double SEPARATION_RANGE = 50.0;
constexpr double SEPARATION_SHARE = 0.25;

struct SavedState {
  double ship[4], view[4];
  double health, impactEffect;
  int32_t fireCooldown, score, highScore, spawnTimer;
  std::vector<Shot> shots;
  std::vector<Enemy> enemies;
  std::vector<uint8_t> map;
  InputState input;
};

SavedState savedStates[3];

double uniform(double low, double high) {
  return low + (high - low) * (double(std::rand()) / double(RAND_MAX));
}

void addShot(double x, double y, double velX, double velY) {
  Shot* shot = new Shot();
  shot->x = x, shot->y = y, shot->velX = velX, shot->velY = velY;
  appendListEntry(shots, shotCount, shot);
}

void addEnemy(double x, double y, double velX, double velY) {
  appendListEntry(enemies, enemyCount, new Enemy{x, y, velX, velY});
}

void save(GameStateId id) {
  SavedState& s = savedStates[int(id)];
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

// Game steps with the keys held and no enemy spawning.
void fly(int frames) {
  for (int frame = 0; frame < frames; ++frame) {
    spawnTimer = 1;
    updateGame();
  }
}

void buildTypical() {
  resetGame();
  inputState = InputState{};
  inputState.keys[SDLK_s] = KeyState::Held;
  inputState.keys[SDLK_d] = KeyState::Held;
  shipX = shipY = cameraX = cameraY = TYPICAL_SHIP_START;
  fly(TYPICAL_CRUISE_FRAMES);
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

void settleCrowd() {
  for (int frame = 0; frame < CROWD_SETTLING_FRAMES; ++frame) {
    for (int32_t i = 0; i < enemyCount; ++i) {
      Enemy& e = *enemies[i];
      const double towardsShip = std::atan2(shipY - e.y, shipX - e.x);
      e.velX = e.velX * ENEMY_DRAG + std::cos(towardsShip) * ENEMY_PULL;
      e.velY = e.velY * ENEMY_DRAG + std::sin(towardsShip) * ENEMY_PULL;
      e.x += e.velX;
      e.y += e.velY;
    }
    for (int32_t i = 0; i < enemyCount; ++i) {
      for (int32_t j = 0; j < enemyCount; ++j) {
        Enemy& b = *enemies[i];
        Enemy& a = *enemies[j];
        if (i == j || std::fabs(b.x - a.x) >= SEPARATION_RANGE ||
            std::fabs(b.y - a.y) >= SEPARATION_RANGE) {
          continue;
        }
        const double distance = std::hypot(b.x - a.x, b.y - a.y);
        if (!(distance < SEPARATION_RANGE)) continue;
        const double direction = std::atan2(b.y - a.y, b.x - a.x);
        const double push = (SEPARATION_RANGE - distance) * SEPARATION_SHARE;
        b.x += std::cos(direction) * push, b.y += std::sin(direction) * push;
        a.x -= std::cos(direction) * push, a.y -= std::sin(direction) * push;
      }
    }
  }
}

void buildWorst() {
  resetGame();
  inputState = InputState{};
  inputState.keys[SDLK_d] = KeyState::Held;
  shipX = cameraX = BORING_START_X;
  // Alone, so that nothing spawns or hits it while it reaches the wall and bores in.
  fly(BORING_FRAMES);
  for (int k = 0; k < MAX_ENEMIES; ++k) {
    const int angle = std::rand() % SPAWN_ANGLES;
    addEnemy(shipX + std::cos(angle) * SPAWN_DISTANCE, shipY + std::sin(angle) * SPAWN_DISTANCE,
             std::cos(angle), std::sin(angle));
  }
  settleCrowd();
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

}  // namespace

void buildGameStates() {
  std::srand(STATE_SEED);
  buildTypical();
  buildWorst();
  resetGame();
  inputState = InputState{};
  save(GameStateId::Start);
}

void restoreGameState(GameStateId id) {
  const SavedState& s = savedStates[int(id)];
  while (shotCount > 0) removeListEntry(shots, shotCount, shotCount - 1);
  while (enemyCount > 0) removeListEntry(enemies, enemyCount, enemyCount - 1);
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
