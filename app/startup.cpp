// app/startup.cpp -- the start-up sequence, in its fixed order.
#include "app/startup.h"

#include "app/screen.h"
#include "game/media.h"
#include "game/reset.h"
#include "overlay/images.h"
#include "platform/clock.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

SDL_Surface* Screen;
int32_t framesPerSecond = 60;
Mix_Music* gameMusic;

namespace {
constexpr const char* WINDOW_CAPTION = "Zaraz";
constexpr const char* MUSIC_FILE = "Media/Game/SlowDown.ogg";
constexpr int LOOP_FOREVER = -1;

// With no display, SDL 1.2 falls back to drawing the game as text art on the terminal. A player
// is better served by a clear message; whoever names a driver in SDL_VIDEODRIVER gets it.
bool displayExpected() {
#ifdef _WIN32
  return true;
#else
  const char* display = std::getenv("DISPLAY");
  return std::getenv("SDL_VIDEODRIVER") != nullptr || (display != nullptr && display[0] != 0);
#endif
}

// The same rule after SDL has chosen its driver (DISPLAY set but no X server behind it).
bool hasRealDisplay() {
  if (std::getenv("SDL_VIDEODRIVER") != nullptr) return true;
  char name[32] = "";
  if (SDL_VideoDriverName(name, sizeof name) == nullptr) return false;
  return std::strcmp(name, "caca") != 0 && std::strcmp(name, "aalib") != 0;
}
}  // namespace

bool startUp() {
  std::srand(uint32_t(currentCalendarTime()));

  if (!displayExpected()) {
    std::fprintf(stderr,
                 "zaraz: no display to open a window on (DISPLAY is not set); set "
                 "SDL_VIDEODRIVER to choose a video driver by hand\n");
    return false;
  }
  if (SDL_Init(SDL_INIT_EVERYTHING) != 0) {
    std::fprintf(stderr, "zaraz: cannot start SDL (is there a display?): %s\n", SDL_GetError());
    return false;
  }
  if (!hasRealDisplay()) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "zaraz: no display to open a window on (DISPLAY=%s)\n",
                 display != nullptr ? display : "");
    return false;
  }
  SDL_ShowCursor(SDL_DISABLE);  // the overlay draws the game's own pointer

  Screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, 0, SDL_DOUBLEBUF);
  if (Screen == nullptr) {
    std::fprintf(stderr, "zaraz: cannot open a %dx%d window: %s\n", SCREEN_WIDTH, SCREEN_HEIGHT,
                 SDL_GetError());
    return false;
  }
  SDL_WM_SetCaption(WINDOW_CAPTION, nullptr);

  if (!loadGameMedia()) return false;
  resetGame();  // loads the stored best score

  // Without a sound device these fail and the game runs silent; the calls are still made.
  Mix_OpenAudio(0, 0, 0, 0);
  gameMusic = Mix_LoadMUS(MUSIC_FILE);
  Mix_VolumeMusic(MUSIC_VOLUME);
  Mix_PlayMusic(gameMusic, LOOP_FOREVER);

  framesPerSecond = 30;
  loadOverlayMedia();
  return true;
}
