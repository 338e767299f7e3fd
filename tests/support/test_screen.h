// tests/support/test_screen.h -- a real SDL display for headless tests (the dummy video driver),
// set as the game's Screen, and small helpers for pushing input into SDL's queue.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// Opens a 640 by 480 software screen of `bitsPerPixel` (8, 16, 24 or 32) with SDL's video (dummy
// driver unless the environment names another) as Screen, and returns it; closing shuts SDL down.
SDL_Surface* openTestScreen(int bitsPerPixel = 32);
void closeTestScreen();

// Queue one event as a player would cause it.
void pushKey(int symbol, bool down);
void pushMouseButton(int button, bool down);
void pushEvent(Uint8 type);  // an event with nothing but its type: SDL_QUIT, SDL_MOUSEMOTION

// True when the SDL 1.2 loaded is sdl12-compat (1.2.50 and up) rather than classic SDL 1.2.15;
// their alpha blends round apart (a 50% blend is 127 classic, 128 compat).
bool onSdl12Compat();

// The repository root (where Media/ is) and a fresh empty folder for files a test writes.
std::string sourceDir();
std::string makeTempDir();

// Screen's pixel (x, y) as 0xRRGGBB; every raw pixel value row by row; raw noise from `seed`.
uint32_t screenRgb(int x, int y);
std::vector<uint32_t> screenValues();
void fillScreenWithNoise(uint32_t seed);

// A whole file's bytes ("" when it cannot be read), and a file made to hold exactly `bytes`.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);

// While pinned, the calendar time the game reads is `seconds`; unpinned, the real clock's.
void pinCalendarTime(int64_t seconds);
void unpinCalendarTime();

// The working directory for a test's lifetime: `dir`, or a fresh one removed at the end.
struct ScopedWorkingDir {
  ScopedWorkingDir();
  explicit ScopedWorkingDir(const std::string& dir);
  ~ScopedWorkingDir();
  std::string dir, previous;
  bool scratch = false;
};
