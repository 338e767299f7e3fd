// tests/overlay/overlay_media.h -- made-up overlay images for the overlay's tests, converted the
// way the real loader converts them, whose pixels say where they came from (the colours below;
// the cursor sheet's other cells are red 40, the border transparent cyan but for BORDER_MARK_Y).
#pragma once

#include "app/frame.h"
#include "app/input.h"
#include "app/screen.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace overlay_media {

constexpr int SHEET_TILE = BUTTON_TILE_SIZE;
constexpr int BAND_HEIGHT = 130;
constexpr uint32_t CYAN = 0x00FFFF;
constexpr uint32_t BORDER_MARK_COLOUR = 0xC01020;
constexpr int BORDER_MARK_Y = 470;

inline uint32_t rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | b; }
// Pixel (dx, dy) of button tile t (9 * row + column), of the pointer cell, band row `row`.
inline uint32_t tileColour(int t, int dx, int dy) { return rgb(10 + 13 * t, 12 * dx, 12 * dy); }
inline uint32_t cursorColour(int dx, int dy) { return rgb(250, 2 * dx, 2 * dy); }
inline uint32_t bandColour(int row) { return rgb(30, row, 200); }

// A w by h surface painted by `colourAt` (0xRRGGBB), converted as the loader does (keyed: cyan).
inline SDL_Surface* paintedImage(int w, int h, bool keyed,
                                 const std::function<uint32_t(int, int)>& colourAt) {
  SDL_Surface* raw = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF,
                                          keyed ? 0 : 0xFF000000u);
  const PixelGrid grid(raw);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) grid.write(x, y, colourAt(x, y) | (keyed ? 0 : 0xFF000000u));
  SDL_Surface* converted = keyed ? SDL_DisplayFormat(raw) : SDL_DisplayFormatAlpha(raw);
  SDL_FreeSurface(raw);
  if (keyed)
    SDL_SetColorKey(converted, SDL_SRCCOLORKEY, SDL_MapRGB(converted->format, 0, 255, 255));
  return converted;
}

// Every image but the font, runs and work surfaces as loaded; overlay state and input afresh.
inline void loadTestMedia() {
  overlayFade = 0.0;
  overlayOpen = 0;
  overlayLocalTime = nullptr;
  quitRequested = 0;
  inputState = InputState{};
  overlayMedia.snapshotSurface = SDL_DisplayFormat(Screen);
  overlayMedia.backdropSurface = SDL_DisplayFormat(Screen);
  overlayMedia.buttonSurface =
      paintedImage(9 * SHEET_TILE, 2 * SHEET_TILE, false, [](int x, int y) {
        return tileColour(9 * (y / SHEET_TILE) + x / SHEET_TILE, x % SHEET_TILE, y % SHEET_TILE);
      });
  overlayMedia.cursorSurface = paintedImage(384, 96, false, [](int x, int y) {
    return x >= CURSOR_CELL_X ? cursorColour(x - CURSOR_CELL_X, y) : 40u << 16;
  });
  overlayMedia.topBottomBorderSurface =
      paintedImage(SCREEN_WIDTH, BAND_HEIGHT, true, [](int, int y) { return bandColour(y); });
  overlayMedia.borderSurface = paintedImage(SCREEN_WIDTH, SCREEN_HEIGHT, true, [](int, int y) {
    return y == BORDER_MARK_Y ? BORDER_MARK_COLOUR : CYAN;
  });
  overlayMedia.borderRuns = findOpaqueRuns(overlayMedia.borderSurface);
  overlayMedia.bandRuns = findOpaqueRuns(overlayMedia.topBottomBorderSurface);
}

inline void freeTestMedia() {
  for (SDL_Surface* surface :
       {overlayMedia.snapshotSurface, overlayMedia.backdropSurface, overlayMedia.fontSurface,
        overlayMedia.buttonSurface, overlayMedia.borderSurface,
        overlayMedia.topBottomBorderSurface, overlayMedia.cursorSurface})
    SDL_FreeSurface(surface);
  overlayMedia = OverlayMedia{};
}

// Paints the whole screen one colour (0xRRGGBB).
inline void paintScreen(uint32_t colour) {
  SDL_FillRect(Screen, nullptr, SDL_MapRGB(Screen->format, colour >> 16, colour >> 8 & 0xFF,
                                           colour & 0xFF));
}

// A 32-bit test screen with the made-up media, all freed again after the test.
class OverlayMediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    openTestScreen(32);
    loadTestMedia();
  }
  void TearDown() override {
    freeTestMedia();
    closeTestScreen();
  }
};

}  // namespace overlay_media
