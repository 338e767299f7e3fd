// web/surfaces.h -- surfaces in the browser: Emscripten's SDL keeps every surface in a canvas,
// R, G, B, A in memory, and leaves out what the game relies on in SDL 1.2.
//
// web/main.cpp calls fixChannelShifts on Screen after start-up. The same file defines, for the
// whole web build, the two SDL calls that Emscripten lacks or leaves empty:
// - SDL_DisplayFormat (missing): the surface in the display's format with every pixel opaque,
//   as SDL 1.2 drops the alpha of a converted image;
// - SDL_SetColorKey (does nothing in Emscripten): with SDL_SRCCOLORKEY, every pixel whose colour
//   is the key's becomes fully transparent, so that a blit shows what lies under it and draws
//   every other pixel opaque. Call it once on an opaque surface, after the pixels are final.
#pragma once

#include <SDL.h>

// Sets the format's channel shifts and losses from its masks. Emscripten leaves them 0 while the
// masks say red is the low byte, green the next and blue the third (Rmask 0x000000ff); code that
// packs a colour by shifts would put every channel into the red byte.
void fixChannelShifts(SDL_PixelFormat* format);
