// overlay/images.h -- loading images, and the overlay kit's media: its surfaces, the two
// full-screen work surfaces of the pause backdrop, and the cells of the glyph, button and pointer
// sheets.
//
// Start-up calls loadOverlayMedia once, after the video mode is set and before the first frame;
// game/media.cpp uses loadAlphaImage for the HUD backings. The media are read-only afterwards.
// Every image reaches Screen through drawImage or, keyed, drawKeyedImage.
#pragma once

#include <SDL.h>

#include <vector>

constexpr int GLYPH_COUNT = 95;        // printable ASCII, codes 32..126, cell i holds 32 + i
constexpr int GLYPH_CELL_WIDTH = 15;   // pixels of Font.png
constexpr int GLYPH_CELL_HEIGHT = 21;
constexpr int BUTTON_TILE_SIZE = 21;   // pixels of Button.png, on each axis
constexpr int CURSOR_CELL_SIZE = 96;   // the pointer cell of Cursor.png
constexpr int CURSOR_CELL_X = 288;

// A run of a keyed image's row, in its pixels, that is not the key colour: what a blit draws.
struct OpaqueRun {
  int x, y, length;
};
using OpaqueRuns = std::vector<OpaqueRun>;

struct OverlayMedia {
  SDL_Surface* snapshotSurface;   // display-format copy of Screen; the pause backdrop's snapshot
  SDL_Surface* backdropSurface;   // display-format copy of Screen; the processed backdrop
  SDL_Surface* fontSurface;       // Font.png, alpha
  SDL_Surface* buttonSurface;     // Button.png, alpha
  SDL_Surface* borderSurface;     // Border.png, keyed on cyan
  SDL_Surface* topBottomBorderSurface;  // TopBottomBorder.png, keyed on cyan
  SDL_Surface* cursorSurface;     // Cursor.png, alpha
  OpaqueRuns borderRuns;   // of borderSurface, found when it is loaded
  OpaqueRuns bandRuns;     // of topBottomBorderSurface, likewise
};

// All null and zero until loadOverlayMedia; any surface stays null when its file failed.
extern OverlayMedia overlayMedia;

// Whether the bytes in `source` may go to SDL_image: anything but a PNG, or a PNG whose chunks
// each lie within the bytes and lead to IEND. SDL_image ignores short reads, so a damaged chunk
// length would hang the start-up in libpng. Leaves the read position where it was.
bool safeToDecode(SDL_RWops* source);

// IMG_Load of `path` (relative to the working directory) when safeToDecode passes its bytes,
// else null. Every image of the game is read through it; the caller owns the result.
SDL_Surface* loadImage(const char* path);

// Load `path` (relative to the working directory) and convert it: keyed, with SDL_DisplayFormat
// and keyed on cyan (0, 255, 255) as mapped into the converted format; alpha, with
// SDL_DisplayFormatAlpha, keeping its per-pixel alpha. The caller owns the result; null when the
// file cannot be loaded or converted.
SDL_Surface* loadKeyedImage(const char* path);
SDL_Surface* loadAlphaImage(const char* path);

// The opaque runs of keyed `image`, row by row, left to right; none for a null image.
OpaqueRuns findOpaqueRuns(SDL_Surface* image);

// Blits the `part` of `image` (the whole image when null) onto Screen with its top-left corner at
// (x, y), by SDL_UpperBlit: clipped by SDL, alpha images blended. x and y must fit SDL_Rect's
// 16 bits. A null image draws nothing.
void drawImage(SDL_Surface* image, SDL_Rect* part, int x, int y);

// Draws keyed `image` whole onto Screen at (x, y), giving exactly the pixels of drawImage: its
// `runs` (findOpaqueRuns of this image) are copied, clipped to Screen's clip rectangle, where
// Screen has the image's true-colour format and the image needs no lock; otherwise SDL blits
// it. The border lies over every frame, and SDL's keyed blit of it would cost several copies.
void drawKeyedImage(SDL_Surface* image, const OpaqueRuns& runs, int x, int y);

// Makes the two work surfaces from Screen and loads the five kit images.
void loadOverlayMedia();
