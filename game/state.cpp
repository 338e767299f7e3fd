// game/state.cpp -- storage of the game's state (all of it static, zero at start).
#include "game/state.h"

double shipX, shipY;
double shipVelX, shipVelY;
int32_t fireCooldown;
double cameraX, cameraY;
double mapOriginX, mapOriginY;
double health;
double impactEffect;
int32_t score;
int32_t spawnTimer;

Shot* shots[MAX_SHOTS];
int32_t shotCount;
Enemy* enemies[MAX_ENEMIES];
int32_t enemyCount;

int32_t highScore;
bool highScoreUnsaved;
