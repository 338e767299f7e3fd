// game/media.h -- what the game draws from files: the ship and enemy shapes read from their
// bitmaps, and the two HUD backings.
//
// Start-up calls loadGameMedia once, after the video mode is set and before the first reset.
// Everything here is read-only afterwards.
#pragma once

#include <SDL.h>

#include <cstdint>

constexpr int SHAPE_SCALE = 3;  // world units (and screen pixels) a shape cell, on each axis
constexpr int SHIP_SHAPE_WIDTH = 24;
constexpr int SHIP_SHAPE_HEIGHT = 12;
constexpr int ENEMY_SHAPE_SIZE = 14;

// 1 where the image's raw pixel value is 0 (solid), else 0; column after column
// (index x * height + y).
extern uint8_t shipShape[SHIP_SHAPE_WIDTH * SHIP_SHAPE_HEIGHT];
extern uint8_t enemyShape[ENEMY_SHAPE_SIZE * ENEMY_SHAPE_SIZE];

// Display-format surfaces with per-pixel alpha, or null when their file did not load.
extern SDL_Surface* textBacking1;  // behind the best-score and score lines, drawn at (2, 27)
extern SDL_Surface* textBacking2;  // behind the health line, drawn at (288, 430)

// How reading a shape from a loaded image went.
enum class ShapeRead { Read, TooSmall, Unlockable };

// Reads the top-left width by height pixels of `image` (any pixel size; 1 to 4 bytes give their
// raw value, others read as 0, and so does a pixel whose bytes would lie beyond its row, as in
// SDL's 1- and 4-bit surfaces) into `shape`, column after column: 1 where the raw value is 0,
// else 0. TooSmall when the image is narrower or lower than that, Unlockable when its pixels
// cannot be locked; `shape` is then left as it was. Never reads outside the image's pixels. The
// caller keeps ownership of `image`. loadGameMedia reads both bitmaps through it; the image
// fuzzer calls it on whatever SDL_image decodes.
ShapeRead readShapeFromImage(SDL_Surface* image, int width, int height, uint8_t* shape);

// Reads the shapes and loads the backings. Returns false, after one line on stderr naming the
// file and the working directory, when ship.bmp or enemy1.bmp is missing, undecodable or
// smaller than its shape; a missing backing is not a failure.
bool loadGameMedia();
