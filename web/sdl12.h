// web/sdl12.h -- the few SDL 1.2 calls that the game uses and Emscripten's SDL shapes otherwise.
//
// Emscripten's SDL 1.2 has SDL 1.3-style headers: its event calls take a range of event types
// where SDL 1.2 takes a mask, SDL_GetKeyState is missing, and its SDL_RWFromFile gives a handle
// that only its own JavaScript image and music loaders understand. scripts/web includes this
// header before every source file of the web build (em++ -include), so the game's own files
// compile unchanged; web/events.cpp and web/files.cpp implement what it declares.
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

#endif  // __EMSCRIPTEN__
