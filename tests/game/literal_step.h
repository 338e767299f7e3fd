// tests/game/literal_step.h -- the game step's rules written out plainly, as they read: one cell
// of scroll at a time, every ordered pair, every shape cell pair, every probe, every map cell of
// a crater. Slow and obviously right: the oracles that the game's fast paths must match bit for
// bit. They work on the same globals as the game.
#pragma once

void literalScroll();
void literalSeparation();
void literalShotsWithEnemies();
void literalEnemiesWithShip();
void literalDig();
void literalShotsWithMap();

// A whole game step without the drawing: the decay, the real updateShip, the camera, the plain
// scroll, the shots' motion, the real spawnEnemy and steerEnemies (which take no shortcuts), and
// the plain separation and collisions.
void literalGameStep();
