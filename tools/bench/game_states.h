// tools/bench/game_states.h -- the game states that the benchmark's workloads start from, built
// once and put back before every timed run, so that each run does the same work.
//
// main() calls buildGameStates once, after the screen is open and the game media are loaded and
// with a working directory of the benchmark's own (resetGame reads "highscore.dat" there); the
// workloads call restoreGameState before each timed run.
#pragma once

enum class GameStateId {
  Start,    // right after resetGame: empty lists, the ship at rest in the start cave
  Typical,  // 40 enemies, 30 shots, the ship cruising through the cave, impactEffect 0.5
  Worst,    // 250 enemies crowded round the ship, 500 shots, the ship boring into rock
};

// Builds the states from a fixed seed. Leaves the game in the Start state.
void buildGameStates();

// Puts a saved state back: every game global, both lists (fresh records), WorldMap and the
// input state.
void restoreGameState(GameStateId id);
