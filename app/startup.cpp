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

SDL_Surface* Screen;
int32_t framesPerSecond = 60;
Mix_Music* gameMusic;

namespace {
constexpr const char* WINDOW_CAPTION = "Zaraz";
constexpr const char* MUSIC_FILE = "Media/Game/SlowDown.ogg";
constexpr int LOOP_FOREVER = -1;
}  // namespace

bool startUp() {
  std::srand(uint32_t(currentCalendarTime()));

  if (SDL_Init(SDL_INIT_EVERYTHING) != 0) {
    std::fprintf(stderr, "zaraz: cannot initialise SDL: %s\n", SDL_GetError());
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
