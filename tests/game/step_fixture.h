// tests/game/step_fixture.h -- game states for the tests of the game step: the start of a game
// set by hand, records added to the lists, shapes, input, and bitwise snapshots of the state.
#pragma once

#include "game/state.h"

#include <cstdint>
#include <string>
#include <vector>

// The values a new game starts with: ship, velocities, camera and map origin at 0, health 250,
// score, timers and impact effect 0, both lists empty, and the start cave carved (open inside
// (c - 500)^2 + (r - 500)^2 <= 5625, rock elsewhere). The best score is left alone.
void setStartState();

// Frees every record of both lists; every slot null, counts 0.
void clearLists();

// Appends a record built from the given values; returns it.
Shot* addShot(double x, double y, double velX = 0.0, double velY = 0.0);
Enemy* addEnemy(double x, double y, double velX = 0.0, double velY = 0.0);

// Every cell of the ship's and the enemy's shape set to the given value.
void fillShapes(uint8_t shipValue, uint8_t enemyValue);

// Every key and mouse button Up, pointer at (0, 0).
void releaseAllInput();

// The cell in `column`, `row` of WorldMap.
uint8_t& mapCell(int32_t column, int32_t row);

// Everything the game step reads or writes, copied out of the globals.
struct GameSnapshot {
  double ship[4];    // shipX, shipY, shipVelX, shipVelY
  double view[4];    // cameraX, cameraY, mapOriginX, mapOriginY
  double health;
  double impactEffect;
  int32_t counters[4];  // fireCooldown, score, highScore, spawnTimer
  std::vector<Shot> shots;
  std::vector<Enemy> enemies;
  bool slotsAboveCountNull;
  std::vector<uint8_t> map;
};

// Copies the state into `into`, reusing its buffers (a fresh megabyte per snapshot would cost
// more in page faults than the steps under test).
void takeSnapshot(GameSnapshot& into);
GameSnapshot takeSnapshot();

// Puts a snapshot back: the globals, fresh records for both lists, the map.
void restoreSnapshot(const GameSnapshot& snapshot);

// Empty when the two are the same bit for bit; otherwise the first difference, for a message.
std::string firstDifference(const GameSnapshot& expected, const GameSnapshot& actual);
