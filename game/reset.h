// game/reset.h -- starting a new game, and the best-score file "highscore.dat".
//
// main() calls resetGame once at start-up (which loads the stored best score) and the frame loop
// calls it after every game step that leaves health at 0.0 or below (which stores a new record).
//
// The file holds the best score in decimal (a minus sign if negative, no plus, no leading zeros)
// and TEXT_LINE_END: 120 is the five bytes "120\r\n" on every machine. Reading skips leading
// white space, takes an optional sign and decimal digits as a signed 32-bit number and ignores
// whatever follows; a number outside the 32-bit range, or no number, is unreadable. Only the
// first HIGH_SCORE_READ_LIMIT bytes are looked at, so a number that does not end within them is
// unreadable too. The file is replaced all or nothing (platform/files.h).
#pragma once

#include <cstddef>

constexpr const char* HIGH_SCORE_FILE = "highscore.dat";  // in the working directory
constexpr size_t HIGH_SCORE_READ_LIMIT = 4096;            // bytes of the file that are read

// Settles the best score against the file, then gives every game field its start value, empties
// both lists and carves the start cave. Never fails: file errors leave the best score as it was.
//
// The best score: a score above highScore is a new record, written to the file. Otherwise the
// file's value replaces highScore, unless the file cannot be read (highScore stays) or
// highScore is an unsaved record (highScoreUnsaved, game/state.h): that is kept and written
// again, and gives way only to a stored value at least as high.
void resetGame();
