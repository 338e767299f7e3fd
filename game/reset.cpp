// game/reset.cpp -- new games and the best-score file.
#include "game/reset.h"

void resetGame() {}
