// game/reset.cpp -- new games: the best score settled against "highscore.dat", the start values
// of the game state, the emptied lists and the carved start cave.
#include "game/reset.h"

#include "game/state.h"
#include "game/world.h"
#include "platform/files.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>

namespace {

constexpr double START_HEALTH = 250.0;
constexpr int START_CAVE_CENTRE = MAP_SIZE / 2;  // cell (500, 500) begins at the map origin
constexpr int START_CAVE_RADIUS = 75;  // cells; the disc is 300 world units around the origin
constexpr int DECIMAL_BASE = 10;
constexpr size_t SCORE_LINE_CAPACITY = 24;  // "-2147483648" and the line end, with room to spare

// False when the file holds no readable number (the rule is in game/reset.h).
bool loadStoredHighScore(int32_t& value) {
  char text[HIGH_SCORE_READ_LIMIT + 1];
  const long length = readFilePrefix(HIGH_SCORE_FILE, text, HIGH_SCORE_READ_LIMIT);
  if (length < 0) return false;
  text[length] = '\0';
  char* end = nullptr;
  errno = 0;
  const long long number = std::strtoll(text, &end, DECIMAL_BASE);
  const bool cut = size_t(length) == HIGH_SCORE_READ_LIMIT && end == text + length;
  if (end == text || cut || errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
    return false;
  value = int32_t(number);
  return true;
}

bool storeHighScore(int32_t value) {
  char line[SCORE_LINE_CAPACITY];
  const int length = std::snprintf(line, sizeof line, "%d%s", int(value), TEXT_LINE_END);
  return replaceFileContents(HIGH_SCORE_FILE, line, size_t(length));
}

void settleHighScore() {
  if (score > highScore) {
    highScore = score;
    highScoreUnsaved = !storeHighScore(highScore);
    return;
  }
  int32_t stored = 0;
  if (loadStoredHighScore(stored) && (!highScoreUnsaved || stored >= highScore)) {
    highScore = stored;
    highScoreUnsaved = false;
  } else if (highScoreUnsaved) {
    highScoreUnsaved = !storeHighScore(highScore);
  }
}

// The largest h with h * h <= n, for 0 <= n.
int integerSquareRoot(int n) {
  int root = 0;
  while ((root + 1) * (root + 1) <= n) ++root;
  return root;
}

// Rock everywhere but the disc of cells within START_CAVE_RADIUS of the centre cell, the rim
// included: (c - 500)^2 + (r - 500)^2 <= 75^2. Each column's open cells are one span of rows.
void carveStartCave() {
  constexpr int radiusSquared = START_CAVE_RADIUS * START_CAVE_RADIUS;
  for (int column = 0; column < MAP_SIZE; ++column) {
    uint8_t* cells = WorldMap + column * MAP_SIZE;
    std::memset(cells, CELL_ROCK, MAP_SIZE);
    const int across = column - START_CAVE_CENTRE;
    const int room = radiusSquared - across * across;
    if (room < 0) continue;
    const int halfSpan = integerSquareRoot(room);
    std::memset(cells + START_CAVE_CENTRE - halfSpan, CELL_OPEN, size_t(2 * halfSpan + 1));
  }
}

}  // namespace

void resetGame() {
  settleHighScore();
  score = 0;
  while (shotCount != 0) removeListEntry(shots, shotCount, 0);
  while (enemyCount != 0) removeListEntry(enemies, enemyCount, 0);
  shipX = shipY = 0.0;
  shipVelX = shipVelY = 0.0;
  cameraX = cameraY = 0.0;
  mapOriginX = mapOriginY = 0.0;
  fireCooldown = 0;
  spawnTimer = 0;
  health = START_HEALTH;
  carveStartCave();
  impactEffect = 0.0;
}
