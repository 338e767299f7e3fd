// web/keys.cpp -- the table between SDL 1.3 keycodes and SDL 1.2 key symbols.
#include "web/keys.h"

namespace {

// SDL 1.3 names keys without a character by scancode: keycode = scancode | this bit.
constexpr int32_t SCANCODE_KEY_BIT = 1 << 10;
constexpr int32_t CHARACTER_KEYS = 256;  // below this, both SDLs use the character's code
constexpr int32_t SDL12_UNKNOWN = 0;

struct KeyPair {
  int32_t keycode;  // SDL 1.3, as Emscripten reports it
  int32_t symbol;   // SDL 1.2
};

constexpr int32_t scancodeKey(int32_t scancode) { return scancode | SCANCODE_KEY_BIT; }

// Every key the browser can report that SDL 1.2 names beyond the character codes. The values on
// the right are SDL 1.2's SDLKey numbers (SDLK_UP 273 and so on).
constexpr KeyPair KEY_PAIRS[] = {
    {scancodeKey(98), 256},  {scancodeKey(89), 257},  {scancodeKey(90), 258},   // keypad 0-2
    {scancodeKey(91), 259},  {scancodeKey(92), 260},  {scancodeKey(93), 261},   // keypad 3-5
    {scancodeKey(94), 262},  {scancodeKey(95), 263},  {scancodeKey(96), 264},   // keypad 6-8
    {scancodeKey(97), 265},  {scancodeKey(99), 266},  {scancodeKey(84), 267},   // 9 . /
    {scancodeKey(85), 268},  {scancodeKey(86), 269},  {scancodeKey(87), 270},   // * - +
    {scancodeKey(88), 271},  {scancodeKey(103), 272},                           // enter =
    {scancodeKey(82), 273},  {scancodeKey(81), 274},  {scancodeKey(79), 275},   // up down right
    {scancodeKey(80), 276},                                                     // left
    {scancodeKey(73), 277},  {scancodeKey(74), 278},  {scancodeKey(77), 279},   // ins home end
    {scancodeKey(75), 280},  {scancodeKey(78), 281},                            // page up, down
    {scancodeKey(58), 282},  {scancodeKey(59), 283},  {scancodeKey(60), 284},   // F1-F3
    {scancodeKey(61), 285},  {scancodeKey(62), 286},  {scancodeKey(63), 287},   // F4-F6
    {scancodeKey(64), 288},  {scancodeKey(65), 289},  {scancodeKey(66), 290},   // F7-F9
    {scancodeKey(67), 291},  {scancodeKey(68), 292},  {scancodeKey(69), 293},   // F10-F12
    {scancodeKey(104), 294}, {scancodeKey(105), 295}, {scancodeKey(106), 296},  // F13-F15
    {scancodeKey(83), 300},  {scancodeKey(57), 301},  {scancodeKey(71), 302},   // num caps scroll
    {scancodeKey(229), 303}, {scancodeKey(225), 304},                           // shift R, L
    {scancodeKey(228), 305}, {scancodeKey(224), 306},                           // ctrl R, L
    {scancodeKey(230), 307}, {scancodeKey(226), 308},                           // alt R, L
    {scancodeKey(227), 311}, {scancodeKey(231), 312},                           // super L, R
    {316, 316},              {scancodeKey(70), 316},                            // print screen
    {scancodeKey(72), 19},   {scancodeKey(101), 319},                           // pause, menu
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
  if (symbol >= 0 && symbol < CHARACTER_KEYS) {
    // Pause is a character code in SDL 1.2 (19) but a scancode key in SDL 1.3.
    for (const KeyPair& pair : KEY_PAIRS) {
      if (pair.symbol == symbol) return pair.keycode;
    }
    return symbol;
  }
  for (const KeyPair& pair : KEY_PAIRS) {
    if (pair.symbol == symbol) return pair.keycode;
  }
  return -1;
}
