// web/events.cpp -- SDL 1.2's mask-based SDL_PeepEvents and SDL_GetKeyState over Emscripten's
// SDL, with the browser's key symbols translated to SDL 1.2's.
#include "web/keys.h"
#include "web/sdl12.h"

#include <emscripten.h>

#include <algorithm>

namespace {

// The SDL 1.2 event types that the game asks for by mask, and the SDL 1.3 type Emscripten
// gives each. Every other bit of a mask that is not SDL_ALLEVENTS takes nothing.
struct TypePair {
  Uint32 sdl12Type;
  Uint32 sdl13Type;
};

constexpr TypePair TYPE_PAIRS[] = {
    {SDL12_KEYDOWN_TYPE, SDL_KEYDOWN},
    {SDL12_KEYUP_TYPE, SDL_KEYUP},
    {SDL12_MOUSEMOTION_TYPE, SDL_MOUSEMOTION},
    {SDL12_MOUSEBUTTONDOWN_TYPE, SDL_MOUSEBUTTONDOWN},
    {SDL12_MOUSEBUTTONUP_TYPE, SDL_MOUSEBUTTONUP},
    {SDL12_QUIT_TYPE, SDL_QUIT},
};

Uint8 sdl12KeyTable[SDL12_KEY_COUNT];

// Takes one event with a type from `first` to `last` (SDL 1.3 numbers); 1 when one was taken.
int takeOne(SDL_Event* event, Uint32 first, Uint32 last) {
  return SDL_PeepEvents(event, 1, SDL_GETEVENT, first, last);
}

int takeOneMasked(SDL_Event* event, Uint32 mask) {
  if (mask == SDL_ALLEVENTS) return takeOne(event, SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (const TypePair& pair : TYPE_PAIRS) {
    if ((mask & (1u << pair.sdl12Type)) == 0) continue;
    const int taken = takeOne(event, pair.sdl13Type, pair.sdl13Type);
    if (taken != 0) return taken;
  }
  return 0;
}

int queuedEventCount() { return EM_ASM_INT({ return SDL.events.length; }); }

}  // namespace

int SDL_PeepEvents(SDL_Event* events, int count, SDL_eventaction action, Uint32 mask) {
  if (action == SDL_PEEKEVENT) return std::min(count, queuedEventCount());
  if (action != SDL_GETEVENT) return -1;
  int taken = 0;
  while (taken < count && takeOneMasked(&events[taken], mask) > 0) {
    SDL_Event& event = events[taken];
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
      event.key.keysym.sym = SDL_Keycode(sdl12KeyOf(event.key.keysym.sym));
    }
    ++taken;
  }
  return taken;
}

Uint8* SDL_GetKeyState(int* count) {
  int keycodes = 0;
  const Uint8* down = SDL_GetKeyboardState(&keycodes);
  for (int symbol = 0; symbol < SDL12_KEY_COUNT; ++symbol) {
    const int32_t keycode = sdl13KeyOf(symbol);
    sdl12KeyTable[symbol] = keycode >= 0 && keycode < keycodes ? down[keycode] : 0;
  }
  if (count != nullptr) *count = SDL12_KEY_COUNT;
  return sdl12KeyTable;
}
