// platform/surface_cache.cpp -- keys of cached drawings: surfaces held by reference count.
#include "platform/surface_cache.h"

#include <cstring>

namespace {

constexpr int SCRATCH_BITS = 32;

SurfaceKey keyOf(SDL_Surface* surface, const SDL_Surface* screen) {
  SurfaceKey key{};
  key.surface = surface;
  key.pixels = surface->pixels;
  key.width = surface->w;
  key.height = surface->h;
  key.pitch = surface->pitch;
  key.flags = surface->flags;
  key.colourKey = surface->format->colorkey;
  key.alpha = surface->format->alpha;
  const SDL_PixelFormat* f = surface->format;
  const uint32_t masks[4] = {f->Rmask, f->Gmask, f->Bmask, f->Amask};
  std::memcpy(key.masks, masks, sizeof masks);
  const SDL_PixelFormat* s = screen->format;
  const uint32_t screenMasks[4] = {s->Rmask, s->Gmask, s->Bmask, s->Amask};
  std::memcpy(key.screenMasks, screenMasks, sizeof screenMasks);
  key.screenBytesPerPixel = s->BytesPerPixel;
  key.screenFlags = screen->flags;
  return key;
}

}  // namespace

bool surfaceKeyMatches(const SurfaceKey& key, const SDL_Surface* surface,
                       const SDL_Surface* screen) {
  if (key.surface == nullptr || key.surface != surface) return false;
  const SurfaceKey now = keyOf(const_cast<SDL_Surface*>(surface), screen);
  return now.pixels == key.pixels && now.width == key.width && now.height == key.height &&
         now.pitch == key.pitch && now.flags == key.flags && now.colourKey == key.colourKey &&
         now.alpha == key.alpha && std::memcmp(now.masks, key.masks, sizeof key.masks) == 0 &&
         std::memcmp(now.screenMasks, key.screenMasks, sizeof key.screenMasks) == 0 &&
         now.screenBytesPerPixel == key.screenBytesPerPixel && now.screenFlags == key.screenFlags;
}

void holdSurfaceKey(SurfaceKey& key, SDL_Surface* surface, const SDL_Surface* screen) {
  releaseSurfaceKey(key);
  key = keyOf(surface, screen);
  ++surface->refcount;
}

void releaseSurfaceKey(SurfaceKey& key) {
  if (key.surface != nullptr) SDL_FreeSurface(key.surface);
  key = SurfaceKey{};
}

SDL_Surface* makeScratchLike(const SDL_Surface* screen, int width, int height) {
  const SDL_PixelFormat* f = screen->format;
  if (f->BytesPerPixel != 4) return nullptr;
  return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, SCRATCH_BITS, f->Rmask, f->Gmask,
                              f->Bmask, f->Amask);
}
