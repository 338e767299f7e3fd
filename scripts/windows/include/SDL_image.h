/* scripts/windows/include/SDL_image.h -- the part of SDL_image the game uses, for the Windows
   build, which links no SDL_image: IMG_Load is defined by platform/image_file.cpp (PNG through
   libpng, BMP through SDL) with SDL_image's contract. */
#ifndef ZARAZ_WINDOWS_SDL_IMAGE_H
#define ZARAZ_WINDOWS_SDL_IMAGE_H

#include <SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A new surface holding the PNG or BMP file at `file`, or NULL with SDL_GetError set. */
SDL_Surface* IMG_Load(const char* file);

#define IMG_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
