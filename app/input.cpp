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
  for (int i = 0; i < count; ++i) {
    if (entries[i] != KeyState::Up) entries[i] = KeyState::Held;
  }
}

// Takes every queued event of one type out of SDL's queue and hands each to `apply`.
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

int queuedEventCount() {
  SDL_Event queued[SDL_QUEUE_LIMIT + 1];
  return SDL_PeepEvents(queued, SDL_QUEUE_LIMIT + 1, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

// Lifts every Held key and button that SDL's own state reports up: its release was dropped.
// SDL knows keys below its last symbol and the buttons of its 8-bit button mask.
void liftReleasedEntries() {
  int keysKnown = 0;
  const Uint8* keysDown = SDL_GetKeyState(&keysKnown);
  for (int key = 0; key < keysKnown && key < KEY_COUNT; ++key) {
    if (inputState.keys[key] == KeyState::Held && keysDown[key] == 0)
      inputState.keys[key] = KeyState::Up;
  }
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

  if (queueFull || inputEventsLost) liftReleasedEntries();
  inputEventsLost = queueFull;

  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  // The bounds are the window's size itself, not its last pixel.
  inputState.mouseX = std::clamp(x, 0, SCREEN_WIDTH);
  inputState.mouseY = std::clamp(y, 0, SCREEN_HEIGHT);
}
