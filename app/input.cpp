// app/input.cpp -- turning SDL's queued key and button events into the per-frame InputState.
#include "app/input.h"

#include "app/screen.h"

#include <cstring>

InputState inputState;

namespace {

// Every entry that is down becomes Held: a Pressed entry lasts one frame.
void ageEntries(KeyState* entries, int count) {
  for (int i = 0; i < count; ++i) {
    if (entries[i] != KeyState::Up) entries[i] = KeyState::Held;
  }
}

// Takes every queued event of one type out of SDL's queue and returns the number taken into
// `event` one at a time through `apply`.
template <typename Apply>
void takeEvents(Uint32 mask, Apply apply) {
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, mask) > 0) apply(event);
}

// The key symbol as the integer SDL stored. Read through its bytes: a symbol beyond SDLKey's own
// range (any event pushed with a made-up symbol) is not a valid enum value to load.
uint32_t keySymbolOf(const SDL_Event& event) {
  static_assert(sizeof event.key.keysym.sym == sizeof(uint32_t));
  uint32_t symbol;
  std::memcpy(&symbol, &event.key.keysym.sym, sizeof symbol);
  return symbol;
}

int32_t clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : value > high ? high : value;
}

}  // namespace

void updateInput() {
  // Events are applied by type, not in arrival order: every down before every up, so a key
  // pressed and released within one frame ends it Up.
  ageEntries(inputState.keys, KEY_COUNT);
  takeEvents(SDL_KEYDOWNMASK, [](const SDL_Event& event) {
    if (keySymbolOf(event) < KEY_COUNT) inputState.keys[keySymbolOf(event)] = KeyState::Pressed;
  });
  takeEvents(SDL_KEYUPMASK, [](const SDL_Event& event) {
    if (keySymbolOf(event) < KEY_COUNT) inputState.keys[keySymbolOf(event)] = KeyState::Up;
  });

  ageEntries(inputState.mouseButtons, MOUSE_BUTTON_COUNT);
  takeEvents(SDL_MOUSEBUTTONDOWNMASK, [](const SDL_Event& event) {
    if (event.button.button < MOUSE_BUTTON_COUNT)
      inputState.mouseButtons[event.button.button] = KeyState::Pressed;
  });
  takeEvents(SDL_MOUSEBUTTONUPMASK, [](const SDL_Event& event) {
    if (event.button.button < MOUSE_BUTTON_COUNT)
      inputState.mouseButtons[event.button.button] = KeyState::Up;
  });

  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  // The bounds are the window's size itself, not its last pixel.
  inputState.mouseX = clamp(x, 0, SCREEN_WIDTH);
  inputState.mouseY = clamp(y, 0, SCREEN_HEIGHT);
}
