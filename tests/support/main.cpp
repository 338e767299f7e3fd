// tests/support/main.cpp -- the test binary's entry: SDL's headless drivers and a fixed time zone
// unless the environment already names others, so the suite runs the same by hand and in CTest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("TZ", "UTC", 0);
  tzset();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
