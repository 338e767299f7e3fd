// tests/platform/alpha_blit_test.cpp -- the program's alpha blend gives exactly SDL's blit: on
// random screens (the unused top byte too), for random parts and places clipped every way, at
// every display depth, for images of every alpha and for images without per-pixel alpha.
#include "platform/alpha_blit.h"

#include "app/screen.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// An image as the loader makes it (SDL_DisplayFormatAlpha of 32-bit ARGB), its alpha drawn from
// 0, 255 and everything between; or, without alpha, SDL_DisplayFormat of the same.
SDL_Surface* randomImage(int w, int h, bool alpha, uint32_t seed) {
  std::mt19937 random(seed);
  SDL_Surface* raw = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF,
                                          0xFF000000u);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t roll = random() % 4;
      const uint32_t a = roll == 0 ? 0 : roll == 1 ? 255 : random() % 256;
      writePixel(raw, x, y, a << 24 | (random() & 0xFFFFFF));
    }
  }
  SDL_Surface* converted = alpha ? SDL_DisplayFormatAlpha(raw) : SDL_DisplayFormat(raw);
  SDL_FreeSurface(raw);
  return converted;
}

// Blits by SDL and by the program's blend on the same noise; the first difference, or "".
std::string compareWithSdl(SDL_Surface* image, const SDL_Rect* part, int x, int y,
                           uint32_t seed) {
  auto draw = [&](bool blend) {
    return [=] {
      alphaBlitMayBlend = blend;
      blitAlphaImage(image, part, x, y);
    };
  };
  return firstDifferenceOnNoise(seed, draw(false), draw(true));
}

TEST(AlphaBlit, SameAsSdlForEveryPartAndPlace) {
  std::mt19937 random(4242);
  auto in = [&](int low, int high) { return low + int(random() % uint32_t(high - low + 1)); };
  for (const int depth : {32, 24, 16, 8}) {
    ASSERT_NE(openTestScreen(depth), nullptr);
    SDL_Surface* images[] = {randomImage(300, 50, true, 1), randomImage(37, 21, true, 2),
                             randomImage(40, 30, false, 3)};
    for (SDL_Surface* image : images) {
      SCOPED_TRACE(std::to_string(depth) + " bits, " + std::to_string(image->w) + " x " +
                   std::to_string(image->h));
      EXPECT_EQ(compareWithSdl(image, nullptr, 10, 20, 1), "") << "whole, inside";
      EXPECT_EQ(compareWithSdl(image, nullptr, -13, -7, 2), "") << "whole, over the top left";
      EXPECT_EQ(compareWithSdl(image, nullptr, 620, 470, 3), "") << "whole, over the far edges";
      for (int trial = 0; trial < 12; ++trial) {
        // Parts that start before the image or reach past it, places on and off the screen.
        const SDL_Rect part{Sint16(in(-10, image->w)), Sint16(in(-10, image->h)),
                            Uint16(in(0, image->w + 10)), Uint16(in(0, image->h + 10))};
        const int x = in(-60, 660), y = in(-60, 500);
        EXPECT_EQ(compareWithSdl(image, &part, x, y, uint32_t(trial)), "")
            << "part " << part.x << ", " << part.y << ", " << part.w << " x " << part.h
            << " at " << x << ", " << y;
      }
    }
    SDL_Rect clip{100, 50, 300, 200};
    SDL_SetClipRect(Screen, &clip);
    for (const int x : {80, 350}) {
      EXPECT_EQ(compareWithSdl(images[0], nullptr, x, 40, 7), "") << depth << " bits, clip, " << x;
    }
    SDL_SetClipRect(Screen, nullptr);
    for (SDL_Surface* image : images) SDL_FreeSurface(image);
    closeTestScreen();
  }
}

TEST(AlphaBlit, ImagesMadeAfterOthersAreBlendedAsTheyAre) {
  ASSERT_NE(openTestScreen(32), nullptr);
  // More images than the cache holds, each freed after its draws, all of one size.
  for (uint32_t round = 0; round < 11; ++round) {
    SDL_Surface* image = randomImage(64, 32, true, 50 + round);
    EXPECT_EQ(compareWithSdl(image, nullptr, 5, 6, round), "") << "round " << round;
    SDL_FreeSurface(image);
  }
  closeTestScreen();
}

}  // namespace
