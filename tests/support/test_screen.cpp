// tests/support/test_screen.cpp -- headless SDL screens and input for the tests.
#include "support/test_screen.h"

#include "app/screen.h"
#include "platform/pixels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <time.h>
#include <unistd.h>

SDL_Surface* openTestScreen(int bitsPerPixel) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    EXPECT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  Screen = SDL_SetVideoMode(640, 480, bitsPerPixel, SDL_SWSURFACE);
  EXPECT_NE(Screen, nullptr) << SDL_GetError();
  if (Screen != nullptr) {
    EXPECT_EQ(Screen->format->BitsPerPixel, bitsPerPixel) << "the dummy driver gave another depth";
  }
  return Screen;
}

void closeTestScreen() {
  SDL_Quit();
  Screen = nullptr;
}

void pushKey(int symbol, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  // Through its bytes: a made-up symbol beyond SDLKey's range is not a valid enum value.
  const uint32_t raw = uint32_t(symbol);
  std::memcpy(&event.key.keysym.sym, &raw, sizeof raw);
  ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushMouseButton(int button, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.button = Uint8(button);
  ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushEvent(Uint8 type) {
  SDL_Event event{};
  event.type = type;
  ASSERT_EQ(SDL_PushEvent(&event), 0);
}

bool onSdl12Compat() {
  constexpr int FIRST_COMPAT_PATCH = 50;
  return SDL_Linked_Version()->patch >= FIRST_COMPAT_PATCH;
}

std::string sourceDir() { return ZARAZ_SOURCE_DIR; }

constexpr char TEMP_DIR_PREFIX[] = "/tmp/zaraz-test-";

std::string makeTempDir() {
  char pattern[] = "/tmp/zaraz-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  EXPECT_NE(made, nullptr);
  return made ? made : "/tmp";
}

uint32_t screenRgb(int x, int y) {
  Uint8 r, g, b;
  SDL_GetRGB(PixelGrid(Screen).read(x, y), Screen->format, &r, &g, &b);
  return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

std::vector<uint32_t> screenValues() {
  std::vector<uint32_t> values;
  for (int y = 0; y < Screen->h; ++y)
    for (int x = 0; x < Screen->w; ++x) values.push_back(PixelGrid(Screen).read(x, y));
  return values;
}

void fillScreenWithNoise(uint32_t seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < Screen->h; ++y)
    for (int x = 0; x < Screen->w; ++x) PixelGrid(Screen).write(x, y, uint32_t(random()));
}

std::string readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

ScopedWorkingDir::ScopedWorkingDir() : ScopedWorkingDir(makeTempDir()) {
  scratch = dir.rfind(TEMP_DIR_PREFIX, 0) == 0;  // never the fallback: /tmp itself
}

ScopedWorkingDir::ScopedWorkingDir(const std::string& dir) : dir(dir) {
  char buffer[4096];
  previous = getcwd(buffer, sizeof buffer) ? buffer : ".";
  EXPECT_EQ(chdir(dir.c_str()), 0) << dir;
}

ScopedWorkingDir::~ScopedWorkingDir() {
  if (chdir(previous.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous;
  if (scratch) std::filesystem::remove_all(dir);
}

namespace {
bool calendarTimePinned = false;
time_t pinnedCalendarTime = 0;
}  // namespace

void pinCalendarTime(int64_t seconds) {
  pinnedCalendarTime = time_t(seconds);
  calendarTimePinned = true;
}

void unpinCalendarTime() { calendarTimePinned = false; }

// The test binary's own time() stands in front of the C library's, so that a test can pin the
// calendar time that the game reads through it.
extern "C" time_t time(time_t* out) noexcept {
  timespec now{};
  if (!calendarTimePinned) clock_gettime(CLOCK_REALTIME, &now);
  const time_t value = calendarTimePinned ? pinnedCalendarTime : now.tv_sec;
  if (out != nullptr) *out = value;
  return value;
}
