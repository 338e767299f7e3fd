// tests/overlay/backdrop_test.cpp -- the pause backdrop against a plain, literal version of the
// capture (per-pixel SDL_GetRGB, six blur passes, lightening, per-pixel SDL_MapRGB) and of the
// blend, bit for bit, at every display depth and with the vector kernels on and off.
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
#include <string>
#include <vector>

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr int BYTES = W * H * 3;

int at(int x, int y) { return (x * H + y) * 3; }

using Picture = std::vector<uint8_t>;  // column-major red, green, blue, like the buffers

// ---- The literal oracle -----------------------------------------------------------------------

Picture literalDecode(SDL_Surface* surface) {
  Picture out(BYTES);
  SDL_LockSurface(surface);
  for (int x = 0; x < W; ++x) {
    for (int y = 0; y < H; ++y) {
      SDL_GetRGB(readPixel(surface, x, y), surface->format, &out[at(x, y)], &out[at(x, y) + 1],
                 &out[at(x, y) + 2]);
    }
  }
  SDL_UnlockSurface(surface);
  return out;
}

void literalPass(const Picture& source, Picture& destination, int d, int bias) {
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

// backdropPixels as the capture must leave them for the picture `screen` holds.
Picture literalBackdrop(SDL_Surface* screen) {
  Picture backdrop = literalDecode(screen);
  Picture snapshot = backdrop;
  literalPass(backdrop, snapshot, 3, 0);
  literalPass(snapshot, backdrop, 3, 1);
  literalPass(backdrop, snapshot, 1, 0);
  literalPass(snapshot, backdrop, 1, 0);
  literalPass(backdrop, snapshot, 1, 0);
  literalPass(snapshot, backdrop, 1, 0);
  for (uint8_t& c : backdrop) c = uint8_t(std::min(255, std::max(100, c + 50)));
  return backdrop;
}

// Pixel values of a surface, row by row.
std::vector<uint32_t> surfaceValues(SDL_Surface* surface) {
  std::vector<uint32_t> values;
  SDL_LockSurface(surface);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) values.push_back(readPixel(surface, x, y));
  SDL_UnlockSurface(surface);
  return values;
}

std::vector<uint32_t> literalMapped(const Picture& picture, SDL_PixelFormat* format) {
  std::vector<uint32_t> values;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const uint8_t* rgb = &picture[at(x, y)];
      values.push_back(SDL_MapRGB(format, rgb[0], rgb[1], rgb[2]));
    }
  }
  return values;
}

// Screen's pixel values after a blend by `weight`: inline packing, or SDL_MapRGB on a palette.
std::vector<uint32_t> literalBlend(int weight, SDL_PixelFormat* f) {
  std::vector<uint32_t> values;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      uint8_t v[3];
      for (int c = 0; c < 3; ++c) {
        const int i = at(x, y) + c;
        v[c] = uint8_t((backdropPixels[i] * weight + snapshotPixels[i] * (100 - weight)) / 100);
      }
      values.push_back(f->palette ? SDL_MapRGB(f, v[0], v[1], v[2])
                                  : uint32_t(v[0] >> f->Rloss) << f->Rshift |
                                        uint32_t(v[1] >> f->Gloss) << f->Gshift |
                                        uint32_t(v[2] >> f->Bloss) << f->Bshift);
    }
  }
  return values;
}

// Index of the first difference, for a message that says where; -1 when equal.
template <typename T>
long firstDifference(const std::vector<T>& a, const T* b, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (a[i] != b[i]) return long(i);
  return -1;
}

// ---- Screens and work surfaces ------------------------------------------------------------

void fillRandom(SDL_Surface* surface, uint32_t seed) {
  std::mt19937 random(seed);
  SDL_LockSurface(surface);
  uint8_t* bytes = static_cast<uint8_t*>(surface->pixels);
  for (int i = 0; i < surface->pitch * surface->h; ++i) bytes[i] = uint8_t(random());
  SDL_UnlockSurface(surface);
}

void fillColour(SDL_Surface* surface, uint8_t r, uint8_t g, uint8_t b) {
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, r, g, b));
}

// A screen mode of the display, or (when masks are given) a 32-bit surface of another channel
// order standing in for Screen, with the work surfaces in the same format as the real loader
// would make them (from the display) or in Screen's own format.
struct ScreenFormat {
  const char* name;
  int bitsPerPixel;
  uint32_t rMask, gMask, bMask, aMask;  // all 0: the display's own format
  bool workInScreenFormat;
};

void openScreen(const ScreenFormat& format) {
  openTestScreen(format.bitsPerPixel);
  if (format.rMask != 0) {
    Screen = SDL_CreateRGBSurface(SDL_SWSURFACE, W, H, 32, format.rMask, format.gMask,
                                  format.bMask, format.aMask);
  }
  SDL_Surface* model = Screen;
  overlayMedia.snapshotSurface = format.workInScreenFormat
                                     ? SDL_ConvertSurface(model, model->format, SDL_SWSURFACE)
                                     : SDL_DisplayFormat(model);
  overlayMedia.backdropSurface = format.workInScreenFormat
                                     ? SDL_ConvertSurface(model, model->format, SDL_SWSURFACE)
                                     : SDL_DisplayFormat(model);
}

void closeScreen(const ScreenFormat& format) {
  SDL_FreeSurface(overlayMedia.snapshotSurface);
  SDL_FreeSurface(overlayMedia.backdropSurface);
  overlayMedia.snapshotSurface = nullptr;
  overlayMedia.backdropSurface = nullptr;
  if (format.rMask != 0) SDL_FreeSurface(Screen);
  closeTestScreen();
}

const ScreenFormat SCREEN_FORMATS[] = {
    {"32-bit display", 32, 0, 0, 0, 0, false},
    {"24-bit display", 24, 0, 0, 0, 0, false},
    {"16-bit display", 16, 0, 0, 0, 0, false},
    {"8-bit palette display", 8, 0, 0, 0, 0, false},
    {"32-bit blue-first screen, display-format work surfaces", 32, 0xFF, 0xFF00, 0xFF0000, 0,
     false},
    {"32-bit blue-first screen with alpha bits, same-format work surfaces", 32, 0xFF00, 0xFF0000,
     0xFF000000, 0xFF, true},
};

struct KernelChoice {
  const char* name;
  BackdropKernels kernels;
};
const KernelChoice KERNELS[] = {{"fastest kernels", BackdropKernels::Fastest},
                                {"AVX2 kernels", BackdropKernels::Avx2},
                                {"portable kernels", BackdropKernels::Portable}};

// ---- Tests ------------------------------------------------------------------------------------

TEST(PauseBackdrop, CaptureEqualsThePlainSixPassesOnRandomPictures) {
  for (const ScreenFormat& format : SCREEN_FORMATS) {
    for (const KernelChoice& kernel : KERNELS) {
      SCOPED_TRACE(std::string(format.name) + ", " + kernel.name);
      openScreen(format);
      setBackdropKernelsForTests(kernel.kernels);
      fillRandom(Screen, 1234);
      const Picture expected = literalBackdrop(Screen);

      capturePauseBackdrop();

      EXPECT_EQ(firstDifference(expected, backdropPixels, BYTES), -1) << "backdropPixels";
      const std::vector<uint32_t> mapped =
          literalMapped(expected, overlayMedia.backdropSurface->format);
      EXPECT_EQ(surfaceValues(overlayMedia.backdropSurface), mapped) << "backdropSurface";
      const Picture snapshot = literalDecode(overlayMedia.snapshotSurface);
      EXPECT_EQ(firstDifference(snapshot, snapshotPixels, BYTES), -1) << "snapshotPixels";
      if (format.bitsPerPixel == 32 && format.rMask == 0) {
        EXPECT_EQ(snapshot, literalDecode(Screen)) << "the snapshot is the screen as it was";
      }
      closeScreen(format);
    }
  }
}

TEST(PauseBackdrop, FlatPicturesStayFlatAndAreLightened) {
  struct Row {
    const char* name;
    uint8_t in[3];
    uint8_t out[3];
  };
  const Row rows[] = {
      {"black becomes 100", {0, 0, 0}, {100, 100, 100}},
      {"white stays 255", {255, 255, 255}, {255, 255, 255}},
      {"mid colours rise by 50", {60, 128, 204}, {110, 178, 254}},
      {"odd values survive the rounding pass", {1, 3, 49}, {100, 100, 100}},
      {"just under the clamp", {51, 205, 206}, {101, 255, 255}},
  };
  openScreen(SCREEN_FORMATS[0]);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fillColour(Screen, row.in[0], row.in[1], row.in[2]);
    capturePauseBackdrop();
    long wrong = -1;
    for (int i = 0; i < BYTES && wrong < 0; ++i)
      if (backdropPixels[i] != row.out[i % 3]) wrong = i;
    EXPECT_EQ(wrong, -1) << "byte " << wrong << " is " << int(backdropPixels[wrong < 0 ? 0 : wrong]);
  }
  closeScreen(SCREEN_FORMATS[0]);
}

TEST(PauseBackdrop, OutermostRingIsLightenedButNotBlurred) {
  openScreen(SCREEN_FORMATS[0]);
  fillRandom(Screen, 99);
  const Picture original = literalDecode(Screen);
  capturePauseBackdrop();
  int ringWrong = 0;
  int secondRingUnblurred = 0;
  for (int x = 0; x < W; ++x) {
    for (int y = 0; y < H; ++y) {
      const bool ring = x == 0 || y == 0 || x == W - 1 || y == H - 1;
      const bool secondRing = !ring && (x == 1 || y == 1 || x == W - 2 || y == H - 2);
      for (int c = 0; c < 3; ++c) {
        const int lightened = std::min(255, std::max(100, original[at(x, y) + c] + 50));
        if (ring && backdropPixels[at(x, y) + c] != lightened) ++ringWrong;
        if (secondRing && backdropPixels[at(x, y) + c] == lightened) ++secondRingUnblurred;
      }
    }
  }
  EXPECT_EQ(ringWrong, 0);
  // On random noise, the blurred second ring matches its own lightened value only by chance.
  EXPECT_LT(secondRingUnblurred, 2 * (W + H) * 3 / 4);
  closeScreen(SCREEN_FORMATS[0]);
}

TEST(PauseBackdrop, BlendEqualsThePlainMixtureForEveryWeightAndByte) {
  // Every (backdrop, snapshot) byte pair appears in the buffers, so each weight checks the whole
  // arithmetic of the mixture and the packing. The vector kernel divides by 100 through a
  // multiply, so on the common display it is checked at every weight; elsewhere at the ends
  // and in the middle.
  for (int i = 0; i < BYTES; ++i) {
    const int pair = (i / 3 + 7919 * (i % 3)) % 65536;
    backdropPixels[i] = uint8_t(pair >> 8);
    snapshotPixels[i] = uint8_t(pair);
  }
  for (const ScreenFormat& format : SCREEN_FORMATS) {
    if (format.bitsPerPixel == 8) continue;  // below, with fewer weights: SDL_MapRGB is slow
    for (const KernelChoice& kernel : KERNELS) {
      SCOPED_TRACE(std::string(format.name) + ", " + kernel.name);
      openScreen(format);
      setBackdropKernelsForTests(kernel.kernels);
      const bool everyWeight = format.rMask == 0 && format.bitsPerPixel == 32 &&
                               kernel.kernels == BackdropKernels::Fastest;
      for (int weight = 0; weight < 100; weight += everyWeight || weight % 49 < 2 ? 1 : 47) {
        overlayFade = weight + (weight % 2 ? 0.999 : 0.001);
        drawPauseBackdrop();
        ASSERT_EQ(surfaceValues(Screen), literalBlend(weight, Screen->format))
            << "weight " << weight;
      }
      closeScreen(format);
    }
  }
}

TEST(PauseBackdrop, BlendOnAPaletteDisplayMapsEachMixture) {
  openScreen(SCREEN_FORMATS[3]);
  std::mt19937 random(5);
  for (int i = 0; i < BYTES; ++i) {
    backdropPixels[i] = uint8_t(random());
    snapshotPixels[i] = uint8_t(random());
  }
  for (const double fade : {0.5, 37.2, 99.687}) {
    overlayFade = fade;
    drawPauseBackdrop();
    EXPECT_EQ(surfaceValues(Screen), literalBlend(int(fade), Screen->format)) << "fade " << fade;
  }
  closeScreen(SCREEN_FORMATS[3]);
}

TEST(PauseBackdrop, WhatEachFadeDraws) {
  openScreen(SCREEN_FORMATS[0]);
  fillRandom(Screen, 77);
  // The random top byte of each pixel is no colour: what is captured is the picture without it.
  SDL_Surface* picture = SDL_ConvertSurface(Screen, Screen->format, SDL_SWSURFACE);
  capturePauseBackdrop();
  const std::vector<uint32_t> snapshotShown = literalMapped(literalDecode(picture), Screen->format);
  const std::vector<uint32_t> processed = surfaceValues(overlayMedia.backdropSurface);

  struct Row {
    const char* name;
    double fade;
    std::vector<uint32_t> expected;  // empty: Screen keeps its garbage
  };
  const Row rows[] = {
      {"0.0 draws nothing", 0.0, {}},
      {"0.313 shows the snapshot unchanged", 0.313, snapshotShown},
      {"0.999 still weight 0", 0.999, snapshotShown},
      {"99.687 blends with weight 99", 99.687, literalBlend(99, Screen->format)},
      {"100.0 blits the processed picture", 100.0, processed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fillRandom(Screen, 3);
    const std::vector<uint32_t> garbage = surfaceValues(Screen);
    overlayFade = row.fade;
    drawPauseBackdrop();
    EXPECT_EQ(surfaceValues(Screen), row.expected.empty() ? garbage : row.expected);
  }
  EXPECT_NE(literalBlend(99, Screen->format), processed) << "weight 99 must differ from the blit";
  SDL_FreeSurface(picture);
  closeScreen(SCREEN_FORMATS[0]);
}

TEST(PauseBackdrop, WithoutAWorkSurfaceNothingIsTouched) {
  for (const bool missingSnapshot : {true, false}) {
    SCOPED_TRACE(missingSnapshot ? "no snapshot surface" : "no backdrop surface");
    openScreen(SCREEN_FORMATS[0]);
    SDL_Surface*& missing =
        missingSnapshot ? overlayMedia.snapshotSurface : overlayMedia.backdropSurface;
    SDL_Surface* other =
        missingSnapshot ? overlayMedia.backdropSurface : overlayMedia.snapshotSurface;
    SDL_FreeSurface(missing);
    missing = nullptr;
    std::memset(backdropPixels, 17, BYTES);
    std::memset(snapshotPixels, 34, BYTES);
    fillColour(other, 1, 2, 3);
    fillRandom(Screen, 8);
    const std::vector<uint32_t> screenBefore = surfaceValues(Screen);
    const std::vector<uint32_t> otherBefore = surfaceValues(other);

    capturePauseBackdrop();
    for (const double fade : {50.0, 100.0}) {
      overlayFade = fade;
      drawPauseBackdrop();
    }

    EXPECT_EQ(std::count(backdropPixels, backdropPixels + BYTES, 17), BYTES);
    EXPECT_EQ(std::count(snapshotPixels, snapshotPixels + BYTES, 34), BYTES);
    EXPECT_EQ(surfaceValues(Screen), screenBefore);
    EXPECT_EQ(surfaceValues(other), otherBefore);
    closeScreen(SCREEN_FORMATS[0]);
  }
}

TEST(PauseBackdrop, SurfacesThatMustBeLockedAreLockedAroundPixelAccess) {
  const ScreenFormat SAME_FORMAT_EVERYWHERE = {"32-bit blue-first", 32, 0xFF, 0xFF00, 0xFF0000, 0,
                                               true};
  // An RLE-accelerated surface gives up its pixel memory until it is locked (SDL_MUSTLOCK), so
  // touching it without the lock would write through a null pointer.
  for (const bool screenEncoded : {true, false}) {
    SCOPED_TRACE(screenEncoded ? "Screen run-length encoded" : "backdrop surface run-length encoded");
    // The work surfaces share Screen's format, so that blits from Screen keep it encoded.
    openScreen(SAME_FORMAT_EVERYWHERE);
    fillRandom(Screen, 31);
    SDL_Surface* encoded = screenEncoded ? Screen : overlayMedia.backdropSurface;
    // A key that appears nowhere: the random picture loses it, and no lightened colour is dark.
    const uint32_t key = SDL_MapRGB(encoded->format, 1, 2, 3);
    SDL_LockSurface(Screen);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if ((readPixel(Screen, x, y) & 0xFFFFFF) == key) writePixel(Screen, x, y, key ^ 1);
    SDL_UnlockSurface(Screen);
    SDL_SetColorKey(encoded, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
    SDL_Surface* scratch = SDL_ConvertSurface(encoded, encoded->format, SDL_SWSURFACE);
    SDL_Rect origin{0, 0, 0, 0};
    SDL_UpperBlit(encoded, nullptr, scratch, &origin);  // the first blit to its own format encodes it
    if (onSdl12Compat() && !SDL_MUSTLOCK(encoded)) {
      SDL_FreeSurface(scratch);
      closeScreen(SAME_FORMAT_EVERYWHERE);
      GTEST_SKIP() << "sdl12-compat never run-length encodes a surface, so none needs the lock";
    }
    ASSERT_TRUE(SDL_MUSTLOCK(encoded));
    ASSERT_EQ(encoded->pixels, nullptr);
    const Picture expected = literalBackdrop(Screen);

    capturePauseBackdrop();
    EXPECT_EQ(firstDifference(expected, backdropPixels, BYTES), -1);
    overlayFade = screenEncoded ? 50.5 : 100.0;
    drawPauseBackdrop();
    EXPECT_EQ(surfaceValues(Screen), screenEncoded ? literalBlend(50, Screen->format)
                                                   : literalMapped(expected, Screen->format));
    SDL_FreeSurface(scratch);
    closeScreen(SAME_FORMAT_EVERYWHERE);
  }
}

}  // namespace
