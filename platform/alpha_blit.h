// platform/alpha_blit.h -- images with per-pixel alpha blended onto Screen by the program's own
// loop, wherever SDL's blit has been seen to compute exactly the same: the HUD backings, the
// glyphs, the button tiles and the pointer.
//
// Called by the HUD (game/render.cpp), drawText (overlay/text.cpp) and the widgets
// (overlay/widgets.cpp) in place of SDL_UpperBlit onto Screen.
#pragma once

#include <SDL.h>

// Blits the `part` of `image` (the whole image when null) onto Screen with its top-left corner at
// (x, y): exactly the pixels of SDL_UpperBlit(image, part, Screen, {x, y}), clipped the same way.
//
// The first use of an image for a screen format checks SDL against the program's blend: every
// colour value that occurs in the image is blitted by SDL over every value of each screen channel
// (onto a scratch surface of Screen's format), and the program blends it only if SDL's result is
// its own in every case: the colour where alpha is 255, the screen's pixel where it is 0, else
// per channel (colour * alpha + screen * (256 - alpha)) / 256 rounded down, the screen's unused
// byte kept. Otherwise (another SDL, another format, an image without per-pixel alpha, a Screen
// that is not 4 bytes a pixel) SDL blits every time. The image's pixels must not change after its
// first use. A null image or Screen draws nothing.
void blitAlphaImage(SDL_Surface* image, const SDL_Rect* part, int x, int y);

// Test seam: false makes every call SDL's blit, for comparing the two.
extern bool alphaBlitMayBlend;
