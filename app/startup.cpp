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
#include <initializer_list>

SDL_Surface* Screen;
int32_t framesPerSecond = 60;
Mix_Music* gameMusic;

namespace {
constexpr const char* WINDOW_CAPTION = "Zaraz";
constexpr const char* MUSIC_FILE = "Media/Game/SlowDown.ogg";
constexpr int LOOP_FOREVER = -1;

const char* variableOrEmpty(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr ? value : "";
}

// With no display SDL 1.2 draws the game as text art on the terminal: a clear message serves a
// player better. SDL_VIDEODRIVER, an X display or Wayland (sdl12-compat draws there) will do.
bool displayExpected() {
#ifdef _WIN32
  return true;
#else
  return std::getenv("SDL_VIDEODRIVER") != nullptr || variableOrEmpty("DISPLAY")[0] != 0 ||
         variableOrEmpty("WAYLAND_DISPLAY")[0] != 0;
#endif
}

// The same rule after SDL has chosen its driver: with a display named but no server behind it,
// classic SDL settles for text art and sdl12-compat for drawing off screen. Leaves the driver's
// name in `name`.
bool hasRealDisplay(char (&name)[32]) {
  if (SDL_VideoDriverName(name, sizeof name) == nullptr) return false;
  if (std::getenv("SDL_VIDEODRIVER") != nullptr) return true;
  for (const char* windowless : {"caca", "aalib", "offscreen"})
    if (std::strcmp(name, windowless) == 0) return false;
  return true;
}

// SDL with everything, or without sound when no sound device can be opened (sdl12-compat fails
// the whole start for want of one; classic SDL never does). Only a failure of the video driver
// stops the game, and the message is its own.
bool startSdl() {
  if (SDL_Init(SDL_INIT_EVERYTHING) == 0) return true;
  // sdl12-compat counts every part of a failed start as started, so that asking again would do
  // nothing; shutting all of them down by name clears that count on both flavours.
  SDL_QuitSubSystem(SDL_INIT_EVERYTHING);
  if (SDL_Init(SDL_INIT_EVERYTHING & ~SDL_INIT_AUDIO) == 0) return true;
  std::fprintf(stderr, "zaraz: cannot start SDL's video: %s\n", SDL_GetError());
  return false;
}
}  // namespace

bool startUp() {
  std::srand(uint32_t(currentCalendarTime()));

  if (!displayExpected()) {
    std::fprintf(stderr,
                 "zaraz: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is "
                 "set); set SDL_VIDEODRIVER to choose a video driver by hand\n");
    return false;
  }
  if (!startSdl()) return false;
  char driver[32] = "";
  if (!hasRealDisplay(driver)) {
    std::fprintf(stderr,
                 "zaraz: no display to open a window on (DISPLAY=%s, WAYLAND_DISPLAY=%s): SDL "
                 "found only its \"%s\" driver, which opens no window\n",
                 variableOrEmpty("DISPLAY"), variableOrEmpty("WAYLAND_DISPLAY"), driver);
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
  resetGame();

  // Without a sound device these fail and the game runs silent; the calls are still made (with
  // SDL's audio not started, Mix_OpenAudio tries the device once more and fails the same way).
  Mix_OpenAudio(0, 0, 0, 0);
  gameMusic = Mix_LoadMUS(MUSIC_FILE);
  Mix_VolumeMusic(MUSIC_VOLUME);
  Mix_PlayMusic(gameMusic, LOOP_FOREVER);

  framesPerSecond = 30;
  loadOverlayMedia();
  return true;
}
