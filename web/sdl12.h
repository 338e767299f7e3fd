// web/sdl12.h -- the few SDL 1.2 calls that the game uses and Emscripten's SDL shapes otherwise.
//
// Emscripten's SDL 1.2 has SDL 1.3-style headers: its event calls take a range of event types
// where SDL 1.2 takes a mask, SDL_GetKeyState is missing, and its SDL_RWFromFile gives a handle
// that only its own JavaScript image and music loaders understand. scripts/web includes this
// header before every source file of the web build (em++ -include), so the game's own files
// compile unchanged; web/events.cpp and web/rwops.cpp implement what it declares.
#pragma once

#ifdef __EMSCRIPTEN__

#include <SDL.h>

// SDL 1.2's event masks: one bit per SDL 1.2 event type. Emscripten's headers spell them as a
// pair of SDL 1.3 types ("SDL_KEYDOWN, SDL_KEYDOWN"), which cannot be passed as one value.
#undef SDL_KEYDOWNMASK
#undef SDL_KEYUPMASK
#undef SDL_MOUSEMOTIONMASK
#undef SDL_MOUSEBUTTONDOWNMASK
#undef SDL_MOUSEBUTTONUPMASK
#undef SDL_QUITMASK
#undef SDL_ALLEVENTS
constexpr Uint32 SDL12_KEYDOWN_TYPE = 2;
constexpr Uint32 SDL12_KEYUP_TYPE = 3;
constexpr Uint32 SDL12_MOUSEMOTION_TYPE = 4;
constexpr Uint32 SDL12_MOUSEBUTTONDOWN_TYPE = 5;
constexpr Uint32 SDL12_MOUSEBUTTONUP_TYPE = 6;
constexpr Uint32 SDL12_QUIT_TYPE = 12;
#define SDL_KEYDOWNMASK (1u << SDL12_KEYDOWN_TYPE)
#define SDL_KEYUPMASK (1u << SDL12_KEYUP_TYPE)
#define SDL_MOUSEMOTIONMASK (1u << SDL12_MOUSEMOTION_TYPE)
#define SDL_MOUSEBUTTONDOWNMASK (1u << SDL12_MOUSEBUTTONDOWN_TYPE)
#define SDL_MOUSEBUTTONUPMASK (1u << SDL12_MOUSEBUTTONUP_TYPE)
#define SDL_QUITMASK (1u << SDL12_QUIT_TYPE)
#define SDL_ALLEVENTS 0xFFFFFFFFu

// SDL 1.2's key symbols beyond the character codes (which both SDLs share): the indices of the
// game's key table. Emscripten's headers give SDL 1.3's values (SDLK_UP is 1106 there, 273 in
// SDL 1.2); these replace them in every file compiled after this header.
#undef SDLK_KP0
#define SDLK_KP0 256
#undef SDLK_KP1
#define SDLK_KP1 257
#undef SDLK_KP2
#define SDLK_KP2 258
#undef SDLK_KP3
#define SDLK_KP3 259
#undef SDLK_KP4
#define SDLK_KP4 260
#undef SDLK_KP5
#define SDLK_KP5 261
#undef SDLK_KP6
#define SDLK_KP6 262
#undef SDLK_KP7
#define SDLK_KP7 263
#undef SDLK_KP8
#define SDLK_KP8 264
#undef SDLK_KP9
#define SDLK_KP9 265
#undef SDLK_KP_PERIOD
#define SDLK_KP_PERIOD 266
#undef SDLK_KP_DIVIDE
#define SDLK_KP_DIVIDE 267
#undef SDLK_KP_MULTIPLY
#define SDLK_KP_MULTIPLY 268
#undef SDLK_KP_MINUS
#define SDLK_KP_MINUS 269
#undef SDLK_KP_PLUS
#define SDLK_KP_PLUS 270
#undef SDLK_KP_ENTER
#define SDLK_KP_ENTER 271
#undef SDLK_KP_EQUALS
#define SDLK_KP_EQUALS 272
#undef SDLK_UP
#define SDLK_UP 273
#undef SDLK_DOWN
#define SDLK_DOWN 274
#undef SDLK_RIGHT
#define SDLK_RIGHT 275
#undef SDLK_LEFT
#define SDLK_LEFT 276
#undef SDLK_INSERT
#define SDLK_INSERT 277
#undef SDLK_HOME
#define SDLK_HOME 278
#undef SDLK_END
#define SDLK_END 279
#undef SDLK_PAGEUP
#define SDLK_PAGEUP 280
#undef SDLK_PAGEDOWN
#define SDLK_PAGEDOWN 281
#undef SDLK_F1
#define SDLK_F1 282
#undef SDLK_F2
#define SDLK_F2 283
#undef SDLK_F3
#define SDLK_F3 284
#undef SDLK_F4
#define SDLK_F4 285
#undef SDLK_F5
#define SDLK_F5 286
#undef SDLK_F6
#define SDLK_F6 287
#undef SDLK_F7
#define SDLK_F7 288
#undef SDLK_F8
#define SDLK_F8 289
#undef SDLK_F9
#define SDLK_F9 290
#undef SDLK_F10
#define SDLK_F10 291
#undef SDLK_F11
#define SDLK_F11 292
#undef SDLK_F12
#define SDLK_F12 293
#undef SDLK_F13
#define SDLK_F13 294
#undef SDLK_F14
#define SDLK_F14 295
#undef SDLK_F15
#define SDLK_F15 296
#undef SDLK_NUMLOCK
#define SDLK_NUMLOCK 300
#undef SDLK_CAPSLOCK
#define SDLK_CAPSLOCK 301
#undef SDLK_SCROLLOCK
#define SDLK_SCROLLOCK 302
#undef SDLK_RSHIFT
#define SDLK_RSHIFT 303
#undef SDLK_LSHIFT
#define SDLK_LSHIFT 304
#undef SDLK_RCTRL
#define SDLK_RCTRL 305
#undef SDLK_LCTRL
#define SDLK_LCTRL 306
#undef SDLK_RALT
#define SDLK_RALT 307
#undef SDLK_LALT
#define SDLK_LALT 308
#undef SDLK_LSUPER
#define SDLK_LSUPER 311
#undef SDLK_RSUPER
#define SDLK_RSUPER 312
#undef SDLK_PRINT
#define SDLK_PRINT 316
#undef SDLK_MENU
#define SDLK_MENU 319
#undef SDLK_PAUSE
#define SDLK_PAUSE 19
#undef SDLK_LAST
#define SDLK_LAST 323

// SDL 1.2's SDL_PeepEvents, by mask. SDL_GETEVENT takes up to `count` events of the masked types
// out of the queue, oldest first within each type, one at a time (Emscripten aborts when asked
// for more at once), and returns how many it took; a key event comes with its symbol translated
// to SDL 1.2's (web/keys.h). SDL_PEEKEVENT returns how many events are queued, at most `count`,
// and copies none of them (the game only counts). SDL_ADDEVENT is not supported: -1.
int SDL_PeepEvents(SDL_Event* events, int count, SDL_eventaction action, Uint32 mask);

// SDL 1.2's key table: entry s is 1 while the key whose SDL 1.2 symbol is s is down. `count`
// (when not null) receives the number of entries, SDL 1.2's SDLK_LAST. The table belongs to the
// web layer and is refreshed by each call.
Uint8* SDL_GetKeyState(int* count);

// A file opened with the C library, read and sought through the usual SDL_RWops calls (seek,
// read, write, close). Emscripten's own SDL_RWFromFile gives a handle whose calls are not set,
// so the game's look at an image file before decoding it would call through nothing.
SDL_RWops* webRWFromFile(const char* path, const char* mode);
#define SDL_RWFromFile webRWFromFile

// IMG_Load, with a bitmap's raw pixel values put back (web/bitmaps.h): the browser's decoder
// drops them, and the ship and enemy shapes are read from them.
#include <SDL_image.h>
SDL_Surface* webLoadImage(const char* path);
#define IMG_Load webLoadImage

#endif  // __EMSCRIPTEN__
