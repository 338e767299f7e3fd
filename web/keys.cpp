// web/keys.cpp -- the table between SDL 1.3 keycodes and SDL 1.2 key symbols.
#include "web/keys.h"

namespace {

// Emscripten reports the print-screen key with this value, not by its scancode.
constexpr int32_t EMSCRIPTEN_PRINT_SCREEN = 316;
constexpr int32_t CHARACTER_KEYS = 256;  // below this, both SDLs use the character's code
constexpr int32_t SDL12_UNKNOWN = 0;

struct KeyPair {
  int32_t keycode;  // SDL 1.3, as Emscripten reports it
  int32_t symbol;   // SDL 1.2
};

constexpr int32_t key(SDL_Scancode scancode) { return SDL_SCANCODE_TO_KEYCODE(scancode); }

// Every key the browser can report that SDL 1.2 names beyond the character codes, by the
// keycode Emscripten gives it (web/sdl12.h has SDL 1.2's values of the names on the right).
constexpr KeyPair KEY_PAIRS[] = {
    {key(SDL_SCANCODE_KP_0), SDLK_KP0},
    {key(SDL_SCANCODE_KP_1), SDLK_KP1},
    {key(SDL_SCANCODE_KP_2), SDLK_KP2},
    {key(SDL_SCANCODE_KP_3), SDLK_KP3},
    {key(SDL_SCANCODE_KP_4), SDLK_KP4},
    {key(SDL_SCANCODE_KP_5), SDLK_KP5},
    {key(SDL_SCANCODE_KP_6), SDLK_KP6},
    {key(SDL_SCANCODE_KP_7), SDLK_KP7},
    {key(SDL_SCANCODE_KP_8), SDLK_KP8},
    {key(SDL_SCANCODE_KP_9), SDLK_KP9},
    {key(SDL_SCANCODE_KP_PERIOD), SDLK_KP_PERIOD},
    {key(SDL_SCANCODE_KP_DIVIDE), SDLK_KP_DIVIDE},
    {key(SDL_SCANCODE_KP_MULTIPLY), SDLK_KP_MULTIPLY},
    {key(SDL_SCANCODE_KP_MINUS), SDLK_KP_MINUS},
    {key(SDL_SCANCODE_KP_PLUS), SDLK_KP_PLUS},
    {key(SDL_SCANCODE_KP_ENTER), SDLK_KP_ENTER},
    {key(SDL_SCANCODE_KP_EQUALS), SDLK_KP_EQUALS},
    {key(SDL_SCANCODE_UP), SDLK_UP},
    {key(SDL_SCANCODE_DOWN), SDLK_DOWN},
    {key(SDL_SCANCODE_RIGHT), SDLK_RIGHT},
    {key(SDL_SCANCODE_LEFT), SDLK_LEFT},
    {key(SDL_SCANCODE_INSERT), SDLK_INSERT},
    {key(SDL_SCANCODE_HOME), SDLK_HOME},
    {key(SDL_SCANCODE_END), SDLK_END},
    {key(SDL_SCANCODE_PAGEUP), SDLK_PAGEUP},
    {key(SDL_SCANCODE_PAGEDOWN), SDLK_PAGEDOWN},
    {key(SDL_SCANCODE_F1), SDLK_F1},
    {key(SDL_SCANCODE_F2), SDLK_F2},
    {key(SDL_SCANCODE_F3), SDLK_F3},
    {key(SDL_SCANCODE_F4), SDLK_F4},
    {key(SDL_SCANCODE_F5), SDLK_F5},
    {key(SDL_SCANCODE_F6), SDLK_F6},
    {key(SDL_SCANCODE_F7), SDLK_F7},
    {key(SDL_SCANCODE_F8), SDLK_F8},
    {key(SDL_SCANCODE_F9), SDLK_F9},
    {key(SDL_SCANCODE_F10), SDLK_F10},
    {key(SDL_SCANCODE_F11), SDLK_F11},
    {key(SDL_SCANCODE_F12), SDLK_F12},
    {key(SDL_SCANCODE_F13), SDLK_F13},
    {key(SDL_SCANCODE_F14), SDLK_F14},
    {key(SDL_SCANCODE_F15), SDLK_F15},
    {key(SDL_SCANCODE_NUMLOCKCLEAR), SDLK_NUMLOCK},
    {key(SDL_SCANCODE_CAPSLOCK), SDLK_CAPSLOCK},
    {key(SDL_SCANCODE_SCROLLLOCK), SDLK_SCROLLOCK},
    {key(SDL_SCANCODE_RSHIFT), SDLK_RSHIFT},
    {key(SDL_SCANCODE_LSHIFT), SDLK_LSHIFT},
    {key(SDL_SCANCODE_RCTRL), SDLK_RCTRL},
    {key(SDL_SCANCODE_LCTRL), SDLK_LCTRL},
    {key(SDL_SCANCODE_RALT), SDLK_RALT},
    {key(SDL_SCANCODE_LALT), SDLK_LALT},
    {key(SDL_SCANCODE_LGUI), SDLK_LSUPER},
    {key(SDL_SCANCODE_RGUI), SDLK_RSUPER},
    {key(SDL_SCANCODE_PRINTSCREEN), SDLK_PRINT},
    {EMSCRIPTEN_PRINT_SCREEN, SDLK_PRINT},
    {key(SDL_SCANCODE_APPLICATION), SDLK_MENU},
};

}  // namespace

int32_t sdl12KeyOf(int32_t keycode) {
  if (keycode >= 0 && keycode < CHARACTER_KEYS) return keycode;
  for (const KeyPair& pair : KEY_PAIRS) {
    if (pair.keycode == keycode) return pair.symbol;
  }
  return SDL12_UNKNOWN;
}

int32_t sdl13KeyOf(int32_t symbol) {
  for (const KeyPair& pair : KEY_PAIRS) {
    if (pair.symbol == symbol) return pair.keycode;
  }
  return symbol >= 0 && symbol < CHARACTER_KEYS ? symbol : -1;
}
