// game/state.h -- the state of the running game: ship, camera, map position, shots and enemies
// in flight, health, score, timers and the impact effect; and the best score, which outlives
// every game.
//
// Units: positions are world units (one world unit is one screen pixel), x grows right, y grows
// down; velocities are world units per game frame; angles are radians from +x towards +y. The
// camera's world point is drawn at screen (SCREEN_CENTRE_X, SCREEN_CENTRE_Y).
//
// Writers: resetGame (game/reset.cpp) gives every field of one game its start value; the game
// step (game/update.cpp, game/collide.cpp) changes them in game frames only. drawGame and the
// frame loop's health test only read. Nothing changes while the pause overlay is up.
#pragma once

#include <cstdint>

constexpr int MAX_SHOTS = 500;
constexpr int MAX_ENEMIES = 250;

// One shot in flight.
struct Shot {
  double x, y, velX, velY;

  Shot() = default;
  // Fires from the ship along `aimAngle` (radians): velocity 30 along the aim plus a quarter of
  // the ship's velocity, placed a tenth of that velocity ahead of the ship's centre.
  explicit Shot(double aimAngle);
};

// One enemy alive.
struct Enemy {
  double x, y, velX, velY;
};

// ---- one game: every field below is rewritten by each resetGame
extern double shipX, shipY;        // the ship's centre
extern double shipVelX, shipVelY;  // zeroed when the ship bores into rock
extern int32_t fireCooldown;       // game frames before the ship may fire again; 0..4
extern double cameraX, cameraY;    // world point at the screen's centre; eases towards the ship
extern double mapOriginX, mapOriginY;  // where WorldMap cell (500, 500) begins; multiples of 4
extern double health;              // 250 at the start; not clamped, may end a step below 0
extern double impactEffect;        // strength of the colour split; 0 at rest, never negative
extern int32_t score;              // points of the running game, a multiple of 10
extern int32_t spawnTimer;         // game frames before the next enemy may spawn; 0..10

// The lists: live entries in slots 0..count-1 in the order they were added, null above. Each
// list owns its records (made with new, freed with delete on removal or reset).
extern Shot* shots[MAX_SHOTS];
extern int32_t shotCount;
extern Enemy* enemies[MAX_ENEMIES];
extern int32_t enemyCount;

// ---- the whole run: settled, not rewritten, by resetGame
extern int32_t highScore;       // the best score, settled against "highscore.dat" by a reset
// True while highScore holds a record that could not be written to the file; such a record is
// kept and offered to the file again by every later reset. False at start-up.
extern bool highScoreUnsaved;

// Whether (x, y) lies strictly inside the square of half-size `half` around (centreX, centreY):
// centreX - half < x < centreX + half, and the same on y, in exactly that arithmetic. All four
// comparisons are made: among crowded enemies that is quicker than stopping at the first.
inline bool insideSquare(double x, double y, double centreX, double centreY, double half) {
  return (centreX - half < x) & (x < centreX + half) & (centreY - half < y) & (y < centreY + half);
}

// Appends `record` at slot `count` and raises the count. The caller checks the capacity first;
// a null record (an allocation that failed) adds no slot.
template <typename Record>
void appendListEntry(Record** slots, int32_t& count, Record* record) {
  if (record == nullptr) return;
  slots[count] = record;
  ++count;
}

// Frees the record in slot `index` (0 <= index < count), moves the later entries down one slot
// in unchanged order, nulls the slot that falls free and lowers the count. A scan that goes on
// after a removal finds the next record in the same slot.
template <typename Record>
void removeListEntry(Record** slots, int32_t& count, int32_t index) {
  delete slots[index];
  for (int32_t slot = index; slot + 1 < count; ++slot) slots[slot] = slots[slot + 1];
  slots[count - 1] = nullptr;
  --count;
}
