// game/reset.cpp -- new games: the best score settled against "highscore.dat", the start values
// of the game state, the emptied lists and the carved start cave.
#include "game/reset.h"

#include "game/state.h"
#include "game/world.h"
#include "platform/files.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr double START_HEALTH = 250.0;
constexpr int START_CAVE_CENTRE = MAP_SIZE / 2;  // cell (500, 500) begins at the map origin
constexpr int START_CAVE_RADIUS = 75;  // cells; the disc is 300 world units around the origin
constexpr int64_t LARGEST_SCORE = INT32_MAX;
constexpr int64_t LARGEST_NEGATIVE_SCORE = -int64_t(INT32_MIN);
constexpr int DECIMAL_BASE = 10;
constexpr size_t SCORE_LINE_CAPACITY = 24;  // "-2147483648" and the line end, with room to spare

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of the `length` bytes read from the file; `wholeFile` says the file
// ended within them. False when they hold no number, a number outside the signed 32-bit range,
// or digits that run on to the end of an unfinished read.
bool parseStoredScore(const char* text, size_t length, bool wholeFile, int32_t& value) {
  size_t at = 0;
  while (at < length && isWhiteSpace(text[at])) ++at;
  bool negative = false;
  if (at < length && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  const int64_t limit = negative ? LARGEST_NEGATIVE_SCORE : LARGEST_SCORE;
  const size_t firstDigit = at;
  int64_t magnitude = 0;
  for (; at < length && isDigit(text[at]); ++at) {
    magnitude = magnitude * DECIMAL_BASE + (text[at] - '0');
    if (magnitude > limit) return false;
  }
  if (at == firstDigit) return false;
  if (at == length && !wholeFile) return false;
  value = int32_t(negative ? -magnitude : magnitude);
  return true;
}

bool loadStoredHighScore(int32_t& value) {
  char text[HIGH_SCORE_READ_LIMIT];
  const long length = readFilePrefix(HIGH_SCORE_FILE, text, sizeof text);
  if (length < 0) return false;
  return parseStoredScore(text, size_t(length), size_t(length) < sizeof text, value);
}

bool storeHighScore(int32_t value) {
  char line[SCORE_LINE_CAPACITY];
  const int length = std::snprintf(line, sizeof line, "%d%s", int(value), TEXT_LINE_END);
  return replaceFileContents(HIGH_SCORE_FILE, line, size_t(length));
}

// A new record is written. Otherwise the file's value is taken, except that a record the file
// never received stays until the file holds at least as much, and is offered to it again.
void settleHighScore() {
  if (score > highScore) {
    highScore = score;
    highScoreUnsaved = !storeHighScore(highScore);
    return;
  }
  int32_t stored = 0;
  const bool readable = loadStoredHighScore(stored);
  if (!highScoreUnsaved) {
    if (readable) highScore = stored;
    return;
  }
  if (readable && stored >= highScore) {
    highScore = stored;
    highScoreUnsaved = false;
    return;
  }
  highScoreUnsaved = !storeHighScore(highScore);
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
