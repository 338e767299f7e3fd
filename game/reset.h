// game/reset.h -- starting a new game, and the best-score file "highscore.dat".
//
// main() calls resetGame once at start-up (which loads the stored best score) and the frame loop
// calls it after every game step that leaves health at 0.0 or below (which stores a new record).
#pragma once

constexpr const char* HIGH_SCORE_FILE = "highscore.dat";  // in the working directory

// Settles the best score against the file, then gives every game field its start value, empties
// both lists and carves the start cave. Never fails: file errors leave the best score as it was.
void resetGame();
