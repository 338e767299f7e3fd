// app/input.h -- the per-frame keyboard and mouse state: the only way the game and the overlay
// see input.
//
// The frame loop calls updateInput once a frame, right after SDL_PumpEvents. It takes the key
// and mouse-button events out of SDL's queue (by type: every down before every up) and leaves
// every other event (quit, motion, window) for the frame loop's drain. Readers only read.
#pragma once

#include <cstdint>

enum class KeyState : uint32_t {
  Up = 0,       // not down
  Held = 1,     // down, and already down at the end of the previous frame
  Pressed = 2,  // went down during this frame; lasts exactly one frame
};

constexpr int KEY_COUNT = 500;          // entries indexed by SDL 1.2 key symbol (SDLKey)
constexpr int MOUSE_BUTTON_COUNT = 10;  // entries indexed by SDL button number; 1 is the left

struct InputState {
  KeyState keys[KEY_COUNT];
  KeyState mouseButtons[MOUSE_BUTTON_COUNT];
  int32_t mouseX;  // window pixels, clamped to 0..640 inclusive
  int32_t mouseY;  // window pixels, clamped to 0..480 inclusive
};

// All Up, pointer at (0, 0) until the first updateInput.
extern InputState inputState;

// SDL 1.2 holds at most this many events (sdl12-compat one more); a pump that brings more drops
// the rest.
constexpr int SDL_QUEUE_LIMIT = 127;

// True when the last updateInput found SDL's queue full, so that events may have been dropped.
// Written only by updateInput; false at start.
extern bool inputEventsLost;

// Ages the entries (Pressed becomes Held), applies this frame's key-downs, then key-ups, then
// the same for mouse buttons, and samples the pointer. Symbols of 500 or more and buttons of 10
// or more are ignored. Cannot fail.
//
// A pump that filled SDL's queue has dropped what came after it, releases among them, while
// SDL's own key and button state saw every event. In such a frame, and in the one after it (when
// the presses of the full frame have aged), every Held entry that SDL reports up is lifted to
// Up, so that no key stays held for a release that was lost. Other frames follow the events only.
void updateInput();

// True while a key or button entry is anything but Up.
inline bool isDown(KeyState state) { return state != KeyState::Up; }
