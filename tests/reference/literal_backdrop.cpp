// tests/reference/literal_backdrop.cpp -- the plain pause backdrop: per-pixel colour calls, the
// six blur passes as written, and the overlay frame around it.
#include "reference/literal_backdrop.h"

#include "app/input.h"
#include "app/screen.h"
#include "overlay/backdrop.h"
#include "overlay/buttons.h"
#include "overlay/clock.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "overlay/widgets.h"
#include "platform/clock.h"
#include "platform/pixels.h"

#include <algorithm>

namespace {

constexpr int W = 640;
constexpr int H = 480;

int at(int x, int y) { return (x * H + y) * 3; }

void decodeInto(SDL_Surface* surface, uint8_t* out) {
  SDL_LockSurface(surface);
  for (int x = 0; x < W; ++x) {
    for (int y = 0; y < H; ++y) {
      SDL_GetRGB(readPixel(surface, x, y), surface->format, &out[at(x, y)], &out[at(x, y) + 1],
                 &out[at(x, y) + 2]);
    }
  }
  SDL_UnlockSurface(surface);
}

void blurAndLighten(uint8_t* backdrop, uint8_t* snapshot) {
  literalBlurPass(backdrop, snapshot, 3, 0);
  literalBlurPass(snapshot, backdrop, 3, 1);
  literalBlurPass(backdrop, snapshot, 1, 0);
  literalBlurPass(snapshot, backdrop, 1, 0);
  literalBlurPass(backdrop, snapshot, 1, 0);
  literalBlurPass(snapshot, backdrop, 1, 0);
  for (int i = 0; i < W * H * 3; ++i) {
    backdrop[i] = uint8_t(std::min(255, std::max(100, backdrop[i] + 50)));
  }
}

uint32_t blendedPixel(int x, int y, int weight, SDL_PixelFormat* f) {
  uint8_t v[3];
  for (int c = 0; c < 3; ++c) {
    const int i = at(x, y) + c;
    v[c] = uint8_t((backdropPixels[i] * weight + snapshotPixels[i] * (100 - weight)) / 100);
  }
  if (f->palette != nullptr) return SDL_MapRGB(f, v[0], v[1], v[2]);
  return uint32_t(v[0] >> f->Rloss) << f->Rshift | uint32_t(v[1] >> f->Gloss) << f->Gshift |
         uint32_t(v[2] >> f->Bloss) << f->Bshift;
}

}  // namespace

LiteralPicture literalDecode(SDL_Surface* surface) {
  LiteralPicture out(W * H * 3);
  decodeInto(surface, out.data());
  return out;
}

void literalBlurPass(const uint8_t* source, uint8_t* destination, int d, int bias) {
  for (int x = d; x <= W - 1 - d; ++x) {
    for (int y = d; y <= H - 1 - d; ++y) {
      for (int c = 0; c < 3; ++c) {
        const int sum = source[at(x - d, y) + c] + source[at(x + d, y) + c] +
                        source[at(x, y - d) + c] + source[at(x, y + d) + c];
        destination[at(x, y) + c] = uint8_t((sum + bias) / 4);
      }
    }
  }
}

LiteralPicture literalBackdrop(SDL_Surface* screen) {
  LiteralPicture backdrop = literalDecode(screen);
  LiteralPicture snapshot = backdrop;
  blurAndLighten(backdrop.data(), snapshot.data());
  return backdrop;
}

std::vector<uint32_t> literalMapped(const LiteralPicture& picture, SDL_PixelFormat* format) {
  std::vector<uint32_t> values;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const uint8_t* rgb = &picture[at(x, y)];
      values.push_back(SDL_MapRGB(format, rgb[0], rgb[1], rgb[2]));
    }
  }
  return values;
}

std::vector<uint32_t> literalBlend(int weight, SDL_PixelFormat* format) {
  std::vector<uint32_t> values;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) values.push_back(blendedPixel(x, y, weight, format));
  }
  return values;
}

void literalCapturePauseBackdrop() {
  SDL_Surface* snapshot = overlayMedia.snapshotSurface;
  SDL_Surface* backdrop = overlayMedia.backdropSurface;
  SDL_Rect origin{0, 0, 0, 0};
  SDL_UpperBlit(Screen, nullptr, snapshot, &origin);
  decodeInto(Screen, backdropPixels);
  std::copy(backdropPixels, backdropPixels + W * H * 3, snapshotPixels);
  blurAndLighten(backdropPixels, snapshotPixels);
  SDL_LockSurface(backdrop);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const uint8_t* rgb = &backdropPixels[at(x, y)];
      writePixel(backdrop, x, y, SDL_MapRGB(backdrop->format, rgb[0], rgb[1], rgb[2]));
    }
  }
  SDL_UnlockSurface(backdrop);
  SDL_LockSurface(snapshot);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      uint8_t* rgb = &snapshotPixels[at(x, y)];
      SDL_GetRGB(readPixel(snapshot, x, y), snapshot->format, &rgb[0], &rgb[1], &rgb[2]);
    }
  }
  SDL_UnlockSurface(snapshot);
}

void literalDrawPauseBackdrop() {
  if (overlayFade == 0.0) return;
  if (overlayFade == 100.0) {
    SDL_Rect origin{0, 0, 0, 0};
    SDL_UpperBlit(overlayMedia.backdropSurface, nullptr, Screen, &origin);
    return;
  }
  const int weight = int(overlayFade);
  SDL_LockSurface(Screen);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      writePixel(Screen, x, y, blendedPixel(x, y, weight, Screen->format));
    }
  }
  SDL_UnlockSurface(Screen);
}

void literalUpdateOverlay() {
  if (inputState.keys[SDLK_ESCAPE] == KeyState::Pressed) {
    if (!overlayOpen) {
      overlayOpen = 1;
      if (overlayFade == 0.0) literalCapturePauseBackdrop();
    } else {
      overlayOpen = 0;
    }
  }
  literalDrawPauseBackdrop();
  overlayFade = stepOverlayFade(overlayFade, overlayOpen);
  if (overlayFade != 0.0) {
    overlayLocalTime = localTimeOf(currentCalendarTime());
    updateOverlayButtons();
    drawClock();
  }
  drawCursor();
  SDL_Rect origin{0, 0, 0, 0};
  SDL_UpperBlit(overlayMedia.borderSurface, nullptr, Screen, &origin);
}
