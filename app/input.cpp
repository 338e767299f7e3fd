// app/input.cpp -- turning SDL's queued key and button events into the per-frame InputState.
#include "app/input.h"

#include "app/screen.h"

#include <algorithm>
#include <cstring>

InputState inputState;
bool inputEventsLost;

namespace {

constexpr int BUTTONS_IN_SDL_MASK = 8;  // SDL_GetMouseState's mask has one bit for buttons 1 to 8

// Every entry that is down becomes Held: a Pressed entry lasts one frame.
void ageEntries(KeyState* entries, int count) {
  for (int i = 0; i < count; ++i)
    if (entries[i] != KeyState::Up) entries[i] = KeyState::Held;
}

// The key symbol as the integer SDL stored. Read through its bytes: a symbol beyond SDLKey's own
// range (any event pushed with a made-up symbol) is not a valid enum value to load.
uint32_t keySymbolOf(const SDL_Event& event) {
  static_assert(sizeof event.key.keysym.sym == sizeof(uint32_t));
  uint32_t symbol;
  std::memcpy(&symbol, &event.key.keysym.sym, sizeof symbol);
  return symbol;
}

// Takes every queued event of one key or button type out of SDL's queue and sets the entry of
// its key symbol or button to `state`.
void applyEvents(Uint32 mask, KeyState state) {
  const bool keys = mask == SDL_KEYDOWNMASK || mask == SDL_KEYUPMASK;
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, mask) > 0) {
    const uint32_t index = keys ? keySymbolOf(event) : event.button.button;
    if (index < uint32_t(keys ? KEY_COUNT : MOUSE_BUTTON_COUNT))
      (keys ? inputState.keys : inputState.mouseButtons)[index] = state;
  }
}

int queuedEventCount() {
  SDL_Event queued[SDL_QUEUE_LIMIT + 1];
  return SDL_PeepEvents(queued, SDL_QUEUE_LIMIT + 1, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

// Lifts every Held key and button that SDL's own state reports up: its release was dropped.
// SDL knows keys below its last symbol and the buttons of its 8-bit button mask.
void liftReleasedEntries() {
  int keysKnown = 0;
  const Uint8* keysDown = SDL_GetKeyState(&keysKnown);
  for (int key = 0; key < keysKnown && key < KEY_COUNT; ++key)
    if (inputState.keys[key] == KeyState::Held && keysDown[key] == 0)
      inputState.keys[key] = KeyState::Up;
  const Uint8 buttonsDown = SDL_GetMouseState(nullptr, nullptr);
  for (int button = 1; button < MOUSE_BUTTON_COUNT && button <= BUTTONS_IN_SDL_MASK; ++button) {
    const bool down = (buttonsDown & SDL_BUTTON(button)) != 0;
    if (inputState.mouseButtons[button] == KeyState::Held && !down)
      inputState.mouseButtons[button] = KeyState::Up;
  }
}

}  // namespace

void updateInput() {
  const bool queueFull = queuedEventCount() >= SDL_QUEUE_LIMIT;

  ageEntries(inputState.keys, KEY_COUNT);
  applyEvents(SDL_KEYDOWNMASK, KeyState::Pressed);
  applyEvents(SDL_KEYUPMASK, KeyState::Up);
  ageEntries(inputState.mouseButtons, MOUSE_BUTTON_COUNT);
  applyEvents(SDL_MOUSEBUTTONDOWNMASK, KeyState::Pressed);
  applyEvents(SDL_MOUSEBUTTONUPMASK, KeyState::Up);

  if (queueFull || inputEventsLost) liftReleasedEntries();
  inputEventsLost = queueFull;

  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  // The bounds are the window's size itself, not its last pixel.
  inputState.mouseX = std::clamp(x, 0, SCREEN_WIDTH);
  inputState.mouseY = std::clamp(y, 0, SCREEN_HEIGHT);
}
