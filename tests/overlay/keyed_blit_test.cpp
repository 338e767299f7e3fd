// tests/overlay/keyed_blit_test.cpp -- the cached colour-keyed blit gives exactly SDL's blit: on
// random screens, at every place (clipped at each edge, by a clip rectangle, wholly off), at every
// display depth, for keyed, alpha and plain images, and for new images drawn after others.
#include "overlay/keyed_blit.h"

#include "app/screen.h"
#include "overlay/overlay_media.h"
#include "platform/pixels.h"
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using overlay_media::paintedImage;

// Mostly key colour with scattered and runs of drawn pixels, some of them black.
SDL_Surface* speckledImage(int w, int h, bool keyed, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint32_t> colours(size_t(w) * size_t(h));
  for (uint32_t& colour : colours) {
    const uint32_t roll = random() % 10;
    colour = roll < 6 ? overlay_media::CYAN : roll == 6 ? 0 : (random() & 0xFFFFFF);
  }
  return paintedImage(w, h, keyed, [&](int x, int y) { return colours[size_t(y) * w + x]; });
}

// Draws `image` at (x, y) by SDL and by the cache on the same noise; the first difference, or "".
std::string compareWithSdl(SDL_Surface* image, int x, int y, uint32_t seed) {
  auto draw = [&](bool copy) {
    return [=] {
      keyedBlitMayCopy = copy;
      blitKeyedImage(image, x, y);
    };
  };
  return firstDifferenceOnNoise(seed, draw(false), draw(true));
}

TEST(KeyedBlit, SameAsSdlEverywhereAtEveryDepth) {
  struct Place {
    const char* name;
    int x, y;
  };
  const Place places[] = {
      {"at the origin", 0, 0},         {"inside", 37, 121},      {"over the left edge", -50, 10},
      {"over the top edge", 5, -70},   {"over the right edge", 600, 300},
      {"over the bottom edge", 0, 419}, {"wholly below", 0, 500}, {"wholly left", -700, 0},
  };
  for (const int depth : {32, 24, 16, 8}) {
    ASSERT_NE(openTestScreen(depth), nullptr);
    SDL_Surface* images[] = {speckledImage(640, 143, true, 1), speckledImage(90, 40, true, 2),
                             speckledImage(64, 64, false, 3)};
    for (SDL_Surface* image : images) {
      for (const Place& place : places) {
        EXPECT_EQ(compareWithSdl(image, place.x, place.y, uint32_t(depth + place.x)), "")
            << depth << " bits, " << image->w << " x " << image->h << ", " << place.name;
      }
    }
    // A clip rectangle on the screen clips both the same way.
    SDL_Rect clip{100, 50, 300, 200};
    SDL_SetClipRect(Screen, &clip);
    EXPECT_EQ(compareWithSdl(images[0], 0, 40, 9), "") << depth << " bits, clipped";
    SDL_SetClipRect(Screen, nullptr);
    for (SDL_Surface* image : images) SDL_FreeSurface(image);
    closeTestScreen();
  }
}

TEST(KeyedBlit, ImagesMadeAfterOthersAreDrawnAsTheyAre) {
  ASSERT_NE(openTestScreen(32), nullptr);
  // More images than the cache holds, each freed after its draws, the same size every time.
  for (uint32_t round = 0; round < 7; ++round) {
    SDL_Surface* image = speckledImage(200, 100, true, 100 + round);
    EXPECT_EQ(compareWithSdl(image, 20, 30, round), "") << "round " << round;
    EXPECT_EQ(compareWithSdl(image, 21, 29, round), "") << "round " << round << ", moved";
    SDL_FreeSurface(image);
  }
  closeTestScreen();
}

}  // namespace
