// web/replace/overlay/keyed_blit.cpp -- the web build's blitKeyedImage: SDL's own blit. The
// desktop's copy of cached runs learns them by blitting onto scratch surfaces and reading their
// memory, which in the browser holds nothing until a surface is locked; here the key colour is
// already transparent (web/surfaces.cpp), so the canvas draws exactly the keyed picture.
#include "overlay/keyed_blit.h"

#include "app/screen.h"

bool keyedBlitMayCopy = false;

void blitKeyedImage(SDL_Surface* image, int x, int y) {
  if (image == nullptr || Screen == nullptr) return;
  SDL_Rect destination{Sint16(x), Sint16(y), 0, 0};
  SDL_UpperBlit(image, nullptr, Screen, &destination);
}
