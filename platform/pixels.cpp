// platform/pixels.cpp -- locking around direct pixel access.
#include "platform/pixels.h"

SurfacePixelLock::SurfacePixelLock(SDL_Surface* target)
    : surface(target), locked(false), ok(target != nullptr && target->pixels != nullptr) {
  if (surface != nullptr && SDL_MUSTLOCK(surface)) {
    locked = SDL_LockSurface(surface) == 0;
    ok = locked && surface->pixels != nullptr;
  }
}

SurfacePixelLock::~SurfacePixelLock() {
  if (locked) SDL_UnlockSurface(surface);
}
