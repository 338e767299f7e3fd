// tools/bench/game_states.h -- the game states that the benchmark's workloads start from, built
// once and put back before every timed run, so that each run does the same work.
//
// main() calls buildGameStates once, after the screen is open and the game media are loaded and
// with a working directory of the benchmark's own (resetGame reads "highscore.dat" there). The
// workloads (tools/bench/workloads.cpp) call restoreGameState before each timed call.
#pragma once

#include <cstdint>
#include <vector>

enum class GameStateId {
  Start,    // right after resetGame: empty lists, the ship at rest in the start cave
  Typical,  // 40 enemies, 30 shots, the ship thrusting through the cave, impactEffect 0.5
  Worst,    // 250 enemies clustered round the ship, 500 shots, the ship boring into rock
  Disc,     // the same, but the 250 enemies packed evenly into a disc of radius 60 on the ship
};

// Builds the three states from a fixed seed. Leaves the game in the Start state.
void buildGameStates();

// Puts the saved state back: every game global, both lists (fresh records), WorldMap and the
// input state.
void restoreGameState(GameStateId id);

// What a state holds, for the benchmark's notes: the list lengths, the ordered enemy pairs that
// the separation pushes apart (nearer than 50), and the enemies that pass the ship's square test.
struct GameStateFacts {
  int32_t enemies, shots, closePairs, enemiesNearShip;
};
GameStateFacts describeGameState(GameStateId id);

// The offsets (B - A), x then y, of the enemy pairs that one separation step from the state pushes
// apart, in the order it meets them: what it has to take a square root, an arc tangent, a cosine
// and a sine of, whatever else it saves.
const std::vector<double>& closePairOffsets(GameStateId id);
