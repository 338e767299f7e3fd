// tests/reference/literal_backdrop.h -- the pause backdrop and the overlay frame done the plain
// way: SDL_GetRGB and SDL_MapRGB for every pixel, six blur passes of four reads and a division
// per channel, the lightening with its clamps, and the blend packed pixel by pixel. The oracle of
// the backdrop tests and the baseline of the benchmark's overlay workloads.
//
// Pictures are the buffers' layout: red, green and blue bytes column after column, pixel (x, y)
// at (x * 480 + y) * 3, 640 by 480.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

using LiteralPicture = std::vector<uint8_t>;

// The picture a 640 x 480 surface holds, by SDL_GetRGB pixel by pixel (locking it meanwhile).
LiteralPicture literalDecode(SDL_Surface* surface);

// One blur pass over whole pictures: each pixel of the region d..639-d, d..479-d becomes, per
// channel, (sum of the four neighbours at distance d + bias) / 4; other pixels keep what
// `destination` holds.
void literalBlurPass(const uint8_t* source, uint8_t* destination, int d, int bias);

// What backdropPixels must hold after a capture of the picture `screen` holds: decoded, six
// passes, lightened.
LiteralPicture literalBackdrop(SDL_Surface* screen);

// A picture's pixel values in `format`, row by row, by SDL_MapRGB.
std::vector<uint32_t> literalMapped(const LiteralPicture& picture, SDL_PixelFormat* format);

// Screen's pixel values, row by row, after a blend of backdropPixels and snapshotPixels by
// `weight` (0..99): packed inline by the format's losses and shifts, or by SDL_MapRGB on a
// palette.
std::vector<uint32_t> literalBlend(int weight, SDL_PixelFormat* format);

// capturePauseBackdrop the plain way, on the real buffers and work surfaces: Screen blitted to
// snapshotSurface, decoded into backdropPixels and copied to snapshotPixels, six passes,
// lightening, backdropSurface written by SDL_MapRGB, snapshotPixels read back from
// snapshotSurface. Needs Screen and both work surfaces.
void literalCapturePauseBackdrop();

// drawPauseBackdrop the plain way: nothing at fade 0.0, the blit at exactly 100.0, else the
// blend written into Screen pixel by pixel.
void literalDrawPauseBackdrop();

// updateOverlay with the plain backdrop: the Escape toggle, the backdrop, the fade step, then
// while visible the local time, the buttons and the clock bands, and in every frame the cursor
// and the border, in the driver's order.
void literalUpdateOverlay();
