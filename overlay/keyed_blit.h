// overlay/keyed_blit.h -- colour-keyed images drawn onto Screen by copying only the pixels that
// their blit writes: the pixels of SDL_UpperBlit, at a fraction of its cost for images that are
// mostly key colour (the full-screen border drawn in every frame, the clock bands).
//
// The overlay driver draws the border, and the clock its bands, through blitKeyedImage.
#pragma once

#include <SDL.h>

// Draws `image` whole onto Screen with its top-left corner at (x, y), giving exactly the pixels of
// SDL_UpperBlit(image, nullptr, Screen, {x, y}) within Screen's clip rectangle. The first draw of
// an image for a screen format asks SDL what the blit writes (onto scratch surfaces of that
// format) and keeps the runs of written pixels and their values; later draws copy them. Where the
// blit does more than write fixed values (alpha blending), where Screen is not 4 bytes a pixel,
// or where the scratch surfaces cannot be made, every draw is SDL's blit. The image's pixels must
// not change after its first draw. A null image or Screen draws nothing.
void blitKeyedImage(SDL_Surface* image, int x, int y);

// Test seam: false makes every call SDL's blit, for comparing the two.
extern bool keyedBlitMayCopy;
