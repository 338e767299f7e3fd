// web/keys.h -- translating the browser's key symbols (SDL 1.3 keycodes, as Emscripten's SDL
// reports them) into SDL 1.2's symbols, the index of the game's key table.
//
// web/events.cpp translates every key event before the game's input step sees it, and builds
// SDL_GetKeyState's table with it.
#pragma once

#include "web/sdl12.h"

#include <cstdint>

// SDL 1.2's number of key symbols: symbols run from 0 to 322.
constexpr int SDL12_KEY_COUNT = SDLK_LAST;

// SDL 1.2's symbol for the SDL 1.3 keycode `keycode`. Keycodes below 256 (ASCII and Latin-1,
// the letters lower case) are the same in both; keys that SDL 1.3 names by scancode (arrows,
// function keys, keypad, modifiers) get their SDL 1.2 symbol; a key SDL 1.2 has no symbol for
// gives 0, SDL 1.2's SDLK_UNKNOWN.
int32_t sdl12KeyOf(int32_t keycode);

// The SDL 1.3 keycode that Emscripten reports for SDL 1.2's `symbol` (0..322), or -1 when no key
// gives that symbol. The inverse of sdl12KeyOf on the symbols it gives.
int32_t sdl13KeyOf(int32_t symbol);
