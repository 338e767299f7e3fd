// web/bitmaps.h -- the raw pixel values of the ship and enemy bitmaps, which the browser's
// IMG_Load does not keep.
//
// The game reads its shapes from the raw values that SDL 1.2's IMG_Load leaves in a bitmap's
// surface: a pixel is solid when its value is 0 (palette entry 0 in a palette bitmap, black in
// one of 24 bits). The browser decodes every image to R, G, B, A colours and drops the palette,
// so the web build's IMG_Load (web/sdl12.h) calls restoreRawZeros on every bitmap it loads.
#pragma once

#include <SDL.h>

// Rewrites `image`, decoded from the bitmap file at `path`, so that each pixel is 0 where SDL
// 1.2 reads a raw value of 0 and opaque white elsewhere. Uncompressed BMP files of 1, 4, 8, 24
// or 32 bits a pixel are read for their raw values; for any other file a pixel counts as 0 when
// its colour is black. Pixels beyond the file's picture are left as they are.
void restoreRawZeros(SDL_Surface* image, const char* path);
