// tests/reference/literal_reset.cpp -- the plain new game: stdio for the best score, a square root
// per map cell for the cave.
#include "reference/literal_reset.h"

#include "game/reset.h"
#include "game/state.h"
#include "game/world.h"
#include "platform/files.h"

#include <cmath>
#include <cstdio>

void literalCarveStartCave() {
  for (int i = 0; i < 1000 * 1000; ++i) WorldMap[i] = 0;
  for (int c = 0; c < 1000; ++c) {
    for (int r = 0; r < 1000; ++r) {
      const double distance = std::sqrt(double((c - 500) * (c - 500) + (r - 500) * (r - 500)));
      if (distance > 75.0) WorldMap[c * 1000 + r] = 1;
    }
  }
}

void literalResetGame() {
  if (score <= highScore) {
    if (std::FILE* file = std::fopen(HIGH_SCORE_FILE, "r")) {
      int stored = 0;
      if (std::fscanf(file, "%d", &stored) == 1) highScore = stored;
      std::fclose(file);
    }
  } else {
    highScore = score;
    if (std::FILE* file = std::fopen(HIGH_SCORE_FILE, "w")) {
      std::fprintf(file, "%d%s", int(highScore), TEXT_LINE_END);
      std::fclose(file);
    }
  }
  score = 0;
  while (shotCount != 0) removeListEntry(shots, shotCount, 0);
  while (enemyCount != 0) removeListEntry(enemies, enemyCount, 0);
  shipX = shipY = shipVelX = shipVelY = 0.0;
  cameraX = cameraY = mapOriginX = mapOriginY = 0.0;
  fireCooldown = 0;
  spawnTimer = 0;
  health = 250.0;
  literalCarveStartCave();
  impactEffect = 0.0;
}
