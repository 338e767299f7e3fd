// tests/overlay/backdrop_test.cpp -- the pause backdrop of a picture of known colours, at every
// display depth: what the buffers, the processed surface and each fade show; and the blur of a
// random picture, which runs its passes together, against the passes run one after another.
#include "overlay/backdrop.h"

#include "app/screen.h"
#include "overlay/driver.h"
#include "overlay/images.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr int W = SCREEN_WIDTH;
constexpr int H = SCREEN_HEIGHT;
constexpr int REACH = 10;  // how far the six passes carry a colour: 3 + 3 + 1 + 1 + 1 + 1

// Four quadrants of distinct colours inside a one-pixel frame of a fifth; 0xRRGGBB. Green and
// blue differ everywhere, so a channel read twice or lost shows.
constexpr uint32_t QUADRANTS[4] = {0x0A78E6, 0xF01E64, 0x3C00C8, 0xFFFFFF};
constexpr uint32_t FRAME = 0x000000;

uint32_t paintedAt(int x, int y) {
  if (x == 0 || y == 0 || x == W - 1 || y == H - 1) return FRAME;
  return QUADRANTS[(x >= W / 2) + 2 * (y >= H / 2)];
}

int lightened(int c) { return std::min(255, std::max(100, c + 50)); }

// The colour as `format` stores it and SDL_GetRGB reads it back.
uint32_t asStored(const SDL_PixelFormat* format, uint32_t rgb) {
  Uint8 r, g, b;
  SDL_GetRGB(SDL_MapRGB(format, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)), format, &r,
             &g, &b);
  return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

uint32_t lightenedRgb(uint32_t rgb) {
  return uint32_t(lightened(rgb >> 16 & 0xFF)) << 16 | uint32_t(lightened(rgb >> 8 & 0xFF)) << 8 |
         uint32_t(lightened(rgb & 0xFF));
}

uint32_t bufferRgb(const uint8_t* buffer, int x, int y) {
  const uint8_t* p = buffer + (x * H + y) * 3;
  return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

uint32_t surfaceRgb(SDL_Surface* surface, int x, int y) {
  Uint8 r, g, b;
  SDL_GetRGB(PixelGrid(surface).read(x, y), surface->format, &r, &g, &b);
  return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// Screens of every kind the backdrop meets; the work surfaces are made as the loader makes them,
// or (when `ownFormat`) in Screen's format, alpha bits and all.
struct ScreenKind {
  const char* name;
  int bitsPerPixel;
  uint32_t rMask, gMask, bMask, aMask;  // all 0: the display's own format
  bool ownFormat;
};
const ScreenKind SCREENS[] = {
    {"32-bit display", 32, 0, 0, 0, 0, false}, {"24-bit display", 24, 0, 0, 0, 0, false},
    {"16-bit display", 16, 0, 0, 0, 0, false}, {"8-bit palette display", 8, 0, 0, 0, 0, false},
    {"blue-first screen, display-format work surfaces", 32, 0xFF, 0xFF00, 0xFF0000, 0, false},
    {"blue-first screen with alpha bits in its own format", 32, 0xFF00, 0xFF0000, 0xFF000000, 0xFF,
     true},
};

void openScreen(const ScreenKind& kind) {
  openTestScreen(kind.bitsPerPixel);
  if (kind.rMask != 0)
    Screen = SDL_CreateRGBSurface(SDL_SWSURFACE, W, H, 32, kind.rMask, kind.gMask, kind.bMask,
                                  kind.aMask);
  for (SDL_Surface** work : {&overlayMedia.snapshotSurface, &overlayMedia.backdropSurface})
    *work = kind.ownFormat ? SDL_ConvertSurface(Screen, Screen->format, SDL_SWSURFACE)
                           : SDL_DisplayFormat(Screen);
  const PixelGrid grid(Screen);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const uint32_t rgb = paintedAt(x, y);
      grid.write(x, y, SDL_MapRGB(Screen->format, rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF));
    }
}

void closeScreen(const ScreenKind& kind) {
  for (SDL_Surface** work : {&overlayMedia.snapshotSurface, &overlayMedia.backdropSurface})
    SDL_FreeSurface(std::exchange(*work, nullptr));
  if (kind.rMask != 0) SDL_FreeSurface(Screen);
  closeTestScreen();
}

// Inside each quadrant, beyond the blur's reach of its edges, and on the frame.
struct Spot {
  int x, y;
  bool blurred;  // false: on the outermost ring, which is lightened but not blurred
};
const Spot SPOTS[] = {{100, 100, true}, {500, 120, true}, {130, 400, true}, {600, 300, true},
                      {0, 200, false},  {400, 0, false},  {639, 50, false}, {320, 479, false}};

TEST(PauseBackdrop, CapturesAndBlendsKnownColoursOnEveryScreen) {
  for (const ScreenKind& kind : SCREENS) {
    SCOPED_TRACE(kind.name);
    openScreen(kind);
    capturePauseBackdrop();
    for (const Spot& spot : SPOTS) {
      SCOPED_TRACE(testing::Message() << "at (" << spot.x << ", " << spot.y << ")");
      const uint32_t stored = asStored(Screen->format, paintedAt(spot.x, spot.y));
      const uint32_t processed = lightenedRgb(stored);
      EXPECT_EQ(bufferRgb(snapshotPixels, spot.x, spot.y), stored) << "snapshot";
      EXPECT_EQ(bufferRgb(backdropPixels, spot.x, spot.y), processed) << "processed picture";
      EXPECT_EQ(surfaceRgb(overlayMedia.backdropSurface, spot.x, spot.y),
                asStored(overlayMedia.backdropSurface->format, processed))
          << "processed surface";
    }
    // Next to the frame the blur mixes it in: the ring's neighbours are not the quadrant's colour.
    EXPECT_NE(bufferRgb(backdropPixels, 1, 100),
              lightenedRgb(asStored(Screen->format, QUADRANTS[0])));

    struct Fade {
      const char* name;
      double fade;
      int weight;  // of the processed picture, in parts of 100
    };
    const Fade fades[] = {{"0.313 shows the snapshot as it was", 0.313, 0},
                          {"57.6 mixes by the whole part, 57", 57.6, 57},
                          {"99.687 still blends, weight 99", 99.687, 99},
                          {"100.0 shows the processed picture", 100.0, 100}};
    for (const Fade& fade : fades) {
      SCOPED_TRACE(fade.name);
      overlayFade = fade.fade;
      drawPauseBackdrop();
      for (const Spot& spot : SPOTS) {
        const uint32_t from = bufferRgb(snapshotPixels, spot.x, spot.y);
        const uint32_t to = bufferRgb(backdropPixels, spot.x, spot.y);
        uint32_t mixed = 0;
        for (int shift = 16; shift >= 0; shift -= 8) {
          const int v = (int(to >> shift & 0xFF) * fade.weight +
                         int(from >> shift & 0xFF) * (100 - fade.weight)) / 100;
          mixed |= uint32_t(v) << shift;
        }
        EXPECT_EQ(surfaceRgb(Screen, spot.x, spot.y), asStored(Screen->format, mixed))
            << "at (" << spot.x << ", " << spot.y << ")";
      }
    }
    closeScreen(kind);
  }
}

// The six passes one after another over whole pictures, as the rule states them: pass k reads
// one buffer and writes the other, leaving what lies outside its region as it was.
std::vector<uint8_t> blurredOneByOne(const uint8_t* picture) {
  struct Pass {
    int d, bias;
  };
  const Pass passes[] = {{3, 0}, {3, 1}, {1, 0}, {1, 0}, {1, 0}, {1, 0}};
  std::vector<uint8_t> halves[2] = {{picture, picture + BACKDROP_BYTES},
                                    {picture, picture + BACKDROP_BYTES}};
  int from = 0;
  for (const Pass& pass : passes) {
    const std::vector<uint8_t>& s = halves[from];
    for (int x = pass.d; x < W - pass.d; ++x)
      for (int y = pass.d; y < H - pass.d; ++y)
        for (int c = 0; c < 3; ++c) {
          const auto at = [&](int px, int py) { return s[(px * H + py) * 3 + c]; };
          const int sum = at(x - pass.d, y) + at(x + pass.d, y) + at(x, y - pass.d) +
                          at(x, y + pass.d) + pass.bias;
          halves[1 - from][(x * H + y) * 3 + c] = uint8_t(sum / 4);
        }
    from = 1 - from;
  }
  for (uint8_t& c : halves[from]) c = uint8_t(lightened(c));
  return halves[from];
}

TEST(PauseBackdrop, BlurOfARandomPictureEqualsTheSixPassesOneAfterAnother) {
  openScreen(SCREENS[0]);
  std::mt19937 random{15};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) PixelGrid(Screen).write(x, y, uint32_t(random()) & 0xFFFFFF);
  capturePauseBackdrop();
  const std::vector<uint8_t> expected = blurredOneByOne(snapshotPixels);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), backdropPixels));
  closeScreen(SCREENS[0]);
}

TEST(PauseBackdrop, FadeZeroDrawsNothing) {
  openScreen(SCREENS[0]);
  capturePauseBackdrop();
  SDL_FillRect(Screen, nullptr, 0x123456);
  overlayFade = 0.0;
  drawPauseBackdrop();
  EXPECT_EQ(PixelGrid(Screen).read(300, 200), 0x123456u);
  closeScreen(SCREENS[0]);
}

TEST(PauseBackdrop, WithoutAWorkSurfaceNothingIsTouched) {
  for (const bool missingSnapshot : {true, false}) {
    SCOPED_TRACE(missingSnapshot ? "no snapshot surface" : "no backdrop surface");
    openScreen(SCREENS[0]);
    SDL_Surface*& missing =
        missingSnapshot ? overlayMedia.snapshotSurface : overlayMedia.backdropSurface;
    SDL_FreeSurface(missing);
    missing = nullptr;
    std::memset(backdropPixels, 17, BACKDROP_BYTES);
    std::memset(snapshotPixels, 34, BACKDROP_BYTES);
    capturePauseBackdrop();
    for (const double fade : {50.0, 100.0}) {
      overlayFade = fade;
      drawPauseBackdrop();
    }
    EXPECT_EQ(std::count(backdropPixels, backdropPixels + BACKDROP_BYTES, 17), BACKDROP_BYTES);
    EXPECT_EQ(std::count(snapshotPixels, snapshotPixels + BACKDROP_BYTES, 34), BACKDROP_BYTES);
    EXPECT_EQ(surfaceRgb(Screen, 100, 100), paintedAt(100, 100));
    closeScreen(SCREENS[0]);
  }
}

}  // namespace
