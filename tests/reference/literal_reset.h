// tests/reference/literal_reset.h -- the new game the plain way: the best score settled with a
// text stream, the start values, the lists emptied from the front, and the start cave carved with
// a square root for every one of the million cells. The oracle of the reset tests and the
// baseline of the benchmark's reset workload; works on the game's own globals.
#pragma once

// Sets every WorldMap cell to 0, then to 1 where sqrt((c - 500)^2 + (r - 500)^2) > 75.0, columns
// in the outer loop.
void literalCarveStartCave();

// The whole reset: a score above highScore is written to "highscore.dat" in the working
// directory (decimal digits and TEXT_LINE_END); otherwise the file's leading number, when it has
// one, becomes highScore. Then the start values of every game field and literalCarveStartCave.
// Unlike resetGame it keeps no memory of a record that could not be written.
void literalResetGame();
