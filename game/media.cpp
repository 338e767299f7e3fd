// game/media.cpp -- the game's shapes and HUD backings.
#include "game/media.h"

uint8_t shipShape[SHIP_SHAPE_WIDTH * SHIP_SHAPE_HEIGHT];
uint8_t enemyShape[ENEMY_SHAPE_SIZE * ENEMY_SHAPE_SIZE];
SDL_Surface* textBacking1;
SDL_Surface* textBacking2;

bool loadGameMedia() { return true; }
