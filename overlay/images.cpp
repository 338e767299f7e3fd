// overlay/images.cpp -- image loading (keyed and alpha) and the overlay kit's media.
#include "overlay/images.h"

#include "app/screen.h"

#include <SDL_image.h>

OverlayMedia overlayMedia;

namespace {

constexpr const char* FONT_FILE = "Media/Orvane/Font.png";
constexpr const char* BUTTON_FILE = "Media/Orvane/Button.png";
constexpr const char* BORDER_FILE = "Media/Orvane/Border.png";
constexpr const char* BAND_FILE = "Media/Orvane/TopBottomBorder.png";
constexpr const char* CURSOR_FILE = "Media/Orvane/Cursor.png";

// The colour that keyed images leave undrawn: cyan.
constexpr Uint8 KEY_RED = 0;
constexpr Uint8 KEY_GREEN = 255;
constexpr Uint8 KEY_BLUE = 255;

using Conversion = decltype(&SDL_DisplayFormat);

// IMG_Load, then the conversion; the loaded surface is freed either way.
SDL_Surface* loadConverted(const char* path, Conversion convert) {
  SDL_Surface* loaded = IMG_Load(path);
  if (loaded == nullptr) return nullptr;
  SDL_Surface* converted = convert(loaded);
  SDL_FreeSurface(loaded);
  return converted;
}

SDL_Surface* copyOfScreen() { return Screen != nullptr ? SDL_DisplayFormat(Screen) : nullptr; }

SDL_Rect cutOut(int x, int y, int w, int h) {
  return SDL_Rect{Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
}

}  // namespace

SDL_Surface* loadKeyedImage(const char* path) {
  SDL_Surface* image = loadConverted(path, SDL_DisplayFormat);
  if (image != nullptr) {
    SDL_SetColorKey(image, SDL_SRCCOLORKEY,
                    SDL_MapRGB(image->format, KEY_RED, KEY_GREEN, KEY_BLUE));
  }
  return image;
}

SDL_Surface* loadAlphaImage(const char* path) {
  return loadConverted(path, SDL_DisplayFormatAlpha);
}

void loadOverlayMedia() {
  overlayMedia.snapshotSurface = copyOfScreen();
  overlayMedia.backdropSurface = copyOfScreen();
  overlayMedia.fontSurface = loadAlphaImage(FONT_FILE);
  overlayMedia.buttonSurface = loadAlphaImage(BUTTON_FILE);
  overlayMedia.borderSurface = loadKeyedImage(BORDER_FILE);
  overlayMedia.topBottomBorderSurface = loadKeyedImage(BAND_FILE);
  overlayMedia.cursorSurface = loadAlphaImage(CURSOR_FILE);

  for (int i = 0; i < GLYPH_COUNT; ++i) {
    overlayMedia.glyphRects[i] = cutOut(GLYPH_CELL_WIDTH * i, 0, GLYPH_CELL_WIDTH,
                                        GLYPH_CELL_HEIGHT);
  }
  for (int row = 0; row < BUTTON_TILE_ROWS; ++row) {
    for (int column = 0; column < BUTTON_TILE_COLUMNS; ++column) {
      overlayMedia.buttonTileRects[BUTTON_TILE_COLUMNS * row + column] =
          cutOut(BUTTON_TILE_SIZE * column, BUTTON_TILE_SIZE * row, BUTTON_TILE_SIZE,
                 BUTTON_TILE_SIZE);
    }
  }
  overlayMedia.cursorRect = cutOut(CURSOR_CELL_X, 0, CURSOR_CELL_SIZE, CURSOR_CELL_SIZE);
}
