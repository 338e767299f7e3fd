// tests/game/literal_step.cpp -- the plain forms of the game step's rules, the tests' oracles.
#include "game/literal_step.h"

#include "game/media.h"
#include "game/state.h"
#include "game/update.h"
#include "game/world.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t& cell(int32_t column, int32_t row) { return WorldMap[column * 1000 + row]; }

void slideColumnsDown() {
  for (int32_t c = 0; c < 999; ++c) {
    for (int32_t r = 0; r < 1000; ++r) cell(c, r) = cell(c + 1, r);
  }
  for (int32_t r = 0; r < 1000; ++r) cell(999, r) = 1;
}

void slideColumnsUp() {
  for (int32_t c = 999; c >= 1; --c) {
    for (int32_t r = 0; r < 1000; ++r) cell(c, r) = cell(c - 1, r);
  }
  for (int32_t r = 0; r < 1000; ++r) cell(0, r) = 1;
}

void slideRowsDown() {
  for (int32_t c = 0; c < 1000; ++c) {
    for (int32_t r = 0; r < 999; ++r) cell(c, r) = cell(c, r + 1);
    cell(c, 999) = 1;
  }
}

void slideRowsUp() {
  for (int32_t c = 0; c < 1000; ++c) {
    for (int32_t r = 999; r >= 1; --r) cell(c, r) = cell(c, r - 1);
    cell(c, 0) = 1;
  }
}

void crater(const Shot& s) {
  for (int32_t c = 0; c <= 998; ++c) {
    for (int32_t r = 0; r <= 998; ++r) {
      const double cornerX = int32_t(mapOriginX) + 4 * c - 2000;
      const double cornerY = int32_t(mapOriginY) + 4 * r - 2000;
      const double d =
          std::sqrt((cornerX - s.x) * (cornerX - s.x) + (cornerY - s.y) * (cornerY - s.y));
      if (d < 50) cell(c, r) = 0;
    }
  }
}

}  // namespace

void literalScroll() {
  while (cameraX > mapOriginX + 4) {
    slideColumnsDown();
    mapOriginX += 4;
  }
  while (cameraX < mapOriginX - 4) {
    slideColumnsUp();
    mapOriginX -= 4;
  }
  while (cameraY > mapOriginY + 4) {
    slideRowsDown();
    mapOriginY += 4;
  }
  while (cameraY < mapOriginY - 4) {
    slideRowsUp();
    mapOriginY -= 4;
  }
}

void literalSeparation() {
  for (int32_t i = 0; i < enemyCount; ++i) {
    for (int32_t j = 0; j < enemyCount; ++j) {
      if (j == i) continue;
      Enemy& b = *enemies[i];
      Enemy& a = *enemies[j];
      if (a.x - 50 < b.x && b.x < a.x + 50 && a.y - 50 < b.y && b.y < a.y + 50) {
        const double d = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
        if (d < 50) {
          const double c = std::atan2(b.y - a.y, b.x - a.x);
          const double k = (50 - d) * 0.25;
          b.x += std::cos(c) * k;
          b.y += std::sin(c) * k;
          a.x -= std::cos(c) * k;
          a.y -= std::sin(c) * k;
        }
      }
    }
  }
}

void literalShotsWithEnemies() {
  for (int32_t i = 0; i < enemyCount; ++i) {
    for (int32_t j = 0; j < shotCount; ++j) {
      const Enemy* e = enemies[i];
      const Shot* s = shots[j];
      if (e == nullptr || s == nullptr) continue;
      if (s->x - 28 < e->x && e->x < s->x + 28 && s->y - 28 < e->y && e->y < s->y + 28) {
        const double d =
            std::sqrt((e->x - s->x) * (e->x - s->x) + (e->y - s->y) * (e->y - s->y));
        if (d < 28) {
          removeListEntry(enemies, enemyCount, i);
          removeListEntry(shots, shotCount, j);
          score += 10;
        }
      }
    }
  }
}

void literalEnemiesWithShip() {
  for (int32_t i = 0; i < enemyCount; ++i) {
    const Enemy* first = enemies[i];
    if (!(first->x - 57 < shipX && shipX < first->x + 57 && first->y - 39 < shipY &&
          shipY < first->y + 39)) {
      continue;
    }
    for (int32_t p = 0; p < 24; ++p) {
      for (int32_t q = 0; q < 12; ++q) {
        if (shipShape[p * 12 + q] == 0) continue;
        for (int32_t r = 0; r < 14; ++r) {
          for (int32_t s = 0; s < 14; ++s) {
            if (enemyShape[r * 14 + s] == 0) continue;
            const Enemy* e = enemies[i];
            if (e == nullptr) continue;
            const double px = shipX + 3 * p - 36;
            const double py = shipY + 3 * q - 18;
            const double qx = e->x + 3 * r - 21;
            const double qy = e->y + 3 * s - 21;
            if (qx - 3 < px && px < qx + 3 && qy - 3 < py && py < qy + 3) {
              removeListEntry(enemies, enemyCount, i);
              impactEffect += 2.5;
              health -= 15.0;
            }
          }
        }
      }
    }
  }
}

void literalDig() {
  for (int32_t p = 0; p < 24; ++p) {
    for (int32_t q = 0; q < 12; ++q) {
      if (shipShape[p * 12 + q] == 0) continue;
      const int32_t x0 = int32_t(shipX) - int32_t(mapOriginX) + 3 * p - 36 + 2000;
      const int32_t y0 = int32_t(shipY) - int32_t(mapOriginY) + 3 * q - 18 + 2000;
      for (int32_t a = 0; a < 3; ++a) {
        for (int32_t b = 0; b < 3; ++b) {
          const int32_t c = (x0 + a) / 4;
          const int32_t r = (y0 + b) / 4;
          if (c < 0 || c > 999 || r < 0 || r > 999) continue;
          if (cell(c, r) != 0) {
            cell(c, r) = 0;
            impactEffect = std::max(impactEffect, 0.75) + 0.05;
            shipVelX = 0;
            shipVelY = 0;
            health -= 0.25;
          }
        }
      }
    }
  }
}

void literalShotsWithMap() {
  for (int32_t i = 0; i < shotCount; ++i) {
    for (int32_t px = 0; px < 10; ++px) {
      for (int32_t py = 0; py < 10; ++py) {
        const Shot* s = shots[i];
        if (s == nullptr) continue;
        const int32_t c = (int32_t(s->x) - int32_t(mapOriginX) + px - 5 + 2000) / 4;
        const int32_t r = (int32_t(s->y) - int32_t(mapOriginY) + py - 5 + 2000) / 4;
        if (c < 1 || c > 999 || r < 1 || r > 999) continue;
        if (cell(c, r) != 0) {
          crater(*s);
          removeListEntry(shots, shotCount, i);
          break;
        }
      }
    }
  }
}

void literalGameStep() {
  impactEffect = impactEffect * 0.9;
  updateShip();
  cameraX = (cameraX * 9 + shipX) / 10;
  cameraY = (cameraY * 9 + shipY) / 10;
  literalScroll();
  for (int32_t i = 0; i < shotCount; ++i) {
    shots[i]->x += shots[i]->velX;
    shots[i]->y += shots[i]->velY;
  }
  spawnEnemy();
  steerEnemies();
  literalSeparation();
  literalShotsWithEnemies();
  literalEnemiesWithShip();
  literalDig();
  literalShotsWithMap();
}
