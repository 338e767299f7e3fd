// tests/support/main.cpp -- the test binary's entry: SDL's headless drivers and a fixed time zone
// unless the environment already names others, so the suite runs the same by hand and in CTest.
#include "support/test_screen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("TZ", "UTC", 0);
  tzset();
  // A pass meant for sdl12-compat (scripts/sdl-flavour) that loaded classic SDL, or the reverse,
  // would pass without testing what it claims to.
  const char* flavour = std::getenv("ZARAZ_SDL_FLAVOUR");
  if (flavour != nullptr && flavour[0] != 0 &&
      std::strcmp(flavour, onSdl12Compat() ? "compat" : "classic") != 0) {
    std::fprintf(stderr, "ZARAZ_SDL_FLAVOUR is %s, but the SDL 1.2 loaded is the other one\n",
                 flavour);
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
