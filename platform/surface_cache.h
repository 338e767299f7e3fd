// platform/surface_cache.h -- what a drawing cached from a surface is keyed on: the surface itself,
// held so that its address cannot pass to another surface, its layout and blit settings, and the
// format of the screen the drawing was made for.
//
// Used by the caches of colour-keyed images (overlay/keyed_blit.cpp) and of the HUD backings
// (game/hud_backing.cpp). A cached drawing stays right as long as the surface's pixels do not
// change after it is first drawn: the program's images are read-only once loaded.
#pragma once

#include <SDL.h>

#include <cstdint>

struct SurfaceKey {
  SDL_Surface* surface;  // held (reference count raised) while the key names it; null: none
  void* pixels;
  int width, height, pitch;
  uint32_t flags, colourKey;
  uint8_t alpha;
  uint32_t masks[4];        // the surface's red, green, blue and alpha masks
  uint32_t screenMasks[4];  // the same for the screen
  int screenBytesPerPixel;
  uint32_t screenFlags;
};

// True when `key` names `surface` as it is now, for a screen of `screen`'s format.
bool surfaceKeyMatches(const SurfaceKey& key, const SDL_Surface* surface,
                       const SDL_Surface* screen);

// Lets go of the surface that `key` names (if any) and names `surface` for `screen`, holding it.
void holdSurfaceKey(SurfaceKey& key, SDL_Surface* surface, const SDL_Surface* screen);

// Lets go of the surface that `key` names, if any.
void releaseSurfaceKey(SurfaceKey& key);

// A software surface of `width` by `height` in `screen`'s 4-byte format, for asking SDL what a
// blit onto the screen writes; null when it cannot be made. The caller frees it.
SDL_Surface* makeScratchLike(const SDL_Surface* screen, int width, int height);
