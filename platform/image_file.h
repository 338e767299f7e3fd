// platform/image_file.h -- reading PNG and BMP files into SDL surfaces, exactly as SDL_image's
// IMG_Load does: the Windows build's IMG_Load, where SDL_image is not linked.
//
// Game code keeps calling IMG_Load. On Linux that is the real SDL_image and this layer is used
// only by its tests, which compare it with the real IMG_Load. In the Windows cross-build
// (scripts/windows, which defines ZARAZ_OWN_IMG_LOAD), IMG_Load is defined here, declared by
// scripts/windows/include/SDL_image.h, and forwards to loadImageFile.
#pragma once

#include <SDL.h>

// Loads the image file at `path`, recognised by its first bytes (not by its name): PNG through
// libpng, BMP through SDL's own SDL_LoadBMP_RW. Returns a new software surface that the caller
// frees with SDL_FreeSurface, or null (with SDL_GetError saying why) when the file is missing,
// of another format, or damaged.
//
// The surface is the one IMG_Load gives, in format, colour key and palette as in pixels:
// - PNG with a palette: 8 bits a pixel with the file's palette; when exactly one palette entry
//   is transparent and all others opaque, that index is the colour key (SDL_SRCCOLORKEY); any
//   other transparency makes it 32-bit RGBA instead (a tRNS of opaque entries changes nothing).
// - Grey PNG (1 to 16 bits): 8 bits a pixel with a 256-step grey palette.
// - Grey PNG with an alpha channel: 32-bit RGBA, the grey copied to red, green and blue.
// - RGB PNG: 24 bits, bytes red, green, blue; with a transparent colour (tRNS), that colour,
//   each component cut to its low 8 bits, is the colour key.
// - RGBA PNG: 32 bits, bytes red, green, blue, alpha (Amask 0xff000000 on little-endian).
// - Grey PNG with a transparent grey value (tRNS): 16 bits, bytes grey and alpha, no Amask,
//   colour key 0: odd, but what SDL_image gives.
// Samples of 16 bits keep their high byte; 1, 2 and 4-bit grey samples are scaled to 0..255.
// - BMP: what SDL_LoadBMP_RW gives, except that a 32-bit one gets IMG_Load's alpha mask
//   (0xff000000 unless the file has bit fields). RLE-compressed BMPs, which IMG_Load reads, are
//   refused.
SDL_Surface* loadImageFile(const char* path);
