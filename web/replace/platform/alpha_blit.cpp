// web/replace/platform/alpha_blit.cpp -- the web build's blitAlphaImage: SDL's own blit, which
// the browser's canvas draws. The desktop's blending loop reads and writes surface memory
// between blits, and in the browser every surface lives in a canvas that must be copied into
// memory for that: one canvas draw is cheaper and within 2 levels of SDL 1.2's blend.
#include "platform/alpha_blit.h"

#include "app/screen.h"

bool alphaBlitMayBlend = false;

void blitAlphaImage(SDL_Surface* image, const SDL_Rect* part, int x, int y) {
  if (image == nullptr || Screen == nullptr) return;
  SDL_Rect destination{Sint16(x), Sint16(y), 0, 0};
  SDL_UpperBlit(image, const_cast<SDL_Rect*>(part), Screen, &destination);
}
