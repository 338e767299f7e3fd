// app/main.cpp -- the program's entry: start up, then run frames until a quit is requested.
#include "app/frame.h"
#include "app/startup.h"

#include <SDL.h>

int main(int, char**) {
  if (!startUp()) {
    SDL_Quit();
    return 1;
  }
  runFrameLoop();
  // SDL's own shutdown restores the display; nothing of the game is written on the way out.
  SDL_Quit();
  return 0;
}
