// overlay/images.cpp -- image loading and the overlay kit's media.
#include "overlay/images.h"

OverlayMedia overlayMedia;

SDL_Surface* loadKeyedImage(const char*) { return nullptr; }
SDL_Surface* loadAlphaImage(const char*) { return nullptr; }
void loadOverlayMedia() {}
